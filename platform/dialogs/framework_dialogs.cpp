// The window framework's dialogs: the standard commands' file and print dialogs, help, and the
// classes of the controls and dialogs, installed into the framework by plat::InstallDialogs.
#include "platform/afxwin/framework_dialogs.h"

#include "platform/afxwin/doc_view.h"
#include "platform/afxwin/winapp.h"
#include "platform/dialogs/common_dialogs.h"

namespace plat {
namespace {

class FrameworkDialogs final : public afx::IFrameworkDialogs {
public:
    void RegisterClasses() override { RegisterDialogClasses(); }

    BOOL Help(HWND owner, LPCSTR helpFile, UINT command, ULONG_PTR data) override {
        return ::WinHelp(owner, helpFile, command, data);
    }

    void OpenFile(CWinApp& app) override {
        CFileDialog dlg(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, "Alla filer (*.*)|*.*||");
        if (dlg.DoModal() == IDOK) app.OpenDocumentFile(dlg.GetPathName());
    }

    void PrintSetup(CWinApp& app) override {
        CPrintDialog dlg(TRUE);
        PRINTDLG defaults;
        app.GetPrinterDeviceDefaults(&defaults);
        dlg.m_pd.hDevMode = app.m_hDevMode;
        dlg.m_pd.hDevNames = app.m_hDevNames;
        if (dlg.DoModal() == IDOK) {
            if (dlg.m_pd.hDevMode != app.m_hDevMode) GlobalFree(app.m_hDevMode);
            if (dlg.m_pd.hDevNames != app.m_hDevNames) GlobalFree(app.m_hDevNames);
            app.m_hDevMode = dlg.m_pd.hDevMode;
            app.m_hDevNames = dlg.m_pd.hDevNames;
        }
        dlg.m_pd.hDevMode = dlg.m_pd.hDevNames = nullptr;
    }

    BOOL PrinterDeviceDefaults(CWinApp& app, PRINTDLG* pd) override {
        if (!app.m_hDevNames) {
            PRINTDLG def;
            def.Flags = PD_RETURNDEFAULT;
            if (PrintDlg(&def)) {
                app.m_hDevMode = def.hDevMode;
                app.m_hDevNames = def.hDevNames;
            }
        }
        pd->hDevMode = app.m_hDevMode;
        pd->hDevNames = app.m_hDevNames;
        return app.m_hDevNames != nullptr;
    }

    CPrintDialog* NewPrintDialog() override { return new CPrintDialog(FALSE); }
    void DeletePrintDialog(CPrintDialog* dialog) override { delete dialog; }

    BOOL PreparePrinting(CPrintInfo* info) override {
        CPrintDialog* pd = info->m_pPD;
        if (info->m_bDirect) {
            if (!pd->GetDefaults()) return FALSE;
        } else if (pd->DoModal() != IDOK) {
            return FALSE;
        }
        if (!pd->m_pd.hDC) pd->CreatePrinterDC();
        return pd->m_pd.hDC != nullptr;
    }

    HDC TakePrinterDC(CPrintInfo* info) override {
        if (!info->m_pPD) return nullptr;
        HDC dc = info->m_pPD->m_pd.hDC;
        info->m_pPD->m_pd.hDC = nullptr;
        return dc;
    }
};

}  // namespace

void InstallDialogs() {
    static FrameworkDialogs dialogs;
    afx::SetFrameworkDialogs(&dialogs);
    RegisterDialogClasses();
}

}  // namespace plat
