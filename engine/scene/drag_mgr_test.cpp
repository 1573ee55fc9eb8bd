#include "engine/scene/drag_mgr.h"

#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/scene/anim_list.h"
#include "engine/scene/scene_test_support.h"
#include "engine/scene/spot.h"
#include "engine/scene/static_picture.h"
#include "media/res/sprite.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "media/surface/surface_test_support.h"
#include "platform/core/rect.h"
#include "platform/core/winuser.h"
#include "platform/headless/headless_backend.h"

namespace {

constexpr int kWidth = 160;
constexpr int kHeight = 120;
constexpr int32_t kHome = 3100;
constexpr int32_t kTarget = 3101;
constexpr int32_t kPicture = 3030;  // 20 × 20
constexpr int32_t kOther = 3012;    // 4 × 4 of colour 12

using Pixels = std::vector<uint8_t>;

std::vector<LONG> V(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

Pixels PixelsOf(const CDibG& s) {
    Pixels p;
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) p.push_back(s.GetPixel(x, y));
    return p;
}

// The dragged picture: a pattern with transparent pixels, so that the scene shows through.
scenetest::Bytes DragPicture() {
    std::vector<scenetest::Bytes> rows;
    for (int y = 0; y < 20; ++y) {
        scenetest::Bytes row;
        for (int x = 0; x < 20; ++x) row.push_back((x + y) % 3 == 0 ? 0 : static_cast<uint8_t>(40 + (x * 7 + y) % 50));
        rows.push_back(row);
    }
    return scenetest::Picture(20, rows);
}

// The engine as the drag manager sees it: a display list, spots, a background surface that
// presentations copy into the frame before the display list is drawn (then the drag manager's
// overlay), a window of the frame's size.
class CTestDragHost : public IDragHost {
public:
    CAnimList& DisplayList() override { return list; }
    CSpotList& Spots() override { return spots; }
    CDibG* FrameSurface() override { return &frame; }
    CPalId* ScreenPalette() override { return nullptr; }
    POINT PictureOrigin() override { return origin; }
    HWND GameWindow() override { return window; }
    HWND MainWindow() override { return window; }
    POINT LastClickPoint() override { return click; }
    void Invalidate(const RECT* r) override { dirty->Add(r ? *r : RECT{0, 0, kWidth, kHeight}); }
    void PresentDirty() override {
        ++presents;
        for (const RECT& r : *dirty)
            frame.BlitRect(background, POINT{r.left, r.top}, POINT{r.left, r.top}, SIZE{r.right - r.left, r.bottom - r.top});
        list.DrawAll(frame, *dirty);
        if (drag && drag->IsDragging()) drag->RefreshOverlay(frame, *dirty);
        if (!composeOnly && window) {
            HDC dc = GetDC(window);
            for (const RECT& r : *dirty) frame.DrawRect(dc, r, r, SRCCOPY);
            ReleaseDC(window, dc);
        }
        dirty->RemoveAll();
    }
    void SetComposeOnly(bool on) override {
        composeOnly = on;
        composeOnlyChanges.push_back(on);
    }
    void RedrawScene() override {
        redrawsComposeOnly.push_back(composeOnly);
        PresentDirty();
    }
    void StampStatic(int32_t id, POINT at) override { statics.Add(background, at, id, 0, TRUE); }
    void RequestClose() override { ++closes; }
    bool ClosePending() override { return closes > 0; }
    bool PreTranslate(MSG&) override { return false; }

    CAnimList list;
    CSpotList spots;
    CDibG frame;
    CDibG background;
    CStaticList statics;
    POINT origin{0, 0};
    HWND window = nullptr;
    POINT click{};
    CDirtyRectList* dirty = nullptr;
    CDragMgr* drag = nullptr;
    int presents = 0;
    bool composeOnly = false;
    std::vector<bool> composeOnlyChanges;
    std::vector<bool> redrawsComposeOnly;
    int closes = 0;
};

// What reaches the window: presses that the drag must swallow, timers and keys that it must
// dispatch.
int g_presses = 0;
int g_timers = 0;
int g_keys = 0;
LRESULT CALLBACK TestWindowProc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_LBUTTONDOWN || m == WM_LBUTTONDBLCLK) ++g_presses;
    if (m == WM_TIMER) ++g_timers;
    if (m == WM_KEYDOWN) ++g_keys;
    return DefWindowProc(h, m, w, l);
}

