// The game's strings that the picture file exchange shows.
#pragma once

#include "platform/core/wintypes.h"

namespace media {

// "Alla filer (*.*)|*.*||": the all-files entry that closes every picture file filter.
inline constexpr UINT kIdsAllFilesFilter = 40020;
// The file-name check's refusals.
inline constexpr UINT kIdsUnsupportedFileKind = 40021;  // "Filtypen stöds inte."
inline constexpr UINT kIdsInvalidFile = 40022;          // "Filen är ogiltig."
inline constexpr UINT kIdsFileMissing = 40023;          // "Filen finns inte."

// Adds the strings above to the program's string table; the game calls it at start.
void RegisterPictureFileStrings();

}  // namespace media
