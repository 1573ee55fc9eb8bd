// The player chooser's two resource items, read within their size: the layout ('IN#', 44
// 16-bit values) and the list of characters a typed name may hold ('IN#': u16 n, then n u16
// character codes).
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "platform/core/wintypes.h"

struct ChooserLayout {
    int16_t panelId = 0, panelX = 0, panelY = 0;
    int16_t listMarkerId = 0, listMarkerX = 0, listMarkerY = 0;
    int16_t upId = 0, upX = 0, upY = 0;
    int16_t downId = 0, downX = 0, downY = 0;
    int16_t listLeft = 0, listTop = 0, listRight = 0;
    int16_t listBottomWithEntry = 0, listBottomWithoutEntry = 0;
    int16_t rowColour = 0, selectedColour = 0;
    int16_t entryBackId = 0, entryBackX = 0, entryBackY = 0;
    int16_t typeMarkerId = 0, typeMarkerX = 0, typeMarkerY = 0;
    int16_t textLeft = 0, textTop = 0, textRight = 0, textBottom = 0;
    int16_t caretId = 0, maxChars = 0, allowedListId = 0;
    int16_t okId = 0, okX = 0, okY = 0;
    int16_t fontStripId = 0, fontSize = 0;
    int16_t promptSound = 0, existsSound = 0;
    int16_t openAnim[2] = {0, 0};
    int16_t closeAnim[2] = {0, 0};
};

// The layout item's size as the data writes it.
inline constexpr size_t kChooserLayoutSize = 88;

// Reads the values at their offsets (2 to 86); a value the item is too short to hold is 0.
ChooserLayout ParseChooserLayout(std::span<const BYTE> item);

// The codes of an allowed-character list: n from the first word, cut to the codes the item
// holds. Empty for a missing (empty) item, one shorter than its count word, or n = 0.
std::vector<uint16_t> ParseAllowedList(std::span<const BYTE> item);

// The layout 'IN#' of a module-relative id, read from the module's file within its size (a
// missing item: every value 0).
ChooserLayout ReadChooserLayout(int16_t id);
// The allowed-character list 'IN#' of a module-relative id; empty when missing.
std::vector<uint16_t> ReadAllowedList(int16_t id);
