// CDataExchange: the control of each exchange, and a failed check.
#include "platform/afxwin/data_exchange.h"

#include <stdexcept>
#include <string>

namespace {

[[noreturn]] void MissingControl(int id) {
    throw std::logic_error("dialog data exchange: no control with id " + std::to_string(id));
}

}  // namespace

HWND CDataExchange::PrepareCtrl(int id) {
    HWND c = ::GetDlgItem(m_pDlgWnd->m_hWnd, id);
    if (!c) MissingControl(id);
    m_hWndLastControl = c;
    m_bEditLastControl = FALSE;
    return c;
}

HWND CDataExchange::PrepareEditCtrl(int id) {
    HWND c = PrepareCtrl(id);
    m_bEditLastControl = TRUE;
    return c;
}

void CDataExchange::Fail() {
    if (m_bSaveAndValidate && m_hWndLastControl && IsWindow(m_hWndLastControl)) {
        SetFocus(m_hWndLastControl);
        if (m_bEditLastControl) SendMessage(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    throw plat::afx::DataExchangeFailure{};
}
