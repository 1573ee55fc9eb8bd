// A hot key that leaves the module, pressed while a module's handler drags a sprite or follows a
// press on a button: the drag ends as a release where the pointer is, the followed press ends
// without its action, the handler returns, and only then, at the next idle step outside every
// engine call, the grown-ups' section opens (or the game quits), once.
#include <memory>
#include <string>

#include "app/app_test_support.h"
#include "app/hub.h"
#include "engine/scene/spot.h"
#include "engine/toolbox/cursor_mouse.h"

namespace {

using app_test::AppTest;

enum class Modal { Drag, Press };

struct Seen {
    int handlers = 0;
    bool handlerReturned = false;
    // The drag's sprite after the drag, or the press's answer.
    bool inList = false;
    POINT position{};
    int16_t pressed = -1;
    bool dragging = true;
    int32_t held = 0;
    int sheets = 0;
    int sheetCallDepth = -1;
    bool sheetUnderHandler = true;
    bool sheetWhileDragging = true;
};
Seen g_seen;
Modal g_modal = Modal::Drag;

// The grown-ups' section: notes when and under what it runs, and answers "Spela".
class CNotingSection : public IAdultSection {
public:
    int RunSheet(bool, UINT, CWnd*, CUserPrefs&, ActivitySettings&) override {
        ++g_seen.sheets;
        g_seen.sheetCallDepth = theEngine->CallDepth();
        g_seen.sheetUnderHandler = !g_seen.handlerReturned;
        g_seen.sheetWhileDragging = theEngine->m_drag.IsDragging();
        return IDOK;
    }
};

// The home module's key handler for this test: 'K' starts a drag of a sprite over a spot
// covering the screen, or follows a press on it, pressed at (302, 202).
void ModalKeyHandler(int32_t key) {
    if (key != 'K') return;
    ++g_seen.handlers;
    CCorEngine& e = *theEngine;
    // The hub's gate picture (its pressed look the next id).
    CCorAnim* sprite = e.m_anims.Create(e.MapResourceId(kHubExit), POINT{300, 200});
    e.m_lastClickX = 302;
    e.m_lastClickY = 202;
    if (g_modal == Modal::Drag) {
        auto home = std::make_unique<CSpot>(1990);
        home->SetRect(RECT{0, 0, 640, 480});
        e.m_spots.Append(std::move(home));
        e.m_drag.BeginDrag(sprite, 1990, 0, kNoSnapLimit, nullptr);
        e.m_spots.Delete(1990);
    } else {
        g_seen.pressed = TrackButton(sprite, kHubExit + 1, kHubExit);
    }
    g_seen.inList = e.m_anims.Contains(sprite);
    if (g_seen.inList) g_seen.position = sprite->GetPosition();
    g_seen.dragging = e.m_drag.IsDragging() || e.m_composeOnly != 0;
    g_seen.held = e.HeldHotKey();
    g_seen.handlerReturned = true;
}

struct HotKeyCase {
    const char* name;
    Modal modal;
    const char* key;
    int sheets;  // the grown-ups' section opened
};

class ModalHotKey : public AppTest, public ::testing::WithParamInterface<HotKeyCase> {};

TEST_P(ModalHotKey, WaitsForTheHandlerToReturn) {
    const HotKeyCase& k = GetParam();
    CZelboApp app;
    g_seen = Seen{};
    g_modal = k.modal;
    CNotingSection section;
    IAdultSection* before = SetAdultSection(&section);
    ResetHubForRun(false);
    static ModuleFunctionTable table{};
    table.KeyDown = ModalKeyHandler;
    bool quitLater = false;
    WhenEntered([&] {
        theEngine->m_moduleTable = &table;  // the home module's table, as far as keys go
        theEngine->m_ctrlAltAEnabled = 1;
        theEngine->m_ctrlQEnabled = 1;
        m_head->Key(At(0), 'K');
        // The pointer moves 50 pixels right and down from the press; the hot key comes while
        // the button is still down, which is let go only well after.
        m_head->MouseMove(At(40), 352, 252);
        std::string error;
        ASSERT_TRUE(m_head->LoadScript(std::string("+100 key ") + k.key + "\n", "", &error)) << error;
        Later(3000, [&] {
            plat::InputEvent up;
            up.kind = plat::InputKind::MouseUp;
            up.x = 352;
            up.y = 252;
            m_head->QueueInput(At(0), up);
        });
        // After "Spela" the hub is back; the window's close ends the run.
        Later(6000, [&] {
            quitLater = true;
            app.m_pMainWnd->PostMessage(WM_CLOSE);
        });
    });
    EXPECT_EQ(RunGame(app), 0);
    SetAdultSection(before);
    EXPECT_EQ(g_seen.handlers, 1);
    EXPECT_FALSE(g_seen.dragging) << "the modal loop ended";
    EXPECT_NE(g_seen.held, 0) << "the hot key waited for the handler";
    if (k.modal == Modal::Drag) {
        EXPECT_TRUE(g_seen.inList) << "the dropped sprite is back in the scene";
        EXPECT_EQ(g_seen.position.x, 350) << "dropped where the pointer was";
        EXPECT_EQ(g_seen.position.y, 250);
    } else {
        EXPECT_EQ(g_seen.pressed, 0) << "the press ends without its action";
    }
    EXPECT_EQ(g_seen.sheets, k.sheets);
    if (k.sheets) {
        EXPECT_FALSE(g_seen.sheetUnderHandler);
        EXPECT_FALSE(g_seen.sheetWhileDragging);
        EXPECT_EQ(g_seen.sheetCallDepth, 2) << "from an idle step of its own (and the grown-ups' area's own level)";
        EXPECT_TRUE(quitLater) << "Spela went back to the game";
    } else {
        EXPECT_FALSE(quitLater) << "the hot key quit the game";
    }
    EXPECT_EQ(theEngine->HeldHotKey(), 0);
}

const HotKeyCase kCases[] = {
    {"GrownUpsDuringADrag", Modal::Drag, "CTRL+ALT+A", 1},
    {"GrownUpsDuringAPress", Modal::Press, "CTRL+ALT+A", 1},
    {"QuitDuringADrag", Modal::Drag, "CTRL+X", 0},
    {"QuitDuringAPress", Modal::Press, "CTRL+Q", 0},
};

INSTANTIATE_TEST_SUITE_P(Keys, ModalHotKey, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<HotKeyCase>& info) { return info.param.name; });

}  // namespace
