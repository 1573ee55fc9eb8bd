#include <gtest/gtest.h>

#include <functional>

#include "platform/gdi/gdi_test_support.h"

using namespace gdi_test;
using plat::TheDisplay;

namespace {

class BitmapTest : public GdiTest {};

// Rows of SetBitmapBits/GetBitmapBits are padded to 16 bits.
struct RowCase {
    int bpp;
    int width;
    int rowBytes;
};

void PrintTo(const RowCase& c, std::ostream* os) {
    *os << c.bpp << " bits, " << c.width << " wide";
}

class WordAlignedRows : public BitmapTest, public ::testing::WithParamInterface<RowCase> {};

TEST_P(WordAlignedRows, RoundTripWithCleanPadding) {
    const RowCase& c = GetParam();
    const int h = 3;
    HBITMAP bmp = CreateBitmap(c.width, h, 1, static_cast<UINT>(c.bpp), nullptr);
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(GetBitmapBits(bmp, 0, nullptr), c.rowBytes * h);
    BITMAP bm;
    ASSERT_EQ(GetObject(bmp, sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
    EXPECT_EQ(bm.bmWidthBytes, c.rowBytes);
    EXPECT_EQ(bm.bmBitsPixel, c.bpp);

    // Every byte set, padding included; what comes back has the padding cleared.
    std::vector<uint8_t> in(static_cast<size_t>(c.rowBytes * h));
    for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<uint8_t>(0xA5 + 3 * i) | 0x81;
    EXPECT_EQ(SetBitmapBits(bmp, static_cast<DWORD>(in.size()), in.data()), static_cast<LONG>(in.size()));
    std::vector<uint8_t> out(in.size(), 0xEE);
    EXPECT_EQ(GetBitmapBits(bmp, static_cast<LONG>(out.size()), out.data()), static_cast<LONG>(out.size()));

    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, bmp);
    const int usedBits = c.width * c.bpp;
    for (int y = 0; y < h; ++y) {
        for (int b = 0; b < c.rowBytes * 8; ++b) {
            const size_t byte = static_cast<size_t>(y * c.rowBytes + b / 8);
            const int bit = (out[byte] >> (7 - b % 8)) & 1;
            const int want = b < usedBits ? (in[byte] >> (7 - b % 8)) & 1 : 0;
            ASSERT_EQ(bit, want) << "row " << y << " bit " << b;
        }
        if (c.bpp == 1) {
            // A set bit is white.
            const int x = c.width - 1;
            const bool set = (in[static_cast<size_t>(y * c.rowBytes + x / 8)] >> (7 - x % 8)) & 1;
            EXPECT_EQ(GetPixel(mem, x, y), set ? RGB(255, 255, 255) : RGB(0, 0, 0));
        }
    }
    SelectObject(mem, old);
    DeleteDC(mem);
    DeleteObject(bmp);
}

INSTANTIATE_TEST_SUITE_P(Widths, WordAlignedRows,
                         ::testing::Values(RowCase{1, 1, 2}, RowCase{1, 7, 2}, RowCase{1, 16, 2},
                                           RowCase{1, 17, 4}, RowCase{8, 1, 2}, RowCase{8, 3, 4},
                                           RowCase{8, 4, 4}));

TEST_F(BitmapTest, PartialBitsAndRefusedSizes) {
    HBITMAP bmp = CreateBitmap(4, 2, 1, 8, nullptr);
    const uint8_t three[3] = {1, 2, 3};
    EXPECT_EQ(SetBitmapBits(bmp, 3, three), 3);
    uint8_t out[8] = {};
    EXPECT_EQ(GetBitmapBits(bmp, 100, out), 8);
    EXPECT_EQ(out[2], 3);
    EXPECT_EQ(out[3], 0);
    EXPECT_EQ(CreateBitmap(-1, 5, 1, 8, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(5, 5, 1, 24, nullptr), nullptr);
    EXPECT_EQ(CreateBitmap(40000, 40000, 1, 8, nullptr), nullptr);
    // Zero size gives the shared 1 x 1 monochrome bitmap, which deleting does not destroy.
    HBITMAP empty = CreateBitmap(0, 0, 1, 8, nullptr);
    EXPECT_TRUE(DeleteObject(empty));
    BITMAP bm;
    EXPECT_EQ(GetObject(empty, sizeof(bm), &bm), static_cast<int>(sizeof(bm)));
    EXPECT_EQ(bm.bmBitsPixel, 1);
    DeleteObject(bmp);
}

TEST_F(BitmapTest, MemoryDcsStartMonochromeAndBitmapsLiveInOneDcAtATime) {
    HDC screen = GetDC(nullptr);
    HDC a = CreateCompatibleDC(screen);
    HDC b = CreateCompatibleDC(screen);
    // A memory DC still holding its 1 x 1 monochrome bitmap makes monochrome bitmaps.
    HBITMAP mono = CreateCompatibleBitmap(a, 8, 8);
    HBITMAP colour = CreateCompatibleBitmap(screen, 8, 8);
    BITMAP bm;
    GetObject(mono, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmBitsPixel, 1);
    GetObject(colour, sizeof(bm), &bm);
    EXPECT_EQ(bm.bmBitsPixel, 8);

    HGDIOBJ first = SelectObject(a, colour);
    EXPECT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_BITMAP));
    EXPECT_EQ(SelectObject(b, colour), nullptr);
    EXPECT_FALSE(DeleteObject(colour));
    EXPECT_EQ(SelectObject(a, first), colour);
    EXPECT_NE(SelectObject(b, colour), nullptr);
    SelectObject(b, first);
    EXPECT_TRUE(DeleteObject(colour));
    EXPECT_EQ(GetObject(colour, sizeof(bm), &bm), 0);
    EXPECT_EQ(GetObjectType(a), static_cast<DWORD>(OBJ_MEMDC));
    DeleteObject(mono);
    DeleteDC(a);
    DeleteDC(b);
    EXPECT_EQ(ReleaseDC(nullptr, screen), 1);
    EXPECT_EQ(plat::LiveGdiObjects(), 0);
}

// Raster operations on palette indices are bitwise, as on a palette device.
struct RopCase {
    const char* name;
    DWORD rop;
    std::function<uint8_t(uint8_t p, uint8_t s, uint8_t d)> expect;
};

void PrintTo(const RopCase& c, std::ostream* os) {
    *os << c.name;
}

class RasterOps : public BitmapTest, public ::testing::WithParamInterface<RopCase> {};

TEST_P(RasterOps, CombinePatternSourceAndDestination) {
    const uint8_t s = 0xAC, d = 0x35;
    HDC screen = GetDC(nullptr);
    HDC srcDc = CreateCompatibleDC(screen), dstDc = CreateCompatibleDC(screen);
    HBITMAP src = CreateCompatibleBitmap(screen, 2, 2), dst = CreateCompatibleBitmap(screen, 2, 2);
    const uint8_t sBits[4] = {s, s, s, s}, dBits[4] = {d, d, d, d};
    SetBitmapBits(src, 4, sBits);
    SetBitmapBits(dst, 4, dBits);
    HGDIOBJ oldSrc = SelectObject(srcDc, src), oldDst = SelectObject(dstDc, dst);
    // Default palette entry 15 is the static colour in hardware entry 251.
    HBRUSH brush = CreateSolidBrush(PALETTEINDEX(15));
    HGDIOBJ oldBrush = SelectObject(dstDc, brush);
    ASSERT_TRUE(BitBlt(dstDc, 0, 0, 2, 2, srcDc, 0, 0, GetParam().rop));
    uint8_t out[4];
    GetBitmapBits(dst, 4, out);
    EXPECT_EQ(out[0], GetParam().expect(251, s, d));
    EXPECT_EQ(out[3], out[0]);
    SelectObject(dstDc, oldBrush);
    SelectObject(srcDc, oldSrc);
    SelectObject(dstDc, oldDst);
    DeleteObject(brush);
    DeleteObject(src);
    DeleteObject(dst);
    DeleteDC(srcDc);
    DeleteDC(dstDc);
    ReleaseDC(nullptr, screen);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RasterOps,
    ::testing::Values(
        RopCase{"SrcCopy", SRCCOPY, [](uint8_t, uint8_t s, uint8_t) { return s; }},
        RopCase{"SrcAnd", SRCAND, [](uint8_t, uint8_t s, uint8_t d) { return uint8_t(s & d); }},
        RopCase{"SrcPaint", SRCPAINT, [](uint8_t, uint8_t s, uint8_t d) { return uint8_t(s | d); }},
        RopCase{"SrcInvert", SRCINVERT, [](uint8_t, uint8_t s, uint8_t d) { return uint8_t(s ^ d); }},
        RopCase{"SrcErase", SRCERASE, [](uint8_t, uint8_t s, uint8_t d) { return uint8_t(s & ~d); }},
        RopCase{"NotSrcCopy", NOTSRCCOPY, [](uint8_t, uint8_t s, uint8_t) { return uint8_t(~s); }},
        RopCase{"NotSrcErase", NOTSRCERASE, [](uint8_t, uint8_t s, uint8_t d) { return uint8_t(~(s | d)); }},
        RopCase{"MergeCopy", MERGECOPY, [](uint8_t p, uint8_t s, uint8_t) { return uint8_t(p & s); }},
        RopCase{"MergePaint", MERGEPAINT, [](uint8_t, uint8_t s, uint8_t d) { return uint8_t(~s | d); }},
        RopCase{"PatCopy", PATCOPY, [](uint8_t p, uint8_t, uint8_t) { return p; }},
        RopCase{"PatPaint", PATPAINT, [](uint8_t p, uint8_t s, uint8_t d) { return uint8_t(p | ~s | d); }},
        RopCase{"PatInvert", PATINVERT, [](uint8_t p, uint8_t, uint8_t d) { return uint8_t(p ^ d); }},
        RopCase{"DstInvert", DSTINVERT, [](uint8_t, uint8_t, uint8_t d) { return uint8_t(~d); }},
        RopCase{"Blackness", BLACKNESS, [](uint8_t, uint8_t, uint8_t) { return uint8_t(0); }},
        RopCase{"Whiteness", WHITENESS, [](uint8_t, uint8_t, uint8_t) { return uint8_t(0xFF); }}),
    [](const ::testing::TestParamInfo<RopCase>& info) { return info.param.name; });

TEST_F(BitmapTest, MonochromeAndColourConvertThroughTheDcColours) {
    HDC screen = GetDC(nullptr);
    HDC monoDc = CreateCompatibleDC(screen);
    const uint8_t bits[2] = {0xA0, 0x00};  // 4 x 1: white, black, white, black
    HBITMAP mono = CreateBitmap(4, 1, 1, 1, bits);
    HGDIOBJ old = SelectObject(monoDc, mono);
    // To colour: black takes the destination's text colour, white its background colour.
    SetTextColor(screen, RGB(255, 0, 0));
    SetBkColor(screen, RGB(0, 0, 255));
    BitBlt(screen, 10, 10, 4, 1, monoDc, 0, 0, SRCCOPY);
    EXPECT_EQ(Px(10, 10), 252);
    EXPECT_EQ(Px(11, 10), 249);
    EXPECT_EQ(Px(12, 10), 252);

    // From colour: pixels of the source DC's background colour become white, the rest black.
    FillScreen(7);
    TheDisplay().Pixels()[20 * 640 + 21] = 249;
    SetBkColor(screen, RGB(192, 192, 192));
    BitBlt(monoDc, 0, 0, 4, 1, screen, 20, 20, SRCCOPY);
    uint8_t out[2];
    GetBitmapBits(mono, 2, out);
    EXPECT_EQ(out[0], 0xB0);
    SelectObject(monoDc, old);
    DeleteObject(mono);
    DeleteDC(monoDc);
    ReleaseDC(nullptr, screen);
}

// Copies within the screen (pushing the picture sideways) read the pixels before the copy.
struct Shift {
    int x;
    int y;
};

void PrintTo(const Shift& s, std::ostream* os) {
    *os << "(" << s.x << ", " << s.y << ")";
}

class ScreenToScreen : public BitmapTest, public ::testing::WithParamInterface<Shift> {};

TEST_P(ScreenToScreen, OverlappingCopyDoesNotSmear) {
    const Shift shift = GetParam();
    uint8_t* px = TheDisplay().Pixels();
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) px[y * 640 + x] = static_cast<uint8_t>(x * 3 + y * 7);
    HDC screen = GetDC(nullptr);
    // Everything moves by shift; the part that came from off-screen keeps its old pixels.
    BitBlt(screen, shift.x, shift.y, 640, 480, screen, 0, 0, SRCCOPY);
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            const int sx = x - shift.x, sy = y - shift.y;
            const bool moved = sx >= 0 && sx < 640 && sy >= 0 && sy < 480;
            const int want = moved ? sx * 3 + sy * 7 : x * 3 + y * 7;
            ASSERT_EQ(px[y * 640 + x], static_cast<uint8_t>(want)) << x << "," << y;
        }
    }
    ReleaseDC(nullptr, screen);
}

