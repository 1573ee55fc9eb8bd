#include "platform/registry/registry.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/fs/dospath.h"
#include "platform/registry/registry_store.h"

namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

const BYTE* Text(const char* s) {
    return reinterpret_cast<const BYTE*>(s);
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        char pattern[] = "/tmp/zelbo-registry-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        m_root = pattern;
        plat::SetEmulatedRoot(m_root);
        plat::EmulatedRoot();
    }
    void TearDown() override {
        plat::SetEmulatedRoot({});
        std::error_code ec;
        fs::remove_all(m_root, ec);
    }

    std::string FileText() {
        std::ifstream in(plat::RegistryFilePath(), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // The value as a string, or the error code in brackets.
    static std::string Query(HKEY root, const char* path, const char* name) {
        HKEY key = nullptr;
        LONG rc = RegOpenKeyExA(root, path, 0, KEY_READ, &key);
        if (rc != ERROR_SUCCESS) {
            return "[" + std::to_string(rc) + "]";
        }
        char buffer[300] = {};
        DWORD size = sizeof buffer;
        rc = RegQueryValueExA(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        return rc == ERROR_SUCCESS ? std::string(buffer, size) : "[" + std::to_string(rc) + "]";
    }
    static LONG SetString(HKEY root, const char* path, const char* name, const char* text) {
        HKEY key = nullptr;
        LONG rc = RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
        if (rc == ERROR_SUCCESS) {
            rc = RegSetValueExA(key, name, 0, REG_SZ, Text(text), static_cast<DWORD>(std::strlen(text)));
            RegCloseKey(key);
        }
        return rc;
    }
    // Runs a function in a child process and returns its exit code.
    template <class F>
    static int InChild(F f) {
        pid_t child = ::fork();
        if (child == 0) {
            ::_exit(f());
        }
        int status = 0;
        ::waitpid(child, &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    fs::path m_root;
};

TEST_F(RegistryTest, NewInstallationIsSeededWithoutWritingAFile) {
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", "ProgramFilesDir"),
              "C:\\Program Files\0"s);
    HKEY shared = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs", 0,
                            KEY_READ, &shared),
              ERROR_SUCCESS);
    char name[16];
    DWORD nameSize = sizeof name;
    EXPECT_EQ(RegEnumValueA(shared, 0, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegEnumKeyA(shared, 0, name, sizeof name), ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegCloseKey(shared), ERROR_SUCCESS);
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\Quorva", "x"), "[2]");
    EXPECT_FALSE(fs::exists(plat::RegistryFilePath()));
    EXPECT_EQ(plat::RegistryFilePath(), m_root / "WINDOWS" / "registry.reg");
}

TEST_F(RegistryTest, CreateMakesEveryLevelAndReportsDisposition) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "Software\\Quorva\\Zelbo\\1.0", 0, nullptr,
                              REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    RegCloseKey(key);
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QUORVA\\zelbo\\1.0", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    RegCloseKey(key);

    HKEY quorva = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "software\\quorva", &quorva), ERROR_SUCCESS);
    char name[8];
    DWORD size = sizeof name;
    ASSERT_EQ(RegEnumKeyExA(quorva, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_SUCCESS);
    EXPECT_STREQ(name, "Zelbo");  // the case it was made with
    EXPECT_EQ(size, 5u);
    size = 5;  // no room for the NUL
    EXPECT_EQ(RegEnumKeyExA(quorva, 0, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    EXPECT_EQ(RegEnumKeyExA(quorva, 1, name, &size, nullptr, nullptr, nullptr, nullptr), ERROR_NO_MORE_ITEMS);
    RegCloseKey(quorva);
    EXPECT_NE(FileText().find("\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Quorva\\Zelbo\\1.0]\r\n"),
              std::string::npos);
}

// RegQueryValueEx's size protocol on each type.
struct QueryCase {
    DWORD type;
    std::vector<BYTE> written;  // as passed to RegSetValueEx
    std::vector<BYTE> read;     // what a query returns
};

class RegistryQueryTest : public RegistryTest, public ::testing::WithParamInterface<QueryCase> {};

TEST_P(RegistryQueryTest, SizeQueryShortBufferAndRoundTrip) {
    const QueryCase& c = GetParam();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\Quorva", &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "v", 0, c.type, c.written.data(), static_cast<DWORD>(c.written.size())),
              ERROR_SUCCESS);
    RegCloseKey(key);

    // Read back through a second store on the same file, as another process would.
    plat::CRegistryStore other(plat::RegistryFilePath());
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\quorva", 0, KEY_READ, &key), ERROR_SUCCESS);
    DWORD type = 0;
    DWORD size = 0;
    ASSERT_EQ(RegQueryValueExA(key, "V", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, c.type);
    EXPECT_EQ(size, c.read.size());

    std::vector<BYTE> buffer(c.read.size() + 4, 0xEE);
    if (!c.read.empty()) {
        size = static_cast<DWORD>(c.read.size() - 1);
        EXPECT_EQ(RegQueryValueExA(key, "v", nullptr, &type, buffer.data(), &size), ERROR_MORE_DATA);
        EXPECT_EQ(size, c.read.size());
        EXPECT_EQ(buffer[0], 0xEE);
    }
    size = static_cast<DWORD>(buffer.size());
    ASSERT_EQ(RegQueryValueExA(key, "v", nullptr, &type, buffer.data(), &size), ERROR_SUCCESS);
    EXPECT_EQ(std::vector<BYTE>(buffer.begin(), buffer.begin() + size), c.read);
    RegCloseKey(key);

    EXPECT_EQ(other.Read([&](const plat::CRegTree& tree) -> LONG {
        const plat::CRegKey* k = tree.Find(plat::RegRoot::LocalMachine, {"Software", "Quorva"});
        const plat::CRegValue* v = k != nullptr ? k->Value("v") : nullptr;
        if (v == nullptr || v->type != c.type) {
            return ERROR_FILE_NOT_FOUND;
        }
        std::vector<BYTE> stored = v->data;
        if (plat::IsTextType(v->type)) {
            stored.push_back(0);
        }
        return stored == c.read ? static_cast<LONG>(ERROR_SUCCESS)
                                : static_cast<LONG>(ERROR_INVALID_PARAMETER);
    }),
              ERROR_SUCCESS);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RegistryQueryTest,
    ::testing::Values(QueryCase{REG_SZ, {'D', ':', '\\'}, {'D', ':', '\\', 0}},     // length without NUL
                      QueryCase{REG_SZ, {'D', ':', '\\', 0}, {'D', ':', '\\', 0}},  // length with NUL
                      QueryCase{REG_SZ, {'a', 0, 'b'}, {'a', 0}},                   // text ends at NUL
                      QueryCase{REG_SZ, {}, {0}},                                   // empty text
                      QueryCase{REG_DWORD, {0x2A, 0, 0, 0x80}, {0x2A, 0, 0, 0x80}},
                      QueryCase{REG_BINARY, {1, 0, 0, 0}, {1, 0, 0, 0}}, QueryCase{REG_BINARY, {}, {}},
                      QueryCase{REG_EXPAND_SZ, {'%', 'X', '%'}, {'%', 'X', '%', 0}}));

// A REG_SZ written with the length of its first three characters keeps only those, as the
// game records a CD drive's root.
TEST_F(RegistryTest, TextWrittenWithShortLengthIsCut) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, "Software\\Quorva\\Zelbo\\1.0", &key), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, "Resource Path", 0, REG_SZ, Text("E:\\ZELBO\\DATA"), 3), ERROR_SUCCESS);
    RegCloseKey(key);
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\Quorva\\Zelbo\\1.0", "resource path"), "E:\\\0"s);
    EXPECT_NE(FileText().find("\"Resource Path\"=\"E:\\\\\"\r\n"), std::string::npos);
}

