// Text costs: a text item rendered again with another spoken word in bold (once a word while a
// problem is read out), a name drawn in a bitmap font, and a wrapped text block laid out and
// drawn afresh (when a chooser row or the signboard changes).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>
#include <utility>
#include <vector>

#include "media/res/res_items_test_support.h"
#include "media/text/bitmap_font.h"
#include "media/text/text_block.h"
#include "media/text/text_host.h"
#include "media/text/text_item.h"
#include "media/text/text_test_support.h"
#include "platform/fs/dospath.h"
#include "platform/gdi/text_out.h"
#include "platform/headless/headless_backend.h"
#include "platform/fonts/font_registry.h"

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

// The game's strip of the face FONT0021 (ASCII and the Swedish letters), as the built module 1
// carries it: 'SPR' and 'IST' 1052.
void AddGameStrip(BenchHost& host, int16_t id) {
    static const auto items = [] {
        std::pair<std::vector<uint8_t>, std::vector<uint8_t>> strip;
        itemtest::CTestHost res;
        res.module = 1;
        if (!res.OpenModuleFile(1, ZELBO_RES_DIR "/Zelbo1.res") || !ReadResourceItem(kResSPR, 1052, nullptr, strip.first) ||
            !ReadResourceItem(kResIST, 1052, nullptr, strip.second))
            std::abort();
        return strip;
    }();
    host.AddSpr(id, items.first);
    host.AddList(id, items.second);
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
