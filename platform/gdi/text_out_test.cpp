#include <gtest/gtest.h>

#include <cstring>
#include <fstream>

#include "platform/gdi/text_test_support.h"

using namespace gdi_test;

namespace {

// The game's font table: face, height, width, weight, italic.
struct GameFace {
    const char* name;
    int height;
    int width;
    int weight;
    bool italic;
};
constexpr GameFace kGameFaces[] = {
    {"FONTSYS", 15, 4, 400, false},   {"GLORBLE", 12, 7, 400, false},   {"FONT0013", 13, 5, 400, false},
    {"FONT0015", 15, 6, 400, false},  {"FONT0016", 15, 6, 700, false},  {"FONT0017", 15, 7, 400, true},
    {"FONT0021", 21, 9, 400, false},  {"FONT0022", 21, 9, 700, false},  {"FONT0027", 24, 10, 400, false},
    {"FONT0028", 24, 10, 700, false}, {"FONT0035", 35, 16, 400, false}, {"FONT0036", 36, 16, 400, false},
};

void PrintTo(const GameFace& f, std::ostream* os) {
    *os << f.name;
}

// Text with Swedish letters, digits and signs.
constexpr const char kSample[] = "H\xE4r \xE4r 12 \xF6rter, \xC5sa & \xD6rjan!";

class GameFonts : public TextTest, public ::testing::WithParamInterface<GameFace> {};

// Each numbered font made as the game makes it gets its own face, with the table's metrics;
// the extent of a string is the sum of the glyphs' advances, and drawing it with TA_UPDATECP
// moves the current position by exactly that much.
TEST_P(GameFonts, MetricsExtentAndPenAdvance) {
    const GameFace& gf = GetParam();
    HFONT font = GameFont(gf.name, gf.height, gf.width, gf.weight, gf.italic);
    ASSERT_NE(font, nullptr);
    Canvas canvas(400, 60);
    HGDIOBJ old = SelectObject(canvas.Dc(), font);

    char name[LF_FACESIZE];
    ASSERT_GT(GetTextFace(canvas.Dc(), sizeof(name), name), 0);
    EXPECT_STREQ(name, gf.name);
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(canvas.Dc(), &tm));
    EXPECT_EQ(tm.tmHeight, gf.height);
    EXPECT_EQ(tm.tmAveCharWidth, gf.width);
    EXPECT_EQ(tm.tmWeight, gf.weight);
    EXPECT_EQ(tm.tmItalic != 0, gf.italic);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, tm.tmHeight);

    auto face = plat::FaceOfFont(font);
    ASSERT_NE(face, nullptr);
    int sum = 0;
    for (const char* p = kSample; *p; ++p) sum += face->GlyphFor(static_cast<uint8_t>(*p))->advance;
    SIZE size;
    ASSERT_TRUE(GetTextExtentPointA(canvas.Dc(), kSample, static_cast<int>(std::strlen(kSample)), &size));
    EXPECT_EQ(size.cx, sum);
    EXPECT_EQ(size.cy, gf.height);

    SetTextAlign(canvas.Dc(), TA_UPDATECP);
    MoveToEx(canvas.Dc(), 5, 7, nullptr);
    ASSERT_TRUE(TextOutA(canvas.Dc(), 0, 0, kSample, static_cast<int>(std::strlen(kSample))));
    POINT cp;
    GetCurrentPositionEx(canvas.Dc(), &cp);
    EXPECT_EQ(cp.x, 5 + sum);
    EXPECT_EQ(cp.y, 7);
    SelectObject(canvas.Dc(), old);
    EXPECT_TRUE(DeleteObject(font));
}

INSTANTIATE_TEST_SUITE_P(Table, GameFonts, ::testing::ValuesIn(kGameFaces));