// Shared-file counts are values named by full paths under SharedDLLs.
TEST_F(RegistryTest, ValueNamesWithBackslashesCompareWithoutCase) {
    const char* kShared = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs";
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_LOCAL_MACHINE, kShared, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    const BYTE one[4] = {1, 0, 0, 0};
    ASSERT_EQ(RegSetValueExA(key, "C:\\Program Files\\Quorva\\\xC5RSTID.DLL", 0, REG_BINARY, one, 4),
              ERROR_SUCCESS);
    const BYTE two[4] = {2, 0, 0, 0};
    ASSERT_EQ(RegSetValueExA(key, "c:\\program files\\QUORVA\\\xE5rstid.dll", 0, REG_BINARY, two, 4),
              ERROR_SUCCESS);
    RegCloseKey(key);

    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, kShared, "C:\\PROGRAM FILES\\QUORVA\\\xC5RSTID.DLL"), "\x02\0\0\0"s);
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, kShared, 0, KEY_READ, &key), ERROR_SUCCESS);
    char name[64];
    DWORD nameSize = sizeof name;
    DWORD type = 0;
    BYTE data[4];
    DWORD dataSize = sizeof data;
    ASSERT_EQ(RegEnumValueA(key, 0, name, &nameSize, nullptr, &type, data, &dataSize), ERROR_SUCCESS);
    EXPECT_STREQ(name, "C:\\Program Files\\Quorva\\\xC5RSTID.DLL");
    EXPECT_EQ(type, static_cast<DWORD>(REG_BINARY));
    nameSize = sizeof name;
    EXPECT_EQ(RegEnumValueA(key, 1, name, &nameSize, nullptr, nullptr, nullptr, nullptr),
              ERROR_NO_MORE_ITEMS);
    EXPECT_EQ(RegDeleteValueA(key, "C:\\PROGRAM FILES\\quorva\\\xE5RSTID.DLL"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValueA(key, "C:\\PROGRAM FILES\\quorva\\\xE5RSTID.DLL"), ERROR_FILE_NOT_FOUND);
    RegCloseKey(key);
    EXPECT_NE(
        FileText().find("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\SharedDLLs]\r\n"),
        std::string::npos);
}

