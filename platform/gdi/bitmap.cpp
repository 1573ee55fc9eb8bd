// Device bitmaps (1 and 8 bits), 8-bit DIB sections, their bits and colour tables, and icons
// made from bitmaps.
#include <algorithm>
#include <cstring>
#include <new>

#include "platform/core/display.h"
#include "platform/gdi/gdi_internal.h"

namespace plat::gdi {
namespace {

// Bytes per row in SetBitmapBits/GetBitmapBits: rows padded to 16 bits.
size_t WordRowBytes(int width, int bpp) {
    return static_cast<size_t>((width * bpp + 15) / 16) * 2;
}

bool SizeOk(int width, int height) {
    return width > 0 && height > 0 && width <= kMaxBitmapSide && height <= kMaxBitmapSide &&
           int64_t(width) * height <= kMaxBitmapPixels;
}

std::unique_ptr<uint8_t[]> Allocate(size_t n) {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[n]());
}

// A device bitmap keeps one byte per pixel, top row first, whatever its depth.
HBITMAP NewDeviceBitmap(int width, int height, int bpp) {
    auto b = std::make_unique<BitmapObj>();
    b->width = width;
    b->height = height;
    b->bpp = bpp;
    b->space = bpp == 1 ? Space::Mono : Space::Device;
    b->size = static_cast<size_t>(width) * static_cast<size_t>(height);
    b->pixels = Allocate(b->size);
    if (!b->pixels) return nullptr;
    b->pitch = width;
    return Register(std::move(b));
}

size_t TotalWordBytes(const BitmapObj& b) {
    return WordRowBytes(b.width, b.bpp) * static_cast<size_t>(b.height);
}

}  // namespace
}  // namespace plat::gdi

using namespace plat;
using namespace plat::gdi;

HBITMAP CreateBitmap(int width, int height, UINT planes, UINT bitsPerPixel, const void* bits) {
    if (width == 0 || height == 0) return StockBitmap();
    if (!SizeOk(width, height) || planes != 1 || (bitsPerPixel != 1 && bitsPerPixel != 8)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    HBITMAP h = NewDeviceBitmap(width, height, static_cast<int>(bitsPerPixel));
    if (h && bits) {
        BitmapObj* b = GetBitmap(h);
        SetBitmapBits(h, static_cast<DWORD>(TotalWordBytes(*b)), bits);
    }
    return h;
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int width, int height) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc) return nullptr;
    if (width == 0 || height == 0) return StockBitmap();
    if (!SizeOk(width, height)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // As on Windows, a memory DC that still holds its monochrome bitmap gives monochrome ones.
    int bpp = 8;
    if (dc->dcKind == DcKind::Memory) {
        BitmapObj* cur = GetBitmap(dc->st.bitmap);
        if (cur && cur->bpp == 1) bpp = 1;
    }
    return NewDeviceBitmap(width, height, bpp);
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* bmi, UINT usage, void** bits, HANDLE section, DWORD) {
    if (bits) *bits = nullptr;
    DibInfo dib;
    if (section || !ParseDib(bmi, usage, dib) || dib.bpp != 8 ||
        int64_t(dib.width) * dib.height > kMaxBitmapPixels) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto b = std::make_unique<BitmapObj>();
    b->width = dib.width;
    b->height = dib.height;
    b->bpp = 8;
    b->space = Space::Table;
    b->dib = true;
    b->size = dib.stride * static_cast<size_t>(dib.height);
    b->pixels = Allocate(b->size);
    if (!b->pixels) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    const auto stride = static_cast<ptrdiff_t>(dib.stride);
    b->pitch = dib.topDown ? stride : -stride;
    b->topOffset = dib.topDown ? 0 : stride * (dib.height - 1);
    b->header = bmi->bmiHeader;
    b->header.biSize = sizeof(BITMAPINFOHEADER);
    b->header.biSizeImage = static_cast<DWORD>(b->size);
    for (int i = 0; i < dib.colours; ++i) {
        RGBQUAD& q = b->table[static_cast<size_t>(i)];
        if (usage == DIB_PAL_COLORS) {
            WORD index;
            std::memcpy(&index, dib.table + 2 * i, 2);
            PaletteObj* pal = DcPalette(GetDcObj(hdc));
            const PALETTEENTRY& e = pal->entries[index < pal->entries.size() ? index : 0];
            q = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
        } else {
            std::memcpy(&q, dib.table + 4 * i, 4);
            q.rgbReserved = 0;
        }
    }
    if (bits) *bits = b->pixels.get();
    return Register(std::move(b));
}

