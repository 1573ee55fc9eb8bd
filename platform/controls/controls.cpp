// The control classes' members: each sends the control window its message.
#include "platform/controls/controls.h"

#include <cstring>

#include "platform/controls/controls_internal.h"

IMPLEMENT_DYNCREATE(CStatic, CWnd)
IMPLEMENT_DYNCREATE(CButton, CWnd)
IMPLEMENT_DYNCREATE(CEdit, CWnd)
IMPLEMENT_DYNCREATE(CListBox, CWnd)
IMPLEMENT_DYNCREATE(CComboBox, CWnd)
IMPLEMENT_DYNCREATE(CScrollBar, CWnd)

namespace {
LPARAM Text(LPCSTR s) {
    return reinterpret_cast<LPARAM>(s ? s : "");
}
}  // namespace

// ---- CStatic ------------------------------------------------------------------------------------
BOOL CStatic::Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    plat::RegisterControlClasses();
    return CWnd::Create("STATIC", text, style, rect, parent, id);
}
HICON CStatic::SetIcon(HICON icon) {
    return reinterpret_cast<HICON>(SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon)));
}
HICON CStatic::GetIcon() const {
    return reinterpret_cast<HICON>(SendMessage(STM_GETICON));
}
HBITMAP CStatic::SetBitmap(HBITMAP bitmap) {
    return reinterpret_cast<HBITMAP>(SendMessage(STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}
HBITMAP CStatic::GetBitmap() const {
    return reinterpret_cast<HBITMAP>(SendMessage(STM_GETIMAGE, IMAGE_BITMAP));
}

// ---- CButton ------------------------------------------------------------------------------------
BOOL CButton::Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    plat::RegisterControlClasses();
    return CWnd::Create("BUTTON", text, style, rect, parent, id);
}
UINT CButton::GetState() const {
    return static_cast<UINT>(SendMessage(BM_GETSTATE));
}
void CButton::SetState(BOOL highlight) {
    SendMessage(BM_SETSTATE, static_cast<WPARAM>(highlight));
}
int CButton::GetCheck() const {
    return static_cast<int>(SendMessage(BM_GETCHECK));
}
void CButton::SetCheck(int check) {
    SendMessage(BM_SETCHECK, static_cast<WPARAM>(check));
}
UINT CButton::GetButtonStyle() const {
    return static_cast<UINT>(GetStyle() & 0xFFFF);
}
void CButton::SetButtonStyle(UINT style, BOOL redraw) {
    SendMessage(BM_SETSTYLE, style, redraw);
}

// ---- CEdit --------------------------------------------------------------------------------------
BOOL CEdit::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    plat::RegisterControlClasses();
    return CWnd::Create("EDIT", nullptr, style, rect, parent, id);
}
void CEdit::SetSel(int start, int end, BOOL noScroll) {
    SendMessage(EM_SETSEL, static_cast<WPARAM>(start), end);
    if (!noScroll) SendMessage(EM_SCROLLCARET);
}
void CEdit::SetSel(DWORD selection, BOOL noScroll) {
    SetSel(static_cast<SHORT>(LOWORD(selection)), static_cast<SHORT>(HIWORD(selection)), noScroll);
}
DWORD CEdit::GetSel() const {
    return static_cast<DWORD>(SendMessage(EM_GETSEL));
}
void CEdit::GetSel(int& start, int& end) const {
    DWORD s = 0, e = 0;
    SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
    start = static_cast<int>(s);
    end = static_cast<int>(e);
}
void CEdit::ReplaceSel(LPCSTR text, BOOL canUndo) {
    SendMessage(EM_REPLACESEL, static_cast<WPARAM>(canUndo), Text(text));
}
void CEdit::LimitText(int max) {
    SendMessage(EM_LIMITTEXT, static_cast<WPARAM>(max));
}
UINT CEdit::GetLimitText() const {
    return static_cast<UINT>(SendMessage(EM_GETLIMITTEXT));
}
BOOL CEdit::SetReadOnly(BOOL readOnly) {
    return static_cast<BOOL>(SendMessage(EM_SETREADONLY, static_cast<WPARAM>(readOnly)));
}
BOOL CEdit::GetModify() const {
    return static_cast<BOOL>(SendMessage(EM_GETMODIFY));
}
void CEdit::SetModify(BOOL modified) {
    SendMessage(EM_SETMODIFY, static_cast<WPARAM>(modified));
}
BOOL CEdit::CanUndo() const {
    return static_cast<BOOL>(SendMessage(EM_CANUNDO));
}
BOOL CEdit::Undo() {
    return static_cast<BOOL>(SendMessage(EM_UNDO));
}
void CEdit::EmptyUndoBuffer() {
    SendMessage(EM_EMPTYUNDOBUFFER);
}
void CEdit::SetPasswordChar(char ch) {
    SendMessage(EM_SETPASSWORDCHAR, static_cast<uint8_t>(ch));
}
int CEdit::GetLineCount() const {
    return static_cast<int>(SendMessage(EM_GETLINECOUNT));
}
void CEdit::Clear() {
    SendMessage(WM_CLEAR);
}
void CEdit::Copy() {
    SendMessage(WM_COPY);
}
void CEdit::Cut() {
    SendMessage(WM_CUT);
}
void CEdit::Paste() {
    SendMessage(WM_PASTE);
}

