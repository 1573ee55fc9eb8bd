// Picture printing on a started engine through the toolbox's print host: the spot of the
// current module on the frame surface, the printer and device mode of the player's record,
// the engine's printing and message flags and busy level during the job and after it, on
// success and after every failure.
#include "engine/toolbox/picture_print_hosting.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/engine_test_support.h"
#include "engine/core/zelbo_title.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/palette_wrappers.h"
#include "media/print/picture_print_host.h"
#include "media/print/picture_printing.h"
#include "media/print/printer_faults_test_support.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "platform/afx/message_box.h"
#include "platform/dialogs/common_dialogs.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/headless/golden_test_support.h"
#include "platform/print/print.h"
#include "platform/profile/profile.h"

namespace {

namespace fs = std::filesystem;

class CPrintTitle : public CZelboTitle {
public:
    ~CPrintTitle() override { Shutdown(); }
    ModuleFunctionTable* GetModuleTable(int module) override { return module == 1 ? &table : nullptr; }
    ModuleFunctionTable table{};
};

// What the engine holds at a moment of the job.
struct EngineFlags {
    int32_t printing = -1;
    int32_t messageShowing = -1;
    int32_t busyLevel = -1;
    bool progressBox = false;
    bool progressOwnedByMainWindow = false;
};

EngineFlags FlagsNow(HWND mainWindow) {
    EngineFlags f;
    f.printing = theEngine->m_printing;
    f.messageShowing = theEngine->m_messageShowing;
    f.busyLevel = theEngine->m_busyLevel;
    const HWND box = FindWindow(nullptr, "Skriver ut...");
    f.progressBox = box != nullptr;
    f.progressOwnedByMainWindow = box && ::GetParent(box) == mainWindow;
    return f;
}

// The spooler's printers "Kontor" and "Hem" (the default); a job records the engine's flags.
class CFlagSpooler : public plat::IPrintSpooler {
public:
    explicit CFlagSpooler(HWND mainWindow, std::vector<std::pair<std::string, EngineFlags>>* jobs)
        : m_main(mainWindow), m_jobs(jobs) {}
    std::vector<std::string> Printers() override { return {"Kontor", "Hem"}; }
    std::string DefaultPrinter() override { return "Hem"; }
    bool Submit(const std::string& printer, const std::string&, const std::vector<fs::path>&, int,
                std::string*) override {
        m_jobs->emplace_back(printer, FlagsNow(m_main));
        return true;
    }

private:
    HWND m_main;
    std::vector<std::pair<std::string, EngineFlags>>* m_jobs;
};

// Colours set into the game palette for the picture.
constexpr uint8_t kLeft = 100, kRight = 101, kAround = 102;

class PicturePrintHostingTest : public enginetest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        plat::InstallDialogs();
        media::RegisterPicturePrintingResources();
        InitDibSystem(nullptr, TRUE, 0);
        plat::SetPrintSpooler(nullptr);
        plat::SetPrintFolder(tmp / "prints");
        PutSharedFile(root / "Prog");
        PutModuleFile(root / "Prog", 1, ModuleFile(1));
        title.Startup(programFolder);
        title.m_currentModule = 1;
        m_before = InstallPicturePrintHost();
        m_oldHook = plat::SetMessageBoxHook([this](LPCSTR text, UINT, UINT) {
            messages.emplace_back(text, FlagsNow(mainWnd.GetSafeHwnd()));
            return IDOK;
        });
        SetPrintMode(kPrintColour);

