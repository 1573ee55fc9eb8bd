// The controls' own parts of Windows 95's look (the edges, faces and frames they share with
// the message boxes and the framework are platform/gdi/look95.h): check and radio glyphs,
// scroll-bar parts, disabled text, fonts.
#include <algorithm>

#include "platform/controls/controls_internal.h"

namespace plat::dlg {

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

// ---- Fonts --------------------------------------------------------------------------------------

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
