#include "engine/toolbox/cursor_mouse.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "engine/core/zelbo_title.h"
#include "engine/scene/cor_anim.h"
#include "engine/scene/scan_target.h"
#include "media/res/item_cache.h"
#include "media/res/res_items_test_support.h"
#include "media/res/sprite.h"
#include "platform/afxwin/afxwin.h"
#include "platform/core/byte_order.h"
#include "platform/gdi/wingdi.h"
#include "platform/headless/headless_backend.h"

namespace {

using itemtest::Bytes;

Bytes CursorItem(int16_t picture, int16_t x, int16_t y) {
    Bytes b;
    for (int16_t v : {picture, x, y}) plat::AppendLe16(b, static_cast<uint16_t>(v));
    return b;
}

// side × side rows of colour c with a transparent first column.
std::vector<Bytes> Rows(int width, int height, uint8_t c) {
    std::vector<Bytes> rows(static_cast<size_t>(height), Bytes(static_cast<size_t>(width), c));
    for (Bytes& r : rows) r[0] = 0;
    return rows;
}

// The main window: a close while an engine call runs is recorded, as the application does, and
// carried out otherwise.
class CGameWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_TIMER && theEngine) theEngine->RunIdle();  // as the game view's timer does
        if (message == WM_CLOSE) {
            ++closes;
            if (theEngine && theEngine->CallDepth() > 0) {
                theEngine->SetClosePending(true);
                return 0;
            }
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int closes = 0;
};

// Module 3 of a title of its own, with pictures and 'CUR' items:
//   3012 4 × 4, 3013 and 3014 4 × 4 (a button's pictures), 3020 a 32 × 32 hand,
//   3040 40 × 40, 3041 20 × 20; 'CUR' 3050 (3020 at 3, 4), 3051 (3040), 3052 (3041),
//   3053 too short, 3054 naming a missing picture.
class CursorTest : public ::testing::Test {
protected:
    void SetUp() override {
        head = &plat::InstallHeadless();
        plat::ResetGdi();
        res.module = 3;
        media::CResWriter w;
        w.Add("SPR", 3012, itemtest::Spr(4, Rows(4, 4, 12)));
        w.Add("SPR", 3013, itemtest::Spr(4, Rows(4, 4, 13)));
        w.Add("SPR", 3014, itemtest::Spr(4, Rows(4, 4, 14)));
        std::vector<Bytes> hand(32, Bytes(32, 0));
        for (int y = 4; y < 28; ++y)
            for (int x = 10; x < 20; ++x) hand[static_cast<size_t>(y)][static_cast<size_t>(x)] = 20;
        w.Add("SPR", 3020, itemtest::Spr(32, hand));
        w.Add("SPR", 3040, itemtest::Spr(40, Rows(40, 40, 21)));
        w.Add("SPR", 3041, itemtest::Spr(20, Rows(20, 20, 22)));
        w.Add("CUR", 3050, CursorItem(20, 3, 4));
        w.Add("CUR", 3051, CursorItem(40, 0, 0));
        w.Add("CUR", 3052, CursorItem(41, 5, 5));
        w.Add("CUR", 3053, Bytes{20, 0, 3, 0, 4});
        w.Add("CUR", 3054, CursorItem(99, 0, 0));
        ASSERT_TRUE(res.OpenModule(3, w));

        title.m_currentModule = 3;
        title.m_screenPalette = std::make_unique<CPalItem>(0);
        Bytes pal{0, 1};
        for (int i = 0; i < 256; ++i) pal.insert(pal.end(), {uint8_t(i), uint8_t(255 - i), uint8_t(i / 2)});
        ASSERT_TRUE(title.m_screenPalette->LoadFromBytes(pal));
        ASSERT_TRUE(main.CreateEx(0, nullptr, "Trumlaby", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr));
        app.m_pMainWnd = &main;
        objectsBefore = plat::LiveGdiObjects();
    }
    void TearDown() override {
        title.m_anims.RemoveAll();
        for (HCURSOR* c : {&title.m_moduleCursorA, &title.m_moduleCursorB}) {
            if (*c) DestroyCursor(*c);
            *c = nullptr;
        }
        app.m_pMainWnd = nullptr;
        if (main.GetSafeHwnd()) main.DestroyWindow();
    }

