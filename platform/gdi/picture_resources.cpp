// The program's bitmaps and icons, registered at start, read back through Windows' resource
// calls (FindResource, LoadBitmap, LoadIcon); the built-in icons.
#include "platform/gdi/picture_resources.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <memory>

#include "platform/core/byte_order.h"

namespace plat {
namespace {

struct StoredPicture {
    Picture picture;
    std::vector<uint8_t> packedDib;  // for FindResource / LockResource
};

std::map<UINT, std::unique_ptr<StoredPicture>>& Bitmaps() {
    static std::map<UINT, std::unique_ptr<StoredPicture>> b;
    return b;
}

std::map<UINT, std::unique_ptr<StoredPicture>>& Icons() {
    static std::map<UINT, std::unique_ptr<StoredPicture>> i;
    return i;
}

// The icons made from the program's resources, shared by every LoadIcon of an id as Windows
// shares them. Never destroyed: the handles stay valid (and reachable) until the program ends.
std::map<UINT, HICON>& IconHandles() {
    static auto* h = new std::map<UINT, HICON>;
    return *h;
}

bool ValidPicture(const Picture& p) {
    return p.width > 0 && p.height > 0 && p.width <= 4096 && p.height <= 4096 &&
           p.pixels.size() == static_cast<size_t>(p.width) * static_cast<size_t>(p.height) && !p.colours.empty() &&
           p.colours.size() <= 256;
}

std::vector<uint8_t> PackDib(const Picture& p) {
    const size_t stride = (static_cast<size_t>(p.width) + 3) & ~size_t(3);
    BITMAPINFOHEADER h;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = p.width;
    h.biHeight = p.height;
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(stride * static_cast<size_t>(p.height));
    h.biClrUsed = static_cast<DWORD>(p.colours.size());
    std::vector<uint8_t> out(sizeof(h) + p.colours.size() * sizeof(RGBQUAD) + stride * static_cast<size_t>(p.height));
    std::memcpy(out.data(), &h, sizeof(h));
    std::memcpy(out.data() + sizeof(h), p.colours.data(), p.colours.size() * sizeof(RGBQUAD));
    uint8_t* bits = out.data() + sizeof(h) + p.colours.size() * sizeof(RGBQUAD);
    for (int y = 0; y < p.height; ++y)
        std::memcpy(bits + static_cast<size_t>(p.height - 1 - y) * stride,
                    p.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(p.width), static_cast<size_t>(p.width));
    return out;
}

}  // namespace

UINT ResourceId(LPCSTR name) {
    if (!name) return 0;
    if (IS_INTRESOURCE(name)) return static_cast<UINT>(reinterpret_cast<uintptr_t>(name));
    if (name[0] != '#' || !name[1]) return 0;
    uint32_t v = 0;
    for (const char* p = name + 1; *p; ++p) {
        if (*p < '0' || *p > '9') return 0;
        v = v * 10 + static_cast<uint32_t>(*p - '0');
        if (v > 0xFFFF) return 0;
    }
    return v;
}

Picture PixelArt(std::initializer_list<std::string_view> rows, std::initializer_list<PixelKey> key) {
    Picture p;
    p.height = static_cast<int>(rows.size());
    for (std::string_view r : rows) p.width = std::max(p.width, static_cast<int>(r.size()));
    const COLORREF first = key.size() ? key.begin()->colour : RGB(0, 0, 0);
    p.colours.push_back(RGBQUAD{GetBValue(first), GetGValue(first), GetRValue(first), 0});
    for (const PixelKey& k : key) p.colours.push_back(RGBQUAD{GetBValue(k.colour), GetGValue(k.colour), GetRValue(k.colour), 0});
    p.pixels.assign(static_cast<size_t>(p.width) * static_cast<size_t>(p.height), 0);
    int y = 0;
    for (std::string_view r : rows) {
        for (size_t x = 0; x < r.size(); ++x) {
            if (r[x] == ' ') {
                p.transparent = 0;
                continue;
            }
            uint8_t index = 0;
            int i = 1;
            for (const PixelKey& k : key) {
                if (k.ch == r[x]) index = static_cast<uint8_t>(i);
                ++i;
            }
            p.pixels[static_cast<size_t>(y) * static_cast<size_t>(p.width) + x] = index;
        }
        ++y;
    }
    return p;
}

bool ParseBmp(std::span<const uint8_t> file, Picture& out, std::string* error) {
    auto fail = [&](const char* why) {
        if (error) *error = why;
        return false;
    };
    plat::LeReader r(file);
    if (!r.Has(0, 14 + 12) || file[0] != 'B' || file[1] != 'M') return fail("not a BMP file");
    const uint32_t offBits = r.U32(10);
    const uint32_t headerSize = r.U32(14);
    int width, height, bpp;
    size_t colourEntry = 4;
    uint32_t used = 0;
    if (headerSize == 12) {
        width = r.U16(18);
        height = static_cast<int16_t>(r.U16(20));
        if (r.U16(22) != 1) return fail("planes are not 1");
        bpp = r.U16(24);
        colourEntry = 3;
    } else if (headerSize >= 40 && r.Has(14, 40)) {
        width = static_cast<int32_t>(r.U32(18));
        height = static_cast<int32_t>(r.U32(22));
        if (r.U16(26) != 1) return fail("planes are not 1");
        bpp = r.U16(28);
        if (r.U32(30) != BI_RGB) return fail("compressed pictures are not read");
        used = r.U32(46);
    } else {
        return fail("unknown header size");
    }
    if (bpp != 1 && bpp != 4 && bpp != 8) return fail("only 1, 4 and 8 bits per pixel are read");
    if (width <= 0 || width > 4096 || height == 0 || height < -4096 || height > 4096) return fail("bad picture size");
    const bool topDown = height < 0;
    if (topDown) height = -height;
    const uint32_t maxColours = 1u << bpp;
    const uint32_t colours = used == 0 || used > maxColours ? maxColours : used;
    const size_t tableAt = 14 + headerSize;
    if (!r.Has(tableAt, colours * colourEntry)) return fail("colour table cut short");
    const size_t stride = ((static_cast<size_t>(width) * static_cast<size_t>(bpp) + 31) / 32) * 4;
    if (!r.Has(offBits, stride * static_cast<size_t>(height))) return fail("pixels cut short");
    Picture p;
    p.width = width;
    p.height = height;
    for (uint32_t i = 0; i < colours; ++i) {
        const size_t o = tableAt + i * colourEntry;
        p.colours.push_back(RGBQUAD{file[o], file[o + 1], file[o + 2], 0});
    }
    p.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int y = 0; y < height; ++y) {
        const size_t row = offBits + static_cast<size_t>(topDown ? y : height - 1 - y) * stride;
        for (int x = 0; x < width; ++x) {
            uint8_t v;
            if (bpp == 8) v = file[row + static_cast<size_t>(x)];
            else if (bpp == 4) v = (file[row + static_cast<size_t>(x) / 2] >> ((x & 1) ? 0 : 4)) & 0x0F;
            else v = (file[row + static_cast<size_t>(x) / 8] >> (7 - (x & 7))) & 1;
            if (v >= colours) v = 0;
            p.pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)] = v;
        }
    }
    out = std::move(p);
    return true;
}

