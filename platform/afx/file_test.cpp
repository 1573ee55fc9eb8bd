#include "platform/afx/file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "platform/fs/dospath.h"

namespace {

namespace fs = std::filesystem;

class CFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        // Unique per run, so that parallel runs of the same test do not share a root.
        m_root = fs::temp_directory_path() /
                 ("afx_file_" + std::to_string(std::random_device()()) + "_" +
                  ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(m_root);
        fs::create_directories(m_root);
        plat::SetEmulatedRoot(m_root);
    }
    void TearDown() override {
        plat::ResetDriveMap();
        fs::remove_all(m_root);
    }
    void MakeFile(const char* name, const std::string& content) {
        std::ofstream(m_root / name, std::ios::binary) << content;
    }
    fs::path m_root;
};

TEST_F(CFileTest, OpenFailuresGiveTheirCause) {
    MakeFile("locked.dat", "x");
    ASSERT_TRUE(SetFileAttributesA("C:\\locked.dat", FILE_ATTRIBUTE_READONLY));
    struct Case {
        const char* name;
        UINT flags;
        int cause;
        LONG osError;
    };
    const Case cases[] = {
        {"C:\\missing.dat", CFile::modeRead, CFileException::fileNotFound, ERROR_FILE_NOT_FOUND},
        {"C:\\nofolder\\x.dat", CFile::modeRead, CFileException::badPath, ERROR_PATH_NOT_FOUND},
        {"C:\\nofolder\\x.dat", CFile::modeCreate | CFile::modeWrite, CFileException::badPath, ERROR_PATH_NOT_FOUND},
        {"C:\\locked.dat", CFile::modeWrite, CFileException::accessDenied, ERROR_ACCESS_DENIED},
        {"C:\\locked.dat", CFile::modeReadWrite, CFileException::accessDenied, ERROR_ACCESS_DENIED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CFile file;
        CFileException error;
        EXPECT_FALSE(file.Open(c.name, c.flags, &error));
        EXPECT_EQ(error.m_cause, c.cause);
        EXPECT_EQ(error.m_lOsError, c.osError);
        EXPECT_EQ(error.m_strFileName, c.name);
        EXPECT_EQ(file.m_hFile, CFile::hFileNull);
        EXPECT_FALSE(file.Open(c.name, c.flags));  // without an exception object
    }
    // A read-only file still opens for reading.
    CFile reader;
    EXPECT_TRUE(reader.Open("C:\\locked.dat", CFile::modeRead));
}

TEST_F(CFileTest, ConstructorThrowsTheOpenFailure) {
    try {
        CFile file("C:\\missing.dat", CFile::modeRead | CFile::shareDenyNone);
        FAIL() << "no exception";
    } catch (CException* e) {
        ASSERT_TRUE(e->IsKindOf(RUNTIME_CLASS(CFileException)));
        EXPECT_EQ(static_cast<CFileException*>(e)->m_cause, CFileException::fileNotFound);
        EXPECT_EQ(static_cast<CFileException*>(e)->m_strFileName, "C:\\missing.dat");
        e->Delete();
    }
}

TEST_F(CFileTest, ShareModesBetweenTwoOpens) {
    struct Case {
        UINT first;
        UINT second;
        bool secondOpens;
    };
    const Case cases[] = {
        {CFile::modeRead | CFile::shareExclusive, CFile::modeRead, false},
        {CFile::modeRead | CFile::shareDenyWrite, CFile::modeRead | CFile::shareDenyNone, true},
        {CFile::modeRead | CFile::shareDenyWrite, CFile::modeWrite | CFile::shareDenyNone, false},
        {CFile::modeReadWrite | CFile::shareDenyNone, CFile::modeReadWrite | CFile::shareDenyNone, true},
    };
    MakeFile("shared.dat", "abc");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.first << " then " << c.second);
        CFile first;
        ASSERT_TRUE(first.Open("C:\\shared.dat", c.first));
        CFile second;
        CFileException error;
        EXPECT_EQ(second.Open("C:\\SHARED.DAT", c.second, &error) != FALSE, c.secondOpens);
        if (!c.secondOpens) {
            EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
        }
    }
}

