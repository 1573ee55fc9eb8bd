// CDialog on the dialog manager, and the DDX_/DDV_ functions.
#include "platform/dialogs/dialog.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "platform/afx/message_box.h"
#include "platform/controls/controls_internal.h"
#include "platform/dialogs/dialog_manager.h"
#include "platform/afxwin/winapp.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

namespace plat::dlg {

// The dialog procedure of every CDialog: WM_INITDIALOG runs OnInitDialog; the rest goes to
// the object's message map before it reaches the dialog manager.
INT_PTR CALLBACK DialogObjectProc(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    if (msg != WM_INITDIALOG) return FALSE;
    auto* dlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hwnd));
    if (!dlg) return TRUE;
    RECT before;
    GetWindowRect(hwnd, &before);
    const DWORD styleBefore = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    const BOOL result = dlg->OnInitDialog();
    if (!IsWindow(hwnd)) return result;
    // As the class library does: a hidden pop-up that OnInitDialog left in place is centred.
    RECT after;
    GetWindowRect(hwnd, &after);
    const DWORD style = static_cast<DWORD>(GetWindowLong(hwnd, GWL_STYLE));
    if (!(styleBefore & WS_VISIBLE) && !(style & (WS_VISIBLE | WS_CHILD)) && before.left == after.left &&
        before.top == after.top && !(style & DS_ABSALIGN))
        dlg->CenterWindow();
    return result;
}

}  // namespace plat::dlg

namespace {

using plat::dlg::DialogObjectProc;

}  // namespace

// ---- DDX ----------------------------------------------------------------------------------------

namespace {

std::string ControlText(HWND c) {
    return plat::dlg::WindowText(c);
}

template <class T>
void TextNumber(CDataExchange* dx, int id, T& value, bool isSigned) {
    HWND c = dx->PrepareEditCtrl(id);
    if (!dx->m_bSaveAndValidate) {
        char buf[32];
        if (isSigned)
            std::snprintf(buf, sizeof(buf), "%lld", static_cast<long long>(value));
        else
            std::snprintf(buf, sizeof(buf), "%llu", static_cast<unsigned long long>(value));
        SetWindowText(c, buf);
        return;
    }
    std::string text = ControlText(c);
    const char* p = text.c_str();
    while (*p == ' ') ++p;
    char* end = nullptr;
    bool ok = *p != 0;
    long long v = 0;
    if (ok) {
        errno = 0;
        v = isSigned ? std::strtoll(p, &end, 10) : static_cast<long long>(std::strtoull(p, &end, 10));
        while (end && *end == ' ') ++end;
        ok = errno == 0 && end && *end == 0 && (isSigned || *p != '-');
    }
    if (ok) {
        const auto cast = static_cast<T>(v);
        ok = static_cast<long long>(cast) == v;
        if (ok) value = cast;
    }
    if (!ok) {
        AfxMessageBox(isSigned ? "Ange ett heltal." : "Ange ett positivt heltal.", MB_OK | MB_ICONEXCLAMATION);
        dx->Fail();
    }
}

// The radio buttons of the group that starts at the control with this id.
std::vector<HWND> RadioGroup(HWND first) {
    std::vector<HWND> group;
    for (HWND w = first; w; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w != first && (GetWindowLong(w, GWL_STYLE) & WS_GROUP)) break;
        if (SendMessage(w, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) group.push_back(w);
    }
    return group;
}

}  // namespace

void DDX_Text(CDataExchange* dx, int id, CString& value) {
    HWND c = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate)
        value = ControlText(c).c_str();
    else
        SetWindowText(c, value);
}
void DDX_Text(CDataExchange* dx, int id, int& value) {
    TextNumber(dx, id, value, true);
}
void DDX_Text(CDataExchange* dx, int id, UINT& value) {
    TextNumber(dx, id, value, false);
}
void DDX_Text(CDataExchange* dx, int id, long& value) {
    TextNumber(dx, id, value, true);
}
void DDX_Text(CDataExchange* dx, int id, unsigned long& value) {
    TextNumber(dx, id, value, false);
}
void DDX_Text(CDataExchange* dx, int id, short& value) {
    TextNumber(dx, id, value, true);
}
void DDX_Text(CDataExchange* dx, int id, BYTE& value) {
    TextNumber(dx, id, value, false);
}
void DDX_Text(CDataExchange* dx, int id, LPSTR buffer, int size) {
    HWND c = dx->PrepareEditCtrl(id);
    if (dx->m_bSaveAndValidate)
        GetWindowText(c, buffer, size);
    else
        SetWindowText(c, buffer);
}

void DDX_Check(CDataExchange* dx, int id, int& value) {
    HWND c = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate)
        value = static_cast<int>(SendMessage(c, BM_GETCHECK, 0, 0));
    else
        SendMessage(c, BM_SETCHECK, static_cast<WPARAM>(value < 0 || value > 2 ? 0 : value), 0);
}

