// Windows 95's edges, faces, frames, caption bars and close boxes (see look95.h).
#include "platform/gdi/look95.h"

#include <algorithm>

#include "platform/fonts/font_registry.h"

namespace plat::look {

void Fill(HDC dc, const RECT& r, COLORREF c) {
    if (r.right > r.left && r.bottom > r.top) FillSolid(dc, r, c);
}

void Fill(HDC dc, LONG left, LONG top, LONG right, LONG bottom, COLORREF c) {
    Fill(dc, RECT{left, top, right, bottom}, c);
}

void Edge(HDC dc, const RECT& r, COLORREF topLeft, COLORREF bottomRight) {
    Fill(dc, r.left, r.top, r.right - 1, r.top + 1, topLeft);
    Fill(dc, r.left, r.top, r.left + 1, r.bottom - 1, topLeft);
    Fill(dc, r.left, r.bottom - 1, r.right, r.bottom, bottomRight);
    Fill(dc, r.right - 1, r.top, r.right, r.bottom, bottomRight);
}

void RaisedEdge(HDC dc, const RECT& r) {
    Edge(dc, r, kHighlight, kDark);
    Edge(dc, Inset(r, 1), kFace, kShadow);
}

void SunkenEdge(HDC dc, const RECT& r) {
    Edge(dc, r, kShadow, kHighlight);
    Edge(dc, Inset(r, 1), kDark, kFace);
}

void EtchedRect(HDC dc, const RECT& r) {
    const RECT outer{r.left, r.top, r.right - 1, r.bottom - 1};
    const RECT inner{r.left + 1, r.top + 1, r.right, r.bottom};
    Edge(dc, inner, kHighlight, kHighlight);
    Edge(dc, outer, kShadow, kShadow);
}

void FocusRect(HDC dc, const RECT& r) {
    if (IsRectEmpty(&r)) return;
    for (LONG x = r.left; x < r.right; ++x)
        for (LONG y : {r.top, r.bottom - 1})
            if (((x + y) & 1) == 0) Fill(dc, x, y, x + 1, y + 1, kDark);
    for (LONG y = r.top + 1; y < r.bottom - 1; ++y)
        for (LONG x : {r.left, r.right - 1})
            if (((x + y) & 1) == 0) Fill(dc, x, y, x + 1, y + 1, kDark);
}

void ButtonFace(HDC dc, const RECT& rect, bool isDefault, bool pushed) {
    RECT r = rect;
    if (isDefault || pushed) {
        Edge(dc, r, kDark, kDark);
        r = Inset(r, 1);
    }
    if (pushed) {
        Edge(dc, r, kShadow, kShadow);
        Fill(dc, Inset(r, 1), kFace);
    } else {
        RaisedEdge(dc, r);
        Fill(dc, Inset(r, 2), kFace);
    }
}

HFONT MakeDialogFont(bool bold) {
    return CreateFont(13, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, static_cast<DWORD>(VARIABLE_PITCH) | FF_SWISS,
                      kDialogFaceName);
}

// ---- Frames and captions ----------------------------------------------------------------------------

namespace {

constexpr const char* kCloseGlyph[] = {"XX    XX", " XX  XX ", "  XXXX  ", "   XX   ",
                                       "  XXXX  ", " XX  XX ", "XX    XX"};

bool HasCaption(HWND hwnd) {
    return (static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & WS_CAPTION) == WS_CAPTION;
}

std::string WindowTitle(HWND hwnd) {
    const int n = GetWindowTextLength(hwnd);
    std::string s(static_cast<size_t>(std::max(0, n)) + 1, '\0');
    const int got = GetWindowText(hwnd, s.data(), n + 1);
    s.resize(static_cast<size_t>(std::max(0, got)));
    return s;
}

bool IsDialog(HWND hwnd) {
    char name[16] = {};
    return hwnd && GetClassName(hwnd, name, static_cast<int>(sizeof(name))) > 0 && std::string(name) == "#32770";
}

}  // namespace

void FrameEdges(HDC dc, const RECT& all, int width) {
    if (width == 1) {
        Edge(dc, all, kDark, kDark);
    } else if (width >= 2) {
        Edge(dc, all, kFace, kDark);
        Edge(dc, Inset(all, 1), kHighlight, kShadow);
        for (int i = 2; i < width; ++i) Edge(dc, Inset(all, i), kFace, kFace);
    }
}

void CaptionBar(HDC dc, const RECT& bar, const std::string& title, HFONT bold, bool active, LONG textRight) {
    Fill(dc, bar, active ? kCaption : kInactiveCaption);
    HGDIOBJ old = SelectObject(dc, bold);
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, active ? kHighlight : kInactiveCaptionText);
    RECT text{bar.left + 3, bar.top, textRight - 2, bar.bottom};
    DrawText(dc, title.c_str(), static_cast<int>(title.size()), &text,
             DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    SelectObject(dc, old);
}

RECT CloseBoxAt(int windowWidth, int frame) {
    const int left = windowWidth - frame - 2 - kCloseWidth;
    return RECT{left, frame + 2, left + kCloseWidth, frame + 2 + kCloseHeight};
}

void CloseBox(HDC dc, const RECT& r, bool pushed, bool enabled) {
    if (pushed) {
        Edge(dc, r, kDark, kHighlight);
        Edge(dc, Inset(r, 1), kShadow, kFace);
    } else {
        Edge(dc, r, kHighlight, kDark);
        Edge(dc, Inset(r, 1), kFace, kShadow);
    }
    Fill(dc, Inset(r, 2), kFace);
    const int gx = r.left + (kCloseWidth - 8) / 2 + (pushed ? 1 : 0);
    const int gy = r.top + (kCloseHeight - 7) / 2 + (pushed ? 1 : 0);
    // Disabled: a white cross one pixel down and right under a grey one.
    for (int pass = enabled ? 1 : 0; pass < 2; ++pass) {
        const int off = pass == 0 ? 1 : 0;
        const COLORREF c = enabled ? kDark : (pass == 0 ? kHighlight : kShadow);
        for (int y = 0; y < 7; ++y)
            for (int x = 0; x < 8; ++x)
                if (kCloseGlyph[y][x] == 'X') Fill(dc, gx + x + off, gy + y + off, gx + x + off + 1, gy + y + off + 1, c);
    }
}

// ---- A window's own frame ---------------------------------------------------------------------------

int FrameWidth(HWND hwnd) {
    const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    const DWORD ex = static_cast<DWORD>(GetWindowLong(hwnd, GWL_EXSTYLE));
    if (style & WS_THICKFRAME) return GetSystemMetrics(SM_CXFRAME);
    if ((style & WS_DLGFRAME) || (ex & WS_EX_DLGMODALFRAME)) return GetSystemMetrics(SM_CXDLGFRAME);
    if (style & WS_BORDER) return GetSystemMetrics(SM_CXBORDER);
    return 0;
}

SIZE NonClientExtra(HWND hwnd) {
    const int frame = FrameWidth(hwnd);
    return SIZE{2 * frame, 2 * frame + (HasCaption(hwnd) ? GetSystemMetrics(SM_CYCAPTION) : 0)};
}

RECT CloseBoxRect(HWND hwnd) {
    RECT wr;
    if (!HasCaption(hwnd) || !(GetWindowLong(hwnd, GWL_STYLE) & WS_SYSMENU) || !GetWindowRect(hwnd, &wr)) return RECT{};
    return CloseBoxAt(wr.right - wr.left, FrameWidth(hwnd));
}

bool CloseBoxPressed(HWND hwnd) {
    return IsDialog(hwnd) && SendMessage(hwnd, kMsgCloseBoxPressed, 0, 0) != 0;
}

void PaintWindowFrame(HWND hwnd) {
    RECT wr;
    if (!IsWindowVisible(hwnd) || !GetWindowRect(hwnd, &wr)) return;
    const int frame = FrameWidth(hwnd);
    const bool caption = HasCaption(hwnd);
    if (frame == 0 && !caption) return;
    HDC dc = GetWindowDC(hwnd);
    if (!dc) return;
    const RECT all{0, 0, wr.right - wr.left, wr.bottom - wr.top};
    FrameEdges(dc, all, frame);
    if (caption) {
        const RECT bar{frame, frame, all.right - frame, frame + kCaptionHeight};
        const RECT close = CloseBoxRect(hwnd);
        const bool hasClose = close.right > close.left;
        HFONT bold = MakeDialogFont(true);
        CaptionBar(dc, bar, WindowTitle(hwnd), bold, GetActiveWindow() == hwnd, hasClose ? close.left : bar.right);
        DeleteObject(bold);
        if (hasClose) CloseBox(dc, close, CloseBoxPressed(hwnd), true);
    }
    ReleaseDC(hwnd, dc);
}

}  // namespace plat::look
