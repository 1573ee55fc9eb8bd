// Files a hostile CD or script plants where a file should be (links to host files and devices,
// FIFOs, links swapped in while a call runs), with a canary folder beside the emulated root:
// whatever the calls do, the canary stays byte for byte as it was.
#include <sys/stat.h>
#include <unistd.h>

#include <map>

#include "platform/fs/fs_test_fixture.h"
#include "platform/fs/write_fault.h"

namespace {

namespace fs = std::filesystem;

class HostileFiles : public EmulatedDrives {
protected:
    void SetUp() override {
        EmulatedDrives::SetUp();
        canary = tmp / "canary";
        Put(canary / "family.txt", "the family's letters\n");
        Put(canary / "deep" / "photo.jpg", "photo bytes");
        before = Snapshot();
    }
    void TearDown() override {
        plat::SetTreeListedHookForTests(nullptr);
        plat::SetWriteFaultHook(nullptr);
        EmulatedDrives::TearDown();
    }
    // Every entry under the canary with its kind and contents.
    std::map<std::string, std::string> Snapshot() const {
        std::map<std::string, std::string> out;
        for (const auto& e : fs::recursive_directory_iterator(canary)) {
            const std::string kind = e.is_symlink() ? "link" : e.is_directory() ? "dir" : "file";
            out[fs::relative(e.path(), canary).string()] = kind + ":" + (e.is_regular_file() ? Get(e.path()) : "");
        }
        return out;
    }
    void ExpectCanaryUntouched() const { EXPECT_EQ(Snapshot(), before); }