// The game's own rendering path: a 1-bit bitmap filled with WHITENESS, TextOut in the
// default colours, GetBitmapBits. Rows are padded to 16 bits and ink is a clear bit.
TEST_F(TextTest, TextOutIntoMonochromeBitmapGivesWordAlignedRowsWithInkClear) {
    HFONT font = GameFont("FONT0021", 21, 9, 400);
    constexpr int kWidth = 75;  // 10 bytes of pixels, 10 bytes a row after padding
    constexpr int kHeight = 25;
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateBitmap(kWidth, kHeight, 1, 1, nullptr);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    HGDIOBJ oldFont = SelectObject(dc, font);
    ASSERT_TRUE(PatBlt(dc, 0, 0, kWidth, kHeight, WHITENESS));
    ASSERT_TRUE(TextOutA(dc, 3, 2, "\xC5g 7", 4));

    constexpr int kRow = ((kWidth + 15) / 16) * 2;
    ASSERT_EQ(GetBitmapBits(bmp, 0, nullptr), kRow * kHeight);
    std::vector<uint8_t> bits(kRow * kHeight);
    ASSERT_EQ(GetBitmapBits(bmp, static_cast<LONG>(bits.size()), bits.data()), kRow * kHeight);

    std::vector<bool> ink(kWidth * kHeight, false);
    int inkCount = 0;
    plat::ForEachInk(*plat::FaceOfFont(font), "\xC5g 7", 3, 2, [&](int x, int y) {
        if (x < kWidth && y < kHeight) {
            ink[y * kWidth + x] = true;
            ++inkCount;
        }
    });
    ASSERT_GT(inkCount, 20);
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            const bool set = (bits[y * kRow + x / 8] & (0x80 >> (x & 7))) != 0;
            ASSERT_EQ(set, !ink[y * kWidth + x]) << x << "," << y;
        }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBmp);
    DeleteDC(dc);
    DeleteObject(bmp);
    DeleteObject(font);
}

struct ChoiceCase {
    const char* asked;
    int height;
    int weight;
    bool italic;
    const char* face;  // chosen face
    int cellHeight;
    int overhang;  // simulated bold: 1; simulated italic: (height - 1) / 2
};

void PrintTo(const ChoiceCase& c, std::ostream* os) {
    *os << c.asked << " " << c.height << " " << c.weight;
}

class FaceChoice : public TextTest, public ::testing::WithParamInterface<ChoiceCase> {};

// Face name first (any case), then the nearest height; a name nobody has gets the dialog
// face; a weight the face lacks is simulated rather than taken from another face.
TEST_P(FaceChoice, NearestFaceThroughCreateFontIndirect) {
    const ChoiceCase& c = GetParam();
    LOGFONT lf;
    lf.lfHeight = c.height;
    lf.lfWeight = c.weight;
    lf.lfItalic = c.italic;
    lf.lfOutPrecision = OUT_RASTER_PRECIS;
    std::strncpy(lf.lfFaceName, c.asked, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectA(&lf);
    ASSERT_NE(font, nullptr);
    LOGFONT back;
    ASSERT_EQ(GetObject(font, sizeof(back), &back), static_cast<int>(sizeof(LOGFONT)));
    EXPECT_STREQ(back.lfFaceName, c.asked);
    EXPECT_EQ(back.lfHeight, c.height);

    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, font);
    char name[LF_FACESIZE] = {};
    EXPECT_EQ(GetTextFaceA(dc, sizeof(name), name), static_cast<int>(std::strlen(c.face)));
    EXPECT_STREQ(name, c.face);
    EXPECT_EQ(GetTextFaceA(dc, 0, nullptr), static_cast<int>(std::strlen(c.face)) + 1);
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetricsA(dc, &tm));
    EXPECT_EQ(tm.tmHeight, c.cellHeight);
    EXPECT_EQ(tm.tmOverhang, c.overhang);
    EXPECT_EQ(tm.tmItalic != 0, c.italic);
    EXPECT_FALSE(DeleteObject(font)) << "a selected font is not deleted";
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(font));
}