// ---- CListBox -----------------------------------------------------------------------------------
BOOL CListBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    plat::RegisterControlClasses();
    return CWnd::Create("LISTBOX", nullptr, style, rect, parent, id);
}
int CListBox::GetCount() const {
    return static_cast<int>(SendMessage(LB_GETCOUNT));
}
int CListBox::GetCurSel() const {
    return static_cast<int>(SendMessage(LB_GETCURSEL));
}
int CListBox::SetCurSel(int index) {
    return static_cast<int>(SendMessage(LB_SETCURSEL, static_cast<WPARAM>(index)));
}
int CListBox::GetSel(int index) const {
    return static_cast<int>(SendMessage(LB_GETSEL, static_cast<WPARAM>(index)));
}
int CListBox::SetSel(int index, BOOL select) {
    return static_cast<int>(SendMessage(LB_SETSEL, static_cast<WPARAM>(select), index));
}
int CListBox::GetSelCount() const {
    return static_cast<int>(SendMessage(LB_GETSELCOUNT));
}
int CListBox::GetText(int index, LPSTR buffer) const {
    return static_cast<int>(SendMessage(LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)));
}
void CListBox::GetText(int index, CString& text) const {
    const int n = GetTextLen(index);
    if (n < 0) {
        text.Empty();
        return;
    }
    GetText(index, text.GetBuffer(n));
    text.ReleaseBuffer(n);
}
int CListBox::GetTextLen(int index) const {
    return static_cast<int>(SendMessage(LB_GETTEXTLEN, static_cast<WPARAM>(index)));
}
int CListBox::AddString(LPCSTR text) {
    return static_cast<int>(SendMessage(LB_ADDSTRING, 0, Text(text)));
}
int CListBox::InsertString(int index, LPCSTR text) {
    return static_cast<int>(SendMessage(LB_INSERTSTRING, static_cast<WPARAM>(index), Text(text)));
}
int CListBox::DeleteString(UINT index) {
    return static_cast<int>(SendMessage(LB_DELETESTRING, index));
}
void CListBox::ResetContent() {
    SendMessage(LB_RESETCONTENT);
}
int CListBox::FindString(int startAfter, LPCSTR text) const {
    return static_cast<int>(SendMessage(LB_FINDSTRING, static_cast<WPARAM>(startAfter), Text(text)));
}
int CListBox::FindStringExact(int startAfter, LPCSTR text) const {
    return static_cast<int>(SendMessage(LB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter), Text(text)));
}
int CListBox::SelectString(int startAfter, LPCSTR text) {
    return static_cast<int>(SendMessage(LB_SELECTSTRING, static_cast<WPARAM>(startAfter), Text(text)));
}
DWORD_PTR CListBox::GetItemData(int index) const {
    return static_cast<DWORD_PTR>(SendMessage(LB_GETITEMDATA, static_cast<WPARAM>(index)));
}
int CListBox::SetItemData(int index, DWORD_PTR data) {
    return static_cast<int>(SendMessage(LB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
}
int CListBox::GetTopIndex() const {
    return static_cast<int>(SendMessage(LB_GETTOPINDEX));
}
int CListBox::SetTopIndex(int index) {
    return static_cast<int>(SendMessage(LB_SETTOPINDEX, static_cast<WPARAM>(index)));
}
int CListBox::GetItemHeight(int index) const {
    return static_cast<int>(SendMessage(LB_GETITEMHEIGHT, static_cast<WPARAM>(index)));
}
int CListBox::SetItemHeight(int index, UINT height) {
    return static_cast<int>(SendMessage(LB_SETITEMHEIGHT, static_cast<WPARAM>(index), height));
}
int CListBox::GetItemRect(int index, LPRECT r) const {
    return static_cast<int>(SendMessage(LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(r)));
}
int CListBox::GetCaretIndex() const {
    return static_cast<int>(SendMessage(LB_GETCARETINDEX));
}
int CListBox::SetCaretIndex(int index, BOOL scroll) {
    return static_cast<int>(SendMessage(LB_SETCARETINDEX, static_cast<WPARAM>(index), scroll));
}

// ---- CComboBox ----------------------------------------------------------------------------------
BOOL CComboBox::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    plat::RegisterControlClasses();
    return CWnd::Create("COMBOBOX", nullptr, style, rect, parent, id);
}
int CComboBox::GetCount() const {
    return static_cast<int>(SendMessage(CB_GETCOUNT));
}
int CComboBox::GetCurSel() const {
    return static_cast<int>(SendMessage(CB_GETCURSEL));
}
int CComboBox::SetCurSel(int index) {
    return static_cast<int>(SendMessage(CB_SETCURSEL, static_cast<WPARAM>(index)));
}
int CComboBox::GetLBText(int index, LPSTR buffer) const {
    return static_cast<int>(SendMessage(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer)));
}
void CComboBox::GetLBText(int index, CString& text) const {
    const int n = GetLBTextLen(index);
    if (n < 0) {
        text.Empty();
        return;
    }
    GetLBText(index, text.GetBuffer(n));
    text.ReleaseBuffer(n);
}
int CComboBox::GetLBTextLen(int index) const {
    return static_cast<int>(SendMessage(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
}
int CComboBox::AddString(LPCSTR text) {
    return static_cast<int>(SendMessage(CB_ADDSTRING, 0, Text(text)));
}
int CComboBox::InsertString(int index, LPCSTR text) {
    return static_cast<int>(SendMessage(CB_INSERTSTRING, static_cast<WPARAM>(index), Text(text)));
}
int CComboBox::DeleteString(UINT index) {
    return static_cast<int>(SendMessage(CB_DELETESTRING, index));
}
void CComboBox::ResetContent() {
    SendMessage(CB_RESETCONTENT);
}
int CComboBox::FindString(int startAfter, LPCSTR text) const {
    return static_cast<int>(SendMessage(CB_FINDSTRING, static_cast<WPARAM>(startAfter), Text(text)));
}
int CComboBox::FindStringExact(int startAfter, LPCSTR text) const {
    return static_cast<int>(SendMessage(CB_FINDSTRINGEXACT, static_cast<WPARAM>(startAfter), Text(text)));
}
int CComboBox::SelectString(int startAfter, LPCSTR text) {
    return static_cast<int>(SendMessage(CB_SELECTSTRING, static_cast<WPARAM>(startAfter), Text(text)));
}
DWORD_PTR CComboBox::GetItemData(int index) const {
    return static_cast<DWORD_PTR>(SendMessage(CB_GETITEMDATA, static_cast<WPARAM>(index)));
}
int CComboBox::SetItemData(int index, DWORD_PTR data) {
    return static_cast<int>(SendMessage(CB_SETITEMDATA, static_cast<WPARAM>(index), static_cast<LPARAM>(data)));
}
void CComboBox::ShowDropDown(BOOL show) {
    SendMessage(CB_SHOWDROPDOWN, static_cast<WPARAM>(show));
}
BOOL CComboBox::GetDroppedState() const {
    return static_cast<BOOL>(SendMessage(CB_GETDROPPEDSTATE));
}
void CComboBox::GetDroppedControlRect(LPRECT r) const {
    SendMessage(CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(r));
}
int CComboBox::GetItemHeight(int index) const {
    return static_cast<int>(SendMessage(CB_GETITEMHEIGHT, static_cast<WPARAM>(index)));
}
int CComboBox::SetItemHeight(int index, UINT height) {
    return static_cast<int>(SendMessage(CB_SETITEMHEIGHT, static_cast<WPARAM>(index), height));
}

// ---- CScrollBar ---------------------------------------------------------------------------------
BOOL CScrollBar::Create(DWORD style, const RECT& rect, CWnd* parent, UINT id) {
    plat::RegisterControlClasses();
    return CWnd::Create("SCROLLBAR", nullptr, style, rect, parent, id);
}
int CScrollBar::GetScrollPos() const {
    return ::GetScrollPos(m_hWnd, SB_CTL);
}
int CScrollBar::SetScrollPos(int pos, BOOL redraw) {
    return ::SetScrollPos(m_hWnd, SB_CTL, pos, redraw);
}
void CScrollBar::GetScrollRange(LPINT minPos, LPINT maxPos) const {
    ::GetScrollRange(m_hWnd, SB_CTL, minPos, maxPos);
}
void CScrollBar::SetScrollRange(int minPos, int maxPos, BOOL redraw) {
    ::SetScrollRange(m_hWnd, SB_CTL, minPos, maxPos, redraw);
}
BOOL CScrollBar::SetScrollInfo(SCROLLINFO* info, BOOL redraw) {
    return ::SetScrollInfo(m_hWnd, SB_CTL, info, redraw) != 0 || info != nullptr;
}
BOOL CScrollBar::GetScrollInfo(SCROLLINFO* info, UINT mask) {
    if (!info) return FALSE;
    info->fMask = mask;
    return ::GetScrollInfo(m_hWnd, SB_CTL, info);
}
int CScrollBar::GetScrollLimit() {
    SCROLLINFO info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    ::GetScrollInfo(m_hWnd, SB_CTL, &info);
    return info.nPage > 0 ? info.nMax - static_cast<int>(info.nPage) + 1 : info.nMax;
}
void CScrollBar::ShowScrollBar(BOOL show) {
    ::ShowScrollBar(m_hWnd, SB_CTL, show);
}
BOOL CScrollBar::EnableScrollBar(UINT arrows) {
    return ::EnableScrollBar(m_hWnd, SB_CTL, arrows);
}
