#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <new>
#include <string>
#include <vector>

#include "engine/core/engine_test_support.h"
#include "engine/core/zelbo_title.h"
#include "media/res/item_cache.h"
#include "media/res/res_item_host.h"
#include "media/res/sprite.h"
#include "media/sound/sound_clip.h"
#include "media/surface/dibg.h"
#include "media/surface/pal_id.h"
#include "platform/core/crt.h"
#include "platform/fonts/font_registry.h"
#include "platform/profile/profile.h"
#include "platform/registry/registry.h"

namespace {

using enginetest::Bytes;
using enginetest::EngineTest;

constexpr const char* kEngineKey = "Software\\Quorva\\Trumlaby\\v0.1 - Alpha";

void SetRegistryFolder(const char* value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, kEngineKey, &key), ERROR_SUCCESS);
    if (value) {
        ASSERT_EQ(RegSetValueExA(key, "Resource Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(value),
                                 static_cast<DWORD>(std::strlen(value) + 1)),
                  ERROR_SUCCESS);
    }
    RegCloseKey(key);
}

std::string RegistryFolder() {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kEngineKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "<no key>";
    char value[260] = {};
    DWORD size = sizeof value - 1;
    DWORD type = 0;
    const LONG rc = RegQueryValueExA(key, "Resource Path", nullptr, &type, reinterpret_cast<BYTE*>(value), &size);
    RegCloseKey(key);
    return rc == ERROR_SUCCESS ? std::string(value, strnlen(value, size)) : "<none>";
}

std::string IniFolder() {
    char value[260] = {};
    GetPrivateProfileStringA("Trumlaby", "Resource Path", "<none>", value, sizeof value, "QUORVA.INI");
    return value;
}

// Where the resource files lie and what configures the search, and what it must find.
struct FolderCase {
    const char* name;
    std::function<void(EngineTest&)> arrange;
    const char* expectedFolder;
    int expectedFromIni;
    const char* expectedRegistry;  // "Resource Path" afterwards ("<no key>": no key)
    const char* expectedIni;
};

class ResourceFolderSearch : public EngineTest, public ::testing::WithParamInterface<FolderCase> {};