    void Button(plat::InputKind kind, uint64_t at, int x, int y) {
        plat::InputEvent ev;
        ev.kind = kind;
        ev.x = x;
        ev.y = y;
        head->QueueInput(at, ev);
    }

    itemtest::CTestHost res;
    plat::HeadlessBackend* head = nullptr;
    CWinApp app;
    CGameWnd main;
    CZelboTitle title;
    int objectsBefore = 0;
};

// ---- Busy level and cursors ---------------------------------------------------------------

TEST_F(CursorTest, BusyNestsAndEndBusyDropsQueuedInput) {
    HCURSOR arrow = LoadCursor(nullptr, IDC_ARROW);
    HCURSOR wait = LoadCursor(nullptr, IDC_WAIT);
    BeginBusy();
    BeginBusy();
    EXPECT_EQ(GetCursor(), wait);
    main.PostMessage(WM_LBUTTONDOWN, 0, 0);
    main.PostMessage(WM_KEYDOWN, 'A', 0);
    main.PostMessage(WM_USER, 0, 0);
    EndBusy();
    EXPECT_EQ(title.m_busyLevel, 1);
    EXPECT_EQ(GetCursor(), wait) << "still busy";
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_MOUSEFIRST, WM_MOUSELAST, PM_NOREMOVE));
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessage(&msg, nullptr, WM_USER, WM_USER, PM_REMOVE)) << "other messages stay";
    EndBusy();
    EXPECT_EQ(GetCursor(), arrow);
    EndBusy();
    EXPECT_EQ(title.m_busyLevel, 0) << "an unmatched EndBusy does not go below 0";

    // The module's own cursors stand in for the system's.
    SetPictureCursor(50, 52);
    ASSERT_NE(title.m_moduleCursorA, nullptr);
    ASSERT_NE(title.m_moduleCursorB, nullptr);
    EXPECT_EQ(GetCursor(), title.m_moduleCursorA);
    BeginBusy();
    EXPECT_EQ(GetCursor(), title.m_moduleCursorB);
    EndBusy();
    EXPECT_EQ(GetCursor(), title.m_moduleCursorA);
    HideMouseCursor();
    EXPECT_EQ(plat::ShownCursor(), nullptr);
    ShowMouseCursor();
    EXPECT_EQ(plat::ShownCursor(), title.m_moduleCursorA);
}

// The image: the top-left 32 × 32 pixels, 0 beyond the picture; the mask's rows four bytes each,
// the leftmost pixel in the top bit of the first, set on colour 0.
TEST_F(CursorTest, CursorImageCropsPadsAndMasksColourZero) {
    struct Case {
        int16_t id;
        int width, height;
    };
    for (const Case& c : {Case{3020, 32, 32}, Case{3040, 40, 40}, Case{3041, 20, 20}}) {
        SCOPED_TRACE(c.id);
        CSprite* picture = GetResItem(c.id, TRUE);
        ASSERT_NE(picture, nullptr);
        const CursorImageBits image = CursorImageOf(*picture);
        for (int y = 0; y < 32; ++y) {
            for (int x = 0; x < 32; ++x) {
                const uint8_t expected = x < c.width && y < c.height ? picture->Bits()[y * picture->Stride() + x] : 0;
                ASSERT_EQ(image.pixels[static_cast<size_t>(y * 32 + x)], expected) << x << ", " << y;
                const uint32_t row = (uint32_t(image.mask[size_t(y * 4)]) << 24) | (uint32_t(image.mask[size_t(y * 4 + 1)]) << 16) |
                                     (uint32_t(image.mask[size_t(y * 4 + 2)]) << 8) | image.mask[size_t(y * 4 + 3)];
                ASSERT_EQ((row >> (31 - x)) & 1, expected == 0 ? 1u : 0u) << x << ", " << y;
            }
        }
    }
    // The 20 × 20 picture: its first column and everything right of 20 transparent.
    const CursorImageBits small = CursorImageOf(*GetResItem(3041, TRUE));
    EXPECT_EQ(small.mask[0], 0x80);
    EXPECT_EQ(small.mask[1], 0x00);
    EXPECT_EQ(small.mask[2], 0x0F);
    EXPECT_EQ(small.mask[3], 0xFF);
    EXPECT_EQ(small.mask[20 * 4], 0xFF) << "rows below the picture";
}

