// Shared by the message box's files only: one open box, its layout and its drawing.
#pragma once

#include <string>
#include <vector>

#include "platform/core/wintypes.h"
#include "platform/gdi/look95.h"
#include "platform/gdi/text_out.h"

namespace plat::msgbox {

// Geometry in pixels, after the Windows 95 dialog metrics of an 8-point dialog font.
constexpr int kFrame = 3;     // raised edge (2) and a line of face colour
constexpr int kCaption = look::kCaptionHeight;
constexpr int kMargin = 11;   // between the frame and the contents
constexpr int kIconSize = 32;
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;
constexpr int kButtonsAbove = 12;   // between the text (or icon) and the buttons
constexpr int kMaxTextWidth = 400;  // text is word-wrapped to this width
constexpr int kCloseWidth = look::kCloseWidth;  // the caption's close button

struct Button {
    int id = 0;
    const char* label = "";  // with its '&' mnemonic
    RECT rect;
};

struct Box {
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;
    UINT type = 0;
    UINT icon = 0;
    std::vector<Button> buttons;
    int escapeAnswer = 0;

    // Layout, in window coordinates (the box's window has no non-client area).
    int width = 0;
    int height = 0;
    RECT textRect;
    POINT iconAt;
    RECT closeRect;

    // State.
    int focus = 0;     // index of the focused (and so default) button
    int pressed = -1;  // index of the button held by the mouse or the space bar
    bool pressedInside = false;
    bool closePressed = false;
    bool closeInside = false;
    bool spaceDown = false;
    bool done = false;
    int result = 0;

    HFONT font = nullptr;
    HFONT bold = nullptr;
};

// Works out the box's size and the places of its parts; fonts must be made.
void LayOut(Box& box);
// Paints the whole box into a DC of its window.
void Paint(const Box& box, HDC dc);
// Draws one of the four icons (MB_ICONHAND ...) with its top left corner at (x, y).
void DrawIcon(HDC dc, int x, int y, UINT icon);

}  // namespace plat::msgbox
