// What the resource layer needs of the engine, behind one interface: the item cache, the
// resource manager of each module, the module-relative id rule, the sound list's service step,
// picture items (size, pixels, blank pictures), 'IST' list strings, the resource folder and the
// player's folder. The text layer, the record files and the sound clips take these from here.
//
// The engine installs its host once at start. Until then the neutral host answers: no cache,
// no managers, ids unchanged, no pictures, empty lists, no resource folder; so nothing is
// found and nothing loads, but every caller keeps working.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/core/wintypes.h"

class CResItemTable;
class CResMgr;

class IResItemHost {
public:
    virtual ~IResItemHost() = default;

    // The engine's item cache (100 buckets), or null.
    virtual CResItemTable* ItemCache() { return nullptr; }
    // The resource manager of a module number (id / 1000), or null.
    virtual CResMgr* ResourceManager(int /*module*/) { return nullptr; }
    // A module-relative id made absolute (the toolbox's id rule).
    virtual int32_t MapResourceId(int16_t relativeId) { return relativeId; }
    // One service step of the sound list, so that sound keeps flowing while pictures load.
    virtual void ServiceSound() {}

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

    // String n (1 = first) of the 'IST' list of the absolute id into dest (capacity bytes,
    // always zero-terminated when capacity > 0); false, with dest empty, when there is no such
    // list. CopyListStringFromItem reads an item's bytes this way.
    virtual bool CopyListString(char* dest, size_t capacity, int32_t /*id*/, int16_t /*n*/) {
        if (capacity > 0) dest[0] = 0;
        return false;
    }

    // The engine's resource folder as a DOS path ("D:\", "C:\Zelbo\"); empty when not known.
    virtual std::string ResourceFolder() { return {}; }
    // The current player's folder as a DOS path, where the player's record files and recorded
    // sounds lie; empty when there is none.
    virtual std::string PlayerFolder() { return {}; }
};

// Installs the host (null: the neutral host) and returns the one installed before. The host
// outlives every call made while it is installed.
IResItemHost* SetResItemHost(IResItemHost* host);
IResItemHost& ResItemHost();

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

// String n of the list of a module-relative id (the host's id rule makes it absolute).
bool CopyModuleListString(char* dest, size_t capacity, int16_t id, int16_t n);

// String n (1 = first) of an 'IST' item's bytes (a u16 head, then zero-terminated strings),
// copied into dest with its terminator and cut to capacity - 1 bytes. n below 1 is the first
// string; a list with fewer strings, or an item without its head, gives an empty string and
// false. Never reads outside the item.
bool CopyListStringFromItem(const uint8_t* item, size_t size, int16_t n, char* dest, size_t capacity);