class DragTest : public ::testing::Test {
protected:
    void SetUp() override {
        head = &plat::InstallHeadless();
        surftest::StartDibSystem(surftest::Mode::Plain);
        res.Add("SPR", 30, DragPicture());
        res.Open();
        scene.dirty.SetClientSize(kWidth, kHeight);
        scene.client = SIZE{kWidth, kHeight};
        host.dirty = &scene.dirty;
        host.frame.Create(kWidth, kHeight, nullptr);
        host.background.Create(kWidth, kHeight, nullptr);
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) host.background.SetPixel(x, y, static_cast<uint8_t>(100 + (x * 3 + y * 5) % 97));
        WNDCLASS wc{};
        wc.lpfnWndProc = TestWindowProc;
        wc.lpszClassName = "DragTestView";
        RegisterClass(&wc);
        host.window = CreateWindow("DragTestView", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr,
                                   nullptr, nullptr);
        ASSERT_NE(host.window, nullptr);
        // The colour the window shows for each index of the frame.
        CDibG pattern;
        pattern.Create(16, 16, nullptr);
        for (int i = 0; i < 256; ++i) pattern.SetPixel(i % 16, i / 16, static_cast<uint8_t>(i));
        HDC dc = GetDC(host.window);
        pattern.DrawRect(dc, RECT{0, 0, 16, 16}, RECT{0, 0, 16, 16}, SRCCOPY);
        for (int i = 0; i < 256; ++i) colours[static_cast<size_t>(i)] = GetPixel(dc, i % 16, i / 16);
        ReleaseDC(host.window, dc);
        g_presses = g_timers = g_keys = 0;
        drag = std::make_unique<CDragMgr>(host);
        host.drag = drag.get();
        t0 = head->NowMs();
    }
    void TearDown() override {
        drag.reset();
        host.list.RemoveAll();
        host.statics.RemoveAll();
        DestroyWindow(host.window);
        ShutdownDibSystem();
    }

    void AddSpot(int32_t id, RECT r) {
        auto spot = std::make_unique<CSpot>(id);
        spot->SetRect(r);
        host.spots.Append(std::move(spot));
    }
    // Composes the whole scene into the frame.
    void ComposeAll() {
        host.Invalidate(nullptr);
        host.PresentDirty();
    }
    // Whether the window shows the frame, pixel for pixel.
    bool WindowShowsTheFrame() {
        HDC dc = GetDC(host.window);
        int wrong = 0;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (GetPixel(dc, x, y) != colours[host.frame.GetPixel(x, y)]) ++wrong;
        ReleaseDC(host.window, dc);
        return wrong == 0;
    }
    // The scene as the display list and the background give it, without drawing in the frame.
    Pixels Reference() {
        CDibG r;
        r.Create(kWidth, kHeight, nullptr);
        r.BlitRect(host.background, POINT{0, 0}, POINT{0, 0}, SIZE{kWidth, kHeight});
        CDirtyRectList all(kWidth, kHeight);
        all.Add(RECT{0, 0, kWidth, kHeight});
        host.list.DrawAll(r, all);
        return PixelsOf(r);
    }
    void Release(uint64_t at, int x, int y) {
        plat::InputEvent ev;
        ev.kind = plat::InputKind::MouseUp;
        ev.x = x;
        ev.y = y;
        head->QueueInput(at, ev);
    }
    int16_t Drag(CCorAnim* sprite, POINT click, int32_t target = 0, int16_t snap = kNoSnapLimit,
                 DragCallback callback = nullptr) {
        host.click = click;
        return drag->BeginDrag(sprite, kHome, target, snap, callback);
    }

    plat::HeadlessBackend* head = nullptr;
    scenetest::CSceneResources res;
    scenetest::CFakeSceneHost scene;
    CTestDragHost host;
    std::unique_ptr<CDragMgr> drag;
    uint64_t t0 = 0;
    std::array<COLORREF, 256> colours{};
};

