// CDialog (modal with DoModal, modeless with Create) on the program's dialog templates, and
// dialog data exchange: DDX_ functions move values between controls and members in
// DoDataExchange, DDV_ functions check them; UpdateData runs it.
#pragma once

#include "platform/controls/controls.h"
#include "platform/afxwin/cwnd.h"
#include "platform/afxwin/data_exchange.h"
#include "platform/dialogs/resources.h"


void DDX_Text(CDataExchange* dx, int id, CString& value);
void DDX_Text(CDataExchange* dx, int id, int& value);
void DDX_Text(CDataExchange* dx, int id, UINT& value);
void DDX_Text(CDataExchange* dx, int id, long& value);
void DDX_Text(CDataExchange* dx, int id, unsigned long& value);
void DDX_Text(CDataExchange* dx, int id, short& value);
void DDX_Text(CDataExchange* dx, int id, BYTE& value);
void DDX_Text(CDataExchange* dx, int id, LPSTR buffer, int size);
void DDX_Check(CDataExchange* dx, int id, int& value);
// id is the group's first radio button; value is the index of the checked one (-1: none).
void DDX_Radio(CDataExchange* dx, int id, int& value);
// Attaches control (once) to the dialog's control with this id.
void DDX_Control(CDataExchange* dx, int id, CWnd& control);
void DDX_Scroll(CDataExchange* dx, int id, int& value);
void DDX_LBString(CDataExchange* dx, int id, CString& value);
void DDX_LBStringExact(CDataExchange* dx, int id, CString& value);
void DDX_LBIndex(CDataExchange* dx, int id, int& index);
void DDX_CBString(CDataExchange* dx, int id, CString& value);
void DDX_CBStringExact(CDataExchange* dx, int id, CString& value);
void DDX_CBIndex(CDataExchange* dx, int id, int& index);
// Checks on saving (a message and Fail when out of range); DDV_MaxChars also limits the edit.
void DDV_MaxChars(CDataExchange* dx, const CString& value, int maxChars);
void DDV_MinMaxInt(CDataExchange* dx, int value, int minValue, int maxValue);
void DDV_MinMaxUInt(CDataExchange* dx, UINT value, UINT minValue, UINT maxValue);
void DDV_MinMaxLong(CDataExchange* dx, long value, long minValue, long maxValue);

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog();
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    explicit CDialog(LPCSTR templateName, CWnd* parent = nullptr);
    ~CDialog() override;

    // Modal: runs until EndDialog and returns its code (-1 when the dialog cannot be made).
    virtual INT_PTR DoModal();
    BOOL InitModalIndirect(const plat::DialogTemplate* tmpl, CWnd* parent = nullptr);
    // Modeless: made at once, shown when the template says WS_VISIBLE; ended by DestroyWindow.
    virtual BOOL Create(UINT templateId, CWnd* parent = nullptr);
    virtual BOOL Create(LPCSTR templateName, CWnd* parent = nullptr);
    BOOL CreateIndirect(const plat::DialogTemplate* tmpl, CWnd* parent = nullptr);
    void EndDialog(int result);

    virtual BOOL OnInitDialog();
    virtual void OnOK();
    virtual void OnCancel();
    BOOL PreTranslateMessage(MSG* msg) override;

    void NextDlgCtrl() const;
    void PrevDlgCtrl() const;
    void GotoDlgCtrl(CWnd* control);
    void SetDefID(UINT id);
    DWORD GetDefID() const;
    void MapDialogRect(LPRECT r) const;

    UINT m_nIDHelp = 0;
    LPCSTR m_lpszTemplateName = nullptr;
    UINT m_nIDTemplate = 0;
    const plat::DialogTemplate* m_lpDialogTemplate = nullptr;
    CWnd* m_pParentWnd = nullptr;

    using CWnd::Create;

protected:
    // The template this dialog is made from, or null.
    const plat::DialogTemplate* Template() const;
    // The owner a modal dialog gets: the parent's top window, else the running modal
    // dialog, else the main window.
    HWND ModalOwner() const;

    DECLARE_MESSAGE_MAP()
};