void DDX_Radio(CDataExchange* dx, int id, int& value) {
    HWND first = dx->PrepareCtrl(id);
    const std::vector<HWND> group = RadioGroup(first);
    if (dx->m_bSaveAndValidate) {
        value = -1;
        for (size_t i = 0; i < group.size(); ++i)
            if (SendMessage(group[i], BM_GETCHECK, 0, 0) == BST_CHECKED) {
                value = static_cast<int>(i);
                break;
            }
        return;
    }
    for (size_t i = 0; i < group.size(); ++i)
        SendMessage(group[i], BM_SETCHECK, static_cast<int>(i) == value ? BST_CHECKED : BST_UNCHECKED, 0);
}

void DDX_Control(CDataExchange* dx, int id, CWnd& control) {
    if (control.m_hWnd) return;
    HWND c = dx->PrepareCtrl(id);
    if (!control.SubclassWindow(c)) throw std::logic_error("DDX_Control: control " + std::to_string(id) + " is taken");
}

void DDX_Scroll(CDataExchange* dx, int id, int& value) {
    HWND c = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate)
        value = GetScrollPos(c, SB_CTL);
    else
        SetScrollPos(c, SB_CTL, value, TRUE);
}

namespace {
void ListString(CDataExchange* dx, int id, CString& value, bool combo, bool exact) {
    HWND c = dx->PrepareCtrl(id);
    const UINT getCur = combo ? CB_GETCURSEL : LB_GETCURSEL;
    const UINT getLen = combo ? CB_GETLBTEXTLEN : LB_GETTEXTLEN;
    const UINT getText = combo ? CB_GETLBTEXT : LB_GETTEXT;
    if (dx->m_bSaveAndValidate) {
        const LRESULT cur = SendMessage(c, getCur, 0, 0);
        if (cur < 0) {
            value.Empty();
            return;
        }
        const LRESULT n = SendMessage(c, getLen, static_cast<WPARAM>(cur), 0);
        SendMessage(c, getText, static_cast<WPARAM>(cur), reinterpret_cast<LPARAM>(value.GetBuffer(static_cast<int>(n))));
        value.ReleaseBuffer(static_cast<int>(n));
        return;
    }
    const UINT find = exact ? (combo ? CB_FINDSTRINGEXACT : LB_FINDSTRINGEXACT) : (combo ? CB_FINDSTRING : LB_FINDSTRING);
    const LRESULT i = SendMessage(c, find, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(static_cast<LPCSTR>(value)));
    SendMessage(c, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(i), 0);
}
void ListIndex(CDataExchange* dx, int id, int& index, bool combo) {
    HWND c = dx->PrepareCtrl(id);
    if (dx->m_bSaveAndValidate)
        index = static_cast<int>(SendMessage(c, combo ? CB_GETCURSEL : LB_GETCURSEL, 0, 0));
    else
        SendMessage(c, combo ? CB_SETCURSEL : LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}
}  // namespace

void DDX_LBString(CDataExchange* dx, int id, CString& value) {
    ListString(dx, id, value, false, false);
}
void DDX_LBStringExact(CDataExchange* dx, int id, CString& value) {
    ListString(dx, id, value, false, true);
}
void DDX_LBIndex(CDataExchange* dx, int id, int& index) {
    ListIndex(dx, id, index, false);
}
void DDX_CBString(CDataExchange* dx, int id, CString& value) {
    ListString(dx, id, value, true, false);
}
void DDX_CBStringExact(CDataExchange* dx, int id, CString& value) {
    ListString(dx, id, value, true, true);
}
void DDX_CBIndex(CDataExchange* dx, int id, int& index) {
    ListIndex(dx, id, index, true);
}

void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars) {
    if (dx->m_bSaveAndValidate) {
        if (value.GetLength() > maxChars) {
            char text[96];
            std::snprintf(text, sizeof(text), "Ange h\xF6gst %d tecken.", maxChars);
            AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
            dx->Fail();
        }
    } else if (dx->m_hWndLastControl && dx->m_bEditLastControl) {
        SendMessage(dx->m_hWndLastControl, EM_LIMITTEXT, static_cast<WPARAM>(maxChars), 0);
    }
}

namespace {
template <class T>
void MinMax(CDataExchange* dx, T value, T lo, T hi, const char* format) {
    if (!dx->m_bSaveAndValidate || (value >= lo && value <= hi)) return;
    char text[128];
    std::snprintf(text, sizeof(text), format, lo, hi);
    AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    dx->Fail();
}
}  // namespace

