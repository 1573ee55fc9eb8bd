#include <gtest/gtest.h>

#include "platform/gdi/gdi_test_support.h"

using namespace gdi_test;
using plat::TheDisplay;

namespace {

class DcTest : public GdiTest {
protected:
    void TearDown() override {
        plat::ResetWindowing();
        GdiTest::TearDown();
    }
};

struct CapsCase {
    int index;
    int value;
};

void PrintTo(const CapsCase& c, std::ostream* os) {
    *os << "index " << c.index;
}

class DisplayCaps : public DcTest, public ::testing::WithParamInterface<CapsCase> {};

// Every kind of display DC answers as the 640 x 480 256-colour palette display.
TEST_P(DisplayCaps, SameForScreenInformationAndMemoryDcs) {
    HDC screen = GetDC(nullptr);
    HDC ic = CreateIC("DISPLAY", nullptr, nullptr, nullptr);
    HDC dc = CreateDC("display", nullptr, nullptr, nullptr);
    HDC mem = CreateCompatibleDC(nullptr);
    for (HDC h : {screen, ic, dc, mem}) EXPECT_EQ(GetDeviceCaps(h, GetParam().index), GetParam().value);
    ReleaseDC(nullptr, screen);
    DeleteDC(ic);
    DeleteDC(dc);
    DeleteDC(mem);
}

INSTANTIATE_TEST_SUITE_P(Caps, DisplayCaps,
                         ::testing::Values(CapsCase{SIZEPALETTE, 256}, CapsCase{NUMRESERVED, 20},
                                           CapsCase{NUMCOLORS, 20}, CapsCase{BITSPIXEL, 8},
                                           CapsCase{PLANES, 1}, CapsCase{HORZRES, 640},
                                           CapsCase{VERTRES, 480}, CapsCase{LOGPIXELSX, 96},
                                           CapsCase{LOGPIXELSY, 96}, CapsCase{COLORRES, 18},
                                           CapsCase{TECHNOLOGY, DT_RASDISPLAY}));

TEST_F(DcTest, RasterCapsAndOverrides) {
    HDC ic = CreateIC("DISPLAY", nullptr, nullptr, nullptr);
    const int caps = GetDeviceCaps(ic, RASTERCAPS);
    for (int bit : {RC_PALETTE, RC_BITBLT, RC_STRETCHDIB, RC_DI_BITMAP, RC_STRETCHBLT})
        EXPECT_TRUE(caps & bit) << bit;
    plat::OverrideDeviceCaps(RASTERCAPS, caps & ~RC_PALETTE);
    plat::OverrideDeviceCaps(BITSPIXEL, 4);
    EXPECT_FALSE(GetDeviceCaps(ic, RASTERCAPS) & RC_PALETTE);
    EXPECT_EQ(GetDeviceCaps(ic, BITSPIXEL), 4);
    plat::ClearDeviceCapsOverrides();
    EXPECT_EQ(GetDeviceCaps(ic, BITSPIXEL), 8);
    // Information contexts answer but never draw; other devices are not there yet.
    EXPECT_FALSE(PatBlt(ic, 0, 0, 10, 10, WHITENESS));
    EXPECT_EQ(CreateDC("WINSPOOL", "Printer", nullptr, nullptr), nullptr);
    EXPECT_EQ(DeleteDC(ic), TRUE);
}

TEST_F(DcTest, BeginPaintErasesWithTheClassBrushAndClipsToTheUpdate) {
    static int erases;
    erases = 0;
    WNDCLASS wc;
    wc.lpszClassName = "PaintTest";
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_ERASEBKGND) ++erases;
        return DefWindowProc(h, m, w, l);
    };
    ASSERT_TRUE(RegisterClass(&wc));
    HWND hwnd = CreateWindow("PaintTest", "p", WS_POPUP | WS_VISIBLE, 100, 100, 50, 40, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);
    PAINTSTRUCT ps;
    HDC first = BeginPaint(hwnd, &ps);  // takes whatever creation left to paint
    EndPaint(hwnd, &ps);
    (void)first;
    FillScreen(3);
    erases = 0;

    RECT part{10, 10, 20, 20};
    InvalidateRect(hwnd, &part, TRUE);
    HDC dc = BeginPaint(hwnd, &ps);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(erases, 1);
    EXPECT_FALSE(ps.fErase);  // DefWindowProc erased it
    EXPECT_EQ(ps.rcPaint.left, 10);
    EXPECT_EQ(ps.rcPaint.bottom, 20);
    const uint8_t window = Px(115, 115);
    EXPECT_NE(window, 3) << "the update area was filled with the class brush";
    EXPECT_EQ(Px(105, 105), 3) << "outside the update area";
    // Drawing through the paint DC stays inside the update area.
    PatBlt(dc, 0, 0, 50, 40, BLACKNESS);
    EXPECT_EQ(Px(112, 112), 0);
    EXPECT_EQ(Px(125, 125), 3);
    RECT box;
    GetClipBox(dc, &box);
    EXPECT_EQ(box.left, 10);
    EXPECT_EQ(box.right, 20);
    EndPaint(hwnd, &ps);
    // A second BeginPaint finds nothing to paint and nothing to erase.
    dc = BeginPaint(hwnd, &ps);
    EXPECT_EQ(erases, 1);
    EXPECT_EQ(GetClipBox(dc, &box), NULLREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.right, 0);
    EndPaint(hwnd, &ps);
    DestroyWindow(hwnd);
    EXPECT_EQ(plat::LiveGdiObjects(), 0);
}

