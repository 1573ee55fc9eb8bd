#include "platform/fs/crt_stat.h"

#include "platform/fs/fs_test_fixture.h"

namespace fs = std::filesystem;

namespace {

using CrtFiles = EmulatedDrives;

TEST_F(CrtFiles, StatReportsKindSizeAndWriteBit) {
    Put(root / "Zelbo.PRF", "0123456789");
    fs::create_directories(root / "Games" / "Zelbo");
    Put(cd1 / "SETUP.EXE", "MZ");
    struct _stat info;
    ASSERT_EQ(_stat("C:\\zelbo.prf", &info), 0);
    EXPECT_EQ(info.st_mode & _S_IFMT, _S_IFREG);
    EXPECT_NE(info.st_mode & _S_IWRITE, 0);
    EXPECT_EQ(info.st_size, 10);
    EXPECT_EQ(info.st_dev, 2u);
    EXPECT_EQ(info.st_mtime, static_cast<time_t>(std::chrono::duration_cast<std::chrono::seconds>(
                                  std::chrono::file_clock::to_sys(fs::last_write_time(root / "Zelbo.PRF"))
                                      .time_since_epoch())
                                  .count()));

    ASSERT_EQ(_stat("C:\\GAMES\\ZELBO", &info), 0);
    EXPECT_EQ(info.st_mode & _S_IFMT, _S_IFDIR);
    EXPECT_NE(info.st_mode & _S_IWRITE, 0);

    ASSERT_EQ(_stat("D:\\setup.exe", &info), 0);
    EXPECT_EQ(info.st_mode & _S_IWRITE, 0);  // nothing on a CD is writable
    EXPECT_NE(info.st_mode & _S_IEXEC, 0);

    ASSERT_TRUE(SetFileAttributesA("C:\\Zelbo.PRF", FILE_ATTRIBUTE_READONLY));
    ASSERT_EQ(_stat("C:\\Zelbo.PRF", &info), 0);
    EXPECT_EQ(info.st_mode & _S_IWRITE, 0);

    errno = 0;
    EXPECT_EQ(_stat("C:\\nothing", &info), -1);
    EXPECT_EQ(errno, ENOENT);
    EXPECT_EQ(_access("C:\\GAMES", 0), 0);
    EXPECT_EQ(_access("C:\\nothing", 0), -1);
    EXPECT_EQ(_access("D:\\SETUP.EXE", 2), -1);
}

TEST_F(CrtFiles, TempFileNames) {
    char first[MAX_PATH];
    char second[MAX_PATH];
    const UINT a = GetTempFileNameA("C:\\WINDOWS\\TEMP\\", "PDT", 0, first);
    const UINT b = GetTempFileNameA("C:\\WINDOWS\\TEMP", "PDTX", 0, second);
    ASSERT_NE(a, 0u);
    ASSERT_NE(b, 0u);
    EXPECT_STRNE(first, second);
    // Made, empty, named prefix + hex number + ".TMP".
    for (const char* name : {first, second}) {
        const std::string s = name;
        EXPECT_EQ(s.rfind("C:\\WINDOWS\\TEMP\\PDT", 0), 0u) << s;
        EXPECT_EQ(s.substr(s.size() - 4), ".TMP");
        EXPECT_EQ(GetFileAttributesA(name), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE)) << s;
    }
    char fixed[MAX_PATH];
    EXPECT_EQ(GetTempFileNameA("C:\\WINDOWS\\TEMP", "abc", 0x12AB, fixed), 0x12ABu);
    EXPECT_STREQ(fixed, "C:\\WINDOWS\\TEMP\\abc12AB.TMP");
    EXPECT_EQ(GetFileAttributesA(fixed), INVALID_FILE_ATTRIBUTES);  // a given number makes no file
    EXPECT_EQ(GetTempFileNameA("C:\\nowhere", "PDT", 0, fixed), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
}

TEST(ErrorMode, ReturnsThePreviousMode) {
    const UINT before = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    EXPECT_EQ(SetErrorMode(before), static_cast<UINT>(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX));
}

}  // namespace
