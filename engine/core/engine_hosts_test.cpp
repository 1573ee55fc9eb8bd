#include "engine/core/engine_hosts.h"

#include <gtest/gtest.h>

#include "engine/core/engine_test_support.h"
#include "media/res/record_file.h"
#include "media/surface/dirty_rect_list.h"

namespace {

using enginetest::EngineTest;

// Start-up installs the engine's answers to the media layer's seams; shutdown puts back the
// ones it found.
TEST_F(EngineTest, StartupInstallsTheMediaSeamsAndShutdownPutsBackWhatItFound) {
    IResItemHost* resItems = &ResItemHost();
    IReadErrorPromptHost* readError = &ReadErrorPromptHost();
    ISoundItems* soundItems = &SoundItems();
    ISoundPrefs* soundPrefs = &SoundPrefs();
    ISoundMessageFilter* filter = &SoundMessageFilter();
    ITextHost* text = &TextHost();
    PutSharedFile(root / "Prog");
    theEngine->Startup(programFolder);

    EXPECT_NE(dynamic_cast<CEngineResItemHost*>(&ResItemHost()), nullptr);
    EXPECT_NE(dynamic_cast<CEngineReadErrorHost*>(&ReadErrorPromptHost()), nullptr);
    EXPECT_NE(dynamic_cast<CEngineSoundItems*>(&SoundItems()), nullptr);
    EXPECT_NE(dynamic_cast<CEngineSoundPrefs*>(&SoundPrefs()), nullptr);
    EXPECT_NE(dynamic_cast<CEngineSoundMessageFilter*>(&SoundMessageFilter()), nullptr);
    EXPECT_NE(dynamic_cast<CEngineTextHost*>(&TextHost()), nullptr);
    EXPECT_EQ(ResItemHost().ResourceFolder(), "C:\\Prog\\");
    EXPECT_EQ(ResItemHost().ResourceManager(0), &theEngine->m_resFiles[0]);
    EXPECT_EQ(ResItemHost().ResourceManager(10), nullptr);
    EXPECT_EQ(ResItemHost().ResourceManager(-1), nullptr);
    EXPECT_EQ(ResItemHost().ItemCache(), theEngine->m_itemCache.get());

    theEngine->m_prefs.useOwnVolume = 1;
    theEngine->m_prefs.volumePercent = 40;
    EXPECT_TRUE(SoundPrefs().UseOwnVolume());
    EXPECT_EQ(SoundPrefs().VolumePercent(), 40);
    theEngine->m_prefs.volumePercent = 250;  // a damaged record
    EXPECT_EQ(SoundPrefs().VolumePercent(), 100);
    theEngine->m_prefs.useOwnVolume = 0;
    EXPECT_FALSE(SoundPrefs().UseOwnVolume());

    theEngine->Shutdown();
    EXPECT_EQ(&ResItemHost(), resItems);
    EXPECT_EQ(&ReadErrorPromptHost(), readError);
    EXPECT_EQ(&SoundItems(), soundItems);
    EXPECT_EQ(&SoundPrefs(), soundPrefs);
    EXPECT_EQ(&SoundMessageFilter(), filter);
    EXPECT_EQ(&TextHost(), text);
}

// While the read-error box is up the engine's guard is set, so nothing is drawn or loaded under
// it; after OK the guard is as before and the whole screen is marked for redrawing.
TEST_F(EngineTest, ReadErrorPromptHoldsTheGuardAndRedrawsTheScreenAfterOk) {
    PutSharedFile(root / "Prog");
    theEngine->Startup(programFolder);
    ASSERT_EQ(theEngine->m_busyGuard, 0);
    theEngine->m_dirtyRects->RemoveAll();
    int guardWhileUp = -1;
    const uint64_t now = plat::NowMs64();
    head->PushAnswer(plat::kMessageBoxInteractive);
    head->At(now + 100, [&] { guardWhileUp = theEngine->m_busyGuard; });
    head->Key(now + 200, VK_RETURN);
    EXPECT_EQ(AskForCDAndRetry(), 0);
    EXPECT_EQ(guardWhileUp, 1);
    EXPECT_EQ(theEngine->m_busyGuard, 0);
    ASSERT_EQ(theEngine->m_dirtyRects->GetCount(), 1u);
    const RECT whole = *theEngine->m_dirtyRects->begin();
    EXPECT_EQ(whole.left, 0);
    EXPECT_EQ(whole.top, 0);
    EXPECT_EQ(whole.right, 640);
    EXPECT_EQ(whole.bottom, 480);
}

}  // namespace

