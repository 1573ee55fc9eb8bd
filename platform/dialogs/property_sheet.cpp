// Property sheets and pages on the dialog manager: the sheet is a dialog window with the
// tabs and the standard buttons; each page is a child dialog made when first shown.
#include "platform/dialogs/property_sheet.h"

#include <algorithm>

#include "platform/afx/string_table.h"
#include "platform/afxwin/cdc.h"
#include "platform/controls/controls_internal.h"
#include "platform/dialogs/dialog_manager.h"
#include "platform/strings/cp1252.h"

IMPLEMENT_DYNAMIC(CPropertyPage, CDialog)
IMPLEMENT_DYNAMIC(CPropertySheet, CWnd)

namespace {

constexpr int kMargin = 7;
constexpr int kTabStrip = 21;  // the tab control's height: tabs and the frame's top line
constexpr int kButtonWidth = 75;
constexpr int kButtonHeight = 23;
constexpr int kButtonGap = 6;

INT_PTR CALLBACK SheetProc(HWND hwnd, UINT msg, WPARAM, LPARAM) {
    if (msg != WM_INITDIALOG) return FALSE;
    auto* sheet = dynamic_cast<CPropertySheet*>(CWnd::FromHandlePermanent(hwnd));
    return sheet ? sheet->OnInitDialog() : TRUE;
}

std::u8string ToUtf8(const CString& s) {
    const std::string u = plat::Cp1252ToUtf8(s.View());
    return std::u8string(u.begin(), u.end());
}

}  // namespace

// ---- CPropertyPage ------------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPropertyPage, CDialog)
END_MESSAGE_MAP()

CPropertyPage::CPropertyPage() = default;

CPropertyPage::CPropertyPage(UINT templateId, UINT captionId) {
    Construct(templateId, captionId);
}

CPropertyPage::CPropertyPage(LPCSTR templateName, UINT captionId) {
    m_lpszTemplateName = templateName;
    m_nIDTemplate = plat::ResourceId(templateName);
    if (captionId) m_strCaption.LoadString(captionId);
}

void CPropertyPage::Construct(UINT templateId, UINT captionId) {
    m_nIDTemplate = templateId;
    m_lpszTemplateName = MAKEINTRESOURCE(templateId);
    m_nIDHelp = templateId;
    if (captionId) m_strCaption.LoadString(captionId);
}

CString CPropertyPage::GetTitle() const {
    if (!m_strCaption.IsEmpty()) return m_strCaption;
    const plat::DialogTemplate* t = Template();
    return t && t->caption ? CString(plat::Utf8ToCp1252(reinterpret_cast<const char*>(t->caption)).c_str()) : CString();
}

BOOL CPropertyPage::OnSetActive() {
    if (m_bFirstSetActive)
        m_bFirstSetActive = FALSE;
    else
        UpdateData(FALSE);
    return TRUE;
}

BOOL CPropertyPage::OnKillActive() {
    return UpdateData(TRUE);
}

void CPropertyPage::OnOK() {}
void CPropertyPage::OnCancel() {}
BOOL CPropertyPage::OnApply() {
    OnOK();
    return TRUE;
}
void CPropertyPage::OnReset() {
    OnCancel();
}
BOOL CPropertyPage::OnQueryCancel() {
    return TRUE;
}

void CPropertyPage::SetModified(BOOL changed) {
    if (m_pSheet && m_pSheet->m_hWnd)
        if (HWND apply = ::GetDlgItem(m_pSheet->m_hWnd, ID_APPLY_NOW)) ::EnableWindow(apply, changed);
}

void CPropertyPage::CancelToClose() {
    if (!m_pSheet || !m_pSheet->m_hWnd) return;
    ::SetDlgItemText(m_pSheet->m_hWnd, IDOK, "St\xE4ng");
    if (HWND cancel = ::GetDlgItem(m_pSheet->m_hWnd, IDCANCEL)) ::EnableWindow(cancel, FALSE);
}

BOOL CPropertyPage::PreTranslateMessage(MSG*) {
    // The sheet runs the keyboard for its pages.
    return FALSE;
}

// ---- CPropertySheet -----------------------------------------------------------------------------

