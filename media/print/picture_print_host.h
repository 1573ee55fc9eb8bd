// What picture printing needs of the engine, behind one interface: the frame surface and the
// spots on it, the game's title and key, the current player's printer choice, the palette,
// the engine's printing and message flags, the wait cursor and the screen's redrawing.
//
// The engine installs its host once at start. Until then the neutral host answers: no
// surface and no spots (nothing is printed), no saved printer, black colours.
#pragma once

#include <cstdint>
#include <string>

#include "platform/core/wintypes.h"
#include "platform/gdi/wingdi.h"

class CDibG;
class CWnd;

// The printer the current player chose, as the player's record keeps it.
struct SavedPrinterChoice {
    uint8_t setup[148] = {};  // the device mode record
    char driver[13] = {};
    char device[32] = {};
    char port[32] = {};
};

class IPicturePrintHost {
public:
    virtual ~IPicturePrintHost() = default;

    // The surface the screen is drawn from; null when there is none.
    virtual CDibG* FrameSurface() { return nullptr; }
    // The rectangle of the spot with the module-relative id; false when there is no such spot.
    virtual bool SpotRect(int16_t /*id*/, RECT& /*out*/) { return false; }
    // The game's title (Windows-1252) and the application key.
    virtual std::string GameTitle() { return {}; }
    virtual std::string AppKey() { return {}; }
    // The current player's printer choice; false when there is no player.
    virtual bool SavedPrinter(SavedPrinterChoice& /*out*/) { return false; }
    // The 256 colours of the current palette item, and its palette (null when none).
    virtual void PaletteEntries(PALETTEENTRY* entries) {
        for (int i = 0; i < 256; ++i) entries[i] = PALETTEENTRY{};
    }
    virtual HPALETTE Palette() { return nullptr; }
    // The engine's flags: set while a page is printed, and while a message box is up.
    virtual void SetPrinting(bool /*on*/) {}
    virtual bool MessageShowing() { return false; }
    virtual void SetMessageShowing(bool /*on*/) {}
    // The wait cursor.
    virtual void BeginBusy() {}
    virtual void EndBusy() {}
    // Marks the whole screen for redrawing.
    virtual void InvalidateScreen() {}
    // The window the progress dialog belongs to (null: none).
    virtual CWnd* ParentWindow() { return nullptr; }
};

// Installs the host (null: the neutral host) and returns the one installed before.
IPicturePrintHost* SetPicturePrintHost(IPicturePrintHost* host);
IPicturePrintHost& PicturePrintHost();
