// Shared by the dialog manager, the help viewer and the common dialogs only.
#pragma once

#include <string>

#include "platform/controls/controls_internal.h"
#include "platform/dialogs/dialog_api.h"

namespace plat::dlg {

// The window procedures of the dialog class "#32770" and of the help viewer's text view.
LRESULT CALLBACK DialogClassProc(HWND, UINT, WPARAM, LPARAM);
LRESULT CALLBACK TextViewProc(HWND, UINT, WPARAM, LPARAM);
inline constexpr const char* kTextViewClass = "ZelboTextView";

// Dialog window extra bytes: DWLP_MSGRESULT, DWLP_DLGPROC, DWLP_USER, then our state.
inline constexpr int kDialogStateSlot = 3 * static_cast<int>(sizeof(LONG_PTR));
inline constexpr int kDialogExtraBytes = 4 * static_cast<int>(sizeof(LONG_PTR));

// A help file's title and text: Windows-1252 text as it is, HTML without its tags (UTF-8
// when its head says so). False for an empty file.
bool HelpFileText(std::string data, std::string& title, std::string& text);

// CommDlgExtendedError's answer.
void SetCommDlgError(DWORD code);

}  // namespace plat::dlg
