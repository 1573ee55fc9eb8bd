#include "setup/setwell/setup_palette.h"

#include <vector>

#include "setup/setwell/dib.h"

namespace setup {

IMPLEMENT_DYNAMIC(CSetupPalette, CPalette)

BOOL CSetupPalette::CreateFromDib(const CDIB* picture) {
    if (!picture) return FALSE;
    const int count = picture->NumColors();
    if (count <= 0 || count > 256) return FALSE;
    // LOGPALETTE holds one entry itself; room for the rest follows it.
    std::vector<uint8_t> storage(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * static_cast<size_t>(count - 1));
    auto* log = reinterpret_cast<LOGPALETTE*>(storage.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(count);
    const RGBQUAD* colours = picture->ColorTable();
    PALETTEENTRY* entries = log->palPalEntry;
    for (int i = 0; i < count; ++i)
        entries[i] = PALETTEENTRY{colours[i].rgbRed, colours[i].rgbGreen, colours[i].rgbBlue, 0};
    return CreatePalette(log);
}

}  // namespace setup