LONG SetBitmapBits(HBITMAP bmp, DWORD count, const void* bits) {
    BitmapObj* b = GetBitmap(bmp);
    if (!b || !bits || b->stock) return 0;
    const size_t rowBytes = WordRowBytes(b->width, b->bpp);
    const size_t n = std::min<size_t>(count, TotalWordBytes(*b));
    const auto* in = static_cast<const uint8_t*>(bits);
    Surface s = b->GetSurface();
    for (size_t i = 0; i < n; ++i) {
        const int y = static_cast<int>(i / rowBytes);
        const int col = static_cast<int>(i % rowBytes);
        uint8_t* row = s.Row(y);
        if (b->bpp == 8) {
            if (col < b->width) row[col] = in[i];
        } else {
            for (int bit = 0; bit < 8; ++bit) {
                const int x = col * 8 + bit;
                if (x < b->width) row[x] = (in[i] >> (7 - bit)) & 1;
            }
        }
    }
    return static_cast<LONG>(n);
}

LONG GetBitmapBits(HBITMAP bmp, LONG count, LPVOID bits) {
    BitmapObj* b = GetBitmap(bmp);
    if (!b) return 0;
    const size_t total = TotalWordBytes(*b);
    if (!bits) return static_cast<LONG>(total);
    if (count <= 0) return 0;
    const size_t rowBytes = WordRowBytes(b->width, b->bpp);
    const size_t n = std::min<size_t>(static_cast<size_t>(count), total);
    auto* out = static_cast<uint8_t*>(bits);
    Surface s = b->GetSurface();
    for (size_t i = 0; i < n; ++i) {
        const int y = static_cast<int>(i / rowBytes);
        const int col = static_cast<int>(i % rowBytes);
        const uint8_t* row = s.Row(y);
        uint8_t v = 0;
        if (b->bpp == 8) {
            if (col < b->width) v = row[col];
        } else {
            for (int bit = 0; bit < 8; ++bit) {
                const int x = col * 8 + bit;
                if (x < b->width && row[x]) v |= static_cast<uint8_t>(0x80 >> bit);
            }
        }
        out[i] = v;
    }
    return static_cast<LONG>(n);
}

namespace {

BitmapObj* SelectedDib(HDC hdc) {
    DcObj* dc = GetDcObj(hdc);
    if (!dc || dc->dcKind != DcKind::Memory) return nullptr;
    BitmapObj* b = GetBitmap(dc->st.bitmap);
    return b && b->dib ? b : nullptr;
}

}  // namespace

UINT GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD* out) {
    BitmapObj* b = SelectedDib(hdc);
    if (!b || !out || start >= 256) return 0;
    UINT n = std::min<UINT>(count, 256 - start);
    std::copy_n(b->table.begin() + start, n, out);
    return n;
}

UINT SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD* in) {
    BitmapObj* b = SelectedDib(hdc);
    if (!b || !in || start >= 256) return 0;
    UINT n = std::min<UINT>(count, 256 - start);
    std::copy_n(in, n, b->table.begin() + start);
    for (UINT i = 0; i < n; ++i) b->table[start + i].rgbReserved = 0;
    return n;
}

HICON CreateIconIndirect(ICONINFO* info) {
    if (!info) return nullptr;
    BitmapObj* mask = GetBitmap(info->hbmMask);
    BitmapObj* colour = info->hbmColor ? GetBitmap(info->hbmColor) : nullptr;
    if (!mask || (info->hbmColor && !colour)) return nullptr;
    const int w = colour ? colour->width : mask->width;
    const int h = colour ? colour->height : mask->height / 2;
    if (w <= 0 || h <= 0 || mask->width < w || mask->height < (colour ? h : 2 * h)) return nullptr;

    PALETTEENTRY palette[256] = {};
    Surface ms = mask->GetSurface();
    std::vector<uint8_t> indices(static_cast<size_t>(w) * h);
    const size_t maskRow = static_cast<size_t>((w + 15) / 16) * 2;
    std::vector<uint8_t> andMask(maskRow * static_cast<size_t>(h));
    if (colour) {
        Surface cs = colour->GetSurface();
        for (int i = 0; i < 256; ++i) {
            COLORREF c = ColourOfValue(cs, static_cast<uint8_t>(cs.space == Space::Mono ? (i ? 1 : 0) : i));
            palette[i] = PALETTEENTRY{GetRValue(c), GetGValue(c), GetBValue(c), 0};
        }
        for (int y = 0; y < h; ++y)
            std::memcpy(&indices[static_cast<size_t>(y) * w], cs.Row(y), static_cast<size_t>(w));
    } else {
        // Monochrome icon: the lower half of the mask is the XOR image, black or white.
        for (int i = 0; i < 256; ++i) palette[i] = TheDisplay().HardwareEntry(i);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) indices[static_cast<size_t>(y) * w + x] = ms.Row(h + y)[x] ? 255 : 0;
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (ms.Row(y)[x])
                andMask[static_cast<size_t>(y) * maskRow + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    int hotX = info->fIcon ? w / 2 : static_cast<int>(info->xHotspot);
    int hotY = info->fIcon ? h / 2 : static_cast<int>(info->yHotspot);
    return plat::CreateColourCursor(w, h, hotX, hotY, indices.data(), andMask.data(), palette);
}

BOOL DestroyIcon(HICON icon) {
    return DestroyCursor(icon);
}
