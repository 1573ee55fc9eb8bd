// What the picture files need of the engine, behind one interface: the game palette's colours
// (for the writers), the screen shade shown while the file dialog is up, the folder the dialog
// starts in. Picture items themselves
// come from the resource host (media/res/res_item_host.h).
//
// The engine installs its host once at start. Until then the neutral host answers: every
// colour black, no shade, no folder (the dialog starts in the current folder).
#pragma once

#include <cstdint>
#include <string>

#include "platform/core/wintypes.h"

class IPictureFileHost {
public:
    virtual ~IPictureFileHost() = default;

    // The 256 entries of the game palette as red, green, blue triplets into 768 bytes.
    virtual void PaletteToRgbTriplets(uint8_t* rgb) {
        for (int i = 0; i < 768; ++i) rgb[i] = 0;
    }
    // Entries start .. start + number - 1 of the game palette into table[start ..].
    virtual void GetGamePaletteEntries(int start, int number, PALETTEENTRY* table) {
        for (int i = start; i < start + number; ++i) table[i] = PALETTEENTRY{};
    }
    // Covers the screen with a checkerboard of the colour; RemoveShade takes it away.
    virtual void ShadeScreen(uint8_t /*colour*/) {}
    virtual void RemoveShade() {}
    // The folder of the current player's preference file (a DOS path), where the file
    // dialog starts; empty when there is none.
    virtual std::string PrefsFolder() { return {}; }
};

// Installs the host (null: the neutral host) and returns the one installed before. The host
// outlives every call made while it is installed.
IPictureFileHost* SetPictureFileHost(IPictureFileHost* host);
IPictureFileHost& PictureFileHost();
