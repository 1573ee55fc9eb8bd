#include <gtest/gtest.h>

#include "platform/gdi/gdi_test_support.h"

using namespace gdi_test;
using plat::TheDisplay;

namespace {

bool SameRgb(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    return a.peRed == b.peRed && a.peGreen == b.peGreen && a.peBlue == b.peBlue;
}

void ExpectStaticsKept() {
    const auto& statics = plat::StaticColours();
    for (int i = 0; i < plat::kNumStatic; ++i)
        EXPECT_TRUE(
            SameRgb(TheDisplay().HardwareEntry(plat::StaticIndex(i)), statics[static_cast<size_t>(i)]))
            << "static " << i;
}

class PaletteTest : public GdiTest {};

// Both ways programs cleared the system palette: all-black PC_RESERVED or PC_NOCOLLAPSE.
class ClearSystemPalette : public PaletteTest, public ::testing::WithParamInterface<BYTE> {};

TEST_P(ClearSystemPalette, LeavesStaticsAndBlackBetween) {
    HPALETTE identity = MakeIdentityPalette();
    RealizeOnScreen(identity);
    ASSERT_FALSE(SameRgb(TheDisplay().HardwareEntry(100), PALETTEENTRY{}));

    ClearSystemPaletteByRealising(GetParam());
    for (int i = 10; i <= 245; ++i) EXPECT_TRUE(SameRgb(TheDisplay().HardwareEntry(i), PALETTEENTRY{})) << i;
    ExpectStaticsKept();
    DeleteObject(identity);
}

INSTANTIATE_TEST_SUITE_P(Flags, ClearSystemPalette,
                         ::testing::Values(BYTE(PC_RESERVED), BYTE(PC_NOCOLLAPSE)));

// An identity palette maps every index to the same hardware index, whichever flag marks its
// picture colours, and realising it again changes nothing.
class IdentityPalette : public PaletteTest, public ::testing::WithParamInterface<BYTE> {};

TEST_P(IdentityPalette, MapsEveryIndexToItself) {
    HPALETTE pal = MakeIdentityPalette(GetParam());
    // Something else owned the hardware entries before.
    LogPalette other(50);
    for (int i = 0; i < 50; ++i) other[i] = PictureColour(200 - i, PC_NOCOLLAPSE);
    HPALETTE before = other.Create();
    RealizeOnScreen(before);

    EXPECT_GT(RealizeOnScreen(pal), 0u);
    for (int i = 0; i < 256; ++i) EXPECT_EQ(plat::HardwareIndexOf(pal, i), i) << i;
    for (int i = 10; i <= 245; ++i)
        EXPECT_TRUE(SameRgb(TheDisplay().HardwareEntry(i), PictureColour(i, 0))) << i;
    ExpectStaticsKept();
    EXPECT_EQ(RealizeOnScreen(pal), 0u);
    DeleteObject(pal);
    DeleteObject(before);
}

INSTANTIATE_TEST_SUITE_P(Flags, IdentityPalette, ::testing::Values(BYTE(PC_RESERVED), BYTE(PC_NOCOLLAPSE)));

TEST_F(PaletteTest, NoCollapseEntriesTakeTheFreeEntriesInOrder) {
    plat::ResetSystemPalette();
    LogPalette lp(236);
    // Some colours repeat and some equal static colours: each still gets an entry of its own.
    for (int i = 0; i < 236; ++i)
        lp[i] = i % 3 == 0 ? PALETTEENTRY{0, 0, 0, PC_NOCOLLAPSE} : PictureColour(i, PC_NOCOLLAPSE);
    HPALETTE pal = lp.Create();
    RealizeOnScreen(pal);
    for (int i = 0; i < 236; ++i) EXPECT_EQ(plat::HardwareIndexOf(pal, i), 10 + i) << i;
    ExpectStaticsKept();
    DeleteObject(pal);
}

TEST_F(PaletteTest, PlainEntriesCollapseOntoStaticAndRepeatedColours) {
    plat::ResetSystemPalette();
    LogPalette lp(4);
    lp[0] = PALETTEENTRY{255, 255, 255, 0};  // the static white
    lp[1] = PALETTEENTRY{10, 20, 30, 0};
    lp[2] = PALETTEENTRY{10, 20, 30, 0};  // the same again
    lp[3] = PALETTEENTRY{40, 50, 60, 0};
    HPALETTE pal = lp.Create();
    RealizeOnScreen(pal);
    EXPECT_EQ(plat::HardwareIndexOf(pal, 0), 255);
    EXPECT_EQ(plat::HardwareIndexOf(pal, 1), 10);
    EXPECT_EQ(plat::HardwareIndexOf(pal, 2), 10);
    EXPECT_EQ(plat::HardwareIndexOf(pal, 3), 11);
    DeleteObject(pal);
}

TEST_F(PaletteTest, BackgroundRealisationKeepsTheForegroundEntries) {
    HPALETTE fg = MakeIdentityPalette();
    RealizeOnScreen(fg);
    LogPalette lp(1);
    lp[0] = PictureColour(12, PC_NOCOLLAPSE);  // exactly the foreground's reserved entry 12
    HPALETTE bg = lp.Create();
    HDC screen = GetDC(nullptr);
    SelectPalette(screen, bg, TRUE);
    const uint32_t version = TheDisplay().PaletteVersion();
    RealizePalette(screen);
    // No free entry: matched to the nearest shared colour, the hardware untouched.
    EXPECT_EQ(TheDisplay().PaletteVersion(), version);
    int h = plat::HardwareIndexOf(bg, 0);
    EXPECT_TRUE(plat::IsStaticIndex(h))
        << "PC_RESERVED entries of the foreground are never shared, got " << h;
    for (int i = 0; i < 256; ++i) EXPECT_EQ(plat::HardwareIndexOf(fg, i), i);
    SelectPalette(screen, GetStockObject(DEFAULT_PALETTE), FALSE);
    ReleaseDC(nullptr, screen);
    DeleteObject(fg);
    DeleteObject(bg);
}

// Palette animation: the screen shows new colours at the next present, with no drawing.
TEST_F(PaletteTest, AnimatePaletteChangesTheShownColoursWithoutARedraw) {
    HPALETTE pal = MakeIdentityPalette();
    RealizeOnScreen(pal);
    FillScreen(100);
    TheDisplay().PresentIfDirty();
    const uint64_t presents = TheDisplay().PresentCount();
    std::vector<uint8_t> pixels(TheDisplay().Pixels(), TheDisplay().Pixels() + 640 * 480);

    PALETTEENTRY e{12, 34, 56, PC_RESERVED};
    ASSERT_TRUE(AnimatePalette(pal, 100, 1, &e));
    EXPECT_TRUE(TheDisplay().IsDirty());
    EXPECT_EQ(TheDisplay().ShownColour(320, 240), RGB(12, 34, 56));
    TheDisplay().PresentIfDirty();
    EXPECT_EQ(TheDisplay().PresentCount(), presents + 1);
    EXPECT_EQ(plat::Headless().PresentedFrame()[240 * 640 + 320], RGB(12, 34, 56));
    EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), TheDisplay().Pixels())) << "pixels were redrawn";
    // The logical palette holds the animated colour, so realising again changes nothing.
    PALETTEENTRY got;
    GetPaletteEntries(pal, 100, 1, &got);
    EXPECT_TRUE(SameRgb(got, e));
    EXPECT_EQ(RealizeOnScreen(pal), 0u);
    DeleteObject(pal);
}

