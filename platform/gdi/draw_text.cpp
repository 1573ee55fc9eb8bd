// DrawText: lines, word breaks, alignment in a rectangle, tabs and '&' mnemonics, drawn line
// by line with the ExtTextOut machinery.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdi/text_internal.h"

namespace plat::gdi {
namespace {

// One line after '&' prefixes are taken out: the bytes and which of them are underlined.
struct Line {
    std::string text;
    std::vector<bool> underlined;
};

struct Layout {
    const BitmapFace* face = nullptr;
    bool expandTabs = false;
    int64_t tabWidth = 0;

    bool IsTab(char c) const { return expandTabs && c == '\t'; }
    // Advance of each byte of text starting at x0 from the line's start (tabs jump to stops).
    int64_t Width(const std::string& text, size_t from, size_t to, int64_t x0 = 0) const {
        int64_t x = x0;
        for (size_t i = from; i < to; ++i) x = Next(text[i], x);
        return x - x0;
    }
    int64_t Next(char c, int64_t x) const {
        if (IsTab(c)) return tabWidth > 0 ? (x / tabWidth + 1) * tabWidth : x;
        return std::min(x + face->Advance(static_cast<uint8_t>(c)), kMaxTextExtent);
    }
};

Line StripPrefixes(std::string_view raw, bool prefixes) {
    Line line;
    for (size_t i = 0; i < raw.size(); ++i) {
        char c = raw[i];
        bool ul = false;
        if (prefixes && c == '&') {
            if (i + 1 >= raw.size()) break;  // a lone '&' at the end shows nothing
            c = raw[++i];
            ul = c != '&';
        }
        line.text.push_back(c);
        line.underlined.push_back(ul);
    }
    return line;
}

Line Slice(const Line& l, size_t from, size_t to) {
    Line out;
    out.text = l.text.substr(from, to - from);
    out.underlined.assign(l.underlined.begin() + static_cast<ptrdiff_t>(from),
                          l.underlined.begin() + static_cast<ptrdiff_t>(to));
    return out;
}

// Breaks a line at blanks so that each piece fits width; a word wider than width keeps a
// piece of its own. Blanks at a break are dropped.
void WordBreak(const Line& line, const Layout& layout, int64_t width, std::vector<Line>& out) {
    const std::string& t = line.text;
    const size_t n = t.size();
    auto blank = [&](size_t i) { return t[i] == ' ' || layout.IsTab(t[i]); };
    size_t start = 0;
    do {
        size_t end = start;
        size_t i = start;
        bool any = false;
        while (i < n) {
            size_t j = i;
            while (j < n && blank(j)) ++j;
            while (j < n && !blank(j)) ++j;
            if (any && layout.Width(t, start, j) > width) break;
            end = j;
            any = true;
            i = j;
        }
        size_t cut = end;
        if (end < n)
            while (cut > start && t[cut - 1] == ' ') --cut;
        out.push_back(Slice(line, start, cut));
        start = end;
        while (start < n && blank(start)) ++start;
    } while (start < n);
}

}  // namespace
}  // namespace plat::gdi

using namespace plat;
using namespace plat::gdi;

