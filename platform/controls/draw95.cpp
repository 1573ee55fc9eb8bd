// Windows 95's look, drawn with the static colours only: 3-D edges, push-button faces, check
// and radio glyphs, scroll-bar parts, disabled text, and the frame and caption of dialogs.
#include <algorithm>
#include <cstring>

#include "platform/controls/controls_internal.h"
#include "platform/fonts/font_registry.h"

namespace plat::dlg {

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

namespace {

void Pixels(HDC dc, int x, int y, std::initializer_list<const char*> rows, char key, COLORREF c) {
    int row = 0;
    for (const char* line : rows) {
        for (int col = 0; line[col]; ++col)
            if (line[col] == key) Fill(dc, x + col, y + row, x + col + 1, y + row + 1, c);
        ++row;
    }
}

constexpr std::initializer_list<const char*> kCheckMark = {"......X", ".....XX", "X...XXX", "XX.XXX.",
                                                            "XXXXX..", ".XXX...", "..X...."};

// O outer ring, I inner ring, W inside.
constexpr const char* kRadioShape[12] = {"....OOOO....", "..OOIIIIOO..", ".OIIWWWWIIO.", ".OIWWWWWWIO.",
                                         "OIWWWWWWWWIO", "OIWWWWWWWWIO", "OIWWWWWWWWIO", "OIWWWWWWWWIO",
                                         ".OIWWWWWWIO.", ".OIIWWWWIIO.", "..OOIIIIOO..", "....OOOO...."};

}  // namespace

void CheckBoxGlyph(HDC dc, int x, int y, UINT check, bool pushed, bool enabled) {
    const RECT box{x, y, x + 13, y + 13};
    SunkenEdge(dc, box);
    Fill(dc, Inset(box, 2), pushed || !enabled ? kFace : kWindow);
    if (check == BST_CHECKED || check == BST_INDETERMINATE)
        Pixels(dc, x + 3, y + 3, kCheckMark, 'X', check == BST_INDETERMINATE || !enabled ? kShadow : kDark);
}

void RadioGlyph(HDC dc, int x, int y, bool checked, bool pushed, bool enabled) {
    for (int row = 0; row < 12; ++row)
        for (int col = 0; col < 12; ++col) {
            const char k = kRadioShape[row][col];
            if (k == '.') continue;
            const bool upperLeft = row + col < 11;
            COLORREF c = kWindow;
            if (k == 'O') c = upperLeft ? kShadow : kHighlight;
            if (k == 'I') c = upperLeft ? kDark : kFace;
            if (k == 'W') c = pushed || !enabled ? kFace : kWindow;
            Fill(dc, x + col, y + row, x + col + 1, y + row + 1, c);
        }
    if (checked) Pixels(dc, x + 4, y + 4, {".XX.", "XXXX", "XXXX", ".XX."}, 'X', enabled ? kDark : kShadow);
}

void ArrowGlyph(HDC dc, int cx, int cy, Arrow arrow, COLORREF colour) {
    // A triangle of 4 rows (7, 5, 3, 1 pixels) pointing the arrow's way, centred on (cx, cy).
    for (int i = 0; i < 4; ++i) {
        const int half = 3 - i;
        switch (arrow) {
            case Arrow::Down: Fill(dc, cx - half, cy - 2 + i, cx + half + 1, cy - 1 + i, colour); break;
            case Arrow::Up: Fill(dc, cx - half, cy + 1 - i, cx + half + 1, cy + 2 - i, colour); break;
            case Arrow::Right: Fill(dc, cx - 2 + i, cy - half, cx - 1 + i, cy + half + 1, colour); break;
            case Arrow::Left: Fill(dc, cx + 1 - i, cy - half, cx + 2 - i, cy + half + 1, colour); break;
        }
    }
}

void ArrowButton(HDC dc, const RECT& r, Arrow arrow, bool pushed, bool enabled) {
    if (pushed) {
        Edge(dc, r, kShadow, kShadow);
        Fill(dc, Inset(r, 1), kFace);
    } else {
        Edge(dc, r, kFace, kDark);
        Edge(dc, Inset(r, 1), kHighlight, kShadow);
        Fill(dc, Inset(r, 2), kFace);
    }
    const int cx = (r.left + r.right - 1) / 2 + (pushed ? 1 : 0);
    const int cy = (r.top + r.bottom - 1) / 2 + (pushed ? 1 : 0);
    if (enabled) {
        ArrowGlyph(dc, cx, cy, arrow, kDark);
    } else {
        ArrowGlyph(dc, cx + 1, cy + 1, arrow, kHighlight);
        ArrowGlyph(dc, cx, cy, arrow, kShadow);
    }
}

void DrawStateText(HDC dc, const std::string& text, RECT r, UINT format, bool enabled, COLORREF colour) {
    SetBkMode(dc, TRANSPARENT);
    if (enabled) {
        SetTextColor(dc, colour);
        DrawText(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
        return;
    }
    RECT shifted{r.left + 1, r.top + 1, r.right + 1, r.bottom + 1};
    SetTextColor(dc, kHighlight);
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &shifted, format);
    SetTextColor(dc, kShadow);
    DrawText(dc, text.c_str(), static_cast<int>(text.size()), &r, format);
}

// ---- Window frames --------------------------------------------------------------------------------

namespace {

constexpr int kCaptionHeight = 18;
constexpr int kCloseWidth = 16;
constexpr int kCloseHeight = 14;
constexpr const char* kCloseGlyph[] = {"XX    XX", " XX  XX ", "  XXXX  ", "   XX   ",
                                       "  XXXX  ", " XX  XX ", "XX    XX"};

int FrameWidth(HWND hwnd) {
    const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    const DWORD ex = static_cast<DWORD>(GetWindowLong(hwnd, GWL_EXSTYLE));
    if (style & WS_THICKFRAME) return GetSystemMetrics(SM_CXFRAME);
    if ((style & WS_DLGFRAME) || (ex & WS_EX_DLGMODALFRAME)) return GetSystemMetrics(SM_CXDLGFRAME);
    if (style & WS_BORDER) return GetSystemMetrics(SM_CXBORDER);
    return 0;
}

bool HasCaption(HWND hwnd) {
    return (static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE)) & WS_CAPTION) == WS_CAPTION;
}

}  // namespace

