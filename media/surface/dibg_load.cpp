// CDibG: pictures from BMP and PCX files, PCX images in memory and bitmap resources. Each file is
// checked and decoded into a temporary store first, so a damaged or short file raises the
// resource exception and leaves the surface as it was.
#include <cstring>
#include <functional>
#include <utility>
#include <vector>

#include "media/surface/dibg.h"
#include "media/surface/pal_id.h"
#include "media/surface/picture_formats.h"
#include "platform/afx/exceptions.h"
#include "platform/afx/file.h"
#include "platform/core/seam.h"
#include "platform/dialogs/dialog_api.h"

namespace {

constinit plat::Seam<IBitmapResourceSource> g_bitmapResources;

// Reads a whole file of at most maxSize bytes; false when it cannot be opened or read.
bool ReadFileBytes(LPCSTR path, std::vector<uint8_t>& out, uint64_t maxSize) {
    if (!path) return false;
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyWrite)) return false;
    bool ok = false;
    try {
        const DWORD length = file.GetLength();
        if (length <= maxSize) {
            out.resize(length);
            ok = file.Read(out.data(), length) == length;
        }
    } catch (CException* e) {
        e->Delete();
    } catch (const std::bad_alloc&) {
    }
    file.Abort();
    return ok;
}

// A picture file is never larger than its pixels of the largest size plus headers; anything
// bigger is not read into memory.
constexpr uint64_t kMaxFileBytes = uint64_t{CDibG::kMaxSide} * CDibG::kMaxSide * 2 + 4096;

}  // namespace

IBitmapResourceSource* SetBitmapResourceSource(IBitmapResourceSource* source) {
    return g_bitmapResources.Install(source);
}
IBitmapResourceSource& BitmapResourceSource() { return g_bitmapResources.Get(); }

void CDibG::LoadByKind(LPCSTR name, CPalId* palette, int kind) {
    switch (kind) {
    case kBmpFile: LoadBmpFile(name, palette); break;
    case kPcxFile: LoadPcxFile(name, palette); break;
    case kBitmapResource: LoadResourceBitmap(name, palette); break;
    default: break;
    }
}

void CDibG::ReloadByKind(LPCSTR name, CPalId* palette, int kind) {
    switch (kind) {
    case kBmpFile: ReloadBmpFile(name, palette); break;
    case kPcxFile: ReloadPcxFile(name, palette); break;
    case kBitmapResource: ReloadResourceBitmap(name, palette); break;
    default: break;
    }
}

// Takes decoded pixels (packed rows of this surface's stride) into the surface: a new surface
// of the picture's size, or with reload the existing one, which must have that size.
static void TakePixels(CDibG& dib, int width, int height, std::span<const uint8_t> pixels, int sourceOrientation,
                       CPalId* palette, bool reload, const std::function<void(std::function<void()>)>& realised) {
    if (reload) {
        if (!dib.IsCreated() || dib.Width() != width || dib.Height() != height) dib.ThrowResource();
        dib.CopyBits(pixels.data(), sourceOrientation);
        return;
    }
    realised([&] {
        if (dib.IsCreated() && (dib.Width() != width || dib.Height() != height)) dib.FreeSurface();
        dib.CreateSurface(width, height, palette);
        dib.CopyBits(pixels.data(), sourceOrientation);
    });
}

void CDibG::LoadBmpMemory(std::span<const uint8_t> file, CPalId* palette, bool reload) {
    media::BmpLayout l;
    if (!media::ParseBmpHeaders(file, file.size(), kMaxSide, l)) ThrowResource();
    // Loads and reloads alike make a palette not yet made from the picture's colours.
    if (palette && !palette->IsCreated()) {
        RGBQUAD quads[256] = {};
        std::memcpy(quads, file.data() + l.colourOffset, 4 * static_cast<size_t>(l.colours));
        palette->FromRgbQuads(quads);
    }
    // File rows and surface rows have the same stride.
    const auto pixels = file.subspan(l.pixelOffset, size_t{l.stride} * static_cast<size_t>(l.height));
    TakePixels(*this, l.width, l.height, pixels, l.topDown ? kTopDown : kBottomUp, palette, reload,
               [&](std::function<void()> f) { WithRealisedPalette(palette, f); });
}

void CDibG::LoadBmpFile(LPCSTR path, CPalId* palette) {
    std::vector<uint8_t> file;
    if (!ReadFileBytes(path, file, kMaxFileBytes)) ThrowResource();
    LoadBmpMemory(file, palette, false);
}

void CDibG::ReloadBmpFile(LPCSTR path, CPalId* palette) {
    std::vector<uint8_t> file;
    if (!ReadFileBytes(path, file, kMaxFileBytes)) ThrowResource();
    LoadBmpMemory(file, palette, true);
}