int DrawText(HDC hdc, LPCSTR text, int count, RECT* rect, UINT format) {
    FontUse font;
    if (!rect || (!text && count != 0) || !FontOfDc(hdc, font)) return 0;
    const size_t length = count < 0 ? std::strlen(text) : static_cast<size_t>(count);
    if (length > (size_t(1) << 24)) return 0;
    const std::string_view all(text ? text : "", length);
    const BitmapFace& face = *font.face;

    // With DT_TABSTOP the second byte is the tab size, so the flags that live there are off.
    int tabChars = 8;
    if (format & DT_TABSTOP) {
        tabChars = static_cast<int>((format >> 8) & 0xFF);
        if (tabChars == 0) tabChars = 8;
        format &= 0xFF;
    }
    Layout layout;
    layout.face = &face;
    layout.expandTabs = (format & DT_EXPANDTABS) != 0;
    layout.tabWidth = static_cast<int64_t>(tabChars) * std::max(face.avgWidth, 1);
    const bool single = (format & DT_SINGLELINE) != 0;
    const bool prefixes = !(format & DT_NOPREFIX);
    const int lineHeight = face.height + ((format & DT_EXTERNALLEADING) ? face.externalLeading : 0);
    const int64_t rectWidth = static_cast<int64_t>(rect->right) - rect->left;

    std::vector<Line> lines;
    auto addLine = [&](std::string_view raw) {
        Line line = StripPrefixes(raw, prefixes);
        if (!single && (format & DT_WORDBREAK))
            WordBreak(line, layout, rectWidth, lines);
        else
            lines.push_back(std::move(line));
    };
    if (single) {
        addLine(all);
    } else {
        size_t start = 0;
        for (;;) {
            size_t end = start;
            while (end < all.size() && all[end] != '\r' && all[end] != '\n') ++end;
            addLine(all.substr(start, end - start));
            if (end >= all.size()) break;
            start = end + ((all[end] == '\r' && end + 1 < all.size() && all[end + 1] == '\n') ? 2 : 1);
            if (start >= all.size()) break;
        }
    }

    std::vector<int64_t> widths;
    int64_t maxWidth = 0;
    for (const Line& l : lines) {
        widths.push_back(layout.Width(l.text, 0, l.text.size()));
        maxWidth = std::max(maxWidth, widths.back());
    }
    const int64_t height = static_cast<int64_t>(lines.size()) * lineHeight;

    int64_t top = rect->top;
    if (single && (format & DT_VCENTER))
        top = rect->top + (static_cast<int64_t>(rect->bottom) - rect->top - lineHeight) / 2;
    else if (single && (format & DT_BOTTOM))
        top = static_cast<int64_t>(rect->bottom) - lineHeight;
    const int result = static_cast<int>(std::min<int64_t>(top - rect->top + height, kMaxTextExtent));

    if (format & DT_CALCRECT) {
        rect->right = static_cast<LONG>(std::min<int64_t>(rect->left + maxWidth, kMaxTextExtent));
        rect->bottom = static_cast<LONG>(std::min<int64_t>(rect->top + height, kMaxTextExtent));
        return static_cast<int>(std::min<int64_t>(height, kMaxTextExtent));
    }

    // Lines are drawn from their top left corner, whatever the DC's text alignment.
    const UINT oldAlign = GetTextAlign(hdc);
    SetTextAlign(hdc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    const UINT options = (format & DT_NOCLIP) ? 0u : static_cast<UINT>(ETO_CLIPPED);
    for (size_t i = 0; i < lines.size(); ++i) {
        const Line& l = lines[i];
        int64_t x = rect->left;
        if (format & DT_RIGHT)
            x = static_cast<int64_t>(rect->right) - widths[i];
        else if (format & DT_CENTER)
            x = rect->left + (rectWidth - widths[i]) / 2;
        const int64_t y = top + static_cast<int64_t>(i) * lineHeight;
        if (y > kMaxTextExtent || x > kMaxTextExtent || x < -kMaxTextExtent) break;

        // Tabs become blanks as wide as the jump to the next stop.
        std::string bytes = l.text;
        std::vector<INT> dx(bytes.size());
        std::vector<std::pair<int, int>> marks;
        int64_t pen = 0;
        for (size_t k = 0; k < bytes.size(); ++k) {
            const int64_t next = layout.Next(bytes[k], pen);
            dx[k] = static_cast<INT>(next - pen);
            if (layout.IsTab(bytes[k])) bytes[k] = ' ';
            if (l.underlined[k]) marks.emplace_back(static_cast<int>(k), 1);
            pen = next;
        }
        DrawTextRun(hdc, font, static_cast<int>(x), static_cast<int>(y), options, rect, bytes, dx.data(),
                    &marks);
    }
    SetTextAlign(hdc, oldAlign);
    return result;
}