TEST_F(CursorTest, PictureCursorFromAnItem) {
    SetPictureCursor(50, 0);
    HCURSOR hand = title.m_moduleCursorA;
    ASSERT_NE(hand, nullptr);
    EXPECT_EQ(GetCursor(), hand) << "shown at once while not busy";
    const plat::CursorImage* image = plat::CursorImageOf(hand);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 32);
    EXPECT_EQ(image->height, 32);
    EXPECT_EQ(image->hotX, 3);
    EXPECT_EQ(image->hotY, 4);
    EXPECT_EQ(image->rgba[0] >> 24, 0u) << "colour 0 is transparent";
    EXPECT_EQ(image->rgba[10 * 32 + 12] >> 24, 0xFFu) << "the hand is opaque";
    EXPECT_EQ(plat::LiveGdiObjects(), objectsBefore) << "the bitmaps made on the way are freed";

    // A wait cursor is not shown while not busy; a new arrow replaces the old one.
    SetPictureCursor(51, 52);
    EXPECT_NE(title.m_moduleCursorA, hand);
    EXPECT_EQ(GetCursor(), title.m_moduleCursorA);
    ASSERT_NE(title.m_moduleCursorB, nullptr);
    EXPECT_EQ(plat::CursorImageOf(title.m_moduleCursorB)->hotX, 5);
}

// Items that are short or name no picture change nothing, and end the call there.
TEST_F(CursorTest, PictureCursorRefusals) {
    SetPictureCursor(50, 0);
    HCURSOR hand = title.m_moduleCursorA;
    for (int16_t id : {int16_t(53), int16_t(54), int16_t(55)}) {
        SCOPED_TRACE(id);
        SetPictureCursor(id, 52);
        EXPECT_EQ(title.m_moduleCursorA, hand);
        EXPECT_EQ(title.m_moduleCursorB, nullptr) << "the wait id is not handled either";
    }
    title.m_platformVersion = plat::kVersionWin32s;
    SetPictureCursor(0, 52);
    EXPECT_EQ(title.m_moduleCursorA, hand) << "nothing on Win32s";
    EXPECT_EQ(title.m_moduleCursorB, nullptr);
    title.m_platformVersion = plat::kVersionWinNT4;
    SetPictureCursor(0, 52);
    EXPECT_EQ(title.m_moduleCursorA, nullptr);
    EXPECT_NE(title.m_moduleCursorB, nullptr);
}

// (0, 0): nothing without the module's cursors; with both, both go and the system cursor of
// the busy state shows.
TEST_F(CursorTest, PictureCursorZeroZero) {
    SetCursor(nullptr);
    SetPictureCursor(0, 0);
    EXPECT_EQ(GetCursor(), nullptr);
    for (int busy : {0, 1}) {
        SCOPED_TRACE(busy);
        title.m_busyLevel = 0;
        SetPictureCursor(50, 52);
        title.m_busyLevel = busy;
        SetPictureCursor(0, 0);
        EXPECT_EQ(title.m_moduleCursorA, nullptr);
        EXPECT_EQ(title.m_moduleCursorB, nullptr);
        EXPECT_EQ(GetCursor(), LoadCursor(nullptr, busy ? IDC_WAIT : IDC_ARROW));
    }
    title.m_busyLevel = 0;
}

// ---- Pointer and last click -----------------------------------------------------------------

