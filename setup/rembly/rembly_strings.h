// Rembly's string table: the ids its code names and their registration. The texts are in
// rembly_strings.cpp; the script engine's own messages are registered by
// RegisterScriptStrings (setup/common).
#pragma once

#include "platform/core/wintypes.h"
#include "setup/common/script_strings.h"  // the run and erase messages both programs share

namespace setup {

inline constexpr UINT kIdsRemovalNotWindows95 = 59161;   // version gate
inline constexpr UINT kIdsNotInstalled = 59162;          // %1 product
inline constexpr UINT kIdsRemoveQuestion = 59163;        // %1 product
inline constexpr UINT kIdsCannotRemoveLink = 59171;      // %1 shortcut path
inline constexpr UINT kIdsSharedFileUnused = 59175;      // %1 file name
inline constexpr UINT kIdsCannotRemoveFolder = 59176;    // %1 folder
inline constexpr UINT kIdsRemovalRestartQuestion = 59201;
inline constexpr UINT kIdsDisketteInDrive = 59202;
inline constexpr UINT kIdsDisketteNoRestart = 59203;
inline constexpr UINT kIdsRemovalDone = 59204;
inline constexpr UINT kIdsRemovalCannotCreateKey = 59211;  // %1 key
inline constexpr UINT kIdsRemovalCannotSetValue = 59212;   // %1 key
inline constexpr UINT kIdsNoStartMenuPath = 59230;
inline constexpr UINT kIdsNoStartMenuFolder = 59231;

// Adds Rembly's strings and the script engine's to the program's string table.
void RegisterRemblyStrings();

}  // namespace setup
