// CText and the numbered fonts, drawn with the game's font file: layout and line breaks,
// alignment, the bold twin on a range of words, hit tests, background modes, the marker, and
// the safe answers to sizes, texts and memory that cannot be laid out.
#include "media/text/text_item.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "media/res/chunk_pool.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/text/font_table.h"
#include "media/text/text_host.h"
#include "platform/gdi/text_test_support.h"

namespace {

// Palette entries of the test palette, every other entry mid grey. The colours of the style
// have exact matches outside 10..245 too, so a search over the wrong range shows.
constexpr int kInk = 40;         // black
constexpr int kBackground = 77;  // near blue; pure blue is at 3
constexpr int kRed = 120;        // near red; pure red is at 250
constexpr int kOtherInk = 150;   // near yellow, colour number 1
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kYellow = RGB(255, 255, 0);

class TestHost : public ITextHost {
public:
    TestHost() {
        palette.fill(PALETTEENTRY{128, 128, 128, 0});
        palette[0] = PALETTEENTRY{0, 0, 0, 0};
        palette[3] = PALETTEENTRY{0, 0, 255, 0};
        palette[250] = PALETTEENTRY{255, 0, 0, 0};
        palette[kInk] = PALETTEENTRY{0, 0, 0, 0};
        palette[kBackground] = PALETTEENTRY{10, 10, 240, 0};
        palette[kRed] = PALETTEENTRY{240, 10, 10, 0};
        palette[kOtherInk] = PALETTEENTRY{240, 240, 10, 0};
        style.fontNumber = 21;
        style.foreground = RGB(0, 0, 0);
        style.background = kBlue;
        style.mode = 4;
    }

    TextStyleRecord CurrentTextStyle() override { return style; }
    COLORREF ColorNumberToRGB(int16_t code) override {
        const auto it = colours.find(code);
        return it == colours.end() ? RGB(0, 0, 0) : it->second;
    }
    // Smallest squared distance below 3 * 255^2, the first of equals.
    int NearestPaletteIndex(COLORREF colour, int first, int last) override {
        long best = 195075;
        int found = -1;
        for (int i = std::max(first, 0); i <= std::min(last, 255); ++i) {
            const long dr = long{palette[i].peRed} - GetRValue(colour);
            const long dg = long{palette[i].peGreen} - GetGValue(colour);
            const long db = long{palette[i].peBlue} - GetBValue(colour);
            const long d = dr * dr + dg * dg + db * db;
            if (d < best) {
                best = d;
                found = i;
            }
        }
        return found;
    }
    void RemoveScanTargetsOf(const void* object) override { removed.push_back(object); }

    TextStyleRecord style;
    std::array<PALETTEENTRY, 256> palette{};
    std::map<int16_t, COLORREF> colours{{1, kYellow}, {7, kBlue}};
    std::vector<const void*> removed;
};

// A memory DC with a numbered font (or none: the DC's own) for measuring and drawing glyphs.
class FontDc {
public:
    explicit FontDc(int number) {
        m_dc = CreateCompatibleDC(nullptr);
        if (CreateFontByNumber(static_cast<int16_t>(number), m_font)) m_old = SelectObject(m_dc, m_font);
    }
    ~FontDc() {
        if (m_old) SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
    }
    FontDc(const FontDc&) = delete;
    FontDc& operator=(const FontDc&) = delete;

