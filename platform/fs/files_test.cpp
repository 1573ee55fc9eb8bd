#include <functional>
#include <set>
#include <vector>

#include "platform/fs/find_pattern.h"
#include "platform/fs/fs_test_fixture.h"

namespace fs = std::filesystem;

namespace {

using Files = EmulatedDrives;

DWORD LastError() { return GetLastError(); }

std::string ReadAll(HANDLE h) {
    std::string out;
    char buf[64];
    DWORD got = 0;
    while (ReadFile(h, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
    return out;
}

bool WriteAll(HANDLE h, std::string_view text) {
    DWORD put = 0;
    return WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &put, nullptr) && put == text.size();
}

HANDLE Open(const char* name, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileA(name, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

TEST_F(Files, OpenErrorsAndDispositions) {
    Put(root / "Zelbo.ini", "[COMMON]\r\n");
    fs::create_directories(root / "kids");
    const struct {
        const char* name;
        DWORD disposition;
        DWORD error;
    } failures[] = {
        {"C:\\missing.txt", OPEN_EXISTING, ERROR_FILE_NOT_FOUND},
        {"C:\\nodir\\missing.txt", OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
        {"C:\\nodir\\new.txt", CREATE_ALWAYS, ERROR_PATH_NOT_FOUND},
        {"C:\\zelbo.INI", CREATE_NEW, ERROR_FILE_EXISTS},
        {"C:\\kids", OPEN_EXISTING, ERROR_ACCESS_DENIED},
        {"C:\\missing.txt", TRUNCATE_EXISTING, ERROR_FILE_NOT_FOUND},
        {"C:\\Zelbo.ini", 0, ERROR_INVALID_PARAMETER},
        {"C:\\a<b.txt", OPEN_ALWAYS, ERROR_INVALID_NAME},
        {"Q:\\x.txt", OPEN_ALWAYS, ERROR_PATH_NOT_FOUND},
        {"", OPEN_EXISTING, ERROR_PATH_NOT_FOUND},
    };
    for (const auto& f : failures) {
        SetLastError(0);
        EXPECT_EQ(Open(f.name, GENERIC_READ | GENERIC_WRITE, 0, f.disposition), INVALID_HANDLE_VALUE) << f.name;
        EXPECT_EQ(LastError(), f.error) << f.name;
    }
    const std::string longName = "C:\\" + std::string(300, 'x');
    EXPECT_EQ(Open(longName.c_str(), GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_FILENAME_EXCED_RANGE));

    // Opening an existing file by another case reaches the same file; nothing new appears.
    HANDLE h = Open("C:\\ZELBO.INI", GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(GetFileSize(h, nullptr), 0u);  // truncated
    EXPECT_TRUE(WriteAll(h, "new"));
    CloseHandle(h);
    EXPECT_EQ(Get(root / "Zelbo.ini"), "new");
    EXPECT_FALSE(Exists(root / "ZELBO.INI"));

    h = Open("C:\\kids\\Fresh.Txt", GENERIC_WRITE, 0, OPEN_ALWAYS);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_SUCCESS));
    CloseHandle(h);
    EXPECT_TRUE(Exists(root / "kids" / "Fresh.Txt"));
}

TEST_F(Files, ReadWriteSeekAndTruncate) {
    HANDLE h = Open("C:\\data.bin", GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(WriteAll(h, "hello world"));
    EXPECT_EQ(GetFileSize(h, nullptr), 11u);
    EXPECT_EQ(SetFilePointer(h, 6, nullptr, FILE_BEGIN), 6u);
    EXPECT_EQ(ReadAll(h), "world");
    EXPECT_EQ(SetFilePointer(h, -5, nullptr, FILE_END), 6u);
    EXPECT_EQ(SetFilePointer(h, -1, nullptr, FILE_CURRENT), 5u);
    EXPECT_TRUE(SetEndOfFile(h));
    EXPECT_EQ(GetFileSize(h, nullptr), 5u);

    EXPECT_EQ(SetFilePointer(h, -6, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
    EXPECT_EQ(SetFilePointer(h, 0, nullptr, FILE_CURRENT), 5u);  // unchanged by the failure

    // 64-bit positions through the high part.
    LONG high = 1;
    EXPECT_EQ(SetFilePointer(h, 16, &high, FILE_BEGIN), 16u);
    EXPECT_EQ(high, 1);
    high = 0;
    EXPECT_EQ(SetFilePointer(h, 0, &high, FILE_BEGIN), 0u);

    // Reading at the end is success with nothing read.
    SetFilePointer(h, 0, nullptr, FILE_END);
    char c = 0;
    DWORD got = 99;
    EXPECT_TRUE(ReadFile(h, &c, 1, &got, nullptr));
    EXPECT_EQ(got, 0u);
    EXPECT_TRUE(CloseHandle(h));
    EXPECT_EQ(Get(root / "data.bin"), "hello");

    // Calls on a closed handle.
    EXPECT_FALSE(CloseHandle(h));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(ReadFile(h, &c, 1, &got, nullptr));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(GetFileSize(h, nullptr), INVALID_FILE_SIZE);

    // Access is what the handle was opened for.
    h = Open("C:\\data.bin", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_FALSE(WriteAll(h, "x"));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(SetEndOfFile(h));
    CloseHandle(h);
    h = Open("C:\\data.bin", GENERIC_WRITE, 0, OPEN_EXISTING);
    EXPECT_FALSE(ReadFile(h, &c, 1, &got, nullptr));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    CloseHandle(h);
}

TEST_F(Files, ShareModesBetweenHandles) {
    Put(root / "shared.dat", "abc");
    const struct {
        DWORD firstAccess, firstShare, secondAccess, secondShare;
        bool allowed;
    } cases[] = {
        {GENERIC_READ, FILE_SHARE_READ, GENERIC_READ, FILE_SHARE_READ, true},
        {GENERIC_READ, FILE_SHARE_READ, GENERIC_WRITE, FILE_SHARE_READ, false},
        {GENERIC_READ, 0, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, false},
        {GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, GENERIC_READ, FILE_SHARE_READ, false},
        {GENERIC_WRITE | GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, GENERIC_READ | GENERIC_WRITE,
         FILE_SHARE_READ | FILE_SHARE_WRITE, true},
    };
    for (const auto& c : cases) {
        HANDLE a = Open("C:\\shared.dat", c.firstAccess, c.firstShare, OPEN_EXISTING);
        ASSERT_NE(a, INVALID_HANDLE_VALUE);
        HANDLE b = Open("C:\\SHARED.DAT", c.secondAccess, c.secondShare, OPEN_EXISTING);
        EXPECT_EQ(b != INVALID_HANDLE_VALUE, c.allowed);
        if (b == INVALID_HANDLE_VALUE) {
            EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
        } else {
            CloseHandle(b);
        }
        CloseHandle(a);
    }
    // An open file cannot be deleted, moved or overwritten by a copy.
    Put(root / "other.dat", "zz");
    HANDLE a = Open("C:\\shared.dat", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_FALSE(DeleteFileA("C:\\shared.dat"));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_FALSE(MoveFileA("C:\\shared.dat", "C:\\moved.dat"));
    EXPECT_FALSE(CopyFileA("C:\\other.dat", "C:\\shared.dat", FALSE));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(a);
    EXPECT_TRUE(DeleteFileA("C:\\shared.dat"));
}

TEST_F(Files, AttributesReadOnlyHiddenSystem) {
    Put(root / "prefs.prf", "x");
    fs::create_directories(root / "kids");
    EXPECT_EQ(GetFileAttributesA("C:\\PREFS.PRF"), static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(GetFileAttributesA("C:\\kids"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesA("C:\\"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_EQ(GetFileAttributesA("C:\\none"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(GetFileAttributesA("C:\\none\\x"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));

    // Read-only is the owner write bit, and it is honoured even for the superuser.
    ASSERT_TRUE(SetFileAttributesA("C:\\prefs.prf", FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(fs::status(root / "prefs.prf").permissions() & fs::perms::owner_write, fs::perms::none);
    EXPECT_EQ(GetFileAttributesA("C:\\prefs.prf"), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
    EXPECT_EQ(Open("C:\\prefs.prf", GENERIC_WRITE, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(DeleteFileA("C:\\prefs.prf"));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(_access("C:\\prefs.prf", 2), -1);
    EXPECT_EQ(_access("C:\\prefs.prf", 4), 0);
    Put(root / "src.txt", "new");
    EXPECT_FALSE(CopyFileA("C:\\src.txt", "C:\\prefs.prf", FALSE));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Get(root / "prefs.prf"), "x");

    ASSERT_TRUE(SetFileAttributesA("C:\\prefs.prf", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(GetFileAttributesA("C:\\prefs.prf"), static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(SetFileAttributesA("C:\\prefs.prf", FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(GetFileAttributesA("C:\\prefs.prf"), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileA("C:\\prefs.prf"));

    // A read-only folder still takes new files, as on Windows.
    ASSERT_TRUE(SetFileAttributesA("C:\\kids", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    EXPECT_EQ(GetFileAttributesA("C:\\kids"),
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    HANDLE h = Open("C:\\kids\\in.txt", GENERIC_WRITE, 0, CREATE_NEW);
    EXPECT_NE(h, INVALID_HANDLE_VALUE);
    CloseHandle(h);

    // A file created read-only can still be written through the handle that made it.
    h = CreateFileA("C:\\ro.txt", GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_READONLY, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(WriteAll(h, "kept"));
    CloseHandle(h);
    EXPECT_EQ(Get(root / "ro.txt"), "kept");
    EXPECT_EQ(GetFileAttributesA("C:\\ro.txt"), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
}

TEST(FindPattern, MatchTable) {
    const struct {
        const char* name;
        const char* mask;
        bool match;
    } cases[] = {
        {"SETTINGS.INI", "*.*", true},   {"readme", "*.*", true},          {"readme", "*", true},
        {"Zelbo.ini", "*.INI", true},    {"Zelbo.inix", "*.INI", false},   {"a.b.c", "*.c", true},
        {"Kid001", "KID00?", true},      {"Kid0012", "KID00?", false},     {"Kid00", "KID00?", true},
        {"AB.TXT", "A??.TXT", true},     {"ABCD.TXT", "A??.TXT", false},   {"readme", "readme.*", true},
        {"readme", "*.", true},          {"read.me", "*.", false},         {"x", "?", true},
        {"", "*", true},                 {"abc", "a*b*c*", true},          {"abc", "*d*", false},
        {"\xC5sa.txt", "\xE5*", true},   {"\xD6rjan", "\xF6RJAN", true},   {"\xC4", "\xC5", false},
        {"ZADARO.SWP", "zadaro.swp", true},
    };
    for (const auto& c : cases) EXPECT_EQ(plat::MatchDosPattern(c.name, c.mask), c.match) << c.name << " ~ " << c.mask;
    // Long runs of stars stay quick (no backtracking blow-up).
    EXPECT_FALSE(plat::MatchDosPattern(std::string(200, 'a'), std::string(60, '*') + "b"));
}

std::vector<std::string> FindAll(const std::string& pattern, DWORD* error = nullptr) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA(pattern.c_str(), &data);
    if (h == INVALID_HANDLE_VALUE) {
        if (error) *error = GetLastError();
        return names;
    }
    do names.emplace_back(data.cFileName);
    while (FindNextFileA(h, &data));
    if (error) *error = GetLastError();
    EXPECT_TRUE(FindClose(h));
    return names;
}

TEST_F(Files, FindPatternsInAFolder) {
    const fs::path dir = root / "kids";
    Put(dir / "SETTINGS.INI", "12345");
    Put(dir / "Zelbo.ini");
    Put(dir / "readme");
    Put(dir / "a.b.c");
    Put(dir / "Åsa.txt");
    fs::create_directories(dir / "Kid001");
    fs::create_directories(dir / "Kid002");
    using V = std::vector<std::string>;
    const struct {
        std::string pattern;
        V names;
    } cases[] = {
        {"C:\\kids\\*.*", {".", "..", "a.b.c", "Kid001", "Kid002", "readme", "SETTINGS.INI", "Zelbo.ini", W("Åsa.txt")}},
        {"c:/KIDS/*.ini", {"SETTINGS.INI", "Zelbo.ini"}},
        {"C:\\kids\\KID00?", {"Kid001", "Kid002"}},
        {"C:\\kids\\readme.*", {"readme"}},
        {"C:\\kids\\zelbo.INI", {"Zelbo.ini"}},
        {W("C:\\kids\\å*"), {W("Åsa.txt")}},
        {"C:\\kids\\Kid001\\*.*", {".", ".."}},
    };
    for (const auto& c : cases) {
        DWORD error = 0;
        EXPECT_EQ(FindAll(c.pattern, &error), c.names) << c.pattern;
        EXPECT_EQ(error, static_cast<DWORD>(ERROR_NO_MORE_FILES)) << c.pattern;
    }
    // Relative to the current folder.
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\kids"));
    EXPECT_EQ(FindAll("*.INI"), (V{"SETTINGS.INI", "Zelbo.ini"}));
    EXPECT_EQ(FindAll("C:Kid*"), (V{"Kid001", "Kid002"}));

    DWORD error = 0;
    EXPECT_TRUE(FindAll("C:\\kids\\nothing*", &error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_TRUE(FindAll("C:\\nodir\\*.*", &error).empty());
    EXPECT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    // A drive's root has no "." and "..".
    const auto rootNames = FindAll("C:\\*.*");
    EXPECT_EQ(std::count(rootNames.begin(), rootNames.end(), "."), 0);
    EXPECT_EQ(std::count(rootNames.begin(), rootNames.end(), "WINDOWS"), 1);

    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA("C:\\kids\\settings.ini", &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(data.nFileSizeLow, 5u);
    EXPECT_EQ(data.nFileSizeHigh, 0u);
    FILETIME written;
    HANDLE f = Open("C:\\kids\\SETTINGS.INI", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_TRUE(GetFileTime(f, nullptr, nullptr, &written));
    CloseHandle(f);
    EXPECT_EQ(CompareFileTime(&data.ftLastWriteTime, &written), 0);
    EXPECT_FALSE(FindNextFileA(h, &data));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(h));
    EXPECT_FALSE(FindClose(h));

    h = FindFirstFileA("C:\\kids\\Kid001", &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));  // exactly, as callers test
    FindClose(h);
}

// A removal program's tree deletion, written the way such callers do it.
void DeleteTree(const std::string& dir) {
    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA((dir + "\\*.*").c_str(), &data);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            if (data.cFileName[0] == '.') continue;
            const std::string path = dir + "\\" + data.cFileName;
            if (data.dwFileAttributes == FILE_ATTRIBUTE_DIRECTORY) {
                DeleteTree(path);
            } else {
                SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                EXPECT_TRUE(DeleteFileA(path.c_str())) << path;
            }
        } while (FindNextFileA(h, &data));
        FindClose(h);
    }
    EXPECT_TRUE(RemoveDirectoryA(dir.c_str())) << dir;
}

TEST_F(Files, SymbolicLinksAreFilesAndDeletionNeverFollowsThem) {
    Put(root / "keep" / "real.txt", "precious");
    Put(root / "keep" / "sub" / "inner.txt", "also");
    fs::create_directories(root / "tree" / "inside");
    Put(root / "tree" / "inside" / "own.txt", "mine");
    fs::create_directory_symlink(root / "keep", root / "tree" / "dirlink");
    fs::create_symlink(root / "keep" / "real.txt", root / "tree" / "filelink");
    fs::create_symlink(root / "gone", root / "tree" / "dangling");

    WIN32_FIND_DATAA data;
    HANDLE h = FindFirstFileA("C:\\tree\\dirlink", &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY, 0u);
    FindClose(h);
    h = FindFirstFileA("C:\\tree\\filelink", &data);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_EQ(data.nFileSizeLow, 8u);  // the size of what it names
    FindClose(h);
    EXPECT_FALSE(RemoveDirectoryA("C:\\tree\\dirlink"));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_DIRECTORY));

    DeleteTree("C:\\tree");
    EXPECT_FALSE(Exists(root / "tree"));
    EXPECT_EQ(Get(root / "keep" / "real.txt"), "precious");
    EXPECT_EQ(Get(root / "keep" / "sub" / "inner.txt"), "also");
}

TEST_F(Files, DirectoriesCreateAndRemove) {
    EXPECT_TRUE(CreateDirectoryA("C:\\Quorva", nullptr));
    EXPECT_TRUE(fs::is_directory(root / "Quorva"));
    EXPECT_FALSE(CreateDirectoryA("C:\\QUORVA", nullptr));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryA("C:\\none\\deeper", nullptr));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_TRUE(CreateDirectoryA("C:\\quorva\\Zelbo\\", nullptr));
    EXPECT_TRUE(fs::is_directory(root / "Quorva" / "Zelbo"));

    Put(root / "Quorva" / "Zelbo" / "file.txt");
    EXPECT_FALSE(RemoveDirectoryA("C:\\Quorva\\Zelbo"));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_DIR_NOT_EMPTY));
    EXPECT_TRUE(fs::is_directory(root / "Quorva" / "Zelbo"));
    EXPECT_FALSE(RemoveDirectoryA("C:\\Quorva\\Zelbo\\file.txt"));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_DIRECTORY));
    EXPECT_FALSE(RemoveDirectoryA("C:\\Quorva\\Missing"));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(RemoveDirectoryA("C:\\"));
    EXPECT_FALSE(DeleteFileA("C:\\Quorva"));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));

    EXPECT_TRUE(DeleteFileA("c:\\QUORVA\\ZELBO\\FILE.TXT"));
    EXPECT_TRUE(RemoveDirectoryA("C:\\QUORVA\\ZELBO"));
    EXPECT_FALSE(Exists(root / "Quorva" / "Zelbo"));
    EXPECT_FALSE(DeleteFileA("C:\\Quorva\\gone.txt"));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(Files, CopyKeepsExecuteBitAndTimeAndHonoursFailIfExists) {
    Put(root / "Setwell.exe", "program");
    fs::permissions(root / "Setwell.exe", fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec);
    const auto written = fs::last_write_time(root / "Setwell.exe") - std::chrono::hours(48);
    fs::last_write_time(root / "Setwell.exe", written);

    ASSERT_TRUE(CopyFileA("C:\\SETWELL.EXE", "C:\\Program Files\\Rembly.exe", FALSE));
    const fs::path copy = root / "Program Files" / "Rembly.exe";
    EXPECT_EQ(Get(copy), "program");
    EXPECT_NE(fs::status(copy).permissions() & fs::perms::owner_exec, fs::perms::none);
    EXPECT_EQ(fs::last_write_time(copy), written);

    Put(root / "other.exe", "other");
    EXPECT_FALSE(CopyFileA("C:\\other.exe", "C:\\program files\\REMBLY.EXE", TRUE));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
    EXPECT_EQ(Get(copy), "program");
    EXPECT_TRUE(CopyFileA("C:\\other.exe", "C:\\program files\\REMBLY.EXE", FALSE));
    EXPECT_EQ(Get(copy), "other");
    EXPECT_FALSE(Exists(root / "Program Files" / "REMBLY.EXE"));

    EXPECT_FALSE(CopyFileA("C:\\missing.exe", "C:\\x.exe", FALSE));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(CopyFileA("C:\\other.exe", "C:\\nodir\\x.exe", FALSE));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_FALSE(CopyFileA("C:\\other.exe", "C:\\other.exe", FALSE));
    EXPECT_EQ(Get(root / "other.exe"), "other");
    // No temporary file is left behind.
    EXPECT_EQ(FindAll("C:\\Program Files\\*.*"), (std::vector<std::string>{".", "..", "Rembly.exe"}));
}

TEST_F(Files, MoveFileRenamesAndRefusesExistingTargets) {
    Put(root / "a.txt", "a");
    Put(root / "b.txt", "b");
    EXPECT_FALSE(MoveFileA("C:\\a.txt", "C:\\B.TXT"));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(MoveFileA("C:\\none.txt", "C:\\c.txt"));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    // Only the case changes: the same file takes the new spelling.
    ASSERT_TRUE(MoveFileA("C:\\a.txt", "C:\\A.TXT"));
    EXPECT_TRUE(Exists(root / "A.TXT"));
    EXPECT_FALSE(Exists(root / "a.txt"));

    fs::create_directories(root / "dir" / "sub");
    ASSERT_TRUE(MoveFileA("C:\\A.TXT", "C:\\dir\\sub\\moved.txt"));
    EXPECT_EQ(Get(root / "dir" / "sub" / "moved.txt"), "a");
    ASSERT_TRUE(MoveFileA("C:\\DIR", "C:\\Renamed"));
    EXPECT_EQ(Get(root / "Renamed" / "sub" / "moved.txt"), "a");
    Put(cd1 / "cd.txt");
    EXPECT_FALSE(MoveFileA("D:\\cd.txt", "C:\\cd.txt"));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(plat::rename_dos("C:\\b.txt", "C:\\c.txt"), 0);
    EXPECT_EQ(plat::remove_dos("C:\\c.txt"), 0);
    EXPECT_EQ(plat::remove_dos("C:\\c.txt"), -1);
    EXPECT_EQ(errno, ENOENT);
}

TEST_F(Files, SixteenBitCallsAndOpenFile) {
    HFILE f = _lcreat("C:\\old.dat", 0);
    ASSERT_NE(f, HFILE_ERROR);
    EXPECT_EQ(_lwrite(f, "0123456789", 10), 10u);
    EXPECT_EQ(_llseek(f, 4, 0), 4);
    EXPECT_EQ(_lwrite(f, "", 0), 0u);  // writing nothing cuts the file here
    EXPECT_EQ(_lclose(f), 0);
    EXPECT_EQ(Get(root / "old.dat"), "0123");

    f = _lopen("C:\\OLD.DAT", OF_READ | OF_SHARE_DENY_WRITE);
    ASSERT_NE(f, HFILE_ERROR);
    char buf[8] = {};
    EXPECT_EQ(_lread(f, buf, sizeof buf), 4u);
    EXPECT_EQ(_llseek(f, 0, 2), 4);
    EXPECT_EQ(_lwrite(f, "x", 1), static_cast<UINT>(HFILE_ERROR));
    // Deny-write sharing keeps writers out.
    EXPECT_EQ(_lopen("C:\\old.dat", OF_WRITE), HFILE_ERROR);
    EXPECT_EQ(_lclose(f), 0);
    EXPECT_EQ(_lclose(f), HFILE_ERROR);
    EXPECT_EQ(_lopen("C:\\nothing.dat", OF_READ), HFILE_ERROR);

    OFSTRUCT info;
    EXPECT_EQ(OpenFile("c:\\old.dat", &info, OF_EXIST), 1);
    EXPECT_STREQ(info.szPathName, "C:\\old.dat");
    EXPECT_EQ(info.fFixedDisk, 1);
    EXPECT_EQ(OpenFile("C:\\missing.prf", &info, OF_EXIST), HFILE_ERROR);
    EXPECT_EQ(info.nErrCode, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(OpenFile("C:\\old.dat", &info, OF_DELETE), 1);
    EXPECT_FALSE(Exists(root / "old.dat"));
}

TEST_F(Files, StdioOnDosPaths) {
    Put(root / "Product.Dat", "ProductName=Zelbo\r\nDisk=1\nlast");
    FILE* f = plat::fopen_dos("C:\\PRODUCT.DAT", "r");
    ASSERT_NE(f, nullptr);
    char line[64];
    std::vector<std::string> lines;
    while (std::fgets(line, sizeof line, f)) lines.emplace_back(line);
    EXPECT_FALSE(std::ferror(f));
    EXPECT_TRUE(std::feof(f));
    std::fclose(f);
    // Text mode reads "\r\n" as "\n", as the Windows runtime does.
    EXPECT_EQ(lines, (std::vector<std::string>{"ProductName=Zelbo\n", "Disk=1\n", "last"}));

    f = plat::fopen_dos("C:\\Product.Dat", "rb");
    ASSERT_NE(f, nullptr);
    ASSERT_NE(std::fgets(line, sizeof line, f), nullptr);
    EXPECT_STREQ(line, "ProductName=Zelbo\r\n");
    std::fclose(f);

    // A text file ends at Ctrl+Z.
    Put(root / "ctrlz.txt", "abc\x1A" "def");
    f = plat::fopen_dos("C:\\ctrlz.txt", "rt");
    ASSERT_NE(f, nullptr);
    EXPECT_EQ(std::fread(line, 1, sizeof line, f), 3u);
    std::fclose(f);

    f = plat::fopen_dos("C:\\WINDOWS\\WinInit.ini", "w");
    ASSERT_NE(f, nullptr);
    std::fputs("[rename]\n", f);
    EXPECT_EQ(std::fclose(f), 0);
    EXPECT_EQ(Get(root / "WINDOWS" / "WinInit.ini"), "[rename]\n");

    errno = 0;
    EXPECT_EQ(plat::fopen_dos("C:\\missing\\x.txt", "r"), nullptr);
    EXPECT_EQ(errno, ENOENT);
    Put(cd1 / "ro.txt");
    EXPECT_EQ(plat::fopen_dos("D:\\ro.txt", "a"), nullptr);
    EXPECT_EQ(errno, EACCES);
    f = plat::fopen_dos("D:\\ro.txt", "rb");
    EXPECT_NE(f, nullptr);
    if (f) std::fclose(f);
}

}  // namespace

namespace {

struct ReplaceCase {
    const char* name;
    std::function<void(const fs::path& root)> target;  // makes C:\to.dat (or not)
    DWORD flags;
    DWORD error;  // ERROR_SUCCESS: the move happens
};

TEST_F(Files, MoveFileExReplacesAFileInOneRenameAndRefusesWhatItMayNot) {
    const auto file = [](const fs::path& r) { Put(r / "to.dat", "old"); };
    const std::vector<ReplaceCase> cases = {
        {"no target", [](const fs::path&) {}, 0, ERROR_SUCCESS},
        {"a file, replaced", file, MOVEFILE_REPLACE_EXISTING, ERROR_SUCCESS},
        {"a file, write-through", file, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH, ERROR_SUCCESS},
        {"a file, without the flag", file, 0, ERROR_ALREADY_EXISTS},
        {"a folder", [](const fs::path& r) { fs::create_directories(r / "to.dat"); }, MOVEFILE_REPLACE_EXISTING,
         ERROR_ACCESS_DENIED},
        {"a read-only file",
         [](const fs::path& r) {
             Put(r / "to.dat", "old");
             fs::permissions(r / "to.dat", fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                             fs::perm_options::remove);
         },
         MOVEFILE_REPLACE_EXISTING, ERROR_ACCESS_DENIED},
        {"an unknown flag", file, MOVEFILE_REPLACE_EXISTING | 0x4, ERROR_INVALID_PARAMETER},
    };
    for (const ReplaceCase& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(root);
        Put(root / "from.dat", "new");
        c.target(root);
        const std::string before = fs::is_regular_file(root / "to.dat") ? Get(root / "to.dat") : "";
        const BOOL moved = MoveFileExA("C:\\from.dat", "C:\\to.dat", c.flags);
        if (c.error == ERROR_SUCCESS) {
            EXPECT_TRUE(moved);
            EXPECT_EQ(Get(root / "to.dat"), "new");
            EXPECT_FALSE(Exists(root / "from.dat"));
        } else {
            EXPECT_FALSE(moved);
            EXPECT_EQ(LastError(), c.error);
            EXPECT_EQ(Get(root / "from.dat"), "new");
            if (!before.empty()) {
                EXPECT_EQ(Get(root / "to.dat"), before);
            }
        }
        std::error_code ec;
        fs::permissions(root / "to.dat", fs::perms::owner_all, fs::perm_options::add, ec);
    }
    // No temporary name is left in the folder.
    fs::remove_all(root);
    Put(root / "from.dat", "new");
    Put(root / "to.dat", "old");
    ASSERT_TRUE(MoveFileExA("C:\\from.dat", "C:\\TO.DAT", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(FindAll("C:\\*.*"), (std::vector<std::string>{"to.dat"}));

    // An open target and a folder as the source are refused.
    Put(root / "from.dat", "new");
    HANDLE h = Open("C:\\to.dat", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, OPEN_EXISTING);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(MoveFileExA("C:\\from.dat", "C:\\to.dat", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    CloseHandle(h);
    fs::create_directories(root / "dir");
    EXPECT_FALSE(MoveFileExA("C:\\dir", "C:\\to.dat", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(LastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(Get(root / "to.dat"), "new");
}

}  // namespace
