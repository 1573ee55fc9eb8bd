// A program's dialog templates, declared as data in the program's own source and registered at
// start, as its string table and its bitmaps and icons (platform/gdi/picture_resources.h) are:
//
//   const plat::DialogItem kInstallItems[] = {
//       plat::LText(u8"Plats för installation:", -1, 7, 30, 120, 8),
//       plat::EditText(1000, 7, 40, 200, 12, ES_AUTOHSCROLL),
//       plat::DefPushButton(u8"&Fortsätt", IDOK, 40, 70, 50, 14),
//       plat::PushButton(u8"A&vsluta", IDCANCEL, 110, 70, 50, 14),
//   };
//   const plat::DialogTemplate kDialogs[] = {
//       {102, 0, 0, 220, 92, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, u8"Installera", kInstallItems},
//   };
//   plat::RegisterDialogTemplates(kDialogs);
//
// Sizes and positions are dialog units of the template's font (8-point "MS Sans Serif"
// unless the template names another): x units are a quarter, y units an eighth of the
// font's base units, as Windows converts them. Texts are UTF-8 in the source and become
// Windows-1252 when the dialog is made.
#pragma once

#include <initializer_list>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "platform/dialogs/dialog_api.h"
#include "platform/gdi/picture_resources.h"

namespace plat {

// One control of a template. The style is complete: WS_CHILD is always added, WS_VISIBLE is
// as given (the helpers below add it, as a resource compiler does, unless it is removed).
struct DialogItem {
    const char* className = "STATIC";  // BUTTON, STATIC, EDIT, LISTBOX, COMBOBOX, SCROLLBAR or a program's class
    const char8_t* text = nullptr;
    int id = -1;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    DWORD style = 0;
    DWORD exStyle = 0;
    UINT resource = 0;  // SS_ICON / SS_BITMAP statics: the icon or bitmap id
};

struct DialogTemplate {
    UINT id = 0;
    int x = 0;
    int y = 0;
    int cx = 0;
    int cy = 0;
    DWORD style = 0;
    const char8_t* caption = nullptr;
    std::span<const DialogItem> items;
    int pointSize = 8;
    const char* faceName = "MS Sans Serif";
    DWORD exStyle = 0;
};

// Adds templates to the program's table (an id given again replaces the earlier one). The
// templates and their items must outlive the program's use of them (static tables).
void RegisterDialogTemplates(std::span<const DialogTemplate> templates);
const DialogTemplate* FindDialogTemplate(UINT id);
// The template named by MAKEINTRESOURCE(id) or "#id".
const DialogTemplate* FindDialogTemplate(LPCSTR name);
void ClearDialogTemplates();

// Resource-compiler style helpers; `style` adds to the kind's default styles, `notStyle`
// takes away (NOT WS_VISIBLE, NOT WS_TABSTOP ...).
constexpr DWORD kItemVisible = WS_CHILD | WS_VISIBLE;
constexpr DialogItem Control(const char8_t* text, int id, const char* cls, DWORD style, int x, int y, int cx, int cy,
                             DWORD exStyle = 0) {
    return DialogItem{cls, text, id, x, y, cx, cy, style | WS_CHILD, exStyle, 0};
}
constexpr DialogItem LText(const char8_t* text, int id, int x, int y, int cx, int cy, DWORD style = 0,
                           DWORD notStyle = 0) {
    return DialogItem{"STATIC", text, id, x, y, cx, cy, ((kItemVisible | SS_LEFT | WS_GROUP) | style) & ~notStyle};
}
constexpr DialogItem CText(const char8_t* text, int id, int x, int y, int cx, int cy, DWORD style = 0,
                           DWORD notStyle = 0) {
    return DialogItem{"STATIC", text, id, x, y, cx, cy, ((kItemVisible | SS_CENTER | WS_GROUP) | style) & ~notStyle};
}
constexpr DialogItem RText(const char8_t* text, int id, int x, int y, int cx, int cy, DWORD style = 0,
                           DWORD notStyle = 0) {
    return DialogItem{"STATIC", text, id, x, y, cx, cy, ((kItemVisible | SS_RIGHT | WS_GROUP) | style) & ~notStyle};
}
constexpr DialogItem Icon(UINT iconId, int id, int x, int y, DWORD style = 0, DWORD notStyle = 0) {
    return DialogItem{"STATIC", nullptr, id, x, y, 0, 0, ((kItemVisible | SS_ICON) | style) & ~notStyle, 0, iconId};
}
constexpr DialogItem BitmapStatic(UINT bitmapId, int id, int x, int y, DWORD style = 0, DWORD notStyle = 0) {
    return DialogItem{"STATIC", nullptr, id, x, y, 0, 0, ((kItemVisible | SS_BITMAP) | style) & ~notStyle, 0,
                      bitmapId};
}
constexpr DialogItem GroupBox(const char8_t* text, int id, int x, int y, int cx, int cy, DWORD style = 0,
                              DWORD notStyle = 0) {
    return DialogItem{"BUTTON", text, id, x, y, cx, cy, ((kItemVisible | BS_GROUPBOX) | style) & ~notStyle};
}
constexpr DialogItem PushButton(const char8_t* text, int id, int x, int y, int cx, int cy, DWORD style = 0,
                                DWORD notStyle = 0) {
    return DialogItem{"BUTTON", text, id, x, y, cx, cy,
                      ((kItemVisible | BS_PUSHBUTTON | WS_TABSTOP) | style) & ~notStyle};
}
constexpr DialogItem DefPushButton(const char8_t* text, int id, int x, int y, int cx, int cy, DWORD style = 0,
                                   DWORD notStyle = 0) {
    return DialogItem{"BUTTON", text, id, x, y, cx, cy,
                      ((kItemVisible | BS_DEFPUSHBUTTON | WS_TABSTOP) | style) & ~notStyle};
}
constexpr DialogItem CheckBox(const char8_t* text, int id, int x, int y, int cx, int cy, DWORD style = 0,
                              DWORD notStyle = 0) {
    return DialogItem{"BUTTON", text, id, x, y, cx, cy,
                      ((kItemVisible | BS_CHECKBOX | WS_TABSTOP) | style) & ~notStyle};
}
constexpr DialogItem AutoCheckBox(const char8_t* text, int id, int x, int y, int cx, int cy, DWORD style = 0,
                                  DWORD notStyle = 0) {
    return DialogItem{"BUTTON", text, id, x, y, cx, cy,
                      ((kItemVisible | BS_AUTOCHECKBOX | WS_TABSTOP) | style) & ~notStyle};
}
constexpr DialogItem RadioButton(const char8_t* text, int id, int x, int y, int cx, int cy, DWORD style = 0,
                                 DWORD notStyle = 0) {
    return DialogItem{"BUTTON", text, id, x, y, cx, cy, ((kItemVisible | BS_RADIOBUTTON) | style) & ~notStyle};
}
constexpr DialogItem AutoRadioButton(const char8_t* text, int id, int x, int y, int cx, int cy, DWORD style = 0,
                                     DWORD notStyle = 0) {
    return DialogItem{"BUTTON", text, id, x, y, cx, cy, ((kItemVisible | BS_AUTORADIOBUTTON) | style) & ~notStyle};
}
constexpr DialogItem EditText(int id, int x, int y, int cx, int cy, DWORD style = 0, DWORD notStyle = 0) {
    return DialogItem{"EDIT", nullptr, id, x, y, cx, cy,
                      ((kItemVisible | ES_LEFT | WS_BORDER | WS_TABSTOP) | style) & ~notStyle};
}
constexpr DialogItem ListBox(int id, int x, int y, int cx, int cy, DWORD style = 0, DWORD notStyle = 0) {
    return DialogItem{"LISTBOX", nullptr, id, x, y, cx, cy,
                      ((kItemVisible | LBS_NOTIFY | WS_BORDER) | style) & ~notStyle};
}
// cy includes the dropped list, as in a resource file.
constexpr DialogItem ComboBox(int id, int x, int y, int cx, int cy, DWORD style = 0, DWORD notStyle = 0) {
    return DialogItem{"COMBOBOX", nullptr, id, x, y, cx, cy, ((kItemVisible | CBS_DROPDOWNLIST) | style) & ~notStyle};
}
constexpr DialogItem ScrollBar(int id, int x, int y, int cx, int cy, DWORD style = 0, DWORD notStyle = 0) {
    return DialogItem{"SCROLLBAR", nullptr, id, x, y, cx, cy, ((kItemVisible | SBS_HORZ) | style) & ~notStyle};
}

}  // namespace plat
