// The class library's control classes: thin CWnd wrappers that talk to the control windows
// with their messages (CStatic, CButton, CEdit, CListBox, CComboBox, CScrollBar). A program
// class derived from one of them and attached to a dialog's control with SubclassDlgItem or
// DDX_Control sees the control's messages first (a character filter on WM_CHAR, a slider that
// draws a scroll bar itself ...).
#pragma once

#include "platform/afxwin/cwnd.h"

class CStatic : public CWnd {
    DECLARE_DYNCREATE(CStatic)
public:
    using CWnd::Create;
    BOOL Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id = 0xFFFF);
    HICON SetIcon(HICON icon);
    HICON GetIcon() const;
    HBITMAP SetBitmap(HBITMAP bitmap);
    HBITMAP GetBitmap() const;
};

class CButton : public CWnd {
    DECLARE_DYNCREATE(CButton)
public:
    using CWnd::Create;
    BOOL Create(LPCSTR text, DWORD style, const RECT& rect, CWnd* parent, UINT id);
    UINT GetState() const;
    void SetState(BOOL highlight);
    int GetCheck() const;
    void SetCheck(int check);
    UINT GetButtonStyle() const;
    void SetButtonStyle(UINT style, BOOL redraw = TRUE);
};

class CEdit : public CWnd {
    DECLARE_DYNCREATE(CEdit)
public:
    using CWnd::Create;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    void SetSel(int start, int end, BOOL noScroll = FALSE);
    void SetSel(DWORD selection, BOOL noScroll = FALSE);
    DWORD GetSel() const;
    void GetSel(int& start, int& end) const;
    void ReplaceSel(LPCSTR text, BOOL canUndo = FALSE);
    void LimitText(int max = 0);
    void SetLimitText(UINT max) { LimitText(static_cast<int>(max)); }
    UINT GetLimitText() const;
    BOOL SetReadOnly(BOOL readOnly = TRUE);
    BOOL GetModify() const;
    void SetModify(BOOL modified = TRUE);
    BOOL CanUndo() const;
    BOOL Undo();
    void EmptyUndoBuffer();
    void SetPasswordChar(char ch);
    int GetLineCount() const;
    void Clear();
    void Copy();
    void Cut();
    void Paste();
};

class CListBox : public CWnd {
    DECLARE_DYNCREATE(CListBox)
public:
    using CWnd::Create;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    int GetSel(int index) const;
    int SetSel(int index, BOOL select = TRUE);
    int GetSelCount() const;
    int GetText(int index, LPSTR buffer) const;
    void GetText(int index, CString& text) const;
    int GetTextLen(int index) const;
    int AddString(LPCSTR text);
    int InsertString(int index, LPCSTR text);
    int DeleteString(UINT index);
    void ResetContent();
    int FindString(int startAfter, LPCSTR text) const;
    int FindStringExact(int startAfter, LPCSTR text) const;
    int SelectString(int startAfter, LPCSTR text);
    DWORD_PTR GetItemData(int index) const;
    int SetItemData(int index, DWORD_PTR data);
    int GetTopIndex() const;
    int SetTopIndex(int index);
    int GetItemHeight(int index) const;
    int SetItemHeight(int index, UINT height);
    int GetItemRect(int index, LPRECT r) const;
    int GetCaretIndex() const;
    int SetCaretIndex(int index, BOOL scroll = TRUE);
};

class CComboBox : public CWnd {
    DECLARE_DYNCREATE(CComboBox)
public:
    using CWnd::Create;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetCount() const;
    int GetCurSel() const;
    int SetCurSel(int index);
    int GetLBText(int index, LPSTR buffer) const;
    void GetLBText(int index, CString& text) const;
    int GetLBTextLen(int index) const;
    int AddString(LPCSTR text);
    int InsertString(int index, LPCSTR text);
    int DeleteString(UINT index);
    void ResetContent();
    int FindString(int startAfter, LPCSTR text) const;
    int FindStringExact(int startAfter, LPCSTR text) const;
    int SelectString(int startAfter, LPCSTR text);
    DWORD_PTR GetItemData(int index) const;
    int SetItemData(int index, DWORD_PTR data);
    void ShowDropDown(BOOL show = TRUE);
    BOOL GetDroppedState() const;
    void GetDroppedControlRect(LPRECT r) const;
    int GetItemHeight(int index) const;
    int SetItemHeight(int index, UINT height);
};

class CScrollBar : public CWnd {
    DECLARE_DYNCREATE(CScrollBar)
public:
    using CWnd::Create;
    BOOL Create(DWORD style, const RECT& rect, CWnd* parent, UINT id);
    int GetScrollPos() const;
    int SetScrollPos(int pos, BOOL redraw = TRUE);
    void GetScrollRange(LPINT minPos, LPINT maxPos) const;
    void SetScrollRange(int minPos, int maxPos, BOOL redraw = TRUE);
    BOOL SetScrollInfo(SCROLLINFO* info, BOOL redraw = TRUE);
    BOOL GetScrollInfo(SCROLLINFO* info, UINT mask = SIF_ALL);
    int GetScrollLimit();
    void ShowScrollBar(BOOL show = TRUE);
    BOOL EnableScrollBar(UINT arrows = ESB_ENABLE_BOTH);
};
