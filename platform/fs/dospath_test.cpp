#include "platform/fs/dospath.h"

#include <unistd.h>

#include <cstring>

#include "platform/fs/fs_test_fixture.h"

namespace fs = std::filesystem;

namespace {

using DosPaths = EmulatedDrives;

TEST_F(DosPaths, FullPathTable) {
    fs::create_directories(root / "kids");
    ASSERT_TRUE(plat::SetCurrentDosDirectory("C:\\kids"));
    const struct {
        const char* in;
        const char* full;
    } cases[] = {
        {"Kid001\\SETTINGS.INI", "C:\\kids\\Kid001\\SETTINGS.INI"},
        {"kids\\Kid001\\SETTINGS.INI", "C:\\kids\\kids\\Kid001\\SETTINGS.INI"},
        {"\\ZADARO.SWP", "C:\\ZADARO.SWP"},
        {"D:", "D:\\"},
        {"d:setup.exe", "D:\\setup.exe"},
        {"C:Kid002", "C:\\kids\\Kid002"},
        {"C:\\..\\..\\WINDOWS", "C:\\WINDOWS"},
        {"..\\..\\..\\x", "C:\\x"},
        {"C:/kids//Kid001/./", "C:\\kids\\Kid001"},
        {"c:\\a\\b\\..\\c", "c:\\a\\c"},
        {"FOO. ", "C:\\kids\\FOO"},
        {".", "C:\\kids"},
        {"C:\\", "C:\\"},
        {"C:\\*.INI", "C:\\*.INI"},
    };
    for (const auto& c : cases) {
        const auto full = plat::FullDosPath(c.in);
        ASSERT_TRUE(full.has_value()) << c.in;
        // The drive letter comes out upper case.
        std::string expected = c.full;
        expected[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(expected[0])));
        EXPECT_EQ(*full, expected) << c.in;
    }
    for (const char* bad : {"", "\\\\server\\share\\x", "\\\\.\\MONO", "C:\\a<b", "C:\\a\"b", "C:\\a|b", "1:\\x",
                            "C:\\a:b", "C:\\tab\there"}) {
        EXPECT_FALSE(plat::FullDosPath(bad).has_value()) << bad;
    }
}

TEST_F(DosPaths, ResolvesExistingNamesWithoutRegardToCase) {
    Put(root / "Zelbo.ini", "x");
    Put(root / "kids" / "Kid001" / "SETTINGS.INI");
    fs::create_directories(root / "Åsa");
    Put(cd1 / "Setup.exe");
    const struct {
        std::string dos;
        fs::path host;
    } cases[] = {
        {"C:\\ZELBO.INI", root / "Zelbo.ini"},
        {"c:\\KIDS\\kid001\\settings.ini", root / "kids" / "Kid001" / "SETTINGS.INI"},
        {W("C:\\åSA\\New.TXT"), root / "Åsa" / "New.TXT"},       // å/Å fold; a new name keeps its case
        {W("C:\\ÅSA"), root / "Åsa"},
        {"C:\\NewDir\\Sub\\File.Ini", root / "NewDir" / "Sub" / "File.Ini"},
        {"C:\\..\\..\\etc\\passwd", root / "etc" / "passwd"},  // ".." stops at the drive root
        {"D:\\..\\..\\SETUP.EXE", cd1 / "Setup.exe"},
        {"E:\\data\\X", cd2 / "data" / "X"},
        {"Z:" + (tmp / "cd1").string(), tmp / "cd1"},
        {"\\Zelbo.ini", root / "Zelbo.ini"},
    };
    for (const auto& c : cases) {
        const auto host = plat::ResolveDosPath(c.dos);
        ASSERT_TRUE(host.has_value()) << c.dos;
        EXPECT_EQ(*host, c.host) << c.dos;
    }
    EXPECT_FALSE(plat::ResolveDosPath("Q:\\x").has_value());
    EXPECT_FALSE(plat::ResolveDosPath("C:\\*.INI").has_value());
    EXPECT_FALSE(plat::ResolveDosPath("C:\\a?c").has_value());
}