namespace {

TEST_F(EngineTest, SoundMessagesArePreTranslatedByTheApplication) {
    PutSharedFile(root / "Prog");
    theEngine->Startup(programFolder);
    MSG msg{};
    msg.message = WM_KEYDOWN;
    EXPECT_FALSE(SoundMessageFilter().PreTranslateMessage(msg));
    app.handle = TRUE;
    EXPECT_TRUE(SoundMessageFilter().PreTranslateMessage(msg));
    EXPECT_EQ(app.pretranslated, 2);
    EXPECT_EQ(app.lastMessage, static_cast<UINT>(WM_KEYDOWN));
}

// A module's resource file that cannot be opened: with the prompt, OK tries again and Cancel
// asks the game to quit; without it, nothing is asked. (The read-error prompt, which asks for
// the disc first, is off here, as when the drive itself is there.)
TEST_F(EngineTest, OpeningAModuleFileAsksUntilItOpensOrTheUserCancels) {
    PutSharedFile(root / "Prog");
    theEngine->Startup(programFolder);
    EnableReadErrorPrompt(false);
    EXPECT_FALSE(theEngine->OpenResourceFile(3, FALSE));
    EXPECT_TRUE(plat::MessageBoxLog().empty());

    head->PushAnswer(IDCANCEL);
    EXPECT_FALSE(theEngine->OpenResourceFile(3, TRUE));
    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
    EXPECT_NE(plat::MessageBoxLog()[0].text.find("C:\\Prog\\Zelbo3.res"), std::string::npos);
    EXPECT_EQ(TakeCloses(), 1);

    const uint64_t now = plat::NowMs64();
    head->PushAnswer(IDOK);
    head->PushAnswer(plat::kMessageBoxInteractive);
    head->At(now + 100, [this] {
        PutSharedFile(root / "m3");
        std::filesystem::rename(root / "m3" / "Zelbo0.res", root / "Prog" / "Zelbo3.res");
    });
    head->Key(now + 200, VK_RETURN);
    EXPECT_TRUE(theEngine->OpenResourceFile(3, TRUE));
    EXPECT_EQ(plat::MessageBoxLog().size(), 3u);
    EXPECT_TRUE(theEngine->m_resFiles[3].IsOpen());
    EXPECT_EQ(TakeCloses(), 0);
}

// The record files' messages and the text layer read string lists through the engine's host:
// from the module's own resource file, bounded by the destination, empty when missing.
TEST_F(EngineTest, ListStringsAreReadFromTheModuleResourceFiles) {
    media::CResWriter shared = SharedFile();
    const auto list = [](std::initializer_list<std::string> strings) {
        enginetest::Bytes b{static_cast<uint8_t>(strings.size()), 0};
        for (const std::string& s : strings) {
            b.insert(b.end(), s.begin(), s.end());
            b.push_back(0);
        }
        return b;
    };
    shared.Add("IST", 982, list({"Ingen plats", "Filen saknas"}));
    shared.Add("IST", 983, list({"Spara"}));
    PutSharedFile(root / "Prog", shared);
    theEngine->Startup(programFolder);

    char text[8];
    EXPECT_TRUE(ResItemHost().CopyListString(text, sizeof text, 982, 2));
    EXPECT_STREQ(text, "Filen s");
    EXPECT_FALSE(ResItemHost().CopyListString(text, sizeof text, 982, 3));
    EXPECT_STREQ(text, "");
    EXPECT_FALSE(ResItemHost().CopyListString(text, sizeof text, 984, 1));
    EXPECT_STREQ(text, "");
    EXPECT_EQ(CRecordFile::ComposeMessage(0, true, -2, 1), "Error: 2.   At: Spara.  Filen saknas.");
}

}  // namespace