void CDibG::LoadPcxData(const uint8_t* header, std::span<const uint8_t> encoded, const uint8_t* rgb, CPalId* palette,
                        bool reload) {
    media::PcxLayout l;
    if (!media::ParsePcxHeader(std::span<const uint8_t>(header, media::kPcxHeaderSize), kMaxSide, l))
        ThrowResource();
    if (encoded.size() < media::MinPcxEncodedSize(l)) ThrowResource();
    const int stride = DibStride(l.width);
    std::vector<uint8_t> pixels(static_cast<size_t>(stride) * static_cast<size_t>(l.height));
    if (!media::DecodePcxRows(encoded, l, pixels.data(), stride)) ThrowResource();
    if (rgb && palette && !palette->IsCreated()) palette->FromRgbTriplets(rgb);
    TakePixels(*this, l.width, l.height, pixels, kTopDown, palette, reload,
               [&](std::function<void()> f) { WithRealisedPalette(palette, f); });
}

void CDibG::LoadPcxMemory(std::span<const uint8_t> pcx, const uint8_t* rgb, CPalId* palette) {
    if (pcx.size() < media::kPcxHeaderSize) ThrowResource();
    LoadPcxData(pcx.data(), pcx.subspan(media::kPcxHeaderSize), rgb, palette, false);
    if (!rgb) return;
    // The picture's own colours go into the colour table (not where it holds palette indices).
    DibSystem& s = TheDibSystem();
    if (s.winGInUse) {
        PALETTEENTRY entries[256];
        for (int k = 0; k < 256; ++k)
            entries[k] = PALETTEENTRY{rgb[3 * k], rgb[3 * k + 1], rgb[3 * k + 2], 0};
        SetColorEntries(0, 256, entries);
    }
    if (s.winGInUse || s.colourUsage == 0)
        for (int k = 0; k < 256; ++k) m_info.colours[k] = RGBQUAD{rgb[3 * k + 2], rgb[3 * k + 1], rgb[3 * k], 0};
}

void CDibG::LoadPcxFile(LPCSTR path, CPalId* palette) {
    std::vector<uint8_t> file;
    if (!ReadFileBytes(path, file, kMaxFileBytes) || file.size() < media::kPcxOverhead) ThrowResource();
    const size_t encodedSize = file.size() - media::kPcxOverhead;
    LoadPcxData(file.data(), std::span<const uint8_t>(file.data() + media::kPcxHeaderSize, encodedSize),
                file.data() + file.size() - media::kPcxPaletteSize, palette, false);
}

void CDibG::ReloadPcxFile(LPCSTR path, CPalId* palette) {
    std::vector<uint8_t> file;
    if (!ReadFileBytes(path, file, kMaxFileBytes) || file.size() < media::kPcxOverhead) ThrowResource();
    const size_t encodedSize = file.size() - media::kPcxOverhead;
    LoadPcxData(file.data(), std::span<const uint8_t>(file.data() + media::kPcxHeaderSize, encodedSize),
                file.data() + file.size() - media::kPcxPaletteSize, palette, true);
}

void CDibG::LoadPackedDib(std::span<const uint8_t> dib, CPalId* palette, bool reload) {
    // A packed DIB is a BMP file without its 14-byte file header.
    std::vector<uint8_t> asFile(14, 0);
    asFile.insert(asFile.end(), dib.begin(), dib.end());
    LoadBmpMemory(asFile, palette, reload);
}

// The program's bitmap resources ("#239" or MAKEINTRESOURCE(239)), registered with the window
// framework; empty when there is none.
std::span<const uint8_t> IBitmapResourceSource::PackedDib(LPCSTR name) {
    HRSRC found = FindResource(nullptr, name, RT_BITMAP);
    HGLOBAL loaded = found ? LoadResource(nullptr, found) : nullptr;
    const auto* bytes = static_cast<const uint8_t*>(loaded ? LockResource(loaded) : nullptr);
    if (!bytes) return {};
    return std::span<const uint8_t>(bytes, SizeofResource(nullptr, found));
}

void CDibG::LoadResourceBitmap(LPCSTR name, CPalId* palette) {
    const std::span<const uint8_t> dib = BitmapResourceSource().PackedDib(name);
    if (dib.empty()) ThrowResource();
    LoadPackedDib(dib, palette, false);
}

void CDibG::ReloadResourceBitmap(LPCSTR name, CPalId* palette) {
    const std::span<const uint8_t> dib = BitmapResourceSource().PackedDib(name);
    if (dib.empty()) ThrowResource();
    LoadPackedDib(dib, palette, true);
}