TEST_F(DosPaths, ExactNameWinsOverAFoldedOne) {
    Put(root / "READ.ME", "upper");
    Put(root / "read.me", "lower");
    EXPECT_EQ(*plat::ResolveDosPath("C:\\read.me"), root / "read.me");
    EXPECT_EQ(*plat::ResolveDosPath("C:\\READ.ME"), root / "READ.ME");
    // Neither exact: the choice is the same every time.
    EXPECT_EQ(*plat::ResolveDosPath("C:\\Read.Me"), root / "READ.ME");
}

TEST_F(DosPaths, HostPathsMapBackToDrives) {
    fs::create_directories(root / "Åsa");
    EXPECT_EQ(plat::HostToDosPath(root), "C:\\");
    EXPECT_EQ(plat::HostToDosPath(root / "WINDOWS" / "SYSTEM"), "C:\\WINDOWS\\SYSTEM");
    EXPECT_EQ(plat::HostToDosPath(root / "Åsa" / "x.txt"), W("C:\\Åsa\\x.txt"));
    EXPECT_EQ(plat::HostToDosPath(cd2 / "data" / "file"), "E:\\data\\file");
    EXPECT_EQ(plat::HostToDosPath("/usr/bin"), "Z:\\usr\\bin");
    EXPECT_EQ(plat::HostToDosPath("/"), "Z:\\");
    // The same folder reached through a link still maps to its drive.
    fs::create_directory_symlink(root, tmp / "link");
    EXPECT_EQ(plat::HostToDosPath(tmp / "link" / "WINDOWS"), "C:\\WINDOWS");
    // A CD folder inside the emulated root keeps its own letter.
    fs::create_directories(root / "cdimage");
    plat::SetCdromFolders({root / "cdimage"});
    EXPECT_EQ(plat::HostToDosPath(root / "cdimage" / "a"), "D:\\a");
}

