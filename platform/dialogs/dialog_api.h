// Windows' dialog manager: dialogs made from the program's templates, DefDlgProc,
// IsDialogMessage, dialog units, and help. Includes what a dialog's code names besides: the
// framework's window names and calls (platform/afxwin/window_api.h), the controls'
// (platform/controls/controls_api.h) and the program's pictures
// (platform/gdi/picture_resources.h). UI thread only; text is Windows-1252.
#pragma once

#include "platform/afxwin/window_api.h"
#include "platform/controls/controls_api.h"
#include "platform/gdi/picture_resources.h"

// ---- Dialogs -----------------------------------------------------------------------------------
namespace plat {
struct DialogTemplate;
}

// Templates are the program's (plat::RegisterDialogTemplates), named by MAKEINTRESOURCE(id).
HWND CreateDialogParam(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param);
HWND CreateDialog(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc);
HWND CreateDialogIndirectParam(HINSTANCE instance, const plat::DialogTemplate* tmpl, HWND owner, DLGPROC proc,
                               LPARAM param);
INT_PTR DialogBoxParam(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc, LPARAM param);
INT_PTR DialogBox(HINSTANCE instance, LPCSTR templateName, HWND owner, DLGPROC proc);
INT_PTR DialogBoxIndirectParam(HINSTANCE instance, const plat::DialogTemplate* tmpl, HWND owner, DLGPROC proc,
                               LPARAM param);
BOOL EndDialog(HWND dialog, INT_PTR result);
LRESULT DefDlgProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// Tab, arrows, Enter, Escape and mnemonics for a dialog (and the dialogs it contains); every
// other message of the dialog is translated and dispatched. FALSE when msg is not the dialog's.
BOOL IsDialogMessage(HWND dialog, MSG* msg);
// Dialog units of the dialog's font to pixels.
BOOL MapDialogRect(HWND dialog, RECT* r);
// The system font's dialog base units: 8 across, 16 down.
LONG GetDialogBaseUnits();

// ---- Help (its HELP_* commands are in platform/afxwin/window_api.h) -------------------------------
// Shows the help file in a read-only window of its own when the file exists (plain
// Windows-1252 text, or HTML); FALSE and nothing shown otherwise. HELP_QUIT closes it.
BOOL WinHelp(HWND owner, LPCSTR helpFile, UINT command, ULONG_PTR data);
inline BOOL WinHelpA(HWND owner, LPCSTR helpFile, UINT command, ULONG_PTR data) {
    return WinHelp(owner, helpFile, command, data);
}

// ---- A-suffixed names --------------------------------------------------------------------------
inline INT_PTR DialogBoxParamA(HINSTANCE i, LPCSTR t, HWND o, DLGPROC p, LPARAM l) {
    return DialogBoxParam(i, t, o, p, l);
}
inline HWND CreateDialogParamA(HINSTANCE i, LPCSTR t, HWND o, DLGPROC p, LPARAM l) {
    return CreateDialogParam(i, t, o, p, l);
}
inline BOOL IsDialogMessageA(HWND d, MSG* m) {
    return IsDialogMessage(d, m);
}
inline LRESULT DefDlgProcA(HWND h, UINT m, WPARAM w, LPARAM l) {
    return DefDlgProc(h, m, w, l);
}

namespace plat {
// The controls' classes, the dialog class "#32770" and the help viewer's text view.
void RegisterDialogClasses();
// Programs call this at start (before AfxWinMain): the window framework's standard commands,
// printing and help get their dialogs (plat::afx::IFrameworkDialogs), and the classes of the
// controls and dialogs are registered.
void InstallDialogs();
}  // namespace plat
