// The calls the standard controls implement: their window classes and the program's clipboard.
// Their messages, styles and notifications are platform/afxwin/window_api.h. UI thread only;
// text is Windows-1252.
#pragma once

#include "platform/afxwin/window_api.h"

// ---- Clipboard (of this program; text only) ----------------------------------------------------
inline constexpr UINT CF_TEXT = 1;
BOOL OpenClipboard(HWND owner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
// Takes the memory handle (Windows-1252 text ending in NUL).
HANDLE SetClipboardData(UINT format, HANDLE data);
HANDLE GetClipboardData(UINT format);
BOOL IsClipboardFormatAvailable(UINT format);

namespace plat {
// Registers the window classes of the controls ("BUTTON", "STATIC", "EDIT", "LISTBOX",
// "COMBOBOX", "SCROLLBAR", "SysTabControl32") with their class-library wrappers when they are
// missing; the wrappers' Create and the dialog calls do it themselves.
void RegisterControlClasses();
}  // namespace plat
