// The messages of the script engine (string-table ids and their registration).
#pragma once

#include "platform/core/wintypes.h"

namespace setup {

// "Kunde inte öppna %1.": the temporary copy of the script cannot be opened (setup program).
inline constexpr UINT kIdsCannotOpenCopy = 59169;
// "Kunde inte öppna %1.": no script in the folder the removal program was given.
inline constexpr UINT kIdsCannotOpenRemovalScript = 59170;
// "Kunde inte öppna Product.dat.": no script found, or the header pass failed.
inline constexpr UINT kIdsCannotOpenScript = 59205;
// "Använd ikonen Lägg till/ta bort program ...": the removal program was started without its folder.
inline constexpr UINT kIdsUseControlPanel = 59207;
// "Kunde inte kopiera %1 till %2": the script cannot be copied to the temporary folder.
inline constexpr UINT kIdsCannotCopyScript = 59208;
// "Kunde inte läsa Product.dat.": the script cannot be read, or a statement is damaged.
inline constexpr UINT kIdsCannotReadScript = 59209;

// The statements both programs run (programs started, files and folders deleted).
inline constexpr UINT kIdsCannotStartProgram = 59182;   // "Kunde inte starta [%1]."
inline constexpr UINT kIdsContinueQuestion = 59189;     // appended to a run statement's message
inline constexpr UINT kIdsCannotDeleteTreeFile = 59192;  // "Kunde inte ta bort filen %1."
inline constexpr UINT kIdsCannotEraseFile = 59232;      // "Kunde inte ta bort %1."

// Adds the strings above to the program's string table; both programs call it at start.
void RegisterScriptStrings();

}  // namespace setup
