// Picture printing through the file printer and a test spooler: the page layout, the document
// name, the printer choice, every failure (one message, the context deleted once), the line
// drawing, golden pages and the progress box.
#include "media/print/picture_printing.h"
#include "media/print/printer_faults_test_support.h"

#include <cstring>
#include <filesystem>
#include <memory>

#include "media/print/picture_print_host.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "platform/dialogs/dialogs_test_support.h"
#include "platform/profile/profile.h"

namespace {

namespace fs = std::filesystem;

// Colours of the test palette.
enum : uint8_t { kWhite = 0, kBlack = 1, kRed = 2, kYellow = 3, kPale = 4, kPaler = 5, kBlue = 6, kGreen = 7, kSky = 8 };

class FakeSpooler : public plat::IPrintSpooler {
public:
    std::vector<std::string>* printers = nullptr;
    std::string* defaultPrinter = nullptr;
    std::vector<std::string>* jobs = nullptr;
    std::vector<std::string> Printers() override { return *printers; }
    std::string DefaultPrinter() override { return *defaultPrinter; }
    bool Submit(const std::string& printer, const std::string&, const std::vector<fs::path>&, int,
                std::string*) override {
        jobs->push_back(printer);
        return true;
    }
};

// The engine's side: a frame surface, one spot (id 100), the title, the player's printer.
class CTestPrintHost : public IPicturePrintHost {
public:
    CTestPrintHost() : m_saved(SetPicturePrintHost(this)) {
        const PALETTEENTRY colours[] = {{255, 255, 255, 0}, {0, 0, 0, 0},       {220, 30, 30, 0},
                                        {255, 255, 0, 0},   {250, 250, 250, 0}, {240, 240, 245, 0},
                                        {40, 60, 200, 0},   {40, 170, 60, 0},   {150, 200, 255, 0}};
        for (int i = 0; i < 256; ++i) palette[i] = PALETTEENTRY{255, 255, 255, 0};
        std::memcpy(palette, colours, sizeof(colours));
    }
    ~CTestPrintHost() override { SetPicturePrintHost(m_saved); }

    CDibG* FrameSurface() override { return surface.get(); }
    bool SpotRect(int16_t id, RECT& out) override {
        if (id != 100) return false;
        out = spot;
        return true;
    }
    std::string GameTitle() override { return title; }
    std::string AppKey() override { return "Zelbo"; }
    bool SavedPrinter(SavedPrinterChoice& out) override {
        if (!hasSaved) return false;
        out = saved;
        return true;
    }
    void PaletteEntries(PALETTEENTRY* entries) override {
        std::memcpy(entries, palette, sizeof(palette));
        if (onDraw) onDraw();
    }
    void SetPrinting(bool on) override {
        printing = on;
        everPrinting |= on;
    }
    bool MessageShowing() override { return messageFlag; }
    void SetMessageShowing(bool on) override { messageFlag = on; }
    void BeginBusy() override { ++busy; }
    void EndBusy() override { --busy; }
    void InvalidateScreen() override { ++redraws; }

    // A surface of the size, all one colour.
    void MakeSurface(int w, int h, uint8_t colour) {
        surface = std::make_unique<CDibG>();
        surface->Create(w, h, nullptr);
        surface->Fill(colour);
        spot = RECT{0, 0, w, h};
    }
    // The file printer chosen by the player, at the resolution (so pages stay small).
    void ChooseFilePrinter(int dpi) {
        plat::PrinterInfo p;
        p.name = plat::kFilePrinterName;
        DEVMODE dm = plat::DefaultDevMode(p);
        dm.dmYResolution = static_cast<int16_t>(dpi);
        dm.dmPrintQuality = static_cast<int16_t>(dpi);
        Choose(plat::kFilePrinterDriver, plat::kFilePrinterName, plat::kFilePrinterPort, &dm);
    }
    void Choose(const char* driver, const char* device, const char* port, const DEVMODE* dm) {
        hasSaved = true;
        saved = SavedPrinterChoice{};
        std::strncpy(saved.driver, driver, sizeof(saved.driver) - 1);
        std::strncpy(saved.device, device, sizeof(saved.device) - 1);
        std::strncpy(saved.port, port, sizeof(saved.port) - 1);
        if (dm) std::memcpy(saved.setup, dm, sizeof(saved.setup));
    }