TEST_F(PaletteTest, AnimatePaletteLeavesUnreservedAndUnrealisedEntriesOnScreenAlone) {
    HPALETTE pal = MakeIdentityPalette(PC_NOCOLLAPSE);
    RealizeOnScreen(pal);
    PALETTEENTRY e{1, 2, 3, PC_RESERVED};
    AnimatePalette(pal, 50, 1, &e);
    EXPECT_TRUE(SameRgb(TheDisplay().HardwareEntry(50), PictureColour(50, 0)));

    // A reserved palette that was displaced by another foreground realisation.
    HPALETTE reserved = MakeIdentityPalette(PC_RESERVED);
    RealizeOnScreen(reserved);
    RealizeOnScreen(pal);
    AnimatePalette(reserved, 60, 1, &e);
    EXPECT_TRUE(SameRgb(TheDisplay().HardwareEntry(60), PictureColour(60, 0)));
    DeleteObject(pal);
    DeleteObject(reserved);
}

TEST_F(PaletteTest, RealisingBroadcastsPaletteChangedOnlyWhenTheHardwareChanges) {
    static int changes;
    static WPARAM changer;
    changes = 0;
    WNDCLASS wc;
    wc.lpszClassName = "PalWatch";
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
        if (m == WM_PALETTECHANGED) {
            ++changes;
            changer = w;
        }
        return DefWindowProc(h, m, w, l);
    };
    RegisterClass(&wc);
    HWND hwnd = CreateWindow("PalWatch", "w", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr,
                             nullptr, nullptr);
    ASSERT_NE(hwnd, nullptr);

    HPALETTE pal = MakeIdentityPalette();
    changes = 0;
    HDC dc = GetDC(hwnd);
    HPALETTE old = SelectPalette(dc, pal, FALSE);
    RealizePalette(dc);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(changer, reinterpret_cast<WPARAM>(hwnd));
    RealizePalette(dc);
    EXPECT_EQ(changes, 1);
    SelectPalette(dc, old, FALSE);
    ReleaseDC(hwnd, dc);
    DestroyWindow(hwnd);
    DeleteObject(pal);
}