TEST_P(ResourceFolderSearch, FindsTheFilesAndRecordsOnlyACdRoot) {
    const FolderCase& c = GetParam();
    c.arrange(*this);
    theEngine->Startup(programFolder);
    EXPECT_TRUE(theEngine->IsStarted());
    EXPECT_EQ(theEngine->m_resourceFolder, c.expectedFolder);
    EXPECT_EQ(theEngine->m_resourcePathFromIni, c.expectedFromIni);
    EXPECT_TRUE(theEngine->m_resFiles[0].IsOpen());
    EXPECT_EQ(plat::MessageBoxLog().size(), 0u) << "no CD prompt when the files are found";
    EXPECT_EQ(RegistryFolder(), c.expectedRegistry);
    EXPECT_EQ(IniFolder(), c.expectedIni);
    EXPECT_TRUE(IsReadErrorPromptEnabled());
    EXPECT_EQ(TakeCloses(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, ResourceFolderSearch,
    ::testing::Values(
        FolderCase{"ProgramFolder", [](EngineTest& t) { EngineTest::PutSharedFile(t.root / "Prog"); }, "C:\\Prog\\", 0,
                   "<no key>", "<none>"},
        FolderCase{"ProgramFolderBeforeTheRegistry",
                   [](EngineTest& t) {
                       SetRegistryFolder("C:\\Data");
                       EngineTest::PutSharedFile(t.root / "Prog");
                       EngineTest::PutSharedFile(t.root / "Data");
                   },
                   "C:\\Prog\\", 0, "C:\\Data", "<none>"},
        FolderCase{"RegistryValue",
                   [](EngineTest& t) {
                       SetRegistryFolder("C:\\Data");
                       EngineTest::PutSharedFile(t.root / "Data");
                   },
                   "C:\\Data\\", 0, "C:\\Data", "<none>"},
        FolderCase{"IniValueElsewhere",
                   [](EngineTest& t) {
                       WritePrivateProfileStringA("Trumlaby", "Resource Path", "C:\\Ini\\", "QUORVA.INI");
                       EngineTest::PutSharedFile(t.root / "Ini");
                   },
                   "C:\\Ini\\", 1, "<no key>", "C:\\Ini\\"},
        FolderCase{"KeySubfolder",
                   [](EngineTest& t) {
                       SetRegistryFolder("C:\\Data\\");
                       EngineTest::PutSharedFile(t.root / "Data" / "Zelbo");
                   },
                   "C:\\Data\\Zelbo\\", 0, "C:\\Data\\", "<none>"},
        // The INI names the program folder, so it is not taken as the source: the CD find
        // goes to the registry.
        FolderCase{"IniValueEqualToProgramFolder",
                   [](EngineTest& t) {
                       SetRegistryFolder(nullptr);
                       WritePrivateProfileStringA("Trumlaby", "Resource Path", "C:\\Prog\\", "QUORVA.INI");
                       EngineTest::PutSharedFile(t.cd2 / "Zelbo");
                   },
                   "E:\\Zelbo\\", 0, "E:\\", "C:\\Prog\\"},
        FolderCase{"SecondCdRecordedInRegistry",
                   [](EngineTest& t) {
                       SetRegistryFolder("C:\\Gone\\");
                       EngineTest::PutSharedFile(t.cd2 / "Zelbo");
                   },
                   "E:\\Zelbo\\", 0, "E:\\", "<none>"},
        FolderCase{"SecondCdRecordedInIni",
                   [](EngineTest& t) {
                       WritePrivateProfileStringA("Trumlaby", "Resource Path", "C:\\Gone\\", "QUORVA.INI");
                       EngineTest::PutSharedFile(t.cd2 / "Zelbo");
                   },
                   "E:\\Zelbo\\", 1, "<no key>", "E:\\"}),
    [](const ::testing::TestParamInfo<FolderCase>& info) { return std::string(info.param.name); });

TEST_F(EngineTest, CdPromptOkSearchesAgainAndFindsFilesAddedMeanwhile) {
    const uint64_t now = plat::NowMs64();
    head->PushAnswer(plat::kMessageBoxInteractive);
    head->At(now + 100, [this] { PutSharedFile(cd1); });
    head->Key(now + 200, VK_RETURN);
    theEngine->Startup(programFolder);

    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
    const auto& box = plat::MessageBoxLog()[0];
    EXPECT_EQ(box.caption, "Trumlaby");
    EXPECT_EQ(box.text, *plat::LookupString(40000));
    EXPECT_EQ(box.type & MB_TYPEMASK, static_cast<UINT>(MB_OKCANCEL));
    EXPECT_EQ(box.type & MB_ICONMASK, static_cast<UINT>(MB_ICONSTOP));
    EXPECT_EQ(theEngine->m_resourceFolder, "D:\\");
    EXPECT_TRUE(theEngine->m_frameSurface != nullptr);
    EXPECT_EQ(TakeCloses(), 0);
}

TEST_F(EngineTest, CdPromptFallsBackToEnglishWithoutItsString) {
    plat::ClearStringTable();
    head->PushAnswer(IDCANCEL);
    theEngine->Startup(programFolder);
    ASSERT_EQ(plat::MessageBoxLog().size(), 1u);
    EXPECT_EQ(plat::MessageBoxLog()[0].text,
              "Unable to read from application CD. Please insert CD and press OK\nor press CANCEL to exit program.");
}

// Cancel: one close posted, nothing more opened, and the shutdown that follows undoes only
// what start-up did up to the prompt (the allocation handler), saving no preferences over
// the player's file.
TEST_F(EngineTest, CdPromptCancelQuitsAndShutdownUndoesOnlyWhatWasDone) {
    const std::new_handler before = std::get_new_handler();
    head->PushAnswer(IDCANCEL);
    theEngine->Startup(programFolder);

    EXPECT_EQ(TakeCloses(), 1);
    EXPECT_EQ(plat::MessageBoxLog().size(), 1u);
    EXPECT_FALSE(theEngine->m_resFiles[0].IsOpen());
    EXPECT_FALSE(head->AudioOpen());
    EXPECT_EQ(theEngine->m_frameSurface, nullptr);
    EXPECT_EQ(store.loads, 0);
    EXPECT_TRUE(IsReadErrorPromptEnabled());
    EXPECT_NE(std::get_new_handler(), before);

    theEngine->Shutdown();
    EXPECT_EQ(std::get_new_handler(), before);
    EXPECT_EQ(store.saves, 0);
    EXPECT_FALSE(theEngine->IsStarted());
    theEngine->Shutdown();
    EXPECT_EQ(std::get_new_handler(), before);
}

std::vector<std::string> FaceNames() { return plat::Fonts().FaceNames(); }

// Start-up then shutdown with no first paint: everything it took is given back.
TEST_F(EngineTest, ShutdownUndoesStartupWithoutAFirstPaint) {
    PutSharedFile(root / "Prog");
    std::filesystem::copy_file(std::filesystem::path(ZELBO_FONT_DIR) / "RODODED1.FON", root / "Prog" / "RODODED1.FON");
    const auto facesBefore = FaceNames();
    const std::new_handler before = std::get_new_handler();
    IResItemHost* hostBefore = &ResItemHost();

    theEngine->Startup(programFolder);
    ASSERT_TRUE(theEngine->IsStarted());
    EXPECT_EQ(theEngine->m_running, 0);
    EXPECT_GT(FaceNames().size(), facesBefore.size());
    EXPECT_TRUE(head->AudioOpen());
    EXPECT_NE(std::get_new_handler(), before);
    EXPECT_NE(&ResItemHost(), hostBefore);
    EXPECT_EQ(store.loads, 1);
    EXPECT_EQ(theEngine->m_busyGuard, 0);

    theEngine->Shutdown();
    EXPECT_EQ(FaceNames(), facesBefore);
    EXPECT_FALSE(head->AudioOpen());
    HWAVEOUT device = nullptr;
    WAVEFORMATEX format{WAVE_FORMAT_PCM, 1, 11025, 11025, 1, 8, 0};
    EXPECT_EQ(waveOutOpen(&device, WAVE_MAPPER, &format, 0, 0, 0), MMSYSERR_NOERROR) << "the device is free again";
    if (device) waveOutClose(device);
    EXPECT_EQ(std::get_new_handler(), before);
    EXPECT_EQ(&ResItemHost(), hostBefore);
    EXPECT_FALSE(theEngine->m_resFiles[0].IsOpen());
    EXPECT_EQ(theEngine->m_frameSurface, nullptr);
    EXPECT_EQ(store.saves, 1);
    EXPECT_EQ(theEngine->m_busyGuard, 1);

    // The destructor's second shutdown finds nothing to do.
    theEngine->Shutdown();
    EXPECT_EQ(store.saves, 1);
}

TEST_F(EngineTest, StartupFillsTheSurfacesPaletteAndScanHighlightFromTheSharedFile) {
    PutSharedFile(root / "Prog");
    theEngine->Startup(programFolder);
    ASSERT_NE(theEngine->m_frameSurface, nullptr);
    EXPECT_EQ(theEngine->m_frameSurface->Width(), 640);
    EXPECT_EQ(theEngine->m_frameSurface->Height(), 480);
    EXPECT_EQ(theEngine->m_backgroundSurface->Width(), 640);
    ASSERT_NE(theEngine->m_screenPalette, nullptr);
    EXPECT_EQ(theEngine->m_frameSurface->Palette(), theEngine->m_screenPalette->GetPalette());
    ASSERT_NE(theEngine->m_scanner.Highlight(), nullptr);
    EXPECT_EQ(theEngine->m_scanner.Highlight(), GetResItem(1, FALSE));
    EXPECT_EQ(theEngine->m_spareNumber, 10);
    EXPECT_EQ(theEngine->m_sharedThreshold, 1000);
}

// The engine serves the sound list: a clip of the shared file loads through its items.
TEST_F(EngineTest, SoundClipsLoadFromTheEnginesResourceFiles) {
    PutSharedFile(root / "Prog");
    theEngine->Startup(programFolder);
    CSoundClip* clip = theEngine->m_sounds.LoadClip(5);
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->Samples(), (enginetest::Bytes{200, 201, 202, 203, 204}));
    EXPECT_EQ(theEngine->m_sounds.LoadClip(6), nullptr);
}

// Ids written by the current module: r = id mod 1000 (sign kept), then module × 1000 + r, or
// r − module × 1000 for a negative r; the threshold 1000 maps no id to the shared block.
TEST_F(EngineTest, IdRuleThroughGetResItem) {
    media::CResWriter shared = SharedFile();
    shared.Add("SPR", 3, enginetest::Picture(2, 2, 1));
    PutSharedFile(root / "Prog", shared);
    theEngine->Startup(programFolder);
    media::CResWriter module2;
    module2.Add("SPR", 2005, enginetest::Picture(3, 1, 2));
    module2.Add("SPR", 2995, enginetest::Picture(5, 1, 3));
    PutSharedFile(root / "m2", module2);
    std::filesystem::rename(root / "m2" / "Zelbo0.res", root / "Prog" / "Zelbo2.res");
    ASSERT_TRUE(theEngine->OpenResourceFile(2, FALSE));

    struct Case {
        int module;
        int threshold;
        int16_t id;
        int32_t absolute;
    };
    const Case cases[] = {
        {2, 1000, 5, 2005},   {2, 1000, 3005, 2005}, {2, 1000, -5, -2005}, {2, 1000, 995, 2995},
        {2, 1000, -1995, -2995}, {0, 1000, 3, 3},   {6, 1000, 12345, 6345},
        // A lower threshold sends r from it up to 989 to the shared base; 990..999 stay the module's.
        {2, 900, 950, 5950},  {2, 900, 899, 2899},   {2, 900, 995, 2995},
    };
    for (const Case& c : cases) {
        theEngine->m_currentModule = c.module;
        theEngine->m_sharedThreshold = c.threshold;
        theEngine->m_sharedBase = 5000;
        EXPECT_EQ(theEngine->MapResourceId(c.id), c.absolute) << c.module << " " << c.threshold << " " << c.id;
        EXPECT_EQ(ResItemHost().MapResourceId(c.id), c.absolute);
    }
    theEngine->m_sharedThreshold = 1000;
    theEngine->m_sharedBase = 0;
    theEngine->m_currentModule = 2;
    CSprite* picture = GetResItem(ResItemHost().MapResourceId(3005), TRUE);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(picture->Width(), 3);
    CSprite* own = GetResItem(ResItemHost().MapResourceId(995), TRUE);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->Width(), 5);
    theEngine->m_currentModule = 0;
}

}  // namespace