INSTANTIATE_TEST_SUITE_P(Table, FaceChoice,
                         ::testing::Values(ChoiceCase{"FONT0021", 21, 400, false, "FONT0021", 21, 0},
                                           ChoiceCase{"font0021", 21, 400, false, "FONT0021", 21, 0},
                                           ChoiceCase{"FONT0021", 0, 400, false, "FONT0021", 21, 0},
                                           ChoiceCase{"FONT0021", 40, 400, false, "FONT0021", 21, 0},
                                           ChoiceCase{"FONT0015", 15, 700, false, "FONT0015", 15, 1},
                                           ChoiceCase{"FONT0015", 15, 400, true, "FONT0015", 15, 7},
                                           ChoiceCase{"No Such Face", 13, 400, false, "MS Sans Serif", 13, 0},
                                           ChoiceCase{"No Such Face", 17, 400, false, "MS Sans Serif", 16, 0},
                                           ChoiceCase{"No Such Face", 12, 400, false, "MS Sans Serif", 13, 0},
                                           ChoiceCase{"", 16, 700, false, "MS Sans Serif", 16, 0},
                                           ChoiceCase{"ms sans serif", -11, 400, false, "MS Sans Serif", 13,
                                                      0}));

// The stock fonts a dialog uses draw with the dialog face; a new DC starts with SYSTEM_FONT.
TEST_F(TextTest, StockFontsUseTheDialogFace) {
    HDC dc = CreateCompatibleDC(nullptr);
    char name[LF_FACESIZE];
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(dc, &tm));
    GetTextFace(dc, sizeof(name), name);
    EXPECT_STREQ(name, "MS Sans Serif");
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmWeight, 700);
    for (int stock : {ANSI_VAR_FONT, DEFAULT_GUI_FONT}) {
        SelectObject(dc, GetStockObject(stock));
        ASSERT_TRUE(GetTextMetrics(dc, &tm));
        GetTextFace(dc, sizeof(name), name);
        EXPECT_STREQ(name, "MS Sans Serif");
        EXPECT_EQ(tm.tmHeight, 13);
        EXPECT_EQ(tm.tmWeight, 400);
    }
    DeleteDC(dc);
}

struct ModeCase {
    int bkMode;
    UINT options;
    bool cellsFilled;  // the non-ink part of the cells takes the background colour
    bool rectFilled;   // the ExtTextOut rectangle takes the background colour
};

void PrintTo(const ModeCase& c, std::ostream* os) {
    *os << "mode " << c.bkMode << " options " << c.options;
}

class BackgroundModes : public TextTest, public ::testing::WithParamInterface<ModeCase> {};

// Ink in the text colour, the background of the cells only in OPAQUE mode, the rectangle of
// ETO_OPAQUE whatever the mode, nothing outside ETO_CLIPPED's rectangle.
TEST_P(BackgroundModes, ColoursOfInkCellsAndRectangle) {
    const ModeCase& c = GetParam();
    HFONT font = GameFont("FONT0027", 24, 10, 400);
    Canvas canvas(120, 40, 0);
    SelectObject(canvas.Dc(), font);
    SetTextColor(canvas.Dc(), RGB(255, 0, 0));  // static 249
    SetBkColor(canvas.Dc(), RGB(255, 255, 0));  // static 251
    SetBkMode(canvas.Dc(), c.bkMode);
    const RECT rect{2, 4, 60, 26};
    ASSERT_TRUE(ExtTextOutA(canvas.Dc(), 10, 6, c.options, &rect, "Wq\xE5", 3, nullptr));

    SIZE size;
    GetTextExtentPoint32A(canvas.Dc(), "Wq\xE5", 3, &size);
    std::vector<bool> ink(120 * 40, false);
    plat::ForEachInk(*plat::FaceOfFont(font), "Wq\xE5", 10, 6,
                     [&](int x, int y) { ink[y * 120 + x] = true; });
    const bool clipped = (c.options & ETO_CLIPPED) != 0;
    const std::vector<uint8_t> px = canvas.Pixels();
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 120; ++x) {
            const bool inRect = x >= rect.left && x < rect.right && y >= rect.top && y < rect.bottom;
            const bool inCells = x >= 10 && x < 10 + size.cx && y >= 6 && y < 6 + size.cy;
            uint8_t want = 0;
            if (c.rectFilled && inRect) want = 251;
            if (c.cellsFilled && inCells && (!clipped || inRect)) want = 251;
            if (ink[y * 120 + x] && (!clipped || inRect)) want = 249;
            ASSERT_EQ(px[y * 120 + x], want) << x << "," << y;
        }
}