    HDC Dc() const { return m_dc; }
    int Width(const std::string& s) const {
        SIZE size{};
        GetTextExtentPoint(m_dc, s.data(), static_cast<int>(s.size()), &size);
        return size.cx;
    }
    TEXTMETRIC Metrics() const {
        TEXTMETRIC tm{};
        GetTextMetrics(m_dc, &tm);
        return tm;
    }
    // The ink of s drawn at (0, 0): rows of '#' and '.' over its extent.
    std::vector<std::string> Ink(const std::string& s) const {
        const int w = Width(s), h = Metrics().tmHeight;
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bmp = CreateBitmap(w, h, 1, 1, nullptr);
        HGDIOBJ oldBmp = SelectObject(dc, bmp);
        HGDIOBJ oldFont = SelectObject(dc, GetCurrentObject(m_dc, OBJ_FONT));
        PatBlt(dc, 0, 0, w, h, WHITENESS);
        SetBkMode(dc, TRANSPARENT);
        TextOut(dc, 0, 0, s.data(), static_cast<int>(s.size()));
        const int rowBytes = ((w + 15) / 16) * 2;
        std::vector<uint8_t> bits(static_cast<size_t>(rowBytes) * h);
        GetBitmapBits(bmp, static_cast<LONG>(bits.size()), bits.data());
        SelectObject(dc, oldFont);
        SelectObject(dc, oldBmp);
        DeleteObject(bmp);
        DeleteDC(dc);
        std::vector<std::string> rows;
        for (int y = 0; y < h; ++y) {
            std::string r;
            for (int x = 0; x < w; ++x)
                r += (bits[static_cast<size_t>(y) * rowBytes + x / 8] & (0x80 >> (x % 8))) ? '.' : '#';
            rows.push_back(r);
        }
        return rows;
    }

private:
    HDC m_dc = nullptr;
    CCorFont m_font;
    HGDIOBJ m_old = nullptr;
};

// The picture's pixels of value ink in a rectangle, as rows of '#' and '.'.
std::vector<std::string> PictureInk(const CText& t, int x0, int y0, int w, int h, int ink = kInk) {
    const CSprite& p = t.Picture();
    std::vector<std::string> rows;
    for (int y = y0; y < y0 + h; ++y) {
        std::string r;
        for (int x = x0; x < x0 + w; ++x) {
            const bool inside = x >= 0 && y >= 0 && x < p.Width() && y < p.Height();
            r += inside && p.Bits()[static_cast<size_t>(y) * p.Stride() + x] == ink ? '#' : '.';
        }
        rows.push_back(r);
    }
    return rows;
}

std::vector<std::string> LineTexts(const CText& t) {
    std::vector<std::string> out;
    for (const TextLine* l = t.Lines(); l; l = l->next.get()) out.push_back(l->text);
    return out;
}

std::map<BYTE, int> PixelCounts(const CText& t) {
    std::map<BYTE, int> counts;
    const CSprite& p = t.Picture();
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) ++counts[p.Bits()[static_cast<size_t>(y) * p.Stride() + x]];
    return counts;
}

class TextItemTest : public gdi_test::TextTest {
protected:
    void SetUp() override {
        TextTest::SetUp();
        SetTextHost(&host);
    }
    void TearDown() override {
        SetTextHost(nullptr);
        SetTextLineRecordLimit(-1);
        TextTest::TearDown();
    }
    TestHost host;
};

// ---- Font table -----------------------------------------------------------------------------

class FontTableRows : public TextItemTest, public ::testing::WithParamInterface<NumberedFont> {};

TEST_P(FontTableRows, NumberSelectsItsFaceInTheFontFile) {
    const NumberedFont& row = GetParam();
    FontDc dc(row.number);
    char face[LF_FACESIZE] = {};
    GetTextFace(dc.Dc(), sizeof face, face);
    EXPECT_STREQ(face, row.face);
    const TEXTMETRIC tm = dc.Metrics();
    EXPECT_EQ(tm.tmHeight, row.height);
    EXPECT_EQ(tm.tmWeight, row.weight);
    EXPECT_EQ(tm.tmItalic != 0, row.italic);
    // The marker glyph is in every face.
    EXPECT_LE(tm.tmFirstChar, 0x1F);

    CCorFont font;
    CreateFontByNumber(row.number, font);
    LOGFONT lf;
    ASSERT_EQ(font.GetLogFont(&lf), static_cast<int>(sizeof lf));
    EXPECT_EQ(lf.lfOutPrecision, OUT_RASTER_PRECIS);
    EXPECT_EQ(lf.lfPitchAndFamily, VARIABLE_PITCH);
    EXPECT_EQ(lf.lfCharSet, 0);
    EXPECT_EQ(lf.lfEscapement + lf.lfOrientation + lf.lfUnderline + lf.lfStrikeOut + lf.lfClipPrecision +
                  lf.lfQuality,
              0);
}

INSTANTIATE_TEST_SUITE_P(Rows, FontTableRows, ::testing::ValuesIn(kNumberedFonts),
                         [](const auto& info) { return std::string(info.param.face); });

TEST_F(TextItemTest, BoldTwinsAreOneNumberHigher) {
    for (int n : {15, 21, 27}) {
        FontDc regular(n), bold(n + 1);
        EXPECT_EQ(regular.Metrics().tmHeight, bold.Metrics().tmHeight) << n;
        EXPECT_EQ(regular.Metrics().tmWeight, 400) << n;
        EXPECT_EQ(bold.Metrics().tmWeight, 700) << n;
    }
}

