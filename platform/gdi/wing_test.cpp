#include <gtest/gtest.h>

#include "platform/gdi/gdi_test_support.h"
#include "platform/gdi/library.h"
#include "platform/gdi/wing.h"

using namespace gdi_test;
using plat::TheDisplay;

namespace {

class LibraryTest : public GdiTest {
protected:
    void TearDown() override {
        plat::ResetLibraries();
        GdiTest::TearDown();
    }
};

struct NameCase {
    const char* name;
    bool found;
};

void PrintTo(const NameCase& c, std::ostream* os) {
    *os << '"' << c.name << '"';
}

class LibraryNames : public LibraryTest, public ::testing::WithParamInterface<NameCase> {};

TEST_P(LibraryNames, BuiltInLibrariesAreFoundByName) {
    SetLastError(0);
    HMODULE h = LoadLibrary(GetParam().name);
    if (GetParam().found) {
        EXPECT_NE(h, nullptr);
        EXPECT_TRUE(FreeLibrary(h));
    } else {
        EXPECT_EQ(h, nullptr);
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
    }
}

INSTANTIATE_TEST_SUITE_P(Names, LibraryNames,
                         ::testing::Values(NameCase{"WING32.DLL", true}, NameCase{"wing32.dll", true},
                                           NameCase{"WinG32", true}, NameCase{"wing32.dll.", true},
                                           NameCase{"C:\\WINDOWS\\SYSTEM\\WING32.DLL", true},
                                           NameCase{"WING.DLL", false}, NameCase{"WING32.EXE", false},
                                           NameCase{"GDI32.DLL", false},
                                           // A trailing dot means a name without extension.
                                           NameCase{"wing32.", false}));

TEST_F(LibraryTest, EntryPointsByNameAndLoadCounts) {
    EXPECT_EQ(GetModuleHandle("WING32.DLL"), nullptr);
    HMODULE a = LoadLibrary("WING32.DLL");
    HMODULE b = LoadLibrary("wing32");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a, b);
    EXPECT_EQ(GetModuleHandle("WinG32.dll"), a);
    const char* names[] = {"WinGCreateDC",
                           "WinGRecommendDIBFormat",
                           "WinGCreateBitmap",
                           "WinGGetDIBPointer",
                           "WinGGetDIBColorTable",
                           "WinGSetDIBColorTable",
                           "WinGBitBlt",
                           "WinGStretchBlt",
                           "WinGCreateHalftoneBrush",
                           "WinGCreateHalftonePalette"};
    for (const char* n : names) EXPECT_NE(GetProcAddress(a, n), nullptr) << n;
    EXPECT_EQ(GetProcAddress(a, "WinGCreateDc"), nullptr);  // names are case-sensitive
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PROC_NOT_FOUND));
    EXPECT_EQ(GetProcAddress(a, MAKEINTRESOURCE(1)), nullptr);

    plat::SetBuiltinExportHidden("WING32.DLL", "WinGStretchBlt", true);
    EXPECT_EQ(GetProcAddress(a, "WinGStretchBlt"), nullptr);
    plat::SetBuiltinExportHidden("WING32.DLL", "WinGStretchBlt", false);

    EXPECT_TRUE(FreeLibrary(a));
    EXPECT_NE(GetProcAddress(b, "WinGBitBlt"), nullptr);
    EXPECT_TRUE(FreeLibrary(b));
    EXPECT_FALSE(FreeLibrary(a));
    EXPECT_EQ(GetProcAddress(a, "WinGBitBlt"), nullptr);
    EXPECT_EQ(GetModuleHandle("WING32.DLL"), nullptr);
    EXPECT_EQ(GetModuleHandle(nullptr), plat::ProgramModule());

    plat::SetBuiltinLibraryHidden("wing32", true);
    EXPECT_EQ(LoadLibrary("WING32.DLL"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_MOD_NOT_FOUND));
}

// The drawing path of a program that found WinG: everything reached through GetProcAddress.
class WinGTest : public LibraryTest {
protected:
    template <class T>
    T Proc(const char* name) {
        return reinterpret_cast<T>(GetProcAddress(m_lib, name));
    }
    void SetUp() override {
        LibraryTest::SetUp();
        m_lib = LoadLibrary("WING32.DLL");
        ASSERT_NE(m_lib, nullptr);
    }
    void TearDown() override {
        FreeLibrary(m_lib);
        LibraryTest::TearDown();
    }
    HMODULE m_lib = nullptr;
};

