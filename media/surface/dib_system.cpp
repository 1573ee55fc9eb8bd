#include "media/surface/dib_system.h"

#include <string>
#include <string_view>
#include <vector>

#include "media/surface/pal_id.h"
#include "platform/fs/winfile.h"
#include "platform/gdi/library.h"
#include "platform/profile/profile.h"
#include "platform/strings/cp1252.h"

namespace {

constexpr char kWinGSection[] = "WinG";
constexpr char kProfileMessageKey[] = "ProfileMessage";

// Whether a NUL-separated name listing of the profile calls holds the name (any case).
bool ListingHolds(const std::vector<char>& listing, DWORD length, std::string_view name) {
    for (DWORD at = 0; at < length;) {
        const std::string_view entry(listing.data() + at);
        if (plat::EqualNoCase1252(entry, name)) return true;
        at += static_cast<DWORD>(entry.size()) + 1;
    }
    return false;
}

// WIN.INI's profiling message as the program found it: the section and the entry, if any.
struct ProfileMessageBefore {
    bool section = false;
    bool entry = false;
    std::string value;
};

ProfileMessageBefore ReadProfileMessage() {
    ProfileMessageBefore before;
    std::vector<char> buffer(32768, 0);
    const DWORD size = static_cast<DWORD>(buffer.size());
    before.section = ListingHolds(buffer, GetProfileString(nullptr, nullptr, "", buffer.data(), size), kWinGSection);
    if (!before.section) return before;
    before.entry = ListingHolds(buffer, GetProfileString(kWinGSection, nullptr, "", buffer.data(), size),
                                kProfileMessageKey);
    if (before.entry) {
        GetProfileString(kWinGSection, kProfileMessageKey, "", buffer.data(), size);
        before.value = buffer.data();
    }
    return before;
}

// The message is WIN.INI's, shared with every program that loads the library: once the library
// has loaded (or failed to), the entry is put back as it was, and a section the program made
// goes again, so that running the game leaves no trace in the file.
void RestoreProfileMessage(const ProfileMessageBefore& before) {
    if (before.entry) {
        WriteProfileString(kWinGSection, kProfileMessageKey, before.value.c_str());
        return;
    }
    WriteProfileString(kWinGSection, kProfileMessageKey, nullptr);
    char keys[2] = {};
    if (!before.section && GetProfileString(kWinGSection, nullptr, "", keys, sizeof keys) == 0)
        WriteProfileString(kWinGSection, nullptr, nullptr);
}


void ResetHeader(BITMAPINFOHEADER& h) {
    h = BITMAPINFOHEADER{};
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biPlanes = 1;
    h.biBitCount = 8;
}

template <class Proc>
bool Resolve(HMODULE lib, const char* name, Proc& out) {
    out = reinterpret_cast<Proc>(GetProcAddress(lib, name));
    return out != nullptr;
}

}  // namespace

DibSystem& TheDibSystem() {
    // Never destroyed: surfaces held by static objects free themselves during exit.
    static DibSystem* const state = new DibSystem;
    return *state;
}

