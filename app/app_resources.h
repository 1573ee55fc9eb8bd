// The game's own resources: the strings, dialogs and pictures of the program, registered first
// thing in main (and by the tests that run the application).
#pragma once

#include "adult/splash_dlg.h"  // kCreditsBitmap, 640 x 480, drawn by mkres (data/program)
#include "platform/core/wintypes.h"

inline constexpr UINT kIdsTitle = 57344;             // "Trumlaby"
inline constexpr UINT kIdsAdultSheetCaption = 61279; // "Vuxenavdelning"
inline constexpr UINT kIdsDisplayModeFailed = 61281;
inline constexpr UINT kIdsNeeds256Colours = 61285;
inline constexpr UINT kIdsWinGProfileNotice = 61286;
inline constexpr UINT kIdsInsertCd = 40000;
inline constexpr UINT kIdsOutOfMemory = 40001;
inline constexpr UINT kIdsUnhandledException = 40011;
inline constexpr UINT kAboutDialog = 24576;
inline constexpr UINT kBorderTileBitmap = 24578;

// Strings, the about box, the splash dialog, the frame's border tile, the credits picture, the
// grown-ups' pages and the media layer's strings.
void RegisterZelboResources();
