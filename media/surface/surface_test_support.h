// Shared helpers of the surface tests: a fresh headless platform with emulated drives, the
// drawing state in each of its modes, and byte builders for picture files.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "media/res/item_cache.h"
#include "media/res/res_mgr.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/pal_id.h"
#include "platform/afx/exceptions.h"
#include "platform/core/byte_order.h"
#include "platform/core/display.h"
#include "platform/fs/dospath.h"
#include "platform/gdi/library.h"
#include "platform/headless/headless_backend.h"

namespace surftest {

using Bytes = std::vector<uint8_t>;

// How the drawing state is started: plain DIBs (bottom-up), WinG with its top-down rows, or
// WinG forced to bottom-up rows.
enum class Mode { Plain, WinGTopDown, WinGBottomUp };

inline const char* ModeName(Mode m) {
    switch (m) {
    case Mode::Plain: return "Plain";
    case Mode::WinGTopDown: return "WinGTopDown";
    case Mode::WinGBottomUp: return "WinGBottomUp";
    }
    return "?";
}

inline void StartDibSystem(Mode m) {
    InitDibSystem(nullptr, m == Mode::Plain, m == Mode::WinGBottomUp ? kBottomUp : 0);
}

class SurfaceTest : public ::testing::Test {
protected:
    void SetUp() override {
        plat::InstallHeadless();
        plat::ResetGdi();
        std::memset(plat::TheDisplay().Pixels(), 0, plat::kScreenWidth * plat::kScreenHeight);
        std::string pattern = (std::filesystem::temp_directory_path() / "zelbo-surface-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_tmp = pattern;
        std::filesystem::create_directories(m_tmp / "c");
        plat::SetEmulatedRoot(m_tmp / "c");
        plat::SetCurrentDosDirectory("C:\\");
    }
    void TearDown() override {
        ShutdownDibSystem();
        plat::ResetGdi();
        std::error_code ec;
        std::filesystem::remove_all(m_tmp, ec);
        plat::ResetDriveMap();
    }

    // Writes bytes to C:\<name> and returns the DOS path.
    std::string PutFile(const std::string& name, const Bytes& bytes) {
        std::ofstream(m_tmp / "c" / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return "C:\\" + name;
    }

    std::filesystem::path m_tmp;
};

// Runs f and tells whether it raised the class library's resource exception.
template <class F>
bool ThrowsResource(F&& f) {
    try {
        f();
    } catch (CException* e) {
        const bool resource = e->IsKindOf(RUNTIME_CLASS(CResourceException));
        e->Delete();
        return resource;
    }
    return false;
}

template <class F>
bool ThrowsMemory(F&& f) {
    try {
        f();
    } catch (CException* e) {
        const bool memory = e->IsKindOf(RUNTIME_CLASS(CMemoryException));
        e->Delete();
        return memory;
    }
    return false;
}

// A PCX header for an 8-bit picture of width × height with the given line length.
inline Bytes PcxHeader(int width, int height, int bytesPerLine) {
    Bytes h(128, 0);
    h[0] = 10;
    h[1] = 5;
    h[2] = 1;
    h[3] = 8;
    plat::SetLe16(h, 8, static_cast<uint32_t>(width - 1));
    plat::SetLe16(h, 10, static_cast<uint32_t>(height - 1));
    h[65] = 1;
    plat::SetLe16(h, 66, static_cast<uint32_t>(bytesPerLine));
    plat::SetLe16(h, 68, 1);
    return h;
}

// A whole PCX file: header, the encoded bytes as given, the marker and 768 colour bytes.
inline Bytes PcxFile(int width, int height, int bytesPerLine, const Bytes& encoded, uint8_t colourSeed = 0) {
    Bytes f = PcxHeader(width, height, bytesPerLine);
    f.insert(f.end(), encoded.begin(), encoded.end());
    f.push_back(0x0C);
    for (int i = 0; i < 768; ++i) f.push_back(static_cast<uint8_t>(colourSeed + i));
    return f;
}

// The rows as literal bytes (each below 0xC0) or, for bytes of 0xC0 and up, one-byte runs.
inline Bytes PcxLiteralRows(const std::vector<Bytes>& rows) {
    Bytes out;
    for (const Bytes& row : rows)
        for (uint8_t b : row) {
            if (b >= 0xC0) out.push_back(0xC1);
            out.push_back(b);
        }
    return out;
}

// An 8-bit BMP of 256 colours (colour k = (k, 255 - k, k / 2)); rows given top row first
// and stored bottom-up (or top-down with a negative height).
inline Bytes BmpFile(int width, const std::vector<Bytes>& rowsTopFirst, bool topDown = false) {
    const int height = static_cast<int>(rowsTopFirst.size());
    const int stride = (width + 3) & ~3;
    Bytes f(14 + 40 + 1024 + static_cast<size_t>(stride) * height, 0);
    f[0] = 'B';
    f[1] = 'M';
    plat::SetLe32(f, 2, static_cast<uint32_t>(f.size()));
    plat::SetLe32(f, 10, 1078);
    plat::SetLe32(f, 14, 40);
    plat::SetLe32(f, 18, static_cast<uint32_t>(width));
    plat::SetLe32(f, 22, static_cast<uint32_t>(topDown ? -height : height));
    plat::SetLe16(f, 26, 1);
    plat::SetLe16(f, 28, 8);
    plat::SetLe32(f, 46, 256);
    for (int k = 0; k < 256; ++k) {
        f[54 + 4 * k] = static_cast<uint8_t>(k / 2);
        f[55 + 4 * k] = static_cast<uint8_t>(255 - k);
        f[56 + 4 * k] = static_cast<uint8_t>(k);
    }
    for (int y = 0; y < height; ++y) {
        const int fileRow = topDown ? y : height - 1 - y;
        std::copy(rowsTopFirst[static_cast<size_t>(y)].begin(), rowsTopFirst[static_cast<size_t>(y)].end(),
                  f.begin() + 1078 + static_cast<ptrdiff_t>(fileRow) * stride);
    }
    return f;
}

// 768 bytes of colours: entry k = (k, 255 - k, (k * 3) & 0xFF).
inline Bytes RgbTriplets() {
    Bytes rgb(768);
    for (int k = 0; k < 256; ++k) {
        rgb[3 * static_cast<size_t>(k)] = static_cast<uint8_t>(k);
        rgb[3 * static_cast<size_t>(k) + 1] = static_cast<uint8_t>(255 - k);
        rgb[3 * static_cast<size_t>(k) + 2] = static_cast<uint8_t>((k * 3) & 0xFF);
    }
    return rgb;
}

// The picture rows of a surface, top row first, width bytes each.
inline std::vector<Bytes> Rows(const CDibG& d) {
    std::vector<Bytes> rows;
    for (int y = 0; y < d.Height(); ++y) {
        const BYTE* r = d.RowPtr(y);
        rows.emplace_back(r, r + d.Width());
    }
    return rows;
}

// The palette of a module's 'PAL' item (u16 n, then n colours blue, green, red) read through
// the item host; false when there is none.
inline bool LoadModulePalette(int32_t id, CPalId& palette) {
    std::vector<uint8_t> pal;
    if (!ReadResourceItem(kResPAL, id, nullptr, pal) || pal.size() < 2) return false;
    std::vector<uint8_t> bgr(768, 0);
    const size_t n = std::min<size_t>({size_t{plat::GetLe16(pal, 0)}, 256, (pal.size() - 2) / 3});
    std::copy_n(pal.begin() + 2, 3 * n, bgr.begin());
    palette.FromBgrTriplets(bgr.data());
    return true;
}

}  // namespace surftest
