// CSetupPalette: the logical palette of the setup program's background window, made from the
// colours of its first picture so that the picture shows in its own colours on a 256-colour
// display.
#pragma once

#include "platform/afxwin/afxwin.h"

namespace setup {

class CDIB;

class CSetupPalette : public CPalette {
    DECLARE_DYNAMIC(CSetupPalette)
public:
    // One entry per colour of the picture (red, green, blue; no flags). FALSE when the picture
    // has no colours (a picture of more than 8 bits per pixel without a table) or the palette
    // cannot be made.
    BOOL CreateFromDib(const CDIB* picture);
};

}  // namespace setup
