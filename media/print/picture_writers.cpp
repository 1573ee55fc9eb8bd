#include "media/print/picture_writers.h"

#include <algorithm>
#include <array>

#include "media/print/picture_file_host.h"
#include "media/res/res_item_host.h"
#include "media/util/mono_debug.h"
#include "platform/core/byte_order.h"
#include "platform/fs/winfile.h"

namespace {

constexpr int kMaxRun = 63;
constexpr uint32_t kBmpPixelOffset = 14 + 40 + 1024;

void Report(const char* text) {
    MonoDebugWrite(text);
    MonoDebugWrite("\n");
}

bool Put(FILE* out, const void* bytes, size_t n) {
    return std::fwrite(bytes, 1, n, out) == n;
}

// The stream's verdict: an error while writing, or one that the close brings out.
int16_t Finish(FILE* out) {
    const bool writeError = std::ferror(out) != 0;
    if (std::fclose(out) != 0) {
        Report("Error closing file");
        return kPictureWriteError;
    }
    return writeError ? kPictureWriteError : 0;
}

bool ValidRows(const media::PictureRows& p) {
    return p.bits && p.width > 0 && p.height > 0 && p.width <= 0xFFFF && p.height <= 0xFFFF && p.stride >= p.width;
}

}  // namespace

namespace media {

void EncodePcxRow(std::span<const uint8_t> row, std::vector<uint8_t>& out) {
    size_t i = 0;
    while (i < row.size()) {
        const uint8_t b = row[i];
        size_t k = 1;
        while (i + k < row.size() && row[i + k] == b) ++k;
        size_t n = 0;
        if (k > 1) n = std::min<size_t>(i + k == row.size() ? k : k - 1, kMaxRun);
        if (n == 0) {
            if (b >= 0xC0) out.push_back(0xC1);
            out.push_back(b);
            i += 1;
        } else {
            out.push_back(static_cast<uint8_t>(0xC0 | n));
            out.push_back(b);
            i += n;
        }
    }
}

std::vector<uint8_t> PcxHeaderBytes(int width, int height, std::span<const uint8_t, 48> rgb16) {
    std::vector<uint8_t> h(128, 0);
    h[0] = 10;  // manufacturer
    h[1] = 5;   // version
    h[2] = 1;   // run-length encoded
    h[3] = 8;   // bits per pixel
    plat::SetLe16(h, 8, static_cast<uint16_t>(width - 1));
    plat::SetLe16(h, 10, static_cast<uint16_t>(height - 1));
    std::copy(rgb16.begin(), rgb16.end(), h.begin() + 16);
    h[65] = 1;  // planes
    plat::SetLe16(h, 66, static_cast<uint16_t>(width));
    plat::SetLe16(h, 68, 1);  // colour
    return h;
}

int16_t WritePcxPicture(const PictureRows& picture, std::span<const uint8_t, 768> rgb, const char* path) {
    if (!ValidRows(picture)) {
        Report("No picture to write");
        return kPcxCannotOpen;
    }
    FILE* out = plat::fopen_dos(path, "wb");
    if (!out) {
        Report("Couldn't open file for writing");
        return kPcxCannotOpen;
    }
    const auto header = PcxHeaderBytes(picture.width, picture.height, rgb.first<48>());
    bool ok = Put(out, header.data(), header.size());
    if (!ok) Report("Error writing header");
    for (int y = 0; ok && y < picture.height; ++y) {
        const BYTE* row = picture.bits + static_cast<ptrdiff_t>(y) * picture.stride;
        if (EncodePcxLine(row, picture.width, out) != picture.width) {
            Report("Error writing line");
            ok = false;
        }
    }
    if (ok) {
        const uint8_t marker = 0x0C;
        if (!Put(out, &marker, 1) || !Put(out, rgb.data(), rgb.size())) {
            Report("Error writing palette");
            ok = false;
        }
    }
    const int16_t result = Finish(out);
    return ok ? result : kPictureWriteError;
}

int16_t WriteBmpPicture(const PictureRows& picture, std::span<const PALETTEENTRY, 256> colours, const char* path) {
    if (!ValidRows(picture)) {
        Report("No picture to write");
        return kBmpCannotOpen;
    }
    FILE* out = plat::fopen_dos(path, "wb");
    if (!out) {
        Report("Couldn't open file for writing");
        return kBmpCannotOpen;
    }
    // Rows in the file are 4-byte aligned; a picture's stride already is.
    const size_t fileStride = (static_cast<size_t>(picture.stride) + 3) & ~size_t{3};
    const uint32_t pixelBytes = static_cast<uint32_t>(fileStride) * static_cast<uint32_t>(picture.height);
    std::vector<uint8_t> fileHeader(14, 0);
    fileHeader[0] = 'B';
    fileHeader[1] = 'M';
    plat::SetLe32(fileHeader, 2, pixelBytes + kBmpPixelOffset);
    plat::SetLe32(fileHeader, 10, kBmpPixelOffset);
    std::vector<uint8_t> info(40, 0);
    plat::SetLe32(info, 0, 40);
    plat::SetLe32(info, 4, static_cast<uint32_t>(picture.width));
    plat::SetLe32(info, 8, static_cast<uint32_t>(picture.height));  // positive: bottom-up rows
    plat::SetLe16(info, 12, 1);
    plat::SetLe16(info, 14, 8);
    plat::SetLe32(info, 32, 256);
    std::array<uint8_t, 1024> quads{};
    for (size_t k = 0; k < 256; ++k) {
        quads[4 * k] = colours[k].peBlue;
        quads[4 * k + 1] = colours[k].peGreen;
        quads[4 * k + 2] = colours[k].peRed;
    }
    bool ok = true;
    if (!Put(out, fileHeader.data(), fileHeader.size())) {
        Report("Error writing File header");
        ok = false;
    } else if (!Put(out, info.data(), info.size())) {
        Report("Error writing Info header");
        ok = false;
    } else if (!Put(out, quads.data(), quads.size())) {
        Report("Error writing palette");
        ok = false;
    }
    const std::array<uint8_t, 3> padding{};
    for (int y = picture.height - 1; ok && y >= 0; --y) {
        const size_t stride = static_cast<size_t>(picture.stride);
        if (!Put(out, picture.bits + static_cast<ptrdiff_t>(y) * picture.stride, stride) ||
            !Put(out, padding.data(), fileStride - stride)) {
            Report("Error writing pixel data");
            ok = false;
        }
    }
    const int16_t result = Finish(out);
    return ok ? result : kPictureWriteError;
}

}  // namespace media

int EncodePcxLine(const BYTE* row, int width, FILE* out) {
    if (width <= 0) return width < 0 ? -1 : 0;
    std::vector<uint8_t> encoded;
    media::EncodePcxRow(std::span<const uint8_t>(row, static_cast<size_t>(width)), encoded);
    return Put(out, encoded.data(), encoded.size()) ? width : -1;
}

int16_t WritePcxFile(int16_t picture, const char* path) {
    const LockedPicture locked = LockPicture(picture);
    std::array<uint8_t, 768> rgb{};
    PictureFileHost().PaletteToRgbTriplets(rgb.data());
    const int16_t result = media::WritePcxPicture({locked.bits, locked.width, locked.height, locked.stride}, rgb, path);
    UnlockPicture(locked);
    return result;
}

int16_t WriteBmpFile(int16_t picture, const char* path) {
    const LockedPicture locked = LockPicture(picture);
    std::array<PALETTEENTRY, 256> colours{};
    PictureFileHost().GetGamePaletteEntries(0, 256, colours.data());
    const int16_t result = media::WriteBmpPicture({locked.bits, locked.width, locked.height, locked.stride}, colours, path);
    UnlockPicture(locked);
    return result;
}
