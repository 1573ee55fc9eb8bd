#include "engine/toolbox/screen_helpers.h"

#include <algorithm>
#include <array>

#include "engine/core/cor_engine.h"
#include "engine/scene/cor_anim.h"
#include "engine/toolbox/palette_wrappers.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/picture_quad.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"
#include "platform/core/winuser.h"

namespace {

constexpr int16_t kNoPicture = 2;
constexpr int16_t kScreenWidth = 640;
constexpr int16_t kScreenHeight = 480;
constexpr int16_t kShadeHeight = 60;
constexpr int kShadeSprites = kScreenHeight / kShadeHeight;

int16_t Add16(int a, int b) { return static_cast<int16_t>(a + b); }

// A picture's pixels, locked for the lifetime of the object; bits null when the picture is
// missing or its sizes do not hold together.
class CPixels {
public:
    explicit CPixels(int16_t picture) {
        int16_t w = 0, h = 0;
        GetPictureSize(picture, w, h);
        const uint16_t stride = GetPictureAttr(picture);
        if (w <= 0 || h <= 0 || stride == 0xFFFF || stride < w) return;
        m_bits = LockPictureData(picture);
        m_width = w;
        m_height = h;
        m_stride = stride;
    }
    ~CPixels() { UnlockPictureData(m_bits); }
    CPixels(const CPixels&) = delete;
    CPixels& operator=(const CPixels&) = delete;