BEGIN_MESSAGE_MAP(CPropertySheet, CWnd)
    ON_WM_PAINT()
END_MESSAGE_MAP()

CPropertySheet::CPropertySheet() = default;

CPropertySheet::CPropertySheet(UINT captionId, CWnd* parent, UINT selectPage) {
    Construct(captionId, parent, selectPage);
}

CPropertySheet::CPropertySheet(LPCSTR caption, CWnd* parent, UINT selectPage) {
    Construct(caption, parent, selectPage);
}

CPropertySheet::~CPropertySheet() {
    // The pages are often members of a derived sheet and already gone: they are not touched.
    if (m_hWnd && IsWindow(m_hWnd)) DestroyWindow();
}

void CPropertySheet::Construct(UINT captionId, CWnd* parent, UINT selectPage) {
    m_strCaption.LoadString(captionId);
    m_pParentWnd = parent;
    m_psh.nStartPage = selectPage;
}

void CPropertySheet::Construct(LPCSTR caption, CWnd* parent, UINT selectPage) {
    m_strCaption = caption;
    m_pParentWnd = parent;
    m_psh.nStartPage = selectPage;
}

void CPropertySheet::AddPage(CPropertyPage* page) {
    if (!page || std::find(m_pages.begin(), m_pages.end(), page) != m_pages.end()) return;
    page->m_pSheet = this;
    m_pages.push_back(page);
    if (m_hWnd) {
        if (CWnd* tab = GetTabControl()) {
            const CString title = page->GetTitle();
            TCITEM item;
            item.pszText = const_cast<LPSTR>(static_cast<LPCSTR>(title));
            tab->SendMessage(TCM_INSERTITEM, m_pages.size() - 1, reinterpret_cast<LPARAM>(&item));
        }
    }
}

void CPropertySheet::RemovePage(CPropertyPage* page) {
    RemovePage(GetPageIndex(page));
}

void CPropertySheet::RemovePage(int index) {
    if (index < 0 || index >= GetPageCount()) return;
    CPropertyPage* page = m_pages[static_cast<size_t>(index)];
    if (index == m_active && GetPageCount() > 1) Activate(index == 0 ? 1 : index - 1);
    if (page->m_hWnd) page->DestroyWindow();
    page->m_pSheet = nullptr;
    m_pages.erase(m_pages.begin() + index);
    if (m_active > index) --m_active;
    if (CWnd* tab = GetTabControl()) {
        tab->SendMessage(TCM_DELETEITEM, static_cast<WPARAM>(index));
        tab->SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(std::max(m_active, 0)));
    }
}

CPropertyPage* CPropertySheet::GetPage(int index) const {
    return index >= 0 && index < GetPageCount() ? m_pages[static_cast<size_t>(index)] : nullptr;
}

CPropertyPage* CPropertySheet::GetActivePage() const {
    return GetPage(m_active);
}

int CPropertySheet::GetPageIndex(CPropertyPage* page) const {
    auto it = std::find(m_pages.begin(), m_pages.end(), page);
    return it == m_pages.end() ? -1 : static_cast<int>(it - m_pages.begin());
}

BOOL CPropertySheet::SetActivePage(int index) {
    if (index < 0 || index >= GetPageCount()) return FALSE;
    if (!m_hWnd) {
        m_psh.nStartPage = static_cast<UINT>(index);
        return TRUE;
    }
    return Activate(index) ? TRUE : FALSE;
}

BOOL CPropertySheet::SetActivePage(CPropertyPage* page) {
    return SetActivePage(GetPageIndex(page));
}

void CPropertySheet::SetTitle(LPCSTR title, UINT) {
    m_strCaption = title;
    if (m_hWnd) SetWindowText(title);
}

CWnd* CPropertySheet::GetTabControl() const {
    return m_hWnd ? FromHandle(::GetDlgItem(m_hWnd, AFX_IDC_TAB_CONTROL)) : nullptr;
}

RECT CPropertySheet::PageRect() const {
    return RECT{m_frame.left + 2, m_frame.top + 2, m_frame.left + 2 + m_pageSize.cx, m_frame.top + 2 + m_pageSize.cy};
}

