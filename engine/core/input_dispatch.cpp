// Keys and clicks: the engine's hot keys and navigation buttons first, then the current module
// through its table and the scene objects; what lies under the pointer; the colour numbers.
#include <algorithm>

#include "engine/core/colour_table.h"
#include "engine/core/cor_engine.h"
#include "engine/scene/cor_anim.h"
#include "engine/scene/fade.h"
#include "engine/scene/scan_target.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "media/surface/pal_id.h"
#include "platform/core/rect.h"
#include "platform/core/winuser.h"
#include "platform/gdi/wingdi.h"

namespace {

constexpr int kAdultFadeSteps = 20;
// The scan interval the "-" and "+" keys move, in milliseconds.
constexpr uint32_t kScanIntervalStep = 250;
constexpr uint32_t kScanIntervalLongest = 6500;
constexpr uint32_t kScanIntervalShortest = 500;
// Distances are compared against 3 × 255²: a colour exactly opposite is never "near".
constexpr int kFarthest = 3 * 255 * 255;

bool KeyHeld(int vk) { return (GetAsyncKeyState(vk) & 0x8000) != 0; }

// The primary button: the right one when the user swapped them.
bool PrimaryButtonDown() {
    return KeyHeld(GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON);
}

}  // namespace

COLORREF ColorNumberToRGB(int16_t code) {
    switch (code) {
        case 1: return RGB(255, 255, 0);
        case 2: return RGB(255, 0, 0);
        case 6: return RGB(255, 0, 255);
        case 7: return RGB(0, 0, 255);
        case 8: return RGB(0, 255, 0);
        case 9: return RGB(0, 128, 0);
        case 12: return RGB(0, 255, 255);
        case 13: return RGB(128, 128, 128);
        case 14: return RGB(255, 255, 255);
        default: return RGB(0, 0, 0);
    }
}

int NearestPaletteIndexIn(const PALETTEENTRY* entries, COLORREF colour, int first, int last) {
    if (!entries) return -1;
    first = std::max(first, 0);
    last = std::min(last, 255);
    int best = -1;
    int bestDistance = kFarthest;
    for (int i = first; i <= last; ++i) {
        const int dr = entries[i].peRed - GetRValue(colour);
        const int dg = entries[i].peGreen - GetGValue(colour);
        const int db = entries[i].peBlue - GetBValue(colour);
        const int distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = i;
        }
    }
    return best;
}

int NearestPaletteIndex(COLORREF colour, int first, int last) {
    if (!theEngine || !theEngine->m_screenPalette) return -1;
    return NearestPaletteIndexIn(theEngine->m_screenPalette->Entries(), colour, first, last);
}

int CCorEngine::NearestColourIndex(int16_t code, int first, int last) const {
    return NearestPaletteIndex(ColorNumberToRGB(code), first, last);
}

void CCorEngine::NotifyModule(int32_t kind) {
    if (m_moduleTable && m_moduleTable->Notify) m_moduleTable->Notify(kind);
}

void CCorEngine::RunAdultHotKey() {
    FadeOut(m_screenPalette.get(), kAdultFadeSteps, 0);
    if (HWND view = GameViewWindow()) {
        if (HDC dc = GetDC(view)) {
            PatBlt(dc, 0, 0, m_screenWidth, m_screenHeight, BLACKNESS);
            ReleaseDC(view, dc);
        }
    }
    FadeIn(m_screenPalette.get(), 0, 0);

    const int32_t current = m_currentModule;
    const int32_t previous = m_previousModule;
    UnloadModule(FALSE);
    m_currentModule = 0;
    m_previousModule = current;
    m_inAdultArea = 1;
    const int16_t result = EnterAdultArea();
    m_inAdultArea = 0;
    m_currentModule = current;
    m_previousModule = previous;
    if (result == 2) {
        m_inAdultArea = 1;
        QuitGame();
        return;
    }
    GoToModule(result == 1 ? current : GetHomeModule(), TRUE);
    m_previousModule = previous;
}

void CCorEngine::RunHotKey(int32_t virtualKey) {
    if (virtualKey == 'A')
        RunAdultHotKey();
    else
        QuitGame();
}

void CCorEngine::RunHeldHotKey() {
    const int32_t key = m_heldHotKey;
    m_heldHotKey = 0;
    // What happened since (a pop-up that turned the hot keys off) has the last word.
    if ((key == 'A' && m_ctrlAltAEnabled) || (key == 'Q' && m_ctrlQEnabled) || key == 'X') RunHotKey(key);
}