INSTANTIATE_TEST_SUITE_P(Table, BackgroundModes,
                         ::testing::Values(ModeCase{TRANSPARENT, 0, false, false},
                                           ModeCase{OPAQUE, 0, true, false},
                                           ModeCase{TRANSPARENT, ETO_OPAQUE, false, true},
                                           ModeCase{TRANSPARENT, ETO_CLIPPED, false, false},
                                           ModeCase{OPAQUE, ETO_CLIPPED, true, false},
                                           ModeCase{OPAQUE, ETO_OPAQUE | ETO_CLIPPED, true, true}));

struct AlignCase {
    UINT align;
    int dx;  // offset of the drawn text from TA_LEFT | TA_TOP, in widths / 2 ...
    int dy;  // ... and in rows: 1 = ascent, 2 = height
};

void PrintTo(const AlignCase& c, std::ostream* os) {
    *os << "align " << c.align;
}

class Alignment : public TextTest, public ::testing::WithParamInterface<AlignCase> {};

// The reference point is the left, centre or right end of the text and its top, baseline or
// bottom; the pixels are the same, only moved.
TEST_P(Alignment, MovesTheTextByItsExtentAndAscent) {
    const AlignCase& c = GetParam();
    HFONT font = GameFont("FONT0022", 21, 9, 700);
    Canvas ref(200, 80), moved(200, 80);
    for (Canvas* cv : {&ref, &moved}) {
        SelectObject(cv->Dc(), font);
        SetBkMode(cv->Dc(), TRANSPARENT);
    }
    TEXTMETRIC tm;
    GetTextMetrics(ref.Dc(), &tm);
    SIZE size;
    GetTextExtentPoint32A(ref.Dc(), "Tjo!", 4, &size);
    const int x = 100, y = 40;
    ASSERT_TRUE(TextOutA(ref.Dc(), x - c.dx * size.cx / 2,
                         y - (c.dy == 1   ? tm.tmAscent
                              : c.dy == 2 ? tm.tmHeight
                                          : 0),
                         "Tjo!", 4));
    SetTextAlign(moved.Dc(), c.align);
    ASSERT_TRUE(TextOutA(moved.Dc(), x, y, "Tjo!", 4));
    EXPECT_EQ(moved.Pixels(), ref.Pixels());
    EXPECT_FALSE(SameRect(ref.InkBox(), RECT{}));
}

INSTANTIATE_TEST_SUITE_P(Table, Alignment,
                         ::testing::Values(AlignCase{TA_LEFT | TA_TOP, 0, 0}, AlignCase{TA_RIGHT, 2, 0},
                                           AlignCase{TA_CENTER, 1, 0}, AlignCase{TA_BASELINE, 0, 1},
                                           AlignCase{TA_BOTTOM, 0, 2}, AlignCase{TA_RIGHT | TA_BOTTOM, 2, 2},
                                           AlignCase{TA_CENTER | TA_BASELINE, 1, 1}));