// ---- Drops -----------------------------------------------------------------------------------

// What a release does with the sprite: kept at its new place in the display list, stamped into
// the background, or deleted. The list is (before, sprite, after), or (sprite, a, b) when the
// sprite is first.
TEST_F(DragTest, DropOutcomeTable) {
    enum class Outcome { Kept, Stamped, Deleted };
    struct Case {
        const char* what;
        RECT home, target;
        POINT start;                  // the sprite's top-left
        POINT click;
        std::vector<POINT> moves;     // mouse moves, then the release at the last one
        int16_t snap;
        bool first;                   // the sprite first in the list
        Outcome outcome;
        POINT end;                    // the sprite's top-left when kept
        std::vector<int> order;       // ids % 1000 of the list, head first, when kept
        uint32_t kept;
    };
    const std::vector<Case> cases = {
        {"no target: moved within home", {20, 20, 140, 100}, {}, {40, 40}, {45, 45}, {{60, 50}, {75, 55}}, kNoSnapLimit,
         false, Outcome::Kept, {70, 50}, {12, 30, 13}, 1},
        {"no target: stopped at home's edge", {20, 20, 140, 100}, {}, {40, 40}, {45, 45}, {{150, 115}}, kNoSnapLimit,
         false, Outcome::Kept, {120, 80}, {12, 30, 13}, 1},
        {"first in the list: back at the tail", {20, 20, 140, 100}, {}, {40, 40}, {45, 45}, {{50, 45}}, kNoSnapLimit,
         true, Outcome::Kept, {45, 40}, {12, 13, 30}, 1},
        {"pressed outside home: stamped", {20, 20, 140, 100}, {}, {10, 40}, {12, 45}, {{40, 60}}, kNoSnapLimit,
         false, Outcome::Stamped, {10, 40}, {}, 1},
        {"target: dropped in the target", {20, 20, 80, 100}, {100, 20, 140, 100}, {40, 40}, {45, 45},
         {{80, 45}, {115, 45}}, kNoSnapLimit, false, Outcome::Deleted, {}, {}, 0},
        {"target: dropped on the bridge", {20, 20, 80, 100}, {100, 20, 140, 100}, {40, 40}, {45, 45}, {{75, 45}},
         kNoSnapLimit, false, Outcome::Deleted, {}, {}, 0},
        {"target: dropped back in home", {20, 20, 80, 100}, {100, 20, 140, 100}, {40, 40}, {45, 45}, {{90, 45}, {50, 60}},
         kNoSnapLimit, false, Outcome::Kept, {45, 55}, {12, 30, 13}, 1},
        {"hidden: released far from home", {20, 20, 140, 100}, {}, {40, 40}, {45, 45}, {{60, 50}, {155, 118}}, 5,
         false, Outcome::Deleted, {}, {}, 0},
        {"snap limit, shown: kept", {20, 20, 140, 100}, {}, {40, 40}, {45, 45}, {{60, 50}}, 5, false, Outcome::Kept,
         {55, 45}, {12, 30, 13}, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host.spots.RemoveAll();
        host.list.RemoveAll();
        host.statics.RemoveAll();
        AddSpot(kHome, c.home);
        if (!IsRectEmpty(&c.target)) AddSpot(kTarget, c.target);
        CCorAnim* sprite = nullptr;
        if (c.first) sprite = host.list.Create(kPicture, c.start);
        host.list.Create(kOther, POINT{2, 2});
        if (!c.first) sprite = host.list.Create(kPicture, c.start);
        host.list.Create(3013, POINT{150, 2});
        ComposeAll();
        const uint64_t t = head->NowMs();
        for (size_t i = 0; i < c.moves.size(); ++i) head->MouseMove(t + 10 * (i + 1), c.moves[i].x, c.moves[i].y);
        Release(t + 10 * (c.moves.size() + 1), c.moves.back().x, c.moves.back().y);

        EXPECT_EQ(Drag(sprite, c.click, IsRectEmpty(&c.target) ? 0 : kTarget, c.snap), 0);
        EXPECT_EQ(drag->LastDropKept(), c.kept);
        EXPECT_FALSE(drag->IsDragging());
        EXPECT_FALSE(host.composeOnly);
        EXPECT_EQ(GetCapture(), nullptr);
        switch (c.outcome) {
        case Outcome::Kept: {
            ASSERT_TRUE(host.list.Contains(sprite));
            EXPECT_EQ(sprite->GetPosition().x, c.end.x);
            EXPECT_EQ(sprite->GetPosition().y, c.end.y);
            std::vector<int> order;
            for (CCorAnim* a : host.list.Objects()) order.push_back(a->GetPictureId() % 1000);
            EXPECT_EQ(order, c.order);
            EXPECT_EQ(host.statics.GetCount(), 0);
            break;
        }
        case Outcome::Stamped: {
            EXPECT_EQ(host.list.GetCount(), 2u);
            ASSERT_EQ(host.statics.GetCount(), 1);
            const RECT b = host.statics.Get(host.statics.Newest())->GetBounds();
            EXPECT_EQ(V(b), V(RECT{c.end.x, c.end.y, c.end.x + 20, c.end.y + 20}));
            break;
        }
        case Outcome::Deleted:
            EXPECT_EQ(host.list.GetCount(), 2u);
            EXPECT_EQ(host.statics.GetCount(), 0);
            break;
        }
        // The whole window was presented again after the drop.
        EXPECT_EQ(PixelsOf(host.frame), Reference());
    }
}

// A stamped picture lands where it was dropped, also with a hot spot.
TEST_F(DragTest, AStampLiesWhereThePictureWas) {
    AddSpot(kHome, RECT{20, 20, 140, 100});
    CCorAnim* sprite = host.list.Create(kPicture, POINT{13, 44});
    sprite->GetPicture()->SetHotspot(3, 4);  // its top-left at (10, 40): pressed outside home
    ComposeAll();
    const Pixels before = PixelsOf(host.frame);
    Release(t0 + 10, 12, 45);
    Drag(sprite, POINT{12, 45});
    ASSERT_EQ(host.statics.GetCount(), 1);
    EXPECT_EQ(V(host.statics.Get(host.statics.Newest())->GetBounds()), V(RECT{10, 40, 30, 60}));
    EXPECT_EQ(PixelsOf(host.frame), before) << "the stamp shows exactly what the sprite showed";
}

// ---- Refusals ----------------------------------------------------------------------------------

// Without its home spot (or with a sprite the list does not hold, or one without a picture)
// nothing happens: no capture, no presentation, the sprite where and as it was.
TEST_F(DragTest, AMissingHomeSpotRefusesTheDrag) {
    AddSpot(kTarget, RECT{0, 0, 100, 100});
    CCorAnim* a = host.list.Create(kOther, POINT{2, 2});
    CCorAnim* sprite = host.list.Create(kPicture, POINT{40, 40});
    CCorAnim* b = host.list.Create(3013, POINT{150, 2});
    CCorAnim* blank = host.list.Create(2, POINT{10, 10});
    ComposeAll();
    const Pixels frame = PixelsOf(host.frame);
    const int presents = host.presents;
    EXPECT_EQ(Drag(sprite, POINT{45, 45}, kTarget), 0) << "home 3100 does not exist";
    AddSpot(kHome, RECT{0, 0, 100, 100});
    EXPECT_EQ(Drag(nullptr, POINT{45, 45}), 0);
    EXPECT_EQ(Drag(blank, POINT{10, 10}), 0) << "no picture";
    CCorAnim* loose = new CCorAnim;  // in no list
    loose->Init(POINT{40, 40}, kPicture);
    EXPECT_EQ(Drag(loose, POINT{45, 45}), 0);
    delete loose;

    EXPECT_EQ(host.list.Objects(), (std::vector<CCorAnim*>{a, sprite, b, blank}));
    EXPECT_EQ(sprite->GetPosition().x, 40);
    EXPECT_EQ(sprite->GetPosition().y, 40);
    EXPECT_EQ(host.presents, presents);
    EXPECT_TRUE(host.composeOnlyChanges.empty());
    EXPECT_EQ(PixelsOf(host.frame), frame);
    EXPECT_FALSE(drag->IsDragging());
    RECT r;
    EXPECT_FALSE(drag->GetDragRect(r));
    EXPECT_EQ(V(r), V(RECT{})) << "no drag yet";
}

// ---- Snapping ------------------------------------------------------------------------------------

// Farther than the snap distance the picture vanishes and the frame is the scene again, pixel
// for pixel; coming back shows it at the rectangle that followed the mouse meanwhile.
TEST_F(DragTest, SnappingHidesAndShowsThePicture) {
    AddSpot(kHome, RECT{20, 20, 140, 100});
    host.list.Create(kOther, POINT{60, 50});  // under the picture's way
    CCorAnim* sprite = host.list.Create(kPicture, POINT{40, 40});
    ComposeAll();
    struct Seen {
        bool hidden;
        RECT rect;
        Pixels frame;
        Pixels scene;
        bool shown;
    };
    std::vector<Seen> seen;
    auto look = [&] {
        RECT r;
        drag->GetDragRect(r);
        seen.push_back(Seen{drag->IsHidden(), r, PixelsOf(host.frame), Reference(), WindowShowsTheFrame()});
    };
    head->MouseMove(t0 + 10, 60, 50);
    head->At(t0 + 15, look);
    head->MouseMove(t0 + 20, 158, 50);  // 17 right of home's edge: hidden
    head->At(t0 + 25, look);
    head->MouseMove(t0 + 30, 120, 60);  // near again
    head->At(t0 + 35, look);
    Release(t0 + 40, 120, 60);
    Drag(sprite, POINT{45, 45}, 0, 10);
    ASSERT_EQ(seen.size(), 3u);

    // The picture over the scene at a rectangle, as the frame must show it.
    auto withPicture = [&](const Pixels& scene, POINT at) {
        Pixels p = scene;
        const CSprite& pic = *sprite->GetPicture();
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 20; ++x) {
                const uint8_t c = pic.Bits()[y * pic.Stride() + x];
                if (c) p[static_cast<size_t>((at.y + y) * kWidth + at.x + x)] = c;
            }
        return p;
    };
    EXPECT_FALSE(seen[0].hidden);
    EXPECT_EQ(V(seen[0].rect), V(RECT{55, 45, 75, 65}));
    EXPECT_EQ(seen[0].frame, withPicture(seen[0].scene, POINT{55, 45}));
    EXPECT_TRUE(seen[1].hidden);
    EXPECT_EQ(V(seen[1].rect), V(RECT{120, 45, 140, 65})) << "the rectangle followed the mouse to home's edge";
    EXPECT_EQ(seen[1].frame, seen[1].scene) << "hidden: the scene, pixel for pixel";
    EXPECT_FALSE(seen[2].hidden);
    EXPECT_EQ(V(seen[2].rect), V(RECT{115, 55, 135, 75}));
    EXPECT_EQ(seen[2].frame, withPicture(seen[2].scene, POINT{115, 55}));
    EXPECT_EQ(sprite->GetPosition().x, 115);
    EXPECT_EQ(sprite->GetPosition().y, 55);
    // Each change went to the window at once, the presentations meanwhile composing only.
    for (const Seen& s : seen) EXPECT_TRUE(s.shown);
}

