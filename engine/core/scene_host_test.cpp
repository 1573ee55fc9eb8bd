// The engine under the scene objects: its palette items, the wave-output check, the sound
// toolbox over its sound list, a spot that switches modules, module hosts reached through
// the title's tables.
#include "engine/core/engine_hosts.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/core/engine_test_support.h"
#include "engine/scene/module_host.h"
#include "engine/scene/sound_toolbox.h"
#include "media/res/spot_format.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "media/surface/pal_id.h"

namespace {

using enginetest::EngineTest;

std::vector<std::string> gLog;

// A module written as a class, logging what the engine does to it.
class CLoggingHost : public CModuleHost {
public:
    explicit CLoggingHost(int module) : CModuleHost(module) {}
    void Enter() override { gLog.push_back("enter " + std::to_string(GetModule())); }
    void Start() override { gLog.push_back("start " + std::to_string(GetModule())); }
    void Leave() override { gLog.push_back("leave " + std::to_string(GetModule())); }
    void Notify(int32_t kind) override { gLog.push_back("notify " + std::to_string(kind)); }
};

class SceneEngineTest : public EngineTest {
protected:
    using Bytes = enginetest::Bytes;
    void SetUp() override {
        EngineTest::SetUp();
        gLog.clear();
        // The shared file: picture 1, a palette whose entries 10 to 39 are grey but 12 black,
        // and sound 5.
        media::CResWriter w;
        w.Add("SPR", 1, enginetest::Picture(4, 2, 9));
        std::vector<std::array<uint8_t, 3>> rgb(40, {50, 50, 50});
        rgb[12] = {0, 0, 0};
        w.Add("PAL", 0, enginetest::Palette(rgb));
        w.Add("SND", 5, Bytes(3000, 0xA0));
        PutSharedFile(root / "Prog", w);
    }
};

TEST_F(SceneEngineTest, StartupMakesThePaletteItemsChecksTheWaveOutputAndInstallsTheSceneHost) {
    ISceneHost* before = &SceneHost();
    theEngine->Startup(programFolder);
    ASSERT_NE(theEngine->m_screenPalette, nullptr);
    ASSERT_NE(theEngine->m_fadePalette, nullptr);
    EXPECT_NE(theEngine->m_screenPalette.get(), theEngine->m_fadePalette.get());
    EXPECT_EQ(theEngine->m_blackIndex, 12);
    EXPECT_EQ(theEngine->m_screenPalette->Entries()[11].peRed, 50);
    EXPECT_EQ(theEngine->m_frameSurface->Palette(), theEngine->m_screenPalette->GetPalette());
    EXPECT_NE(theEngine->m_canSetWaveVolume, 0);

    ISceneHost& host = SceneHost();
    EXPECT_NE(dynamic_cast<CEngineSceneHost*>(&host), nullptr);
    EXPECT_EQ(host.Sounds(), &theEngine->m_sounds);
    EXPECT_EQ(host.FrameSurface(), theEngine->m_frameSurface.get());
    EXPECT_EQ(host.ScreenPalette(), theEngine->m_screenPalette->GetPalette());
    EXPECT_EQ(host.ClientSize().cx, 640);
    theEngine->m_dirtyRects->RemoveAll();
    host.Invalidate(RECT{1, 2, 3, 4});
    EXPECT_EQ(theEngine->m_dirtyRects->GetCount(), 1u);
    EXPECT_FALSE(host.ClosePending());
    theEngine->SetClosePending(true);
    EXPECT_TRUE(host.ClosePending());
    theEngine->SetClosePending(false);

    theEngine->Shutdown();
    EXPECT_EQ(&SceneHost(), before);
    EXPECT_EQ(theEngine->m_screenPalette, nullptr);
}

TEST_F(SceneEngineTest, TheSoundToolboxPlaysOnTheEnginesListAndTheVolumeSampleYieldsToAClose) {
    head->SetQueryStep(0);
    theEngine->Startup(programFolder);
    ASSERT_TRUE(theEngine->m_sounds.IsOutputOpen());
    const int16_t ch = PlaySnd(5, 0);  // module 0: the shared sound 5
    EXPECT_GE(ch, 1);
    EXPECT_TRUE(IsSndPlaying(-1));
    StopAllSnds();
    theEngine->SetClosePending(true);
    const uint64_t start = plat::NowMs64();
    SetSndVolume(5, 30);
    EXPECT_EQ(plat::NowMs64(), start);  // ended at once
    theEngine->SetClosePending(false);
}

// A spot whose target is another module: the current module leaves, the target is entered
// fully; the engine reaches both modules through the tables their hosts filled.
TEST_F(SceneEngineTest, ASpotWithATargetSwitchesModulesThroughTheEngine) {
    CLoggingHost five(5), six(6);
    EXPECT_EQ(theEngine->GetModuleTable(6), ModuleHostTable(6));
    EXPECT_EQ(theEngine->GetModuleTable(4), nullptr);  // no host: no table yet
    media::CResWriter module5 = ModuleFile(5);
    module5.Add("SPT", 5100, media::EncodeSpotItem(10, 10, 50, 30));
    Bytes list;
    for (uint16_t w : {0, 5100}) plat::AppendLe16(list, w);
    module5.Add("SP#", 5500, list);
    PutModuleFile(root / "Prog", 5, module5);
    PutModuleFile(root / "Prog", 6, ModuleFile(6));
    theEngine->Startup(programFolder);

    theEngine->GoToModule(5, TRUE);
    EXPECT_EQ(CurrentModuleHost(), &five);
    ASSERT_TRUE(theEngine->m_spots.LoadList(5500));
    CSpot* spot = theEngine->m_spots.FindById(5100);
    ASSERT_NE(spot, nullptr);
    spot->SetTargetModule(6);
    spot->Enable(FALSE);  // a target is followed whatever the enabled flag
    gLog.clear();
    EXPECT_EQ(theEngine->m_spots.ClickAt(POINT{20 + theEngine->m_originX, 20 + theEngine->m_originY}), 1);
    EXPECT_EQ(gLog, (std::vector<std::string>{"leave 5", "enter 6", "notify 1", "start 6"}));
    EXPECT_EQ(theEngine->m_currentModule, 6);
    EXPECT_EQ(CurrentModuleHost(), &six);
    theEngine->UnloadModule(FALSE);
    EXPECT_EQ(CurrentModuleHost(), nullptr);
}

}  // namespace