        PALETTEENTRY colours[256] = {};
        colours[kLeft] = {200, 30, 40, 0};
        colours[kRight] = {30, 160, 60, 0};
        colours[kAround] = {240, 240, 250, 0};
        ASSERT_EQ(SetGamePaletteEntries(kLeft, 3, colours), 3u);
        PALETTEENTRY now[256];
        ASSERT_EQ(GetGamePaletteEntries(0, 256, now), 256u);
        left = now[kLeft];
        right = now[kRight];
        // The picture: the spot's left half one colour, its right half another, the rest a third.
        CDibG& frame = *title.m_frameSurface;
        frame.Fill(kAround);
        for (int y = 100; y < 120; ++y)
            for (int x = 40; x < 80; ++x) frame.SetPixel(x, y, x < 60 ? kLeft : kRight);
        EngineCreateSpot(100, CCorRect{40, 100, 80, 120});
    }
    void TearDown() override {
        plat::SetPrinterFault(plat::PrinterFault::kNone);
        plat::SetMessageBoxHook(m_oldHook);
        SetPicturePrintHost(m_before);
        SetPrintMode(kPrintAuto);
        plat::ResetPrintSpooler();
        plat::SetPrintFolder({});
        EngineTest::TearDown();
        ShutdownDibSystem();
    }
    // The player's record names the printer, with the device mode the print set-up gave.
    void ChoosePrinter(const char* driver, const char* device, const char* port, int dpi) {
        CUserPrefs& prefs = title.m_prefs;
        std::strncpy(prefs.printerDriver, driver, sizeof prefs.printerDriver - 1);
        std::strncpy(prefs.printerDevice, device, sizeof prefs.printerDevice - 1);
        std::strncpy(prefs.printerPort, port, sizeof prefs.printerPort - 1);
        prefs.printerDriver[sizeof prefs.printerDriver - 1] = '\0';
        prefs.printerDevice[sizeof prefs.printerDevice - 1] = '\0';
        prefs.printerPort[sizeof prefs.printerPort - 1] = '\0';
        plat::PrinterInfo p;
        p.name = device;
        DEVMODE dm = plat::DefaultDevMode(p);
        dm.dmYResolution = dm.dmPrintQuality = static_cast<int16_t>(dpi);
        std::memcpy(prefs.printerSetup, &dm, sizeof prefs.printerSetup);
    }
    static bool Is(const std::vector<uint8_t>& rgb, int w, int x, int y, const PALETTEENTRY& e) {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
        return p[0] == e.peRed && p[1] == e.peGreen && p[2] == e.peBlue;
    }

    CPrintTitle title;
    IPicturePrintHost* m_before = nullptr;
    plat::MessageBoxHook m_oldHook;
    std::vector<std::pair<std::string, EngineFlags>> messages;
    PALETTEENTRY left{}, right{};
};

// The player's record chooses the file printer at 75 dots per inch: an A4 page of 620 x 877
// (the default printer would print at 300). The spot (40 x 20) fills the page's width, 310
// high from row 283, its left half in the left colour.
TEST_F(PicturePrintHostingTest, PrintsTheModulesSpotOnThePlayersPrinterWithItsDeviceMode) {
    ChoosePrinter(plat::kFilePrinterDriver, plat::kFilePrinterName, plat::kFilePrinterPort, 75);
    PrintPicture(100);
    EXPECT_TRUE(messages.empty());
    ASSERT_EQ(plat::LastPrintedFiles().size(), 1u);
    EXPECT_EQ(plat::LastPrintedFiles()[0].filename().string(), "Trumlaby Picture.png");
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(plat::test::ReadPngRgb(plat::LastPrintedFiles()[0].string(), w, h, rgb));
    ASSERT_EQ(w, 620);
    ASSERT_EQ(h, 877);
    const PALETTEENTRY white{255, 255, 255, 0};
    EXPECT_TRUE(Is(rgb, w, 100, 282, white));
    EXPECT_TRUE(Is(rgb, w, 100, 283, left));
    EXPECT_TRUE(Is(rgb, w, 0, 400, left));
    EXPECT_TRUE(Is(rgb, w, 309, 400, left));
    EXPECT_TRUE(Is(rgb, w, 310, 400, right));
    EXPECT_TRUE(Is(rgb, w, 619, 592, right));
    EXPECT_TRUE(Is(rgb, w, 500, 593, white));
    EXPECT_EQ(title.m_printing, 0);
    EXPECT_EQ(title.m_busyLevel, 0);
    EXPECT_EQ(plat::OpenPrinterContexts(), 0);

    // A spot the module does not have prints nothing.
    PrintPicture(101);
    EXPECT_EQ(std::distance(fs::directory_iterator(tmp / "prints"), fs::directory_iterator()), 1);
}

// Through the spooler: the printer the record names (or WIN.INI's default when it names none
// listed) gets the job, and while the job is handed over the engine is printing and busy, the
// progress box up over the main window.
TEST_F(PicturePrintHostingTest, DuringTheJobTheEngineIsPrintingAndAfterItNot) {
    std::vector<std::pair<std::string, EngineFlags>> jobs;
    plat::SetPrintSpooler(std::make_unique<CFlagSpooler>(mainWnd.GetSafeHwnd(), &jobs));
    const struct {
        const char* device;
        const char* printedOn;
    } cases[] = {{"Kontor", "Kontor"}, {"Hem", "Hem"}, {"Borta", "Hem"}};
    for (const auto& c : cases) {
        jobs.clear();
        ChoosePrinter(plat::kSpoolerDriver, c.device, plat::kSpoolerPort, 75);
        PrintPicture(100);
        ASSERT_EQ(jobs.size(), 1u) << c.device;
        EXPECT_EQ(jobs[0].first, c.printedOn);
        const EngineFlags& during = jobs[0].second;
        EXPECT_EQ(during.printing, 1) << c.device;
        EXPECT_EQ(during.messageShowing, 0);
        EXPECT_EQ(during.busyLevel, 1);
        EXPECT_TRUE(during.progressBox);
        EXPECT_TRUE(during.progressOwnedByMainWindow);
        EXPECT_EQ(title.m_printing, 0);
        EXPECT_EQ(title.m_busyLevel, 0);
        EXPECT_EQ(FindWindow(nullptr, "Skriver ut..."), nullptr);
    }
    EXPECT_TRUE(messages.empty());
}

