#include "engine/toolbox/cursor_mouse.h"

#include <optional>
#include <vector>

#include "engine/core/cor_engine.h"
#include "engine/scene/cor_anim.h"
#include "engine/scene/scan_target.h"
#include "engine/toolbox/cursor_item.h"
#include "engine/toolbox/waits.h"
#include "media/res/device_bitmap.h"
#include "media/res/item_cache.h"
#include "media/res/sprite.h"
#include "platform/afxwin/afxwin.h"
#include "platform/core/byte_order.h"
#include "platform/core/winuser.h"
#include "platform/gdi/wingdi.h"

namespace {

constexpr int kCursorSide = 32;

bool PrimaryButtonDown() {
    return GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) != 0;
}

// A cursor of the 'CUR' item of the module-relative id, or null.
HCURSOR CursorOfItem(int16_t id) {
    CCorEngine& e = *theEngine;
    const std::optional<CursorItem> record = ReadCursorItem(e.MapResourceId(id));
    if (!record) return nullptr;
    CSprite* picture = GetResItem(e.MapResourceId(record->pictureId), TRUE);
    if (!picture || !picture->Bits() || !e.m_screenPalette) return nullptr;
    return MakePictureCursor(*picture, record->hotX, record->hotY, e.m_screenPalette->Entries());
}

bool IsWin32s(DWORD version) { return (version & 0x80000000u) != 0 && (version & 0xFF) < 4; }

void ShowOnSprite(CCorAnim* sprite, int32_t pictureId) {
    sprite->Invalidate();
    sprite->SetPicture(pictureId);
    sprite->Invalidate();
}

// Releases the game view's capture however TrackButton's loop ends.
class CCaptureGuard {
public:
    explicit CCaptureGuard(HWND view) : m_view(view) { SetCapture(view); }
    ~CCaptureGuard() {
        if (GetCapture() == m_view) ReleaseCapture();
    }
    CCaptureGuard(const CCaptureGuard&) = delete;
    CCaptureGuard& operator=(const CCaptureGuard&) = delete;

private:
    HWND m_view;
};

}  // namespace

bool EndsThePress(const MSG& msg, HWND view, HWND frame) {
    if (msg.message != WM_CLOSE && msg.message != WM_DESTROY && msg.message != WM_ENDSESSION) return false;
    return msg.hwnd && (msg.hwnd == view || msg.hwnd == frame);
}

void SetArrowCursor() { theEngine->SetArrowCursor(); }
void SetWaitCursor() { theEngine->SetWaitCursor(); }
void HideMouseCursor() { ShowCursor(FALSE); }
void ShowMouseCursor() { ShowCursor(TRUE); }
void BeginBusy() { theEngine->BeginBusy(); }
void EndBusy() { theEngine->EndBusy(); }

