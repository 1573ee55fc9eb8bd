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

// Start and main flow.
inline constexpr UINT kIdsNotWindows95 = 59161;           // version gate
inline constexpr UINT kIdsAlreadyInstalled = 59164;       // over-install refused (%1 product)
inline constexpr UINT kIdsAddToLauncher = 59166;          // launcher question (%1 product)
inline constexpr UINT kIdsCannotSetLauncherValue = 59206;  // launcher value not written
inline constexpr UINT kIdsCannotCreateKey = 59211;        // %1 key
inline constexpr UINT kIdsCannotSetValue = 59212;         // %1 key
inline constexpr UINT kIdsInstallationDone = 59229;       // %1 product

// File installation.
inline constexpr UINT kIdsInsertDisk = 59173;          // %1 disk name, %2 drive
inline constexpr UINT kIdsFileInUse = 59180;           // %1 installed path
inline constexpr UINT kIdsCannotSetAttributes = 59181;  // %1 file
inline constexpr UINT kIdsNoVolumeInformation = 59213;  // %1 root
inline constexpr UINT kIdsInstallCancelled = 59214;
inline constexpr UINT kIdsCannotInstall = 59215;        // %1 from, %2 to
inline constexpr UINT kIdsUnknownInstallError = 59216;  // %1 name
inline constexpr UINT kIdsDiskFull = 59217;
inline constexpr UINT kIdsAccessViolation = 59218;   // %1 path
inline constexpr UINT kIdsSharingViolation = 59219;  // %1 path
inline constexpr UINT kIdsCannotCreate = 59220;      // %1 path
inline constexpr UINT kIdsCannotDelete = 59221;      // %1 path
inline constexpr UINT kIdsCannotRename = 59222;      // %1 path
inline constexpr UINT kIdsOutOfMemory = 59223;
inline constexpr UINT kIdsCannotRead = 59224;     // %1 path
inline constexpr UINT kIdsInstalling = 59226;     // progress text, %1 name

// Shortcuts, registry entries, programs run.
inline constexpr UINT kIdsDirectXFailed = 59190;
inline constexpr UINT kIdsMakingRegistryEntries = 59227;  // progress text
inline constexpr UINT kIdsRunningProgram = 59228;         // progress text
inline constexpr UINT kIdsNoStartMenuPath = 59230;
inline constexpr UINT kIdsNoStartMenuFolder = 59231;

// The restart at the end of an installation that needs one.
inline constexpr UINT kIdsRemoveDisketteRestart = 59199;  // %1 drive letter
inline constexpr UINT kIdsRestartQuestion = 59200;        // shown unformatted
inline constexpr UINT kIdsDisketteInDriveA = 59202;
inline constexpr UINT kIdsDisketteNoRestart = 59203;

// Adds Setwell's strings to the program's string table, and the script engine's
// (RegisterScriptStrings); the program calls it at start.
void RegisterSetwellStrings();

}  // namespace setup