TEST_F(DcTest, SaveAndRestoreBringBackObjectsColoursAndClip) {
    HDC screen = GetDC(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
    const int level = SaveDC(screen);
    EXPECT_EQ(level, 1);
    HGDIOBJ oldPen = SelectObject(screen, pen);
    SetTextColor(screen, RGB(1, 2, 3));
    IntersectClipRect(screen, 0, 0, 5, 5);
    EXPECT_EQ(SaveDC(screen), 2);
    SetTextColor(screen, RGB(4, 5, 6));
    EXPECT_TRUE(RestoreDC(screen, -1));
    EXPECT_EQ(GetTextColor(screen), RGB(1, 2, 3));
    EXPECT_TRUE(RestoreDC(screen, level));
    EXPECT_EQ(GetCurrentObject(screen, OBJ_PEN), oldPen);
    EXPECT_EQ(GetTextColor(screen), RGB(0, 0, 0));
    RECT box;
    EXPECT_EQ(GetClipBox(screen, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 640);
    EXPECT_FALSE(RestoreDC(screen, 1));
    EXPECT_TRUE(DeleteObject(pen)) << "no saved state holds the pen any more";
    ReleaseDC(nullptr, screen);
}

TEST_F(DcTest, LinesRectanglesAndPixels) {
    HDC screen = GetDC(nullptr);
    HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    HGDIOBJ oldPen = SelectObject(screen, pen), oldBrush = SelectObject(screen, brush);

    MoveToEx(screen, 10, 10, nullptr);
    LineTo(screen, 20, 10);  // the end point is not drawn
    EXPECT_EQ(Px(10, 10), 255);
    EXPECT_EQ(Px(19, 10), 255);
    EXPECT_EQ(Px(20, 10), 0);
    POINT pos;
    GetCurrentPositionEx(screen, &pos);
    EXPECT_EQ(pos.x, 20);
    LineTo(screen, 20, 15);
    EXPECT_EQ(Px(20, 10), 255);
    EXPECT_EQ(Px(20, 14), 255);
    EXPECT_EQ(Px(20, 15), 0);

    Rectangle(screen, 30, 30, 36, 34);  // outline (30..35, 30..33), red inside
    EXPECT_EQ(Px(30, 30), 255);
    EXPECT_EQ(Px(35, 33), 255);
    EXPECT_EQ(Px(36, 33), 0);
    EXPECT_EQ(Px(31, 31), 249);
    EXPECT_EQ(Px(34, 32), 249);
    // Without a pen the filled area loses its last row and column.
    SelectObject(screen, GetStockObject(NULL_PEN));
    Rectangle(screen, 40, 40, 44, 44);
    EXPECT_EQ(Px(40, 40), 249);
    EXPECT_EQ(Px(42, 42), 249);
    EXPECT_EQ(Px(43, 42), 0);
    EXPECT_EQ(Px(42, 43), 0);

    // The mix mode applies to the outline and the fill: an XOR outline drawn twice goes away.
    SelectObject(screen, pen);
    SetROP2(screen, R2_XORPEN);
    TheDisplay().Pixels()[51 * 640 + 51] = 0x0F;
    Rectangle(screen, 50, 50, 54, 54);
    EXPECT_EQ(Px(50, 50), 255);
    EXPECT_EQ(Px(51, 51), 0x0F ^ 249);
    SelectObject(screen, GetStockObject(NULL_BRUSH));
    Rectangle(screen, 50, 50, 54, 54);
    EXPECT_EQ(Px(50, 50), 0);
    EXPECT_EQ(Px(53, 53), 0);
    EXPECT_EQ(Px(52, 52), 249);
    SetROP2(screen, R2_COPYPEN);

    EXPECT_EQ(SetPixel(screen, 5, 6, RGB(0, 0, 255)), RGB(0, 0, 255));
    EXPECT_EQ(Px(5, 6), 252);
    EXPECT_EQ(GetPixel(screen, 5, 6), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(screen, 700, 6), CLR_INVALID);

    // A line from far away costs a screenful and still lands where it should.
    MoveToEx(screen, -100000000, 70, nullptr);
    LineTo(screen, 100000000, 70);
    EXPECT_EQ(Px(0, 70), 255);
    EXPECT_EQ(Px(639, 70), 255);

    RECT frame{60, 60, 64, 63};
    FrameRect(screen, &frame, brush);
    EXPECT_EQ(Px(60, 60), 249);
    EXPECT_EQ(Px(63, 62), 249);
    EXPECT_EQ(Px(61, 61), 0);

    SelectObject(screen, oldPen);
    SelectObject(screen, oldBrush);
    DeleteObject(pen);
    DeleteObject(brush);
    ReleaseDC(nullptr, screen);
}

TEST_F(DcTest, OriginsMoveLogicalCoordinates) {
    HDC screen = GetDC(nullptr);
    SetViewportOrgEx(screen, 100, 50, nullptr);
    SetWindowOrgEx(screen, 10, 0, nullptr);
    PatBlt(screen, 10, 0, 2, 2, WHITENESS);
    EXPECT_EQ(Px(100, 50), 255);
    EXPECT_EQ(Px(101, 51), 255);
    EXPECT_EQ(Px(102, 50), 0);
    POINT p{10, 0};
    LPtoDP(screen, &p, 1);
    EXPECT_EQ(p.x, 100);
    DPtoLP(screen, &p, 1);
    EXPECT_EQ(p.x, 10);
    ReleaseDC(nullptr, screen);
}

TEST_F(DcTest, TextLayerSeamsDrawMasksAndKeepFontFaces) {
    struct Face : plat::IFontFace {
        int id = 7;
    };
    LOGFONT lf;
    lf.lfHeight = -12;
    HFONT font = plat::CreateFontObject(lf, std::make_shared<Face>());
    EXPECT_EQ(static_cast<Face*>(plat::FontFace(font))->id, 7);
    LOGFONT back;
    EXPECT_EQ(GetObject(font, sizeof(back), &back), static_cast<int>(sizeof(LOGFONT)));
    EXPECT_EQ(back.lfHeight, -12);
    EXPECT_EQ(plat::FontFace(GetStockObject(SYSTEM_FONT)), nullptr);

    HDC screen = GetDC(nullptr);
    HGDIOBJ old = SelectObject(screen, font);
    EXPECT_EQ(GetCurrentObject(screen, OBJ_FONT), font);
    ExcludeClipRect(screen, 2, 0, 3, 2);
    const uint8_t mask[2 * 4] = {1, 0, 1, 1, 0, 1, 1, 1};
    plat::DrawMask(screen, 0, 0, 4, 2, mask, 4, RGB(255, 255, 0));
    EXPECT_EQ(Px(0, 0), 251);
    EXPECT_EQ(Px(1, 0), 0);
    EXPECT_EQ(Px(2, 0), 0);  // clipped away
    EXPECT_EQ(Px(3, 1), 251);
    plat::FillSolid(screen, RECT{10, 10, 12, 12}, RGB(0, 255, 0));
    EXPECT_EQ(Px(11, 11), 250);
    SelectObject(screen, old);
    ReleaseDC(nullptr, screen);
    DeleteObject(font);
}

}  // namespace
