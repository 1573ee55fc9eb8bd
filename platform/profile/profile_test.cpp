#include "platform/profile/profile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "platform/fs/write_fault.h"

namespace {

namespace fs = std::filesystem;

class ProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zelbo-profile-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_root = pattern;
        plat::SetEmulatedRoot(m_root);
        plat::EmulatedRoot();
        fs::create_directories(m_root / "GAME");
    }
    void TearDown() override {
        plat::SetCdromFolders({});
        plat::SetEmulatedRoot({});
        std::error_code ec;
        fs::permissions(m_root / "GAME", fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_root, ec);
    }

    void Put(const fs::path& rel, const std::string& bytes) {
        std::ofstream out(m_root / rel, std::ios::binary | std::ios::trunc);
        out << bytes;
    }
    std::string Get(const fs::path& rel) {
        std::ifstream in(m_root / rel, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Files in a folder of the root other than the ones named: leftovers of a write.
    std::vector<std::string> Others(const fs::path& rel, const std::vector<std::string>& known) {
        std::vector<std::string> others;
        for (const auto& entry : fs::directory_iterator(m_root / rel)) {
            std::string name = entry.path().filename().string();
            if (std::find(known.begin(), known.end(), name) == known.end()) {
                others.push_back(name);
            }
        }
        return others;
    }

    fs::path m_root;
};

const std::string kGameIni =
    "[User List]\r\n"
    "Pelle=kids\\Kid001\\\r\n"
    "Anna=\"quoted\"\r\n"
    "[Two]\r\n"
    "k=v\r\n";

struct StringCase {
    const char* section;
    const char* key;
    const char* def;
    DWORD size;
    DWORD result;
    std::string bytes;  // the start of the buffer after the call
};

class ProfileStringTest : public ProfileTest, public ::testing::WithParamInterface<StringCase> {};

TEST_P(ProfileStringTest, ReturnsAndTruncatesAsWindows) {
    Put("GAME/Zelbo.ini", kGameIni);
    const StringCase& c = GetParam();
    std::vector<char> buffer(c.size + 8, '\x7F');
    DWORD n = GetPrivateProfileStringA(c.section, c.key, c.def, buffer.data(), c.size, "C:\\game\\ZELBO.INI");
    EXPECT_EQ(n, c.result);
    EXPECT_EQ(std::string(buffer.data(), c.bytes.size()), c.bytes);
    for (size_t i = c.size; i < buffer.size(); ++i) {
        ASSERT_EQ(buffer[i], '\x7F') << "written past the buffer at " << i;
    }
}

using namespace std::string_literals;
INSTANTIATE_TEST_SUITE_P(
    Table, ProfileStringTest,
    ::testing::Values(StringCase{"User List", "Pelle", nullptr, 64, 12, "kids\\Kid001\\\0"s},
                      StringCase{"user list", "PELLE", nullptr, 5, 4, "kids\0"s},  // size - 1 and NUL
                      StringCase{"User List", "Anna", nullptr, 64, 6, "quoted\0"s},
                      StringCase{"User List", "Anna", nullptr, 4, 3, "quo\0"s},
                      StringCase{"User List", "Nobody", "def  ", 64, 3, "def\0"s},  // trailing blanks go
                      StringCase{"User List", "Nobody", nullptr, 64, 0, "\0"s},
                      StringCase{"User List", "Nobody", "default", 4, 3, "def\0"s},
                      StringCase{"User List", "Pelle", nullptr, 1, 0, "\0"s},
                      StringCase{nullptr, "ignored", nullptr, 64, 14, "User List\0Two\0\0"s},
                      StringCase{nullptr, nullptr, nullptr, 15, 14, "User List\0Two\0\0"s},  // exact fit
                      StringCase{nullptr, nullptr, nullptr, 12, 10, "User List\0\0\0"s},
                      StringCase{nullptr, nullptr, nullptr, 8, 6, "User L\0\0"s},
                      StringCase{"User List", nullptr, nullptr, 64, 11, "Pelle\0Anna\0\0"s},
                      StringCase{"User List", nullptr, nullptr, 10, 8, "Pelle\0An\0\0"s},
                      StringCase{"Nowhere", nullptr, "dflt", 64, 4, "dflt\0\0"s},
                      StringCase{"Nowhere", nullptr, nullptr, 64, 0, "\0\0"s}));

TEST_F(ProfileTest, IntReadsLeadingDigitsWithSign) {
    Put("GAME/nums.ini", "[n]\r\na=12abc\r\nb=-5\r\nc=abc\r\nd=\r\ne= +7 \r\nf=\"42\"\r\ng=4294967297\r\n");
    struct {
        const char* key;
        UINT value;
    } const cases[] = {
        {"a", 12},      {"b", static_cast<UINT>(-5)}, {"c", 0}, {"d", 99}, {"e", 7}, {"f", 42}, {"g", 1},
        {"missing", 99}};
    for (const auto& c : cases) {
        EXPECT_EQ(GetPrivateProfileIntA("n", c.key, 99, "C:\\GAME\\NUMS.INI"), c.value) << c.key;
    }
}

TEST_F(ProfileTest, BareNameIsCreatedInTheWindowsFolder) {
    ASSERT_TRUE(
        WritePrivateProfileStringA("Online Registration", "Register Path", "C:\\SETUP\\REG", "Quorva.ini"));
    EXPECT_EQ(Get("WINDOWS/Quorva.ini"), "[Online Registration]\r\nRegister Path=C:\\SETUP\\REG\r\n");
    char buffer[64];
    EXPECT_EQ(GetPrivateProfileStringA("ONLINE REGISTRATION", "register path", "", buffer, 64, "QUORVA.INI"),
              12u);
    EXPECT_STREQ(buffer, "C:\\SETUP\\REG");
    EXPECT_TRUE(fs::exists(m_root / "WINDOWS" / "Quorva.ini"));
    EXPECT_FALSE(fs::exists(m_root / "WINDOWS" / "QUORVA.INI"));
}

TEST_F(ProfileTest, NullValueDeletesKeyAndNullKeyDeletesSection) {
    Put("GAME/del.ini", "; keep me\r\n[a]\r\nx=1\r\ny=2\r\n\r\n[b]\r\nz=3\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("A", "X", nullptr, "C:\\GAME\\del.ini"));
    EXPECT_EQ(Get("GAME/del.ini"), "; keep me\r\n[a]\r\ny=2\r\n\r\n[b]\r\nz=3\r\n");
    ASSERT_TRUE(WritePrivateProfileStringA("a", nullptr, nullptr, "C:\\GAME\\del.ini"));
    EXPECT_EQ(Get("GAME/del.ini"), "; keep me\r\n[b]\r\nz=3\r\n");
    // Deleting what is not there changes nothing and makes no file.
    ASSERT_TRUE(WritePrivateProfileStringA("q", "r", nullptr, "C:\\GAME\\none.ini"));
    EXPECT_FALSE(fs::exists(m_root / "GAME" / "none.ini"));
    // The flush call.
    EXPECT_TRUE(WritePrivateProfileStringA(nullptr, nullptr, nullptr, "C:\\GAME\\del.ini"));
    EXPECT_TRUE(WriteProfileStringA(nullptr, nullptr, nullptr));
    EXPECT_EQ(Get("GAME/del.ini"), "; keep me\r\n[b]\r\nz=3\r\n");
}

// The setup program's [rename] handling: a file written by stdio with "\n" lines, its
// duplicate "NUL=" keys, and a new entry keyed by a full path.
TEST_F(ProfileTest, RenameSectionKeepsDuplicatesByteForByte) {
    const std::string before = "[rename]\nNUL=C:\\OLD\\A.DLL\nNUL=C:\\OLD\\B.DLL\n";
    Put("WINDOWS/WinInit.ini", before);
    ASSERT_TRUE(WritePrivateProfileStringA("rename", "C:\\Program Files\\Quorva\\Z.DLL",
                                           "C:\\Program Files\\Quorva\\Z.tmp", "C:\\WINDOWS\\WININIT.INI"));
    EXPECT_EQ(Get("WINDOWS/WinInit.ini"),
              before + "C:\\Program Files\\Quorva\\Z.DLL=C:\\Program Files\\Quorva\\Z.tmp\r\n");
    char keys[256];
    DWORD n = GetPrivateProfileStringA("rename", nullptr, "", keys, sizeof keys, "WinInit.ini");
    EXPECT_EQ(std::string(keys, n + 1), "NUL\0NUL\0C:\\Program Files\\Quorva\\Z.DLL\0\0"s);
}

TEST_F(ProfileTest, WinIniCalls) {
    ASSERT_TRUE(WriteProfileStringA("WinG", "ProfileMessage", "ok"));
    ASSERT_TRUE(WriteProfileStringA("windows", "device", "Skrivare,drv,LPT1:"));
    EXPECT_EQ(Get("WINDOWS/WIN.INI"),
              "[WinG]\r\nProfileMessage=ok\r\n\r\n[windows]\r\ndevice=Skrivare,drv,LPT1:\r\n");
    char buffer[81];
    EXPECT_EQ(GetProfileStringA("windows", "device", ",,,", buffer, sizeof buffer), 18u);
    EXPECT_STREQ(buffer, "Skrivare,drv,LPT1:");
    EXPECT_EQ(GetProfileIntA("WinG", "Missing", 7), 7u);
}

TEST_F(ProfileTest, SectionCalls) {
    ASSERT_TRUE(WritePrivateProfileSectionA("s", "a=1\0b=2\0"s.c_str(), "C:\\GAME\\sec.ini"));
    char buffer[64];
    DWORD n = GetPrivateProfileSectionA("S", buffer, sizeof buffer, "C:\\GAME\\sec.ini");
    EXPECT_EQ(std::string(buffer, n + 1), "a=1\0b=2\0\0"s);
    EXPECT_EQ(GetPrivateProfileSectionA("S", buffer, 6, "C:\\GAME\\sec.ini"), 4u);
    EXPECT_EQ(std::string(buffer, 6), "a=1\0\0\0"s);
    ASSERT_TRUE(WritePrivateProfileSectionA("s", nullptr, "C:\\GAME\\sec.ini"));
    EXPECT_EQ(Get("GAME/sec.ini"), "");
}

TEST_F(ProfileTest, SectionListsLinesWithoutEqualsAndDuplicateSectionsReadAsTheFirst) {
    Put("GAME/dup.ini", "[s]\r\na=1\r\nloose words\r\n[t]\r\n[S]\r\nb=2\r\n");
    char buffer[64];
    DWORD n = GetPrivateProfileSectionA("s", buffer, sizeof buffer, "C:\\GAME\\dup.ini");
    EXPECT_EQ(std::string(buffer, n + 1), "a=1\0loose words\0\0"s);
    n = GetPrivateProfileStringA("S", nullptr, "", buffer, sizeof buffer, "C:\\GAME\\dup.ini");
    EXPECT_EQ(std::string(buffer, n + 1), "a\0\0"s);
    n = GetPrivateProfileStringA(nullptr, nullptr, "", buffer, sizeof buffer, "C:\\GAME\\dup.ini");
    EXPECT_EQ(std::string(buffer, n + 1), "s\0t\0\0"s);
    EXPECT_EQ(GetPrivateProfileIntA("s", "b", 7, "C:\\GAME\\dup.ini"), 7u);
    ASSERT_TRUE(WritePrivateProfileStringA("S", "b", "3", "C:\\GAME\\dup.ini"));
    EXPECT_EQ(Get("GAME/dup.ini"), "[s]\r\na=1\r\nloose words\r\nb=3\r\n[t]\r\n[S]\r\nb=2\r\n");
}

TEST_F(ProfileTest, WritesThatCannotHappenFailAndChangeNothing) {
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "v", "C:\\NoSuchFolder\\x.ini"));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);

    Put("GAME/ro.ini", "[s]\r\nk=old\r\n");
    fs::permissions(m_root / "GAME" / "ro.ini",
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "new", "C:\\GAME\\ro.ini"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Get("GAME/ro.ini"), "[s]\r\nk=old\r\n");

    fs::create_directories(m_root / "cd");
    std::ofstream(m_root / "cd" / "SETUP.INI") << "[s]\r\nk=cd\r\n";
    plat::SetCdromFolders({m_root / "cd"});
    char buffer[16];
    EXPECT_EQ(GetPrivateProfileStringA("s", "k", "", buffer, 16, "D:\\setup.ini"), 2u);
    EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "new", "D:\\setup.ini"));
    EXPECT_EQ(GetLastError(), ERROR_WRITE_PROTECT);
}