// ---- Ending a drag by a message -------------------------------------------------------------

// A close, destroy, end-session or quit message ends the drag at once with a cancelling drop:
// the sprite back at its start in its old place, every flag cleared, the capture released, the
// frame as it was under the picture; the close is left pending for the program, a quit is
// posted again for its loop.
TEST_F(DragTest, AClosingMessageCancelsTheDrag) {
    struct Case {
        const char* what;
        UINT message;
        WPARAM wParam;
        bool first;
        int closes;
        bool quitAgain;
    };
    const std::vector<Case> cases = {
        {"close", WM_CLOSE, 0, false, 1, false},
        {"close, the sprite first in the list", WM_CLOSE, 0, true, 1, false},
        {"destroy", WM_DESTROY, 0, false, 1, false},
        {"end of session", WM_ENDSESSION, 1, false, 1, false},
        {"a session that does not end", WM_ENDSESSION, 0, false, 0, false},
        {"quit", WM_QUIT, 7, false, 0, true},
    };
    AddSpot(kHome, RECT{20, 20, 140, 100});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host.list.RemoveAll();
        host.closes = 0;
        host.composeOnlyChanges.clear();
        CCorAnim* sprite = c.first ? host.list.Create(kPicture, POINT{40, 40}) : nullptr;
        CCorAnim* a = host.list.Create(kOther, POINT{2, 2});
        if (!c.first) sprite = host.list.Create(kPicture, POINT{40, 40});
        CCorAnim* b = host.list.Create(3013, POINT{150, 2});
        ComposeAll();
        const uint64_t t = head->NowMs();
        bool capturedDuring = false;
        head->MouseMove(t + 10, 70, 60);
        head->At(t + 15, [&] {
            capturedDuring = GetCapture() == host.window;
            if (c.message == WM_QUIT)
                PostQuitMessage(static_cast<int>(c.wParam));
            else
                PostMessage(host.window, c.message, c.wParam, 0);
        });
        Release(t + 500, 70, 60);  // never reached when the message ends the drag

        EXPECT_EQ(Drag(sprite, POINT{45, 45}), 0);
        EXPECT_TRUE(capturedDuring);
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_FALSE(drag->IsDragging());
        EXPECT_FALSE(drag->InCallback());
        EXPECT_FALSE(host.composeOnly);
        EXPECT_EQ(host.composeOnlyChanges, (std::vector<bool>{true, false}));
        EXPECT_EQ(host.closes, c.closes);
        EXPECT_EQ(sprite->GetPosition().x, 40);
        EXPECT_EQ(sprite->GetPosition().y, 40);
        EXPECT_EQ(host.list.Objects(), c.first ? (std::vector<CCorAnim*>{sprite, a, b}) : (std::vector<CCorAnim*>{a, sprite, b}));
        // Under the picture the frame holds the scene without it again; presenting what the
        // cancel left dirty shows the sprite back at its start.
        host.list.Remove(sprite);
        EXPECT_EQ(PixelsOf(host.frame), Reference()) << "the picture taken off the frame";
        MSG msg;
        const bool quit = PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        EXPECT_EQ(quit, c.quitAgain);
        if (quit) {
            EXPECT_EQ(msg.wParam, 7u);
        }
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
}