SIZE NonClientExtra(HWND hwnd) {
    const int frame = FrameWidth(hwnd);
    return SIZE{2 * frame, 2 * frame + (HasCaption(hwnd) ? GetSystemMetrics(SM_CYCAPTION) : 0)};
}

RECT CloseBoxRect(HWND hwnd) {
    RECT wr;
    if (!HasCaption(hwnd) || !(GetWindowLong(hwnd, GWL_STYLE) & WS_SYSMENU) || !GetWindowRect(hwnd, &wr)) return RECT{};
    const int frame = FrameWidth(hwnd);
    const int width = wr.right - wr.left;
    const int left = width - frame - 2 - kCloseWidth;
    return RECT{left, frame + 2, left + kCloseWidth, frame + 2 + kCloseHeight};
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
    if (frame == 1) {
        Edge(dc, all, kDark, kDark);
    } else if (frame >= 2) {
        Edge(dc, all, kFace, kDark);
        Edge(dc, Inset(all, 1), kHighlight, kShadow);
        for (int i = 2; i < frame; ++i) Edge(dc, Inset(all, i), kFace, kFace);
    }
    if (caption) {
        const bool active = GetActiveWindow() == hwnd;
        const RECT bar{frame, frame, all.right - frame, frame + kCaptionHeight};
        Fill(dc, bar, active ? kCaption : kInactiveCaption);
        const RECT close = CloseBoxRect(hwnd);
        HFONT bold = MakeDialogFont(true);
        HGDIOBJ old = SelectObject(dc, bold);
        SetBkMode(dc, TRANSPARENT);
        SetTextColor(dc, active ? kHighlight : kInactiveCaptionText);
        const std::string title = WindowText(hwnd);
        RECT text{bar.left + 3, bar.top, (close.right > close.left ? close.left : bar.right) - 2, bar.bottom};
        DrawText(dc, title.c_str(), static_cast<int>(title.size()), &text,
                 DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
        SelectObject(dc, old);
        DeleteObject(bold);
        if (close.right > close.left) {
            const bool pushed = CloseBoxPressed(hwnd);
            if (pushed) {
                Edge(dc, close, kDark, kHighlight);
                Edge(dc, Inset(close, 1), kShadow, kFace);
                Fill(dc, Inset(close, 2), kFace);
            } else {
                Edge(dc, close, kHighlight, kDark);
                Edge(dc, Inset(close, 1), kFace, kShadow);
                Fill(dc, Inset(close, 2), kFace);
            }
            const int gx = close.left + (kCloseWidth - 8) / 2 + (pushed ? 1 : 0);
            const int gy = close.top + (kCloseHeight - 7) / 2 + (pushed ? 1 : 0);
            for (int y = 0; y < 7; ++y)
                for (int x = 0; x < 8; ++x)
                    if (kCloseGlyph[y][x] == 'X') Fill(dc, gx + x, gy + y, gx + x + 1, gy + y + 1, kDark);
        }
    }
    ReleaseDC(hwnd, dc);
}

// ---- Fonts --------------------------------------------------------------------------------------

HFONT MakeDialogFont(bool bold) {
    return CreateFont(13, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, ANSI_CHARSET, OUT_DEFAULT_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, static_cast<DWORD>(VARIABLE_PITCH) | FF_SWISS,
                      kDialogFaceName);
}

HFONT ControlFont(HWND hwnd) {
    HFONT f = reinterpret_cast<HFONT>(SendMessage(hwnd, WM_GETFONT, 0, 0));
    if (f && GetObjectType(f) == OBJ_FONT) return f;
    return GetStockObject(DEFAULT_GUI_FONT);
}

SIZE BaseUnits(HFONT font) {
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font ? font : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRIC tm;
    GetTextMetrics(dc, &tm);
    SIZE s{};
    static const char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    GetTextExtentPoint32(dc, kLetters, 52, &s);
    SelectObject(dc, old);
    DeleteDC(dc);
    return SIZE{(s.cx / 26 + 1) / 2, tm.tmHeight};
}

int TextHeight(HDC dc) {
    TEXTMETRIC tm;
    return GetTextMetrics(dc, &tm) ? tm.tmHeight : 13;
}

int TextWidth(HDC dc, const std::string& text) {
    SIZE s{};
    GetTextExtentPoint32(dc, text.c_str(), static_cast<int>(text.size()), &s);
    return s.cx;
}

// ---- Scroll bars ----------------------------------------------------------------------------------

int ScrollModel::MaxPos() const {
    const int m = page > 0 ? max - page + 1 : max;
    return std::max(min, m);
}

void ScrollModel::Layout(const RECT& r, RECT& first, RECT& second, RECT& thumb) const {
    const int length = vertical ? r.bottom - r.top : r.right - r.left;
    const int breadth = vertical ? r.right - r.left : r.bottom - r.top;
    int arrow = std::min(breadth, length / 2);
    const int track = length - 2 * arrow;
    thumb = RECT{};
    if (vertical) {
        first = RECT{r.left, r.top, r.right, r.top + arrow};
        second = RECT{r.left, r.bottom - arrow, r.right, r.bottom};
    } else {
        first = RECT{r.left, r.top, r.left + arrow, r.bottom};
        second = RECT{r.right - arrow, r.top, r.right, r.bottom};
    }
    if (!enabled || max <= min) return;
    int thumbLen = breadth;
    if (page > 0) thumbLen = std::max(8, static_cast<int>(int64_t(track) * page / (max - min + 1)));
    if (thumbLen > track || track < 8) return;
    const int span = MaxPos() - min;
    const int offset = span > 0 ? static_cast<int>(int64_t(track - thumbLen) * (std::clamp(pos, min, MaxPos()) - min) / span) : 0;
    if (vertical)
        thumb = RECT{r.left, r.top + arrow + offset, r.right, r.top + arrow + offset + thumbLen};
    else
        thumb = RECT{r.left + arrow + offset, r.top, r.left + arrow + offset + thumbLen, r.bottom};
}

int ScrollModel::PosFromThumb(const RECT& r, int offset) const {
    RECT a, b, t;
    Layout(r, a, b, t);
    const int length = vertical ? r.bottom - r.top : r.right - r.left;
    const int arrow = vertical ? a.bottom - a.top : a.right - a.left;
    const int thumbLen = vertical ? t.bottom - t.top : t.right - t.left;
    const int track = length - 2 * arrow - thumbLen;
    if (track <= 0) return min;
    const int span = MaxPos() - min;
    const int clamped = std::clamp(offset, 0, track);
    return min + static_cast<int>((int64_t(clamped) * span + track / 2) / track);
}

void PaintScrollBar(HDC dc, const RECT& r, const ScrollModel& m, ScrollPart pressed, bool focused) {
    RECT first, second, thumb;
    m.Layout(r, first, second, thumb);
    const bool usable = m.enabled && m.max > m.min;
    ArrowButton(dc, first, m.vertical ? Arrow::Up : Arrow::Left, pressed == ScrollPart::LineUp, usable);
    ArrowButton(dc, second, m.vertical ? Arrow::Down : Arrow::Right, pressed == ScrollPart::LineDown, usable);
    const RECT track = m.vertical ? RECT{r.left, first.bottom, r.right, second.top}
                                  : RECT{first.right, r.top, second.left, r.bottom};
    // The track: a halftone of white and face, black where a page press holds it.
    for (LONG y = track.top; y < track.bottom; ++y) {
        Fill(dc, track.left, y, track.right, y + 1, kFace);
        for (LONG x = track.left + ((track.left + y) & 1); x < track.right; x += 2)
            Fill(dc, x, y, x + 1, y + 1, kHighlight);
    }
    if (thumb.right > thumb.left) {
        if (pressed == ScrollPart::PageUp || pressed == ScrollPart::PageDown) {
            const RECT part = pressed == ScrollPart::PageUp
                                  ? (m.vertical ? RECT{track.left, track.top, track.right, thumb.top}
                                                : RECT{track.left, track.top, thumb.left, track.bottom})
                                  : (m.vertical ? RECT{track.left, thumb.bottom, track.right, track.bottom}
                                                : RECT{thumb.right, track.top, track.right, track.bottom});
            Fill(dc, part, kDark);
        }
        Edge(dc, thumb, kFace, kDark);
        Edge(dc, Inset(thumb, 1), kHighlight, kShadow);
        Fill(dc, Inset(thumb, 2), kFace);
        if (focused) FocusRect(dc, Inset(thumb, 3));
    }
}

ScrollPart HitScrollBar(const RECT& r, const ScrollModel& m, POINT p) {
    auto in = [&](const RECT& x) { return PtInRect(&x, p) != FALSE; };
    if (!in(r)) return ScrollPart::None;
    RECT first, second, thumb;
    m.Layout(r, first, second, thumb);
    if (in(first)) return ScrollPart::LineUp;
    if (in(second)) return ScrollPart::LineDown;
    if (thumb.right <= thumb.left) return ScrollPart::None;
    if (in(thumb)) return ScrollPart::Thumb;
    const bool before = m.vertical ? p.y < thumb.top : p.x < thumb.left;
    return before ? ScrollPart::PageUp : ScrollPart::PageDown;
}

}  // namespace plat::dlg