void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue) {
    MinMax(dx, value, minValue, maxValue, "Ange ett heltal mellan %d och %d.");
}
void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minValue, UINT maxValue) {
    MinMax(dx, value, minValue, maxValue, "Ange ett heltal mellan %u och %u.");
}
void DDV_MinMaxLong(CDataExchange* dx, long value, long minValue, long maxValue) {
    MinMax(dx, value, minValue, maxValue, "Ange ett heltal mellan %ld och %ld.");
}

// ---- CDialog ------------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, OnOK)
    ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT templateId, CWnd* parent) : m_nIDTemplate(templateId), m_pParentWnd(parent) {
    m_lpszTemplateName = MAKEINTRESOURCE(templateId);
    m_nIDHelp = templateId;
}

CDialog::CDialog(LPCSTR templateName, CWnd* parent) : m_lpszTemplateName(templateName), m_pParentWnd(parent) {
    m_nIDTemplate = plat::ResourceId(templateName);
}

CDialog::~CDialog() {
    if (m_hWnd && IsWindow(m_hWnd)) DestroyWindow();
}

const plat::DialogTemplate* CDialog::Template() const {
    if (m_lpDialogTemplate) return m_lpDialogTemplate;
    return plat::FindDialogTemplate(m_lpszTemplateName);
}

HWND CDialog::ModalOwner() const {
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    while (owner && (GetWindowLong(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
    if (!owner) owner = plat::CurrentModal();
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        owner = main ? main->m_hWnd : nullptr;
    }
    return IsWindow(owner) ? owner : nullptr;
}

BOOL CDialog::InitModalIndirect(const plat::DialogTemplate* tmpl, CWnd* parent) {
    m_lpDialogTemplate = tmpl;
    m_pParentWnd = parent;
    return tmpl != nullptr;
}

INT_PTR CDialog::DoModal() {
    const plat::DialogTemplate* tmpl = Template();
    if (!tmpl || m_hWnd) return -1;
    plat::dlg::DialogOptions options;
    options.hidden = true;
    plat::afx::ExpectCreation(this);
    HWND dlg = plat::dlg::CreateFromTemplate(*tmpl, ModalOwner(), DialogObjectProc, 0, options);
    plat::afx::CancelCreation(this);
    if (!dlg) return -1;
    return plat::dlg::RunModalLoop(dlg, [dlg](MSG& m) { return CWnd::WalkPreTranslateTree(dlg, &m) != FALSE; });
}

BOOL CDialog::Create(UINT templateId, CWnd* parent) {
    return Create(MAKEINTRESOURCE(templateId), parent);
}

BOOL CDialog::Create(LPCSTR templateName, CWnd* parent) {
    m_lpszTemplateName = templateName;
    m_nIDTemplate = plat::ResourceId(templateName);
    return CreateIndirect(plat::FindDialogTemplate(templateName), parent);
}

BOOL CDialog::CreateIndirect(const plat::DialogTemplate* tmpl, CWnd* parent) {
    if (!tmpl || m_hWnd) return FALSE;
    m_pParentWnd = parent;
    HWND owner = parent ? parent->m_hWnd : nullptr;
    if (!owner) {
        CWnd* main = AfxGetMainWnd();
        owner = main ? main->m_hWnd : nullptr;
    }
    plat::afx::ExpectCreation(this);
    HWND dlg = plat::dlg::CreateFromTemplate(*tmpl, owner, DialogObjectProc, 0);
    plat::afx::CancelCreation(this);
    return dlg != nullptr;
}

void CDialog::EndDialog(int result) {
    if (m_hWnd) ::EndDialog(m_hWnd, result);
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK() {
    if (!UpdateData(TRUE)) return;
    EndDialog(IDOK);
}

void CDialog::OnCancel() {
    EndDialog(IDCANCEL);
}

BOOL CDialog::PreTranslateMessage(MSG* msg) {
    // Pages inside another dialog leave the keys to it.
    if (GetStyle() & WS_CHILD) return FALSE;
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
    return ::IsDialogMessage(m_hWnd, msg);
}

void CDialog::NextDlgCtrl() const {
    ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 0, 0);
}

void CDialog::PrevDlgCtrl() const {
    ::SendMessage(m_hWnd, WM_NEXTDLGCTL, 1, 0);
}

void CDialog::GotoDlgCtrl(CWnd* control) {
    if (control) ::SendMessage(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control->m_hWnd), 1);
}

void CDialog::SetDefID(UINT id) {
    ::SendMessage(m_hWnd, DM_SETDEFID, id, 0);
}

DWORD CDialog::GetDefID() const {
    return static_cast<DWORD>(::SendMessage(m_hWnd, DM_GETDEFID, 0, 0));
}

void CDialog::MapDialogRect(LPRECT r) const {
    ::MapDialogRect(m_hWnd, r);
}
