// CPalId: the game's 256-entry logical palette, always made as an identity palette. On a
// palette display its first and last static entries are the system palette's, so that index i
// of an 8-bit picture is index i of the hardware palette and pictures reach the screen without
// colour translation; the entries between are the picture's colours marked PC_RESERVED (so that
// fades can animate them). On a display without a palette the colours are used as given.
//
// It owns its palette handle. Making a palette while one is held deletes the old one first.
// User-interface thread only.
#pragma once

#include <cstdint>
#include <span>

#include "platform/afx/object.h"
#include "platform/gdi/wingdi.h"

class CPalId : public CObject {
    DECLARE_DYNAMIC(CPalId)
public:
    enum FileKind : int { kBmpFile = 1, kPcxFile = 2 };

    CPalId() = default;
    ~CPalId() override;

    // Entry k from red, green, blue at 3k, 3k + 1, 3k + 2 (768 bytes).
    virtual void FromRgbTriplets(const uint8_t* rgb);
    virtual void FromRgbQuads(const RGBQUAD* quads);
    // Entry k from blue, green, red at 3k, 3k + 1, 3k + 2 (768 bytes).
    virtual void FromBgrTriplets(const uint8_t* bgr);
    // kind 1: the colour table of a BMP file; 2: the palette at the end of a PCX file; other
    // kinds do nothing. A file that cannot be read throws the resource exception.
    virtual void LoadPaletteFile(LPCSTR path, int kind);
    // The 256 entries of the system palette as it is now.
    virtual void FromSystemPalette();
    virtual void Delete();
    // The entries as RGBQUADs (reserved 0); an empty palette leaves the table untouched.
    virtual void GetColorTable(RGBQUAD* table) const;
    virtual BOOL IsCreated() const { return m_created != 0; }
    virtual void LoadBmpPalette(LPCSTR path);
    virtual void LoadPcxPalette(LPCSTR path);
    [[noreturn]] virtual void ThrowMemory();
    [[noreturn]] virtual void ThrowResource();

    HPALETTE GetSafeHandle() const { return m_hPalette; }
    operator HPALETTE() const { return m_hPalette; }
    // The current entries (with their flags); false when the palette is not made.
    bool GetEntries(PALETTEENTRY* entries) const;

private:
    // The identity step shared by every way of making the palette.
    void MakeIdentity(std::span<PALETTEENTRY, 256> entries);

    HPALETTE m_hPalette = nullptr;
    uint32_t m_created = 0;
};