// In a DIB section the colours are matched into the section's own colour table; a top-down
// section has the text's top row first in memory, a bottom-up one last.
TEST_F(TextTest, TextIntoDibSectionsUsesTheirColourTable) {
    HFONT font = GameFont("FONT0016", 15, 6, 700);
    for (const int height : {-20, 20}) {
        DibHeader header(64, height, 3);
        header.SetRgb(0, 255, 255, 255);
        header.SetRgb(1, 10, 20, 30);
        header.SetRgb(2, 250, 0, 0);
        HDC dc = CreateCompatibleDC(nullptr);
        void* bits = nullptr;
        HBITMAP dib = CreateDIBSection(dc, header.Info(), DIB_RGB_COLORS, &bits, nullptr, 0);
        ASSERT_NE(dib, nullptr);
        std::memset(bits, 0, 64 * 20);
        SelectObject(dc, dib);
        SelectObject(dc, font);
        SetTextColor(dc, RGB(255, 0, 0));
        SetBkMode(dc, TRANSPARENT);
        ASSERT_TRUE(TextOutA(dc, 1, 2, "Hm", 2));
        std::vector<bool> ink(64 * 20, false);
        plat::ForEachInk(*plat::FaceOfFont(font), "Hm", 1, 2, [&](int x, int y) { ink[y * 64 + x] = true; });
        const auto* p = static_cast<const uint8_t*>(bits);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 64; ++x) {
                const int row = height < 0 ? y : 19 - y;
                ASSERT_EQ(p[row * 64 + x], ink[y * 64 + x] ? 2 : 0) << x << "," << y << " height " << height;
            }
        DeleteDC(dc);
        DeleteObject(dib);
    }
    DeleteObject(font);
}

// Each character at its own position from lpDx draws as if it were drawn alone there.
TEST_F(TextTest, ExtTextOutSpacingPlacesEachCharacter) {
    HFONT font = GameFont("FONT0015", 15, 6, 400);
    Canvas spaced(200, 20), single(200, 20);
    for (Canvas* cv : {&spaced, &single}) SelectObject(cv->Dc(), font);
    const INT dx[] = {14, 3, 20, 9};
    ASSERT_TRUE(ExtTextOutA(spaced.Dc(), 4, 2, 0, nullptr, "M\xF6lk", 4, dx));
    int x = 4;
    for (int i = 0; i < 4; ++i) {
        SetBkMode(single.Dc(), TRANSPARENT);
        TextOutA(single.Dc(), x, 2, &"M\xF6lk"[i], 1);
        x += dx[i];
    }
    EXPECT_EQ(spaced.Pixels(), single.Pixels());
}

// An underlined font draws a line under the whole extent; the ink of the letters is as without.
TEST_F(TextTest, UnderlinedFontDrawsALineUnderTheExtent) {
    LOGFONT lf;
    lf.lfHeight = 13;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    HFONT plain = CreateFontIndirect(&lf);
    lf.lfUnderline = 1;
    HFONT underlined = CreateFontIndirect(&lf);
    Canvas a(80, 16), b(80, 16);
    SelectObject(a.Dc(), plain);
    SelectObject(b.Dc(), underlined);
    TEXTMETRIC tm;
    GetTextMetrics(b.Dc(), &tm);
    EXPECT_TRUE(tm.tmUnderlined);
    SIZE size;
    GetTextExtentPoint32A(a.Dc(), "abc", 3, &size);
    TextOutA(a.Dc(), 1, 1, "abc", 3);
    TextOutA(b.Dc(), 1, 1, "abc", 3);
    std::vector<uint8_t> pa = a.Pixels(), pb = b.Pixels();
    const int row = 1 + tm.tmAscent + 1;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 80; ++x) {
            const bool onLine = y == row && x >= 1 && x < 1 + size.cx;
            EXPECT_EQ(pb[y * 80 + x], onLine ? 0 : pa[y * 80 + x]) << x << "," << y;
        }
    DeleteObject(plain);
    DeleteObject(underlined);
}