TEST_F(WinGTest, IdentityBitmapBlitsStraightToTheScreen) {
    auto createDC = Proc<WinGCreateDCProc>("WinGCreateDC");
    auto recommend = Proc<WinGRecommendDIBFormatProc>("WinGRecommendDIBFormat");
    auto createBitmap = Proc<WinGCreateBitmapProc>("WinGCreateBitmap");
    auto getPointer = Proc<WinGGetDIBPointerProc>("WinGGetDIBPointer");
    auto setTable = Proc<WinGSetDIBColorTableProc>("WinGSetDIBColorTable");
    auto getTable = Proc<WinGGetDIBColorTableProc>("WinGGetDIBColorTable");
    auto bitBlt = Proc<WinGBitBltProc>("WinGBitBlt");
    auto stretchBlt = Proc<WinGStretchBltProc>("WinGStretchBlt");
    ASSERT_TRUE(createDC && recommend && createBitmap && getPointer && setTable && getTable && bitBlt &&
                stretchBlt);

    HPALETTE pal = MakeIdentityPalette();
    RealizeOnScreen(pal);

    HDC wingDc = createDC();
    ASSERT_NE(wingDc, nullptr);
    DibHeader header(1, 1, 256);
    ASSERT_TRUE(recommend(header.Info()));
    EXPECT_EQ(header.Header().biHeight, -1);
    EXPECT_EQ(header.Header().biBitCount, 8);
    header.Header().biWidth = 640;
    header.Header().biHeight = -480;
    header.Header().biClrUsed = 0;
    // The colour table is the identity palette's colours.
    PALETTEENTRY entries[256];
    GetPaletteEntries(pal, 0, 256, entries);
    for (int i = 0; i < 256; ++i) header.SetRgb(i, entries[i].peRed, entries[i].peGreen, entries[i].peBlue);
    void* bits = nullptr;
    HBITMAP bmp = createBitmap(wingDc, header.Info(), &bits);
    ASSERT_NE(bmp, nullptr);
    EXPECT_EQ(getPointer(bmp, nullptr), bits);
    HGDIOBJ displaced = SelectObject(wingDc, bmp);
    ASSERT_NE(displaced, nullptr);

    // Top-down: memory row y is picture row y.
    auto* px = static_cast<uint8_t*>(bits);
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x) px[y * 640 + x] = static_cast<uint8_t>(x + 2 * y);
    HDC screen = GetDC(nullptr);
    ASSERT_TRUE(bitBlt(screen, 0, 0, 640, 480, wingDc, 0, 0));
    for (int y = 0; y < 480; y += 7)
        for (int x = 0; x < 640; x += 5)
            ASSERT_EQ(Px(x, y), static_cast<uint8_t>(x + 2 * y)) << x << "," << y;
    EXPECT_TRUE(TheDisplay().IsDirty());

    // A colour table entry that no longer matches the hardware is translated to its colour.
    RGBQUAD red{0, 0, 255, 0};
    EXPECT_EQ(setTable(wingDc, 100, 1, &red), 1u);
    RGBQUAD back;
    EXPECT_EQ(getTable(wingDc, 100, 1, &back), 1u);
    EXPECT_EQ(back.rgbRed, 255);
    px[0] = 100;
    bitBlt(screen, 0, 0, 1, 1, wingDc, 0, 0);
    EXPECT_EQ(Px(0, 0), 249);

    // Stretched: each source pixel twice in each direction.
    FillScreen(0);
    ASSERT_TRUE(stretchBlt(screen, 10, 10, 8, 8, wingDc, 1, 1, 4, 4));
    EXPECT_EQ(Px(10, 10), static_cast<uint8_t>(1 + 2));
    EXPECT_EQ(Px(11, 11), static_cast<uint8_t>(1 + 2));
    EXPECT_EQ(Px(12, 13), static_cast<uint8_t>(2 + 2 * 2));
    EXPECT_EQ(Px(18, 10), 0);

    SelectObject(wingDc, displaced);
    DeleteObject(bmp);
    DeleteDC(wingDc);
    ReleaseDC(nullptr, screen);
    DeleteObject(pal);
    EXPECT_EQ(plat::LiveGdiObjects(), 0);
}

TEST_F(WinGTest, HalftonePaletteAndBrush) {
    auto palette = Proc<WinGCreateHalftonePaletteProc>("WinGCreateHalftonePalette");
    auto brushOf = Proc<WinGCreateHalftoneBrushProc>("WinGCreateHalftoneBrush");
    HPALETTE pal = palette();
    ASSERT_NE(pal, nullptr);
    EXPECT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), 256u);
    RealizeOnScreen(pal);
    HDC screen = GetDC(nullptr);
    HPALETTE old = SelectPalette(screen, pal, FALSE);
    HBRUSH brush = brushOf(screen, RGB(100, 150, 210), WING_DISPERSED_4x4);
    RECT r{0, 0, 4, 4};
    FillRect(screen, &r, brush);
    // The nearest cube colour (102, 153, 204).
    const PALETTEENTRY& e = TheDisplay().HardwareEntry(Px(2, 2));
    EXPECT_EQ(e.peRed, 102);
    EXPECT_EQ(e.peGreen, 153);
    EXPECT_EQ(e.peBlue, 204);
    SelectPalette(screen, old, FALSE);
    ReleaseDC(nullptr, screen);
    DeleteObject(brush);
    DeleteObject(pal);
}

}  // namespace