HWND CPropertySheet::MakeWindow(bool modal) {
    m_captionUtf8 = ToUtf8(m_strCaption);
    m_template = plat::DialogTemplate{};
    m_template.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_3DLOOK | DS_SETFONT;
    m_template.caption = m_captionUtf8.c_str();
    plat::dlg::DialogOptions options;
    options.hidden = true;
    options.deferInit = true;
    HWND owner = m_pParentWnd ? m_pParentWnd->m_hWnd : nullptr;
    while (owner && (GetWindowLong(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
    if (!owner && modal) owner = plat::CurrentModal();
    if (!owner && AfxGetMainWnd()) owner = AfxGetMainWnd()->m_hWnd;
    plat::afx::ExpectCreation(this);
    HWND sheet = plat::dlg::CreateFromTemplate(m_template, IsWindow(owner) ? owner : nullptr, SheetProc, 0, options);
    plat::afx::CancelCreation(this);
    if (!sheet) return nullptr;

    // The largest page sets the size.
    m_pageSize = SIZE{0, 0};
    for (CPropertyPage* page : m_pages) {
        const plat::DialogTemplate* t = page->Template();
        if (!t) continue;
        RECT r{0, 0, t->cx, t->cy};
        ::MapDialogRect(sheet, &r);
        m_pageSize.cx = std::max(m_pageSize.cx, r.right);
        m_pageSize.cy = std::max(m_pageSize.cy, r.bottom);
    }
    HFONT font = reinterpret_cast<HFONT>(::SendMessage(sheet, WM_GETFONT, 0, 0));
    const int frameWidth = m_pageSize.cx + 4;
    m_frame = RECT{kMargin, kMargin + kTabStrip - 1, kMargin + frameWidth, kMargin + kTabStrip - 1 + m_pageSize.cy + 4};
    HWND tab = CreateWindowEx(0, WC_TABCONTROL, "", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_GROUP, kMargin, kMargin,
                              frameWidth, kTabStrip, sheet, reinterpret_cast<HMENU>(uintptr_t(AFX_IDC_TAB_CONTROL)),
                              nullptr, nullptr);
    ::SendMessage(tab, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
    for (size_t i = 0; i < m_pages.size(); ++i) {
        const CString title = m_pages[i]->GetTitle();
        TCITEM item;
        item.pszText = const_cast<LPSTR>(static_cast<LPCSTR>(title));
        ::SendMessage(tab, TCM_INSERTITEM, i, reinterpret_cast<LPARAM>(&item));
    }
    struct Std {
        int id;
        const char* text;
        bool shown;
    };
    const Std buttons[] = {{IDOK, "OK", true},
                           {IDCANCEL, "Avbryt", true},
                           {static_cast<int>(ID_APPLY_NOW), "&Verkst\xE4ll", !(m_psh.dwFlags & PSH_NOAPPLYNOW)},
                           {static_cast<int>(ID_HELP), "Hj\xE4lp", (m_psh.dwFlags & PSH_HASHELP) != 0}};
    int shown = 0;
    for (const Std& b : buttons) shown += b.shown ? 1 : 0;
    int x = m_frame.right - shown * kButtonWidth - (shown - 1) * kButtonGap;
    const int y = m_frame.bottom + kMargin;
    for (const Std& b : buttons) {
        if (!b.shown) continue;
        DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (b.id == IDOK ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
        if (b.id == static_cast<int>(ID_APPLY_NOW)) style |= WS_DISABLED;
        HWND w = CreateWindowEx(0, "BUTTON", b.text, style, x, y, kButtonWidth, kButtonHeight, sheet,
                                reinterpret_cast<HMENU>(static_cast<intptr_t>(b.id)), nullptr, nullptr);
        ::SendMessage(w, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
        x += kButtonWidth + kButtonGap;
    }
    ::SendMessage(sheet, DM_SETDEFID, IDOK, 0);
    // Size: the client holds the frame and the buttons with margins.
    const int clientW = m_frame.right + kMargin, clientH = y + kButtonHeight + kMargin;
    const SIZE extra = plat::dlg::NonClientExtra(sheet);
    ::SetWindowPos(sheet, nullptr, 0, 0, clientW + extra.cx, clientH + extra.cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    CenterWindow();
    plat::dlg::InitDialog(sheet, 0);
    return IsWindow(sheet) ? sheet : nullptr;
}

void CPropertySheet::CreatePage(int index) {
    CPropertyPage* page = m_pages[static_cast<size_t>(index)];
    const plat::DialogTemplate* t = page->Template();
    if (!t || page->m_hWnd) return;
    plat::dlg::DialogOptions options;
    options.asChild = true;
    options.hidden = true;
    plat::afx::ExpectCreation(page);
    HWND h = plat::dlg::CreateFromTemplate(*t, m_hWnd, plat::dlg::DialogObjectProc, 0, options);
    plat::afx::CancelCreation(page);
    if (!h) return;
    const RECT r = PageRect();
    // Just after the tabs: pages come before the buttons in the Tab order.
    ::SetWindowPos(h, ::GetDlgItem(m_hWnd, AFX_IDC_TAB_CONTROL), r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOACTIVATE);
}

bool CPropertySheet::Activate(int index) {
    if (index < 0 || index >= GetPageCount()) return false;
    if (index == m_active) return true;
    CPropertyPage* old = GetPage(m_active);
    if (old && old->m_hWnd && !old->OnKillActive()) return false;
    CPropertyPage* page = m_pages[static_cast<size_t>(index)];
    const bool made = page->m_hWnd == nullptr;
    if (made) CreatePage(index);
    if (!page->m_hWnd) return false;
    if (!page->OnSetActive()) return false;
    HWND focus = ::GetFocus();
    const bool focusInOld = old && old->m_hWnd && focus && ::IsChild(old->m_hWnd, focus);
    if (old && old->m_hWnd) ::ShowWindow(old->m_hWnd, SW_HIDE);
    ::ShowWindow(page->m_hWnd, SW_SHOWNA);
    m_active = index;
    if (CWnd* tab = GetTabControl()) {
        tab->SendMessage(TCM_SETCURSEL, static_cast<WPARAM>(index));
        if (focusInOld) tab->SetFocus();
    }
    return true;
}

BOOL CPropertySheet::OnInitDialog() {
    const int start = std::clamp(static_cast<int>(m_psh.nStartPage), 0, std::max(0, GetPageCount() - 1));
    if (GetPageCount() > 0) Activate(start);
    return TRUE;
}

INT_PTR CPropertySheet::DoModal() {
    if (m_hWnd) return -1;
    HWND sheet = MakeWindow(true);
    if (!sheet) return -1;
    return plat::dlg::RunModalLoop(sheet, [sheet](MSG& m) { return CWnd::WalkPreTranslateTree(sheet, &m) != FALSE; });
}

BOOL CPropertySheet::Create(CWnd* parent, DWORD, DWORD) {
    if (m_hWnd) return FALSE;
    if (parent) m_pParentWnd = parent;
    HWND sheet = MakeWindow(false);
    if (!sheet) return FALSE;
    plat::dlg::ShowDialog(sheet);
    return TRUE;
}

void CPropertySheet::EndDialog(int result) {
    if (m_hWnd) ::EndDialog(m_hWnd, result);
}

BOOL CPropertySheet::PressButton(int button) {
    int id = 0;
    switch (button) {
        case PSBTN_OK: id = IDOK; break;
        case PSBTN_CANCEL: id = IDCANCEL; break;
        case PSBTN_APPLYNOW: id = static_cast<int>(ID_APPLY_NOW); break;
        case PSBTN_HELP: id = static_cast<int>(ID_HELP); break;
        default: return FALSE;
    }
    SendMessage(WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(m_hWnd, id)));
    return TRUE;
}

BOOL CPropertySheet::PreTranslateMessage(MSG* msg) {
    if (msg->message < WM_KEYFIRST || msg->message > WM_KEYLAST) return FALSE;
    if (msg->hwnd != m_hWnd && !::IsChild(m_hWnd, msg->hwnd)) return FALSE;
    if (msg->message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0 && GetPageCount() > 1) {
        const bool back = GetKeyState(VK_SHIFT) < 0;
        int step = 0;
        if (msg->wParam == VK_TAB) step = back ? -1 : 1;
        if (msg->wParam == VK_NEXT) step = 1;
        if (msg->wParam == VK_PRIOR) step = -1;
        if (step) {
            const int n = GetPageCount();
            Activate(((m_active + step) % n + n) % n);
            return TRUE;
        }
    }
    return ::IsDialogMessage(m_hWnd, msg);
}

void CPropertySheet::DefaultOk() {
    CPropertyPage* active = GetActivePage();
    if (active && active->m_hWnd && !active->OnKillActive()) return;
    for (CPropertyPage* p : m_pages)
        if (p->m_hWnd) p->OnApply();
    EndDialog(IDOK);
}

void CPropertySheet::DefaultCancel() {
    for (CPropertyPage* p : m_pages)
        if (p->m_hWnd && !p->OnQueryCancel()) return;
    for (CPropertyPage* p : m_pages)
        if (p->m_hWnd) p->OnReset();
    EndDialog(IDCANCEL);
}

void CPropertySheet::DefaultApply() {
    CPropertyPage* active = GetActivePage();
    if (active && active->m_hWnd && !active->OnKillActive()) return;
    for (CPropertyPage* p : m_pages)
        if (p->m_hWnd) p->OnApply();
    if (HWND apply = ::GetDlgItem(m_hWnd, ID_APPLY_NOW)) ::EnableWindow(apply, FALSE);
}

BOOL CPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (CWnd::OnCommand(wParam, lParam)) return TRUE;
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wParam)) {
        case IDOK: DefaultOk(); return TRUE;
        case IDCANCEL: DefaultCancel(); return TRUE;
        default: break;
    }
    if (LOWORD(wParam) == ID_APPLY_NOW) {
        DefaultApply();
        return TRUE;
    }
    if (LOWORD(wParam) == ID_HELP) {
        if (CPropertyPage* p = GetActivePage(); p && p->m_hWnd) p->SendMessage(WM_COMMAND, MAKEWPARAM(ID_HELP, BN_CLICKED));
        return TRUE;
    }
    return FALSE;
}

BOOL CPropertySheet::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) {
    if (CWnd::OnNotify(wParam, lParam, result)) return TRUE;
    const auto* nm = reinterpret_cast<const NMHDR*>(lParam);
    if (!nm || nm->idFrom != AFX_IDC_TAB_CONTROL) return FALSE;
    if (nm->code == TCN_SELCHANGING) {
        CPropertyPage* active = GetActivePage();
        *result = active && active->m_hWnd && !active->OnKillActive() ? TRUE : FALSE;
        return TRUE;
    }
    if (nm->code == TCN_SELCHANGE) {
        const int wanted = static_cast<int>(::SendMessage(nm->hwndFrom, TCM_GETCURSEL, 0, 0));
        // The old page already agreed to go in TCN_SELCHANGING.
        const int old = m_active;
        m_active = -1;
        if (old >= 0 && old < GetPageCount() && m_pages[static_cast<size_t>(old)]->m_hWnd)
            ::ShowWindow(m_pages[static_cast<size_t>(old)]->m_hWnd, SW_HIDE);
        if (!Activate(wanted)) {
            m_active = -1;
            Activate(old);
        }
        *result = 0;
        return TRUE;
    }
    return FALSE;
}

void CPropertySheet::OnPaint() {
    CPaintDC dc(this);
    // The frame around the pages (the tab control draws its top line).
    const RECT& f = m_frame;
    plat::dlg::Fill(dc, f.left, f.top + 1, f.left + 1, f.bottom - 1, plat::dlg::kHighlight);
    plat::dlg::Fill(dc, f.right - 1, f.top + 1, f.right, f.bottom, plat::dlg::kDark);
    plat::dlg::Fill(dc, f.right - 2, f.top + 2, f.right - 1, f.bottom - 1, plat::dlg::kShadow);
    plat::dlg::Fill(dc, f.left, f.bottom - 1, f.right, f.bottom, plat::dlg::kDark);
    plat::dlg::Fill(dc, f.left + 1, f.bottom - 2, f.right - 1, f.bottom - 1, plat::dlg::kShadow);
}