INSTANTIATE_TEST_SUITE_P(Shifts, ScreenToScreen,
                         ::testing::Values(Shift{-2, 0}, Shift{2, 0}, Shift{0, -3}, Shift{0, 3},
                                           Shift{5, 5}));

TEST_F(BitmapTest, ScrollDCReportsTheUncoveredStrip) {
    HDC screen = GetDC(nullptr);
    RECT area{100, 100, 200, 150}, update;
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    TheDisplay().Pixels()[120 * 640 + 150] = 9;
    ASSERT_TRUE(ScrollDC(screen, -10, 0, &area, &area, rgn, &update));
    EXPECT_EQ(Px(140, 120), 9);
    EXPECT_EQ(update.left, 190);
    EXPECT_EQ(update.right, 200);
    EXPECT_EQ(update.top, 100);
    EXPECT_EQ(update.bottom, 150);
    EXPECT_TRUE(PtInRegion(rgn, 195, 120));
    EXPECT_FALSE(PtInRegion(rgn, 185, 120));
    DeleteObject(rgn);
    ReleaseDC(nullptr, screen);
}

// DIB sections keep DIB row order in the memory the caller writes.
class DibSection : public BitmapTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DibSection, CallerMemoryIsInDibOrder) {
    const bool topDown = GetParam();
    DibHeader header(3, 4, 256);
    header.Header().biHeight = topDown ? -4 : 4;
    for (int i = 0; i < 256; ++i) header.SetRgb(i, static_cast<BYTE>(i), 0, 0);
    HDC mem = CreateCompatibleDC(nullptr);
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(mem, header.Info(), DIB_RGB_COLORS, &bits, nullptr, 0);
    ASSERT_NE(dib, nullptr);
    ASSERT_NE(bits, nullptr);
    DIBSECTION ds;
    ASSERT_EQ(GetObject(dib, sizeof(ds), &ds), static_cast<int>(sizeof(ds)));
    EXPECT_EQ(ds.dsBm.bmWidthBytes, 4);
    EXPECT_EQ(ds.dsBm.bmBits, bits);
    EXPECT_EQ(ds.dsBmih.biHeight, topDown ? -4 : 4);
    static_cast<uint8_t*>(bits)[0] = 77;  // first row in memory
    HGDIOBJ old = SelectObject(mem, dib);
    EXPECT_EQ(GetPixel(mem, 0, topDown ? 0 : 3), RGB(77, 0, 0));
    // Drawing into it writes colour-table indices.
    HBRUSH brush = CreateSolidBrush(RGB(200, 0, 0));
    RECT r{0, 1, 3, 2};
    FillRect(mem, &r, brush);
    EXPECT_EQ(static_cast<uint8_t*>(bits)[4 * (topDown ? 1 : 2)], 200);
    SelectObject(mem, old);
    DeleteObject(brush);
    DeleteObject(dib);
    DeleteDC(mem);
}