// The removal program's pruning: a key with subkeys is refused, leaves go one by one.
TEST_F(RegistryTest, DeleteKeyRefusesKeysWithSubkeys) {
    ASSERT_EQ(SetString(HKEY_LOCAL_MACHINE, "Software\\Quorva\\Zelbo\\1.0", "Install Path", "C:\\Q"),
              ERROR_SUCCESS);
    HKEY deep = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Quorva\\Zelbo\\1.0", &deep), ERROR_SUCCESS);

    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Quorva\\Zelbo"), ERROR_ACCESS_DENIED);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Quorva\\Zelbo\\2.0"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\QUORVA\\ZELBO\\1.0"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Quorva\\Zelbo"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteKeyA(HKEY_LOCAL_MACHINE, ""), ERROR_ACCESS_DENIED);

    // A handle whose key is gone.
    DWORD size = 0;
    EXPECT_EQ(RegQueryValueExA(deep, "Install Path", nullptr, nullptr, nullptr, &size), ERROR_KEY_DELETED);
    EXPECT_EQ(RegCloseKey(deep), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(deep), ERROR_INVALID_HANDLE);

    HKEY quorva = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Quorva", &quorva), ERROR_SUCCESS);
    char name[8];
    EXPECT_EQ(RegEnumKeyA(quorva, 0, name, sizeof name), ERROR_NO_MORE_ITEMS);
    RegCloseKey(quorva);
    EXPECT_EQ(FileText().find("Zelbo"), std::string::npos);
}

