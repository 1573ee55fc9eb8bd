#include "setup/setwell/dib.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "platform/afx/message_box.h"
#include "platform/core/byte_order.h"
#include "platform/dialogs/common_dialogs.h"
#include "setup/setwell/setwell_strings.h"

namespace setup {

IMPLEMENT_SERIAL(CDIB, CObject, 0)

namespace {

constexpr uint16_t kBmpType = 0x4D42;  // "BM"
constexpr uint32_t kFileHeaderSize = 14;
constexpr uint32_t kInfoHeaderSize = 40;
constexpr uint32_t kCoreHeaderSize = 12;
constexpr char kPictureFilter[] = "Image files (*.DIB, *.BMP)|*.DIB;*.BMP|All files (*.*)|*.*||";

bool ReadExactly(CFile& file, void* buffer, UINT count) { return file.Read(buffer, count) == count; }

bool KnownDepth(int bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

int ColoursOf(const BITMAPINFOHEADER& h) {
    if (h.biClrUsed != 0) return h.biClrUsed > 256 ? 257 : static_cast<int>(h.biClrUsed);
    switch (h.biBitCount) {
        case 1: return 2;
        case 4: return 16;
        case 8: return 256;
        default: return 0;
    }
}

// The picture a successful read leaves, built aside so that a refusal changes nothing.
struct ReadResult {
    DibHeaderBlock block{};
    std::vector<uint8_t> bits;
};

bool ReadBmp(CFile& file, ReadResult& out) {
    const uint64_t start = file.GetPosition();
    const uint64_t length = file.GetLength();
    const uint64_t available = length > start ? length - start : 0;

    std::array<uint8_t, kFileHeaderSize> fileHeader{};
    if (!ReadExactly(file, fileHeader.data(), kFileHeaderSize)) return false;
    plat::LeReader fh(fileHeader);
    if (fh.U16(0) != kBmpType) return false;
    const uint32_t bfSize = fh.U32(2);
    const uint32_t bfOffBits = fh.U32(10);

    std::array<uint8_t, kInfoHeaderSize> info{};
    if (!ReadExactly(file, info.data(), 4)) return false;
    const uint32_t headerSize = plat::GetLe32(info, 0);
    BITMAPINFOHEADER& h = out.block.header;
    int entrySize = 4;
    if (headerSize == kInfoHeaderSize) {
        if (!ReadExactly(file, info.data() + 4, kInfoHeaderSize - 4)) return false;
        plat::LeReader r(info);
        h.biSize = kInfoHeaderSize;
        h.biWidth = static_cast<LONG>(r.U32(4));
        h.biHeight = static_cast<LONG>(r.U32(8));
        h.biPlanes = r.U16(12);
        h.biBitCount = r.U16(14);
        h.biCompression = r.U32(16);
        h.biSizeImage = r.U32(20);
        h.biXPelsPerMeter = static_cast<LONG>(r.U32(24));
        h.biYPelsPerMeter = static_cast<LONG>(r.U32(28));
        h.biClrUsed = r.U32(32);
        h.biClrImportant = r.U32(36);
    } else if (headerSize == kCoreHeaderSize) {
        if (!ReadExactly(file, info.data() + 4, kCoreHeaderSize - 4)) return false;
        plat::LeReader r(info);
        h.biSize = kInfoHeaderSize;
        h.biWidth = r.U16(4);
        h.biHeight = r.U16(6);
        h.biPlanes = r.U16(8);
        h.biBitCount = r.U16(10);
        entrySize = 3;
    } else {
        return false;
    }

    // The header decides how much is read and where it goes: check it all first.
    const int bits = h.biBitCount;
    if (!KnownDepth(bits) || h.biWidth <= 0 || h.biHeight == 0) return false;
    const int colours = ColoursOf(h);
    if (colours > 256 || (bits < 16 && colours > (1 << bits))) return false;
    if (bfOffBits > bfSize) return false;
    const uint64_t pixelBytes = bfSize - bfOffBits;
    if (bfOffBits > available || pixelBytes > available - bfOffBits) return false;
    const uint64_t rows = h.biHeight < 0 ? -static_cast<int64_t>(h.biHeight) : h.biHeight;
    const uint64_t stride = DibStride(h.biWidth, bits);
    if (stride > pixelBytes / rows) return false;  // stride x rows would not fit in the pixel data

    for (int i = 0; i < colours; ++i) {
        uint8_t entry[4] = {};
        if (!ReadExactly(file, entry, static_cast<UINT>(entrySize))) return false;
        out.block.colours[i] = RGBQUAD{entry[0], entry[1], entry[2], 0};
    }

    const uint64_t imageBytes = stride * rows;
    out.bits.resize(static_cast<size_t>(imageBytes));
    file.Seek(static_cast<LONG>(start + bfOffBits), CFile::begin);
    if (!ReadExactly(file, out.bits.data(), static_cast<UINT>(imageBytes))) return false;

    if (h.biHeight < 0) {
        // Kept bottom row first whatever the file's order.
        for (uint64_t top = 0, bottom = rows - 1; top < bottom; ++top, --bottom)
            std::swap_ranges(out.bits.begin() + static_cast<ptrdiff_t>(top * stride),
                             out.bits.begin() + static_cast<ptrdiff_t>((top + 1) * stride),
                             out.bits.begin() + static_cast<ptrdiff_t>(bottom * stride));
        h.biHeight = static_cast<LONG>(rows);
    }
    return true;
}

}  // namespace

uint64_t DibStride(int64_t width, int bitsPerPixel) {
    if (width <= 0 || bitsPerPixel <= 0) return 0;
    return (static_cast<uint64_t>(width) * static_cast<uint64_t>(bitsPerPixel) + 31) / 32 * 4;
}

CDIB::CDIB() {
    BITMAPINFOHEADER& h = m_block.header;
    h.biSize = kInfoHeaderSize;
    h.biWidth = 16;
    h.biHeight = 16;
    h.biPlanes = 1;
    h.biBitCount = 8;
    h.biCompression = BI_RGB;
    h.biSizeImage = 16 * 16;
    for (int i = 0; i < 256; ++i) {
        const auto v = static_cast<BYTE>(i);
        m_block.colours[i] = RGBQUAD{v, v, v, 0};
    }
    m_bits.assign(16 * 16, 0);
}

CDIB::~CDIB() = default;

int CDIB::Width() const { return m_block.header.biWidth; }

int CDIB::Height() const { return m_block.header.biHeight; }

int CDIB::NumColors() const { return ColoursOf(m_block.header); }

uint32_t CDIB::Stride() const { return static_cast<uint32_t>(DibStride(Width(), BitsPerPixel())); }

BOOL CDIB::Read(CFile& file) {
    ReadResult result;
    try {
        if (!ReadBmp(file, result)) return FALSE;
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    m_block = result.block;
    m_bits = std::move(result.bits);
    return TRUE;
}

BOOL CDIB::Load(LPCSTR path) {
    CString name = path ? path : "";
    if (name.IsEmpty()) {
        CFileDialog dialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, kPictureFilter);
        if (dialog.DoModal() != IDOK) return FALSE;
        name = dialog.GetPathName();
    }
    CFile file;
    if (!file.Open(name, CFile::modeRead | CFile::shareDenyWrite)) return FALSE;
    if (!Read(file)) {
        AfxMessageBox(kIdsCannotReadFile);
        return FALSE;
    }
    return TRUE;
}

BOOL CDIB::Write(CFile& file) {
    const uint64_t imageBytes = static_cast<uint64_t>(Stride()) * static_cast<uint64_t>(Height());
    std::vector<uint8_t> head;
    head.reserve(kDibWriteOffBits);
    plat::AppendLe16(head, kBmpType);
    plat::AppendLe32(head, static_cast<uint32_t>(imageBytes + kDibWriteOffBits));
    plat::AppendLe32(head, 0);
    plat::AppendLe32(head, kDibWriteOffBits);
    const BITMAPINFOHEADER& h = m_block.header;
    plat::AppendLe32(head, kInfoHeaderSize);
    plat::AppendLe32(head, static_cast<uint32_t>(h.biWidth));
    plat::AppendLe32(head, static_cast<uint32_t>(h.biHeight));
    plat::AppendLe16(head, h.biPlanes);
    plat::AppendLe16(head, h.biBitCount);
    plat::AppendLe32(head, h.biCompression);
    plat::AppendLe32(head, h.biSizeImage);
    plat::AppendLe32(head, static_cast<uint32_t>(h.biXPelsPerMeter));
    plat::AppendLe32(head, static_cast<uint32_t>(h.biYPelsPerMeter));
    plat::AppendLe32(head, h.biClrUsed);
    plat::AppendLe32(head, h.biClrImportant);
    for (const RGBQUAD& c : m_block.colours) {
        head.push_back(c.rgbBlue);
        head.push_back(c.rgbGreen);
        head.push_back(c.rgbRed);
        head.push_back(c.rgbReserved);
    }
    try {
        file.Write(head.data(), static_cast<UINT>(head.size()));
        file.Write(m_bits.data(), static_cast<UINT>(std::min<uint64_t>(imageBytes, m_bits.size())));
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

BOOL CDIB::Save(LPCSTR path) {
    CString name = path ? path : "";
    if (name.IsEmpty()) {
        CFileDialog dialog(FALSE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kPictureFilter);
        if (dialog.DoModal() != IDOK) return FALSE;
        name = dialog.GetPathName();
    }
    CFile file;
    if (!file.Open(name, CFile::modeCreate | CFile::modeReadWrite | CFile::shareExclusive)) {
        AfxMessageBox(kIdsCannotOpenFile);
        return FALSE;
    }
    if (!Write(file)) {
        AfxMessageBox(kIdsCannotSaveFile);
        return FALSE;
    }
    try {
        file.Close();
    } catch (CException* e) {
        e->Delete();
        AfxMessageBox(kIdsCannotSaveFile);
        return FALSE;
    }
    return TRUE;
}

BOOL CDIB::Draw(CDC* dc, int x, int y) {
    if (!dc || m_bits.empty()) return FALSE;
    return StretchDIBits(dc->GetSafeHdc(), x, y, Width(), Height(), 0, 0, Width(), Height(), m_bits.data(),
                         Info(), DIB_RGB_COLORS, SRCCOPY) != 0;
}

BOOL CDIB::MapToPalette(CPalette* palette) {
    if (!palette || !palette->GetSafeHandle() || BitsPerPixel() != 8) return FALSE;
    std::array<uint8_t, 256> map{};
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD& c = m_block.colours[i];
        map[i] = static_cast<uint8_t>(palette->GetNearestPaletteIndex(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue)));
    }
    for (uint8_t& pixel : m_bits) pixel = map[pixel];
    std::array<PALETTEENTRY, 256> entries{};
    const UINT count = std::min<UINT>(static_cast<UINT>(std::max(palette->GetEntryCount(), 0)), 256);
    palette->GetPaletteEntries(0, count, entries.data());
    for (int i = 0; i < 256; ++i)
        m_block.colours[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    m_block.header.biClrUsed = 256;
    return TRUE;
}

void CDIB::GetRect(RECT* rect) const {
    if (rect) *rect = RECT{0, 0, Width(), Height()};
}

uint8_t* CDIB::PixelAddress(int x, int y) {
    if (BitsPerPixel() != 8 || x < 0 || y < 0 || x >= Width() || y >= Height()) return nullptr;
    const size_t row = static_cast<size_t>(Height() - y - 1);
    return m_bits.data() + row * Stride() + static_cast<size_t>(x);
}

BOOL CDIB::CopyBlock(CDIB* target, int x, int y, int width, int height, int sourceX, int sourceY,
                     int transparent) {
    if (!target || width < 0 || height < 0) return FALSE;
    if (width == 0 || height == 0) return TRUE;
    if (BitsPerPixel() != 8 || target->BitsPerPixel() != 8) return FALSE;
    auto inside = [](int64_t at, int64_t extent, int64_t limit) { return at >= 0 && at + extent <= limit; };
    if (!inside(x, width, target->Width()) || !inside(y, height, target->Height()) ||
        !inside(sourceX, width, Width()) || !inside(sourceY, height, Height()))
        return FALSE;

    // Copying within one picture reads the whole block first, so overlapping rows stay right.
    std::vector<uint8_t> block(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (int r = 0; r < height; ++r)
        std::memcpy(block.data() + static_cast<size_t>(r) * width, PixelAddress(sourceX, sourceY + r),
                    static_cast<size_t>(width));
    for (int r = 0; r < height; ++r) {
        const uint8_t* from = block.data() + static_cast<size_t>(r) * width;
        uint8_t* to = target->PixelAddress(x, y + r);
        if (transparent == -1) {
            std::memcpy(to, from, static_cast<size_t>(width));
            continue;
        }
        for (int c = 0; c < width; ++c)
            if (from[c] != transparent) to[c] = from[c];
    }
    return TRUE;
}

}  // namespace setup
