#include <gtest/gtest.h>

#include <climits>
#include <functional>

#include "platform/gdi/gdi_test_support.h"

using namespace gdi_test;
using plat::TheDisplay;

namespace {

class DibTest : public GdiTest {
protected:
    void SetUp() override {
        GdiTest::SetUp();
        m_pal = MakeIdentityPalette();
        m_screen = GetDC(nullptr);
        m_old = SelectPalette(m_screen, m_pal, FALSE);
        RealizePalette(m_screen);
    }
    void TearDown() override {
        SelectPalette(m_screen, m_old, FALSE);
        ReleaseDC(nullptr, m_screen);
        DeleteObject(m_pal);
        GdiTest::TearDown();
    }

    // A DIB_PAL_COLORS header whose table is the indices 0..255.
    static DibHeader IndexHeader(int width, int height) {
        DibHeader h(width, height, 256, true);
        for (int i = 0; i < 256; ++i) h.SetIndex(i, static_cast<WORD>(i));
        return h;
    }

    HPALETTE m_pal = nullptr;
    HDC m_screen = nullptr;
    HPALETTE m_old = nullptr;
};

// Memory row i of the DIB is picture row i when top-down, picture row h - 1 - i when bottom-up.
class DibOrientation : public DibTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DibOrientation, RowsLandTheRightWayUp) {
    const bool topDown = GetParam();
    const int w = 5, h = 3;
    DibHeader header = IndexHeader(w, topDown ? -h : h);
    DibBits bits(w, h);
    for (int i = 0; i < h; ++i)
        for (int x = 0; x < w; ++x) bits.Row(i)[x] = static_cast<uint8_t>(20 + 10 * i + x);
    ASSERT_EQ(StretchDIBits(m_screen, 100, 50, w, h, 0, 0, w, h, bits.Data(), header.Info(), DIB_PAL_COLORS,
                            SRCCOPY),
              h);
    for (int y = 0; y < h; ++y) {
        const int memRow = topDown ? y : h - 1 - y;
        for (int x = 0; x < w; ++x) EXPECT_EQ(Px(100 + x, 50 + y), 20 + 10 * memRow + x) << x << "," << y;
    }
    EXPECT_EQ(Px(99, 50), 0);
    EXPECT_EQ(Px(100 + w, 50), 0);
    EXPECT_EQ(Px(100, 50 + h), 0);
}

INSTANTIATE_TEST_SUITE_P(TopDown, DibOrientation, ::testing::Bool());

TEST_F(DibTest, PaletteColoursGoThroughTheRealisation) {
    // A palette that maps logical i to hardware 10 + i.
    plat::ResetSystemPalette();
    LogPalette lp(236);
    for (int i = 0; i < 236; ++i) lp[i] = PictureColour(i + 10, PC_NOCOLLAPSE);
    HPALETTE shifted = lp.Create();
    SelectPalette(m_screen, shifted, FALSE);
    RealizePalette(m_screen);

    DibHeader header(4, 1, 4, true);
    const WORD table[4] = {3, 2, 1, 200};
    for (int i = 0; i < 4; ++i) header.SetIndex(i, table[i]);
    DibBits bits(4, 1);
    for (int x = 0; x < 4; ++x) bits.Row(0)[x] = static_cast<uint8_t>(x);
    StretchDIBits(m_screen, 0, 0, 4, 1, 0, 0, 4, 1, bits.Data(), header.Info(), DIB_PAL_COLORS, SRCCOPY);
    for (int x = 0; x < 4; ++x) EXPECT_EQ(Px(x, 0), 10 + table[x]);

    // With the default palette the indices name the 20 static colours.
    SelectPalette(m_screen, GetStockObject(DEFAULT_PALETTE), FALSE);
    const WORD statics[4] = {0, 9, 10, 19};
    for (int i = 0; i < 4; ++i) header.SetIndex(i, statics[i]);
    StretchDIBits(m_screen, 0, 1, 4, 1, 0, 0, 4, 1, bits.Data(), header.Info(), DIB_PAL_COLORS, SRCCOPY);
    EXPECT_EQ(Px(0, 1), 0);
    EXPECT_EQ(Px(1, 1), 9);
    EXPECT_EQ(Px(2, 1), 246);
    EXPECT_EQ(Px(3, 1), 255);
    SelectPalette(m_screen, m_pal, FALSE);
    DeleteObject(shifted);
}

