// Text blocks in bitmap fonts drawn from generated font strips: a justified card with inline
// pictures (one taller than the font), a right-aligned wrapped note and a single line on a
// wooden sign, composed into a frame and shown, compared with tests/golden/text_block.png
// (ZELBO_UPDATE_GOLDEN=1 writes it instead; look at it before keeping it).
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "media/res/res_items_test_support.h"
#include "media/surface/surface_test_support.h"
#include "media/text/text_block.h"
#include "media/text/text_test_support.h"
#include "platform/headless/golden_test_support.h"

namespace {

// Styled text: `{star}` and `{balloon}` become inline pictures (their sequences hold zero
// bytes), the rest is Windows-1252.
std::string Styled(const std::string& utf8Free) {
    std::string out;
    for (size_t i = 0; i < utf8Free.size(); ++i) {
        if (utf8Free.compare(i, 6, "{star}") == 0) {
            out += std::string("\xFF\x05\x04\x00\x3C\x00", 6);  // offset 4 below the baseline, id 60
            i += 5;
        } else if (utf8Free.compare(i, 9, "{balloon}") == 0) {
            out += std::string("\xFF\x05\x00\x00\x3D\x00", 6);  // id 61
            i += 8;
        } else {
            out += utf8Free[i];
        }
    }
    return out;
}

class TextBlockGolden : public surftest::SurfaceTest {};

TEST_F(TextBlockGolden, BlocksWithInlinePicturesInGeneratedFonts) {
    surftest::StartDibSystem(surftest::Mode::Plain);

    texttest::FakeTextHost host;
    CPalId palette;
    {
        // The module's items are read while its resource host is installed; the text then
        // draws from the pictures and lists the fake host keeps.
        itemtest::CTestHost res;
        res.module = 7;
        ASSERT_TRUE(res.OpenModuleFile(7, ZELBO_TEXT_SCENE_RES));
        for (int16_t id : {51, 52, 60, 61, 62}) {
            std::vector<uint8_t> spr;
            ASSERT_TRUE(ReadResourceItem(kResSPR, 7000 + id, nullptr, spr)) << id;
            ASSERT_TRUE(host.AddSpr(id, spr)) << id;
        }
        for (int16_t id : {51, 52}) {
            std::vector<uint8_t> list;
            ASSERT_TRUE(ReadResourceItem(kResIST, 7000 + id, nullptr, list)) << id;
            host.AddList(id, list);
        }
        ASSERT_TRUE(surftest::LoadModulePalette(7000, palette));
    }

    CBitmapFont plain(51, 0, 1);
    CBitmapFont sign(52, 18, 1);

    CCorStyledString cardText;
    const std::string styled = Styled(
        "Hej \xC5sa! H\xE4r \xE4r en stj\xE4rna {star} och en ballong {balloon} som "
        "flyger h\xF6gt. Kan du r\xE4kna alla stj\xE4rnor {star} {star} {star} p\xE5 "
        "himlen i kv\xE4ll?");
    cardText.Assign(reinterpret_cast<const BYTE*>(styled.data()), static_cast<int16_t>(styled.size()));
    CTextStyle card;
    card.text = &cardText;
    card.font = &plain;
    card.x = 30;
    card.y = 30;
    const CCorRect cardBox{0, 0, 330, 230};
    card.box = &cardBox;
    card.justification = kJustifyStretch | kJustifySpread;
    card.marginX = 12;
    card.marginY = 10;
    card.fillColor = 229;  // pale sand
    card.frameWidth = 3;
    card.frameColor = 136;  // deep blue
    CTextBlock cardBlock(card);

    CCorStyledString noteText;
    noteText.AssignText("Tryck p\xE5 en siffra f\xF6r att b\xF6rja.\nLycka till!");
    CTextStyle note;
    note.text = &noteText;
    note.font = &plain;
    note.x = 390;
    note.y = 40;
    note.wrapWidth = 220;
    note.justification = kJustifyRight;
    note.inkColor = 140;  // blue ink instead of the strip's own
    note.marginX = 4;
    CTextBlock noteBlock(note);

    CCorStyledString name;
    name.AssignText("\xC4lskade \xD6rjan");
    CTextStyle board;
    board.text = &name;
    board.font = &sign;
    board.x = 320;
    board.y = 330;
    const CCorRect boardBox{0, 0, 300, 50};
    board.box = &boardBox;
    board.justification = kJustifyCentre | kJustifyMiddle;
    board.backgroundId = 62;
    CTextBlock boardBlock(board);

    // Compose: a sky-blue frame with each block's picture at its sprite's place.
    CDibG frame;
    frame.CreateRealized(640, 480, &palette);
    CSprite sky(-1);
    ASSERT_TRUE(sky.AllocBits(640, 480));
    std::memset(sky.Bits(), 125, sky.Size());
    sky.SetTransparent(FALSE);
    frame.CopySprite(sky, POINT{0, 0}, FALSE);
    const RECT all{0, 0, 640, 480};
    for (const auto& s : host.sprites) {
        const texttest::Picture* p = host.Find(s->picture);
        ASSERT_NE(p, nullptr);
        CSprite picture(-1);
        ASSERT_TRUE(picture.AllocBits(p->width, p->height));
        for (int y = 0; y < p->height; ++y)
            std::memcpy(picture.Bits() + static_cast<size_t>(y) * picture.Stride(),
                        p->bits.data() + static_cast<size_t>(y) * p->stride, static_cast<size_t>(p->width));
        frame.DrawSprite(picture, POINT{s->x, s->y}, all, FALSE);
    }

    // The card's balloon line sits lower than its neighbours would put it; the spread puts
    // the last baseline at the bottom of the box's free space.
    const CTextLineList& lines = cardBlock.Lines();
    ASSERT_GE(lines.Length(), 4);
    EXPECT_EQ(cardBlock.Rect().Height(), 230);
    EXPECT_EQ(noteBlock.Rect().Width(), 220);

    HDC screen = GetDC(nullptr);
    SelectPalette(screen, palette, FALSE);
    RealizePalette(screen);
    frame.DrawRect(screen, all, all, SRCCOPY);
    ReleaseDC(nullptr, screen);
    plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "text_block.png");
}

}  // namespace