    explicit operator bool() const { return m_bits != nullptr; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    BYTE* Row(int y) const { return m_bits + static_cast<size_t>(y) * m_stride; }
    void Put(int x, int y, uint8_t colour) const {
        if (x >= 0 && y >= 0 && x < m_width && y < m_height) Row(y)[x] = colour;
    }

private:
    BYTE* m_bits = nullptr;
    int m_width = 0;
    int m_height = 0;
    size_t m_stride = 0;
};

void DrawLine(const CPixels& pixels, int x1, int y1, int x2, int y2, uint8_t colour) {
    if (y1 == y2) {
        for (int x = std::min(x1, x2); x < std::max(x1, x2); ++x) pixels.Put(x, y1, colour);
    } else if (x1 == x2) {
        for (int y = std::min(y1, y2); y < std::max(y1, y2); ++y) pixels.Put(x1, y, colour);
    }
}

void DrawOutline(const CPixels& pixels, const Rect16& r, uint8_t colour) {
    DrawLine(pixels, r.left, r.top, r.right, r.top, colour);
    DrawLine(pixels, r.left, r.bottom - 1, r.right, r.bottom - 1, colour);
    DrawLine(pixels, r.left, r.top, r.left, r.bottom, colour);
    DrawLine(pixels, r.right - 1, r.top, r.right - 1, r.bottom, colour);
}

// The program-wide shade: its picture (module-relative, in the module it was made in) and the
// sprites that show it, and the engine they belong to.
struct Shade {
    const CCorEngine* engine = nullptr;
    int32_t module = 0;
    int16_t picture = 0;
    std::array<CAnimRef, kShadeSprites> sprites{};
};
Shade& TheShade() {
    static Shade shade;
    return shade;
}

// The hot keys as they were when a click limit was set, and the sprite the limit was set to.
struct HotKeys {
    const CCorEngine* engine = nullptr;
    bool kept = false;
    int32_t adult = 1;
    int32_t quit = 1;
    CAnimRef limiter{};
};
HotKeys& KeptHotKeys() {
    static HotKeys keys;
    return keys;
}

bool Live(CCorAnim* sprite) { return theEngine && sprite && theEngine->m_anims.Contains(sprite); }

// The sprite to wait for: the handle's sprite kept by serial, or every sprite.
struct WaitedSprite {
    explicit WaitedSprite(CCorAnim* sprite)
        : all(sprite == kAllSprites), kept(KeepSprite(sprite)) {}
    CCorAnim* Now() const { return all ? kAllSprites : LiveSprite(kept); }
    bool all;
    CAnimRef kept;
};

}  // namespace

PanelStyle DefaultPanelStyle() { return PanelStyle{5, 1, 7, static_cast<uint8_t>(FindDarkestPaletteEntry()), 7}; }

bool PointInRect16(int16_t x, int16_t y, const Rect16& rect) {
    return rect.left <= x && x <= rect.right && rect.top <= y && y <= rect.bottom;
}

int16_t GetPictureWidth(int16_t picture) {
    int16_t w = 0, h = 0;
    GetPictureSize(picture, w, h);
    return w;
}

int16_t GetPictureHeight(int16_t picture) {
    int16_t w = 0, h = 0;
    GetPictureSize(picture, w, h);
    return h;
}

void OffsetRect16(Rect16& rect, int16_t dx, int16_t dy) {
    rect.left = Add16(rect.left, dx);
    rect.right = Add16(rect.right, dx);
    rect.top = Add16(rect.top, dy);
    rect.bottom = Add16(rect.bottom, dy);
}

void InflateRect16(Rect16& rect, int16_t d) {
    rect.left = Add16(rect.left, -d);
    rect.top = Add16(rect.top, -d);
    rect.right = Add16(rect.right, d);
    rect.bottom = Add16(rect.bottom, d);
}

void CenterRectOnScreen(Rect16& rect) {
    const int16_t width = Add16(rect.right, -rect.left), height = Add16(rect.bottom, -rect.top);
    rect.left = Add16(kScreenWidth / 2, -(width >> 1));
    rect.top = Add16(kScreenHeight / 2, -(height >> 1));
    rect.right = Add16(rect.left, width);
    rect.bottom = Add16(rect.top, height);
}

void SetShortPair(int16_t* pair, const int16_t* source) {
    if (!pair || !source) return;
    pair[0] = source[0];
    pair[1] = source[1];
}

int16_t ClipRectToPicture(Rect16& rect, int16_t picture) {
    int16_t width = 0, height = 0;
    GetPictureSize(picture, width, height);
    for (int16_t* v : {&rect.left, &rect.top, &rect.right, &rect.bottom}) *v = std::max<int16_t>(*v, 0);
    if (rect.left > width || rect.right > width || rect.top > height || rect.bottom > height) return 0;
    return rect.right > rect.left && rect.bottom > rect.top ? 1 : 0;
}

void FillPictureRect32(int16_t picture, const Rect16& rect, uint32_t value) {
    Rect16 r = rect;
    if (!ClipRectToPicture(r, picture)) return;
    const CPixels pixels(picture);
    if (!pixels) return;
    const uint8_t bytes[4] = {static_cast<uint8_t>(value), static_cast<uint8_t>(value >> 8),
                              static_cast<uint8_t>(value >> 16), static_cast<uint8_t>(value >> 24)};
    const int start = r.left & ~3, words = (r.right - r.left) >> 2;
    // The words end at or before right, which lies inside the picture.
    for (int y = r.top; y < r.bottom; ++y) {
        BYTE* row = pixels.Row(y) + start;
        for (int i = 0; i < 4 * words; ++i) row[i] = bytes[i & 3];
    }
}

void DrawLine16(int16_t picture, int16_t x1, int16_t y1, int16_t x2, int16_t y2, uint8_t colour) {
    const CPixels pixels(picture);
    if (pixels) DrawLine(pixels, x1, y1, x2, y2, colour);
}

void DrawRectOutline16(int16_t picture, const Rect16& rect, uint8_t colour) {
    const CPixels pixels(picture);
    if (pixels) DrawOutline(pixels, rect, colour);
}

void BlitPictureAt(int16_t source, int16_t destination, int16_t x, int16_t y, const uint8_t* map) {
    const CPixels from(source);
    const CPixels to(destination);
    if (!from || !to) return;
    const int left = std::max(0, -static_cast<int>(x)), top = std::max(0, -static_cast<int>(y));
    const int right = std::min(from.Width(), to.Width() - x), bottom = std::min(from.Height(), to.Height() - y);
    for (int sy = top; sy < bottom; ++sy) {
        const BYTE* in = from.Row(sy);
        BYTE* out = to.Row(sy + y) + x;
        for (int sx = left; sx < right; ++sx) out[sx] = map && in[sx] ? map[in[sx]] : in[sx];
    }
}

int16_t DrawPictureInRect(int16_t picture, int16_t width, int16_t height) {
    return DrawPictureQuad(picture, CCorPoint{0, 0}, CCorPoint{width, 0}, CCorPoint{width, height},
                           CCorPoint{0, height});
}

int16_t MakeFramedPicture(Rect16& rect, const PanelStyle* style) {
    PALETTEENTRY entries[256] = {};
    GetGamePaletteEntries(0, 256, entries);
    entries[1] = PALETTEENTRY{128, 0, 0, 0};
    entries[5] = PALETTEENTRY{128, 0, 128, 0};
    entries[7] = PALETTEENTRY{192, 192, 192, 0};
    entries[255] = PALETTEENTRY{255, 255, 255, 0};
    SetGamePaletteEntries(0, 256, entries);
    const PanelStyle s = style ? *style : DefaultPanelStyle();

    const int16_t width = static_cast<int16_t>((rect.right - rect.left + 3) & ~3);
    const int16_t height = Add16(rect.bottom, -rect.top);
    if (width <= 0 || height <= 0) return 0;
    rect.right = Add16(rect.left, width);
    const int16_t picture = NewBlankPicture(width, height);
    if (picture <= 0) return 0;
    const CPixels pixels(picture);
    if (!pixels) return 0;

    Rect16 r{0, 0, width, height};
    for (int y = 0; y < height; ++y) std::fill_n(pixels.Row(y), width, s.fill);
    DrawOutline(pixels, r, s.outline);
    // Raised bevel, a middle ring, a sunken bevel, an inner outline.
    InflateRect16(r, -1);
    DrawLine(pixels, r.left, r.top, r.right - 1, r.top, s.light);
    DrawLine(pixels, r.left, r.top + 1, r.left, r.bottom - 1, s.light);
    DrawLine(pixels, r.right - 1, r.top, r.right - 1, r.bottom - 1, s.shadow);
    DrawLine(pixels, r.left, r.bottom - 1, r.right, r.bottom - 1, s.shadow);
    InflateRect16(r, -1);
    DrawOutline(pixels, r, s.middle);
    InflateRect16(r, -1);
    DrawLine(pixels, r.left, r.top, r.right, r.top, s.shadow);
    DrawLine(pixels, r.left, r.top + 1, r.left, r.bottom, s.shadow);
    DrawLine(pixels, r.right - 1, r.top + 1, r.right - 1, r.bottom - 1, s.light);
    DrawLine(pixels, r.left + 1, r.bottom - 1, r.right, r.bottom - 1, s.light);
    InflateRect16(r, -1);
    DrawOutline(pixels, r, s.outline);
    return picture;
}

CCorAnim* MakeFramedPanel(Rect16& rect, const PanelStyle* style) {
    if (!theEngine) return nullptr;
    const int16_t picture = MakeFramedPicture(rect, style);
    if (picture == 0) return nullptr;
    ShadeScreen(style ? style->outline : DefaultPanelStyle().outline);
    CCorAnim* panel = CreateSprite(rect.left, rect.top, picture);
    LimitClicksToSprite(panel);
    return panel;
}

void ClosePanel(CCorAnim* panel) {
    if (Live(panel)) {
        const CAnimRef kept = panel;
        const int16_t picture = GetSpriteFrame(panel);
        QueueSpriteFrameNoWait(panel, kNoPicture);
        WaitForSprite(panel, 0);
        DisposeSprite(LiveSprite(kept));
        if (picture != kNoPicture) PurgeResource(picture);
    }
    LimitClicksToSprite(nullptr);
    RemoveShade();
}

void DiscardSprite(CCorAnim* sprite) {
    if (!Live(sprite)) return;
    const int16_t picture = GetSpriteFrame(sprite);
    // No panel entry may name it once it is gone: the click limit set to it is lifted, and the
    // shade forgets it.
    if (KeptHotKeys().engine == theEngine && LiveSprite(KeptHotKeys().limiter) == sprite) LimitClicksToSprite(nullptr);
    for (CAnimRef& kept : TheShade().sprites)
        if (LiveSprite(kept) == sprite) kept = CAnimRef();
    DisposeSprite(sprite);
    if (picture != kNoPicture) PurgeResource(picture);
}

void LimitClicksToSprite(CCorAnim* sprite) {
    if (!theEngine) return;
    CCorEngine& e = *theEngine;
    HotKeys& keys = KeptHotKeys();
    if (keys.engine != &e) keys = HotKeys{&e};
    if (sprite) {
        RECT bounds;
        if (!Live(sprite) || !sprite->GetBounds(bounds)) return;
        const CCorRect limit{static_cast<int16_t>(bounds.left), static_cast<int16_t>(bounds.top),
                             static_cast<int16_t>(bounds.right), static_cast<int16_t>(bounds.bottom)};
        // A limit set over another keeps the keys as they were before the first.
        if (!keys.kept || IsRectEmpty(&e.m_clickLimit)) keys = HotKeys{&e, true, e.m_ctrlAltAEnabled, e.m_ctrlQEnabled};
        e.SetClickLimitRect(&limit);
        e.m_ctrlAltAEnabled = 0;
        e.m_ctrlQEnabled = 0;
        keys.limiter = KeepSprite(sprite);
        return;
    }
    // Only a limit still set has keys to give back (one lifted otherwise kept nothing for this run).
    const bool limited = !IsRectEmpty(&e.m_clickLimit);
    e.SetClickLimitRect(nullptr);
    if (keys.kept && limited) {
        e.m_ctrlAltAEnabled = keys.adult;
        e.m_ctrlQEnabled = keys.quit;
    }
    keys.kept = false;
    keys.limiter = CAnimRef();
}

void ShadeScreen(uint8_t colour) {
    if (!theEngine) return;
    if (TheShade().engine) RemoveShade();
    Shade& shade = TheShade();
    shade = Shade{};
    const int16_t picture = NewBlankPicture(kScreenWidth, kShadeHeight);
    if (picture <= 0) return;
    {
        const CPixels pixels(picture);
        if (!pixels) {
            PurgeResource(picture);
            return;
        }
        for (int y = 0; y < kShadeHeight; ++y) {
            BYTE* row = pixels.Row(y);
            for (int x = 0; x < kScreenWidth; ++x) row[x] = (x + y) % 2 == 0 ? colour : 0;
        }
    }
    shade.engine = theEngine;
    shade.module = theEngine->m_currentModule;
    shade.picture = picture;
    for (int i = 0; i < kShadeSprites; ++i)
        shade.sprites[static_cast<size_t>(i)] = CreateSprite(0, static_cast<int16_t>(i * kShadeHeight), picture);
    Delay(0);
}

void RemoveShade() {
    Shade& shade = TheShade();
    if (!shade.engine || shade.engine != theEngine) {
        shade = Shade{};
        return;
    }
    // After a module switch its sprites and picture went with the module; the handles and the
    // id may name another module's now.
    if (theEngine->m_currentModule != shade.module) {
        shade = Shade{};
        return;
    }
    // A shade whose sprites all went (the module was left and entered again) has nothing left to
    // take down, and its id may name a newer picture by now.
    const int32_t picture = theEngine->MapResourceId(shade.picture);
    bool intact = false;
    for (CAnimRef& kept : shade.sprites) {
        const CCorAnim* sprite = LiveSprite(kept);
        if (!sprite || sprite->GetPictureId() != picture) kept = CAnimRef();
        intact = intact || kept;
    }
    if (intact) {
        for (const CAnimRef& kept : shade.sprites) QueueSpriteFrameNoWait(LiveSprite(kept), kNoPicture);
        WaitForSprite(kAllSprites, 0);
        for (const CAnimRef& kept : shade.sprites) DisposeSprite(LiveSprite(kept));
        PurgeResource(shade.picture);
    }
    shade = Shade{};
}

int16_t WaitForSprite(CCorAnim* sprite, int16_t interruptible) {
    if (!sprite) return 1;
    const WaitedSprite waited(sprite);
    for (;;) {
        if (WaitMustEnd()) return 1;
        if (GetSpriteStatus(waited.Now()) != kAnimRunning) return 0;
        MSG msg;
        if (interruptible &&
            PeekMessage(&msg, theEngine->GameViewWindow(), WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE | PM_NOYIELD))
            return 1;
        Delay(0);
    }
}
