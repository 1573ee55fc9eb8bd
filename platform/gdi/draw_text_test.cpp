#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "platform/gdi/text_test_support.h"

using namespace gdi_test;

namespace {

// DrawText with the dialog face (13 pixels) on a white 8-bit canvas.
class DrawTextTest : public TextTest {
protected:
    void SetUp() override {
        TextTest::SetUp();
        m_canvas = std::make_unique<Canvas>(300, 120);
        SelectObject(Dc(), GetStockObject(DEFAULT_GUI_FONT));
        GetTextMetrics(Dc(), &m_tm);
    }
    void TearDown() override {
        m_canvas.reset();
        TextTest::TearDown();
    }
    HDC Dc() const { return m_canvas->Dc(); }
    int Width(const std::string& s) const {
        SIZE size;
        GetTextExtentPoint32A(Dc(), s.data(), static_cast<int>(s.size()), &size);
        return size.cx;
    }
    std::unique_ptr<Canvas> m_canvas;
    TEXTMETRIC m_tm;
};

struct BreakCase {
    const char* text;
    int widthExtra;  // rectangle width: Width(fitsOn) + widthExtra
    const char* fitsOn;
    UINT format;
    std::vector<const char*> lines;  // as drawn
};

void PrintTo(const BreakCase& c, std::ostream* os) {
    *os << '"' << c.text << "\" format " << c.format;
}

class LineBreaks : public DrawTextTest, public ::testing::WithParamInterface<BreakCase> {};

// DT_CALCRECT gives the lines' height and the widest line's width without drawing, and the
// drawn text is the same pixels as the expected lines drawn one under the other.
TEST_P(LineBreaks, CalcRectAndPixelsMatchTheExpectedLines) {
    const BreakCase& c = GetParam();
    const int width = Width(c.fitsOn) + c.widthExtra;
    RECT calc{10, 5, 10 + width, 5};
    const int height = DrawTextA(Dc(), c.text, -1, &calc, c.format | DT_CALCRECT);
    const int lines = static_cast<int>(c.lines.size());
    EXPECT_EQ(height, lines * m_tm.tmHeight);
    EXPECT_EQ(calc.bottom, 5 + lines * m_tm.tmHeight);
    int widest = 0;
    for (const char* l : c.lines) widest = std::max(widest, Width(l));
    EXPECT_EQ(calc.right, 10 + widest);
    EXPECT_TRUE(SameRect(m_canvas->InkBox(), RECT{})) << "DT_CALCRECT draws nothing";

    RECT rect{10, 5, 10 + width, 115};
    EXPECT_EQ(DrawTextA(Dc(), c.text, static_cast<int>(std::strlen(c.text)), &rect, c.format | DT_NOCLIP),
              height);
    Canvas expected(300, 120);
    SelectObject(expected.Dc(), GetStockObject(DEFAULT_GUI_FONT));
    for (int i = 0; i < lines; ++i)
        TextOutA(expected.Dc(), 10, 5 + i * m_tm.tmHeight, c.lines[static_cast<size_t>(i)],
                 static_cast<int>(std::strlen(c.lines[static_cast<size_t>(i)])));
    EXPECT_EQ(m_canvas->Pixels(), expected.Pixels());
}

INSTANTIATE_TEST_SUITE_P(
    Table, LineBreaks,
    ::testing::Values(
        // Exactly wide enough for the first two words; one pixel less breaks after the first.
        BreakCase{"ooo ooo ooo", 0, "ooo ooo", DT_WORDBREAK, {"ooo ooo", "ooo"}},
        BreakCase{"ooo ooo ooo", -1, "ooo ooo", DT_WORDBREAK, {"ooo", "ooo", "ooo"}},
        // Blanks at a break go; a word wider than the rectangle keeps a line of its own.
        BreakCase{"Sj\xF6  r\xE4ksm\xF6rg\xE5sar  ok",
                  0,
                  "Sj\xF6",
                  DT_WORDBREAK,
                  {"Sj\xF6", "r\xE4ksm\xF6rg\xE5sar", "ok"}},
        // Line breaks of every kind, with and without word breaking.
        BreakCase{"ett\r\ntv\xE5\nfyra\rfem", 200, "", 0, {"ett", "tv\xE5", "fyra", "fem"}},
        BreakCase{"ett tv\xE5\r\n\r\ntre", 0, "ett", DT_WORDBREAK, {"ett", "tv\xE5", "", "tre"}},
        // Without DT_WORDBREAK a long line stays whole.
        BreakCase{"aaa bbb ccc", 0, "aaa", DT_LEFT, {"aaa bbb ccc"}}));

// Single lines are placed left, centred or right, top, centred or bottom in the rectangle;
// the result is the distance from the rectangle's top to the bottom of the text.
TEST_F(DrawTextTest, SingleLineAlignment) {
    struct Case {
        UINT format;
        int x;  // 0 left, 1 centre, 2 right
        int y;  // 0 top, 1 centre, 2 bottom
    };
    const Case cases[] = {{DT_SINGLELINE, 0, 0},
                          {DT_SINGLELINE | DT_CENTER | DT_VCENTER, 1, 1},
                          {DT_SINGLELINE | DT_RIGHT | DT_BOTTOM, 2, 2},
                          {DT_SINGLELINE | DT_CENTER | DT_BOTTOM, 1, 2}};
    const RECT rect{20, 10, 221, 60};
    const char* text = "Avbryt";
    for (const Case& c : cases) {
        Canvas got(300, 120), want(300, 120);
        SelectObject(got.Dc(), GetStockObject(DEFAULT_GUI_FONT));
        SelectObject(want.Dc(), GetStockObject(DEFAULT_GUI_FONT));
        RECT r = rect;
        const int result = DrawTextA(got.Dc(), text, -1, &r, c.format);
        const int w = Width(text);
        const int x = c.x == 0 ? 20 : c.x == 1 ? 20 + (201 - w) / 2 : 221 - w;
        const int y = c.y == 0 ? 10 : c.y == 1 ? 10 + (50 - m_tm.tmHeight) / 2 : 60 - m_tm.tmHeight;
        TextOutA(want.Dc(), x, y, text, 6);
        EXPECT_EQ(got.Pixels(), want.Pixels()) << c.format;
        EXPECT_EQ(result, y - 10 + m_tm.tmHeight) << c.format;
    }
}

// "&x" draws x underlined, "&&" draws "&"; DT_NOPREFIX draws the text as it is.
TEST_F(DrawTextTest, MnemonicsAreUnderlined) {
    RECT r{4, 4, 200, 40};
    DrawTextA(Dc(), "&F\xF6rs\xF6k && igen", -1, &r, DT_SINGLELINE);
    Canvas plain(300, 120);
    SelectObject(plain.Dc(), GetStockObject(DEFAULT_GUI_FONT));
    TextOutA(plain.Dc(), 4, 4, "F\xF6rs\xF6k & igen", 13);
    const std::vector<uint8_t> got = m_canvas->Pixels(), want = plain.Pixels();
    const int row = 4 + m_tm.tmAscent + 1;
    const int fWidth = Width("F");
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 300; ++x) {
            const bool underline = y == row && x >= 4 && x < 4 + fWidth;
            ASSERT_EQ(got[y * 300 + x], underline ? 0 : want[y * 300 + x]) << x << "," << y;
        }

