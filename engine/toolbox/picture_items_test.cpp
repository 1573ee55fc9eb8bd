// Picture items by module-relative id: measuring and locking, free ids from 999 down and their
// exhaustion, blank pictures without memory, composing, stamps over the background's edges,
// purges of pictures still shown, the screen mode, queued clicks, and the media layer's picture
// seam answered through the engine's resource host.
#include "engine/toolbox/picture_items.h"

#include "engine/toolbox/aliases.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/core/engine_hosts.h"
#include "engine/core/zelbo_title.h"
#include "engine/scene/cor_anim.h"
#include "media/res/chunk_pool.h"
#include "media/res/res_items_test_support.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/afxwin/afxwin.h"
#include "platform/core/rect.h"
#include "platform/core/winuser.h"
#include "platform/headless/headless_backend.h"

namespace {

using itemtest::Bytes;

// width × height pixels, every one `colour`.
Bytes Solid(int width, int height, uint8_t colour) {
    return itemtest::Spr(width, std::vector<Bytes>(static_cast<size_t>(height), Bytes(static_cast<size_t>(width), colour)));
}

// A title of its own (theEngine while it lives) in module 4, whose file holds pictures 4000
// (5 × 3), 4010 (2 × 2, a transparent corner) and 4995 (1 × 1); the resource host is the
// test's own item cache.
class PictureItemsTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::InstallHeadless();
        title.m_currentModule = 4;
        res.module = 4;
        media::CResWriter writer;
        writer.Add("SPR", 4000, Solid(5, 3, 7));
        writer.Add("SPR", 4010, itemtest::Spr(2, {{0, 8}, {8, 8}}));
        writer.Add("SPR", 4995, Solid(1, 1, 3));
        ASSERT_TRUE(res.OpenModule(4, writer));
    }
    void TearDown() override {
        title.m_statics.RemoveAll();
        title.m_anims.RemoveAll();
    }
    // A background surface of w × h, filled with colour 9, and the engine's dirty list.
    void MakeBackground(int w, int h) {
        InitDibSystem(nullptr, TRUE, 0);
        title.m_backgroundSurface = std::make_unique<CDibG>();
        title.m_backgroundSurface->Create(w, h, nullptr);
        title.m_backgroundSurface->Fill(9);
        title.m_dirtyRects = std::make_unique<CDirtyRectList>(w, h);
    }
    CSprite* Cached(int32_t id) {
        CResItem* item = res.cache.Find(id);
        return item ? static_cast<CSprite*>(item) : nullptr;
    }

    CZelboTitle title;
    itemtest::CTestHost res;
};

TEST_F(PictureItemsTest, MeasuresPicturesAndGivesNeutralAnswersForMissingOnes) {
    const struct {
        int16_t id;
        int16_t preload, width, height, halfWidth, halfHeight;
        uint16_t attr;
        bool pixels;
    } cases[] = {
        {0, 1, 5, 3, 2, 1, 8, true},
        {10, 1, 2, 2, 1, 1, 4, true},
        {11, 0, 0, 0, 0, 0, 0xFFFF, false},  // not in the file
        {2, 0, 0, 0, 0, 0, 0xFFFF, false},   // "no picture"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.id);
        EXPECT_EQ(PreloadPicture(c.id), c.preload);
        int16_t w = -1, h = -1;
        GetPictureSize(c.id, w, h);
        EXPECT_EQ(w, c.width);
        EXPECT_EQ(h, c.height);
        EXPECT_EQ(GetPictureHalfWidth(c.id), c.halfWidth);
        EXPECT_EQ(GetPictureHalfHeight(c.id), c.halfHeight);
        EXPECT_EQ(GetPictureAttr(c.id), c.attr);
        BYTE* bits = LockPictureData(c.id);
        EXPECT_EQ(bits != nullptr, c.pixels);
        UnlockPictureData(bits);
    }
}