TEST_F(CursorTest, MouseInPictureCoordinates) {
    title.m_originX = 64;
    title.m_originY = 69;
    SetCursorPos(100, 100);
    int16_t x = 0, y = 0;
    EXPECT_EQ(GetMouse(x, y), 0);
    EXPECT_EQ(x, 36);
    EXPECT_EQ(y, 31);
    EXPECT_EQ(GetMouseX(), 36);
    EXPECT_EQ(GetMouseY(), 31);
    Button(plat::InputKind::MouseDown, head->NowMs(), 100, 100);
    head->Advance(1);
    EXPECT_EQ(GetMouse(x, y), 1) << "the button held";
    EXPECT_EQ(IsMouseDown(), 1);
    Button(plat::InputKind::MouseUp, head->NowMs(), 100, 100);
    head->Advance(1);
    EXPECT_EQ(IsMouseDown(), 0);
    Button(plat::InputKind::MouseDown, head->NowMs(), 100, 100);
    Button(plat::InputKind::MouseUp, head->NowMs(), 100, 100);
    head->Advance(1);
    EXPECT_EQ(IsMouseDown(), 1) << "pressed since the last query";
    EXPECT_EQ(IsMouseDown(), 0);
    // Swapped buttons: the right one is the primary.
    plat::SetMouseButtonsSwapped(true);
    Button(plat::InputKind::MouseDown, head->NowMs(), 100, 100);
    head->Advance(1);
    EXPECT_EQ(IsMouseDown(), 0);
    EXPECT_EQ(GetMouse(x, y), 0);
    plat::SetMouseButtonsSwapped(false);
    EXPECT_EQ(GetMouse(x, y), 1);
    Button(plat::InputKind::MouseUp, head->NowMs(), 100, 100);
    head->Advance(1);

    title.m_lastClickX = 70;
    title.m_lastClickY = 80;
    GetLastClick(x, y);
    EXPECT_EQ(x, 6);
    EXPECT_EQ(y, 11);

    // Scanning: the highlighted target's point, (0, 0) with none; always 1.
    title.m_scanner.Enable(TRUE);
    EXPECT_EQ(GetMouse(x, y), 1);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    title.m_scanner.AddTarget(new CScanPointTarget(TRUE, FALSE, 80, 90), -1);
    title.m_scanner.Restart();
    EXPECT_EQ(GetMouse(x, y), 1);
    EXPECT_EQ(x, 16);
    EXPECT_EQ(y, 21);
    title.m_scanner.Enable(FALSE);
}

// ---- TrackButton ----------------------------------------------------------------------------

class TrackButtonTest : public CursorTest {
protected:
    void SetUp() override {
        CursorTest::SetUp();
        sprite = title.m_anims.Create(3012, POINT{200, 200});
        t0 = head->NowMs();
    }
    // The picture id shown at a time of the script.
    void SampleAt(uint64_t at) {
        head->At(at, [this] { seen.push_back(sprite->GetPictureId() % 1000); });
    }
    int16_t Track() {
        CEngineCall handler;  // as from the module's click handler
        return TrackButton(sprite, 13, 14);
    }

    CCorAnim* sprite = nullptr;
    uint64_t t0 = 0;
    bool capturedDuring = false;
    std::vector<int32_t> seen;
};