// On a window DC text is clipped to the window's visible part: a window above keeps its pixels.
TEST_F(TextTest, WindowDcTextIsClippedByWindowsAbove) {
    WNDCLASS wc;
    wc.lpszClassName = "TextClip";
    wc.lpfnWndProc = DefWindowProc;
    ASSERT_TRUE(RegisterClass(&wc));
    HWND below = CreateWindow("TextClip", "", WS_POPUP | WS_VISIBLE, 0, 0, 200, 100, nullptr, nullptr,
                              nullptr, nullptr);
    HWND above = CreateWindow("TextClip", "", WS_POPUP | WS_VISIBLE, 50, 0, 40, 100, nullptr, nullptr,
                              nullptr, nullptr);
    ASSERT_TRUE(below && above);
    FillScreen(7);
    HDC dc = GetDC(below);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    SetBkColor(dc, RGB(0, 0, 128));
    ASSERT_TRUE(TextOutA(dc, 10, 10, "WWWWWWWWWWWWWWWWWW", 18));
    ReleaseDC(below, dc);
    bool drawnLeft = false, drawnRight = false;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 200; ++x) {
            if (x >= 50 && x < 90)
                ASSERT_EQ(Px(x, y), 7) << x << "," << y;
            else if (Px(x, y) != 7)
                (x < 50 ? drawnLeft : drawnRight) = true;
        }
    EXPECT_TRUE(drawnLeft);
    EXPECT_TRUE(drawnRight);
    plat::ResetWindowing();
}

// Font files are added by DOS path, counted, and refused with the reason when absent or damaged.
TEST_F(TextTest, AddFontResourceTakesDosPaths) {
    const std::string dosPath = plat::HostToDosPath(GameFontHostPath());
    EXPECT_EQ(AddFontResource(dosPath.c_str()), 12);  // a second reference
    EXPECT_TRUE(RemoveFontResource(dosPath.c_str()));
    EXPECT_TRUE(RemoveFontResource(dosPath.c_str()));
    EXPECT_FALSE(RemoveFontResource(dosPath.c_str()));
    // Gone: the name now gets the dialog face.
    HFONT font = GameFont("FONT0021", 21, 9, 400);
    EXPECT_EQ(plat::FaceOfFont(font)->faceName, "MS Sans Serif");
    DeleteObject(font);

    const std::string folder = dosPath.substr(0, dosPath.rfind('\\'));
    EXPECT_EQ(AddFontResource((folder + "\\NOSUCH.FON").c_str()), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
    EXPECT_EQ(AddFontResource(""), 0);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    const std::string junk = ::testing::TempDir() + "junk.fon";
    std::ofstream(junk, std::ios::binary) << "MZ this is not a font file at all";
    EXPECT_EQ(AddFontResource(plat::HostToDosPath(junk).c_str()), 0);
    EXPECT_EQ(GetLastError(), 11u);  // ERROR_BAD_FORMAT
}

// Bad arguments fail without drawing.
TEST_F(TextTest, BadArgumentsAreRefused) {
    Canvas canvas(20, 20);
    SIZE size;
    EXPECT_FALSE(TextOutA(canvas.Dc(), 0, 0, "abc", -1));
    EXPECT_FALSE(TextOutA(canvas.Dc(), 0, 0, nullptr, 3));
    EXPECT_FALSE(TextOutA(nullptr, 0, 0, "abc", 3));
    EXPECT_FALSE(GetTextExtentPoint32A(canvas.Dc(), "abc", -2, &size));
    EXPECT_FALSE(GetTextExtentPoint32A(reinterpret_cast<HDC>(GetStockObject(WHITE_BRUSH)), "abc", 3, &size));
    EXPECT_EQ(CreateFontIndirect(nullptr), nullptr);
    EXPECT_TRUE(TextOutA(canvas.Dc(), 0, 0, "", 0));
    EXPECT_TRUE(SameRect(canvas.InkBox(), RECT{}));
    // Far outside the bitmap: nothing drawn, nothing allocated for the distance.
    EXPECT_TRUE(TextOutA(canvas.Dc(), 1 << 30, -(1 << 30), "abc", 3));
    const INT dx[] = {1 << 30, 1 << 30, 1 << 30};
    EXPECT_TRUE(ExtTextOutA(canvas.Dc(), 0, 0, 0, nullptr, "abc", 3, dx));
    SIZE first;
    GetTextExtentPoint32A(canvas.Dc(), "a", 1, &first);
    EXPECT_LE(canvas.InkBox().right, first.cx);
}

}  // namespace
