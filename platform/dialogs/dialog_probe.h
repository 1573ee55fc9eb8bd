// What tests and scripted runs use to drive dialogs: every control of a dialog (pages of a
// sheet included) with what it shows, found by id, and the screen point to click it at.
#pragma once

#include <string>
#include <vector>

#include "platform/dialogs/dialog_api.h"

namespace plat {

struct ControlState {
    HWND hwnd = nullptr;
    int id = 0;
    std::string className;  // upper case: BUTTON, EDIT, ...
    std::string text;       // the window text; a combo box: its selected item
    DWORD style = 0;
    bool visible = false;
    bool enabled = false;
    bool focused = false;
    int check = -1;                  // buttons: BST_ value
    int selection = -1;              // list and combo boxes, tab control
    std::vector<std::string> items;  // list and combo boxes
    int scrollPos = 0;               // scroll bars
    int scrollMin = 0;
    int scrollMax = 0;
};

// The controls of a dialog in Tab order, descending into pages.
std::vector<ControlState> DescribeDialog(HWND dialog);
// A control by id, looked for in pages too; null when there is none.
HWND FindDialogItem(HWND dialog, int id);
// The screen point at a control's middle (for HeadlessBackend::Click).
POINT ControlCentre(HWND control);
// The dialog the user sees now: the running modal one, else the active window.
HWND ActiveDialog();

}  // namespace plat