    Canvas literal(300, 120), literalWant(300, 120);
    for (Canvas* c : {&literal, &literalWant}) SelectObject(c->Dc(), GetStockObject(DEFAULT_GUI_FONT));
    r = RECT{4, 4, 200, 40};
    DrawTextA(literal.Dc(), "&Ja", -1, &r, DT_SINGLELINE | DT_NOPREFIX);
    TextOutA(literalWant.Dc(), 4, 4, "&Ja", 3);
    EXPECT_EQ(literal.Pixels(), literalWant.Pixels());
    // The prefix does not count in the width.
    r = RECT{0, 0, 0, 0};
    DrawTextA(Dc(), "&Nej", -1, &r, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(r.right, Width("Nej"));
}

// Tabs jump to stops every eight average widths; without DT_EXPANDTABS they are characters.
TEST_F(DrawTextTest, ExpandTabs) {
    RECT r{0, 0, 0, 0};
    DrawTextA(Dc(), "a\tb", -1, &r, DT_SINGLELINE | DT_EXPANDTABS | DT_CALCRECT);
    EXPECT_EQ(r.right, 8 * m_tm.tmAveCharWidth + Width("b"));
    r = RECT{0, 0, 0, 0};
    DrawTextA(Dc(), "a\tb", -1, &r, DT_SINGLELINE | DT_CALCRECT);
    EXPECT_EQ(r.right, Width("a\tb"));
}

// Without DT_NOCLIP nothing is drawn outside the rectangle.
TEST_F(DrawTextTest, ClipsToTheRectangle) {
    SetBkColor(Dc(), RGB(0, 0, 255));
    RECT r{10, 10, 40, 18};
    DrawTextA(Dc(), "En mycket l\xE5ng rad", -1, &r, DT_LEFT);
    const RECT box = m_canvas->InkBox();
    EXPECT_GE(box.left, 10);
    EXPECT_GE(box.top, 10);
    EXPECT_LE(box.right, 40);
    EXPECT_LE(box.bottom, 18);
    EXPECT_FALSE(SameRect(box, RECT{}));
}

}  // namespace
