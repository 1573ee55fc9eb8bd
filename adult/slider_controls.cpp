#include "adult/slider_controls.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/core/crt.h"
#include "platform/core/winuser.h"
#include "platform/dialogs/dialog_api.h"

namespace {

constexpr int kThumbWidth = 9;
constexpr int kThumbHeight = 16;
constexpr int kFrameNormal = 0;
constexpr int kFramePressed = 9;
constexpr int kFrameFocused = 18;

constexpr int kLevelThumbWidth = 15;
constexpr int kLevelThumbHeight = 24;
constexpr int kLevelFrameFocused = 0;
constexpr int kLevelFramePressed = 15;
constexpr int kLevelFrameUnfocused = 30;

// A colour pen selected for one stretch of drawing.
void Line(CDC& dc, int x0, int y0, int x1, int y1, COLORREF colour) {
    CPen pen(PS_SOLID, 1, colour);
    CPen* old = dc.SelectObject(&pen);
    dc.MoveTo(x0, y0);
    dc.LineTo(x1, y1);
    dc.SelectObject(old);
}

// Copies a part of a bitmap onto dc.
void Blit(CDC& dc, CBitmap& bitmap, int x, int y, int cx, int cy, int srcX, int srcY) {
    if (!bitmap.GetSafeHandle()) return;
    CDC memory;
    if (!memory.CreateCompatibleDC(&dc)) return;
    CBitmap* old = memory.SelectObject(&bitmap);
    dc.BitBlt(x, y, cx, cy, &memory, srcX, srcY, SRCCOPY);
    memory.SelectObject(old);
}

}  // namespace

bool IsWindows95Family() {
    const DWORD version = GetVersion();
    return (version & 0x80000000u) != 0 && (version & 0xFF) >= 4;
}

bool IsWindowsNT4() {
    const DWORD version = GetVersion();
    return (version & 0x80000000u) == 0 && (version & 0xFF) == 4 && ((version >> 8) & 0xFF) == 0;
}

// ---------------------------------------------------------------------------------------------
// CSliderBar

BEGIN_MESSAGE_MAP(CSliderBar, CScrollBar)
    ON_WM_PAINT()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CSliderBar::CSliderBar() {
    m_thumb.LoadBitmap(kSliderThumbBitmap);
}

CSliderBar::~CSliderBar() = default;

BOOL CSliderBar::Create(UINT controlId, CWnd* parent, int min, int max, int initial, int step, BOOL notifyParent) {
    if (!parent || !SubclassDlgItem(controlId, parent)) return 0;
    SetRange(min, max);
    CRect client;
    GetClientRect(&client);
    const int span = std::max(1, max - min);
    spacing = ((client.Width() - 8) / span) * 100;
    pos = (initial != 0 && initial >= min && initial <= max) ? initial : min;
    thumbX = MulDiv(pos - min, spacing, 100);
    tickStep = step == 0 ? 1 : step;
    int textHeight = 0;
    if (labels) {
        CClientDC dc(parent);
        TEXTMETRIC tm{};
        dc.GetTextMetrics(&tm);
        textHeight = 2 + tm.tmHeight;
    }
    top = (client.Height() - 21 - textHeight) / 2;
    left = (client.Width() - TrackLength() - 8) / 2;
    CClientDC dc(this);
    m_back.CreateCompatibleBitmap(&dc, kThumbWidth, kThumbHeight);
    m_backSaved = false;
    notify = notifyParent;
    return 1;
}

int CSliderBar::TrackLength() const {
    int min = 0, max = 0;
    GetRange(min, max);
    return MulDiv(max - min, spacing, 100);
}

int CSliderBar::SetPos(int value, BOOL redraw) {
    int min = 0, max = 0;
    GetRange(min, max);
    if (value < min || value > max) return -1;
    const int old = pos;
    pos = value;
    if (redraw && m_hWnd) Invalidate();
    return old;
}

void CSliderBar::SetRange(int min, int max) {
    SetScrollRange(min, max, FALSE);
}

void CSliderBar::GetRange(int& min, int& max) const {
    GetScrollRange(&min, &max);
}

void CSliderBar::SetLabels(BOOL on) {
    labels = on ? 1 : 0;
    if (m_hWnd) Invalidate();
}

void CSliderBar::Notify(UINT message, WPARAM value) {
    if (CWnd* parent = GetParent()) parent->SendMessage(message, value, 0);
}

