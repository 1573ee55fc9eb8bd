// The common dialogs: file open and save (browsing the DOS namespace: drives, folders,
// files by the chosen filter) and print set-up (the printer list, orientation, colour), as
// Windows calls (GetOpenFileName, GetSaveFileName, PrintDlg) and as the class library's
// CFileDialog and CPrintDialog.
#pragma once

#include <string>
#include <vector>

#include "platform/dialogs/dialog.h"
#include "platform/print/print.h"

using LPOFNHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);

struct OPENFILENAME {
    DWORD lStructSize = sizeof(OPENFILENAME);
    HWND hwndOwner = nullptr;
    HINSTANCE hInstance = nullptr;
    LPCSTR lpstrFilter = nullptr;  // pairs of NUL-ended strings, ending in an empty one
    LPSTR lpstrCustomFilter = nullptr;
    DWORD nMaxCustFilter = 0;
    DWORD nFilterIndex = 0;  // from 1
    LPSTR lpstrFile = nullptr;  // in: the first name shown; out: the full path
    DWORD nMaxFile = 0;
    LPSTR lpstrFileTitle = nullptr;  // out: the name without its folder
    DWORD nMaxFileTitle = 0;
    LPCSTR lpstrInitialDir = nullptr;
    LPCSTR lpstrTitle = nullptr;
    DWORD Flags = 0;
    WORD nFileOffset = 0;
    WORD nFileExtension = 0;
    LPCSTR lpstrDefExt = nullptr;
    LPARAM lCustData = 0;
    LPOFNHOOKPROC lpfnHook = nullptr;
    LPCSTR lpTemplateName = nullptr;
};
using OPENFILENAMEA = OPENFILENAME;

inline constexpr DWORD OFN_READONLY = 0x00000001;
inline constexpr DWORD OFN_OVERWRITEPROMPT = 0x00000002;
inline constexpr DWORD OFN_HIDEREADONLY = 0x00000004;
inline constexpr DWORD OFN_NOCHANGEDIR = 0x00000008;
inline constexpr DWORD OFN_SHOWHELP = 0x00000010;
inline constexpr DWORD OFN_ENABLEHOOK = 0x00000020;
inline constexpr DWORD OFN_NOVALIDATE = 0x00000100;
inline constexpr DWORD OFN_ALLOWMULTISELECT = 0x00000200;
inline constexpr DWORD OFN_EXTENSIONDIFFERENT = 0x00000400;
inline constexpr DWORD OFN_PATHMUSTEXIST = 0x00000800;
inline constexpr DWORD OFN_FILEMUSTEXIST = 0x00001000;
inline constexpr DWORD OFN_CREATEPROMPT = 0x00002000;
inline constexpr DWORD OFN_NOREADONLYRETURN = 0x00008000;
inline constexpr DWORD OFN_NOTESTFILECREATE = 0x00010000;
inline constexpr DWORD OFN_EXPLORER = 0x00080000;
inline constexpr DWORD OFN_LONGNAMES = 0x00200000;

struct DEVNAMES {
    WORD wDriverOffset = 0;
    WORD wDeviceOffset = 0;
    WORD wOutputOffset = 0;
    WORD wDefault = 0;
};
inline constexpr WORD DN_DEFAULTPRN = 0x0001;

using LPPRINTHOOKPROC = UINT_PTR (*)(HWND, UINT, WPARAM, LPARAM);
struct PRINTDLG {
    DWORD lStructSize = sizeof(PRINTDLG);
    HWND hwndOwner = nullptr;
    HGLOBAL hDevMode = nullptr;   // a DEVMODE
    HGLOBAL hDevNames = nullptr;  // a DEVNAMES followed by the driver, device and port names
    HDC hDC = nullptr;
    DWORD Flags = 0;
    WORD nFromPage = 0;
    WORD nToPage = 0;
    WORD nMinPage = 0;
    WORD nMaxPage = 0;
    WORD nCopies = 1;
    HINSTANCE hInstance = nullptr;
    LPARAM lCustData = 0;
    LPPRINTHOOKPROC lpfnPrintHook = nullptr;
    LPPRINTHOOKPROC lpfnSetupHook = nullptr;
    LPCSTR lpPrintTemplateName = nullptr;
    LPCSTR lpSetupTemplateName = nullptr;
    HGLOBAL hPrintTemplate = nullptr;
    HGLOBAL hSetupTemplate = nullptr;
};
using PRINTDLGA = PRINTDLG;
using LPPRINTDLG = PRINTDLG*;

