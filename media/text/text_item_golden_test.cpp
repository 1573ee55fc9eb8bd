// Text items on a game screen: pictures rendered in the game's fonts (a spoken word in the bold
// twin, the red marker, an opaque box, right and bottom alignment, line breaks inside a line, a
// clipped item) drawn into a frame surface, presented through the palette display and compared
// pixel for pixel with tests/golden/text_item.png (ZELBO_UPDATE_GOLDEN=1 writes it instead;
// look at it first).
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/pal_id.h"
#include "media/text/text_host.h"
#include "media/text/text_item.h"
#include "platform/gdi/text_test_support.h"
#include "platform/headless/golden_test_support.h"

namespace {

// The engine's side: the colour table of colour numbers and the screen palette's entries.
class PaletteHost : public ITextHost {
public:
    explicit PaletteHost(HPALETTE palette) { GetPaletteEntries(palette, 0, 256, entries); }

    TextStyleRecord CurrentTextStyle() override { return style; }
    COLORREF ColorNumberToRGB(int16_t code) override {
        switch (code) {
            case 1:
                return RGB(255, 255, 0);
            case 2:
                return RGB(255, 0, 0);
            case 7:
                return RGB(0, 0, 255);
            case 9:
                return RGB(0, 128, 0);
            case 14:
                return RGB(255, 255, 255);
            default:
                return RGB(0, 0, 0);
        }
    }
    int NearestPaletteIndex(COLORREF colour, int first, int last) override {
        long best = 195075;
        int found = -1;
        for (int i = std::max(first, 0); i <= std::min(last, 255); ++i) {
            const long dr = long{entries[i].peRed} - GetRValue(colour);
            const long dg = long{entries[i].peGreen} - GetGValue(colour);
            const long db = long{entries[i].peBlue} - GetBValue(colour);
            if (dr * dr + dg * dg + db * db < best) {
                best = dr * dr + dg * dg + db * db;
                found = i;
            }
        }
        return found;
    }

    TextStyleRecord style;
    PALETTEENTRY entries[256] = {};
};

// A soft background, a card, a strip for the clipped item, the colours of the colour table
// and a ramp of greys.
std::vector<uint8_t> SceneColours() {
    std::vector<uint8_t> rgb(768);
    auto set = [&](int i, int r, int g, int b) {
        rgb[3 * static_cast<size_t>(i)] = static_cast<uint8_t>(r);
        rgb[3 * static_cast<size_t>(i) + 1] = static_cast<uint8_t>(g);
        rgb[3 * static_cast<size_t>(i) + 2] = static_cast<uint8_t>(b);
    };
    for (int i = 0; i < 256; ++i) set(i, i, i, i);
    set(20, 250, 240, 215);  // background
    set(21, 255, 255, 255);  // card
    set(22, 180, 210, 240);  // strip
    set(30, 0, 0, 0);
    set(31, 250, 10, 10);
    set(32, 255, 255, 0);
    set(33, 0, 0, 255);
    set(34, 0, 128, 0);
    set(35, 255, 255, 255);
    return rgb;
}

class TextItemGolden : public gdi_test::TextTest {
protected:
    void SetUp() override {
        TextTest::SetUp();
        InitDibSystem(nullptr, true, 0);
    }
    void TearDown() override {
        SetTextHost(nullptr);
        ShutdownDibSystem();
        TextTest::TearDown();
    }
};

TEST_F(TextItemGolden, ItemsOnAScreen) {
    const std::vector<uint8_t> rgb = SceneColours();
    CPalId palette;
    palette.FromRgbTriplets(rgb.data());
    PaletteHost host(palette);
    SetTextHost(&host);

    CDibG frame;
    frame.CreateRealized(640, 480, &palette);
    frame.Fill(20);
    for (int y = 140; y < 300; ++y)
        for (int x = 30; x < 610; ++x) frame.SetPixel(x, y, 21);
    for (int y = 400; y < 460; ++y)
        for (int x = 0; x < 640; ++x) frame.SetPixel(x, y, 22);

    std::vector<std::unique_ptr<CText>> items;
    // The question, spoken word by word: the marker in red and "b\xE5tar" (word 3) in bold.
    host.style = TextStyleRecord{27, RGB(0, 0, 0), RGB(0, 0, 0), 4};
    items.push_back(
        std::make_unique<CText>("Hur m\xE5nga b\xE5tar finns det p\xE5 sj\xF6n?", 580, 90, 30, 30, 0));
    items.back()->SetMarker(TRUE);
    items.back()->Rerender(3, 3);
    // An opaque box, lines left and block at the top.
    host.style = TextStyleRecord{21, RGB(0, 0, 0), RGB(0, 0, 0), 0};
    items.push_back(std::make_unique<CText>(
        "R\xE4kna alla b\xE5tarna och klicka\np\xE5 r\xE4tt siffra. Sedan f\xE5r du en ny uppgift.", 270, 140,
        40, 150, CText::kAlignLeft | CText::kAlignTop));
    items.back()->SetColors(7, 1);
    // Right and bottom, in the small face.
    host.style = TextStyleRecord{15, RGB(0, 128, 0), RGB(0, 0, 0), 4};
    items.push_back(std::make_unique<CText>("Sju sj\xF6sjuka sj\xF6m\xE4n p\xE5 \xC5lands hav", 270, 140, 330,
                                            150, CText::kAlignRight | CText::kAlignBottom));
    // Left with the marker: the lines after the first indented by its width.
    items.push_back(std::make_unique<CText>("Glorble \xC4R \xD6VER \xC9N\nrad tv\xE5 och rad tre", 170, 70,
                                            330, 305, CText::kAlignLeft));
    items.back()->SetMarker(TRUE);
    // Texts that fit on one line keep their line breaks inside it: drawn as blanks, no '?'.
    host.style = TextStyleRecord{21, RGB(0, 0, 0), RGB(0, 0, 0), 4};
    items.push_back(std::make_unique<CText>("Ja\nNej", 270, 30, 330, 160, CText::kAlignLeft));
    items.push_back(std::make_unique<CText>("Ja\r\nNej", 270, 30, 330, 190, CText::kAlignLeft));
    // The largest face, in red, of which the strip shows only its own part.
    host.style = TextStyleRecord{35, RGB(0, 0, 0), RGB(0, 0, 0), 4};
    items.push_back(std::make_unique<CText>("0123456789", 600, 80, 20, 364, 0));
    items.back()->SetColors(2, 0);

    const RECT strip{0, 400, 640, 460};
    for (size_t i = 0; i < items.size(); ++i) items[i]->Draw(frame, i + 1 == items.size() ? &strip : nullptr);

    HDC screen = GetDC(nullptr);
    SelectPalette(screen, palette, FALSE);
    RealizePalette(screen);
    const RECT all{0, 0, 640, 480};
    frame.DrawRect(screen, all, all, SRCCOPY);
    ReleaseDC(nullptr, screen);

    plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "text_item.png");
}

}  // namespace