void CSliderBar::OnPaint() {
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    const bool enabled = IsWindowEnabled() != FALSE;
    const bool win95 = IsWindows95Family();
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF light = GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF black = RGB(0, 0, 0);
    dc.FillSolidRect(&client, face);
    dc.Draw3dRect(&client, shadow, light);
    if (win95) {
        CRect inner = client;
        inner.DeflateRect(1, 1);
        dc.Draw3dRect(&inner, black, face);
    }

    int min = 0, max = 0;
    GetRange(min, max);
    const int track = TrackLength();
    // The groove, sunken: shadow and black above and left, highlight below and right.
    const int x0 = left + 4, x1 = left + track + 5;
    const int y0 = top + 3, y1 = top + 10;
    Line(dc, x0, y0, x1, y0, shadow);
    Line(dc, x0, y0, x0, y1, shadow);
    if (enabled) {
        Line(dc, x0 + 1, y0 + 1, x1 - 1, y0 + 1, black);
        Line(dc, x0 + 1, y0 + 1, x0 + 1, y1 - 1, black);
    }
    Line(dc, x0, y1, x1 + 1, y1, light);
    Line(dc, x1, y0, x1, y1, light);

    // The ticks, and their labels.
    CFont* font = GetParent() ? GetParent()->GetFont() : nullptr;
    CFont* oldFont = font ? dc.SelectObject(font) : nullptr;
    dc.SetBkMode(TRANSPARENT);
    dc.SetTextColor(GetSysColor(enabled ? COLOR_BTNTEXT : COLOR_GRAYTEXT));
    for (int v = 0; v <= max - min; v += tickStep) {
        const int x = left + 4 + MulDiv(v, spacing, 100);
        Line(dc, x, top + 15, x, top + 21, enabled ? black : shadow);
        Line(dc, x + 1, top + 15, x + 1, top + 21, enabled ? light : shadow);
        if (win95) Line(dc, x + 2, top + 15, x + 2, top + 21, enabled ? light : shadow);
        if (labels) {
            char text[16];
            const int n = std::snprintf(text, sizeof text, "%d", (min + v) / tickStep);
            dc.TextOut(x, top + 22, text, n);
        }
    }
    if (oldFont) dc.SelectObject(oldFont);

    thumbX = MulDiv(pos - min, spacing, 100);
    m_backSaved = false;
    DrawThumb(dc, GetFocus() == this ? kFrameFocused : kFrameNormal);
}

void CSliderBar::DrawThumb(CDC& dc, int frame) {
    CDC memory;
    const bool haveMemory = m_back.GetSafeHandle() && memory.CreateCompatibleDC(&dc);
    CBitmap* old = haveMemory ? memory.SelectObject(&m_back) : nullptr;
    if (haveMemory && m_backSaved)
        dc.BitBlt(left + m_backX, top, kThumbWidth, kThumbHeight, &memory, 0, 0, SRCCOPY);
    if (haveMemory) {
        memory.BitBlt(0, 0, kThumbWidth, kThumbHeight, &dc, left + thumbX, top, SRCCOPY);
        m_backSaved = true;
        m_backX = thumbX;
        memory.SelectObject(old);
    }
    Blit(dc, m_thumb, left + thumbX, top, kThumbWidth, kThumbHeight, frame, 0);
}

void CSliderBar::RedrawThumb(int frame) {
    if (!m_hWnd) return;
    CClientDC dc(this);
    DrawThumb(dc, frame);
}

void CSliderBar::OnLButtonDown(UINT, CPoint point) {
    const int x = point.x - left, y = point.y - top;
    if (GetFocus() != this) SetFocus();
    int min = 0, max = 0;
    GetRange(min, max);
    if (x >= thumbX && x < thumbX + kThumbWidth && y >= 0 && y < kThumbHeight) {
        SetCapture();
        m_captured = true;
        grabX = x - thumbX;
        grabY = y;
        RedrawThumb(kFramePressed);
        return;
    }
    if (y < 0 || y > 28) return;
    if (x < thumbX && pos > min)
        --pos;
    else if (x >= thumbX + kThumbWidth && pos < max)
        ++pos;
    else
        return;
    thumbX = MulDiv(pos - min, spacing, 100);
    Invalidate();
}

void CSliderBar::OnLButtonDblClk(UINT flags, CPoint point) {
    OnLButtonDown(flags, point);
}

void CSliderBar::OnMouseMove(UINT, CPoint point) {
    if (!m_captured) return;
    thumbX = std::clamp(static_cast<int>(point.x - left - grabX), 0, TrackLength());
    RedrawThumb(kFramePressed);
}