TEST_F(RegistryTest, ClassesRootIsPartOfLocalMachine) {
    ASSERT_EQ(SetString(HKEY_CLASSES_ROOT, ".zlb", nullptr, "Zelbo.Document"), ERROR_SUCCESS);
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\Classes\\.ZLB", ""), "Zelbo.Document\0"s);
    ASSERT_EQ(SetString(HKEY_CURRENT_USER, "Software\\Quorva\\Zelbo", "Current User", "G\xE4st"),
              ERROR_SUCCESS);
    EXPECT_EQ(Query(HKEY_CURRENT_USER, "Software\\Quorva\\Zelbo", "current user"), "G\xE4st\0"s);
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\Quorva\\Zelbo", "current user"), "[2]");
}

TEST_F(RegistryTest, QueryInfoCountsAndMaxima) {
    ASSERT_EQ(SetString(HKEY_LOCAL_MACHINE, "Software\\Q", "Name", "12345"), ERROR_SUCCESS);
    ASSERT_EQ(SetString(HKEY_LOCAL_MACHINE, "Software\\Q\\Longer Sub", "x", "y"), ERROR_SUCCESS);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Q", &key), ERROR_SUCCESS);
    DWORD subKeys = 0, maxSub = 0, values = 0, maxName = 0, maxData = 0;
    ASSERT_EQ(RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, &maxSub, nullptr, &values, &maxName,
                               &maxData, nullptr, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(subKeys, 1u);
    EXPECT_EQ(maxSub, 10u);
    EXPECT_EQ(values, 1u);
    EXPECT_EQ(maxName, 4u);
    EXPECT_EQ(maxData, 6u);
    RegCloseKey(key);
}

// One process writes, another that has already read the registry sees the change.
TEST_F(RegistryTest, ValueWrittenByOneProcessIsReadByAnother) {
    ASSERT_EQ(SetString(HKEY_LOCAL_MACHINE, "Software\\Quorva", "WING", "ON"), ERROR_SUCCESS);
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\Quorva", "WING"), "ON\0"s);
    EXPECT_EQ(InChild([] {
                  return SetString(HKEY_LOCAL_MACHINE, "Software\\Quorva", "WING", "OF") == ERROR_SUCCESS &&
                                 SetString(HKEY_LOCAL_MACHINE, "Software\\Quorva\\New", "k", "v") ==
                                     ERROR_SUCCESS
                             ? 0
                             : 1;
              }),
              0);
    // Same size, and likely the same modification time: only the file's identity differs.
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\Quorva", "WING"), "OF\0"s);
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\Quorva\\New", "k"), "v\0"s);
    // And back: this process writes, a child reads.
    ASSERT_EQ(SetString(HKEY_LOCAL_MACHINE, "Software\\Quorva", "AUTORESIZE", "OFF"), ERROR_SUCCESS);
    EXPECT_EQ(InChild([] {
                  return Query(HKEY_LOCAL_MACHINE, "Software\\Quorva", "AUTORESIZE") == "OFF\0"s ? 0 : 1;
              }),
              0);
}

TEST_F(RegistryTest, ConcurrentWritersLoseNothing) {
    constexpr int kWriters = 4;
    constexpr int kValues = 25;
    std::vector<pid_t> children;
    for (int w = 0; w < kWriters; ++w) {
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            int failures = 0;
            for (int v = 0; v < kValues; ++v) {
                std::string name = "w" + std::to_string(w) + "v" + std::to_string(v);
                failures += SetString(HKEY_LOCAL_MACHINE, "Software\\Quorva\\Shared", name.c_str(),
                                      name.c_str()) == ERROR_SUCCESS
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
        for (int v = 0; v < kValues; ++v) {
            std::string name = "w" + std::to_string(w) + "v" + std::to_string(v);
            EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\Quorva\\Shared", name.c_str()), name + '\0');
        }
    }
}

// A write that fails leaves the file as it was, and the process does not go on believing
// its change was made.
TEST_F(RegistryTest, FailedWriteLeavesFileAndMemoryAsTheyWere) {
    ASSERT_EQ(SetString(HKEY_LOCAL_MACHINE, "Software\\Quorva", "Keep", std::string(300, 'k').c_str()),
              ERROR_SUCCESS);
    const std::string before = FileText();
    EXPECT_EQ(InChild([] {
                  ::signal(SIGXFSZ, SIG_IGN);
                  struct rlimit limit {};
                  limit.rlim_cur = limit.rlim_max = 200;
                  ::setrlimit(RLIMIT_FSIZE, &limit);
                  if (SetString(HKEY_LOCAL_MACHINE, "Software\\Quorva", "New", "v") != ERROR_DISK_FULL) {
                      return 1;
                  }
                  return Query(HKEY_LOCAL_MACHINE, "Software\\Quorva", "New") == "[2]" ? 0 : 2;
              }),
              0);
    EXPECT_EQ(FileText(), before);
    for (const auto& entry : fs::directory_iterator(m_root / "WINDOWS")) {
        if (entry.is_regular_file()) {
            EXPECT_EQ(entry.path().filename(), "registry.reg");  // no temporary file left
        }
    }
}

// A damaged file: readable entries are served, the first change rewrites a clean file and
// keeps the damaged one beside it.
TEST_F(RegistryTest, DamagedFileIsReadAndKeptOnRewrite) {
    const std::string damaged =
        "REGEDIT4\r\n\x01\x02\x00\xFF junk\r\n"s
        "[HKEY_LOCAL_MACHINE\\Software\\Quorva]\r\n"
        "\"WING\"=\"OFF\"\r\n"
        "\"Broken\"=dword:zz\r\n" +
        std::string(100000, '\xA5') +
        "\r\n"
        "\"Tally\"=hex:02,00,00,00\r\n"
        "\"Cut\"=\"no end";
    {
        std::ofstream out(plat::RegistryFilePath(), std::ios::binary);
        out << damaged;
    }
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\Quorva", "WING"), "OFF\0"s);
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\Quorva", "Tally"), "\x02\0\0\0"s);
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\Quorva", "Broken"), "[2]");

    ASSERT_EQ(SetString(HKEY_LOCAL_MACHINE, "Software\\Quorva", "AUTORESIZE", "ON"), ERROR_SUCCESS);
    std::ifstream kept(plat::RegistryFilePath().string() + ".damaged", std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(kept), std::istreambuf_iterator<char>()), damaged);
    std::vector<size_t> bad;
    plat::CRegTree clean = plat::CRegTree::Parse(FileText(), &bad);
    EXPECT_TRUE(bad.empty());
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\Quorva", "WING"), "OFF\0"s);
    EXPECT_EQ(Query(HKEY_LOCAL_MACHINE, "Software\\Quorva", "Tally"), "\x02\0\0\0"s);
}

TEST_F(RegistryTest, BadArgumentsAndHandles) {
    HKEY key = reinterpret_cast<HKEY>(static_cast<uintptr_t>(0x1234));
    EXPECT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software", 0, KEY_READ, nullptr), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegOpenKeyExA(key, "Software", 0, KEY_READ, &key), ERROR_INVALID_HANDLE);
    EXPECT_EQ(key, nullptr);
    BYTE data[4];
    EXPECT_EQ(RegQueryValueExA(HKEY_LOCAL_MACHINE, "x", nullptr, nullptr, data, nullptr),
              ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegSetValueExA(HKEY_LOCAL_MACHINE, "line\nbreak", 0, REG_SZ, Text("x"), 1),
              ERROR_INVALID_PARAMETER);
    std::string longName(256, 'k');
    EXPECT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, longName.c_str(), &key), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(HKEY_LOCAL_MACHINE), ERROR_SUCCESS);
}

}  // namespace