TEST_F(PaletteTest, EntriesAndNearestMatches) {
    LogPalette lp(3);
    lp[0] = PALETTEENTRY{0, 0, 0, 0};
    lp[1] = PALETTEENTRY{200, 0, 0, PC_RESERVED};
    lp[2] = PALETTEENTRY{200, 0, 0, 0};
    HPALETTE pal = lp.Create();
    EXPECT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), 3u);
    EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(190, 10, 0)), 1u);  // ties go to the lower index
    EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(20, 0, 10)), 0u);
    PALETTEENTRY in[2] = {{1, 2, 3, 0}, {4, 5, 6, 0}};
    EXPECT_EQ(SetPaletteEntries(pal, 2, 2, in), 1u);  // only one entry left from index 2
    PALETTEENTRY out[3];
    EXPECT_EQ(GetPaletteEntries(pal, 1, 5, out), 2u);
    EXPECT_TRUE(SameRgb(out[1], in[0]));
    WORD count = 0;
    EXPECT_EQ(GetObject(pal, sizeof(count), &count), static_cast<int>(sizeof(WORD)));
    EXPECT_EQ(count, 3);

    HDC screen = GetDC(nullptr);
    // A plain RGB colour is drawn as the nearest static colour.
    EXPECT_EQ(GetNearestColor(screen, RGB(250, 10, 10)), RGB(255, 0, 0));
    EXPECT_EQ(GetSystemPaletteUse(screen), static_cast<UINT>(SYSPAL_STATIC));
    EXPECT_EQ(SetSystemPaletteUse(screen, SYSPAL_NOSTATIC), static_cast<UINT>(SYSPAL_ERROR));
    ReleaseDC(nullptr, screen);
    DeleteObject(pal);
}

TEST_F(PaletteTest, SelectedPaletteCannotBeDeletedAndStaleHandlesFail) {
    HPALETTE pal = MakeIdentityPalette();
    HDC screen = GetDC(nullptr);
    HPALETTE old = SelectPalette(screen, pal, FALSE);
    EXPECT_FALSE(DeleteObject(pal));
    SelectPalette(screen, old, FALSE);
    EXPECT_TRUE(DeleteObject(pal));
    PALETTEENTRY e;
    EXPECT_EQ(GetPaletteEntries(pal, 0, 1, &e), 0u);
    EXPECT_EQ(SelectPalette(screen, pal, FALSE), nullptr);
    // The slot is reused by a new object, and the old handle still names nothing.
    HPALETTE again = MakeIdentityPalette();
    EXPECT_NE(again, pal);
    EXPECT_EQ(GetObjectType(pal), 0u);
    ReleaseDC(nullptr, screen);
    DeleteObject(again);
    EXPECT_EQ(plat::LiveGdiObjects(), 0);
}

}  // namespace
