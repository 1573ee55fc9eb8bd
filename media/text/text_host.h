// What the text layer needs of the engine: the current text style, the colour table and the
// screen palette, picture items by module-relative id, display sprites, string lists and the
// switch-access scanner. The engine installs a host at start; until then the default host
// answers neutrally (no pictures, no sprites, empty lists, black, index -1), so text objects
// can be made and destroyed but draw nothing.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/core/wintypes.h"

// The toolbox's current text style; a new text item copies it.
struct TextStyleRecord {
    int32_t fontNumber = 0;
    COLORREF foreground = RGB(0, 0, 0);
    COLORREF background = RGB(0, 0, 0);
    uint16_t mode = 4;
};

class ITextHost {
public:
    virtual ~ITextHost() = default;

    virtual TextStyleRecord CurrentTextStyle() { return {}; }
    // A colour number of the engine's colour table as a colour reference.
    virtual COLORREF ColorNumberToRGB(int16_t /*code*/) { return RGB(0, 0, 0); }
    // The screen palette's entry in first..last nearest to the colour, -1 when none.
    virtual int NearestPaletteIndex(COLORREF /*colour*/, int /*first*/, int /*last*/) { return -1; }

    // Picture items by module-relative id. Sizes 0, 0 and a null pointer for a missing picture;
    // bytes per row 0xFFFF. Locked pixels stay valid until they are unlocked: locking another
    // picture may load it, and the host keeps a locked picture from being purged meanwhile.
    virtual void GetPictureSize(int16_t /*id*/, int16_t& width, int16_t& height) { width = height = 0; }
    virtual BYTE* LockPictureData(int16_t /*id*/) { return nullptr; }
    virtual void UnlockPictureData(BYTE* /*bits*/) {}
    virtual uint16_t GetPictureAttr(int16_t /*id*/) { return 0xFFFF; }
    // A new blank (all 0) picture under a free id; -1 when it cannot be had.
    virtual int16_t NewBlankPicture(int16_t /*width*/, int16_t /*height*/) { return -1; }
    // Deletes every cached item of the id.
    virtual void PurgeResource(int16_t /*id*/) {}

    // Display sprites: made at (x, y) showing a picture, in front of the others; null when
    // none can be made. Showing another picture and disposing ignore a null sprite.
    virtual void* CreateSprite(int16_t /*x*/, int16_t /*y*/, int16_t /*pictureId*/) { return nullptr; }
    virtual void ShowSpritePicture(void* /*sprite*/, int16_t /*pictureId*/) {}
    virtual void DisposeSprite(void* /*sprite*/) {}
    // The sprite's picture changed in place: draw it again.
    virtual void InvalidateSprite(void* /*sprite*/) {}

    // String n (1 = first) of the 'IST' list of the id into dest (capacity bytes, always
    // zero-terminated when capacity > 0); false, with dest empty, when there is no such list.
    virtual bool CopyListString(char* dest, size_t capacity, int16_t /*id*/, int16_t /*n*/) {
        if (capacity > 0) dest[0] = 0;
        return false;
    }

    // Removes every scan target whose object is the given text item.
    virtual void RemoveScanTargetsOf(const void* /*object*/) {}
};

// Installs the host (null: the default host). The host outlives every call made while it is
// installed.
void SetTextHost(ITextHost* host);
ITextHost& TextHost();

// A picture's pixels locked through the host, its sizes checked: bits null (nothing locked)
// when the picture is missing or its width, height and bytes per row do not hold together.
struct LockedPicture {
    BYTE* bits = nullptr;
    int16_t width = 0;
    int16_t height = 0;
    int16_t stride = 0;
};
LockedPicture LockPicture(int16_t id);
void UnlockPicture(const LockedPicture& picture);

// String n (1 = first) of an 'IST' item's bytes (a u16 head, then zero-terminated strings),
// copied into dest with its terminator and cut to capacity - 1 bytes. n below 1 is the first
// string; a list with fewer strings, or an item without its head, gives an empty string and
// false. Never reads outside the item.
bool CopyListStringFromItem(const uint8_t* item, size_t size, int16_t n, char* dest, size_t capacity);
