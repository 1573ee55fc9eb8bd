// CDibG: creation, the pixel store, colours and output to device contexts.
#include "media/surface/dibg.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "media/surface/pal_id.h"
#include "platform/afx/exceptions.h"

IMPLEMENT_DYNAMIC(CDibG, CObject)

namespace {

// The largest pixel store a surface may have (each side is limited too).
constexpr uint64_t kMaxImageBytes = 64ull << 20;

void ResetHeader(BITMAPINFOHEADER& h) {
    h = BITMAPINFOHEADER{};
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biPlanes = 1;
    h.biBitCount = 8;
}

bool IsPrinterDC(HDC dc) {
    return GetDeviceCaps(dc, TECHNOLOGY) == DT_RASPRINTER;
}

}  // namespace

CDibG::CDibG() {
    ResetHeader(m_info.header);
}

CDibG::~CDibG() {
    FreeSurface();
    SetOwnDC(FALSE);
}

BOOL CDibG::IsValid() const {
    return Width() > 0 && Height() > 0 && m_bits && m_rowTable;
}

RECT CDibG::GetRect() const {
    return RECT{0, 0, Width() - 1, Height() - 1};
}

void CDibG::SetWidth(int width) {
    m_info.header.biWidth = width;
    m_stride = DibStride(width);
}

void CDibG::SetHeight(int height) {
    m_info.header.biHeight = TheDibSystem().orientation == kTopDown ? -height : height;
}

void CDibG::ThrowMemory() {
    AfxThrowMemoryException();
}

void CDibG::ThrowResource() {
    AfxThrowResourceException();
}

void CDibG::CreateSurface(int width, int height, CPalId* palette) {
    if (m_created) return;
    if (width < 1 || height < 1 || width > 32767 || height > 32767 ||
        static_cast<uint64_t>(DibStride(width)) * static_cast<uint64_t>(height) > kMaxImageBytes)
        ThrowMemory();
    SetWidth(width);
    SetHeight(height);
    SetPalette(palette);
    AllocBits();
    BuildRowTable();
    m_created = TRUE;
}

void CDibG::AllocBits() {
    DibSystem& s = TheDibSystem();
    const size_t size = static_cast<size_t>(Height()) * static_cast<size_t>(m_stride);
    if (s.winGInUse) {
        m_winGBitmap = s.wing.createBitmap(s.winGDC, m_info.Info(), nullptr);
        if (!m_winGBitmap) ThrowMemory();
        m_bits = static_cast<BYTE*>(s.wing.getDIBPointer(m_winGBitmap, nullptr));
        if (!m_bits) {
            DeleteObject(m_winGBitmap);
            m_winGBitmap = nullptr;
            ThrowMemory();
        }
        std::memset(m_bits, 0, size);
        return;
    }
    m_plainBits.reset(new (std::nothrow) BYTE[size]());
    if (!m_plainBits) ThrowMemory();
    m_bits = m_plainBits.get();
}

void CDibG::BuildRowTable() {
    const int h = Height();
    if (!m_rowTable || m_rowTableSize != h) {
        m_rowTable.reset(new (std::nothrow) int32_t[static_cast<size_t>(h)]);
        if (!m_rowTable) ThrowMemory();
        m_rowTableSize = h;
    }
    const bool bottomUp = TheDibSystem().orientation != kTopDown;
    for (int y = 0; y < h; ++y) m_rowTable[y] = m_stride * (bottomUp ? h - 1 - y : y);
}

void CDibG::FreeSurface() {
    if (!m_created) return;
    DibSystem& s = TheDibSystem();
    if (m_winGBitmap) {
        if (s.selectedSurface == this && s.displacedBitmap && s.winGDC) {
            SelectObject(s.winGDC, s.displacedBitmap);
            s.selectedSurface = nullptr;
        }
        DeleteObject(m_winGBitmap);
        m_winGBitmap = nullptr;
    }
    if (s.selectedSurface == this) s.selectedSurface = nullptr;
    m_plainBits.reset();
    m_rowTable.reset();
    m_rowTableSize = 0;
    m_bits = nullptr;
    m_created = FALSE;
    m_selected = FALSE;
}

void CDibG::SetOwnDC(BOOL on) {
    DibSystem& s = TheDibSystem();
    if (on) {
        if (!m_ownDC && s.winGInUse) m_ownDC = s.wing.createDC();
    } else if (m_ownDC) {
        DeleteDC(m_ownDC);
        m_ownDC = nullptr;
    }
}

void CDibG::SetPalette(CPalId* palette) {
    m_palette = palette;
    DibSystem& s = TheDibSystem();
    if (!s.winGInUse) {
        if (s.colourUsage == 1) {
            uint16_t indices[256];
            for (int i = 0; i < 256; ++i) indices[i] = static_cast<uint16_t>(i);
            std::memcpy(m_info.colours, indices, sizeof indices);
        } else if (palette) {
            palette->GetColorTable(m_info.colours);
        }
    }
    SetDibColorTable(palette);
    if (s.winGInUse && palette) palette->GetColorTable(m_info.colours);
}