TEST_F(CFileTest, WriteSeekReadSetLengthRoundTrip) {
    CFile file;
    ASSERT_TRUE(file.Open("C:\\Round.Dat", CFile::modeCreate | CFile::modeReadWrite | CFile::typeBinary));
    EXPECT_EQ(file.GetFilePath(), "C:\\Round.Dat");
    EXPECT_EQ(file.GetFileName(), "Round.Dat");
    EXPECT_EQ(file.GetFileTitle(), "Round");

    file.Write("hello world", 11);
    EXPECT_EQ(file.GetLength(), 11u);
    EXPECT_EQ(file.GetPosition(), 11u);

    char buffer[32] = {};
    EXPECT_EQ(file.Seek(6, CFile::begin), 6);
    EXPECT_EQ(file.Read(buffer, 5), 5u);
    EXPECT_EQ(std::string(buffer, 5), "world");
    // At the end a read returns 0 bytes; it does not throw.
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 0u);
    EXPECT_EQ(file.Seek(-5, CFile::end), 6);
    EXPECT_EQ(file.Seek(-2, CFile::current), 4);
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 7u);
    EXPECT_EQ(std::string(buffer, 7), "o world");

    file.SetLength(5);
    EXPECT_EQ(file.GetLength(), 5u);
    EXPECT_EQ(file.GetPosition(), 5u);
    file.SetLength(8);  // extends with zeros
    file.SeekToBegin();
    EXPECT_EQ(file.Read(buffer, sizeof buffer), 8u);
    EXPECT_EQ(std::string(buffer, 8), std::string("hello\0\0\0", 8));
    EXPECT_EQ(file.SeekToEnd(), 8u);

    // A seek before the start fails and leaves the position.
    try {
        file.Seek(-20, CFile::current);
        ADD_FAILURE() << "no exception";
    } catch (CException* e) {
        EXPECT_EQ(static_cast<CFileException*>(e)->m_cause, CFileException::badSeek);
        e->Delete();
    }
    EXPECT_EQ(file.GetPosition(), 8u);

    file.Flush();
    file.Close();
    EXPECT_EQ(file.m_hFile, CFile::hFileNull);
    file.Close();  // closing twice does nothing

    // modeNoTruncate keeps the content; modeCreate alone empties the file.
    ASSERT_TRUE(file.Open("C:\\round.dat", CFile::modeCreate | CFile::modeNoTruncate | CFile::modeRead));
    EXPECT_EQ(file.GetLength(), 8u);
    ASSERT_TRUE(file.Open("C:\\round.dat", CFile::modeCreate | CFile::modeWrite));
    EXPECT_EQ(file.GetLength(), 0u);
}

TEST_F(CFileTest, WriteToReadOnlyOpenThrows) {
    MakeFile("data.bin", "abc");
    CFile file("C:\\data.bin", CFile::modeRead);
    try {
        file.Write("x", 1);
        ADD_FAILURE() << "no exception";
    } catch (CException* e) {
        auto* error = static_cast<CFileException*>(e);
        EXPECT_EQ(error->m_cause, CFileException::accessDenied);
        EXPECT_EQ(error->m_strFileName, "C:\\data.bin");
        e->Delete();
    }
}

TEST_F(CFileTest, WriteOnAFullDeviceIsDiskFull) {
    if (!fs::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    CFile file;
    CFileException error;
    if (!file.Open("Z:\\dev\\full", CFile::modeWrite, &error)) {
        GTEST_SKIP() << "device not opened, cause " << error.m_cause;
    }
    try {
        file.Write("data", 4);
        file.Flush();
        ADD_FAILURE() << "no exception";
    } catch (CException* e) {
        EXPECT_EQ(static_cast<CFileException*>(e)->m_cause, CFileException::diskFull);
        e->Delete();
    }
}

TEST_F(CFileTest, StaticRemoveRenameAndStatus) {
    MakeFile("old.txt", "12345");
    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus("C:\\OLD.TXT", status));
    EXPECT_EQ(status.m_size, 5);
    EXPECT_EQ(status.m_attribute & CFile::directory, 0);
    EXPECT_FALSE(CFile::GetStatus("C:\\*.txt", status));

    CFile::Rename("C:\\old.txt", "C:\\new.txt");
    EXPECT_FALSE(CFile::GetStatus("C:\\old.txt", status));
    EXPECT_TRUE(CFile::GetStatus("C:\\new.txt", status));

    CFile::Remove("C:\\new.txt");
    EXPECT_FALSE(fs::exists(m_root / "new.txt"));
    try {
        CFile::Remove("C:\\new.txt");
        ADD_FAILURE() << "no exception";
    } catch (CException* e) {
        EXPECT_EQ(static_cast<CFileException*>(e)->m_cause, CFileException::fileNotFound);
        e->Delete();
    }
}

}  // namespace