TEST_F(TrackButtonTest, PressOffBackRelease) {
    title.m_lastClickX = 202;
    title.m_lastClickY = 201;
    head->At(t0 + 5, [this] { capturedDuring = GetCapture() == main.GetSafeHwnd(); });
    SampleAt(t0 + 5);
    head->MouseMove(t0 + 10, 250, 201);
    SampleAt(t0 + 15);
    head->MouseMove(t0 + 20, 201, 202);
    SampleAt(t0 + 25);
    Button(plat::InputKind::MouseUp, t0 + 30, 201, 202);
    EXPECT_EQ(Track(), 1);
    EXPECT_EQ(seen, (std::vector<int32_t>{13, 14, 13}));
    EXPECT_EQ(sprite->GetPictureId(), 3013) << "the pressed picture stays";
    EXPECT_TRUE(capturedDuring);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(TrackButtonTest, ReleaseOffGivesTheNormalPicture) {
    title.m_lastClickX = 200;  // colour 0 there: a transparent pixel inside starts the press
    title.m_lastClickY = 200;
    head->MouseMove(t0 + 10, 250, 201);
    Button(plat::InputKind::MouseUp, t0 + 20, 250, 201);
    EXPECT_EQ(Track(), 0);
    EXPECT_EQ(sprite->GetPictureId(), 3014);
    EXPECT_EQ(GetCapture(), nullptr);
}

// Nothing happens when the last click lay outside, on a null or stale sprite, or with a close
// already pending; the input stays queued.
TEST_F(TrackButtonTest, NoPressWithoutAClickOnTheSprite) {
    title.m_lastClickX = 204;
    title.m_lastClickY = 201;
    main.PostMessage(WM_LBUTTONUP, 0, MAKELPARAM(201, 201));
    EXPECT_EQ(Track(), 0);
    EXPECT_EQ(TrackButton(nullptr, 13, 14), 0);
    title.m_lastClickX = 201;
    title.SetClosePending(true);
    EXPECT_EQ(Track(), 0);
    title.SetClosePending(false);
    EXPECT_EQ(sprite->GetPictureId(), 3012);
    EXPECT_EQ(GetCapture(), nullptr);
    MSG msg;
    EXPECT_TRUE(PeekMessage(&msg, nullptr, WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE));
    CCorAnim* stale = sprite;
    title.m_anims.Remove(sprite);
    EXPECT_EQ(TrackButton(stale, 13, 14), 0) << "a disposed sprite is not touched";
}

// While scanning, an activation is a whole press.
TEST_F(TrackButtonTest, ScanningPressesAtOnce) {
    title.m_scanner.Enable(TRUE);
    title.m_lastClickX = 0;
    EXPECT_EQ(Track(), 1);
    EXPECT_EQ(sprite->GetPictureId(), 3013);
    EXPECT_EQ(GetCapture(), nullptr);
    title.m_scanner.Enable(FALSE);
}

// A close of the main window ends the press with 0; it is dispatched, recorded while the
// handler runs and carried out after it.
TEST_F(TrackButtonTest, CloseEndsThePressAndClosesAfterwards) {
    title.m_lastClickX = 201;
    title.m_lastClickY = 201;
    head->At(t0 + 10, [this] { main.PostMessage(WM_CLOSE); });
    Button(plat::InputKind::MouseUp, t0 + 20, 201, 201);
    EXPECT_EQ(Track(), 0);
    EXPECT_EQ(main.closes, 1);
    EXPECT_TRUE(title.ClosePending());
    EXPECT_TRUE(IsWindow(main.GetSafeHwnd())) << "not while the handler runs";
    EXPECT_EQ(GetCapture(), nullptr);
    // The application carries it out once the handler has returned.
    title.SetClosePending(false);
    main.SendMessage(WM_CLOSE);
    EXPECT_FALSE(IsWindow(main.GetSafeHwnd()));
}

// A quit has no window: it ends the press with 0 and is posted again for the program's loop.
// The end of the session does the same as a close.
TEST_F(TrackButtonTest, QuitAndEndSessionEndThePress) {
    title.m_lastClickX = 201;
    title.m_lastClickY = 201;
    head->At(t0 + 10, [] { PostQuitMessage(7); });
    Button(plat::InputKind::MouseUp, t0 + 100, 201, 201);  // ends the press should the quit not
    EXPECT_EQ(Track(), 0);
    EXPECT_EQ(GetCapture(), nullptr);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    FlushQueuedInput();

    head->At(t0 + 50, [this] { main.PostMessage(WM_ENDSESSION, TRUE); });
    EXPECT_EQ(Track(), 0);
    EXPECT_EQ(GetCapture(), nullptr);
}

// The game view's timer keeps coming while a press is followed, but the idle step does not run:
// no module tick and no idle callback until the press ends; afterwards the timer ticks again.
TEST_F(TrackButtonTest, NoIdleStepWhileAPressIsFollowed) {
    static int ticks;
    ticks = 0;
    ModuleFunctionTable table{};
    table.Tick = [] { ++ticks; };
    title.m_moduleTable = &table;
    title.m_running = 1;
    SetTimer(main.GetSafeHwnd(), 1, 20, nullptr);
    title.m_lastClickX = 201;
    title.m_lastClickY = 201;
    Button(plat::InputKind::MouseUp, t0 + 500, 201, 201);
    EXPECT_EQ(Track(), 1);
    EXPECT_EQ(ticks, 0);
    MSG msg;
    while (ticks == 0 && GetMessage(&msg, nullptr, 0, 0)) DispatchMessage(&msg);
    EXPECT_EQ(ticks, 1);
    KillTimer(main.GetSafeHwnd(), 1);
    title.m_running = 0;
    title.m_moduleTable = nullptr;
}

}  // namespace
