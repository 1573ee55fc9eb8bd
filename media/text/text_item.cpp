#include "media/text/text_item.h"

#include <algorithm>
#include <limits>
#include <new>
#include <vector>

#include "media/surface/dibg.h"
#include "media/text/font_table.h"
#include "media/text/text_host.h"
#include "platform/afx/exceptions.h"
#include "platform/afxwin/cdc.h"
#include "platform/core/rect.h"

IMPLEMENT_DYNAMIC(CText, CObject)

namespace {

int g_lineRecordsLeft = -1;

constexpr COLORREF kMarkerColour = RGB(255, 0, 0);
// The picture colours are chosen among the palette's own entries, between the static colours.
constexpr int kFirstPictureIndex = 10;
constexpr int kLastPictureIndex = 245;

bool IsSeparator(char c) {
    return c == ' ' || c == '\r' || c == '\n';
}

// Calls f(start, wordLength, gapLength) for each word of s with the separators that follow
// it; separators before the first word come as a word of length 0.
template <class F>
void ForEachWord(std::string_view s, F&& f) {
    size_t i = 0;
    while (i < s.size()) {
        const size_t start = i;
        while (i < s.size() && !IsSeparator(s[i])) ++i;
        const size_t wordEnd = i;
        while (i < s.size() && IsSeparator(s[i])) ++i;
        f(start, wordEnd - start, i - wordEnd);
    }
}

int32_t CountWords(std::string_view s) {
    int32_t n = 0;
    ForEachWord(s, [&](size_t, size_t length, size_t) {
        if (length) ++n;
    });
    return n;
}

int32_t ClampTo32(int64_t v) {
    return static_cast<int32_t>(
        std::clamp<int64_t>(v, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max()));
}

// The font of a number of any width; numbers outside 16 bits are outside the table.
bool MakeFont(int64_t number, CCorFont& font) {
    if (number < std::numeric_limits<int16_t>::min() || number > std::numeric_limits<int16_t>::max()) {
        font.DeleteObject();
        return false;
    }
    return CreateFontByNumber(static_cast<int16_t>(number), font) != FALSE;
}

SIZE Extent(HDC dc, std::string_view s) {
    SIZE size{};
    if (!s.empty()) GetTextExtentPoint(dc, s.data(), static_cast<int>(s.size()), &size);
    return size;
}

void Out(HDC dc, int64_t x, int64_t y, std::string_view s) {
    if (!s.empty()) TextOut(dc, ClampTo32(x), ClampTo32(y), s.data(), static_cast<int>(s.size()));
}

int PaletteIndex(COLORREF colour) {
    const int i = TextHost().NearestPaletteIndex(colour, kFirstPictureIndex, kLastPictureIndex);
    return i < 0 || i > 255 ? 0 : i;
}

// A DC to measure with: the caller's, or a memory DC of our own.
class MeasureDc {
public:
    explicit MeasureDc(CDC* dc) : m_dc(dc ? dc->GetSafeHdc() : nullptr) {
        if (!m_dc) {
            m_dc = CreateCompatibleDC(nullptr);
            m_own = true;
        }
    }
    ~MeasureDc() {
        if (m_own && m_dc) DeleteDC(m_dc);
    }
    MeasureDc(const MeasureDc&) = delete;
    MeasureDc& operator=(const MeasureDc&) = delete;
    HDC Get() const { return m_dc; }

private:
    HDC m_dc;
    bool m_own = false;
};

// Selects a numbered font into a DC while it lives; without the font the DC's own stays.
class FontScope {
public:
    FontScope(HDC dc, int64_t number) : m_dc(dc) {
        if (MakeFont(number, m_font)) m_old = SelectObject(dc, m_font);
    }
    ~FontScope() {
        if (m_old) SelectObject(m_dc, m_old);
    }
    FontScope(const FontScope&) = delete;
    FontScope& operator=(const FontScope&) = delete;

private:
    HDC m_dc;
    CCorFont m_font;
    HGDIOBJ m_old = nullptr;
};

std::unique_ptr<TextLine> NewTextLine(std::string_view text) {
    if (g_lineRecordsLeft == 0) return nullptr;
    if (g_lineRecordsLeft > 0) --g_lineRecordsLeft;
    std::unique_ptr<TextLine> line(new (std::nothrow) TextLine);
    if (!line) return nullptr;
    try {
        line->text.assign(text);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
    return line;
}

// The length of the next line of rest: all of it when it fits; else up to the first CR or LF
// without trailing blanks, cut back at blanks while too wide (a single word stays whole).
size_t FitLine(HDC dc, std::string_view rest, int32_t boxWidth) {
    if (Extent(dc, rest).cx <= boxWidth) return rest.size();
    size_t end = std::min(rest.find_first_of("\r\n"), rest.size());
    while (end > 0 && rest[end - 1] == ' ') --end;
    while (end > 0 && Extent(dc, rest.substr(0, end)).cx > boxWidth) {
        const size_t blank = rest.substr(0, end).rfind(' ');
        if (blank == std::string_view::npos || blank == 0) break;
        end = blank;
    }
    return end;
}

}  // namespace

void SetTextLineRecordLimit(int n) {
    g_lineRecordsLeft = n;
}

TextLine::~TextLine() {
    while (next) next = std::move(next->next);
}

CText::CText(LPCSTR text, int32_t width, int32_t height, int32_t x, int32_t y, uint16_t alignment)
    : m_x(x), m_y(y), m_alignment(alignment) {
    const TextStyleRecord style = TextHost().CurrentTextStyle();
    m_fontNumber = style.fontNumber;
    m_foreground = style.foreground;
    m_background = style.background;
    m_mode = style.mode;
    Render(text, SIZE{width, height}, 0, 0);
}

CText::~CText() {
    TextHost().RemoveScanTargetsOf(this);
    m_picture.FreeBits();
    FreeLines();
}

void CText::FreeLines() {
    m_lines.reset();
    m_lineTotal = 0;
    m_textBounds = RECT{};
}

BOOL CText::Render(LPCSTR text, SIZE size, int32_t firstWord, int32_t lastWord) {
    // A copy first: text may be this item's own.
    const std::string newText = text ? text : "";
    m_picture.FreeBits();
    m_width = size.cx;
    m_height = size.cy;
    m_markerRect = RECT{};
    // The old lines would answer hit tests for text no longer shown.
    FreeLines();
    try {
        if (!m_picture.AllocBits(m_width, m_height)) return FALSE;
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    m_picture.SetTransparent(m_mode == kModeTransparent);
    m_text = newText.c_str();
    if (newText.empty()) return TRUE;

    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bitmap = dc ? CreateBitmap(m_width, m_height, 1, 1, nullptr) : nullptr;
    if (!bitmap) {
        if (dc) DeleteDC(dc);
        return FALSE;
    }
    const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    std::vector<uint8_t> bits;
    const size_t rowBytes = ((static_cast<size_t>(m_width) + 7) / 8 + 1) & ~size_t{1};
    {
        FontScope font(dc, m_fontNumber);
        PatBlt(dc, 0, 0, m_width, m_height, WHITENESS);
        SetTextColor(dc, RGB(0, 0, 0));
        // Ink only adds: a later cell must not blank an earlier glyph's overhang.
        SetBkMode(dc, TRANSPARENT);
        DrawLines(dc, newText, RECT{0, 0, m_width, m_height}, m_alignment, firstWord, lastWord);
        bits.assign(rowBytes * static_cast<size_t>(m_height), 0xFF);
        GetBitmapBits(bitmap, static_cast<LONG>(bits.size()), bits.data());
    }
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);

    const BYTE ink = static_cast<BYTE>(PaletteIndex(m_foreground));
    const BYTE back = static_cast<BYTE>(m_mode == kModeOpaque ? PaletteIndex(m_background) : 0);
    const BYTE red = static_cast<BYTE>(PaletteIndex(kMarkerColour));
    BYTE* row = m_picture.Bits();
    for (int32_t y = 0; y < m_height; ++y, row += m_picture.Stride()) {
        const uint8_t* src = bits.data() + static_cast<size_t>(y) * rowBytes;
        const bool markerRow = m_marker && y > m_markerRect.top && y < m_markerRect.bottom;
        for (int32_t x = 0; x < m_width; ++x) {
            if (src[x >> 3] & (0x80 >> (x & 7)))
                row[x] = back;
            else
                row[x] = markerRow && x > m_markerRect.left && x < m_markerRect.right ? red : ink;
        }
    }
    return TRUE;
}

BOOL CText::SetText(LPCSTR text) {
    return Render(text, SIZE{m_width, m_height}, 0, 0);
}

BOOL CText::SetColors(int16_t foreground, int16_t background) {
    m_foreground = TextHost().ColorNumberToRGB(foreground);
    m_background = TextHost().ColorNumberToRGB(background);
    return Render(m_text, SIZE{m_width, m_height}, 0, 0);
}

BOOL CText::Rerender(int32_t firstWord, int32_t lastWord) {
    return Render(m_text, SIZE{m_width, m_height}, firstWord, lastWord);
}

BOOL CText::SetMarker(BOOL on) {
    m_marker = on ? TRUE : FALSE;
    return Render(m_text, SIZE{m_width, m_height}, 0, 0);
}

bool CText::BreakLines(HDC dc, std::string_view text, int32_t boxWidth) {
    FreeLines();
    std::unique_ptr<TextLine>* tail = &m_lines;
    int32_t count = 0;
    size_t pos = 0;
    while (pos < text.size()) {
        const std::string_view rest = text.substr(pos);
        const size_t length = FitLine(dc, rest, boxWidth);
        std::unique_ptr<TextLine> line = NewTextLine(rest.substr(0, length));
        if (!line) {
            FreeLines();
            return false;
        }
        const SIZE extent = Extent(dc, line->text);
        line->width = extent.cx;
        line->height = extent.cy;
        *tail = std::move(line);
        tail = &(*tail)->next;
        ++count;
        if (length == rest.size()) break;
        pos += length;
        while (pos < text.size() && text[pos] == ' ') ++pos;
        // One line break; CR LF is one break, not two.
        if (pos < text.size() && text[pos] == '\r') {
            ++pos;
            if (pos < text.size() && text[pos] == '\n') ++pos;
        } else if (pos < text.size() && text[pos] == '\n') {
            ++pos;
        }
    }
    m_lineTotal = count;
    return true;
}

void CText::DrawLines(HDC dc, const std::string& text, const RECT& box, uint16_t alignment, int32_t firstWord,
                      int32_t lastWord) {
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    const int64_t pitch = int64_t{tm.tmHeight} + tm.tmExternalLeading;
    const std::string drawn = m_marker ? std::string{kMarkerChar, ' '} + text : text;
    if (!BreakLines(dc, drawn, box.right - box.left)) return;
    const SIZE marker = Extent(dc, std::string_view(&kMarkerChar, 1));
    CCorFont bold;
    const bool haveBold = MakeFont(int64_t{m_fontNumber} + 1, bold);
    const HGDIOBJ textFont = GetCurrentObject(dc, OBJ_FONT);
    const bool emphasis = firstWord != 0 || lastWord != 0;

    const int64_t n = m_lineTotal;
    const int64_t boxWidth = int64_t{box.right} - box.left, boxHeight = int64_t{box.bottom} - box.top;
    const int64_t blockHeight = pitch * n;
    int64_t wordsBefore = 0;
    int64_t i = 0;
    for (TextLine* line = m_lines.get(); line; line = line->next.get(), ++i) {
        const bool markerLine = m_marker && i == 0;
        int64_t x = box.left + (boxWidth - line->width) / 2;
        if (markerLine && alignment == 0) x -= marker.cx / 2;
        int64_t y = box.top + (boxHeight - blockHeight) / 2 + pitch * i;
        if (alignment & kAlignRight) x = box.left + boxWidth - line->width;
        if (alignment & kAlignBottom)
            y = box.bottom - (n - i) * tm.tmHeight - (n - i - 1) * tm.tmExternalLeading;
        if (alignment & kAlignLeft) x = box.left + (m_marker && i > 0 ? marker.cx : 0);
        if (alignment & kAlignTop) y = box.top + pitch * i;
        line->x = ClampTo32(x);
        line->y = ClampTo32(y);
        if (markerLine)
            m_markerRect = RECT{line->x, line->y, ClampTo32(x + marker.cx), ClampTo32(y + marker.cy)};
        const RECT lineRect{line->x, line->y, ClampTo32(x + line->width), ClampTo32(y + line->height)};
        if (i == 0)
            m_textBounds = lineRect;
        else
            UnionRect(&m_textBounds, &m_textBounds, &lineRect);

        // The marker line draws the glyph lower, and its text from the third character on.
        const std::string_view whole = line->text;
        const std::string_view rest = markerLine ? whole.substr(std::min<size_t>(2, whole.size())) : whole;
        const int64_t restX = markerLine ? x + marker.cx : x;
        int64_t number = wordsBefore + (m_marker ? 0 : 1);
        if (markerLine) {
            // The marker is word 0, always in the text's font: its red cell is measured there.
            Out(dc, x, y + kMarkerDrop, std::string_view(&kMarkerChar, 1));
            ++number;
        }
        if (!emphasis) {
            Out(dc, restX, y, rest);
        } else {
            int64_t runX = restX;
            ForEachWord(rest, [&](size_t start, size_t length, size_t gap) {
                const bool strong = length && haveBold && number >= firstWord && number <= lastWord;
                if (strong) SelectObject(dc, bold);
                const std::string_view cell = rest.substr(start, length + gap);
                Out(dc, runX, y, cell);
                runX += Extent(dc, cell).cx;
                if (strong) SelectObject(dc, textFont);
                if (length) ++number;
            });
        }
        wordsBefore += CountWords(whole);
    }
}

void CText::Draw(CDibG& surface, const RECT* clip) {
    if (!m_picture.Bits()) return;
    const RECT item{m_x, m_y, ClampTo32(int64_t{m_x} + m_width), ClampTo32(int64_t{m_y} + m_height)};
    RECT area;
    const RECT whole{0, 0, surface.Width(), surface.Height()};
    if (!IntersectRect(&area, &item, clip ? clip : &whole)) return;
    surface.DrawSprite(m_picture, POINT{m_x, m_y}, area, FALSE);
}

const TextLine* CText::LineAtPoint(CDC* dc, POINT point) const {
    const int64_t px = int64_t{point.x} - m_x, py = int64_t{point.y} - m_y;
    if (px < 0 || py < 0 || px >= m_width || py >= m_height || !m_lines) return nullptr;
    MeasureDc measure(dc);
    if (!measure.Get()) return nullptr;
    FontScope font(measure.Get(), m_fontNumber);
    TEXTMETRIC tm{};
    GetTextMetrics(measure.Get(), &tm);
    const int64_t half = Extent(measure.Get(), " ").cx / 2;
    for (const TextLine* line = m_lines.get(); line; line = line->next.get()) {
        if (px >= line->x - half && px <= int64_t{line->x} + line->width + half && py >= line->y &&
            py <= int64_t{line->y} + tm.tmHeight)
            return line;
    }
    return nullptr;
}

int32_t CText::WordAtPoint(CDC* dc, POINT point) const {
    const TextLine* hit = LineAtPoint(dc, point);
    if (!hit) return -1;
    MeasureDc measure(dc);
    if (!measure.Get()) return -1;
    FontScope font(measure.Get(), m_fontNumber);
    HDC mdc = measure.Get();

    int64_t index = 0;
    for (const TextLine* line = m_lines.get(); line != hit; line = line->next.get())
        index += CountWords(line->text);
    const int64_t px = int64_t{point.x} - m_x;
    const int64_t half = Extent(mdc, " ").cx / 2;
    const bool markerLine = m_marker && hit == m_lines.get();
    const std::string_view whole = hit->text;
    int64_t runX = hit->x;
    std::string_view rest = whole;
    if (markerLine) {
        const int64_t w = Extent(mdc, std::string_view(&kMarkerChar, 1)).cx;
        if (px >= runX - half && px <= runX + w) return 0;
        runX += w;
        rest = whole.substr(std::min<size_t>(2, whole.size()));
        ++index;
    }
    int64_t found = -1;
    bool firstTextWord = markerLine;
    ForEachWord(rest, [&](size_t start, size_t length, size_t gap) {
        if (found >= 0) return;
        if (length) {
            const int64_t w = Extent(mdc, rest.substr(start, length)).cx;
            const int64_t lo = firstTextWord ? runX : runX - half;
            if (px >= lo && px <= runX + w + half) {
                found = index;
                return;
            }
            firstTextWord = false;
            ++index;
        }
        runX += Extent(mdc, rest.substr(start, length + gap)).cx;
    });
    if (found < 0) return m_marker ? -1 : 0;
    return ClampTo32(m_marker ? found : found + 1);
}

int32_t CText::TallyWords() const {
    return CountWords(m_text.View());
}

int32_t CText::NumLines() const {
    int32_t n = 0;
    for (const TextLine* line = m_lines.get(); line; line = line->next.get()) ++n;
    return n;
}