void CSliderBar::OnLButtonUp(UINT, CPoint) {
    if (!m_captured) return;
    m_captured = false;
    int min = 0, max = 0;
    GetRange(min, max);
    const int offset = spacing > 0 ? MulDiv(thumbX, 100, spacing) : 0;
    thumbX = MulDiv(offset, spacing, 100);
    pos = min + offset;
    RedrawThumb(kFrameFocused);
    ReleaseCapture();
    if (notify) Notify(kMsgSliderMoved, static_cast<WPARAM>(pos));
}

void CSliderBar::OnKeyDown(UINT ch, UINT, UINT) {
    int min = 0, max = 0;
    GetRange(min, max);
    switch (ch) {
        case VK_RIGHT:
        case VK_LEFT: {
            const int next = ch == VK_RIGHT ? pos + 1 : pos - 1;
            if (next < min || next > max) return;
            pos = next;
            Invalidate();
            if (notify) Notify(kMsgSliderMoved, static_cast<WPARAM>(pos));
            return;
        }
        case VK_UP:
        case VK_DOWN:
            Notify(kMsgSliderUpDown, 0);
            return;
        default:
            return;
    }
}

void CSliderBar::OnSetFocus(CWnd* old) {
    CScrollBar::OnSetFocus(old);
    RedrawThumb(kFrameFocused);
    Notify(kMsgSliderFocus, 0);
}

void CSliderBar::OnKillFocus(CWnd* next) {
    CScrollBar::OnKillFocus(next);
    RedrawThumb(kFrameNormal);
}

// ---------------------------------------------------------------------------------------------
// CBitmapScrollBar

BEGIN_MESSAGE_MAP(CBitmapScrollBar, CScrollBar)
    ON_WM_PAINT()
    ON_WM_LBUTTONDBLCLK()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_SETFOCUS()
    ON_WM_KILLFOCUS()
    ON_WM_KEYDOWN()
END_MESSAGE_MAP()

CBitmapScrollBar::CBitmapScrollBar(UINT trackBitmap, int trackWidth, int trackHeight)
    : width(trackWidth), height(trackHeight), m_trackId(trackBitmap) {
    m_track.LoadBitmap(m_trackId);
    m_thumb.LoadBitmap(kLevelThumbBitmap);
    useScrollInfo = IsWindowsNT4() ? 1 : 0;
}

CBitmapScrollBar::~CBitmapScrollBar() = default;

BOOL CBitmapScrollBar::Create(UINT controlId, CWnd* parent, int steps, int initial, BOOL tickFlag) {
    if (!parent || !SubclassDlgItem(controlId, parent)) return 0;
    SetWindowPos(nullptr, 0, 0, width, kLevelThumbHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetRange(1, steps + 2);
    CRect client;
    GetClientRect(&client);
    stepWidth = static_cast<double>(client.Width() - 14) / (steps + 1);
    const int index = (initial == 0 || initial > steps + 2) ? 0 : initial - 1;
    thumbX = static_cast<int>(index * stepWidth);
    pos = 1 + index;
    if (useScrollInfo) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_POS;
        info.nPos = pos;
        SetScrollInfo(&info, FALSE);
    } else {
        SetScrollPos(pos, FALSE);
    }
    ticks = tickFlag == 0 ? 1 : tickFlag;
    return 1;
}

void CBitmapScrollBar::SetRange(int min, int max) {
    if (useScrollInfo) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE;
        info.nMin = min;
        info.nMax = max;
        SetScrollInfo(&info, FALSE);
    } else {
        SetScrollRange(min, max, FALSE);
    }
}

void CBitmapScrollBar::GetRange(int& min, int& max) const {
    if (useScrollInfo) {
        SCROLLINFO info{};
        info.cbSize = sizeof info;
        info.fMask = SIF_RANGE;
        const_cast<CBitmapScrollBar*>(this)->GetScrollInfo(&info, SIF_RANGE);
        min = info.nMin;
        max = info.nMax;
    } else {
        GetScrollRange(&min, &max);
    }
}

int CBitmapScrollBar::GetPos() {
    int min = 0, max = 0;
    GetRange(min, max);
    if (pos > max - 2) pos = max - 2;
    return pos;
}

int CBitmapScrollBar::SetPos(int value, BOOL redraw) {
    int min = 0, max = 0;
    GetRange(min, max);
    const int old = pos;
    pos = std::clamp(value, min, std::max(min, max));
    if (m_hWnd) {
        if (useScrollInfo) {
            SCROLLINFO info{};
            info.cbSize = sizeof info;
            info.fMask = SIF_POS;
            info.nPos = pos;
            SetScrollInfo(&info, FALSE);
        } else {
            SetScrollPos(pos, FALSE);
        }
        if (redraw) Invalidate();
    }
    return old;
}