    std::unique_ptr<CDibG> surface;
    RECT spot{};
    std::string title = "Zelbo";
    PALETTEENTRY palette[256];
    bool hasSaved = false;
    SavedPrinterChoice saved;
    bool printing = false;
    bool everPrinting = false;
    bool messageFlag = false;
    int busy = 0;
    int redraws = 0;
    std::function<void()> onDraw;

private:
    IPicturePrintHost* m_saved;
};

struct Page {
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    const uint8_t* At(int x, int y) const { return &rgb[(static_cast<size_t>(y) * w + x) * 3]; }
    bool White(int x, int y) const { return At(x, y)[0] == 255 && At(x, y)[1] == 255 && At(x, y)[2] == 255; }
    bool Black(int x, int y) const { return At(x, y)[0] == 0 && At(x, y)[1] == 0 && At(x, y)[2] == 0; }
    bool Is(int x, int y, const PALETTEENTRY& e) const {
        return At(x, y)[0] == e.peRed && At(x, y)[1] == e.peGreen && At(x, y)[2] == e.peBlue;
    }
};

class PicturePrinting : public dialogs_test::DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        InitDibSystem(nullptr, true, 0);
        media::RegisterPicturePrintingResources();
        m_oldHook = plat::SetMessageBoxHook([this](LPCSTR text, UINT, UINT) {
            messages.push_back(text);
            messageFlagDuringBox = host.messageFlag;
            return IDOK;
        });
        SetPrintMode(kPrintAuto);
        plat::SetPrinterFault(plat::PrinterFault::kNone);
    }
    void TearDown() override {
        plat::SetPrinterFault(plat::PrinterFault::kNone);
        SetPrintMode(kPrintAuto);
        plat::SetMessageBoxHook({});
        DialogsTest::TearDown();
    }
    void UseFakeSpooler() {
        auto fake = std::make_unique<FakeSpooler>();
        fake->printers = &spoolerPrinters;
        fake->defaultPrinter = &spoolerDefault;
        fake->jobs = &jobs;
        plat::SetPrintSpooler(std::move(fake));
    }
    // The pages the file printer has written so far.
    int PagesWritten() const {
        std::error_code ec;
        int n = 0;
        for (fs::directory_iterator it(m_tmp / "prints", ec), end; !ec && it != end; it.increment(ec)) ++n;
        return n;
    }
    Page OnlyPage() {
        Page page;
        EXPECT_EQ(plat::LastPrintedFiles().size(), 1u);
        if (plat::LastPrintedFiles().size() == 1) {
            EXPECT_TRUE(plat::test::ReadPngRgb(plat::LastPrintedFiles()[0].string(), page.w, page.h, page.rgb));
        }
        return page;
    }
    // The page against tests/golden/<name> (ZELBO_UPDATE_GOLDEN=1 writes it).
    void CheckPageGolden(const std::string& name) {
        ASSERT_EQ(plat::LastPrintedFiles().size(), 1u);
        const std::string golden = std::string(ZELBO_GOLDEN_DIR) + "/" + name;
        const char* update = std::getenv("ZELBO_UPDATE_GOLDEN");
        if (update && std::string(update) == "1") {
            fs::copy_file(plat::LastPrintedFiles()[0], golden, fs::copy_options::overwrite_existing);
            return;
        }
        Page want, got = OnlyPage();
        ASSERT_TRUE(plat::test::ReadPngRgb(golden, want.w, want.h, want.rgb)) << golden;
        EXPECT_EQ(got.w, want.w);
        EXPECT_EQ(got.h, want.h);
        EXPECT_TRUE(got.rgb == want.rgb) << "the page differs from " << golden;
    }

    CTestPrintHost host;
    std::vector<std::string> messages;
    bool messageFlagDuringBox = false;
    std::vector<std::string> spoolerPrinters;
    std::string spoolerDefault;
    std::vector<std::string> jobs;
    plat::MessageBoxHook m_oldHook;
};