// Presses and double clicks during a drag never reach the window.
TEST_F(DragTest, PressesDuringADragAreSwallowed) {
    AddSpot(kHome, RECT{20, 20, 140, 100});
    CCorAnim* sprite = host.list.Create(kPicture, POINT{40, 40});
    ComposeAll();
    head->MouseMove(t0 + 5, 60, 60);
    plat::InputEvent press;
    press.kind = plat::InputKind::MouseDown;
    press.x = press.y = 60;
    head->QueueInput(t0 + 10, press);
    head->At(t0 + 12, [&] { PostMessage(host.window, WM_LBUTTONDBLCLK, 0, MAKELPARAM(60, 60)); });
    head->MouseMove(t0 + 15, 70, 60);
    Release(t0 + 20, 70, 60);
    EXPECT_EQ(Drag(sprite, POINT{45, 45}), 0);
    EXPECT_EQ(g_presses, 0);
    EXPECT_EQ(sprite->GetPosition().x, 65) << "the drag went on to the release";
}

// Everything else goes on during a drag: the window's timer ticks and keys are dispatched, and
// between them the loop waits (a second of virtual time with a 50 ms timer gives about 20
// ticks, not a flood).
TEST_F(DragTest, TimersAndKeysAreDispatchedDuringADrag) {
    AddSpot(kHome, RECT{20, 20, 140, 100});
    CCorAnim* sprite = host.list.Create(kPicture, POINT{40, 40});
    ComposeAll();
    SetTimer(host.window, 1, 50, nullptr);
    head->Key(t0 + 300, 'A');
    head->MouseMove(t0 + 500, 70, 60);
    Release(t0 + 1000, 70, 60);
    Drag(sprite, POINT{45, 45});
    KillTimer(host.window, 1);
    EXPECT_GE(g_timers, 15);
    EXPECT_LE(g_timers, 21);
    EXPECT_EQ(g_keys, 1);
    EXPECT_EQ(sprite->GetPosition().x, 65);
}

