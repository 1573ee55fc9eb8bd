// Shared helpers of the GDI tests.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/core/display.h"
#include "platform/gdi/wingdi.h"
#include "platform/headless/headless_backend.h"

namespace gdi_test {

// A fresh headless platform, an empty GDI and a screen of index 0.
class GdiTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::InstallHeadless();
        plat::ResetGdi();
        std::memset(plat::TheDisplay().Pixels(), 0, plat::kScreenWidth * plat::kScreenHeight);
    }
    void TearDown() override { plat::ResetGdi(); }

    static uint8_t Px(int x, int y) { return plat::TheDisplay().Pixel(x, y); }
    static void FillScreen(uint8_t v) {
        std::memset(plat::TheDisplay().Pixels(), v, plat::kScreenWidth * plat::kScreenHeight);
    }
};

// A LOGPALETTE with room for n entries.
class LogPalette {
public:
    explicit LogPalette(int n) : m_buf(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<size_t>(n)) {
        auto* lp = Get();
        lp->palVersion = 0x300;
        lp->palNumEntries = static_cast<WORD>(n);
    }
    LOGPALETTE* Get() { return reinterpret_cast<LOGPALETTE*>(m_buf.data()); }
    PALETTEENTRY& operator[](int i) { return Get()->palPalEntry[i]; }
    HPALETTE Create() { return CreatePalette(Get()); }

private:
    std::vector<uint8_t> m_buf;
};

// A colour of the picture part (10-245) of test palettes, different for every index.
inline PALETTEENTRY PictureColour(int i, BYTE flags) {
    return PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>((i * 7) & 0xFF),
                        flags};
}

// The system palette cleared the way programs did it: a palette of black flagged entries
// realised in the foreground on the screen, then dropped.
inline void ClearSystemPaletteByRealising(BYTE flags) {
    LogPalette lp(256);
    for (int i = 0; i < 256; ++i) lp[i] = PALETTEENTRY{0, 0, 0, flags};
    HPALETTE black = lp.Create();
    HDC screen = GetDC(nullptr);
    HPALETTE old = SelectPalette(screen, black, FALSE);
    RealizePalette(screen);
    SelectPalette(screen, old, FALSE);
    DeleteObject(black);
    ReleaseDC(nullptr, screen);
}

// An identity palette: the system's static entries at both ends, flagged picture colours
// between them.
inline HPALETTE MakeIdentityPalette(BYTE flags = PC_RESERVED) {
    ClearSystemPaletteByRealising(PC_NOCOLLAPSE);
    HDC screen = GetDC(nullptr);
    PALETTEENTRY sys[256];
    GetSystemPaletteEntries(screen, 0, 256, sys);
    ReleaseDC(nullptr, screen);
    LogPalette lp(256);
    for (int i = 0; i < 256; ++i) lp[i] = plat::IsStaticIndex(i) ? sys[i] : PictureColour(i, flags);
    return lp.Create();
}

// Selects pal into the screen DC in the foreground and realises it; returns the change count.
inline UINT RealizeOnScreen(HPALETTE pal) {
    HDC screen = GetDC(nullptr);
    HPALETTE old = SelectPalette(screen, pal, FALSE);
    UINT n = RealizePalette(screen);
    SelectPalette(screen, old, FALSE);
    ReleaseDC(nullptr, screen);
    return n;
}

// An 8-bit BITMAPINFO with a colour table of n RGBQUADs or n WORD indices.
class DibHeader {
public:
    DibHeader(int width, int height, int colours, bool wordTable = false)
        : m_buf(sizeof(BITMAPINFOHEADER) + static_cast<size_t>(colours) * (wordTable ? 2 : 4)) {
        BITMAPINFOHEADER& h = Header();
        h.biSize = sizeof(BITMAPINFOHEADER);
        h.biWidth = width;
        h.biHeight = height;
        h.biPlanes = 1;
        h.biBitCount = 8;
        h.biCompression = BI_RGB;
        h.biClrUsed = static_cast<DWORD>(colours);
    }
    BITMAPINFOHEADER& Header() { return *reinterpret_cast<BITMAPINFOHEADER*>(m_buf.data()); }
    const BITMAPINFO* Info() const { return reinterpret_cast<const BITMAPINFO*>(m_buf.data()); }
    BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(m_buf.data()); }
    void SetRgb(int i, BYTE r, BYTE g, BYTE b) {
        RGBQUAD q{b, g, r, 0};
        std::memcpy(m_buf.data() + sizeof(BITMAPINFOHEADER) + 4 * static_cast<size_t>(i), &q, 4);
    }
    void SetIndex(int i, WORD index) {
        std::memcpy(m_buf.data() + sizeof(BITMAPINFOHEADER) + 2 * static_cast<size_t>(i), &index, 2);
    }

private:
    std::vector<uint8_t> m_buf;
};

// Rows of an 8-bit DIB, 4-byte aligned; row(i) is the i-th row in memory.
class DibBits {
public:
    DibBits(int width, int height)
        : m_stride((width + 3) & ~3), m_bits(static_cast<size_t>(m_stride) * height) {}
    uint8_t* Row(int i) { return m_bits.data() + static_cast<size_t>(m_stride) * i; }
    const void* Data() const { return m_bits.data(); }

private:
    int m_stride;
    std::vector<uint8_t> m_bits;
};

}  // namespace gdi_test