void RegisterBitmapResource(UINT id, const Picture& picture) {
    if (!ValidPicture(picture)) return;
    auto s = std::make_unique<StoredPicture>();
    s->picture = picture;
    s->packedDib = PackDib(picture);
    Bitmaps()[id] = std::move(s);
}

bool RegisterBitmapResource(UINT id, std::span<const uint8_t> bmpFile, std::string* error) {
    Picture p;
    if (!ParseBmp(bmpFile, p, error)) return false;
    RegisterBitmapResource(id, p);
    return true;
}

void RegisterIconResource(UINT id, const Picture& picture) {
    if (!ValidPicture(picture)) return;
    auto s = std::make_unique<StoredPicture>();
    s->picture = picture;
    Icons()[id] = std::move(s);
    if (auto it = IconHandles().find(id); it != IconHandles().end()) {
        DestroyIcon(it->second);
        IconHandles().erase(it);
    }
}

const Picture* FindBitmapResource(UINT id) {
    auto it = Bitmaps().find(id);
    return it == Bitmaps().end() ? nullptr : &it->second->picture;
}

const Picture* FindIconResource(UINT id) {
    auto it = Icons().find(id);
    return it == Icons().end() ? nullptr : &it->second->picture;
}

void ClearPictureResources() {
    Bitmaps().clear();
    Icons().clear();
    for (auto& [id, icon] : IconHandles()) DestroyIcon(icon);
    IconHandles().clear();
}