// New pictures take the highest free ids going down from 999; an id the file or the cache
// holds a picture of is skipped; the blank one is all 0 and stays in the cache.
TEST_F(PictureItemsTest, NewPicturesTakeTheHighestFreeIds) {
    EXPECT_EQ(CreatePictureItem(), 999);
    EXPECT_EQ(CreatePictureItem(), 998);
    ASSERT_EQ(PreloadPicture(990), 0);  // asked for and not found: cached unloaded, still free
    res.cache.Insert(4997, new CSprite(4997));
    Cached(4997)->AllocBits(1, 1);  // a picture made in memory under 997
    EXPECT_EQ(NewBlankPicture(6, 2), 996);
    int16_t w = 0, h = 0;
    GetPictureSize(996, w, h);
    EXPECT_EQ(w, 6);
    EXPECT_EQ(h, 2);
    EXPECT_EQ(GetPictureAttr(996), 8);
    BYTE* bits = LockPictureData(996);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(std::vector<BYTE>(bits, bits + 16), std::vector<BYTE>(16, 0));
    UnlockPictureData(bits);
    EXPECT_EQ(Cached(4996)->m_purgeable, 0u);
    // An empty item has no pixels but exists, 0 × 0.
    EXPECT_EQ(PreloadPicture(999), 1);
    EXPECT_EQ(LockPictureData(999), nullptr);

    // 995 is in the file; down to 990, where the unloaded item is reused rather than doubled.
    CResItem* unloaded = res.cache.Find(4990);
    ASSERT_NE(unloaded, nullptr);
    for (int16_t expected : {994, 993, 992, 991, 990}) EXPECT_EQ(CreatePictureItem(), expected);
    EXPECT_EQ(res.cache.Find(4990), unloaded);
    res.cache.SetDestroying(true);
    res.cache.RemoveRange(4990, 4990);
    res.cache.SetDestroying(false);
    EXPECT_EQ(res.cache.Find(4990), nullptr) << "one item under 990, and it is gone";
}

// When every id from 999 down to 0 is taken, nothing is made and -1 (0xFFFF) comes back.
TEST_F(PictureItemsTest, ExhaustedIdsMakeNothing) {
    int made = 0;
    while (CreatePictureItem() != -1) ++made;
    // 999 to 3 but 995 and 10, which the file holds as it holds 0; 1 and 2 are never a
    // module's own.
    EXPECT_EQ(made, 995);
    const size_t before = res.cache.GetCount();
    EXPECT_EQ(CreatePictureItem(), -1);
    EXPECT_EQ(static_cast<uint16_t>(NewBlankPicture(4, 4)), 0xFFFF);
    EXPECT_EQ(res.cache.GetCount(), before);
    EXPECT_EQ(res.cache.Find(3999), nullptr) << "nothing made below the module's block";
    EXPECT_EQ(res.cache.Find(4002), nullptr);
}

// A blank picture whose pixels cannot be had, or of no size, is not made.
TEST_F(PictureItemsTest, BlankPicturesWithoutMemoryAreNotMade) {
    struct NoMemory : CChunkPool::IMemory {
        void* Allocate(size_t) override { return nullptr; }
        void Release(void*) override {}
    } none;
    CChunkPool::IMemory* saved = TheChunkPool().SetMemory(&none);
    EXPECT_EQ(NewBlankPicture(8, 8), -1);
    TheChunkPool().SetMemory(saved);
    for (const auto& size : {std::pair<int16_t, int16_t>{0, 4}, {4, -1}, {9000, 1}}) EXPECT_EQ(NewBlankPicture(size.first, size.second), -1);
    EXPECT_EQ(res.cache.GetCount(), 0u);
    EXPECT_EQ(NewBlankPicture(8, 8), 999) << "the failed attempts took no id";
}

