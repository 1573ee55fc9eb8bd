// Shared by the GDI text tests: the built font files and 8-bit memory canvases to draw on.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/fs/dospath.h"
#include "platform/gdi/gdi_test_support.h"
#include "platform/gdi/text_out.h"
#include "platform/fonts/font_registry.h"

namespace gdi_test {

// The game's font file beside the dialog font the platform loads.
inline std::string GameFontHostPath() {
    return plat::Fonts().SystemFontFolder() + "/RODODED1.FON";
}

// A fresh GDI with the game's fonts added the way the engine adds them (a DOS path).
class TextTest : public GdiTest {
protected:
    void SetUp() override {
        GdiTest::SetUp();
        plat::Fonts().Clear();
        ASSERT_EQ(plat::Fonts().SystemFontError(), "");
        ASSERT_EQ(AddFontResource(plat::HostToDosPath(GameFontHostPath()).c_str()), 12);
    }
    void TearDown() override {
        GdiTest::TearDown();
        plat::Fonts().Clear();
    }
};

// A font the way the game makes its numbered fonts.
inline HFONT GameFont(const char* face, int height, int width, int weight, bool italic = false) {
    return CreateFont(height, width, 0, 0, weight, italic, 0, 0, ANSI_CHARSET, OUT_RASTER_PRECIS,
                      CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, VARIABLE_PITCH, face);
}

// An 8-bit device bitmap selected into a memory DC, filled with one index.
class Canvas {
public:
    Canvas(int width, int height, uint8_t fill = 255) : m_width(width), m_height(height) {
        m_dc = CreateCompatibleDC(nullptr);
        std::vector<uint8_t> bits(static_cast<size_t>(Pitch()) * height, fill);
        m_bitmap = CreateBitmap(width, height, 1, 8, bits.data());
        m_old = SelectObject(m_dc, m_bitmap);
    }
    ~Canvas() {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC Dc() const { return m_dc; }
    int Pitch() const { return (m_width + 1) & ~1; }
    // Rows of width indices, top first.
    std::vector<uint8_t> Pixels() const {
        std::vector<uint8_t> raw(static_cast<size_t>(Pitch()) * m_height);
        GetBitmapBits(m_bitmap, static_cast<LONG>(raw.size()), raw.data());
        std::vector<uint8_t> out;
        for (int y = 0; y < m_height; ++y)
            out.insert(out.end(), raw.begin() + static_cast<ptrdiff_t>(y) * Pitch(),
                       raw.begin() + static_cast<ptrdiff_t>(y) * Pitch() + m_width);
        return out;
    }
    // The bounding box of pixels that are not `background`; empty when there are none.
    RECT InkBox(uint8_t background = 255) const {
        const std::vector<uint8_t> p = Pixels();
        RECT box{m_width, m_height, 0, 0};
        for (int y = 0; y < m_height; ++y)
            for (int x = 0; x < m_width; ++x)
                if (p[static_cast<size_t>(y) * m_width + x] != background) {
                    box.left = std::min<LONG>(box.left, x);
                    box.top = std::min<LONG>(box.top, y);
                    box.right = std::max<LONG>(box.right, x + 1);
                    box.bottom = std::max<LONG>(box.bottom, y + 1);
                }
        if (box.right <= box.left) box = RECT{};
        return box;
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }

private:
    int m_width;
    int m_height;
    HDC m_dc = nullptr;
    HBITMAP m_bitmap = nullptr;
    HGDIOBJ m_old = nullptr;
};

inline bool SameRect(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace gdi_test
