// The dialog manager's seams for the class library (CDialog, CPropertySheet, the common
// dialogs): making a dialog from a template, its modal loop, and its state.
#pragma once

#include <functional>

#include "platform/dialogs/dialog_api.h"
#include "platform/dialogs/resources.h"

namespace plat::dlg {

struct DialogOptions {
    bool hidden = false;   // leave WS_VISIBLE off (the modal loop shows it)
    bool asChild = false;  // a page inside another dialog: child window, control parent, no frame
    bool deferInit = false;  // no WM_INITDIALOG yet: the caller adds controls, then InitDialog
};

// A dialog window from a template: the window (class "#32770"), its font, its controls in
// template order (group boxes then moved below the rest), WM_INITDIALOG. Null when a
// control's class is unknown or the window cannot be made.
HWND CreateFromTemplate(const DialogTemplate& tmpl, HWND owner, DLGPROC proc, LPARAM param,
                        const DialogOptions& options = {});

// Sends WM_INITDIALOG to a dialog made with deferInit and notes where the focus goes.
void InitDialog(HWND dialog, LPARAM param);
// The dialog procedure of CDialog objects (WM_INITDIALOG runs OnInitDialog).
INT_PTR CALLBACK DialogObjectProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Runs the modal loop of a dialog made hidden: shows it, gives it the focus and dispatches
// every message of the program (preTranslate sees each first; true = handled) until
// EndDialog; then destroys it and returns the end code (-1 when WM_QUIT ended the loop, which
// is posted again). Input to other windows is refused meanwhile. Headless: a scripted answer
// waiting (HeadlessBackend::PushAnswer) is the id of a button pressed at once (-1 runs the
// dialog on scripted input); a dialog open ten virtual minutes throws HeadlessStall.
// Exceptions from handlers pass on after the dialog is gone.
INT_PTR RunModalLoop(HWND dialog, const std::function<bool(MSG&)>& preTranslate);

// The dialog's end (EndDialog was called) and its code.
bool DialogEnded(HWND dialog, INT_PTR* result = nullptr);
// Shows a dialog made hidden and gives the focus to its first control (modeless use).
void ShowDialog(HWND dialog);
// The scripted answer a headless modal dialog takes, if any (kMessageBoxInteractive = none).
int TakeScriptedAnswer();

}  // namespace plat::dlg