    fs::path canary;
    std::map<std::string, std::string> before;
};

// A FIFO, a link to a device and a link to a FIFO on the CD: every open and copy is refused at
// once (none waits for a writer), and a copy leaves nothing behind.
TEST_F(HostileFiles, DevicesAndFifosOnTheCdAreRefusedAtOnce) {
    ASSERT_EQ(::mkfifo((cd1 / "PIPE.DAT").c_str(), 0644), 0);
    fs::create_symlink("/dev/zero", cd1 / "ZERO.DAT");
    fs::create_symlink(cd1 / "PIPE.DAT", cd1 / "PIPELINK.DAT");
    Put(root / "Spel" / "keep.txt", "keep");
    for (const char* name : {"D:\\PIPE.DAT", "D:\\ZERO.DAT", "D:\\PIPELINK.DAT"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(CreateFileA(name, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr),
                  INVALID_HANDLE_VALUE);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
        EXPECT_EQ(plat::fopen_dos(name, "rb"), nullptr);
        EXPECT_EQ(plat::fopen_dos(name, "r"), nullptr);
        EXPECT_FALSE(CopyFileA(name, "C:\\Spel\\COPY.DAT", FALSE));
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_READ_FAULT));
        EXPECT_FALSE(Exists(root / "Spel" / "COPY.DAT"));
    }
    // Nothing but the file that was there: no temporary copy stayed.
    EXPECT_EQ(std::distance(fs::directory_iterator(root / "Spel"), fs::directory_iterator()), 1);
    // A device on the host's own drive is still a file to the programs (a test's full disk).
    HANDLE full = CreateFileA("Z:\\dev\\null", GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(full, INVALID_HANDLE_VALUE);
    CloseHandle(full);
}

// A copy onto a link replaces the link; the file it named is not written.
TEST_F(HostileFiles, CopyOntoALinkReplacesTheLink) {
    Put(cd1 / "NEW.DAT", "from the cd");
    fs::create_directories(root / "Spel");
    fs::create_symlink(canary / "family.txt", root / "Spel" / "NEW.DAT");
    ASSERT_TRUE(CopyFileA("D:\\NEW.DAT", "C:\\Spel\\NEW.DAT", FALSE));
    EXPECT_FALSE(fs::is_symlink(root / "Spel" / "NEW.DAT"));
    EXPECT_EQ(Get(root / "Spel" / "NEW.DAT"), "from the cd");
    ExpectCanaryUntouched();
}

// A link planted at the copy's temporary name the moment before it is made: the copy fails,
// and neither the canary nor the link's target is written.
TEST_F(HostileFiles, ALinkPlantedAtTheTemporaryNameIsNeverWrittenThrough) {
    Put(cd1 / "NEW.DAT", "from the cd");
    fs::create_directories(root / "Spel");
    class CPlanter : public plat::IWriteFaultHook {
    public:
        explicit CPlanter(fs::path target) : m_target(std::move(target)) {}
        plat::WriteFault Before(plat::WriteStep step, const fs::path& path) override {
            if (step == plat::WriteStep::CreateFile && path.filename().string().find(".zelbo-copy-") != std::string::npos) {
                fs::create_symlink(m_target, path);
                planted = true;
            }
            return plat::WriteFault::None;
        }
        bool planted = false;

    private:
        fs::path m_target;
    } planter(canary / "family.txt");
    plat::SetWriteFaultHook(&planter);
    EXPECT_FALSE(CopyFileA("D:\\NEW.DAT", "C:\\Spel\\NEW.DAT", FALSE));
    plat::SetWriteFaultHook(nullptr);
    EXPECT_TRUE(planter.planted);
    EXPECT_FALSE(Exists(root / "Spel" / "NEW.DAT"));
    ExpectCanaryUntouched();
}

// The tree delete: links inside the tree go and what they name stays; a subfolder swapped for a
// link to the canary after its folder was listed is removed as the link it has become.
TEST_F(HostileFiles, TreeDeleteNeverFollowsALink) {
    Put(root / "Spel" / "Zelbo" / "a.txt", "a");
    Put(root / "Spel" / "Zelbo" / "sub" / "b.txt", "b");
    Put(root / "Spel" / "Zelbo" / "later" / "c.txt", "c");
    fs::create_symlink(canary, root / "Spel" / "Zelbo" / "tocanary");
    fs::create_symlink(canary / "family.txt", root / "Spel" / "Zelbo" / "sub" / "letter.txt");
    bool swapped = false;
    plat::SetTreeListedHookForTests([&](const fs::path& folder) {
        if (folder.filename() != "Zelbo" || swapped) return;
        fs::remove_all(folder / "later");
        fs::create_symlink(canary, folder / "later");
        swapped = true;
    });
    std::vector<std::string> refused;
    EXPECT_TRUE(plat::DeleteFolderTree("C:\\Spel\\Zelbo", [&](const std::string& p) { refused.push_back(p); }));
    EXPECT_TRUE(swapped);
    EXPECT_EQ(refused, std::vector<std::string>{});
    EXPECT_FALSE(Exists(root / "Spel" / "Zelbo"));
    ExpectCanaryUntouched();

    // A folder that is itself a link goes as the link.
    fs::create_symlink(canary, root / "Spel" / "Alias");
    EXPECT_TRUE(plat::DeleteFolderTree("C:\\Spel\\Alias", nullptr));
    EXPECT_FALSE(Exists(root / "Spel" / "Alias"));
    ExpectCanaryUntouched();
}

// A file this program holds open is named to the caller, and the rest still goes.
TEST_F(HostileFiles, TreeDeleteNamesWhatItCannotRemove) {
    Put(root / "Spel" / "Zelbo" / "open.txt", "open");
    Put(root / "Spel" / "Zelbo" / "other.txt", "other");
    HANDLE h = CreateFileA("C:\\Spel\\Zelbo\\open.txt", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    std::vector<std::string> refused;
    EXPECT_TRUE(plat::DeleteFolderTree("C:\\Spel\\Zelbo", [&](const std::string& p) { refused.push_back(p); }));
    CloseHandle(h);
    EXPECT_EQ(refused, std::vector<std::string>{"C:\\Spel\\Zelbo\\open.txt"});
    EXPECT_TRUE(Exists(root / "Spel" / "Zelbo" / "open.txt"));
    EXPECT_FALSE(Exists(root / "Spel" / "Zelbo" / "other.txt"));
}

}  // namespace
