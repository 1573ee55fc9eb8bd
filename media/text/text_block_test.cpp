#include "media/text/text_block.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "media/text/text_test_support.h"

namespace {

using texttest::AddBoxStrip;
using texttest::FakeTextHost;
using texttest::Picture;

// Box glyphs with spacing 1: ascent 1, baseline 1, greatest descent 2 ('g'), line height 5;
// the default line gap is 2 + 3, so baselines lie 6 apart.
class TextBlockTest : public testing::Test {
protected:
    void SetUp() override {
        AddBoxStrip(host, 51, {{' ', 2}, {'a', 3}, {'b', 3}, {'g', 3, 2}, {'x', 4}});
        font = std::make_unique<CBitmapFont>(51, 0, 1);
        ASSERT_EQ(font->Baseline(), 1);
        ASSERT_EQ(font->LineHeight(), 5);
        ASSERT_EQ(font->GreatestDescent(), 2);
    }

    std::unique_ptr<CTextBlock> Wrapped(const std::string& text, int16_t width) {
        str.Assign(reinterpret_cast<const BYTE*>(text.data()), static_cast<int16_t>(text.size()));
        CTextStyle style;
        style.text = &str;
        style.font = font.get();
        style.wrapWidth = width;
        return std::make_unique<CTextBlock>(style);
    }

    std::unique_ptr<CTextBlock> Boxed(const std::string& text, CCorRect box, BYTE justification) {
        str.Assign(reinterpret_cast<const BYTE*>(text.data()), static_cast<int16_t>(text.size()));
        return std::make_unique<CTextBlock>(&str, font.get(), CCorPoint{10, 20}, box, justification, 7);
    }

    // The lines as (start, units, baseline).
    static std::vector<std::array<int, 3>> LinesOf(const CTextBlock& block) {
        std::vector<std::array<int, 3>> out;
        for (int16_t i = 0; i < block.Lines().Length(); ++i) {
            const TextBlockLine* l = block.Lines().ItemAt(i);
            out.push_back({l->start, l->units, l->baseline});
        }
        return out;
    }

    // One row of the shown picture: '#' ink, '.' 0, other values as '?'.
    std::string Row(const CTextBlock& block, int y) {
        const Picture* p = host.Shown(block.Sprite());
        std::string row;
        for (int x = 0; p && x < p->width; ++x) {
            const BYTE v = p->At(x, y);
            row += v == 0 ? '.' : v == 40 ? '#' : '?';
        }
        return row;
    }