// Composing: a target that was never made stays unmade; an empty item grows to hold what is
// copied, colour 0 of the source skipped; what a picture received survives a purge of the pool.
TEST_F(PictureItemsTest, CopyPictureIntoComposesAndKeepsTheResult) {
    CopyPictureInto(500, 10, 0, 0);
    EXPECT_EQ(res.cache.Find(4500), nullptr);

    const int16_t made = CreatePictureItem();
    CopyPictureInto(made, 0, 0, 0);
    CopyPictureInto(made, 10, 4, 2);  // overlaps the last column and row, then grows
    int16_t w = 0, h = 0;
    GetPictureSize(made, w, h);
    EXPECT_EQ(w, 6);
    EXPECT_EQ(h, 4);
    BYTE* bits = LockPictureData(made);
    ASSERT_NE(bits, nullptr);
    const int stride = GetPictureAttr(made);
    EXPECT_EQ(bits[2 * stride + 4], 7) << "under the source's colour 0";
    EXPECT_EQ(bits[2 * stride + 5], 8);
    EXPECT_EQ(bits[3 * stride + 4], 8);
    UnlockPictureData(bits);

    // A file picture composed in place keeps the composition through a purge of the pool.
    CopyPictureInto(0, 10, 0, 0);
    TheChunkPool().Purge(static_cast<int>(TheChunkPool().GetCount()) + 4);
    bits = LockPictureData(0);
    ASSERT_NE(bits, nullptr);
    EXPECT_EQ(bits[1], 8);
    EXPECT_EQ(bits[0], 7);
    UnlockPictureData(bits);
}

// A locked picture keeps its pixels where they are through pool purges and a purge of its id;
// after the unlock the pool may free them again.
TEST_F(PictureItemsTest, LockedPixelsStayUntilUnlocked) {
    BYTE* bits = LockPictureData(0);
    ASSERT_NE(bits, nullptr);
    BYTE* again = LockPictureData(0);
    EXPECT_EQ(again, bits);
    CSprite* picture = Cached(4000);
    TheChunkPool().Purge(static_cast<int>(TheChunkPool().GetCount()) + 4);
    EXPECT_EQ(picture->Bits(), bits);
    UnlockPictureData(again);
    EXPECT_FALSE(TheChunkPool().IsListed(picture));
    UnlockPictureData(bits);
    EXPECT_TRUE(TheChunkPool().IsListed(picture));

    // The other names: the unlock by picture id gives back one lock as the unlock by pixels
    // does; the blank picture and the bytes per row.
    bits = LockPictureData(0);
    LockPictureData(0);
    EXPECT_EQ(LockedPictureData(0), bits);
    UnlockPictureData(int16_t{0});
    EXPECT_FALSE(TheChunkPool().IsListed(picture)) << "one lock is left";
    UnlockPictureData(int16_t{0});
    EXPECT_TRUE(TheChunkPool().IsListed(picture));
    EXPECT_EQ(LockedPictureData(0), nullptr);
    UnlockPictureData(int16_t{0});  // not locked: nothing
    EXPECT_EQ(GetPictureStride(0), picture->Stride());
    const int16_t blank = CreateBlankPicture(6, 5);
    int16_t w = 0, h = 0;
    GetPictureSize(blank, w, h);
    EXPECT_EQ(w, 6);
    EXPECT_EQ(h, 5);

    bits = LockPictureData(0);
    PurgeResource(0);
    EXPECT_EQ(res.cache.Find(4000), nullptr);
    EXPECT_EQ(bits[0], 7) << "the locked picture lives on";
    UnlockPictureData(bits);
    UnlockPictureData(nullptr);
    UnlockPictureData(bits);  // no longer locked: nothing
}