HICON StandardIcon(UINT) {
    // One shared picture for every built-in icon, made once and kept for the program's life.
    static HICON icon = nullptr;
    if (icon && CursorImageOf(icon)) return icon;
    // A small window: white with a navy title bar and a black outline.
    constexpr int kSize = 32;
    std::vector<uint8_t> pixels(kSize * kSize, 0);
    std::vector<uint8_t> mask((kSize / 8) * kSize, 0xFF);
    PALETTEENTRY palette[256] = {};
    palette[1] = PALETTEENTRY{0, 0, 0, 0};
    palette[2] = PALETTEENTRY{255, 255, 255, 0};
    palette[3] = PALETTEENTRY{0, 0, 128, 0};
    palette[4] = PALETTEENTRY{128, 128, 128, 0};
    for (int y = 3; y < 29; ++y)
        for (int x = 2; x < 30; ++x) {
            const bool edge = y == 3 || y == 28 || x == 2 || x == 29;
            pixels[static_cast<size_t>(y * kSize + x)] = edge ? 1 : (y < 9 ? 3 : 2);
            mask[static_cast<size_t>(y * (kSize / 8) + x / 8)] &= static_cast<uint8_t>(~(0x80 >> (x % 8)));
        }
    icon = CreateColourCursor(kSize, kSize, 0, 0, pixels.data(), mask.data(), palette);
    return icon;
}

}  // namespace plat

using namespace plat;

HRSRC FindResource(HMODULE, LPCSTR name, LPCSTR type) {
    if (type != RT_BITMAP) return nullptr;
    auto it = Bitmaps().find(ResourceId(name));
    if (it == Bitmaps().end()) {
        SetLastError(1814);  // ERROR_RESOURCE_NAME_NOT_FOUND
        return nullptr;
    }
    return reinterpret_cast<HRSRC>(it->second.get());
}

HGLOBAL LoadResource(HMODULE, HRSRC resource) {
    return resource;
}

LPVOID LockResource(HGLOBAL data) {
    for (auto& [id, stored] : Bitmaps())
        if (reinterpret_cast<HGLOBAL>(stored.get()) == data) return stored->packedDib.data();
    return nullptr;
}

DWORD SizeofResource(HMODULE, HRSRC resource) {
    for (auto& [id, stored] : Bitmaps())
        if (reinterpret_cast<HRSRC>(stored.get()) == resource) return static_cast<DWORD>(stored->packedDib.size());
    return 0;
}

BOOL FreeResource(HGLOBAL) {
    return FALSE;
}

HBITMAP LoadBitmap(HINSTANCE, LPCSTR name) {
    const Picture* p = FindBitmapResource(ResourceId(name));
    if (!p) return nullptr;
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto* bmi = reinterpret_cast<BITMAPINFO*>(info.data());
    bmi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi->bmiHeader.biWidth = p->width;
    bmi->bmiHeader.biHeight = -p->height;
    bmi->bmiHeader.biPlanes = 1;
    bmi->bmiHeader.biBitCount = 8;
    bmi->bmiHeader.biClrUsed = static_cast<DWORD>(p->colours.size());
    std::memcpy(bmi->bmiColors, p->colours.data(), p->colours.size() * sizeof(RGBQUAD));
    void* bits = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bmp || !bits) return bmp;
    const size_t stride = (static_cast<size_t>(p->width) + 3) & ~size_t(3);
    for (int y = 0; y < p->height; ++y)
        std::memcpy(static_cast<uint8_t*>(bits) + static_cast<size_t>(y) * stride,
                    p->pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(p->width), static_cast<size_t>(p->width));
    return bmp;
}

HICON LoadIcon(HINSTANCE, LPCSTR name) {
    const UINT id = ResourceId(name);
    if (const Picture* p = FindIconResource(id)) {
        auto& handles = IconHandles();
        if (auto it = handles.find(id); it != handles.end() && CursorImageOf(it->second)) return it->second;
        PALETTEENTRY palette[256] = {};
        for (size_t i = 0; i < p->colours.size(); ++i)
            palette[i] = PALETTEENTRY{p->colours[i].rgbRed, p->colours[i].rgbGreen, p->colours[i].rgbBlue, 0};
        const size_t maskRow = static_cast<size_t>((p->width + 15) / 16) * 2;
        std::vector<uint8_t> mask(maskRow * static_cast<size_t>(p->height), 0);
        for (int y = 0; y < p->height; ++y)
            for (int x = 0; x < p->width; ++x)
                if (p->transparent >= 0 && p->pixels[static_cast<size_t>(y * p->width + x)] == p->transparent)
                    mask[static_cast<size_t>(y) * maskRow + static_cast<size_t>(x / 8)] |= static_cast<uint8_t>(0x80 >> (x % 8));
        HICON icon = CreateColourCursor(p->width, p->height, 0, 0, p->pixels.data(), mask.data(), palette);
        handles[id] = icon;
        return icon;
    }
    if (id >= 32512 && id <= 32516) return StandardIcon(id);
    return nullptr;
}