// ---- The callback and presentations during a drag -------------------------------------------

struct CallbackLog {
    std::vector<POINT> points;
    std::vector<bool> inCallback;
    std::function<int16_t()> body;
};
CallbackLog* g_log = nullptr;
CDragMgr* g_drag = nullptr;
int16_t LogMove(int16_t x, int16_t y) {
    g_log->points.push_back(POINT{x, y});
    g_log->inCallback.push_back(g_drag->InCallback());
    return g_log->body ? g_log->body() : 0;
}

// The callback gets the mouse in picture coordinates while the in-callback flag is set; when it
// changed the scene, the scene is redrawn with the compose-only flag cleared, and the picture
// stays on top of the new scene, which it leaves untouched when it moves on.
TEST_F(DragTest, ACallbackThatChangesTheSceneUnderThePicture) {
    host.origin = POINT{10, 5};
    AddSpot(kHome, RECT{20, 20, 140, 100});
    CCorAnim* under = host.list.Create(kOther, POINT{100, 100});
    CCorAnim* sprite = host.list.Create(kPicture, POINT{40, 40});
    ComposeAll();
    CallbackLog log;
    g_log = &log;
    g_drag = drag.get();
    int calls = 0;
    Pixels sceneAfterChange;
    log.body = [&]() -> int16_t {
        if (++calls != 1) return 0;
        // Something moves under the picture's new place (55..75, 45..65).
        under->Invalidate();
        under->SetPosition(POINT{60, 50});
        under->Invalidate();
        return 1;
    };
    head->MouseMove(t0 + 10, 60, 50);
    head->At(t0 + 15, [&] { sceneAfterChange = Reference(); });
    head->MouseMove(t0 + 20, 110, 85);  // the picture leaves the changed place
    Pixels frameAfterLeaving;
    head->At(t0 + 25, [&] { frameAfterLeaving = PixelsOf(host.frame); });
    Release(t0 + 30, 110, 85);
    Drag(sprite, POINT{45, 45}, 0, kNoSnapLimit, LogMove);
    g_log = nullptr;

    // The first call is the initial move to the press point.
    ASSERT_EQ(log.points.size(), 3u);
    EXPECT_EQ(log.points[0].x, 35);
    EXPECT_EQ(log.points[0].y, 40);
    EXPECT_EQ(log.points[2].x, 100);
    EXPECT_EQ(log.points[2].y, 80);
    EXPECT_EQ(log.inCallback, (std::vector<bool>{true, true, true}));
    EXPECT_FALSE(drag->InCallback());
    // One redraw, for the one call that changed the scene, shown (compose-only off).
    EXPECT_EQ(host.redrawsComposeOnly, (std::vector<bool>{false}));
    EXPECT_EQ(host.composeOnlyChanges, (std::vector<bool>{true, false, true, false}));
    // After leaving, the frame outside the picture's rectangle (105..125, 80..100) is the
    // changed scene: no trace of the picture at 55..75.
    Pixels expected = sceneAfterChange;
    ASSERT_EQ(frameAfterLeaving.size(), expected.size());
    for (int y = 80; y < 100; ++y)
        for (int x = 105; x < 125; ++x) {
            const size_t i = static_cast<size_t>(y * kWidth + x);
            expected[i] = frameAfterLeaving[i];
        }
    EXPECT_EQ(frameAfterLeaving, expected);
}