    FakeTextHost host;
    std::unique_ptr<CBitmapFont> font;
    CCorStyledString str;
};

TEST_F(TextBlockTest, WrapsAtBlanksLinesAndOverWideWords) {
    struct Case {
        const char* what;
        std::string text;
        int16_t width;
        std::vector<std::array<int, 3>> lines;
    } const cases[] = {
        // Running widths 4 8 11 14 18: "b" overflows; the break is at the second blank.
        {"two blanks", "aa  bb", 15, {{0, 3, 1}, {4, 2, 7}}},
        {"fits", "aa bb", 40, {{0, 5, 1}}},
        {"line break", "ab\nba", 40, {{0, 2, 1}, {3, 2, 7}}},
        {"leading blanks skipped", "  ab", 40, {{2, 2, 1}}},
        {"over-wide word stands alone", "a xxxxx b", 15, {{0, 1, 1}, {2, 5, 7}, {8, 1, 13}}},
        {"trailing break keeps no empty line", "ab\n", 40, {{0, 2, 1}}},
        {"CR LF is one break", "ab\r\nba", 40, {{0, 2, 1}, {4, 2, 7}}},
        {"two breaks make an empty line", "ab\n\nba", 40, {{0, 2, 1}, {3, 0, 7}, {4, 2, 13}}},
        // A word after a space code is not split either: it moves whole to the next line.
        {"word after a space code", std::string("\xFE\x03\x02\x00", 4) + "aaaaaa", 15, {{0, 1, 1}, {4, 6, 7}}},
        {"empty", "", 40, {}},
    };
    for (const Case& c : cases) {
        const auto block = Wrapped(c.text, c.width);
        EXPECT_EQ(block->Mode(), CTextBlock::kWrapToWidth) << c.what;
        EXPECT_EQ(LinesOf(*block), c.lines) << c.what;
    }
    // Height: the last baseline + its descent + 1 (+ margin).
    EXPECT_EQ(Wrapped("aa  bb", 15)->Rect().Height(), 7 + 0 + 1);
    EXPECT_EQ(Wrapped("aa  gg", 15)->Rect().Height(), 7 + 2 + 1);
    EXPECT_EQ(Wrapped("aa  bb", 15)->Rect().Width(), 15);
}

TEST_F(TextBlockTest, AnInlinePictureTallerThanTheFontPushesItsLineAndLaterOnesDown) {
    host.AddPicture(77, std::vector<std::vector<BYTE>>(6, std::vector<BYTE>(2, 50)));  // 6 high: 5 above
    const std::string text = std::string("a") + std::string("\xFF\x05\x00\x00\x4D\x00", 6) + "\nb\nb";
    const auto block = Wrapped(text, 40);
    EXPECT_EQ(LinesOf(*block), (std::vector<std::array<int, 3>>{{0, 2, 5}, {8, 1, 11}, {10, 1, 17}}));
    // A picture that is not taller than the font moves nothing.
    host.AddPicture(77, std::vector<std::vector<BYTE>>(2, std::vector<BYTE>(2, 50)));
    EXPECT_EQ(LinesOf(*Wrapped(text, 40)),
              (std::vector<std::array<int, 3>>{{0, 2, 1}, {8, 1, 7}, {10, 1, 13}}));
    // A picture that does not fit moves whole to the next line.
    host.AddPicture(77, std::vector<std::vector<BYTE>>(2, std::vector<BYTE>(9, 50)));
    EXPECT_EQ(LinesOf(*Wrapped(std::string("aa") + std::string("\xFF\x05\x00\x00\x4D\x00", 6), 12)),
              (std::vector<std::array<int, 3>>{{0, 2, 1}, {2, 1, 7}}));
}

TEST_F(TextBlockTest, JustifiedBlanksStretchToTheBox) {
    const auto block = Boxed("a a a", CCorRect{0, 0, 20, 4}, kJustifyStretch | kJustifyTop);
    EXPECT_EQ(Row(*block, 1), "###.....###......###");
    EXPECT_EQ(block->Reserved(), 7);
}

TEST_F(TextBlockTest, HorizontalAndVerticalPlacement) {
    struct Case {
        BYTE justification;
        int firstInkRow;  // of the only line (rows 0..1 at the top)
        std::string row;
    } const cases[] = {
        {0, 0, "###......."},  // 0 is left and top
        {kJustifyRight | kJustifyTop, 0, ".......###"},
        {kJustifyCentre | kJustifyTop, 0, "....###..."},  // 10 / 2 - 3 / 2
        // Free space 12 - 1 - 2 - 1 = 8 (the font's greatest descent counts).
        {kJustifyLeft | kJustifyBottom, 8, "###......."},
        {kJustifyLeft | kJustifyMiddle, 4, "###......."},
        {kJustifyLeft | kJustifySpread, 8, "###......."},  // one line goes to the bottom
    };
    for (const Case& c : cases) {
        const auto block = Boxed("a", CCorRect{0, 0, 10, 12}, c.justification);
        EXPECT_EQ(Row(*block, c.firstInkRow), c.row) << int{c.justification};
        EXPECT_EQ(Row(*block, c.firstInkRow + 1), c.row) << int{c.justification};
        if (c.firstInkRow > 0) {
            EXPECT_EQ(Row(*block, c.firstInkRow - 1), "..........") << int{c.justification};
        }
    }
    EXPECT_EQ(Boxed("a", CCorRect{0, 0, 10, 12}, 0)->Justification(), kJustifyLeft | kJustifyTop);
}

TEST_F(TextBlockTest, ABoxIsMeasuredFromItsOwnCorner) {
    const auto block = Boxed("a", CCorRect{0, 10, 10, 22}, kJustifyLeft | kJustifyBottom);
    EXPECT_EQ(block->Rect().top, 0);
    EXPECT_EQ(block->Rect().bottom, 12);
    EXPECT_EQ(Row(*block, 8), "###.......");
}

TEST_F(TextBlockTest, SpreadPutsTheLastBaselineAtTheBottom) {
    // Baselines 1, 7, 13; free = 40 - 13 - 2 - 1 = 24: shifts 0, 12, 24.
    const auto block = Boxed("a\nb\na", CCorRect{0, 0, 8, 40}, kJustifyLeft | kJustifySpread);
    for (int y : {0, 1, 18, 19, 36, 37}) EXPECT_EQ(Row(*block, y), "###.....") << y;
    for (int y : {2, 17, 20, 35, 38, 39}) EXPECT_EQ(Row(*block, y), "........") << y;
}

TEST_F(TextBlockTest, ScrolledLinesMoveUpToTheTop) {
    const auto block = Boxed("a\nbb\na", CCorRect{0, 0, 8, 12}, 0);
    block->SetFirstVisibleLine(1);
    block->Relayout();
    EXPECT_EQ(Row(*block, 0), "###.###.");
    EXPECT_EQ(Row(*block, 6), "###.....");
    EXPECT_EQ(Row(*block, 7), "###.....");
}

TEST_F(TextBlockTest, SingleLineSizeFollowsTheText) {
    str.AssignText("ab");
    CTextStyle style;
    style.text = &str;
    style.font = font.get();
    style.marginX = 2;
    style.marginY = 1;
    style.x = 5;
    style.y = 6;
    CTextBlock block(style);
    EXPECT_EQ(block.Mode(), CTextBlock::kSingleLine);
    EXPECT_EQ(block.Rect().Width(), 3 + 1 + 3 + 4);
    EXPECT_EQ(block.Rect().Height(), 5 + 2);
    // The pen starts at x 0 with its baseline above the text's descent.
    EXPECT_EQ(Row(block, 6), "###.###....");
    EXPECT_EQ(Row(block, 5), "###.###....");
    ASSERT_EQ(host.sprites.size(), 1u);
    EXPECT_EQ(host.sprites[0]->x, 5);
    EXPECT_EQ(host.sprites[0]->y, 6);
}

TEST_F(TextBlockTest, BackgroundFillFrameAndPicture) {
    str.AssignText("a");
    CTextStyle style;
    style.text = &str;
    style.font = font.get();
    CCorRect box{0, 0, 6, 5};
    style.box = &box;
    style.fillColor = 12;
    style.frameWidth = 1;
    style.frameColor = 200;
    style.marginX = 1;
    style.marginY = 1;
    style.inkColor = 3;
    {
        CTextBlock block(style);
        const Picture& p = *host.Shown(block.Sprite());
        EXPECT_EQ(p.At(0, 0), 200);
        EXPECT_EQ(p.At(5, 4), 200);
        EXPECT_EQ(p.At(4, 3), 12);
        EXPECT_EQ(p.At(1, 1), 3);  // the ink colour, restored afterwards
        EXPECT_EQ(font->InkColor(), font->BackgroundColor());
    }
    {
        // A frame is cut to half the block's smaller side: 3 becomes 2 on a block 5 high.
        style.frameWidth = 3;
        style.text = nullptr;
        CTextBlock block(style);
        const Picture& p = *host.Shown(block.Sprite());
        EXPECT_EQ(p.At(1, 1), 200);
        EXPECT_EQ(p.At(4, 3), 200);
        EXPECT_EQ(p.At(2, 2), 12);
        style.text = &str;
    }
    // A background picture is copied with its 0 pixels.
    host.AddPicture(88, {{0, 7, 7}, {7, 0, 7}});
    style.backgroundId = 88;
    style.backgroundX = 4;
    style.backgroundY = 3;
    style.frameWidth = 0;
    style.fillColor = 0;
    style.text = nullptr;
    CTextBlock block(style);
    const Picture& p = *host.Shown(block.Sprite());
    EXPECT_EQ(p.At(4, 3), 0);
    EXPECT_EQ(p.At(5, 3), 7);
    EXPECT_EQ(p.At(4, 4), 7);
    EXPECT_EQ(p.At(3, 3), 0);
}

TEST_F(TextBlockTest, PicturesAreReplacedKeptOnFailureAndFreed) {
    auto block = Wrapped("ab", 20);
    const int16_t first = block->PictureId();
    ASSERT_GE(first, 0);
    str.AssignText("ab ab ab ab");
    block->Relayout();  // mode 2: a new picture, the old one purged
    const int16_t second = block->PictureId();
    EXPECT_NE(second, first);
    EXPECT_EQ(host.Find(first), nullptr);
    EXPECT_EQ(host.Shown(block->Sprite())->height, block->Rect().Height());

    host.failBlankPictures = true;
    str.AssignText("a");
    block->Relayout();
    EXPECT_EQ(block->PictureId(), second);
    EXPECT_NE(host.Find(second), nullptr);
    host.failBlankPictures = false;

    void* sprite = block->Sprite();
    EXPECT_TRUE(block->HasSprite(sprite));
    EXPECT_FALSE(block->HasSprite(nullptr));
    block.reset();
    EXPECT_TRUE(host.sprites.empty());
    EXPECT_EQ(host.Find(second), nullptr);
}

TEST_F(TextBlockTest, BoxRelayoutRedrawsTheSamePictureClean) {
    const auto block = Boxed("bbb", CCorRect{0, 0, 12, 4}, 0);
    const int16_t picture = block->PictureId();
    EXPECT_EQ(Row(*block, 1), "###.###.###.");
    str.AssignText("a");
    block->Relayout();
    EXPECT_EQ(block->PictureId(), picture);
    EXPECT_EQ(Row(*block, 1), "###.........");
    EXPECT_EQ(host.sprites[0]->invalidated, 1);
}

TEST(TextLineList, IndexesInsertsAndFrees) {
    CTextLineList list;
    EXPECT_EQ(list.ItemAt(0), nullptr);
    list.Append(TextBlockLine{0, 1, 0, 0});
    list.Append(TextBlockLine{2, 1, 0, 0});
    EXPECT_TRUE(list.InsertAt(1, TextBlockLine{1, 1, 0, 0}));
    EXPECT_TRUE(list.InsertAt(3, TextBlockLine{3, 1, 0, 0}));
    EXPECT_FALSE(list.InsertAt(5, TextBlockLine{}));
    EXPECT_FALSE(list.InsertAt(-1, TextBlockLine{}));
    ASSERT_EQ(list.Length(), 4);
    for (int16_t i = 0; i < 4; ++i) EXPECT_EQ(list.ItemAt(i)->start, i);
    EXPECT_EQ(list.ItemAt(4), nullptr);
    EXPECT_EQ(list.ItemAt(-1), nullptr);
    list.FreeAll();
    EXPECT_EQ(list.Length(), 0);
}

}  // namespace
