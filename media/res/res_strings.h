// The game's strings that the resource layer shows or formats.
#pragma once

#include "platform/core/wintypes.h"

namespace media {

// "Kunde inte läsa CD-ROM-skivan ...": the read-error prompt and the start-up's CD prompt.
inline constexpr UINT kIdsInsertCd = 40000;
// "Kunde inte öppna resursfilen %1. ...": the prompt of a module resource file that will not open.
inline constexpr UINT kIdsCannotOpenResFile = 40010;

// Adds the strings above to the program's string table; the game calls it at start.
void RegisterResStrings();

}  // namespace media
