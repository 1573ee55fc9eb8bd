// The engine's picture items by resource id, found through the resource host
// (res_item_host.h): its item cache, the resource manager of each module, the module-relative
// id rule and the sound list's service step. With the neutral host GetResItem finds nothing
// and pictures do not load.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "media/res/res_item_host.h"
#include "platform/core/wintypes.h"

class CSprite;
struct ResDirEntry;

// The picture of an absolute id from the item cache, made and cached when absent, and loaded
// when load is set. Ids with remainder 2 modulo 1000 stand for no picture (null); remainder 1
// is the shared id 1. Null when the load fails (the item stays cached, unloaded).
CSprite* GetResItem(int32_t id, BOOL load);
// Applies the 'HT#' table of the absolute id: each record {i16 picture id, i16 x, i16 y} sets
// the hot spot of that picture (module-relative id), made in the cache without loading it.
void LoadHotspotTable(int32_t id);

// Reads the whole item (type, id) of the module id / 1000. *entry is looked up when null and
// kept; false when there is no such item, it is larger than maxSize, or it cannot be read.
bool ReadResourceItem(uint32_t type, int32_t id, ResDirEntry** entry, std::vector<uint8_t>& out,
                      uint32_t maxSize = 64u << 20);
// String n (1 = first; below 1 the first) of the 'IST' list of an absolute id, read straight
// from its module's resource file (not through the cache) into dest, cut to capacity - 1 bytes
// and terminated. False, with dest empty, when the list is missing or has fewer strings.
bool ReadListString(int32_t id, int16_t n, char* dest, size_t capacity);