// A purge drops a picture from the cache; a static, a button and a sprite that still show it
// keep a whole picture and draw it (under AddressSanitizer a freed one would be read).
TEST_F(PictureItemsTest, PurgedPicturesStillShownStayValid) {
    MakeBackground(16, 16);
    title.m_statics.Add(*title.m_backgroundSurface, POINT{0, 0}, 4000, 0, FALSE);
    CTwoStateButton button;
    button.Create(POINT{0, 4}, 0, 4000, 4000, TRUE);
    CCorAnim* sprite = title.m_anims.Create(4000, POINT{8, 8});
    ASSERT_NE(sprite->GetPicture(), nullptr);

    PurgeResource(0);
    EXPECT_EQ(res.cache.Find(4000), nullptr);
    CDibG& surface = *title.m_backgroundSurface;
    surface.Fill(9);
    title.m_statics.RedrawAll(surface, FALSE);
    CDirtyRectList everything;
    everything.Add(RECT{0, 0, 16, 16});
    button.Draw(surface, everything);
    title.m_anims.DrawAll(surface, everything);
    EXPECT_EQ(surface.GetPixel(4, 2), 7);
    EXPECT_EQ(surface.GetPixel(4, 6), 7);
    EXPECT_EQ(surface.GetPixel(12, 10), 7);
    EXPECT_EQ(surface.GetPixel(13, 10), 9);

    // Unused, a purged picture is gone; asking again loads it from the file.
    PurgeResource(10);
    EXPECT_EQ(res.cache.Find(4010), nullptr);
    EXPECT_EQ(PreloadPicture(10), 1);

    title.m_anims.RemoveAll();
    title.m_statics.RemoveAll();
    title.m_backgroundSurface.reset();
    ShutdownDibSystem();
}

// Stamps go into the background at (x, y) + origin - hot spot, clipped at every edge, and mark
// their rectangle for redrawing.
TEST_F(PictureItemsTest, StampsAreClippedToTheBackground) {
    MakeBackground(8, 6);
    title.m_originX = 1;
    title.m_originY = 1;
    res.cache.Insert(4500, new CSprite(4500));
    Cached(4500)->AllocBits(5, 4);
    Cached(4500)->SetHotspot(1, 1);
    BYTE* bits = LockPictureData(500);
    std::fill(bits, bits + 4 * GetPictureAttr(500), BYTE{5});
    UnlockPictureData(bits);
    CDibG& surface = *title.m_backgroundSurface;

    const struct {
        const char* name;
        int16_t x, y;
        RECT dirty;
        int inside;  // pixels of colour 5 expected
    } cases[] = {
        {"inside", 2, 1, {2, 1, 7, 5}, 20},
        {"over the right and bottom edges", 6, 4, {6, 4, 8, 6}, 4},
        {"over the left and top edges", -2, -1, {0, 0, 3, 3}, 9},
        {"outside", 20, 20, {}, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        surface.Fill(9);
        title.m_dirtyRects->RemoveAll();
        StampPicture(500, c.x, c.y);
        int coloured = 0;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 8; ++x) coloured += surface.GetPixel(x, y) == 5 ? 1 : 0;
        EXPECT_EQ(coloured, c.inside);
        ASSERT_EQ(title.m_dirtyRects->GetCount(), c.inside ? 1u : 0u);
        if (c.inside) {
            EXPECT_TRUE(EqualRect(&*title.m_dirtyRects->begin(), &c.dirty));
        }
    }
    title.m_backgroundSurface.reset();
    ShutdownDibSystem();
}