// A link under C: leads wherever it points; the path's own name does not decide the drive.
TEST_F(DosPaths, RealPathFollowsLinks) {
    fs::create_directories(tmp / "host" / "folder");
    fs::create_directories(root / "Spel" / "Zelbo");
    fs::create_directory_symlink(tmp / "host", root / "Spel" / "Ut");
    fs::create_directory_symlink(root / "Spel" / "Zelbo", root / "Spel" / "Inne");
    fs::create_symlink(tmp / "host" / "none.txt", root / "Spel" / "Vilse");  // to nothing yet
    fs::create_symlink("Runt", root / "Spel" / "Runt");                    // round in circles
    const std::string host = plat::HostToDosPath(tmp / "host");
    ASSERT_EQ(host.substr(0, 3), "Z:\\");
    const struct {
        const char* path;
        std::optional<std::string> real;
    } cases[] = {
        {"C:\\Spel\\Zelbo\\x.txt", "C:\\Spel\\Zelbo\\x.txt"},
        {"c:\\spel\\ZELBO", "C:\\Spel\\Zelbo"},
        {"C:\\Spel\\Inne\\x.txt", "C:\\Spel\\Zelbo\\x.txt"},
        {"C:\\Spel\\Ut", host},
        {"C:\\Spel\\Ut\\folder\\new.txt", host + "\\folder\\new.txt"},
        {"C:\\Spel\\..\\..\\Spel\\Ut", host},
        {"C:\\Ny\\mapp", "C:\\Ny\\mapp"},
        {"C:\\Spel\\Vilse", host + "\\none.txt"},
        {"C:\\Spel\\Runt", std::nullopt},
        {"C:\\Spel\\*.*", std::nullopt},
        {"Q:\\x", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(plat::RealDosPath(c.path), c.real) << c.path;
    }
}

TEST_F(DosPaths, RunningProgramHasADosNameThatLeadsBack) {
    char name[MAX_PATH];
    const DWORD n = GetModuleFileNameA(nullptr, name, sizeof name);
    ASSERT_GT(n, 3u);
    EXPECT_EQ(std::string(name, 3), "Z:\\");
    const fs::path exe = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(*plat::ResolveDosPath(name), exe);
    EXPECT_NE(GetFileAttributesA(name), INVALID_FILE_ATTRIBUTES);
    // A short buffer gets as much as fits, terminated.
    char shortBuf[5];
    EXPECT_EQ(GetModuleFileNameA(nullptr, shortBuf, sizeof shortBuf), 4u);
    EXPECT_EQ(std::string(shortBuf), std::string(name, 4));
}

TEST_F(DosPaths, WindowsFoldersAreMadeInTheRoot) {
    for (const char* folder : {"WINDOWS", "WINDOWS/SYSTEM", "WINDOWS/TEMP", "Program Files",
                               "WINDOWS/Start Menu/Programs"}) {
        EXPECT_TRUE(fs::is_directory(root / folder)) << folder;
    }
    char buf[MAX_PATH];
    EXPECT_EQ(GetWindowsDirectoryA(buf, sizeof buf), 10u);
    EXPECT_STREQ(buf, "C:\\WINDOWS");
    EXPECT_EQ(GetSystemDirectoryA(buf, sizeof buf), 17u);
    EXPECT_STREQ(buf, "C:\\WINDOWS\\SYSTEM");
    EXPECT_EQ(GetTempPathA(sizeof buf, buf), 16u);
    EXPECT_STREQ(buf, "C:\\WINDOWS\\TEMP\\");
    // Too small: the size needed, with the terminator.
    EXPECT_EQ(GetTempPathA(4, buf), 17u);

    // An installation whose folders are already there in another case gets no twins.
    const fs::path other = tmp / "other";
    fs::create_directories(other / "Windows" / "System");
    plat::SetEmulatedRoot(other);
    plat::EmulatedRoot();
    EXPECT_FALSE(Exists(other / "WINDOWS"));
    EXPECT_FALSE(Exists(other / "Windows" / "SYSTEM"));
    EXPECT_TRUE(fs::is_directory(other / "Windows" / "TEMP"));
}

TEST_F(DosPaths, RootComesFromTheEnvironment) {
    const fs::path fromEnv = tmp / "env-root";
    ::setenv("ZELBO_ROOT", fromEnv.c_str(), 1);
    ::setenv("ZELBO_CDROM", (tmp.string() + "/cd2::" + tmp.string() + "/cd1").c_str(), 1);
    plat::ResetDriveMap();
    EXPECT_EQ(plat::EmulatedRoot(), fromEnv);
    EXPECT_TRUE(fs::is_directory(fromEnv / "WINDOWS" / "TEMP"));
    EXPECT_EQ(plat::DriveRoot('D'), cd2);
    EXPECT_EQ(plat::DriveRoot('e'), cd1);
    EXPECT_FALSE(plat::DriveRoot('F').has_value());
    ::unsetenv("ZELBO_ROOT");
    ::unsetenv("ZELBO_CDROM");
}

TEST_F(DosPaths, CurrentDirectoryPerDrive) {
    fs::create_directories(root / "kids" / "Kid001");
    Put(cd1 / "SETUP.EXE");
    ASSERT_TRUE(SetCurrentDirectoryA("c:\\KIDS"));
    char buf[MAX_PATH];
    EXPECT_EQ(GetCurrentDirectoryA(sizeof buf, buf), 7u);
    EXPECT_STREQ(buf, "C:\\KIDS");
    EXPECT_EQ(GetCurrentDirectoryA(3, buf), 8u);  // too small: the size needed

    ASSERT_TRUE(SetCurrentDirectoryA("D:"));
    EXPECT_EQ(plat::CurrentDosDirectory(), "D:\\");
    EXPECT_NE(GetFileAttributesA("setup.exe"), INVALID_FILE_ATTRIBUTES);
    // C: remembers its own current folder for drive-relative names.
    EXPECT_EQ(*plat::FullDosPath("C:Kid001"), "C:\\KIDS\\Kid001");
    EXPECT_EQ(*plat::ResolveDosPath("C:Kid001"), root / "kids" / "Kid001");

    EXPECT_FALSE(SetCurrentDirectoryA("C:\\nowhere"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_FALSE(SetCurrentDirectoryA("D:\\SETUP.EXE"));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DIRECTORY));
    EXPECT_EQ(plat::CurrentDosDirectory(), "D:\\");
}

// GetFullPathNameA as Windows documents it: a path ending in a separator (or in a name that
// trimming empties, "...") keeps its trailing backslash and has no file part; otherwise the file
// part is the last name. A bare drive is that drive's current folder.
TEST_F(DosPaths, FullPathNameKeepsTheFolderSeparatorAndTheFilePart) {
    fs::create_directories(root / "kids");
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\kids"));
    const struct {
        const char* in;
        const char* full;
        const char* filePart;  // nullptr: none
    } cases[] = {
        {"sub\\", "C:\\kids\\sub\\", nullptr},
        {"C:/fcase//sub/", "C:\\fcase\\sub\\", nullptr},
        {"...", "C:\\kids\\", nullptr},
        {"sub\\. .", "C:\\kids\\sub\\", nullptr},
        {"C:\\kids\\.\\", "C:\\kids\\", nullptr},
        {"D:", "D:\\", nullptr},
        {"C:\\", "C:\\", nullptr},
        {"C:", "C:\\kids", "kids"},
        {".", "C:\\kids", "kids"},
        {"sub\\..", "C:\\kids", "kids"},
        {"Kid001\\SETTINGS.INI", "C:\\kids\\Kid001\\SETTINGS.INI", "SETTINGS.INI"},
        {"FOO. ", "C:\\kids\\FOO", "FOO"},
    };
    for (const auto& c : cases) {
        char buf[MAX_PATH];
        char* filePart = buf;
        const DWORD n = GetFullPathNameA(c.in, sizeof buf, buf, &filePart);
        EXPECT_EQ(n, std::strlen(c.full)) << c.in;
        EXPECT_STREQ(buf, c.full) << c.in;
        if (c.filePart) {
            EXPECT_STREQ(filePart, c.filePart) << c.in;
        } else {
            EXPECT_EQ(filePart, nullptr) << c.in;
        }
    }
    ASSERT_TRUE(SetCurrentDirectoryA("C:\\"));
    char buf[MAX_PATH];
    char* filePart = buf;
    EXPECT_EQ(GetFullPathNameA("C:", sizeof buf, buf, &filePart), 3u);
    EXPECT_STREQ(buf, "C:\\");
    EXPECT_EQ(filePart, nullptr);
}

TEST_F(DosPaths, DriveTypes) {
    plat::SetCdromFolders({cd1, cd2, tmp / "empty-drive"});
    const struct {
        const char* root;
        UINT type;
    } cases[] = {
        {"C:\\", DRIVE_FIXED}, {"c:", DRIVE_FIXED},       {"D:\\", DRIVE_CDROM},         {"e:/", DRIVE_CDROM},
        {"F:\\", DRIVE_CDROM}, {"G:\\", DRIVE_NO_ROOT_DIR}, {"A:\\", DRIVE_NO_ROOT_DIR}, {"Z:\\", DRIVE_FIXED},
        {"C:\\WINDOWS", DRIVE_NO_ROOT_DIR}, {"", DRIVE_NO_ROOT_DIR}, {nullptr, DRIVE_FIXED},
    };
    for (const auto& c : cases) EXPECT_EQ(GetDriveTypeA(c.root), c.type) << (c.root ? c.root : "(null)");

    const DWORD expectedMask = (1u << 2) | (1u << 3) | (1u << 4) | (1u << 5) | (1u << 25);
    EXPECT_EQ(GetLogicalDrives(), expectedMask);
    char list[64];
    const DWORD n = GetLogicalDriveStringsA(sizeof list, list);
    EXPECT_EQ(std::string(list, n), std::string("C:\\\0D:\\\0E:\\\0F:\\\0Z:\\\0", 20));
    EXPECT_EQ(GetLogicalDriveStringsA(4, list), 21u);

    // A CD folder given through a link is still a drive whose root is a folder.
    fs::create_directory_symlink(cd1, tmp / "cdlink");
    plat::SetCdromFolders({tmp / "cdlink"});
    EXPECT_EQ(GetDriveTypeA("D:\\"), static_cast<UINT>(DRIVE_CDROM));
    EXPECT_EQ(GetFileAttributesA("D:\\"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
}

TEST_F(DosPaths, VolumeLabelsAndEmptyDrives) {
    Put(cd1 / ".label", "ZELBO_1\r\n");
    plat::SetCdromFolders({cd1, cd2, tmp / "empty-drive"});
    char label[13];
    char fsName[8];
    DWORD serial = 0;
    DWORD serial2 = 0;
    ASSERT_TRUE(GetVolumeInformationA("D:\\", label, sizeof label, &serial, nullptr, nullptr, fsName, sizeof fsName));
    EXPECT_STREQ(label, "ZELBO_1");
    EXPECT_STREQ(fsName, "CDFS");
    ASSERT_TRUE(GetVolumeInformationA("E:\\", label, sizeof label, &serial2, nullptr, nullptr, nullptr, 0));
    EXPECT_STREQ(label, "cd2");  // no .label file: the folder's name
    EXPECT_NE(serial, serial2);
    ASSERT_TRUE(GetVolumeInformationA("C:\\", label, sizeof label, nullptr, nullptr, nullptr, fsName, sizeof fsName));
    EXPECT_STREQ(fsName, "FAT");

    // A CD drive whose folder is missing is a drive without a disc.
    EXPECT_FALSE(GetVolumeInformationA("F:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
    EXPECT_EQ(CreateFileA("F:\\SETUP.EXE", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_READY));
    EXPECT_FALSE(GetVolumeInformationA("G:\\", label, sizeof label, nullptr, nullptr, nullptr, nullptr, 0));
}

TEST_F(DosPaths, CdDrivesAreReadOnly) {
    Put(cd1 / "DATA.RES", "resource");
    EXPECT_EQ(CreateFileA("D:\\NEW.TXT", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(CreateFileA("D:\\data.res", GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_FALSE(DeleteFileA("D:\\DATA.RES"));
    EXPECT_FALSE(CreateDirectoryA("D:\\NEWDIR", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    Put(root / "local.txt", "x");
    EXPECT_FALSE(CopyFileA("C:\\local.txt", "D:\\local.txt", FALSE));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
    EXPECT_EQ(GetFileAttributesA("D:\\DATA.RES"), static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_ARCHIVE));
    EXPECT_EQ(Get(cd1 / "DATA.RES"), "resource");
    EXPECT_FALSE(Exists(cd1 / "NEW.TXT"));
    EXPECT_FALSE(Exists(cd1 / "NEWDIR"));
    EXPECT_FALSE(Exists(cd1 / "local.txt"));

    // Reading works.
    HANDLE h = CreateFileA("d:\\Data.Res", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    char buf[16] = {};
    DWORD got = 0;
    EXPECT_TRUE(ReadFile(h, buf, sizeof buf, &got, nullptr));
    EXPECT_EQ(std::string(buf, got), "resource");
    CloseHandle(h);
}

TEST_F(DosPaths, DiskFreeSpaceFitsThirtyOneBits) {
    for (const char* drive : {"C:\\", "D:\\", "Z:\\"}) {
        DWORD spc = 0, bps = 0, freeClusters = 0, total = 0;
        ASSERT_TRUE(GetDiskFreeSpaceA(drive, &spc, &bps, &freeClusters, &total)) << drive;
        const uint64_t freeBytes = uint64_t{spc} * bps * freeClusters;
        const uint64_t totalBytes = uint64_t{spc} * bps * total;
        EXPECT_LT(totalBytes, uint64_t{1} << 31) << drive;
        EXPECT_LE(freeBytes, totalBytes) << drive;
        EXPECT_GT(total, 0u) << drive;
        if (drive[0] == 'D') {
            EXPECT_EQ(freeClusters, 0u);  // nothing can be written to a CD
        }
    }
    EXPECT_FALSE(GetDiskFreeSpaceA("Q:\\", nullptr, nullptr, nullptr, nullptr));
}

}  // namespace
