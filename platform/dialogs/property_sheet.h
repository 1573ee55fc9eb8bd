// CPropertySheet and CPropertyPage: a dialog with a row of tabs, one page (a child dialog on
// its own template) shown at a time and made the first time it is shown, and the standard
// buttons OK, Avbryt, Verkställ (unless PSH_NOAPPLYNOW) and Hjälp (with PSH_HASHELP). A sheet
// may hide them and add buttons of its own; its message map sees every command before the
// standard handling. DoModal returns the code given to EndDialog.
#pragma once

#include <string>
#include <vector>

#include "platform/dialogs/dialog.h"

inline constexpr DWORD PSH_NOAPPLYNOW = 0x00000080;
inline constexpr DWORD PSH_HASHELP = 0x00000200;
inline constexpr DWORD PSP_HASHELP = 0x00000020;
inline constexpr int PSBTN_OK = 3;
inline constexpr int PSBTN_APPLYNOW = 4;
inline constexpr int PSBTN_CANCEL = 5;
inline constexpr int PSBTN_HELP = 6;

struct PROPSHEETHEADER {
    DWORD dwSize = sizeof(PROPSHEETHEADER);
    DWORD dwFlags = 0;
    HWND hwndParent = nullptr;
    UINT nStartPage = 0;
};
struct PROPSHEETPAGE {
    DWORD dwSize = sizeof(PROPSHEETPAGE);
    DWORD dwFlags = 0;
};

class CPropertySheet;

class CPropertyPage : public CDialog {
    DECLARE_DYNAMIC(CPropertyPage)
public:
    CPropertyPage();
    explicit CPropertyPage(UINT templateId, UINT captionId = 0);
    explicit CPropertyPage(LPCSTR templateName, UINT captionId = 0);
    void Construct(UINT templateId, UINT captionId = 0);

    // The page comes to the front (TRUE: it may); the first time its window was just made.
    virtual BOOL OnSetActive();
    // The page goes away (FALSE keeps it): its controls are stored (UpdateData).
    virtual BOOL OnKillActive();
    // OK or Apply for each page that was made; Cancel likewise.
    void OnOK() override;
    void OnCancel() override;
    virtual BOOL OnApply();
    virtual void OnReset();
    virtual BOOL OnQueryCancel();
    void SetModified(BOOL changed = TRUE);
    void CancelToClose();
    BOOL PreTranslateMessage(MSG* msg) override;

    // The tab's text: the caption string, else the template's caption.
    CString GetTitle() const;

    PROPSHEETPAGE m_psp;
    CString m_strCaption;
    BOOL m_bFirstSetActive = TRUE;

protected:
    DECLARE_MESSAGE_MAP()
    friend class CPropertySheet;
    CPropertySheet* m_pSheet = nullptr;
};

class CPropertySheet : public CWnd {
    DECLARE_DYNAMIC(CPropertySheet)
public:
    CPropertySheet();
    explicit CPropertySheet(UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);
    explicit CPropertySheet(LPCSTR caption, CWnd* parent = nullptr, UINT selectPage = 0);
    ~CPropertySheet() override;
    void Construct(UINT captionId, CWnd* parent = nullptr, UINT selectPage = 0);
    void Construct(LPCSTR caption, CWnd* parent = nullptr, UINT selectPage = 0);

    void AddPage(CPropertyPage* page);
    void RemovePage(CPropertyPage* page);
    void RemovePage(int index);
    int GetPageCount() const { return static_cast<int>(m_pages.size()); }
    CPropertyPage* GetPage(int index) const;
    CPropertyPage* GetActivePage() const;
    int GetActiveIndex() const { return m_active; }
    int GetPageIndex(CPropertyPage* page) const;
    BOOL SetActivePage(int index);
    BOOL SetActivePage(CPropertyPage* page);
    void SetTitle(LPCSTR title, UINT style = 0);
    CWnd* GetTabControl() const;

    virtual INT_PTR DoModal();
    // Modeless: shown at once; ended by DestroyWindow.
    using CWnd::Create;
    virtual BOOL Create(CWnd* parent = nullptr, DWORD style = static_cast<DWORD>(-1), DWORD exStyle = 0);
    void EndDialog(int result);
    BOOL PressButton(int button);
    virtual BOOL OnInitDialog();
    BOOL PreTranslateMessage(MSG* msg) override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* result) override;

    PROPSHEETHEADER m_psh;
    CString m_strCaption;
    CWnd* m_pParentWnd = nullptr;

protected:
    afx_msg void OnPaint();
    DECLARE_MESSAGE_MAP()

    HWND MakeWindow(bool modal);
    void CreatePage(int index);
    RECT PageRect() const;
    bool Activate(int index);
    void DefaultOk();
    void DefaultCancel();
    void DefaultApply();
    void PageChanged();

    std::vector<CPropertyPage*> m_pages;
    int m_active = -1;
    plat::DialogTemplate m_template;
    std::u8string m_captionUtf8;
    RECT m_frame{};  // around the pages, client coordinates
    SIZE m_pageSize{};

    friend class CPropertyPage;
};