// Setting the background paints the new picture over the whole background and every static on
// it again.
TEST_F(PictureItemsTest, SetBackgroundPictureRepaintsTheStatics) {
    MakeBackground(8, 8);
    title.m_screenWidth = 8;
    title.m_screenHeight = 8;
    res.cache.Insert(4600, new CSprite(4600));
    Cached(4600)->AllocBits(8, 8);
    BYTE* bits = LockPictureData(600);
    std::fill(bits, bits + 64, BYTE{4});
    UnlockPictureData(bits);
    title.m_backgroundStatic.Init(POINT{0, 0}, 4000, 0);
    title.m_statics.Add(*title.m_backgroundSurface, POINT{6, 6}, 4010, 0, TRUE);
    title.m_dirtyRects->RemoveAll();

    SetBackgroundPicture(600);
    EXPECT_EQ(title.m_backgroundId, 4600);
    CDibG& surface = *title.m_backgroundSurface;
    EXPECT_EQ(surface.GetPixel(0, 0), 4);
    EXPECT_EQ(surface.GetPixel(7, 0), 4);
    EXPECT_EQ(surface.GetPixel(6, 6), 4) << "the static's colour 0";
    EXPECT_EQ(surface.GetPixel(7, 6), 8);
    EXPECT_EQ(surface.GetPixel(6, 7), 8);
    EXPECT_FALSE(title.m_dirtyRects->IsEmpty());
    title.m_backgroundStatic.ChangePicture(4002);
    title.m_backgroundSurface.reset();
    ShutdownDibSystem();
}

class ScreenModeTitle : public CZelboTitle {
public:
    void GetScreenSize(int32_t& width, int32_t& height) override {
        width = w;
        height = h;
    }
    int32_t w = 640, h = 480;
};

TEST(PictureItemsEngineTest, ScreenModeByScreenSizeAndOrigin) {
    ScreenModeTitle title;
    title.m_originX = 64;
    title.m_originY = 69;
    const struct {
        int32_t w, h;
        int16_t mode;
    } cases[] = {{512, 342, 0}, {512, 384, 1}, {640, 400, 2}, {640, 480, 3}, {800, 600, -1}, {640, 342, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.w * 1000 + c.h);
        title.w = c.w;
        title.h = c.h;
        CCorRect screen;
        EXPECT_EQ(GetScreenMode(&screen), c.mode);
        EXPECT_EQ(screen, (CCorRect{-64, -69, static_cast<int16_t>(c.w - 64), static_cast<int16_t>(c.h - 69)}));
        EXPECT_EQ(GetScreenMode(nullptr), c.mode);
    }
}

TEST(PictureItemsEngineTest, SavedSettingsHotKeysAndClickLimit) {
    CZelboTitle title;
    int16_t size = 0;
    EXPECT_NE(GetSavedSettingsBlock(size), nullptr);
    EXPECT_EQ(size, 28);
    EnableAdultHotKey(-1);
    EnableQuitHotKey(0);
    EXPECT_EQ(title.m_ctrlAltAEnabled, -1) << "sign-extended";
    EXPECT_EQ(title.m_ctrlQEnabled, 0);
    CCorRect limit;
    SetRect16(limit, 10, 20, 110, 70);
    EXPECT_EQ(SetClickLimit(limit), 0);
    EXPECT_EQ(title.m_clickLimit.left, 10);
    EXPECT_EQ(title.m_clickLimit.bottom, 70);
}

