// The activities' saved-settings block: their levels and the grown-ups' flags over them, kept
// by the engine object after the preference record and stored byte for byte after it in the
// player's preference file.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

// 28 bytes, little-endian. The block is kept in memory exactly as the file holds it, so the
// file is read and written byte for byte; that needs a little-endian host.
struct ActivitySettings {
    uint32_t levelsSaved;        // the levels are saved (grown-ups' check box 1009)
    uint32_t secondFlag;         // carried by the grown-ups' page
    uint32_t childMayChangeLevel;  // children may change the level (check box 1011)
    uint32_t fourthFlag;
    uint16_t level[5];           // modules 2 to 6, in module order
    uint8_t fill[2];

    // The four flags 1, the five levels and the two fill bytes 0.
    void SetDefaults();
    // The level of module 2..6; null for any other module.
    uint16_t* LevelOf(int module);
};
static_assert(std::endian::native == std::endian::little, "the saved-settings block is kept in file byte order");
static_assert(sizeof(ActivitySettings) == 28);
static_assert(offsetof(ActivitySettings, levelsSaved) == 0);
static_assert(offsetof(ActivitySettings, secondFlag) == 4);
static_assert(offsetof(ActivitySettings, childMayChangeLevel) == 8);
static_assert(offsetof(ActivitySettings, fourthFlag) == 12);
static_assert(offsetof(ActivitySettings, level) == 16);
static_assert(offsetof(ActivitySettings, fill) == 26);