// The record as the print set-up fills it: the names and the device mode the print dialog
// gives for WIN.INI's default printer then ("Kontor"). With "Hem" the default since, the job
// still goes to the player's printer.
TEST_F(PicturePrintHostingTest, ThePrinterThePrintDialogGaveIsThePlayersPrinter) {
    std::vector<std::pair<std::string, EngineFlags>> jobs;
    plat::SetPrintSpooler(std::make_unique<CFlagSpooler>(mainWnd.GetSafeHwnd(), &jobs));
    const std::string kontor = std::string("Kontor,") + plat::kSpoolerDriver + "," + plat::kSpoolerPort;
    const std::string hem = std::string("Hem,") + plat::kSpoolerDriver + "," + plat::kSpoolerPort;
    ASSERT_TRUE(WriteProfileString("windows", "device", kontor.c_str()));
    {
        CPrintDialog setup(TRUE);
        ASSERT_TRUE(setup.GetDefaults());
        CUserPrefs& prefs = title.m_prefs;
        ASSERT_STREQ(setup.GetDeviceName().Str().c_str(), "Kontor");
        std::strncpy(prefs.printerDriver, setup.GetDriverName().Str().c_str(), sizeof prefs.printerDriver - 1);
        std::strncpy(prefs.printerDevice, setup.GetDeviceName().Str().c_str(), sizeof prefs.printerDevice - 1);
        std::strncpy(prefs.printerPort, setup.GetPortName().Str().c_str(), sizeof prefs.printerPort - 1);
        const DEVMODE* dm = setup.GetDevMode();
        ASSERT_NE(dm, nullptr);
        std::memcpy(prefs.printerSetup, dm, sizeof prefs.printerSetup);
        GlobalUnlock(setup.m_pd.hDevMode);
        GlobalFree(setup.m_pd.hDevMode);
        GlobalFree(setup.m_pd.hDevNames);
    }
    ASSERT_TRUE(WriteProfileString("windows", "device", hem.c_str()));
    PrintPicture(100);
    ASSERT_EQ(jobs.size(), 1u);
    EXPECT_EQ(jobs[0].first, "Kontor");
    EXPECT_TRUE(messages.empty());
}

// Each failure: one message, shown with the engine's message flag set (and the printing flag
// set when the page had been started); afterwards neither flag, no busy level, no context, no
// progress box, no page; the next job prints.
TEST_F(PicturePrintHostingTest, EachFailureShowsOneMessageAndLeavesTheEngineIdle) {
    ChoosePrinter(plat::kFilePrinterDriver, plat::kFilePrinterName, plat::kFilePrinterPort, 75);
    fs::create_directories(tmp / "prints");
    for (const printtest::PrinterFaultCase& c : printtest::kPrinterFaultCases) {
        messages.clear();
        plat::SetPrinterFault(c.fault);
        PrintPicture(100);
        plat::SetPrinterFault(plat::PrinterFault::kNone);
        const int fault = static_cast<int>(c.fault);
        ASSERT_EQ(messages.size(), 1u) << fault;
        EXPECT_EQ(messages[0].first, c.message);
        EXPECT_EQ(messages[0].second.messageShowing, 1) << fault;
        EXPECT_EQ(messages[0].second.printing, c.pageStarted ? 1 : 0) << fault;
        EXPECT_EQ(title.m_printing, 0) << fault;
        EXPECT_EQ(title.m_messageShowing, 0) << fault;
        EXPECT_EQ(title.m_busyLevel, 0) << fault;
        EXPECT_EQ(plat::OpenPrinterContexts(), 0) << fault;
        EXPECT_EQ(FindWindow(nullptr, "Skriver ut..."), nullptr) << fault;
        EXPECT_TRUE(fs::is_empty(tmp / "prints")) << fault;
    }
    messages.clear();
    PrintPicture(100);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(plat::LastPrintedFiles().size(), 1u);
}

}  // namespace