TEST_F(DibTest, RgbColoursTakeTheHardwareEntryOfTheirColour) {
    DibHeader header(3, 1, 3);
    header.SetRgb(0, 255, 0, 0);  // static red
    const PALETTEENTRY pic = PictureColour(77, 0);
    header.SetRgb(1, pic.peRed, pic.peGreen, pic.peBlue);
    header.SetRgb(2, 255, 255, 255);
    DibBits bits(3, 1);
    for (int x = 0; x < 3; ++x) bits.Row(0)[x] = static_cast<uint8_t>(x);
    StretchDIBits(m_screen, 10, 10, 3, 1, 0, 0, 3, 1, bits.Data(), header.Info(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(Px(10, 10), 249);
    EXPECT_EQ(Px(11, 10), 77);
    EXPECT_EQ(Px(12, 10), 255);
}

// Stretching, mirroring and partial source rectangles of a 4 x 4 DIB whose pixel (x, y)
// holds 16 + 4y + x; each case says which source pixel a destination pixel shows.
struct StretchCase {
    const char* name;
    bool topDown;
    int dx, dy, dw, dh, sx, sy, sw, sh;
    RECT covered;                           // destination pixels drawn
    std::function<POINT(int, int)> source;  // destination pixel -> source pixel (top-down)
};

void PrintTo(const StretchCase& c, std::ostream* os) {
    *os << c.name;
}

class DibStretch : public DibTest, public ::testing::WithParamInterface<StretchCase> {};

TEST_P(DibStretch, NearestNeighbour) {
    const StretchCase& c = GetParam();
    DibHeader header = IndexHeader(4, c.topDown ? -4 : 4);
    DibBits bits(4, 4);
    for (int i = 0; i < 4; ++i) {
        const int y = c.topDown ? i : 3 - i;
        for (int x = 0; x < 4; ++x) bits.Row(i)[x] = static_cast<uint8_t>(16 + 4 * y + x);
    }
    FillScreen(1);
    StretchDIBits(m_screen, c.dx, c.dy, c.dw, c.dh, c.sx, c.sy, c.sw, c.sh, bits.Data(), header.Info(),
                  DIB_PAL_COLORS, SRCCOPY);
    for (int y = c.covered.top - 1; y <= c.covered.bottom; ++y) {
        for (int x = c.covered.left - 1; x <= c.covered.right; ++x) {
            const bool inside =
                x >= c.covered.left && x < c.covered.right && y >= c.covered.top && y < c.covered.bottom;
            if (!inside) {
                EXPECT_EQ(Px(x, y), 1) << "outside " << x << "," << y;
                continue;
            }
            POINT s = c.source(x, y);
            EXPECT_EQ(Px(x, y), 16 + 4 * s.y + s.x) << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DibStretch,
    ::testing::Values(StretchCase{"Double",
                                  true,
                                  10,
                                  10,
                                  8,
                                  8,
                                  0,
                                  0,
                                  4,
                                  4,
                                  {10, 10, 18, 18},
                                  [](int x, int y) {
                                      return POINT{(x - 10) / 2, (y - 10) / 2};
                                  }},
                      StretchCase{"Half",
                                  true,
                                  10,
                                  10,
                                  2,
                                  2,
                                  0,
                                  0,
                                  4,
                                  4,
                                  {10, 10, 12, 12},
                                  [](int x, int y) {
                                      return POINT{(x - 10) * 2, (y - 10) * 2};
                                  }},
                      StretchCase{"MirrorByDestWidth",
                                  true,
                                  13,
                                  10,
                                  -4,
                                  4,
                                  0,
                                  0,
                                  4,
                                  4,
                                  {10, 10, 14, 14},
                                  [](int x, int y) {
                                      return POINT{13 - x, y - 10};
                                  }},
                      StretchCase{"MirrorBySourceWidth",
                                  true,
                                  10,
                                  10,
                                  4,
                                  4,
                                  3,
                                  0,
                                  -4,
                                  4,
                                  {10, 10, 14, 14},
                                  [](int x, int y) {
                                      return POINT{13 - x, y - 10};
                                  }},
                      StretchCase{"TopDownTurnedOver",
                                  true,
                                  10,
                                  10,
                                  4,
                                  4,
                                  0,
                                  3,
                                  4,
                                  -4,
                                  {10, 10, 14, 14},
                                  [](int x, int y) {
                                      return POINT{x - 10, 13 - y};
                                  }},
                      StretchCase{"BothAxesMirrored",
                                  true,
                                  13,
                                  13,
                                  -4,
                                  -4,
                                  0,
                                  0,
                                  4,
                                  4,
                                  {10, 10, 14, 14},
                                  [](int x, int y) {
                                      return POINT{13 - x, 13 - y};
                                  }},
                      StretchCase{"DestAndSourceMirroredIsStraight",
                                  true,
                                  13,
                                  10,
                                  -4,
                                  4,
                                  3,
                                  0,
                                  -4,
                                  4,
                                  {10, 10, 14, 14},
                                  [](int x, int y) {
                                      return POINT{x - 10, y - 10};
                                  }},
                      StretchCase{"PartialTopDown",
                                  true,
                                  10,
                                  10,
                                  2,
                                  2,
                                  1,
                                  1,
                                  2,
                                  2,
                                  {10, 10, 12, 12},
                                  [](int x, int y) {
                                      return POINT{x - 9, y - 9};
                                  }},
                      // Bottom-up: source y counts from the bottom row, so y 0 height 2 is the lower half.
                      StretchCase{"PartialBottomUp",
                                  false,
                                  10,
                                  10,
                                  2,
                                  2,
                                  1,
                                  0,
                                  2,
                                  2,
                                  {10, 10, 12, 12},
                                  [](int x, int y) {
                                      return POINT{x - 9, y - 8};
                                  }},
                      StretchCase{"PartialBottomUpDoubled",
                                  false,
                                  10,
                                  10,
                                  4,
                                  4,
                                  0,
                                  2,
                                  2,
                                  2,
                                  {10, 10, 14, 14},
                                  [](int x, int y) {
                                      return POINT{(x - 10) / 2, (y - 10) / 2};
                                  }},
                      // Source pixels outside the DIB draw nothing.
                      StretchCase{"SourcePastTheEdge",
                                  true,
                                  10,
                                  10,
                                  4,
                                  4,
                                  2,
                                  2,
                                  4,
                                  4,
                                  {10, 10, 12, 12},
                                  [](int x, int y) {
                                      return POINT{x - 8, y - 8};
                                  }}),
    [](const ::testing::TestParamInfo<StretchCase>& info) { return info.param.name; });

// Damaged headers are refused before anything is read past what they describe.
struct DamagedCase {
    const char* name;
    std::function<void(BITMAPINFOHEADER&)> damage;
    int tableEntries;  // the size of the colour table actually there
    UINT usage;
};

void PrintTo(const DamagedCase& c, std::ostream* os) {
    *os << c.name;
}

class DamagedDib : public DibTest, public ::testing::WithParamInterface<DamagedCase> {};

TEST_P(DamagedDib, IsRefusedAndDrawsNothing) {
    const DamagedCase& c = GetParam();
    DibHeader header(4, 4, c.tableEntries);
    c.damage(header.Header());
    DibBits bits(4, 4);
    FillScreen(3);
    EXPECT_EQ(StretchDIBits(m_screen, 0, 0, 4, 4, 0, 0, 4, 4, bits.Data(), header.Info(), c.usage, SRCCOPY),
              0);
    EXPECT_EQ(SetDIBitsToDevice(m_screen, 0, 0, 4, 4, 0, 0, 0, 4, bits.Data(), header.Info(), c.usage), 0);
    void* pixels = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(m_screen, header.Info(), c.usage, &pixels, nullptr, 0), nullptr);
    EXPECT_EQ(pixels, nullptr);
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 6; ++x) ASSERT_EQ(Px(x, y), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DamagedDib,
    ::testing::Values(
        DamagedCase{"ZeroHeaderSize", [](auto& h) { h.biSize = 0; }, 4, DIB_RGB_COLORS},
        DamagedCase{"HugeHeaderSize", [](auto& h) { h.biSize = 0x7FFFFFF0; }, 4, DIB_RGB_COLORS},
        DamagedCase{"ZeroWidth", [](auto& h) { h.biWidth = 0; }, 4, DIB_RGB_COLORS},
        DamagedCase{"NegativeWidth", [](auto& h) { h.biWidth = -4; }, 4, DIB_RGB_COLORS},
        DamagedCase{"AbsurdWidth", [](auto& h) { h.biWidth = 1 << 30; }, 4, DIB_RGB_COLORS},
        DamagedCase{"ZeroHeight", [](auto& h) { h.biHeight = 0; }, 4, DIB_RGB_COLORS},
        DamagedCase{"MinHeight", [](auto& h) { h.biHeight = INT32_MIN; }, 4, DIB_RGB_COLORS},
        DamagedCase{"AbsurdHeight", [](auto& h) { h.biHeight = -(1 << 30); }, 4, DIB_RGB_COLORS},
        DamagedCase{"SevenBits", [](auto& h) { h.biBitCount = 7; }, 4, DIB_RGB_COLORS},
        DamagedCase{"TwoPlanes", [](auto& h) { h.biPlanes = 2; }, 4, DIB_RGB_COLORS},
        DamagedCase{"Compressed", [](auto& h) { h.biCompression = BI_RLE8; }, 4, DIB_RGB_COLORS},
        DamagedCase{"TooManyColours", [](auto& h) { h.biClrUsed = 300; }, 4, DIB_RGB_COLORS},
        DamagedCase{"TooManyIndices", [](auto& h) { h.biClrUsed = 70000; }, 4, DIB_PAL_COLORS},
        DamagedCase{"UnknownUsage", [](auto&) {}, 4, 7}),
    [](const ::testing::TestParamInfo<DamagedCase>& info) { return info.param.name; });

TEST_F(DibTest, PixelsPastASmallColourTableTakeItsFirstColour) {
    DibHeader header(2, 1, 2);  // the table really holds only two colours
    header.SetRgb(0, 255, 255, 255);
    header.SetRgb(1, 255, 0, 0);
    DibBits bits(2, 1);
    bits.Row(0)[0] = 1;
    bits.Row(0)[1] = 200;
    StretchDIBits(m_screen, 0, 0, 2, 1, 0, 0, 2, 1, bits.Data(), header.Info(), DIB_RGB_COLORS, SRCCOPY);
    EXPECT_EQ(Px(0, 0), 249);
    EXPECT_EQ(Px(1, 0), 255);
}

TEST_F(DibTest, SetDIBitsToDeviceDrawsOnlyTheBandItWasGiven) {
    // A bottom-up 3 x 4 DIB of which the bits hold rows 1 and 2 counted from the bottom.
    DibHeader header = IndexHeader(3, 4);
    DibBits band(3, 2);
    for (int x = 0; x < 3; ++x) {
        band.Row(0)[x] = static_cast<uint8_t>(30 + x);  // DIB row 1: picture row 2
        band.Row(1)[x] = static_cast<uint8_t>(40 + x);  // DIB row 2: picture row 1
    }
    FillScreen(5);
    EXPECT_EQ(
        SetDIBitsToDevice(m_screen, 20, 20, 3, 4, 0, 0, 1, 2, band.Data(), header.Info(), DIB_PAL_COLORS), 2);
    for (int x = 0; x < 3; ++x) {
        EXPECT_EQ(Px(20 + x, 20), 5);
        EXPECT_EQ(Px(20 + x, 21), 40 + x);
        EXPECT_EQ(Px(20 + x, 22), 30 + x);
        EXPECT_EQ(Px(20 + x, 23), 5);
    }
}

TEST_F(DibTest, ClipRectanglesLimitDrawingAndPresentation) {
    DibHeader header = IndexHeader(1, 1);
    DibBits bits(1, 1);
    bits.Row(0)[0] = 50;
    TheDisplay().PresentIfDirty();
    IntersectClipRect(m_screen, 10, 10, 30, 30);
    ExcludeClipRect(m_screen, 15, 15, 20, 20);
    RECT box;
    EXPECT_EQ(GetClipBox(m_screen, &box), COMPLEXREGION);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.bottom, 30);
    // Entirely clipped away: nothing changes and nothing needs presenting.
    StretchDIBits(m_screen, 40, 40, 10, 10, 0, 0, 1, 1, bits.Data(), header.Info(), DIB_PAL_COLORS, SRCCOPY);
    EXPECT_FALSE(TheDisplay().IsDirty());
    StretchDIBits(m_screen, 0, 0, 40, 40, 0, 0, 1, 1, bits.Data(), header.Info(), DIB_PAL_COLORS, SRCCOPY);
    EXPECT_TRUE(TheDisplay().IsDirty());
    for (int y = 5; y < 35; ++y) {
        for (int x = 5; x < 35; ++x) {
            const bool in =
                x >= 10 && x < 30 && y >= 10 && y < 30 && !(x >= 15 && x < 20 && y >= 15 && y < 20);
            ASSERT_EQ(Px(x, y), in ? 50 : 0) << x << "," << y;
        }
    }
    SelectClipRgn(m_screen, nullptr);
    EXPECT_EQ(GetClipBox(m_screen, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 640);
}

class WindowDibTest : public DibTest {
protected:
    static HWND Popup(const char* title, int x, int y, int w, int h, DWORD style = 0, HWND parent = nullptr) {
        WNDCLASS wc;
        wc.lpszClassName = "GdiTestWnd";
        wc.lpfnWndProc = DefWindowProc;
        RegisterClass(&wc);  // fails harmlessly once registered
        const DWORD kind = parent ? WS_CHILD : WS_POPUP;
        return CreateWindow("GdiTestWnd", title, kind | WS_VISIBLE | style, x, y, w, h, parent, nullptr,
                            nullptr, nullptr);
    }
    void TearDown() override {
        plat::ResetWindowing();
        DibTest::TearDown();
    }

    // Fills the whole client area of hwnd through its DC with index v.
    void FillClient(HWND hwnd, uint8_t v) {
        DibHeader header = IndexHeader(1, 1);
        DibBits bits(1, 1);
        bits.Row(0)[0] = v;
        HDC dc = GetDC(hwnd);
        HPALETTE old = SelectPalette(dc, m_pal, FALSE);
        RECT rc;
        GetClientRect(hwnd, &rc);
        StretchDIBits(dc, 0, 0, rc.right, rc.bottom, 0, 0, 1, 1, bits.Data(), header.Info(), DIB_PAL_COLORS,
                      SRCCOPY);
        SelectPalette(dc, old, FALSE);
        EXPECT_EQ(ReleaseDC(hwnd, dc), 1);
    }
};

TEST_F(WindowDibTest, DrawingStaysInTheVisiblePartOfTheWindow) {
    HWND below = Popup("below", 50, 60, 200, 100);
    HWND above = Popup("above", 150, 100, 200, 100);
    ASSERT_TRUE(below && above);
    BringWindowToTop(above);
    FillScreen(0);
    FillClient(below, 70);
    EXPECT_EQ(Px(50, 60), 70);  // client (0, 0) is the window's screen position
    EXPECT_EQ(Px(149, 159), 70);
    EXPECT_EQ(Px(150, 100), 0);  // under the window above
    EXPECT_EQ(Px(249, 159), 0);
    EXPECT_EQ(Px(249, 99), 70);
    EXPECT_EQ(Px(250, 60), 0);  // outside the window

    ShowWindow(below, SW_HIDE);
    FillScreen(0);
    FillClient(below, 71);
    EXPECT_EQ(Px(60, 70), 0);
}

TEST_F(WindowDibTest, ClipChildrenKeepsParentDrawingOffItsChildren) {
    HWND parent = Popup("parent", 0, 0, 100, 100, WS_CLIPCHILDREN);
    HWND child = Popup("child", 10, 10, 20, 20, 0, parent);
    ASSERT_TRUE(parent && child);
    FillClient(child, 90);
    FillClient(parent, 80);
    EXPECT_EQ(Px(5, 5), 80);
    EXPECT_EQ(Px(15, 15), 90);
    EXPECT_EQ(Px(29, 29), 90);
    EXPECT_EQ(Px(30, 30), 80);
}

}  // namespace
