#include "platform/version/ver_install.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <optional>

#include "platform/fs/fs_test_fixture.h"
#include "platform/version/version_stamp.h"

namespace {

namespace fs = std::filesystem;

struct Stamp {
    uint16_t version;  // the third number of 1.0.x.0
    uint16_t language = 0x041D;
    uint16_t codePage = 1252;
    uint32_t type = plat::VFT_APP;
};

class VerInstall : public EmulatedDrives {
protected:
    void SetUp() override {
        EmulatedDrives::SetUp();
        fs::create_directories(root / "SRC");
        fs::create_directories(root / "DEST");
    }
    void TearDown() override {
        plat::ClearVersionFaults();
        EmulatedDrives::TearDown();
    }

    // A copy of the stamped sample program with the stamp given; nullopt makes a plain text file.
    static void Make(const fs::path& p, std::optional<Stamp> s) {
        if (!s) {
            Put(p, "plain text, no program");
            return;
        }
        fs::copy_file(ZELBO_VERSION_SAMPLE, p, fs::copy_options::overwrite_existing);
        plat::VersionStamp v;
        v.fileVersion = v.productVersion = {1, 0, s->version, 0};
        v.language = s->language;
        v.codePage = s->codePage;
        v.fileType = s->type;
        std::string error;
        ASSERT_TRUE(plat::WriteVersionStampFile(p, v, &error)) << error;
    }
    static std::optional<uint16_t> VersionOf(const fs::path& p) {
        const plat::StampLookup f = plat::ReadVersionStampFile(p);
        if (f.status != plat::StampStatus::Found) return std::nullopt;
        return f.stamp.fileVersion[2];
    }
    static size_t TempFilesIn(const fs::path& dir) {
        size_t n = 0;
        for (const auto& e : fs::directory_iterator(dir))
            if (e.path().extension() == ".TMP") ++n;
        return n;
    }
};

struct InstallCase {
    const char* what;
    std::optional<Stamp> source;
    std::optional<Stamp> existing;  // nothing there when absent and existingMissing
    bool existingMissing;
    DWORD flags;
    DWORD forced;  // a fault-forced result
    DWORD expected;
    bool installed;  // the destination holds the source afterwards
};

constexpr DWORD kMis = VIF_MISMATCH | VIF_TEMPFILE;
const InstallCase kInstallCases[] = {
    {"newer source replaces", Stamp{5}, Stamp{4}, false, 0, 0, 0, true},
    {"same version replaces", Stamp{4}, Stamp{4}, false, 0, 0, 0, true},
    {"older source keeps the newer file", Stamp{3}, Stamp{4}, false, 0, 0, VIF_SRCOLD | VIF_TEMPFILE, false},
    {"other language", Stamp{5, 0x0409}, Stamp{4}, false, 0, 0, VIF_DIFFLANG | kMis, false},
    {"other code page", Stamp{5, 0x041D, 1250}, Stamp{4}, false, 0, 0, VIF_DIFFCODEPG | kMis, false},
    {"other file type", Stamp{5, 0x041D, 1252, plat::VFT_DLL}, Stamp{4}, false, 0, 0, VIF_DIFFTYPE | kMis, false},
    {"older and other language", Stamp{3, 0x0409}, Stamp{4}, false, 0, 0, VIF_SRCOLD | VIF_DIFFLANG | kMis, false},
    {"forced over an older stamp", Stamp{3, 0x0409}, Stamp{4}, false, VIFF_FORCEINSTALL, 0, 0, true},
    {"nothing installed yet", Stamp{3}, std::nullopt, true, 0, 0, 0, true},
    {"unstamped destination: plain copy", Stamp{3}, std::nullopt, false, 0, 0, 0, true},
    {"unstamped source: plain copy", std::nullopt, Stamp{9}, false, 0, 0, 0, true},
    {"fault: disk full", Stamp{5}, Stamp{4}, false, 0, VIF_OUTOFSPACE, VIF_OUTOFSPACE, false},
    {"fault: in use with a copy", Stamp{5}, Stamp{4}, false, 0, VIF_FILEINUSE | VIF_TEMPFILE,
     VIF_FILEINUSE | VIF_TEMPFILE, false},
    {"fault: cannot read the destination", Stamp{5}, Stamp{4}, false, 0, VIF_CANNOTREADDST, VIF_CANNOTREADDST, false},
};

TEST_F(VerInstall, ResultBitsAndFilesFollowTheStamps) {
    for (const InstallCase& c : kInstallCases) {
        SCOPED_TRACE(c.what);
        fs::remove_all(root / "DEST");
        fs::create_directories(root / "DEST");
        Make(root / "SRC" / "PROG.EXE", c.source);
        if (!c.existingMissing) Make(root / "DEST" / "PROG.EXE", c.existing);
        const std::string before = c.existingMissing ? "" : Get(root / "DEST" / "PROG.EXE");
        const std::string source = Get(root / "SRC" / "PROG.EXE");
        plat::VersionFaults faults;
        faults.installResult = c.forced;
        plat::SetVersionFaults(faults);

        char temp[MAX_PATH] = "C:\\DEST\\PROG.EXE";  // what a caller may leave there is ignored
        UINT tempLen = MAX_PATH;
        const DWORD r = VerInstallFileA(c.flags, "PROG.EXE", "PROG.EXE", "C:\\SRC", "C:\\DEST", "C:\\DEST", temp, &tempLen);
        EXPECT_EQ(r, c.expected);
        if (c.installed) {
            EXPECT_EQ(Get(root / "DEST" / "PROG.EXE"), source);
        } else if (!c.existingMissing) {
            EXPECT_EQ(Get(root / "DEST" / "PROG.EXE"), before);
        }
        if (r & VIF_TEMPFILE) {
            // The copy stays under the name given back, and the caller can delete it.
            ASSERT_EQ(TempFilesIn(root / "DEST"), 1u);
            EXPECT_EQ(std::strncmp(temp, "C:\\DEST\\VER", 11), 0) << temp;
            EXPECT_EQ(tempLen, std::strlen(temp) + 1);
            EXPECT_TRUE(DeleteFileA(temp));
        }
        EXPECT_EQ(TempFilesIn(root / "DEST"), 0u);
    }
}

TEST_F(VerInstall, CopyKeepsTheExecuteBitAndRefusesAReadOnlyFile) {
    Make(root / "SRC" / "PROG.EXE", Stamp{5});
    char temp[MAX_PATH];
    UINT len = MAX_PATH;
    ASSERT_EQ(VerInstallFileA(0, "PROG.EXE", "PROG.EXE", "C:\\SRC", "C:\\DEST", "", temp, &len), 0u);
    struct stat st {};
    ASSERT_EQ(::stat((root / "DEST" / "PROG.EXE").c_str(), &st), 0);
    EXPECT_TRUE(st.st_mode & S_IXUSR);
    EXPECT_EQ(VersionOf(root / "DEST" / "PROG.EXE"), 5);

    ASSERT_TRUE(SetFileAttributesA("C:\\DEST\\PROG.EXE", FILE_ATTRIBUTE_READONLY));
    Make(root / "SRC" / "PROG.EXE", Stamp{6});
    len = MAX_PATH;
    EXPECT_EQ(VerInstallFileA(0, "PROG.EXE", "PROG.EXE", "C:\\SRC", "C:\\DEST", "", temp, &len),
              VIF_WRITEPROT | VIF_TEMPFILE);
    EXPECT_EQ(VersionOf(root / "DEST" / "PROG.EXE"), 5);
    EXPECT_TRUE(DeleteFileA(temp));

    len = MAX_PATH;
    EXPECT_EQ(VerInstallFileA(0, "GONE.EXE", "GONE.EXE", "C:\\SRC", "C:\\DEST", "", temp, &len), VIF_CANNOTREADSRC);
    len = 4;  // too short for the temporary name: nothing is left behind
    Make(root / "SRC" / "PROG.EXE", Stamp{1});
    Make(root / "DEST" / "OTHER.EXE", Stamp{4});
    EXPECT_EQ(VerInstallFileA(0, "PROG.EXE", "OTHER.EXE", "C:\\SRC", "C:\\DEST", "", temp, &len),
              VIF_SRCOLD | VIF_BUFFTOOSMALL);
    EXPECT_EQ(TempFilesIn(root / "DEST"), 0u);
}

TEST_F(VerInstall, OldCopyElsewhereIsDeletedUnlessKept) {
    fs::create_directories(root / "OLD");
    for (DWORD flags : {DWORD{0}, DWORD{VIFF_DONTDELETEOLD}}) {
        Make(root / "OLD" / "PROG.EXE", Stamp{2});
        Make(root / "SRC" / "PROG.EXE", Stamp{3});
        char temp[MAX_PATH];
        UINT len = MAX_PATH;
        EXPECT_EQ(VerInstallFileA(flags, "PROG.EXE", "PROG.EXE", "C:\\SRC", "C:\\DEST", "C:\\OLD", temp, &len), 0u);
        EXPECT_EQ(VersionOf(root / "DEST" / "PROG.EXE"), 3);
        EXPECT_EQ(Exists(root / "OLD" / "PROG.EXE"), flags == VIFF_DONTDELETEOLD);
    }
}

struct FindCase {
    const char* what;
    DWORD flags;
    const char* placedIn;  // host folder under the root, or null
    bool forceInUse;
    UINT curLen;
    DWORD expected;
    const char* cur;
};

const FindCase kFindCases[] = {
    {"in the script's folder", 0, "DEST", false, MAX_PATH, 0, "C:\\DEST"},
    {"nowhere yet", 0, nullptr, false, MAX_PATH, 0, ""},
    {"shared, in the system folder", VFFF_ISSHAREDFILE, "WINDOWS/SYSTEM", false, MAX_PATH, VFF_CURNEDEST,
     "C:\\WINDOWS\\SYSTEM"},
    {"not shared: the system folder is not looked at", 0, "WINDOWS/SYSTEM", false, MAX_PATH, 0, ""},
    {"forced in use", 0, "DEST", true, MAX_PATH, VFF_FILEINUSE, "C:\\DEST"},
    {"short buffer", 0, "DEST", false, 3, VFF_BUFFTOOSMALL, ""},
};

TEST_F(VerInstall, FindFileAnswersCurrentAndDestinationFolders) {
    for (const FindCase& c : kFindCases) {
        SCOPED_TRACE(c.what);
        fs::remove(root / "DEST" / "LIB.DLL");
        fs::remove(root / "WINDOWS" / "SYSTEM" / "LIB.DLL");
        if (c.placedIn) Put(root / c.placedIn / "LIB.DLL", "x");
        plat::VersionFaults faults;
        faults.fileInUse = c.forceInUse;
        plat::SetVersionFaults(faults);
        char cur[MAX_PATH] = "junk";
        char dest[MAX_PATH] = "junk";
        UINT curLen = c.curLen;
        UINT destLen = MAX_PATH;
        EXPECT_EQ(VerFindFileA(c.flags, "LIB.DLL", "C:\\WINDOWS", "C:\\DEST", cur, &curLen, dest, &destLen), c.expected);
        EXPECT_STREQ(cur, c.cur);
        EXPECT_STREQ(dest, "C:\\DEST");
        if (c.expected & VFF_BUFFTOOSMALL) {
            EXPECT_EQ(curLen, 8u);
        }
    }
}

TEST_F(VerInstall, RunningProgramIsInUse) {
    // This test program is running; its own folder holds it.
    char self[MAX_PATH];
    ASSERT_GT(GetModuleFileNameA(nullptr, self, MAX_PATH), 0u);
    std::string dir = self;
    const std::string name = dir.substr(dir.rfind('\\') + 1);
    dir.resize(dir.rfind('\\'));
    char cur[MAX_PATH], dest[MAX_PATH];
    UINT curLen = MAX_PATH, destLen = MAX_PATH;
    EXPECT_EQ(VerFindFileA(0, name.c_str(), nullptr, dir.c_str(), cur, &curLen, dest, &destLen), VFF_FILEINUSE);
    Put(root / "DEST" / "IDLE.EXE", "x");
    curLen = destLen = MAX_PATH;
    EXPECT_EQ(VerFindFileA(0, "IDLE.EXE", nullptr, "C:\\DEST", cur, &curLen, dest, &destLen), 0u);
}

}  // namespace