void CDibG::WithRealisedPalette(CPalId* palette, const std::function<void()>& body) {
    DibSystem& s = TheDibSystem();
    HWND desktop = GetDesktopWindow();
    HDC dc = GetDC(desktop);
    HPALETTE old = nullptr;
    const bool realise = s.winGInUse && palette && palette->GetSafeHandle();
    if (dc && realise) {
        old = SelectPalette(dc, palette->GetSafeHandle(), FALSE);
        RealizePalette(dc);
        SelectPalette(s.winGDC, palette->GetSafeHandle(), FALSE);
        RealizePalette(s.winGDC);
    }
    // The desktop DC is given back whatever body() throws.
    struct Restore {
        HWND desktop;
        HDC dc;
        HPALETTE old;
        ~Restore() {
            if (!dc) return;
            if (old) SelectPalette(dc, old, FALSE);
            ReleaseDC(desktop, dc);
        }
    } restore{desktop, dc, old};
    body();
}

void CDibG::CreateRealized(int width, int height, CPalId* palette) {
    WithRealisedPalette(palette, [&] { CreateSurface(width, height, palette); });
}

void CDibG::CreateForLoad(int width, int height, CPalId* palette) {
    if (m_created && (Width() != width || Height() != height)) FreeSurface();
    CreateSurface(width, height, palette);
}

void CDibG::Fill(BYTE index) {
    if (!m_bits) return;
    std::memset(m_bits, index, ImageSize());
}

void CDibG::FillRgb(RGBQUAD colour) {
    Fill(static_cast<BYTE>(NearestColour(colour)));
}

void CDibG::FlipVertical() {
    const int h = Height();
    if (h <= 1 || !m_bits) return;
    std::unique_ptr<BYTE[]> row(new (std::nothrow) BYTE[static_cast<size_t>(m_stride)]);
    if (!row) ThrowMemory();
    for (int y = 0; y < h / 2; ++y) {
        BYTE* a = m_bits + static_cast<size_t>(y) * m_stride;
        BYTE* b = m_bits + static_cast<size_t>(h - 1 - y) * m_stride;
        std::memcpy(row.get(), a, static_cast<size_t>(m_stride));
        std::memcpy(a, b, static_cast<size_t>(m_stride));
        std::memcpy(b, row.get(), static_cast<size_t>(m_stride));
    }
}

void CDibG::CopyBits(const BYTE* source, int sourceOrientation) {
    if (!m_bits || !source) return;
    const int h = Height();
    if (sourceOrientation == TheDibSystem().orientation) {
        std::memcpy(m_bits, source, ImageSize());
        return;
    }
    for (int i = 0; i < h; ++i)
        std::memcpy(m_bits + static_cast<size_t>(i) * m_stride, source + static_cast<size_t>(h - 1 - i) * m_stride,
                    static_cast<size_t>(m_stride));
}

void CDibG::CopyFrom(CDibG& other, BOOL copyColours) {
    if (&other == this) return;
    if (!m_created) {
        CPalId* palette = other.Palette();
        WithRealisedPalette(palette, [&] { CreateSurface(other.Width(), other.Height(), palette); });
    }
    if (Width() != other.Width() || Height() != other.Height()) return;
    if (!IsValid() || !other.IsValid()) ThrowMemory();
    // Both stores have the same row order, so the whole store copies at once.
    std::memcpy(m_bits, other.m_bits, ImageSize());
    if (copyColours) std::memcpy(m_info.colours, other.m_info.colours, sizeof m_info.colours);
}

CDibG& CDibG::Assign(CDibG& other) {
    if (&other != this && Width() == other.Width() && Height() == other.Height()) CopyFrom(other, TRUE);
    return *this;
}

BYTE CDibG::GetPixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height() || !m_bits) return 0;
    return m_bits[PixelOffset(x, y)];
}

void CDibG::SetPixel(int x, int y, BYTE index) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height() || !m_bits) return;
    m_bits[PixelOffset(x, y)] = index;
}

BYTE* CDibG::PixelPtr(int x, int y) {
    if (x < 0 || x >= Width()) return nullptr;
    BYTE* row = RowPtr(y);
    return row ? row + x : nullptr;
}

BYTE* CDibG::RowPtr(int y) {
    if (y < 0 || y >= Height() || !m_bits || !m_rowTable) return nullptr;
    return m_bits + m_rowTable[y];
}

const BYTE* CDibG::RowPtr(int y) const {
    return const_cast<CDibG*>(this)->RowPtr(y);
}