// A presentation while the picture lies over two dirty rectangles at opposite corners takes
// only their pixels into the work surface: what lies between them is the picture itself.
TEST_F(DragTest, RefreshOverlayKeepsThePictureOutOfTheWorkSurface) {
    AddSpot(kHome, RECT{20, 20, 140, 100});
    CCorAnim* sprite = host.list.Create(kPicture, POINT{40, 40});
    ComposeAll();
    host.click = POINT{45, 45};
    ASSERT_TRUE(drag->Start(sprite, kHome, 0, kNoSnapLimit, nullptr));
    drag->Move(POINT{45, 45});
    // The scene changes at two corners of the picture's rectangle (40..60, 40..60).
    for (const RECT& r : {RECT{38, 38, 43, 43}, RECT{57, 57, 62, 62}}) {
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) host.background.SetPixel(x, y, 7);
        host.Invalidate(&r);
    }
    host.PresentDirty();
    drag->Move(POINT{100, 80});  // away: the old rectangle gets the work surface back
    const Pixels scene = Reference();
    Pixels frame = PixelsOf(host.frame);
    for (int y = 75; y < 95; ++y)
        for (int x = 95; x < 115; ++x) frame[static_cast<size_t>(y * kWidth + x)] = scene[static_cast<size_t>(y * kWidth + x)];
    EXPECT_EQ(frame, scene);
    drag->Cancel();
    EXPECT_EQ(PixelsOf(host.frame), scene) << "the cancel takes the picture off";
}