bool LoadWinG(LPCSTR profileMessage) {
    DibSystem& s = TheDibSystem();
    if (s.winGTried) return s.winGAvailable;
    s.winGTried = true;
    ProfileMessageBefore before;
    if (profileMessage) {
        before = ReadProfileMessage();
        WriteProfileString(kWinGSection, kProfileMessageKey, profileMessage);
    }

    const UINT oldMode = SetErrorMode(SEM_NOOPENFILEERRORBOX);
    HMODULE lib = LoadLibrary("WING32.DLL");
    SetErrorMode(oldMode);
    if (profileMessage) RestoreProfileMessage(before);
    if (!lib) return false;

    WinGEntryPoints w;
    // Every entry point must be there, also the three the program never calls.
    const bool all = Resolve(lib, "WinGCreateDC", w.createDC) && Resolve(lib, "WinGCreateBitmap", w.createBitmap) &&
                     Resolve(lib, "WinGGetDIBPointer", w.getDIBPointer) &&
                     Resolve(lib, "WinGRecommendDIBFormat", w.recommendDIBFormat) &&
                     Resolve(lib, "WinGGetDIBColorTable", w.getDIBColorTable) &&
                     Resolve(lib, "WinGSetDIBColorTable", w.setDIBColorTable) &&
                     Resolve(lib, "WinGBitBlt", w.bitBlt) && Resolve(lib, "WinGStretchBlt", w.stretchBlt) &&
                     Resolve(lib, "WinGCreateHalftoneBrush", w.createHalftoneBrush) &&
                     Resolve(lib, "WinGCreateHalftonePalette", w.createHalftonePalette);
    if (!all) {
        FreeLibrary(lib);
        return false;
    }
    s.winGLibrary = lib;
    s.wing = w;
    s.winGAvailable = true;
    return true;
}

void InitDibSystem(LPCSTR profileMessage, bool winGOff, int forcedOrientation) {
    DibSystem& s = TheDibSystem();
    if (s.winGDC) {  // a second start: the old DC goes first
        if (s.displacedBitmap) SelectObject(s.winGDC, s.displacedBitmap);
        DeleteDC(s.winGDC);
        s.winGDC = nullptr;
        s.displacedBitmap = nullptr;
        s.selectedSurface = nullptr;
    }
    s.winGInUse = false;
    s.winGAvailable = s.winGAvailable && s.winGLibrary;
    s.orientation = kBottomUp;
    ResetHeader(s.rgbHeader.header);
    ResetHeader(s.indexHeader.header);

    if (winGOff)
        s.winGTried = true;
    else
        LoadWinG(profileMessage);

    if (s.winGAvailable && !winGOff) {
        s.winGDC = s.wing.createDC();
        DibInfoRgb recommended{};
        recommended.header.biSize = sizeof(BITMAPINFOHEADER);
        if (s.winGDC && s.wing.recommendDIBFormat(recommended.Info())) {
            s.winGInUse = true;
            if (forcedOrientation != 0)
                s.orientation = forcedOrientation;
            else
                s.orientation = recommended.header.biHeight == -1 ? kTopDown : kBottomUp;
        }
    }

    HDC ic = CreateIC("DISPLAY", nullptr, nullptr, nullptr);
    s.colourUsage = ic && (GetDeviceCaps(ic, RASTERCAPS) & RC_PALETTE) ? 1 : 0;
    if (ic) DeleteDC(ic);
}

void ShutdownDibSystem() {
    DibSystem& s = TheDibSystem();
    if (s.winGDC) {
        if (s.displacedBitmap) SelectObject(s.winGDC, s.displacedBitmap);
        DeleteDC(s.winGDC);
    }
    if (s.winGLibrary) FreeLibrary(s.winGLibrary);
    // The library is gone, so a later start tries it again.
    s = DibSystem{};
}

void SetDibColorTable(CPalId* palette) {
    DibSystem& s = TheDibSystem();
    if (!palette) return;
    if (s.winGInUse && s.winGDC && palette->GetSafeHandle()) {
        SelectPalette(s.winGDC, palette->GetSafeHandle(), FALSE);
        RealizePalette(s.winGDC);
    }
    palette->GetColorTable(s.rgbHeader.colours);
    for (int i = 0; i < 256; ++i) s.indexHeader.indices[i] = static_cast<uint16_t>(i);
}

void ReleaseDibPalette(HPALETTE palette) {
    DibSystem& s = TheDibSystem();
    if (palette && s.winGDC && GetCurrentObject(s.winGDC, OBJ_PAL) == palette)
        SelectPalette(s.winGDC, static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)), FALSE);
}

void SetDibColourUsage(int usage) {
    TheDibSystem().colourUsage = usage;
}