// A4 at 75 dots per inch: 620 x 877 pixels, 210 x 297 mm.
TEST_F(PicturePrinting, AWidePictureFillsThePageWidthAndATallOneTheHeightCentred) {
    host.ChooseFilePrinter(75);
    {
        // 40 x 20 is wider than the page: 620 wide, 620 * 20 / 40 = 310 high, top (877 - 310) / 2.
        host.MakeSurface(40, 20, kRed);
        PrintPicture(100);
        ASSERT_TRUE(messages.empty());
        const Page page = OnlyPage();
        ASSERT_EQ(page.w, 620);
        ASSERT_EQ(page.h, 877);
        const PALETTEENTRY red = host.palette[kRed];
        EXPECT_TRUE(page.White(310, 282));
        EXPECT_TRUE(page.Is(310, 283, red));
        EXPECT_TRUE(page.Is(310, 592, red));
        EXPECT_TRUE(page.White(310, 593));
        EXPECT_TRUE(page.Is(0, 400, red));
        EXPECT_TRUE(page.Is(619, 400, red));
    }
    {
        // 20 x 40 is taller: 877 high, 877 * 20 / 40 = 439 wide (rounded), left (620 - 439) / 2.
        host.MakeSurface(20, 40, kBlue);
        PrintPicture(100);
        const Page page = OnlyPage();
        const PALETTEENTRY blue = host.palette[kBlue];
        EXPECT_TRUE(page.White(89, 400));
        EXPECT_TRUE(page.Is(90, 400, blue));
        EXPECT_TRUE(page.Is(528, 400, blue));
        EXPECT_TRUE(page.White(529, 400));
        EXPECT_TRUE(page.Is(300, 0, blue));
        EXPECT_TRUE(page.Is(300, 876, blue));
    }
    EXPECT_FALSE(host.printing);
    EXPECT_TRUE(host.everPrinting);
    EXPECT_EQ(host.busy, 0);
    EXPECT_EQ(plat::OpenPrinterContexts(), 0);
}

TEST_F(PicturePrinting, ASpotOffTheSurfaceIsClampedAndAnEmptySpotPrintsNothing) {
    host.ChooseFilePrinter(75);
    host.MakeSurface(40, 20, kRed);
    for (const RECT spot : {RECT{5, 5, 5, 15}, RECT{5, 5, 25, 5}, RECT{10, 10, 0, 20}, RECT{50, 0, 60, 20}}) {
        host.spot = spot;
        PrintPicture(100);
        EXPECT_EQ(PagesWritten(), 0) << spot.left << "," << spot.top;
        EXPECT_FALSE(host.everPrinting);
    }
    EXPECT_TRUE(messages.empty());
    PrintPicture(7);  // no such spot
    EXPECT_EQ(PagesWritten(), 0);
    // Half of this spot lies left of the surface: the visible half is printed, sized as the
    // whole spot (40 x 20: the page's width) and so drawn over the page's full width.
    host.spot = RECT{-20, 0, 20, 20};
    PrintPicture(100);
    EXPECT_EQ(PagesWritten(), 1);
    const Page page = OnlyPage();
    EXPECT_TRUE(page.Is(0, 400, host.palette[kRed]));
    EXPECT_TRUE(page.Is(619, 400, host.palette[kRed]));
}

TEST_F(PicturePrinting, TheDocumentNameIsTheTitleOrTheKeyWhenTooLong) {
    const struct {
        std::string title;
        std::string name;
    } cases[] = {
        {std::string(23, 'T'), std::string(23, 'T') + " Picture"},
        {std::string(24, 'T'), "Zelbo's Picture"},
    };
    host.ChooseFilePrinter(75);
    host.MakeSurface(8, 8, kGreen);
    for (const auto& c : cases) {
        EXPECT_EQ(media::PrintDocumentName(c.title, "Zelbo"), c.name);
        host.title = c.title;
        PrintPicture(100);
        ASSERT_EQ(plat::LastPrintedFiles().size(), 1u);
        EXPECT_EQ(plat::LastPrintedFiles()[0].filename().string(), c.name + ".png");
    }
}

TEST_F(PicturePrinting, ASavedPrinterNoLongerListedOrOnAnotherPortFallsBackToTheDefault) {
    spoolerPrinters = {"Kontor", "Hem"};
    spoolerDefault = "Hem";
    UseFakeSpooler();
    host.MakeSurface(8, 8, kGreen);
    const struct {
        const char* device;
        const char* port;
        const char* printedOn;
    } cases[] = {
        {"Kontor", plat::kSpoolerPort, "Kontor"},
        {"KONTOR", "cups:", "Kontor"},
        {"Kontor", "LPT1:", "Hem"},
        {"Borta", plat::kSpoolerPort, "Hem"},
        {"", plat::kSpoolerPort, "Hem"},
    };
    for (const auto& c : cases) {
        jobs.clear();
        // As the printer dialog records it: the driver it names, the device and the port.
        host.Choose("WINSPOOL", c.device, c.port, nullptr);
        PrintPicture(100);
        ASSERT_EQ(jobs.size(), 1u) << c.device << " " << c.port;
        EXPECT_EQ(jobs[0], c.printedOn) << c.device << " " << c.port;
    }
    EXPECT_TRUE(messages.empty());
}

