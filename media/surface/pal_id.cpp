#include "media/surface/pal_id.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <vector>

#include "media/surface/dib_system.h"
#include "platform/afx/exceptions.h"
#include "platform/afx/file.h"

IMPLEMENT_DYNAMIC(CPalId, CObject)

namespace {

bool DisplayHasPalette() {
    HDC ic = CreateIC("DISPLAY", nullptr, nullptr, nullptr);
    if (!ic) return false;
    const bool palette = (GetDeviceCaps(ic, RASTERCAPS) & RC_PALETTE) != 0;
    DeleteDC(ic);
    return palette;
}

// A LOGPALETTE of 256 entries in one block.
class LogPalette256 {
public:
    LogPalette256() : m_buf(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY)) {
        Get()->palVersion = 0x300;
        Get()->palNumEntries = 256;
    }
    LOGPALETTE* Get() { return reinterpret_cast<LOGPALETTE*>(m_buf.data()); }
    PALETTEENTRY* Entries() { return Get()->palPalEntry; }

private:
    std::vector<uint8_t> m_buf;
};

// Clears the system palette: a palette of black PC_NOCOLLAPSE entries realised on the screen
// in the foreground takes every free entry, and is dropped again.
void ResetSystemPalette() {
    LogPalette256 lp;
    for (int i = 0; i < 256; ++i) lp.Entries()[i] = PALETTEENTRY{0, 0, 0, PC_NOCOLLAPSE};
    HPALETTE black = CreatePalette(lp.Get());
    if (!black) return;
    HDC screen = GetDC(nullptr);
    if (screen) {
        HPALETTE old = SelectPalette(screen, black, FALSE);
        RealizePalette(screen);
        SelectPalette(screen, old, FALSE);
        ReleaseDC(nullptr, screen);
    }
    DeleteObject(black);
}

}  // namespace

CPalId::~CPalId() {
    Delete();
}

void CPalId::MakeIdentity(std::span<PALETTEENTRY, 256> entries) {
    for (PALETTEENTRY& e : entries) e.peFlags = 0;
    if (DisplayHasPalette()) {
        ResetSystemPalette();
        if (HDC display = CreateDC("DISPLAY", nullptr, nullptr, nullptr)) {
            const int n = GetDeviceCaps(display, SIZEPALETTE);
            const int s = GetDeviceCaps(display, NUMRESERVED) / 2;
            // A display reporting more entries than a logical palette holds still gets only 256.
            if (n > 0 && s >= 0 && 2 * s <= n) {
                std::array<PALETTEENTRY, 256> sys{};
                const int low = std::min(s, 128);
                if (low > 0) {
                    GetSystemPaletteEntries(display, 0, static_cast<UINT>(low), sys.data());
                    std::memcpy(entries.data(), sys.data(), sizeof(PALETTEENTRY) * static_cast<size_t>(low));
                    GetSystemPaletteEntries(display, static_cast<UINT>(n - low), static_cast<UINT>(low), sys.data());
                    std::memcpy(entries.data() + 256 - low, sys.data(), sizeof(PALETTEENTRY) * static_cast<size_t>(low));
                }
                for (int i = low; i < std::min(n - low, 256 - low); ++i) entries[static_cast<size_t>(i)].peFlags = PC_RESERVED;
            }
            DeleteDC(display);
        }
    }
    LogPalette256 lp;
    std::memcpy(lp.Entries(), entries.data(), sizeof(PALETTEENTRY) * 256);
    HPALETTE made = CreatePalette(lp.Get());
    if (!made) ThrowMemory();
    Delete();
    m_hPalette = made;
    m_created = 1;
}

void CPalId::FromRgbTriplets(const uint8_t* rgb) {
    std::array<PALETTEENTRY, 256> e{};
    for (size_t k = 0; k < 256; ++k) e[k] = PALETTEENTRY{rgb[3 * k], rgb[3 * k + 1], rgb[3 * k + 2], 0};
    MakeIdentity(e);
}

void CPalId::FromRgbQuads(const RGBQUAD* quads) {
    std::array<PALETTEENTRY, 256> e{};
    for (size_t k = 0; k < 256; ++k) e[k] = PALETTEENTRY{quads[k].rgbRed, quads[k].rgbGreen, quads[k].rgbBlue, 0};
    MakeIdentity(e);
}

void CPalId::FromBgrTriplets(const uint8_t* bgr) {
    std::array<PALETTEENTRY, 256> e{};
    for (size_t k = 0; k < 256; ++k) e[k] = PALETTEENTRY{bgr[3 * k + 2], bgr[3 * k + 1], bgr[3 * k], 0};
    MakeIdentity(e);
}

void CPalId::FromSystemPalette() {
    std::array<PALETTEENTRY, 256> e{};
    if (HDC screen = GetDC(GetDesktopWindow())) {
        GetSystemPaletteEntries(screen, 0, 256, e.data());
        ReleaseDC(GetDesktopWindow(), screen);
    }
    MakeIdentity(e);
}

void CPalId::LoadPaletteFile(LPCSTR path, int kind) {
    if (kind == kBmpFile)
        LoadBmpPalette(path);
    else if (kind == kPcxFile)
        LoadPcxPalette(path);
}

void CPalId::Delete() {
    if (m_hPalette) {
        ReleaseDibPalette(m_hPalette);
        DeleteObject(m_hPalette);
    }
    m_hPalette = nullptr;
    m_created = 0;
}

bool CPalId::GetEntries(PALETTEENTRY* entries) const {
    return m_created && m_hPalette && GetPaletteEntries(m_hPalette, 0, 256, entries) == 256;
}

void CPalId::GetColorTable(RGBQUAD* table) const {
    PALETTEENTRY e[256];
    if (!GetEntries(e)) return;
    for (int i = 0; i < 256; ++i) table[i] = RGBQUAD{e[i].peBlue, e[i].peGreen, e[i].peRed, 0};
}

void CPalId::LoadBmpPalette(LPCSTR path) {
    CFile file;
    if (!path || !file.Open(path, CFile::modeRead | CFile::shareDenyWrite)) ThrowResource();
    RGBQUAD quads[256];
    bool ok = false;
    try {
        ok = file.Seek(54, CFile::begin) == 54 && file.Read(quads, sizeof quads) == sizeof quads;
    } catch (CException* e) {
        e->Delete();
    }
    file.Abort();
    if (!ok) ThrowResource();
    FromRgbQuads(quads);
}

void CPalId::LoadPcxPalette(LPCSTR path) {
    CFile file;
    if (!path || !file.Open(path, CFile::modeRead | CFile::shareDenyWrite)) ThrowResource();
    uint8_t rgb[768];
    bool ok = false;
    try {
        // The marker byte before the colours is not checked, as other readers of these files do.
        ok = file.GetLength() >= sizeof rgb && file.Seek(-static_cast<LONG>(sizeof rgb), CFile::end) >= 0 &&
             file.Read(rgb, sizeof rgb) == sizeof rgb;
    } catch (CException* e) {
        e->Delete();
    }
    file.Abort();
    if (!ok) ThrowResource();
    FromRgbTriplets(rgb);
}

void CPalId::ThrowMemory() {
    AfxThrowMemoryException();
}

void CPalId::ThrowResource() {
    AfxThrowResourceException();
}