INSTANTIATE_TEST_SUITE_P(TopDown, DibSection, ::testing::Bool());

TEST_F(BitmapTest, IconsFromBitmapsKeepTheMaskAndColours) {
    HDC screen = GetDC(nullptr);
    HBITMAP colour = CreateCompatibleBitmap(screen, 16, 2);
    std::vector<uint8_t> pixels(32, 249);  // static red
    pixels[0] = 0;
    SetBitmapBits(colour, 32, pixels.data());
    const uint8_t maskBits[4] = {0x80, 0x00, 0x00, 0x00};  // only pixel (0, 0) transparent
    HBITMAP mask = CreateBitmap(16, 2, 1, 1, maskBits);
    ICONINFO info;
    info.fIcon = FALSE;
    info.xHotspot = 3;
    info.yHotspot = 1;
    info.hbmMask = mask;
    info.hbmColor = colour;
    HCURSOR cursor = CreateIconIndirect(&info);
    ASSERT_NE(cursor, nullptr);
    const plat::CursorImage* image = plat::CursorImageOf(cursor);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(image->width, 16);
    EXPECT_EQ(image->hotX, 3);
    EXPECT_EQ(image->hotY, 1);
    EXPECT_EQ(image->rgba[0] >> 24, 0u);
    EXPECT_EQ(image->rgba[1], 0xFF0000FFu);  // opaque red, 0xAABBGGRR
    EXPECT_TRUE(DestroyIcon(cursor));
    DeleteObject(colour);
    DeleteObject(mask);
    ReleaseDC(nullptr, screen);
}

}  // namespace