namespace {

// The alternative view's round trip: the game view's destruction shuts the engine down and a
// new game view starts it again from the beginning.
TEST_F(EngineTest, StartsAgainAfterShutdownAndARepeatedStartupShutsDownFirst) {
    PutSharedFile(root / "Prog");
    std::filesystem::copy_file(std::filesystem::path(ZELBO_FONT_DIR) / "RODODED1.FON", root / "Prog" / "RODODED1.FON");
    const auto facesBefore = FaceNames();
    const std::new_handler before = std::get_new_handler();
    IResItemHost* hostBefore = &ResItemHost();

    theEngine->Startup(programFolder);
    const auto facesStarted = FaceNames();
    theEngine->Shutdown();
    theEngine->Startup(programFolder);
    EXPECT_TRUE(theEngine->IsStarted());
    EXPECT_TRUE(head->AudioOpen());
    EXPECT_EQ(FaceNames(), facesStarted);
    // Start-up twice without a shutdown between: the first is undone, not leaked.
    theEngine->Startup(programFolder);
    EXPECT_EQ(FaceNames(), facesStarted);
    EXPECT_EQ(store.loads, 3);
    EXPECT_EQ(store.saves, 2);

    theEngine->Shutdown();
    EXPECT_EQ(FaceNames(), facesBefore);
    EXPECT_EQ(std::get_new_handler(), before);
    EXPECT_EQ(&ResItemHost(), hostBefore);
    EXPECT_FALSE(head->AudioOpen());
}

// Random numbers start from the run's seed: a replay with the recorded seed draws what the
// recorded run drew, whenever it starts; without one the clock decides.
TEST_F(EngineTest, RandomNumbersStartFromTheScriptsSeedWhateverTheClock) {
    PutSharedFile(root / "Prog");
    const auto draws = [&] {
        theEngine->Startup(programFolder);
        std::vector<int> seen;
        for (int i = 0; i < 8; ++i) seen.push_back(plat::Rand());
        theEngine->Shutdown();
        return seen;
    };
    std::string err;
    ASSERT_TRUE(head->LoadScript("0 seed 4711\n", "", &err)) << err;
    const auto first = draws();
    head->Advance(12345);
    EXPECT_EQ(draws(), first);
    ASSERT_TRUE(head->LoadScript("0 seed 4712\n", "", &err)) << err;
    EXPECT_NE(draws(), first);
}

// The engine object is made before main: its construction takes nothing of the back end
// (there is none then) beyond the version word.
TEST(EngineConstruction, NeedsNoBackEnd) {
    plat::SetReportedVersion(plat::kVersionWinNT4);
    plat::SetBackend(nullptr);
    ASSERT_FALSE(plat::HasBackend());
    DWORD version = 0;
    {
        CZelboTitle title;
        version = title.m_platformVersion;
        EXPECT_EQ(theEngine, &title);
    }
    plat::InstallHeadless();
    plat::SetReportedVersion(plat::kVersionWin95);
    EXPECT_EQ(version, plat::kVersionWinNT4);
    EXPECT_NE(theEngine, nullptr);
}

// The screen palette comes from 'PAL' 0 of the shared file; an item that claims more colours
// than it holds gives only what it holds, and one larger than a palette gives its first 256.
struct PaletteCase {
    const char* name;
    Bytes item;
    std::array<uint8_t, 3> entry15;
    std::array<uint8_t, 3> entry100;
};

class StartupPalette : public EngineTest, public ::testing::WithParamInterface<PaletteCase> {};

Bytes PaletteBytes(uint16_t count, int entries) {
    Bytes b;
    plat::AppendLe16(b, count);
    for (int i = 0; i < entries; ++i) {
        b.push_back(static_cast<uint8_t>(i));      // blue
        b.push_back(static_cast<uint8_t>(i + 1));  // green
        b.push_back(static_cast<uint8_t>(i + 2));  // red
    }
    return b;
}

TEST_P(StartupPalette, TakesWhatTheItemHolds) {
    const PaletteCase& c = GetParam();
    media::CResWriter w;
    w.Add("SPR", 1, enginetest::Picture(4, 2, 9));
    if (!c.item.empty()) w.Add("PAL", 0, c.item);
    PutSharedFile(root / "Prog", w);
    theEngine->Startup(programFolder);
    ASSERT_NE(theEngine->m_screenPalette, nullptr);
    ASSERT_NE(theEngine->m_fadePalette, nullptr);
    PALETTEENTRY entries[256] = {};
    ASSERT_TRUE(theEngine->m_screenPalette->GetPalette()->GetEntries(entries));
    EXPECT_EQ((std::array<uint8_t, 3>{entries[15].peRed, entries[15].peGreen, entries[15].peBlue}), c.entry15);
    EXPECT_EQ((std::array<uint8_t, 3>{entries[100].peRed, entries[100].peGreen, entries[100].peBlue}), c.entry100);
    PALETTEENTRY fade[256] = {};
    ASSERT_TRUE(theEngine->m_fadePalette->GetPalette()->GetEntries(fade));
    EXPECT_EQ(fade[15].peRed, entries[15].peRed);
}

INSTANTIATE_TEST_SUITE_P(
    Engine, StartupPalette,
    ::testing::Values(PaletteCase{"Whole", PaletteBytes(256, 256), {17, 16, 15}, {102, 101, 100}},
                      PaletteCase{"ClaimsMoreThanItHolds", PaletteBytes(200, 20), {17, 16, 15}, {0, 0, 0}},
                      // A count above 256 is cut to 256: the colours the item holds are read.
                      PaletteCase{"LargerThanAPalette", PaletteBytes(300, 300), {17, 16, 15}, {102, 101, 100}},
                      PaletteCase{"NoCount", Bytes{7}, {0, 0, 0}, {0, 0, 0}},
                      PaletteCase{"Missing", Bytes{}, {0, 0, 0}, {0, 0, 0}}),
    [](const ::testing::TestParamInfo<PaletteCase>& info) { return std::string(info.param.name); });

}  // namespace