// ---- Edges ---------------------------------------------------------------------------------------

// Pictures reaching over every edge of the frame: the copies between the frame and the work
// surface cut at all four, and after the drag the frame is the scene again.
TEST_F(DragTest, PicturesOverTheFramesEdges) {
    struct Case {
        const char* what;
        POINT start;
        POINT click;
        std::vector<POINT> moves;
    };
    const std::vector<Case> cases = {
        {"right and bottom", {150, 110}, {152, 112}, {{158, 118}, {140, 100}, {159, 119}}},
        {"left and top", {-10, -10}, {2, 2}, {{0, 0}, {15, 15}, {1, 1}}},
        {"right and top", {150, -15}, {152, 1}, {{159, 0}, {140, 10}, {159, 0}}},
        {"left and bottom", {-15, 110}, {1, 112}, {{0, 119}, {10, 100}, {0, 119}}},
    };
    AddSpot(kHome, RECT{-30, -30, 190, 150});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        host.list.RemoveAll();
        CCorAnim* sprite = host.list.Create(kPicture, c.start);
        ComposeAll();
        const uint64_t t = head->NowMs();
        for (size_t i = 0; i < c.moves.size(); ++i) head->MouseMove(t + 10 * (i + 1), c.moves[i].x, c.moves[i].y);
        head->At(t + 10 * (c.moves.size() + 1), [&] { PostMessage(host.window, WM_CLOSE, 0, 0); });
        host.closes = 0;
        Drag(sprite, c.click);
        host.list.Remove(sprite);
        EXPECT_EQ(PixelsOf(host.frame), Reference());
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
}

}  // namespace
