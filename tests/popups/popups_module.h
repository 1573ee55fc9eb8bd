// The pop-ups' test module: played in module 6's place by the test program zelbo_popups, so
// that a headless run drives the shared pop-ups and a drag as an activity does. On its screen
// (module 6's floor) lie a ball and a row of picture buttons; a press on the ball drags it
// anywhere on the screen, a button (pressed and released over it) opens its pop-up.
//
// Each pop-up's opener lives in a file of its own (popup_<name>.cpp), so that whoever adds a
// pop-up edits only its opener and, when it needs one, a button here.
#pragma once

#include <cstdint>

#include "engine/base/module_table.h"
#include "media/util/cor_geometry.h"

inline constexpr int kPopupsModule = 6;

// Module-relative ids: the ball's picture and its home spot (the whole screen).
inline constexpr int16_t kBallPicture = 700;
inline constexpr int16_t kBallHomeSpot = 700;
inline constexpr int16_t kBallX = 24, kBallY = 280;  // the ball's top-left at the start

// A picture button: its normal picture (pressed: id + 10), where its top-left lies and the
// pop-up it opens.
struct PopupButton {
    int16_t picture;
    int16_t x, y;
    void (*open)();
};

// The openers. Each is called from the button's click, inside the module's click handler, and
// returns when its pop-up has closed; the level chooser's and the album's return at once,
// their panel left open over the module, taking its clicks and keys until it closes.
void OpenSplash();        // the credits picture (CSplashDlg)
void OpenLevelChooser();  // module 6's level chooser (CLevelChooser)
void OpenRecordPanel();   // the album of saved pictures (CRecordPanel) over the player's record file
void SavePictureFile();   // the screen under the picture spot saved through the picture file dialog
void PrintPictureSpot();  // the screen under the picture spot printed

// The picture spot: over the circle, the triangle and the square of module 6's floor (and the
// top of the ball where it starts), in picture coordinates.
inline constexpr int16_t kPictureSpot = 720;
inline constexpr CCorRect kPictureSpotRect{48, 176, 496, 296};

inline constexpr PopupButton kPopupButtons[] = {
    {701, 96, 416, OpenSplash},
    {702, 256, 416, OpenLevelChooser},
    {703, 416, 416, OpenRecordPanel},
    {704, 8, 36, SavePictureFile},
    {705, 8, 84, PrintPictureSpot},
};

// The module's function table: entries 0, 9 and 14.
ModuleFunctionTable* PopupsModuleTable();
// Where the ball's top-left lies now (picture coordinates); untouched when the module is not in.
void GetBallPos(int16_t& x, int16_t& y);