CursorImageBits CursorImageOf(const CSprite& picture) {
    CursorImageBits image;
    const BYTE* bits = picture.Bits();
    const int width = bits ? std::min(picture.Width(), kCursorSide) : 0;
    const int height = bits ? std::min(picture.Height(), kCursorSide) : 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.pixels[static_cast<size_t>(y * kCursorSide + x)] = bits[static_cast<size_t>(y) * picture.Stride() + x];
    for (int y = 0; y < kCursorSide; ++y)
        for (int x = 0; x < kCursorSide; ++x)
            if (image.pixels[static_cast<size_t>(y * kCursorSide + x)] == 0)
                image.mask[static_cast<size_t>(y * 4 + x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
    return image;
}

HCURSOR MakePictureCursor(const CSprite& picture, int hotX, int hotY, const PALETTEENTRY* palette) {
    if (!palette) return nullptr;
    const CursorImageBits image = CursorImageOf(picture);
    uint8_t rgb[256 * 3];
    for (int i = 0; i < 256; ++i) {
        rgb[i * 3] = palette[i].peRed;
        rgb[i * 3 + 1] = palette[i].peGreen;
        rgb[i * 3 + 2] = palette[i].peBlue;
    }
    HDC screen = GetDC(nullptr);
    const int bitsPerPixel = GetDeviceCaps(screen, BITSPIXEL);
    HBITMAP colour = CreateCompatibleBitmap(screen, kCursorSide, kCursorSide);
    ReleaseDC(nullptr, screen);
    HBITMAP mask = CreateBitmap(kCursorSide, kCursorSide, 1, 1, image.mask.data());
    HCURSOR cursor = nullptr;
    if (colour && mask) {
        std::vector<uint8_t> scratch(image.pixels.size() * 4);
        SetDeviceBitmapBits(bitsPerPixel, rgb, colour, image.pixels.data(), scratch,
                            static_cast<uint32_t>(image.pixels.size()));
        ICONINFO info;
        info.fIcon = FALSE;
        info.xHotspot = static_cast<DWORD>(hotX);
        info.yHotspot = static_cast<DWORD>(hotY);
        info.hbmMask = mask;
        info.hbmColor = colour;
        cursor = CreateIconIndirect(&info);
    }
    if (colour) DeleteObject(colour);
    if (mask) DeleteObject(mask);
    return cursor;
}

void SetPictureCursor(int16_t arrowId, int16_t waitId) {
    CCorEngine& e = *theEngine;
    if (IsWin32s(e.m_platformVersion)) return;
    if (arrowId == 0 && e.m_moduleCursorA) {
        if (e.m_busyLevel == 0) SetCursor(LoadCursor(nullptr, IDC_ARROW));
        DestroyCursor(e.m_moduleCursorA);
        e.m_moduleCursorA = nullptr;
    }
    if (waitId == 0 && e.m_moduleCursorB) {
        if (e.m_busyLevel != 0) SetCursor(LoadCursor(nullptr, IDC_WAIT));
        DestroyCursor(e.m_moduleCursorB);
        e.m_moduleCursorB = nullptr;
    }
    if (arrowId != 0) {
        HCURSOR cursor = CursorOfItem(arrowId);
        if (!cursor) return;
        HCURSOR old = e.m_moduleCursorA;
        e.m_moduleCursorA = cursor;
        if (e.m_busyLevel == 0) SetCursor(cursor);
        if (old) DestroyCursor(old);
    }
    if (waitId != 0) {
        HCURSOR cursor = CursorOfItem(waitId);
        if (!cursor) return;
        HCURSOR old = e.m_moduleCursorB;
        e.m_moduleCursorB = cursor;
        if (e.m_busyLevel != 0) SetCursor(cursor);
        if (old) DestroyCursor(old);
    }
}

void GetLastClick(int16_t& x, int16_t& y) {
    x = static_cast<int16_t>(theEngine->m_lastClickX - theEngine->m_originX);
    y = static_cast<int16_t>(theEngine->m_lastClickY - theEngine->m_originY);
}

int16_t IsMouseDown() { return PrimaryButtonDown() ? 1 : 0; }

int16_t GetMouse(int16_t& x, int16_t& y) {
    CCorEngine& e = *theEngine;
    if (e.m_scanner.IsOn()) {
        x = y = 0;
        if (CScanTarget* target = e.m_scanner.Target(e.m_scanner.Current())) {
            const POINT p = target->GetPosition();
            x = static_cast<int16_t>(p.x - e.m_originX);
            y = static_cast<int16_t>(p.y - e.m_originY);
        }
        return 1;
    }
    POINT p{0, 0};
    GetCursorPos(&p);
    if (HWND view = e.GameViewWindow()) ScreenToClient(view, &p);
    x = static_cast<int16_t>(p.x - e.m_originX);
    y = static_cast<int16_t>(p.y - e.m_originY);
    return (GetAsyncKeyState(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON) & 0x8000) ? 1 : 0;
}

int16_t GetMouseX() {
    int16_t x = 0, y = 0;
    GetMouse(x, y);
    return x;
}

int16_t GetMouseY() {
    int16_t x = 0, y = 0;
    GetMouse(x, y);
    return y;
}

int32_t TrackMouse(int16_t mask, int32_t& kind, intptr_t& thing) {
    return theEngine->GetUnderMouse(mask, kind, thing);
}

int16_t CarryEnd() {
    if (WaitMustEnd()) return 2;
    MSG msg;
    if (PeekMessage(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE | PM_NOYIELD)) return 2;
    if (theEngine->HeldHotKey()) return 1;
    return PeekMessage(&msg, theEngine->GameViewWindow(), WM_LBUTTONUP, WM_LBUTTONUP, PM_REMOVE | PM_NOYIELD) ? 1 : 0;
}

int16_t TrackButton(CCorAnim* sprite, int16_t pressedId, int16_t normalId) {
    CCorEngine& e = *theEngine;
    if (!sprite || !e.m_anims.Contains(sprite)) return 0;
    const int32_t pressed = e.MapResourceId(pressedId);
    const int32_t normal = e.MapResourceId(normalId);
    if (e.m_scanner.IsOn()) {
        ShowOnSprite(sprite, pressed);
        e.Present(0);
        return 1;
    }
    if (!sprite->HitTest(e.m_lastClickX, e.m_lastClickY, false) || e.ClosePending() || e.HeldHotKey()) return 0;

    HWND view = e.GameViewWindow();
    CWnd* main = AfxGetMainWnd();
    HWND frame = main ? main->GetSafeHwnd() : nullptr;
    CCaptureGuard capture(view);
    // The game view's timer keeps coming while the press is followed; its idle step waits.
    struct CTracking {
        int32_t& flag;
        int32_t was;
        explicit CTracking(int32_t& f) : flag(f), was(f) { flag = 1; }
        ~CTracking() { flag = was; }
    } tracking(e.m_trackingButton);
    ShowOnSprite(sprite, pressed);
    int32_t shown = pressed;
    e.Present(0);

    // The picture for a point: pressed over the sprite, normal elsewhere; a sprite taken away
    // meanwhile (by a handler of a dispatched message, a module switch among them) is no longer
    // touched, nor a newer sprite given its memory.
    const CAnimRef kept = sprite;
    auto follow = [&](POINT p, bool release) {
        CCorAnim* live = e.m_anims.Get(kept);
        const bool over = live && live->HitTest(p.x, p.y, false);
        const int32_t wanted = over ? pressed : normal;
        if (live && wanted != shown) {
            ShowOnSprite(live, wanted);
            shown = wanted;
            if (!release) e.Present(0);
        }
        return over;
    };

    int16_t result = 0;
    for (;;) {
        MSG msg;
        if (!GetMessage(&msg, nullptr, 0, 0)) {
            // The quit belongs to the program's own loop.
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (EndsThePress(msg, view, frame)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
            break;
        }
        if (msg.message == WM_LBUTTONUP) {
            if (GetCapture() == view) ReleaseCapture();
            result = follow(POINT{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)}, true) ? 1 : 0;
            break;
        }
        if (msg.message == WM_MOUSEMOVE) {
            follow(POINT{GET_X_LPARAM(msg.lParam), GET_Y_LPARAM(msg.lParam)}, false);
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        } else {
            CWinApp* app = AfxGetApp();
            if (!app || !app->PreTranslateMessage(&msg)) {
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
        }
        if (e.ClosePending()) break;
        if (e.HeldHotKey()) {
            // A hot key waits for the handler to return: the press ends without its action.
            if (shown != normal && e.m_anims.Contains(sprite)) ShowOnSprite(sprite, normal);
            break;
        }
        e.StepAndPresent();
    }
    e.StepAndPresent();
    return result;
}
