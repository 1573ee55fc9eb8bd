// Setwell's string table: the ids its code names and their registration. The texts are in
// setwell_strings.cpp; the script engine's own messages are registered by
// RegisterScriptStrings (setup/common).
#pragma once

#include "platform/core/wintypes.h"

namespace setup {

// Pictures (CDIB).
inline constexpr UINT kIdsCannotSaveFile = 59144;  // "Kunde inte spara filen."
inline constexpr UINT kIdsCannotOpenFile = 59145;  // "Kunde inte öppna filen."
inline constexpr UINT kIdsCannotReadFile = 59146;  // "Kunde inte läsa in filen."

// The install-location dialog (dialog 102).
inline constexpr UINT kIdsEnterDriveAndPath = 59149;  // "Ange en enhet och sökväg, ..."
inline constexpr UINT kIdsProblemCaption = 59150;     // "Problem..."
inline constexpr UINT kIdsInvalidDrive = 59151;       // "%1 är inte en giltig enhet."
inline constexpr UINT kIdsCheckingCaption = 59152;    // "Kontrollerar..."
inline constexpr UINT kIdsNeedsSpace = 59153;         // "%1 kräver cirka %2 Mb ..."
inline constexpr UINT kIdsFreeSpace = 59154;          // "Det finns %1 Mb ledigt utrymme på enhet %2. ..."
inline constexpr UINT kIdsAlreadyInstalledAt = 59155;  // "%1 är redan installerat på %2.\n..."
inline constexpr UINT kIdsCreateMissingFolder = 59156;  // "Den angivna sökvägen [%1] saknas. ..."
inline constexpr UINT kIdsCannotCreateFolder = 59157;   // "Kunde inte skapa [%1]. ..."

// The splash picture cannot be loaded (the same text as the engine's 59170).
inline constexpr UINT kIdsCannotOpenPicture = 59170;  // "Kunde inte öppna %1."
// The progress dialog's caption.
inline constexpr UINT kIdsInstallingProduct = 59225;  // "Installerar %1"

// Adds Setwell's strings to the program's string table; the program calls it at start, after
// RegisterScriptStrings.
void RegisterSetwellStrings();

}  // namespace setup
