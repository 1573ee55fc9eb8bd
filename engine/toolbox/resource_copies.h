// Raw resource items for the activities: whole items of any type copied into a buffer the
// caller owns (layouts, level tables, phrase templates, character lists), a test whether an
// item exists, and one string of an 'IST' string list. Ids are module-relative (the engine's id
// rule makes them absolute); type codes are packed three-letter codes (kResIST, ResType("IN#")).
#pragma once

#include <cstddef>
#include <cstdint>

// A copy of the whole item (type, id), read from its module's resource file after one sound
// service step; free it with FreeResourceCopy. Null when the module has no such item, when it
// cannot be read (a failed read asks for the disc first) or when there is no memory for it.
// The second form also gives the item's size in bytes (0 with null): a copy is only ever read
// within that size.
uint8_t* LoadResourceCopy(uint32_t type, int32_t id);
uint8_t* LoadResourceCopy(uint32_t type, int32_t id, uint32_t& size);
// Frees a copy; nothing for null.
void FreeResourceCopy(void* copy);

// Whether the module's resource file has an item (type, id); nothing is read.
bool ResourceExists(uint32_t type, int32_t id);

// String n (1 = first; 1 for any n below) of the 'IST' list id, with its terminator, cut to the
// destination's size. An empty string when the list is missing or n is past its last string;
// never reads past the end of the item.
void CopyListString(char* dest, size_t size, int32_t id, int16_t n);
template <size_t N>
void CopyListString(char (&dest)[N], int32_t id, int16_t n) {
    CopyListString(dest, N, id, n);
}