TEST_F(TextItemTest, NumberOutsideTheTableLeavesTheFontEmpty) {
    for (int n : {-1, 1, 14, 37, 100, 32767}) {
        CCorFont font;
        CreateFontByNumber(21, font);
        ASSERT_NE(font.GetSafeHandle(), nullptr);
        CreateFontByNumber(static_cast<int16_t>(n), font);
        EXPECT_EQ(font.GetSafeHandle(), nullptr) << n;
    }
}

// ---- Layout ---------------------------------------------------------------------------------

struct BreakCase {
    const char* name;
    std::string text;
    std::vector<std::string> lines;  // expected
    bool overflow;                   // a line is wider than the box
};

class LineBreaks : public TextItemTest, public ::testing::WithParamInterface<BreakCase> {};

TEST_P(LineBreaks, BreakAtLineBreaksThenBlanks) {
    const BreakCase& c = GetParam();
    FontDc dc(21);
    // The box is as wide as the widest expected line that fits.
    int box = 0;
    for (const std::string& l : c.lines)
        if (!c.overflow || l.find(' ') != std::string::npos) box = std::max(box, dc.Width(l));
    if (c.overflow) box = std::max(box, dc.Width("ab"));
    ASSERT_GT(dc.Width(c.text), box) << "the whole text must be too wide";
    CText t(c.text.c_str(), box, 200, 0, 0, 0);
    EXPECT_EQ(LineTexts(t), c.lines);
    EXPECT_EQ(t.NumLines(), static_cast<int>(c.lines.size()));
    EXPECT_EQ(t.LineTotal(), t.NumLines());
    bool wider = false;
    for (const TextLine* l = t.Lines(); l; l = l->next.get()) {
        EXPECT_EQ(l->width, dc.Width(l->text)) << l->text;
        wider = wider || l->width > box;
    }
    EXPECT_EQ(wider, c.overflow);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LineBreaks,
    ::testing::Values(
        BreakCase{
            "FirstAtTheLineBreak", "one two\nthree four five", {"one two", "three four", "five"}, false},
        BreakCase{"CrBreaksToo", "sun\rmoon star", {"sun", "moon star"}, false},
        BreakCase{"CrLfIsOneBreak", "sun\r\nmoon star", {"sun", "moon star"}, false},
        BreakCase{"BlanksAroundBreaksDropped", "sun moon   star", {"sun moon", "star"}, false},
        BreakCase{"OverWideWordStaysWhole", "a extraordinarily b", {"a", "extraordinarily", "b"}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextItemTest, TextThatFitsStaysOneLineDespiteALineBreak) {
    const std::string text = "ab\ncd";
    FontDc dc(21);
    CText t(text.c_str(), dc.Width(text), 100, 0, 0, 0);
    EXPECT_EQ(LineTexts(t), std::vector<std::string>{text});
}

// A line break kept inside a line draws nothing: it shows as the font's blank, so "Ja\nNej"
// looks like "Ja Nej" pixel for pixel, never "Ja?Nej".
TEST_F(TextItemTest, LineBreaksInsideALineDrawAsBlanks) {
    struct Case {
        const char* text;
        const char* looksLike;
    };
    for (const Case& c : {Case{"Ja\nNej", "Ja Nej"}, Case{"Ja\rNej", "Ja Nej"}, Case{"Ja\r\nNej", "Ja  Nej"}}) {
        SCOPED_TRACE(c.looksLike);
        for (int font : {15, 21, 27}) {
            host.style.fontNumber = font;
            CText broken(c.text, 200, 40, 0, 0, 0);
            CText blank(c.looksLike, 200, 40, 0, 0, 0);
            ASSERT_EQ(broken.NumLines(), 1) << font;
            EXPECT_EQ(PixelCounts(broken), PixelCounts(blank)) << font;
            EXPECT_EQ(std::memcmp(broken.Picture().Bits(), blank.Picture().Bits(), broken.Picture().Size()), 0) << font;
        }
    }
}

struct AlignCase {
    uint16_t alignment;
    char vertical;    // 't'op, 'b'ottom, 'c'entre
    char horizontal;  // 'l'eft, 'r'ight, 'c'entre
};

class Alignment : public TextItemTest, public ::testing::WithParamInterface<AlignCase> {};

TEST_P(Alignment, BlockAndLinesArePlaced) {
    const AlignCase& c = GetParam();
    const std::string text = "short\nrather longer line";
    FontDc dc(21);
    const int kBoxW = dc.Width("rather longer line") + 20, kBoxH = 200;
    ASSERT_GT(dc.Width(text), kBoxW);
    CText t(text.c_str(), kBoxW, kBoxH, 0, 0, c.alignment);
    ASSERT_EQ(t.NumLines(), 2);
    const TEXTMETRIC tm = dc.Metrics();
    const TextLine* first = t.Lines();
    const TextLine* last = first->next.get();
    EXPECT_EQ(last->y - first->y, tm.tmHeight + tm.tmExternalLeading);
    const int topGap = first->y, bottomGap = kBoxH - (last->y + tm.tmHeight);
    switch (c.vertical) {
        case 't':
            EXPECT_EQ(topGap, 0);
            break;
        case 'b':
            EXPECT_EQ(bottomGap, 0);
            break;
        default:
            EXPECT_LE(std::abs(topGap - bottomGap), 1 + tm.tmExternalLeading);
    }
    for (const TextLine* l = first; l; l = l->next.get()) {
        const int leftGap = l->x, rightGap = kBoxW - (l->x + l->width);
        switch (c.horizontal) {
            case 'l':
                EXPECT_EQ(leftGap, 0) << l->text;
                break;
            case 'r':
                EXPECT_EQ(rightGap, 0) << l->text;
                break;
            default:
                EXPECT_LE(std::abs(leftGap - rightGap), 1) << l->text;
        }
    }
    // The ink lies inside the drawn lines' bounds.
    const RECT b = t.TextBounds();
    EXPECT_EQ(b.left, std::min(first->x, last->x));
    EXPECT_EQ(b.top, first->y);
    int ink = 0;
    for (int y = 0; y < kBoxH; ++y)
        for (int x = 0; x < kBoxW; ++x)
            if (t.Picture().Bits()[static_cast<size_t>(y) * t.Picture().Stride() + x] == kInk) {
                ++ink;
                EXPECT_TRUE(x >= b.left && x < b.right && y >= b.top && y < b.bottom) << x << "," << y;
            }
    EXPECT_GT(ink, 0);
}

INSTANTIATE_TEST_SUITE_P(Flags, Alignment,
                         ::testing::Values(AlignCase{0x0000, 'c', 'c'}, AlignCase{0x0001, 'b', 'c'},
                                           AlignCase{0x0002, 't', 'c'}, AlignCase{0x0003, 't', 'c'},
                                           AlignCase{0x0100, 'c', 'r'}, AlignCase{0x0200, 'c', 'l'},
                                           AlignCase{0x0300, 'c', 'l'}, AlignCase{0x0301, 'b', 'l'}),
                         [](const auto& info) { return "Flags" + std::to_string(info.param.alignment); });

TEST_F(TextItemTest, CentredMarkerLineSitsHalfAMarkerLeft) {
    FontDc dc(21);
    constexpr int kBoxW = 300;
    CText t("Titta", kBoxW, 100, 0, 0, 0);
    ASSERT_TRUE(t.SetMarker(TRUE));
    const TextLine* l = t.Lines();
    ASSERT_NE(l, nullptr);
    EXPECT_EQ(l->width, dc.Width("\x1F Titta"));
    const int halfMarker = dc.Width("\x1F") / 2;
    EXPECT_EQ(l->x + halfMarker, (kBoxW - l->width) / 2);
    EXPECT_EQ(t.MarkerRect().left, l->x);
}

TEST_F(TextItemTest, LeftAlignedLinesAfterTheMarkerAreIndentedByIt) {
    FontDc dc(21);
    CText t("first\nsecond", dc.Width("\x1F first") + 2, 100, 0, 0, CText::kAlignLeft);
    t.SetMarker(TRUE);
    ASSERT_EQ(t.NumLines(), 2);
    const RECT m = t.MarkerRect();
    EXPECT_EQ(t.Lines()->x, 0);
    EXPECT_EQ(m.left, 0);
    EXPECT_GT(m.right, 0);
    EXPECT_EQ(t.Lines()->next->x, m.right);
}

// ---- Emphasis and word numbers --------------------------------------------------------------

struct EmphasisCase {
    const char* name;
    bool marker;
    int first, last;
};

class Emphasis : public TextItemTest, public ::testing::WithParamInterface<EmphasisCase> {};

// Words "a b" / "c d" on two lines: each word's ink is its glyph in the bold twin exactly when
// its number is in the range, and a click on it answers that number.
TEST_P(Emphasis, WordsInTheRangeAreDrawnInTheBoldTwin) {
    const EmphasisCase& c = GetParam();
    FontDc regular(21), bold(22);
    ASSERT_NE(regular.Ink("c"), bold.Ink("c"));
    const std::string text = "a b\nc d";
    const std::string line0 = c.marker ? "\x1F a b" : "a b";
    const int box = std::max(regular.Width(line0), regular.Width("c d")) + 2;
    CText t(text.c_str(), box, 100, 30, 40, CText::kAlignLeft | CText::kAlignTop);
    if (c.marker) t.SetMarker(TRUE);
    ASSERT_EQ(t.NumLines(), 2);

    // Click numbers on the plain picture.
    const int markerWidth = regular.Width("\x1F");
    const int height = regular.Metrics().tmHeight;
    const char* words[] = {"a", "b", "c", "d"};
    {
        int w = 0;
        for (const TextLine* l = t.Lines(); l; l = l->next.get()) {
            int x = l->x + (c.marker && l == t.Lines() ? markerWidth : 0);
            for (int k = 0; k < 2; ++k, ++w) {
                const std::string word = words[w];
                const POINT centre{t.X() + x + regular.Width(word) / 2, t.Y() + l->y + height / 2};
                EXPECT_EQ(t.WordAtPoint(nullptr, centre), w + 1) << word;  // with the marker, the marker is 0
                x += regular.Width(word + " ");
            }
        }
    }

    ASSERT_TRUE(t.Rerender(c.first, c.last));
    int w = 0;
    for (const TextLine* l = t.Lines(); l; l = l->next.get()) {
        int x = l->x + (c.marker && l == t.Lines() ? markerWidth : 0);
        for (int k = 0; k < 2; ++k, ++w) {
            const int number = w + 1;
            const FontDc& f = number >= c.first && number <= c.last ? bold : regular;
            const std::string word = words[w];
            EXPECT_EQ(PictureInk(t, x, l->y, f.Width(word), height), f.Ink(word)) << word;
            x += f.Width(word + " ");
        }
    }
    if (c.marker) {
        // The marker (word 0) stays in the text's font, whose cell its red is measured in.
        const RECT m = t.MarkerRect();
        EXPECT_EQ(PictureInk(t, m.left, m.top + CText::kMarkerDrop, m.right - m.left, height, kRed),
                  regular.Ink("\x1F"));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, Emphasis,
    ::testing::Values(EmphasisCase{"Third", false, 3, 3}, EmphasisCase{"SecondToThird", false, 2, 3},
                      EmphasisCase{"All", false, 1, 4}, EmphasisCase{"None", false, 0, 0},
                      EmphasisCase{"MarkerThird", true, 3, 3}, EmphasisCase{"MarkerFirst", true, 1, 1},
                      EmphasisCase{"MarkerToSecond", true, 0, 2}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TextItemTest, EmphasisWithoutABoldTwinDrawsInTheTextFont) {
    host.style.fontNumber = 36;  // 37 is not in the table
    CText t("one two", 300, 60, 0, 0, 0);
    const std::map<BYTE, int> plain = PixelCounts(t);
    const std::vector<BYTE> before(t.Picture().Bits(), t.Picture().Bits() + t.Picture().Size());
    ASSERT_TRUE(t.Rerender(1, 2));
    EXPECT_EQ(std::vector<BYTE>(t.Picture().Bits(), t.Picture().Bits() + t.Picture().Size()), before);
    EXPECT_GT(plain.at(kInk), 0);
}

// ---- Hit tests ------------------------------------------------------------------------------

struct HitCase {
    const char* name;
    bool marker;
    const char* where;  // "one", "gap", "two", "marker", "below", "outside"
    int expected;
};

class WordHits : public TextItemTest, public ::testing::WithParamInterface<HitCase> {};

TEST_P(WordHits, WordUnderAPoint) {
    const HitCase& c = GetParam();
    CText t("one  two", 300, 100, 50, 20, 0);
    if (c.marker) t.SetMarker(TRUE);
    ASSERT_EQ(t.NumLines(), 1);
    FontDc dc(21);
    const TextLine* l = t.Lines();
    const int blank = dc.Width(" ");
    const int start = l->x + (c.marker ? dc.Width("\x1F") : 0);
    const int oneEnd = start + dc.Width("one");
    const int y = l->y + dc.Metrics().tmHeight / 2;
    const std::string where = c.where;
    POINT p{};
    if (where == "one") p = {start + 1, y};
    if (where == "gap") p = {oneEnd + blank, y};  // the middle of the two blanks
    if (where == "two") p = {oneEnd + 2 * blank + 2, y};
    if (where == "marker") p = {(t.MarkerRect().left + t.MarkerRect().right) / 2, t.MarkerRect().bottom - 3};
    if (where == "below") p = {start + 1, l->y + dc.Metrics().tmHeight + 3};
    if (where == "outside") p = {-20, y};
    const POINT screen{t.X() + p.x, t.Y() + p.y};
    EXPECT_EQ(t.WordAtPoint(nullptr, screen), c.expected);
    CDC measure;
    ASSERT_TRUE(measure.CreateCompatibleDC(nullptr));
    EXPECT_EQ(t.WordAtPoint(&measure, screen), c.expected) << "with the caller's DC";
    EXPECT_EQ(t.LineAtPoint(&measure, screen) != nullptr, where != "below" && where != "outside");
}

INSTANTIATE_TEST_SUITE_P(
    Points, WordHits,
    ::testing::Values(HitCase{"One", false, "one", 1}, HitCase{"Between", false, "gap", 0},
                      HitCase{"Two", false, "two", 2}, HitCase{"Below", false, "below", -1},
                      HitCase{"Outside", false, "outside", -1}, HitCase{"MarkerGlyph", true, "marker", 0},
                      HitCase{"MarkerOne", true, "one", 1}, HitCase{"MarkerBetween", true, "gap", -1},
                      HitCase{"MarkerTwo", true, "two", 2}),
    [](const auto& info) { return std::string(info.param.name); });


// With one blank between words their spans meet: each half of the blank answers its neighbour.
TEST_F(TextItemTest, ASingleBlankIsSharedByItsNeighbours) {
    for (const bool marker : {false, true}) {
        CText t("one two", 300, 100, 50, 20, 0);
        if (marker) t.SetMarker(TRUE);
        FontDc dc(21);
        const TextLine* l = t.Lines();
        ASSERT_NE(l, nullptr);
        const int blank = dc.Width(" ");
        ASSERT_GE(blank, 2);
        const int oneEnd = l->x + (marker ? dc.Width("\x1F") : 0) + dc.Width("one");
        const int y = t.Y() + l->y + dc.Metrics().tmHeight / 2;
        EXPECT_EQ(t.WordAtPoint(nullptr, POINT{t.X() + oneEnd, y}), 1) << marker;
        EXPECT_EQ(t.WordAtPoint(nullptr, POINT{t.X() + oneEnd + blank - 1, y}), 2) << marker;
    }
}

TEST_F(TextItemTest, TallyWordsCountsRunsBetweenBlanksAndLineBreaks) {
    const struct {
        const char* text;
        int words;
    } cases[] = {{"", 0},         {"one", 1},     {"  one  two ", 2}, {"a\r\nb\nc d", 4},
                 {"\r\n  \n", 0}, {"x\x1Fy z", 2}};
    for (const auto& c : cases) {
        CText t(c.text, 400, 200, 0, 0, 0);
        EXPECT_EQ(t.TallyWords(), c.words) << c.text;
    }
}

// ---- Colours and modes ----------------------------------------------------------------------

struct ModeCase {
    uint16_t mode;
    int background;
    bool transparent;
};

class Modes : public TextItemTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(Modes, BackgroundPixelsFollowTheMode) {
    host.style.mode = GetParam().mode;
    CText t("Hej", 80, 40, 0, 0, 0);
    EXPECT_EQ(t.Picture().IsTransparent() != 0, GetParam().transparent);
    const std::map<BYTE, int> counts = PixelCounts(t);
    ASSERT_EQ(counts.size(), 2u);
    EXPECT_GT(counts.at(static_cast<BYTE>(kInk)), 0);
    EXPECT_GT(counts.at(static_cast<BYTE>(GetParam().background)), counts.at(static_cast<BYTE>(kInk)));
}

INSTANTIATE_TEST_SUITE_P(Modes, Modes,
                         ::testing::Values(ModeCase{4, 0, true}, ModeCase{0, kBackground, false},
                                           ModeCase{2, 0, false}),
                         [](const auto& info) { return "Mode" + std::to_string(info.param.mode); });

TEST_F(TextItemTest, SetColorsTakesColourNumbersThroughTheHost) {
    host.style.mode = 0;
    CText t("Hej", 80, 40, 0, 0, 0);
    ASSERT_TRUE(t.SetColors(1, 7));
    EXPECT_EQ(t.Foreground(), kYellow);
    EXPECT_EQ(t.Background(), kBlue);
    const std::map<BYTE, int> counts = PixelCounts(t);
    EXPECT_EQ(counts.size(), 2u);
    EXPECT_GT(counts.count(static_cast<BYTE>(kOtherInk)), 0u);
    EXPECT_GT(counts.count(static_cast<BYTE>(kBackground)), 0u);
}

TEST_F(TextItemTest, MarkerInkIsRedAndOnlyTheMarkersInk) {
    CText t("Titta", 200, 60, 0, 0, 0);
    ASSERT_TRUE(t.SetMarker(TRUE));
    const RECT m = t.MarkerRect();
    ASSERT_GT(m.right, m.left);
    const CSprite& p = t.Picture();
    int red = 0, inkOutside = 0;
    for (int y = 0; y < p.Height(); ++y)
        for (int x = 0; x < p.Width(); ++x) {
            const BYTE v = p.Bits()[static_cast<size_t>(y) * p.Stride() + x];
            const bool inside = x > m.left && x < m.right && y > m.top && y < m.bottom;
            if (v == kRed) {
                ++red;
                EXPECT_TRUE(inside) << x << "," << y;
            }
            if (inside) {
                EXPECT_NE(v, kInk) << x << "," << y;
            }
            if (!inside && v == kInk) ++inkOutside;
        }
    EXPECT_GT(red, 0);
    EXPECT_GT(inkOutside, 0);
    // The glyph is drawn lower than its line.
    FontDc dc(21);
    EXPECT_EQ(
        PictureInk(t, m.left, m.top + CText::kMarkerDrop, m.right - m.left, dc.Metrics().tmHeight, kRed),
        dc.Ink("\x1F"));

    ASSERT_TRUE(t.SetMarker(FALSE));
    EXPECT_EQ(PixelCounts(t).count(static_cast<BYTE>(kRed)), 0u);
}

TEST_F(TextItemTest, UnknownFontNumberDrawsInTheDcsCurrentFont) {
    host.style.fontNumber = 99;
    const std::string text = "Hello there";
    CText t(text.c_str(), 400, 60, 0, 0, 0);
    FontDc own(99);  // no font selected: the memory DC's own
    ASSERT_NE(own.Width(text), FontDc(0).Width(text));
    ASSERT_EQ(t.NumLines(), 1);
    EXPECT_EQ(t.Lines()->width, own.Width(text));
    EXPECT_GT(PixelCounts(t)[static_cast<BYTE>(kInk)], 0);
}

// ---- Style, lifetime and the safe answers ---------------------------------------------------

TEST_F(TextItemTest, CopiesTheCurrentStyleAndTellsTheHostWhenDestroyed) {
    host.style = TextStyleRecord{27, RGB(1, 2, 3), RGB(4, 5, 6), 0};
    auto t = std::make_unique<CText>("abc", 100, 50, 7, 8, 0x0201);
    host.style.fontNumber = 15;
    EXPECT_EQ(t->FontNumber(), 27);
    EXPECT_EQ(t->Foreground(), RGB(1, 2, 3));
    EXPECT_EQ(t->Background(), RGB(4, 5, 6));
    EXPECT_EQ(t->Mode(), 0);
    EXPECT_EQ(t->Alignment(), 0x0201);
    EXPECT_FALSE(t->HasMarker());
    ASSERT_TRUE(t->SetText("abcd"));
    EXPECT_EQ(t->Lines()->width, FontDc(27).Width("abcd"));
    EXPECT_STREQ(t->GetRuntimeClass()->m_lpszClassName, "CText");
    EXPECT_EQ(t->GetRuntimeClass()->m_pfnCreateObject, nullptr);
    const void* address = t.get();
    t.reset();
    EXPECT_EQ(host.removed, std::vector<const void*>{address});
}

TEST_F(TextItemTest, BoxWithoutAreaRendersNothing) {
    const SIZE sizes[] = {{0, 20}, {20, 0}, {-5, 20}, {kMaxSpriteSide + 1, 20}};
    for (const SIZE s : sizes) {
        CText t("one two", 100, 40, 0, 0, 0);
        ASSERT_EQ(t.NumLines(), 1);
        EXPECT_FALSE(t.Render("one two", s, 0, 0)) << s.cx << "x" << s.cy;
        EXPECT_EQ(t.Picture().Bits(), nullptr);
        EXPECT_EQ(t.NumLines(), 0);
        EXPECT_EQ(t.WordAtPoint(nullptr, POINT{1, 1}), -1);
    }
}

TEST_F(TextItemTest, EmptyOrNullTextLeavesABlankPictureAndNoLines) {
    for (const char* text : {"", static_cast<const char*>(nullptr)}) {
        host.style.mode = 0;
        CText t("one two", 100, 40, 0, 0, 0);
        ASSERT_EQ(t.NumLines(), 1);
        EXPECT_TRUE(t.SetText(text));
        EXPECT_EQ(t.NumLines(), 0);
        EXPECT_EQ(t.Text().GetLength(), 0);
        EXPECT_EQ(t.WordAtPoint(nullptr, POINT{50, 20}), -1);
        const std::map<BYTE, int> counts = PixelCounts(t);
        EXPECT_EQ(counts.size(), 1u);
        EXPECT_EQ(counts.begin()->first, 0);
    }
}

class NoMemory : public CChunkPool::IMemory {
public:
    void* Allocate(size_t) override { return nullptr; }
    // Every block in use came from the heap before this stand-in was installed.
    void Release(void* block) override { std::free(block); }
};

TEST_F(TextItemTest, NoMemoryForPixelsGivesNoPicture) {
    CText t("one two", 100, 40, 0, 0, 0);
    NoMemory none;
    CChunkPool::IMemory* old = TheChunkPool().SetMemory(&none);
    const BOOL rendered = t.SetText("three");
    TheChunkPool().SetMemory(old);
    EXPECT_FALSE(rendered);
    EXPECT_EQ(t.Picture().Bits(), nullptr);
    EXPECT_EQ(t.NumLines(), 0);
}

TEST_F(TextItemTest, NoMemoryForLineRecordsLeavesNoLines) {
    FontDc dc(21);
    SetTextLineRecordLimit(1);
    CText t("one two three", dc.Width("one two"), 60, 0, 0, 0);
    EXPECT_EQ(t.NumLines(), 0);
    EXPECT_EQ(t.LineTotal(), 0);
    EXPECT_EQ(PixelCounts(t).count(static_cast<BYTE>(kInk)), 0u);
    SetTextLineRecordLimit(-1);
    ASSERT_TRUE(t.Rerender(0, 0));
    EXPECT_EQ(t.NumLines(), 2);
}

// ---- Drawing into a surface -----------------------------------------------------------------

class TextItemDraw : public TextItemTest {
protected:
    void SetUp() override {
        TextItemTest::SetUp();
        InitDibSystem(nullptr, true, 0);
    }
    void TearDown() override {
        ShutdownDibSystem();
        TextItemTest::TearDown();
    }
};

TEST_F(TextItemDraw, DrawsThePictureClippedAndTransparent) {
    constexpr BYTE kFill = 200;
    const struct {
        const char* name;
        POINT at;
        bool clip;
        RECT clipRect;
    } cases[] = {
        {"WholeSurface", {10, 5}, false, {}},
        {"PastTheBottomRightCorner", {60, 30}, false, {}},
        {"PastTheTopLeftCorner", {-20, -8}, false, {}},
        {"ClipLeftHalf", {10, 5}, true, {0, 0, 40, 50}},
        {"ClipMissesTheItem", {10, 5}, true, {70, 0, 80, 50}},
    };
    for (const auto& c : cases) {
        for (uint16_t mode : {uint16_t{4}, uint16_t{0}}) {
            host.style.mode = mode;
            CText t("Hej du", 60, 24, c.at.x, c.at.y, 0);
            CDibG frame;
            frame.Create(80, 50, nullptr);
            frame.Fill(kFill);
            t.Draw(frame, c.clip ? &c.clipRect : nullptr);
            const CSprite& p = t.Picture();
            int drawn = 0;
            for (int y = 0; y < frame.Height(); ++y)
                for (int x = 0; x < frame.Width(); ++x) {
                    const int px = x - c.at.x, py = y - c.at.y;
                    BYTE expected = kFill;
                    const bool inClip = !c.clip || (x >= c.clipRect.left && x < c.clipRect.right &&
                                                    y >= c.clipRect.top && y < c.clipRect.bottom);
                    if (inClip && px >= 0 && py >= 0 && px < p.Width() && py < p.Height()) {
                        const BYTE v = p.Bits()[static_cast<size_t>(py) * p.Stride() + px];
                        if (v != 0 || mode != 4) expected = v;
                    }
                    drawn += expected != kFill;
                    ASSERT_EQ(frame.GetPixel(x, y), expected)
                        << c.name << " mode " << mode << " at " << x << "," << y;
                }
            EXPECT_EQ(drawn > 0, std::string(c.name) != "ClipMissesTheItem") << c.name;
        }
    }
}

TEST_F(TextItemDraw, PictureWithoutPixelsIsNotDrawn) {
    CText t("Hej", 0, 24, 0, 0, 0);
    CDibG frame;
    frame.Create(40, 40, nullptr);
    frame.Fill(9);
    t.Draw(frame, nullptr);
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 40; ++x) ASSERT_EQ(frame.GetPixel(x, y), 9);
}

}  // namespace
