// AfxMessageBox and the hook that shows it. Until the window layer offers message boxes,
// the default hook prints the text to stderr and answers with the box's default button;
// tests and the window layer replace it with plat::SetMessageBoxHook.
#pragma once

#include <functional>

#include "platform/core/wintypes.h"

// Message box types and answers (values as in Windows).
enum : UINT {
    MB_OK = 0x0000,
    MB_OKCANCEL = 0x0001,
    MB_ABORTRETRYIGNORE = 0x0002,
    MB_YESNOCANCEL = 0x0003,
    MB_YESNO = 0x0004,
    MB_RETRYCANCEL = 0x0005,
    MB_TYPEMASK = 0x000F,
    MB_ICONHAND = 0x0010,
    MB_ICONSTOP = 0x0010,
    MB_ICONERROR = 0x0010,
    MB_ICONQUESTION = 0x0020,
    MB_ICONEXCLAMATION = 0x0030,
    MB_ICONWARNING = 0x0030,
    MB_ICONASTERISK = 0x0040,
    MB_ICONINFORMATION = 0x0040,
    MB_ICONMASK = 0x00F0,
    MB_DEFBUTTON1 = 0x0000,
    MB_DEFBUTTON2 = 0x0100,
    MB_DEFBUTTON3 = 0x0200,
    MB_DEFMASK = 0x0F00,
    MB_APPLMODAL = 0x0000,
    MB_SYSTEMMODAL = 0x1000,
    MB_TASKMODAL = 0x2000,
    MB_SETFOREGROUND = 0x10000,
    MB_TOPMOST = 0x40000,
};
enum : int { IDOK = 1, IDCANCEL = 2, IDABORT = 3, IDRETRY = 4, IDIGNORE = 5, IDYES = 6, IDNO = 7 };

namespace plat {

// Shows a message box with Windows-1252 text and returns the button chosen (IDOK...).
using MessageBoxHook = std::function<int(LPCSTR text, UINT type, UINT helpId)>;
// Installs a hook (an empty one restores the default) and returns the previous hook.
MessageBoxHook SetMessageBoxHook(MessageBoxHook hook);
// The button that Enter would press: the MB_DEFBUTTONn of the type's buttons, else the first.
int DefaultMessageBoxButton(UINT type);

}  // namespace plat

int AfxMessageBox(LPCSTR text, UINT type = MB_OK, UINT helpId = 0);
// The prompt is a string of the program's string table (empty when the id is missing); the
// help id defaults to the prompt's id.
int AfxMessageBox(UINT idPrompt, UINT type = MB_OK, UINT helpId = static_cast<UINT>(-1));