void CCorEngine::OnEngineKeyDown(int32_t virtualKey) {
    CEngineCall call;
    if (!m_running || m_busyLevel) return;
    const bool ctrl = KeyHeld(VK_CONTROL);
    const bool altOrShift = KeyHeld(VK_MENU) || KeyHeld(VK_SHIFT);
    const bool hotKey = ctrl && ((virtualKey == 'A' && altOrShift && m_ctrlAltAEnabled) ||
                                 (virtualKey == 'Q' && m_ctrlQEnabled) || virtualKey == 'X');
    if (hotKey) {
        // Under another engine call the module's handler is still running (its drag or
        // followed press dispatched this key): leaving the module now would pull the scene
        // from under it.
        if (m_callDepth > 1) {
            if (!m_heldHotKey) m_heldHotKey = virtualKey;
        } else {
            RunHotKey(virtualKey);
        }
        return;
    }
    if (virtualKey == 'S' && ctrl && altOrShift && m_prefs.scanningAllowed && !m_scanToggleLock) {
        m_scanner.Enable(!m_scanner.IsOn());
        NotifyModule(m_scanner.IsOn() ? kModuleNotifyScanOn : kModuleNotifyScanOff);
        return;
    }
    if (m_scanner.IsOn()) {
        const uint32_t interval = m_scanner.Interval();
        if (virtualKey == VK_SUBTRACT && interval < kScanIntervalLongest)
            m_scanner.SetInterval(interval + kScanIntervalStep);
        if (virtualKey == VK_ADD && interval > kScanIntervalShortest)
            m_scanner.SetInterval(interval - kScanIntervalStep);
        if ((virtualKey >= VK_F1 && virtualKey <= VK_F10) || virtualKey == VK_SPACE) m_scanner.Activate();
    }
    if (m_moduleTable && m_moduleTable->KeyDown) m_moduleTable->KeyDown(virtualKey);
}

void CCorEngine::OnEngineLButtonDown(POINT point) {
    CEngineCall call;
    if (!m_running || m_busyLevel) return;
    if (!IsRectEmpty(&m_clickLimit) && !PtInRect(&m_clickLimit, point)) {
        MessageBeep(0);
        return;
    }
    m_lastClickX = point.x;
    m_lastClickY = point.y;
    if (m_scanner.IsOn()) {
        m_scanner.Activate();
        return;
    }
    if (m_buttons[0].HitTest(point.x, point.y)) {
        m_buttons[0].Toggle();
        Present(0);
        LeaveModule();
        return;
    }
    if (m_buttons[2].HitTest(point.x, point.y)) {
        m_buttons[2].Toggle();
        Present(0);
        if (m_moduleTable && m_moduleTable->OnSecondButton) m_moduleTable->OnSecondButton();
        m_buttons[2].Toggle();
        return;
    }
    for (const std::unique_ptr<CText>& text : m_texts) {
        const int32_t word = text->WordAtPoint(nullptr, point);
        if (word < 0) continue;
        if (m_moduleTable && m_moduleTable->OnTextClicked && text->TallyWords() > 0 &&
            m_moduleTable->OnTextClicked(text.get(), static_cast<int16_t>(word)))
            return;
        break;
    }
    if (m_anims.ClickAt(point, false)) return;
    if (m_statics.ClickAt(point, FALSE)) return;
    if (m_spots.ClickAt(point)) return;
    if (m_anims.ClickAt(point, true)) return;
    m_statics.ClickAt(point, TRUE);
}

void CCorEngine::OnEngineSwitchInput(POINT /*point*/) {
    CEngineCall call;
    if (!m_running || m_busyLevel) return;
    if (m_scanner.IsOn()) m_scanner.Activate();
}

int32_t CCorEngine::GetUnderMouse(int32_t mask, int32_t& kind, intptr_t& object) {
    POINT p{0, 0};
    if (m_scanner.IsOn()) {
        if (CScanTarget* target = m_scanner.Target(m_scanner.Current())) p = target->GetPosition();
    } else {
        GetCursorPos(&p);
        if (HWND view = GameViewWindow()) ScreenToClient(view, &p);
    }
    const int32_t down = PrimaryButtonDown() ? 1 : 0;
    kind = 0;
    object = 0;
    if (mask & 1) {
        if (const int32_t id = m_spots.FindAt(p)) {
            kind = 1;
            object = id % 1000;
            return down;
        }
    }
    if (mask & 2) {
        for (int handle = m_statics.Newest(); handle != -1; handle = m_statics.Older(handle)) {
            CCorStatic* s = m_statics.Get(handle);
            if (s && s->ContainsPoint(p.x, p.y) && s->HitsPixel(p.x, p.y)) {
                kind = 2;
                object = handle + 1;
                return down;
            }
        }
    }
    if (mask & 4) {
        if (CCorAnim* anim = m_anims.FindAt(p)) {
            kind = 4;
            object = reinterpret_cast<intptr_t>(anim);
            return down;
        }
    }
    if (mask & 8) {
        for (const std::unique_ptr<CText>& text : m_texts) {
            if (text->WordAtPoint(nullptr, p) >= 0) {
                kind = 8;
                object = reinterpret_cast<intptr_t>(text.get());
                return down;
            }
        }
    }
    return down;
}

void CCorEngine::GetLastClickPoint(int16_t& x, int16_t& y) const {
    x = static_cast<int16_t>(m_lastClickX);
    y = static_cast<int16_t>(m_lastClickY);
}

void CCorEngine::SetClickLimitRect(const CCorRect* rect) {
    if (rect)
        m_clickLimit = RECT{rect->left, rect->top, rect->right, rect->bottom};
    else
        SetRectEmpty(&m_clickLimit);
}

void CCorEngine::DrawTexts() {
    if (!m_frameSurface || !m_dirtyRects) return;
    for (const std::unique_ptr<CText>& text : m_texts) {
        const RECT r{text->X(), text->Y(), text->X() + text->Width(), text->Y() + text->Height()};
        if (!m_dirtyRects->Intersects(r)) continue;
        const RECT clip = m_dirtyRects->ClipUnion(r);
        text->Draw(*m_frameSurface, &clip);
    }
}
