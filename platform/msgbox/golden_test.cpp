// Golden images: a message box over a coloured screen, and a line of each of the game's fonts.
// The screen is compared pixel for pixel with tests/golden/*.png; ZELBO_UPDATE_GOLDEN=1 writes
// the images instead (look at them before committing).
#include <gtest/gtest.h>
#include <png.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/core/display.h"
#include "platform/core/winuser.h"
#include "platform/fs/dospath.h"
#include "platform/gdi/text_out.h"
#include "platform/headless/golden_test_support.h"
#include "platform/headless/headless_backend.h"
#include "platform/msgbox/msgbox.h"
#include "platform/fonts/font_registry.h"

namespace {

void CheckGolden(const std::string& name) { plat::test::CheckGolden(ZELBO_GOLDEN_DIR, name); }

class Golden : public ::testing::Test {
protected:
    void SetUp() override {
        m_head = &plat::InstallHeadless();
        plat::ResetGdi();
        plat::Fonts().Clear();
        plat::ClearMessageBoxLog();
    }
    void TearDown() override {
        plat::ResetWindowing();
        plat::ResetGdi();
        plat::Fonts().Clear();
    }
    plat::HeadlessBackend* m_head = nullptr;
};

// A window of colour bands through a palette of the program's own colours (entries 10-245).
LRESULT CALLBACK BandsProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    static HPALETTE palette;
    if (msg == WM_CREATE) {
        std::vector<uint8_t> buf(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * 236);
        auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
        lp->palVersion = 0x300;
        lp->palNumEntries = 236;
        for (int i = 0; i < 236; ++i)
            lp->palPalEntry[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(80 + i * 2 / 3),
                                              static_cast<BYTE>(235 - i), PC_NOCOLLAPSE};
        palette = CreatePalette(lp);
        return 0;
    }
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        SelectPalette(dc, palette, FALSE);
        RealizePalette(dc);
        for (int x = 0; x < plat::kScreenWidth; x += 8) {
            HBRUSH b = CreateSolidBrush(PALETTEINDEX((x / 8 * 7) % 236));
            RECT r{x, 0, x + 8, plat::kScreenHeight};
            FillRect(dc, &r, b);
            DeleteObject(b);
        }
        EndPaint(hwnd, &ps);
        return 0;
    }
    if (msg == WM_DESTROY) {
        DeleteObject(palette);
        palette = nullptr;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

// The CD prompt of the game over a coloured screen.
TEST_F(Golden, MessageBoxOverColouredScreen) {
    WNDCLASS wc;
    wc.lpfnWndProc = BandsProc;
    wc.lpszClassName = "GoldenBands";
    RegisterClass(&wc);
    HWND view = CreateWindow("GoldenBands", "Zelbo", WS_POPUP | WS_VISIBLE, 0, 0, plat::kScreenWidth,
                             plat::kScreenHeight, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(view, nullptr);
    UpdateWindow(view);
    m_head->PushAnswer(plat::kMessageBoxInteractive);
    m_head->At(m_head->NowMs() + 50, [] { CheckGolden("message_box.png"); });
    m_head->Key(m_head->NowMs() + 100, VK_RETURN, '\r');
    EXPECT_EQ(
        MessageBoxA(
            view,
            "Kunde inte l\xE4sa CD-ROM-skivan som inneh\xE5ller programmet. S\xE4tt in CD-ROM-skivan och "
            "klicka p\xE5 OK, eller klicka p\xE5 Avbryt f\xF6r att avsluta programmet.",
            "Zelbo", MB_OKCANCEL | MB_ICONHAND),
        IDOK);
}

// A line of each numbered font of the game, made as the game makes them, led by the red
// marker glyph; under them the dialog font in its sizes.
TEST_F(Golden, LineOfEachGameFont) {
    const std::string file = plat::Fonts().SystemFontFolder() + "/RODODED1.FON";
    ASSERT_EQ(AddFontResource(plat::HostToDosPath(file).c_str()), 12);
    struct Face {
        const char* name;
        int height, width, weight;
        bool italic;
    };
    const Face faces[] = {{"FONTSYS", 15, 4, 400, false},       {"GLORBLE", 12, 7, 400, false},
                          {"FONT0013", 13, 5, 400, false},      {"FONT0015", 15, 6, 400, false},
                          {"FONT0016", 15, 6, 700, false},      {"FONT0017", 15, 7, 400, true},
                          {"FONT0021", 21, 9, 400, false},      {"FONT0022", 21, 9, 700, false},
                          {"FONT0027", 24, 10, 400, false},     {"FONT0028", 24, 10, 700, false},
                          {"FONT0035", 35, 16, 400, false},     {"FONT0036", 36, 16, 400, false},
                          {"MS Sans Serif", 13, 0, 400, false}, {"MS Sans Serif", 13, 0, 700, false},
                          {"MS Sans Serif", 16, 0, 400, false}, {"MS Sans Serif", 16, 0, 700, false}};
    HDC screen = GetDC(nullptr);
    RECT all{0, 0, plat::kScreenWidth, plat::kScreenHeight};
    plat::FillSolid(screen, all, RGB(255, 255, 255));
    SetBkMode(screen, TRANSPARENT);
    int y = 2;
    for (const Face& f : faces) {
        HFONT font =
            CreateFont(f.height, f.width, 0, 0, f.weight, f.italic, 0, 0, ANSI_CHARSET, OUT_RASTER_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH, f.name);
        HGDIOBJ old = SelectObject(screen, font);
        TEXTMETRIC tm;
        GetTextMetrics(screen, &tm);
        SIZE marker{};
        if (f.width) {  // the game's faces only
            SetTextColor(screen, RGB(255, 0, 0));
            GetTextExtentPoint32A(screen, "\x1F ", 2, &marker);
            TextOutA(screen, 4, y, "\x1F ", 2);
        }
        SetTextColor(screen, RGB(0, 0, 0));
        const std::string line = std::string(f.name) + ": \xC5sa \xE4ter 12 r\xE4kor & \xF6l, \xC4NG \xE9";
        TextOutA(screen, 4 + marker.cx, y, line.c_str(), static_cast<int>(line.size()));
        y += tm.tmHeight + tm.tmExternalLeading + 1;
        SelectObject(screen, old);
        DeleteObject(font);
    }
    ReleaseDC(nullptr, screen);
    EXPECT_LE(y, plat::kScreenHeight);
    CheckGolden("fonts.png");
}

}  // namespace
