#include "setup/setwell/progress_dlg.h"

namespace setup {

IMPLEMENT_DYNAMIC(CProgressDlg, CDialog)

CProgressDlg::CProgressDlg(CWnd* parent) { Create(kProgressDialog, parent); }

CProgressDlg::~CProgressDlg() = default;

BOOL CProgressDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CenterWindow();
    return TRUE;
}

void CProgressDlg::SetProgressCaption(const std::string& text) {
    m_caption = text;
    if (m_hWnd) SetWindowText(m_caption.c_str());
}

void CProgressDlg::SetProgressText(const std::string& text) {
    if (!m_hWnd) return;
    SetDlgItemText(kIdcProgressText, text.c_str());
    MSG msg;
    while (::PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
        if (CWinApp* app = AfxGetApp()) {
            if (!app->PumpMessage()) break;
            continue;
        }
        if (!::GetMessage(&msg, nullptr, 0, 0)) {
            PostQuitMessage(static_cast<int>(msg.wParam));  // for the program's own loop
            break;
        }
        if (!::IsDialogMessage(m_hWnd, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
    }
}

}  // namespace setup