// A write that fails half-way (here: the file size limit) leaves the old file as it was and
// no temporary file behind.
TEST_F(ProfileTest, FailedWriteLeavesOldFileIntact) {
    const std::string before = "[s]\r\nk=" + std::string(200, 'o') + "\r\n";
    Put("GAME/big.ini", before);
    pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {};
        limit.rlim_cur = limit.rlim_max = 100;
        ::setrlimit(RLIMIT_FSIZE, &limit);
        BOOL ok = WritePrivateProfileStringA("s", "k2", "new", "C:\\GAME\\big.ini");
        ::_exit(ok ? 1 : GetLastError() == ERROR_DISK_FULL ? 0 : 2);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0);
    EXPECT_EQ(Get("GAME/big.ini"), before);
    EXPECT_TRUE(Others("GAME", {"big.ini"}).empty());
}

// Every step of a rewrite failed, then killed, in turn: the file keeps its old bytes and a
// failure leaves no temporary file (a kill may, as a dying process would).
TEST_F(ProfileTest, AWriteFailedOrKilledAtAnyStepLeavesTheOldFile) {
    const std::string before = "; keep\r\n[s]\r\nk=old\r\n";
    const std::string after = "; keep\r\n[s]\r\nk=new\r\n";
    Put("GAME/g.ini", before);
    plat::CWriteFaultPlan counter;
    {
        plat::CWriteFaultScope scope(&counter);
        ASSERT_TRUE(WritePrivateProfileStringA("s", "k", "new", "C:\\GAME\\g.ini"));
    }
    EXPECT_EQ(Get("GAME/g.ini"), after);
    EXPECT_EQ(counter.Seen(), (std::vector<plat::WriteStep>{plat::WriteStep::CreateFile, plat::WriteStep::Write,
                                                            plat::WriteStep::Flush, plat::WriteStep::Rename}));
    for (int at = 0; at < counter.Steps(); ++at) {
        for (const plat::WriteFault fault : {plat::WriteFault::Fail, plat::WriteFault::Kill}) {
            SCOPED_TRACE(testing::Message() << "step " << at << (fault == plat::WriteFault::Kill ? " killed" : " failed"));
            Put("GAME/g.ini", before);
            plat::CWriteFaultPlan plan(at, fault);
            {
                plat::CWriteFaultScope scope(&plan);
                EXPECT_FALSE(WritePrivateProfileStringA("s", "k", "new", "C:\\GAME\\g.ini"));
            }
            EXPECT_TRUE(plan.Hit());
            EXPECT_EQ(Get("GAME/g.ini"), before);
            const auto others = Others("GAME", {"g.ini"});
            if (fault == plat::WriteFault::Fail) {
                EXPECT_TRUE(others.empty());
            }
            for (const auto& name : others) fs::remove(m_root / "GAME" / name);
            // The next write, with no fault, goes through.
            ASSERT_TRUE(WritePrivateProfileStringA("s", "k", "new", "C:\\GAME\\g.ini"));
            EXPECT_EQ(Get("GAME/g.ini"), after);
        }
    }
}

