// The engine over the preference files: the store the program installs.
#include <gtest/gtest.h>

#include "engine/core/engine_test_support.h"
#include "engine/players/prefs_file.h"

namespace {

namespace fs = std::filesystem;
using enginetest::Bytes;
using enginetest::EngineTest;

class PrefsStore : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        SetPrefsStore(&files);
    }
    void TearDown() override {
        if (theEngine) theEngine->Shutdown();
        std::error_code ec;
        fs::permissions(root / "Prog", fs::perms::owner_all, fs::perm_options::add, ec);
        EngineTest::TearDown();
    }
    CPrefsFileStore files;
};

// A sound item that names a file finds it in the preference folder: the program folder while
// it is writable, else the temporary folder; the same name elsewhere is not taken.
TEST_F(PrefsStore, SoundFilesNamedByItemsComeFromThePreferenceFolder) {
    struct Case {
        const char* name;
        bool writable;
        fs::path folder;
        fs::path other;
    };
    const Case cases[] = {
        {"writable program folder", true, root / "Prog", root / "WINDOWS" / "TEMP"},
        {"read-only program folder", false, root / "WINDOWS" / "TEMP", root / "Prog"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        media::CResWriter shared = SharedFile();
        shared.Add("SND", 7, Bytes{0x46, 0x45, 0, 0, 'R', 'E', 'C', '.', 'R', 'A', 'W', 0});
        PutSharedFile(root / "Prog", shared);
        fs::create_directories(c.folder);
        fs::create_directories(c.other);
        std::ofstream(c.folder / "REC.RAW", std::ios::binary) << "abcdef";
        std::ofstream(c.other / "REC.RAW", std::ios::binary) << "wrong one";
        fs::permissions(root / "Prog", fs::perms::owner_write,
                        c.writable ? fs::perm_options::add : fs::perm_options::remove);
        theEngine->Startup(programFolder);
        ASSERT_TRUE(theEngine->IsStarted());
        const CSoundClip* clip = theEngine->m_sounds.LoadClip(7);
        ASSERT_NE(clip, nullptr);
        const std::vector<uint8_t> samples = clip->Samples();
        EXPECT_EQ(std::string(samples.begin(), samples.end()), "abcdef");
        theEngine->Shutdown();
        fs::permissions(root / "Prog", fs::perms::owner_write, fs::perm_options::add);
        fs::remove(c.folder / "REC.RAW");
        fs::remove(c.other / "REC.RAW");
    }
}

}  // namespace
