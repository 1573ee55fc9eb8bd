// The state of one dialog data exchange (CWnd::UpdateData runs DoDataExchange with it): which
// way values go, and the control a failed check returns the focus to. The DDX_ and DDV_
// functions that use it are the dialogs' (platform/dialogs/dialog.h).
#pragma once

#include "platform/afxwin/cwnd.h"

class CDataExchange {
public:
    CDataExchange(CWnd* dialog, BOOL saveAndValidate) : m_bSaveAndValidate(saveAndValidate), m_pDlgWnd(dialog) {}

    BOOL m_bSaveAndValidate;  // TRUE: controls to members
    CWnd* m_pDlgWnd;
    HWND m_hWndLastControl = nullptr;
    BOOL m_bEditLastControl = FALSE;

    // The dialog's control with this id; a missing control is a program fault (it throws).
    HWND PrepareCtrl(int id);
    HWND PrepareEditCtrl(int id);
    // A check failed: the focus goes to the last control, UpdateData returns FALSE.
    [[noreturn]] void Fail();
};

namespace plat::afx {
// What Fail throws; UpdateData catches it.
struct DataExchangeFailure {};
}  // namespace plat::afx