void CBitmapScrollBar::Notify(UINT message) {
    if (CWnd* parent = GetParent()) parent->SendMessage(message, 0, 0);
}

void CBitmapScrollBar::OnPaint() {
    CPaintDC dc(this);
    int min = 0, max = 0;
    GetRange(min, max);
    // Every position from the last step up is drawn as max − 1.
    if (pos > max - 3) pos = max - 1;
    thumbX = std::max(0, static_cast<int>((pos - min) * stepWidth));
    Blit(dc, m_track, 0, 0, width, height + 6, 0, 0);
    DrawThumb(dc, GetFocus() == this ? kLevelFrameFocused : kLevelFrameUnfocused);
}

void CBitmapScrollBar::DrawThumb(CDC& dc, int frame) {
    Blit(dc, m_thumb, thumbX, 0, kLevelThumbWidth, kLevelThumbHeight, frame, 0);
    // The track shows through the thumb's middle.
    Blit(dc, m_track, thumbX + 3, 3, 9, 18, thumbX + 3, 3);
}

void CBitmapScrollBar::RedrawThumb(int frame) {
    if (!m_hWnd) return;
    CClientDC dc(this);
    Blit(dc, m_track, 0, 0, width, height + 6, 0, 0);
    DrawThumb(dc, frame);
}

void CBitmapScrollBar::StepDown() {
    int min = 0, max = 0;
    GetRange(min, max);
    if (pos <= min) return;
    SetPos(pos >= max - 2 ? max - 3 : pos - 1, TRUE);
}

void CBitmapScrollBar::OnLButtonDown(UINT, CPoint point) {
    int min = 0, max = 0;
    GetRange(min, max);
    if (point.x >= thumbX && point.x < thumbX + kLevelThumbWidth && point.y >= 0 && point.y < kLevelThumbHeight) {
        if (useScrollInfo) return;
        if (GetFocus() != this) SetFocus();
        SetCapture();
        m_captured = true;
        grabX = point.x - thumbX;
        grabY = point.y;
        RedrawThumb(kLevelFramePressed);
        return;
    }
    if (point.y < 3 || point.y > 20) return;
    if (GetFocus() != this) SetFocus();
    if (point.x < thumbX)
        StepDown();
    else if (pos < max)
        SetPos(pos + 1, TRUE);
}

void CBitmapScrollBar::OnLButtonDblClk(UINT flags, CPoint point) {
    OnLButtonDown(flags, point);
}

void CBitmapScrollBar::OnMouseMove(UINT, CPoint point) {
    if (!m_captured) return;
    int min = 0, max = 0;
    GetRange(min, max);
    const int limit = static_cast<int>((max - min) * stepWidth);
    thumbX = std::clamp(static_cast<int>(point.x - grabX), 0, limit);
    RedrawThumb(kLevelFramePressed);
}

void CBitmapScrollBar::OnLButtonUp(UINT, CPoint) {
    if (!m_captured) return;
    m_captured = false;
    int min = 0, max = 0;
    GetRange(min, max);
    int step = static_cast<int>(std::lround(thumbX / stepWidth));
    int value = min + step;
    if (value > max - 3) {
        if (value == max)
            --step;
        else if (value == max - 2)
            ++step;
        value = min + step;
    }
    thumbX = static_cast<int>(step * stepWidth);
    RedrawThumb(kLevelFrameFocused);
    ReleaseCapture();
    SetPos(value, FALSE);
}

void CBitmapScrollBar::OnKeyDown(UINT ch, UINT, UINT) {
    int min = 0, max = 0;
    GetRange(min, max);
    switch (ch) {
        case VK_RIGHT:
            if (pos < max) SetPos(pos + 1, TRUE);
            return;
        case VK_LEFT:
            StepDown();
            return;
        case VK_UP:
        case VK_DOWN:
            Notify(kMsgSliderUpDown);
            return;
        default:
            return;
    }
}

void CBitmapScrollBar::OnSetFocus(CWnd* old) {
    CScrollBar::OnSetFocus(old);
    RedrawThumb(kLevelFrameFocused);
    Notify(kMsgSliderFocus);
}

void CBitmapScrollBar::OnKillFocus(CWnd* next) {
    CScrollBar::OnKillFocus(next);
    RedrawThumb(kLevelFrameUnfocused);
}
