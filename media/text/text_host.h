// What the text layer needs of the engine besides the resource host: the current text style,
// the colour table and the screen palette, display sprites and the switch-access scanner.
// Picture items and string lists come through the resource host (media/res/res_item_host.h),
// which the record files share. The engine installs a text host once at start; until then the
// neutral host answers (black, index -1, no sprites), so text objects can be made and
// destroyed but draw nothing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "media/res/res_item_host.h"
#include "platform/core/wintypes.h"

// The toolbox's current text style; a new text item copies it.
struct TextStyleRecord {
    int32_t fontNumber = 0;
    COLORREF foreground = RGB(0, 0, 0);
    COLORREF background = RGB(0, 0, 0);
    uint16_t mode = 4;
};

// A display sprite as the text host made it: its address and a number the host gave it.
struct HostSprite {
    void* object = nullptr;
    uint64_t serial = 0;
};

class ITextHost {
public:
    virtual ~ITextHost() = default;

    virtual TextStyleRecord CurrentTextStyle() { return {}; }
    // A colour number of the engine's colour table as a colour reference.
    virtual COLORREF ColorNumberToRGB(int16_t /*code*/) { return RGB(0, 0, 0); }
    // The screen palette's entry in first..last nearest to the colour, -1 when none.
    virtual int NearestPaletteIndex(COLORREF /*colour*/, int /*first*/, int /*last*/) { return -1; }

    // Display sprites: made at (x, y) showing a picture, in front of the others; an empty one
    // when none can be made. The other calls ignore an empty sprite and one that went (the
    // host's display may drop its sprites, with a module switch) even when a newer sprite has
    // the same address: the serial tells them apart.
    virtual HostSprite CreateSprite(int16_t /*x*/, int16_t /*y*/, int16_t /*pictureId*/) { return {}; }
    virtual void ShowSpritePicture(const HostSprite& /*sprite*/, int16_t /*pictureId*/) {}
    virtual void DisposeSprite(const HostSprite& /*sprite*/) {}
    // The sprite's picture changed in place: draw it again.
    virtual void InvalidateSprite(const HostSprite& /*sprite*/) {}
    // Whether the sprite is still the one the host made.
    virtual bool SpriteAlive(const HostSprite& sprite) { return sprite.object != nullptr; }

    // Removes every scan target whose object is the given text item.
    virtual void RemoveScanTargetsOf(const void* /*object*/) {}
};

// Installs the host (null: the neutral host) and returns the one installed before. The host
// outlives every call made while it is installed.
ITextHost* SetTextHost(ITextHost* host);
ITextHost& TextHost();