TEST_F(ProfileTest, DamagedFileReadsAndKeepsItsBytes) {
    std::string junk = "\x01\x02\xFF\xFE\0\0[\x80]=\x9D\n"s + std::string(300000, '\xAA') + "\n";
    std::string file = junk + "[Settings]\r\nNamn=G\xE4st\r\n" + junk + "[Scores]\nLevel=4";
    Put("GAME/SETTINGS.INI", file);
    char buffer[32];
    EXPECT_EQ(GetPrivateProfileStringA("settings", "namn", "", buffer, 32, "C:\\GAME\\settings.ini"), 4u);
    EXPECT_STREQ(buffer, "G\xE4st");
    EXPECT_EQ(GetPrivateProfileIntA("SCORES", "level", 0, "C:\\GAME\\settings.ini"), 4u);
    ASSERT_TRUE(WritePrivateProfileStringA("Settings", "Namn", "Pelle", "C:\\GAME\\settings.ini"));
    std::string expected = file;
    expected.replace(expected.find("Namn=G\xE4st"), 9, "Namn=Pelle");
    EXPECT_EQ(Get("GAME/SETTINGS.INI"), expected);
}

// Several processes each write their own keys into one file at the same time; every
// write survives.
TEST_F(ProfileTest, ConcurrentWritersLoseNothing) {
    constexpr int kWriters = 4;
    constexpr int kKeys = 40;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int failures = 0;
            for (int k = 0; k < kKeys; ++k) {
                std::string key = "w" + std::to_string(w) + "k" + std::to_string(k);
                failures +=
                    WritePrivateProfileStringA("Shared", key.c_str(), key.c_str(), "C:\\GAME\\shared.ini")
                        ? 0
                        : 1;
            }
            ::_exit(failures == 0 ? 0 : 1);
        }
        children.push_back(child);
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    for (int w = 0; w < kWriters; ++w) {
        for (int k = 0; k < kKeys; ++k) {
            std::string key = "w" + std::to_string(w) + "k" + std::to_string(k);
            char buffer[32];
            GetPrivateProfileStringA("Shared", key.c_str(), "lost", buffer, sizeof buffer,
                                     "C:\\GAME\\shared.ini");
            EXPECT_EQ(std::string(buffer), key);
        }
    }
    EXPECT_TRUE(Others("GAME", {"shared.ini"}).empty());
}

}  // namespace