int CDibG::NearestColour(RGBQUAD colour) const {
    const RGBQUAD* table = TheDibSystem().rgbHeader.colours;
    int best = 255, bestDistance = 29999;
    for (int i = 1; i < 256; ++i) {
        const int d = std::abs(table[i].rgbRed - colour.rgbRed) + std::abs(table[i].rgbGreen - colour.rgbGreen) +
                      std::abs(table[i].rgbBlue - colour.rgbBlue);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

int CDibG::FindColour(RGBQUAD colour) const {
    const RGBQUAD* table = TheDibSystem().rgbHeader.colours;
    for (int i = 1; i < 256; ++i)
        if (table[i].rgbBlue == colour.rgbBlue && table[i].rgbGreen == colour.rgbGreen && table[i].rgbRed == colour.rgbRed)
            return i;
    return NearestColour(colour);
}

void CDibG::SetColorEntries(int start, int count, const PALETTEENTRY* entries) {
    DibSystem& s = TheDibSystem();
    if (!s.winGInUse || !entries || start < 0 || count <= 0 || start + count > 256) return;
    RGBQUAD quads[256];
    for (int i = 0; i < count; ++i) quads[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    if (!SelectIntoWinGDC()) return;
    s.wing.setDIBColorTable(s.winGDC, static_cast<UINT>(start), static_cast<UINT>(count), quads);
}

BOOL CDibG::SelectIntoWinGDC() {
    DibSystem& s = TheDibSystem();
    if (!s.winGInUse || !m_winGBitmap) return FALSE;
    if (m_selected && s.selectedSurface == this) return TRUE;
    if (s.selectedSurface) s.selectedSurface->m_selected = FALSE;
    s.selectedSurface = nullptr;
    HGDIOBJ displaced = SelectObject(s.winGDC, m_winGBitmap);
    if (!displaced) return FALSE;
    if (!s.displacedBitmap) s.displacedBitmap = displaced;
    s.selectedSurface = this;
    m_selected = TRUE;
    return TRUE;
}

namespace {

// The shared header of the current colour usage, sized for the surface.
const BITMAPINFO* SharedHeader(int width, int height, UINT& usage) {
    DibSystem& s = TheDibSystem();
    s.rgbHeader.header.biWidth = s.indexHeader.header.biWidth = width;
    s.rgbHeader.header.biHeight = s.indexHeader.header.biHeight = height;
    usage = s.colourUsage == 1 ? DIB_PAL_COLORS : DIB_RGB_COLORS;
    return s.colourUsage == 1 ? s.indexHeader.Info() : s.rgbHeader.Info();
}

}  // namespace

BOOL CDibG::DrawToDC(HDC dc, int dx, int dy, int dw, int dh, int sx, int sy, int sw, int sh, DWORD rop,
                     OutputPath path) {
    DibSystem& s = TheDibSystem();
    if (!IsValid()) return FALSE;
    // WinG draws onto screens only; printers read the pixels through the shared header.
    if (path == OutputPath::kOwnStore && s.winGInUse && IsPrinterDC(dc)) path = OutputPath::kSharedHeader;
    if (path != OutputPath::kOwnStore) {
        UINT usage = 0;
        const BITMAPINFO* header = SharedHeader(Width(), Height(), usage);
        if (path == OutputPath::kSharedHeaderBottomUp || s.orientation != kTopDown)
            return StretchDIBits(dc, dx, dy, dw, dh, sx, Height() - sh - sy, sw, sh, m_bits, header, usage, rop) != 0;
        // The shared header says bottom-up, so top-down rows are read upside down: a negative
        // source height turns them over. Its extent runs back from the row given, which is
        // included, so the picture's rows sy .. sy + sh - 1 start at row sy + sh - 1.
        return StretchDIBits(dc, dx, dy, dw, dh, sx, sy + sh - 1, sw, -sh, m_bits, header, usage, rop) != 0;
    }
    if (!s.winGInUse) {
        const int srcY = m_info.header.biHeight < 0 ? sy : Height() - sy - sh;
        return StretchDIBits(dc, dx, dy, dw, dh, sx, srcY, sw, sh, m_bits, m_info.Info(),
                             s.colourUsage == 1 ? DIB_PAL_COLORS : DIB_RGB_COLORS, rop) != 0;
    }
    if (!SelectIntoWinGDC()) return FALSE;
    // WinG's blits only copy; any other operation goes through the GDI's blit from the WinG DC.
    if (rop != SRCCOPY) return StretchBlt(dc, dx, dy, dw, dh, s.winGDC, sx, sy, sw, sh, rop);
    if (dw == sw && dh == sh) return s.wing.bitBlt(dc, dx, dy, dw, dh, s.winGDC, sx, sy);
    return s.wing.stretchBlt(dc, dx, dy, dw, dh, s.winGDC, sx, sy, sw, sh);
}