inline constexpr DWORD PD_ALLPAGES = 0x00000000;
inline constexpr DWORD PD_SELECTION = 0x00000001;
inline constexpr DWORD PD_PAGENUMS = 0x00000002;
inline constexpr DWORD PD_NOSELECTION = 0x00000004;
inline constexpr DWORD PD_NOPAGENUMS = 0x00000008;
inline constexpr DWORD PD_COLLATE = 0x00000010;
inline constexpr DWORD PD_PRINTTOFILE = 0x00000020;
inline constexpr DWORD PD_PRINTSETUP = 0x00000040;
inline constexpr DWORD PD_NOWARNING = 0x00000080;
inline constexpr DWORD PD_RETURNDC = 0x00000100;
inline constexpr DWORD PD_RETURNIC = 0x00000200;
inline constexpr DWORD PD_RETURNDEFAULT = 0x00000400;
inline constexpr DWORD PD_SHOWHELP = 0x00000800;
inline constexpr DWORD PD_USEDEVMODECOPIES = 0x00040000;
inline constexpr DWORD PD_DISABLEPRINTTOFILE = 0x00080000;
inline constexpr DWORD PD_HIDEPRINTTOFILE = 0x00100000;
inline constexpr DWORD PD_NONETWORKBUTTON = 0x00200000;
inline constexpr DWORD CDERR_GENERALCODES = 0;
inline constexpr DWORD PDERR_NODEFAULTPRN = 0x1008;
inline constexpr DWORD FNERR_BUFFERTOOSMALL = 0x3003;

// TRUE when a name was chosen (filled into lpstrFile, nFileOffset, nFileExtension,
// lpstrFileTitle, nFilterIndex); FALSE on Cancel or a too small buffer (CommDlgExtendedError).
BOOL GetOpenFileName(OPENFILENAME* ofn);
BOOL GetSaveFileName(OPENFILENAME* ofn);
inline BOOL GetOpenFileNameA(OPENFILENAME* ofn) {
    return GetOpenFileName(ofn);
}
inline BOOL GetSaveFileNameA(OPENFILENAME* ofn) {
    return GetSaveFileName(ofn);
}
// Print set-up (PD_PRINTSETUP) or the default printer at once (PD_RETURNDEFAULT); the
// device mode and names come back in new memory handles (the caller frees them).
BOOL PrintDlg(PRINTDLG* pd);
inline BOOL PrintDlgA(PRINTDLG* pd) {
    return PrintDlg(pd);
}
DWORD CommDlgExtendedError();

// The file dialog. A derived class may refuse a chosen name in OnFileNameOK (showing its
// own message); the dialog then stays open.
class CFileDialog : public CDialog {
    DECLARE_DYNAMIC(CFileDialog)
public:
    // The filter is "Description|pattern;pattern|...||".
    explicit CFileDialog(BOOL openFileDialog, LPCSTR defaultExt = nullptr, LPCSTR fileName = nullptr,
                         DWORD flags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCSTR filter = nullptr,
                         CWnd* parent = nullptr);
    ~CFileDialog() override;

    INT_PTR DoModal() override;
    CString GetPathName() const;
    CString GetFileName() const;
    CString GetFileExt() const;
    CString GetFileTitle() const;
    BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }

    OPENFILENAME m_ofn;
    BOOL m_bOpenFileDialog;

    // TRUE refuses the name now in m_ofn (the dialog stays open).
    virtual BOOL OnFileNameOK();

    BOOL OnInitDialog() override;
    void OnOK() override;

protected:
    afx_msg void OnListSelChange();
    afx_msg void OnListDblClk();
    afx_msg void OnFolderChange();
    afx_msg void OnTypeChange();
    DECLARE_MESSAGE_MAP()

    // Shows a folder (a DOS path); false when it is not one.
    bool GoTo(const std::string& folder);
    void FillFolderBox();
    void FillList();
    // The name typed (or chosen) is checked; true when the dialog may end.
    bool Accept(std::string typed);
    int Message(const std::string& text, UINT type);

    std::string m_filter;  // '|' turned into NUL
    std::string m_file;    // lpstrFile's buffer
    std::string m_title;   // lpstrFileTitle's buffer
    std::string m_defExt;
    std::string m_initialDir;
    std::string m_caption;
    // While the dialog runs.
    std::string m_folder;
    std::string m_patternOverride;
    std::vector<std::string> m_filterNames;
    std::vector<std::string> m_filterPatterns;
    std::vector<std::string> m_folderPaths;
};

// The print set-up dialog (bPrintSetupOnly) or the default printer's names and device mode.
class CPrintDialog : public CDialog {
    DECLARE_DYNAMIC(CPrintDialog)
public:
    explicit CPrintDialog(BOOL printSetupOnly,
                          DWORD flags = PD_ALLPAGES | PD_USEDEVMODECOPIES | PD_NOPAGENUMS | PD_HIDEPRINTTOFILE |
                                        PD_NOSELECTION,
                          CWnd* parent = nullptr);
    ~CPrintDialog() override;

    INT_PTR DoModal() override;
    BOOL GetDefaults();
    DEVMODE* GetDevMode() const;  // locked memory of m_pd.hDevMode
    CString GetDriverName() const;
    CString GetDeviceName() const;
    CString GetPortName() const;
    HDC GetPrinterDC() const { return m_pd.hDC; }
    HDC CreatePrinterDC();
    int GetCopies() const { return m_pd.nCopies; }

    PRINTDLG m_pd;
};

namespace plat {
// Memory handles for a printer's device mode and names, as PrintDlg returns them.
HGLOBAL MakeDevModeHandle(const DEVMODE& dm);
HGLOBAL MakeDevNamesHandle(const PrinterInfo& printer, bool isDefault);
// The names kept in a DEVNAMES handle (empty strings when damaged).
bool ReadDevNames(HGLOBAL devNames, std::string& driver, std::string& device, std::string& port);
}  // namespace plat
