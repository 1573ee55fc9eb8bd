#include "engine/players/prefs_options.h"

#include <gtest/gtest.h>

#include "engine/core/engine_test_support.h"
#include "media/surface/dirty_rect_list.h"

namespace {

using enginetest::EngineTest;

// Each accessor answers its own field of the engine's record, cut to its low 16 bits: every
// field holds a different value, with bits above the low word set.
TEST(PrefsOptions, EachAccessorReadsTheLowWordOfItsOwnField) {
    struct Case {
        const char* name;
        uint32_t CUserPrefs::* field;
        uint16_t (*read)();
    };
    const Case cases[] = {
        {"printingOn", &CUserPrefs::printingOn, GetPrefsOption08},
        {"colourPrinting", &CUserPrefs::colourPrinting, GetPrefsOption28},
        {"showStopSign", &CUserPrefs::showStopSign, GetPrefsOption0C},
        {"savingOn", &CUserPrefs::savingOn, GetPrefsOption34},
        {"childrenMayAddPlayers", &CUserPrefs::childrenMayAddPlayers, GetPrefsOption30},
    };
    const CUserPrefs saved = theEngine->m_prefs;
    uint32_t value = 0x10001;
    for (const Case& c : cases) theEngine->m_prefs.*c.field = value++;
    uint16_t expected = 1;
    for (const Case& c : cases) EXPECT_EQ(c.read(), expected++) << c.name;
    for (const Case& c : cases) {
        theEngine->m_prefs.*c.field = 0x20000;
        EXPECT_EQ(c.read(), 0) << c.name << ": only the low word counts";
    }
    theEngine->m_prefs = saved;
}

// The left switch works the quit or home button, the right one the corner button; the middle
// button is neither's. Each change marks the button's picture for redrawing, so a hidden
// button leaves the screen at the next frame.
class NavButtons : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        media::CResWriter shared = SharedFile();
        for (int id = 100; id <= 107; ++id) shared.Add("SPR", id, enginetest::Picture(20, 10, 3));
        PutSharedFile(root / "Prog", shared);
        theEngine->Startup(programFolder);
        ASSERT_TRUE(theEngine->IsStarted());
        theEngine->m_buttons[0].Create(POINT{6, 441}, 0, 100, 101, TRUE);
        theEngine->m_buttons[1].Create(POINT{528, 441}, 0, 104, 105, TRUE);
        theEngine->m_buttons[2].Create(POINT{602, 441}, 0, 106, 107, TRUE);
    }
};

TEST_F(NavButtons, EachSwitchShowsAndHidesItsOwnButtonAndRedrawsIt) {
    struct Case {
        const char* name;
        void (*show)(int);
        size_t index;
    };
    for (const Case& c : {Case{"left", ShowNavButtonLeft, 0}, Case{"right", ShowNavButtonRight, 2}}) {
        SCOPED_TRACE(c.name);
        for (int show : {0, 1, 0, 7}) {
            theEngine->m_dirtyRects->RemoveAll();
            c.show(show);
            EXPECT_EQ(theEngine->m_buttons[c.index].IsVisible(), show != 0);
            for (size_t other = 0; other < 3; ++other) {
                if (other != c.index) {
                    EXPECT_TRUE(theEngine->m_buttons[other].IsVisible()) << "button " << other;
                }
            }
            RECT r = theEngine->m_buttons[c.index].GetFirst()->AnchorRect();
            const POINT at = theEngine->m_buttons[c.index].GetPosition();
            OffsetRect(&r, at.x, at.y);
            EXPECT_TRUE(theEngine->m_dirtyRects->Intersects(r)) << "show " << show;
        }
        c.show(1);
    }
}

}  // namespace
