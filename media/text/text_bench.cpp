// Text costs: a text item rendered again with another spoken word in bold (once a word while a
// problem is read out), a name drawn in a bitmap font, and a wrapped text block laid out and
// drawn afresh (when a chooser row or the signboard changes).
#include <benchmark/benchmark.h>

#include <string>

#include "media/text/bitmap_font.h"
#include "media/text/text_block.h"
#include "media/text/text_host.h"
#include "media/text/text_item.h"
#include "media/text/text_test_support.h"
#include "platform/fs/dospath.h"
#include "platform/gdi/text_out.h"
#include "platform/headless/headless_backend.h"
#include "platform/fonts/font_registry.h"
#include "tools/mkres/font_strip.h"

namespace {

class BenchHost : public texttest::FakeTextHost {
public:
    int NearestPaletteIndex(COLORREF colour, int, int) override { return colour == RGB(0, 0, 0) ? 22 : 37; }
};

struct Fonts {
    Fonts() {
        plat::InstallHeadless();
        plat::ResetGdi();
        plat::Fonts().Clear();
        AddFontResource(plat::HostToDosPath(plat::Fonts().SystemFontFolder() + "/RODODED1.FON").c_str());
    }
};

// A strip of the game face FONT0021 with ASCII and the Swedish letters, as the data has.
void AddGameStrip(BenchHost& host, int16_t id) {
    std::string chars;
    for (int c = 0x20; c < 0x7F; ++c) chars += static_cast<char>(c);
    chars += "\xC5\xC4\xD6\xE5\xE4\xF6";
    const auto face = plat::ChooseFace("FONT0021", 21, 9, 400, false);
    mkres::FontStripStyle style;
    style.ink = 22;
    std::string error;
    const auto strip = mkres::DrawFontStrip(*face, chars, style, &error);
    host.AddSpr(id, strip->SprBytes());
    host.AddList(id, mkres::FontStripCharList(chars));
}

void BM_TextItemRerenderWord(benchmark::State& state) {
    Fonts fonts;
    BenchHost host;
    CText text("Hur m\xE5nga b\xE5tar finns det p\xE5 sj\xF6n? R\xE4kna dem och klicka p\xE5 r\xE4tt siffra.", 420,
               70, 100, 60, 0);
    int word = 0;
    for (auto _ : state) {
        word = word % 14 + 1;
        benchmark::DoNotOptimize(text.Rerender(word, word));
    }
}
BENCHMARK(BM_TextItemRerenderWord);

void BM_BitmapFontDrawName(benchmark::State& state) {
    Fonts fonts;
    BenchHost host;
    AddGameStrip(host, 52);
    host.AddPicture(60, std::vector<std::vector<BYTE>>(30, std::vector<BYTE>(300, 0)));
    CBitmapFont font(52, 0, 1);
    font.SetTarget(60);
    const std::string name = "\xC5sa-Maria \xD6" "berg";
    const std::span<const BYTE> units(reinterpret_cast<const BYTE*>(name.data()), name.size());
    for (auto _ : state) {
        font.MoveTo(4, 20);
        font.DrawUnits(units, static_cast<int16_t>(name.size()));
    }
}
BENCHMARK(BM_BitmapFontDrawName);

void BM_TextBlockRelayout(benchmark::State& state) {
    Fonts fonts;
    BenchHost host;
    AddGameStrip(host, 52);
    CBitmapFont font(52, 0, 1);
    CCorStyledString text;
    text.AssignText("Tryck p\xE5 ditt namn, eller skriv ett nytt namn och tryck p\xE5 OK f\xF6r att b\xF6rja spela.");
    CTextStyle style;
    style.text = &text;
    style.font = &font;
    style.wrapWidth = 300;
    style.marginX = 6;
    CTextBlock block(style);
    for (auto _ : state) block.Relayout();
}
BENCHMARK(BM_TextBlockRelayout);

}  // namespace