TEST_F(PicturePrinting, SavedNamesWithoutTerminatorsAreReadBounded) {
    host.MakeSurface(8, 8, kGreen);
    host.hasSaved = true;
    std::memset(host.saved.driver, 'D', sizeof(host.saved.driver));
    std::memset(host.saved.device, 'E', sizeof(host.saved.device));
    std::memset(host.saved.port, 'P', sizeof(host.saved.port));
    PrintPicture(100);  // the default printer: the file printer
    EXPECT_EQ(plat::LastPrintedFiles().size(), 1u);
    EXPECT_TRUE(messages.empty());

    char driver[9] = "", device[32], port[32];
    std::memset(device, 'E', sizeof(device));
    std::strcpy(port, "FILE:");
    EXPECT_FALSE(FindSavedPrinter(driver, sizeof(driver), device, sizeof(device), port, sizeof(port)));
    std::strcpy(device, "bildfil (png)");
    EXPECT_TRUE(FindSavedPrinter(driver, sizeof(driver), device, sizeof(device), port, sizeof(port)));
    EXPECT_STREQ(driver, plat::kFilePrinterDriver);
    EXPECT_STREQ(device, plat::kFilePrinterName);
}

TEST_F(PicturePrinting, EachFailureShowsOneMessageAndEndsTheJobCleanly) {
    host.ChooseFilePrinter(75);
    host.MakeSurface(16, 8, kRed);
    for (const printtest::PrinterFaultCase& c : printtest::kPrinterFaultCases) {
        messages.clear();
        host.everPrinting = false;
        host.redraws = 0;
        const int before = PagesWritten();
        bool boxDuringJob = false;
        host.onDraw = [&] { boxDuringJob = FindWindow(nullptr, "Skriver ut...") != nullptr; };
        plat::SetPrinterFault(c.fault);
        PrintPicture(100);
        plat::SetPrinterFault(plat::PrinterFault::kNone);
        ASSERT_EQ(messages.size(), 1u) << static_cast<int>(c.fault);
        EXPECT_EQ(messages[0], c.message);
        EXPECT_TRUE(messageFlagDuringBox);
        EXPECT_FALSE(host.messageFlag);
        EXPECT_EQ(host.redraws, 1);
        EXPECT_EQ(plat::OpenPrinterContexts(), 0) << static_cast<int>(c.fault);
        EXPECT_EQ(PagesWritten(), before);
        EXPECT_EQ(boxDuringJob, c.pageStarted);
        EXPECT_EQ(FindWindow(nullptr, "Skriver ut..."), nullptr);
        EXPECT_FALSE(host.printing);
        EXPECT_EQ(host.busy, 0);
        host.onDraw = nullptr;
    }
    // The printer works again: the next job prints, nothing was left open.
    messages.clear();
    const int before = PagesWritten();
    PrintPicture(100);
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(PagesWritten(), before + 1);
}

TEST_F(PicturePrinting, AMissingStringFallsBackToItsEnglishText) {
    plat::ClearStringTable();
    ReportPrintError(6, nullptr);
    ReportPrintError(42, nullptr);
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0], "Not enough memory to print.");
    EXPECT_EQ(messages[1], "Unknown Error! Unable to print.");
}

TEST_F(PicturePrinting, TheProgressBoxIsUpDuringTheJobAndGoneAfter) {
    host.ChooseFilePrinter(75);
    host.MakeSurface(8, 8, kGreen);
    bool during = false, visible = false;
    host.onDraw = [&] {
        HWND box = FindWindow(nullptr, "Skriver ut...");
        during = box != nullptr;
        visible = box && IsWindowVisible(box);
    };
    PrintPicture(100);
    EXPECT_TRUE(during);
    EXPECT_TRUE(visible);
    EXPECT_EQ(FindWindow(nullptr, "Skriver ut..."), nullptr);
}