// Queued left-button messages of the game view: a press is reported; with remove, a release
// and a press are taken away, other messages left.
TEST(PictureItemsEngineTest, MouseUpPending) {
    plat::HeadlessBackend& head = plat::InstallHeadless();
    CWinApp app;
    CWnd view;
    ASSERT_TRUE(view.CreateEx(0, nullptr, "view", WS_POPUP | WS_VISIBLE, 0, 0, 64, 64, nullptr, nullptr));
    app.m_pMainWnd = &view;
    const HWND w = view.GetSafeHwnd();
    const auto queued = [&](UINT m) {
        MSG msg;
        return PeekMessage(&msg, w, m, m, PM_NOREMOVE) != FALSE;
    };
    const struct {
        const char* name;
        std::vector<UINT> queue;
        int16_t remove;
        int32_t result;
        bool upLeft, downLeft;
    } cases[] = {
        {"nothing", {}, 1, 0, false, false},
        {"a release only, removed", {WM_LBUTTONUP}, 1, 0, false, false},
        {"a release only, kept", {WM_LBUTTONUP}, 0, 0, true, false},
        {"press and release, removed", {WM_LBUTTONDOWN, WM_LBUTTONUP}, 1, 1, false, false},
        {"press and release, kept", {WM_LBUTTONDOWN, WM_LBUTTONUP}, 0, 1, true, true},
        {"a right press", {WM_RBUTTONDOWN}, 1, 0, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        for (UINT m : c.queue) PostMessage(w, m, 0, 0);
        EXPECT_EQ(IsMouseUpPending(c.remove), c.result);
        EXPECT_EQ(queued(WM_LBUTTONUP), c.upLeft);
        EXPECT_EQ(queued(WM_LBUTTONDOWN), c.downLeft);
        MSG msg;
        while (PeekMessage(&msg, w, WM_MOUSEMOVE, WM_MBUTTONDBLCLK, PM_REMOVE)) {}
    }
    // The other name of the call, with a release queued: seen, kept, then taken.
    PostMessage(w, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(IsClickPending(0), 0);
    EXPECT_TRUE(queued(WM_LBUTTONUP));
    IsClickPending(1);
    PostMessage(w, WM_LBUTTONDOWN, 0, 0);
    PostMessage(w, WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(IsClickPending(1), 1);
    EXPECT_FALSE(queued(WM_LBUTTONUP));
    EXPECT_FALSE(queued(WM_LBUTTONDOWN));

    // The keys as held now.
    EXPECT_EQ(IsCtrlDown(), 0);
    head.QueueInput(plat::NowMs64(), plat::InputEvent{plat::InputKind::KeyDown, 0, 0, plat::MouseButton::Left, VK_CONTROL});
    head.Advance(1);
    EXPECT_EQ(IsCtrlDown(), 1);
    EXPECT_EQ(IsAltDown(), 0);
    head.QueueInput(plat::NowMs64(), plat::InputEvent{plat::InputKind::KeyUp, 0, 0, plat::MouseButton::Left, VK_CONTROL});
    head.Advance(1);
    EXPECT_EQ(IsCtrlDown(), 0);
    MSG msg;
    while (PeekMessage(&msg, nullptr, WM_KEYDOWN, WM_KEYUP, PM_REMOVE)) {}
    app.m_pMainWnd = nullptr;
    view.DestroyWindow();
}

// The media layer's picture seam, answered by the engine's resource host: nothing until the
// toolbox's pictures are installed, then the same pictures the toolbox makes.
TEST(PictureItemsEngineTest, TheEngineHostAnswersThePictureSeam) {
    plat::InstallHeadless();
    CZelboTitle title;
    title.m_currentModule = 3;
    title.m_itemCache = std::make_unique<CResItemTable>();
    title.m_itemCache->Init(100);
    CEngineResItemHost host(title);
    IResItemHost* savedHost = SetResItemHost(&host);

    IResItemHost* savedPictures = SetEnginePictureItems(nullptr);
    EXPECT_EQ(host.NewBlankPicture(4, 2), -1);
    InstallPictureItems();
    const int16_t id = host.NewBlankPicture(4, 2);
    EXPECT_EQ(id, 999);
    EXPECT_NE(title.m_itemCache->Find(3999), nullptr);
    const LockedPicture picture = LockPicture(id);
    ASSERT_NE(picture.bits, nullptr);
    EXPECT_EQ(picture.width, 4);
    EXPECT_EQ(picture.height, 2);
    EXPECT_EQ(picture.stride, 4);
    picture.bits[5] = 6;
    UnlockPicture(picture);
    EXPECT_EQ(host.GetPictureAttr(id), 4);
    BYTE* bits = host.LockPictureData(id);
    EXPECT_EQ(bits[5], 6);
    host.UnlockPictureData(bits);
    host.PurgeResource(id);
    EXPECT_EQ(title.m_itemCache->Find(3999), nullptr);

    SetEnginePictureItems(savedPictures);
    SetResItemHost(savedHost);
}

}  // namespace
