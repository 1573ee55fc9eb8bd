// Print set-up: the printers listed, orientation, paper and colour chosen in the dialog
// coming back as a device mode and names, and the default printer without a dialog.
#include "platform/dialogs/dialogs_test_support.h"

namespace {

using dialogs_test::DialogsTest;

constexpr int kPrinterBox = 1136;
constexpr int kPaperBox = 1137;
constexpr int kLandscape = 1057;
constexpr int kMono = 1059;

class Spooler : public plat::IPrintSpooler {
public:
    std::vector<std::string> Printers() override { return {"Kontor", "Hemma"}; }
    std::string DefaultPrinter() override { return "Hemma"; }
    bool Submit(const std::string&, const std::string&, const std::vector<std::filesystem::path>&, int,
                std::string*) override {
        return true;
    }
};

class PrintSetup : public DialogsTest {
protected:
    static std::vector<std::string> Items(int id) {
        for (const plat::ControlState& c : plat::DescribeDialog(plat::ActiveDialog()))
            if (c.id == id) return c.items;
        return {};
    }
};

TEST_F(PrintSetup, ChoicesComeBackAsDeviceModeAndNames) {
    plat::SetPrintSpooler(std::make_unique<Spooler>());
    CPrintDialog dlg(TRUE);
    Later(10, [] {
        EXPECT_EQ(plat::dlg::WindowText(plat::ActiveDialog()), "Skrivarinst\xE4llningar");
        EXPECT_EQ(Items(kPrinterBox), (std::vector<std::string>{"Kontor", "Hemma"}));
        // The spooler's default printer is chosen at first.
        EXPECT_EQ(plat::dlg::WindowText(plat::FindDialogItem(plat::ActiveDialog(), kPrinterBox)), "Hemma");
        HWND printers = plat::FindDialogItem(plat::ActiveDialog(), kPrinterBox);
        SetFocus(printers);
    });
    Key(20, VK_UP);  // to "Kontor"
    ClickItem(30, kLandscape);
    ClickItem(40, kMono);
    Later(50, [] {
        HWND paper = plat::FindDialogItem(plat::ActiveDialog(), kPaperBox);
        SendMessage(paper, CB_SETCURSEL, 1, 0);
    });
    ClickItem(60, IDOK);
    ASSERT_EQ(dlg.DoModal(), IDOK);
    EXPECT_EQ(dlg.GetDeviceName(), "Kontor");
    EXPECT_EQ(dlg.GetDriverName(), plat::kSpoolerDriver);
    EXPECT_EQ(dlg.GetPortName(), plat::kSpoolerPort);
    DEVMODE* dm = dlg.GetDevMode();
    ASSERT_NE(dm, nullptr);
    EXPECT_EQ(dm->dmSize, sizeof(DEVMODE));
    EXPECT_STREQ(dm->dmDeviceName, "Kontor");
    EXPECT_EQ(dm->dmOrientation, DMORIENT_LANDSCAPE);
    EXPECT_EQ(dm->dmColor, DMCOLOR_MONOCHROME);
    EXPECT_EQ(dm->dmPaperSize, DMPAPER_LETTER);
    GlobalUnlock(dlg.m_pd.hDevMode);
    GlobalFree(dlg.m_pd.hDevMode);
    GlobalFree(dlg.m_pd.hDevNames);
}

TEST_F(PrintSetup, StartsFromAGivenDeviceModeAndLeavesTheCallersBlockAlone) {
    plat::PrinterInfo file;
    file.name = plat::kFilePrinterName;
    DEVMODE given = plat::DefaultDevMode(file);
    given.dmOrientation = DMORIENT_LANDSCAPE;
    HGLOBAL mine = plat::MakeDevModeHandle(given);
    PRINTDLG pd;
    pd.Flags = PD_PRINTSETUP;
    pd.hDevMode = mine;
    Later(10, [] {
        EXPECT_EQ(IsDlgButtonChecked(plat::ActiveDialog(), kLandscape), static_cast<UINT>(BST_CHECKED));
    });
    Key(20, VK_ESCAPE, 0x1B);
    EXPECT_FALSE(PrintDlg(&pd));
    EXPECT_EQ(pd.hDevMode, mine);
    // Cancel or OK, the caller's block stays its own to free.
    ClickItem(10, IDOK);
    ASSERT_TRUE(PrintDlg(&pd));
    EXPECT_NE(pd.hDevMode, mine);
    EXPECT_EQ(GlobalFree(mine), nullptr);
    EXPECT_EQ(static_cast<DEVMODE*>(GlobalLock(pd.hDevMode))->dmOrientation, DMORIENT_LANDSCAPE);
    GlobalUnlock(pd.hDevMode);
    GlobalFree(pd.hDevMode);
    GlobalFree(pd.hDevNames);
}

TEST_F(PrintSetup, DefaultPrinterWithoutADialogAndItsPrinterDc) {
    PRINTDLG pd;
    pd.Flags = PD_RETURNDEFAULT | PD_RETURNDC;
    ASSERT_TRUE(PrintDlg(&pd));
    std::string driver, device, port;
    ASSERT_TRUE(plat::ReadDevNames(pd.hDevNames, driver, device, port));
    EXPECT_EQ(device, plat::kFilePrinterName);
    ASSERT_NE(pd.hDC, nullptr);
    EXPECT_EQ(GetDeviceCaps(pd.hDC, TECHNOLOGY), DT_RASPRINTER);
    DeleteDC(pd.hDC);
    // A DEVNAMES block that lies about its offsets reads as nothing.
    HGLOBAL bad = GlobalAlloc(GHND, sizeof(DEVNAMES) + 4);
    auto* dn = static_cast<DEVNAMES*>(GlobalLock(bad));
    dn->wDeviceOffset = 60000;
    GlobalUnlock(bad);
    EXPECT_FALSE(plat::ReadDevNames(bad, driver, device, port));
    GlobalFree(bad);
    GlobalFree(pd.hDevMode);
    GlobalFree(pd.hDevNames);
}

}  // namespace