// The line drawing on a page of 75 dots per inch, each source pixel 10 x 10 printer pixels.
class LineDrawing : public PicturePrinting {
protected:
    void Print(const std::vector<std::string>& rows) {
        const int w = static_cast<int>(rows[0].size()), h = static_cast<int>(rows.size());
        host.MakeSurface(w, h, kWhite);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) host.surface->SetPixel(x, y, static_cast<uint8_t>(rows[y][x] - '0'));
        SetPrintMode(kPrintLineDrawing);
        plat::PrinterInfo p;
        p.name = plat::kFilePrinterName;
        DEVMODE dm = plat::DefaultDevMode(p);
        dm.dmYResolution = dm.dmPrintQuality = 75;
        HDC dc = CreateDC(plat::kFilePrinterDriver, plat::kFilePrinterName, plat::kFilePrinterPort, &dm);
        ASSERT_NE(dc, nullptr);
        DOCINFO doc;
        doc.lpszDocName = "Linjer";
        ASSERT_GT(StartDoc(dc, &doc), 0);
        ASSERT_GT(StartPage(dc), 0);
        EXPECT_TRUE(PrintDib(*host.surface, dc, RECT{100, 100, 100 + 10 * w, 100 + 10 * h}, RECT{0, 0, w, h}));
        ASSERT_GT(EndPage(dc), 0);
        ASSERT_GT(EndDoc(dc), 0);
        DeleteDC(dc);
    }
};

TEST_F(LineDrawing, DarkPixelsAndStrongChangesBecomeBlackRuns) {
    // 0 white, 1 black, 3 yellow: yellow differs strongly from white, so its left and upper
    // neighbours and itself turn black; the last column and row stay white.
    Print({"0100", "0030", "0000"});
    const Page page = OnlyPage();
    const char* want[] = {"0110", "0110", "0000"};
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 4; ++x) {
            const bool black = want[y][x] == '1';
            for (const auto& [dx, dy] : {std::pair{0, 0}, std::pair{9, 9}, std::pair{5, 5}}) {
                EXPECT_EQ(page.Black(100 + 10 * x + dx, 100 + 10 * y + dy), black) << x << "," << y;
                EXPECT_EQ(page.White(100 + 10 * x + dx, 100 + 10 * y + dy), !black) << x << "," << y;
            }
        }
}

TEST_F(LineDrawing, ALightPictureWithoutStrongChangesIsABlankPage) {
    Print({"04545", "45450", "54054", "00000"});
    const Page page = OnlyPage();
    int marked = 0;
    for (int y = 0; y < page.h; ++y)
        for (int x = 0; x < page.w; ++x) marked += !page.White(x, y);
    EXPECT_EQ(marked, 0);
}

// A generated picture: sky, a sun, a green hill and a red house with a black door.
void DrawScene(CTestPrintHost& host) {
    host.MakeSurface(64, 48, kSky);
    CDibG& s = *host.surface;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            if ((x - 50) * (x - 50) + (y - 10) * (y - 10) < 36) s.SetPixel(x, y, kYellow);
            if (y > 34 + ((x - 32) * (x - 32)) / 120) s.SetPixel(x, y, kGreen);
            if (x >= 14 && x < 30 && y >= 24 && y < 38) s.SetPixel(x, y, kRed);
            if (y >= 16 && y < 24 && x >= 14 + (24 - y) && x < 30 - (24 - y)) s.SetPixel(x, y, kBlue);
            if (x >= 20 && x < 24 && y >= 31 && y < 38) s.SetPixel(x, y, kBlack);
        }
}

TEST_F(PicturePrinting, GoldenPagesInColourAndAsALineDrawing) {
    host.ChooseFilePrinter(75);
    DrawScene(host);
    SetPrintMode(kPrintColour);
    PrintPicture(100);
    CheckPageGolden("print_colour_page.png");
    SetPrintMode(kPrintLineDrawing);
    PrintPicture(100);
    CheckPageGolden("print_line_page.png");
}

TEST_F(PicturePrinting, PrintModesOutsideTheRangeAreAutomatic) {
    for (const int32_t mode : {-1, 3, 1000}) {
        SetPrintMode(kPrintColour);
        SetPrintMode(mode);
        EXPECT_EQ(GetPrintMode(), kPrintAuto) << mode;
    }
    SetPrintMode(kPrintLineDrawing);
    EXPECT_EQ(GetPrintMode(), kPrintLineDrawing);
}

}  // namespace
