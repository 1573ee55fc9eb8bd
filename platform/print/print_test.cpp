// Printing: the file printer's pages (size, colours, orientation, monochrome), the spooler's
// printers kept in WIN.INI and their jobs handed over, and the document calls' order.
#include <gtest/gtest.h>
#include <png.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <vector>

#include "platform/fs/dospath.h"
#include "platform/gdi/printer_surface.h"
#include "platform/headless/headless_backend.h"
#include "platform/print/print.h"
#include "platform/profile/profile.h"

namespace {

namespace fs = std::filesystem;

struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgb;
    uint32_t At(int x, int y) const {
        const uint8_t* p = &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
        return RGB(p[0], p[1], p[2]);
    }
};

bool ReadPng(const fs::path& path, Image& out) {
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, path.c_str())) return false;
    img.format = PNG_FORMAT_RGB;
    out.rgb.resize(PNG_IMAGE_SIZE(img));
    out.width = static_cast<int>(img.width);
    out.height = static_cast<int>(img.height);
    return png_image_finish_read(&img, nullptr, out.rgb.data(), 0, nullptr) != 0;
}

// A spooler whose printers the test names, keeping the jobs handed to it.
class FakeSpooler : public plat::IPrintSpooler {
public:
    struct Job {
        std::string printer, title;
        std::vector<fs::path> pages;
        std::vector<bool> existed;
        int dpi = 0;
    };
    std::vector<std::string>* printers;
    std::string* defaultPrinter;
    std::vector<Job>* jobs;
    std::vector<std::string> Printers() override { return *printers; }
    std::string DefaultPrinter() override { return *defaultPrinter; }
    bool Submit(const std::string& printer, const std::string& title, const std::vector<fs::path>& pages, int dpi,
                std::string*) override {
        Job j{printer, title, pages, {}, dpi};
        for (const fs::path& p : pages) j.existed.push_back(fs::exists(p));
        jobs->push_back(j);
        return true;
    }
};

class Printing : public ::testing::Test {
protected:
    void SetUp() override {
        plat::InstallHeadless();
        plat::ResetGdi();
        std::string pattern = (fs::temp_directory_path() / "zelbo-print-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_tmp = pattern;
        plat::SetEmulatedRoot(m_tmp / "c");
        plat::EmulatedRoot();
        plat::SetPrintSpooler(nullptr);
        plat::SetPrintFolder(m_tmp / "prints");
    }
    void TearDown() override {
        plat::ResetGdi();
        plat::ResetPrintSpooler();
        plat::SetPrintFolder({});
        plat::ResetDriveMap();
        std::error_code ec;
        fs::remove_all(m_tmp, ec);
    }
    void UseFakeSpooler() {
        auto fake = std::make_unique<FakeSpooler>();
        fake->printers = &m_spoolerPrinters;
        fake->defaultPrinter = &m_spoolerDefault;
        fake->jobs = &m_jobs;
        plat::SetPrintSpooler(std::move(fake));
    }
    static std::string WinIni(LPCSTR section, LPCSTR key) {
        char buf[256] = {};
        GetProfileStringA(section, key, "", buf, sizeof(buf));
        return buf;
    }
    static DEVMODE Mode(int dpi, int16_t orientation = DMORIENT_PORTRAIT, int16_t colour = DMCOLOR_COLOR) {
        plat::PrinterInfo p;
        p.name = plat::kFilePrinterName;
        DEVMODE dm = plat::DefaultDevMode(p);
        dm.dmYResolution = static_cast<int16_t>(dpi);
        dm.dmPrintQuality = static_cast<int16_t>(dpi);
        dm.dmOrientation = orientation;
        dm.dmColor = colour;
        return dm;
    }
    static HDC FilePrinter(const DEVMODE& dm) {
        return CreateDC(plat::kFilePrinterDriver, plat::kFilePrinterName, plat::kFilePrinterPort, &dm);
    }

    fs::path m_tmp;
    std::vector<std::string> m_spoolerPrinters;
    std::string m_spoolerDefault;
    std::vector<FakeSpooler::Job> m_jobs;
};

// An 8-bit picture of 4 x 2 pixels, bottom-up: the top row is red, green, blue, a colour of
// the program's own; the bottom row grey, yellow, black, white.
struct Picture {
    BITMAPINFOHEADER header;
    RGBQUAD colours[8];
    uint8_t bits[2][4];
};

Picture MakePicture() {
    Picture p;
    p.header.biSize = sizeof(BITMAPINFOHEADER);
    p.header.biWidth = 4;
    p.header.biHeight = 2;
    p.header.biPlanes = 1;
    p.header.biBitCount = 8;
    p.header.biClrUsed = 8;
    const COLORREF c[8] = {RGB(255, 0, 0),     RGB(0, 255, 0),   RGB(0, 0, 255), RGB(12, 34, 56),
                           RGB(128, 128, 128), RGB(255, 255, 0), RGB(0, 0, 0),   RGB(255, 255, 255)};
    for (int i = 0; i < 8; ++i) p.colours[i] = RGBQUAD{GetBValue(c[i]), GetGValue(c[i]), GetRValue(c[i]), 0};
    const uint8_t bottom[4] = {4, 5, 6, 7}, top[4] = {0, 1, 2, 3};
    std::memcpy(p.bits[0], bottom, 4);
    std::memcpy(p.bits[1], top, 4);
    return p;
}

TEST_F(Printing, FilePrinterWritesAStretchedPictureAtThePrintersResolution) {
    HDC dc = FilePrinter(Mode(150));
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 1240);  // A4 at 150 dots per inch
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 1754);
    EXPECT_EQ(GetDeviceCaps(dc, HORZSIZE), 210);
    EXPECT_EQ(GetDeviceCaps(dc, VERTSIZE), 297);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 150);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 150);
    EXPECT_TRUE(GetDeviceCaps(dc, RASTERCAPS) & RC_BITBLT);
    EXPECT_TRUE(GetDeviceCaps(dc, RASTERCAPS) & RC_STRETCHDIB);
    EXPECT_GT(GetDeviceCaps(dc, PLANES) << GetDeviceCaps(dc, BITSPIXEL), 2);  // a colour printer

    DOCINFO doc;
    doc.lpszDocName = "Trumlaby Picture";
    ASSERT_GT(StartDoc(dc, &doc), 0);
    ASSERT_GT(StartPage(dc), 0);
    const Picture pic = MakePicture();
    const int x0 = 100, y0 = 300, w = 400, h = 200;
    EXPECT_EQ(StretchDIBits(dc, x0, y0, w, h, 0, 0, 4, 2, pic.bits, reinterpret_cast<const BITMAPINFO*>(&pic),
                            DIB_RGB_COLORS, SRCCOPY),
              2);
    HBRUSH black = CreateSolidBrush(RGB(0, 0, 0));
    const RECT corner{0, 0, 50, 40};
    EXPECT_TRUE(FillRect(dc, &corner, black));
    DeleteObject(black);
    ASSERT_GT(EndPage(dc), 0);
    ASSERT_GT(EndDoc(dc), 0);
    EXPECT_TRUE(DeleteDC(dc));

    ASSERT_EQ(plat::LastPrintedFiles().size(), 1u);
    const fs::path file = plat::LastPrintedFiles()[0];
    EXPECT_EQ(file, m_tmp / "prints" / "Trumlaby Picture.png");
    Image page;
    ASSERT_TRUE(ReadPng(file, page));
    EXPECT_EQ(page.width, 1240);
    EXPECT_EQ(page.height, 1754);
    // Each source pixel is a 100 x 100 block, in its own colour, the top row on top.
    for (int row = 0; row < 2; ++row)
        for (int col = 0; col < 4; ++col) {
            const RGBQUAD q = pic.colours[pic.bits[1 - row][col]];
            const COLORREF want = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
            for (int dy : {1, 50, 98})
                for (int dx : {1, 50, 98})
                    ASSERT_EQ(page.At(x0 + col * 100 + dx, y0 + row * 100 + dy), want) << row << "," << col;
        }
    EXPECT_EQ(page.At(x0 - 1, y0), RGB(255, 255, 255));
    EXPECT_EQ(page.At(x0 + w, y0 + h), RGB(255, 255, 255));
    EXPECT_EQ(page.At(10, 10), RGB(0, 0, 0));
    EXPECT_EQ(page.At(50, 40), RGB(255, 255, 255));
}

TEST_F(Printing, DeviceModeSetsOrientationColourAndResolution) {
    struct Case {
        const char* name;
        DEVMODE dm;
        int horzRes, vertRes, horzSize, bits;
    };
    DEVMODE letter = Mode(75);
    letter.dmPaperSize = DMPAPER_LETTER;
    DEVMODE shortMode = Mode(600);
    shortMode.dmSize = 40;  // only the name: everything else takes the defaults
    const Case cases[] = {
        {"Portrait150", Mode(150), 1240, 1754, 210, 24},
        {"Landscape150", Mode(150, DMORIENT_LANDSCAPE), 1754, 1240, 297, 24},
        {"Mono75", Mode(75, DMORIENT_PORTRAIT, DMCOLOR_MONOCHROME), 620, 877, 210, 1},
        {"Letter75", letter, 637, 825, 216, 24},
        {"ShortRecord", shortMode, 2480, 3508, 210, 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HDC dc = FilePrinter(c.dm);
        ASSERT_NE(dc, nullptr);
        EXPECT_EQ(GetDeviceCaps(dc, HORZRES), c.horzRes);
        EXPECT_EQ(GetDeviceCaps(dc, VERTRES), c.vertRes);
        EXPECT_EQ(GetDeviceCaps(dc, HORZSIZE), c.horzSize);
        EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), c.bits);
        DeleteDC(dc);
    }
}

TEST_F(Printing, MonochromePagesComeOutGrey) {
    HDC dc = FilePrinter(Mode(75, DMORIENT_PORTRAIT, DMCOLOR_MONOCHROME));
    ASSERT_NE(dc, nullptr);
    DOCINFO doc;
    doc.lpszDocName = "Sv/v";
    StartDoc(dc, &doc);
    StartPage(dc);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    const RECT r{0, 0, 10, 10};
    FillRect(dc, &r, red);
    DeleteObject(red);
    EndDoc(dc);
    DeleteDC(dc);
    ASSERT_EQ(plat::LastPrintedFiles().size(), 1u);
    EXPECT_EQ(plat::LastPrintedFiles()[0].filename(), "Sv_v.png");
    Image page;
    ASSERT_TRUE(ReadPng(plat::LastPrintedFiles()[0], page));
    EXPECT_EQ(page.At(5, 5), RGB(76, 76, 76));  // red's luma
}

TEST_F(Printing, DocumentCallsKeepTheirOrderAndAbortLeavesNothing) {
    HDC dc = FilePrinter(Mode(75));
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(StartPage(dc), SP_ERROR);
    const RECT r{0, 0, 10, 10};
    EXPECT_FALSE(FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))));  // no page: nothing drawn
    DOCINFO doc;
    doc.lpszDocName = "Avbrutet";
    ASSERT_GT(StartDoc(dc, &doc), 0);
    EXPECT_EQ(StartDoc(dc, &doc), SP_ERROR);
    StartPage(dc);
    EndPage(dc);
    EXPECT_GT(AbortDoc(dc), 0);
    EXPECT_EQ(EndDoc(dc), SP_ERROR);
    DeleteDC(dc);
    EXPECT_FALSE(fs::exists(m_tmp / "prints" / "Avbrutet.png"));
    // Several pages are numbered, and a second document does not overwrite the first.
    for (int copy = 0; copy < 2; ++copy) {
        dc = FilePrinter(Mode(75));
        doc.lpszDocName = "Sidor";
        StartDoc(dc, &doc);
        for (int i = 0; i < 2; ++i) {
            StartPage(dc);
            EndPage(dc);
        }
        EXPECT_GT(EndDoc(dc), 0);
        DeleteDC(dc);
    }
    EXPECT_TRUE(fs::exists(m_tmp / "prints" / "Sidor 1.png"));
    EXPECT_TRUE(fs::exists(m_tmp / "prints" / "Sidor 2.png"));
    EXPECT_TRUE(fs::exists(m_tmp / "prints" / "Sidor (2) 1.png"));
    EXPECT_TRUE(fs::exists(m_tmp / "prints" / "Sidor (2) 2.png"));
    EXPECT_EQ(CreateDC("PNGFILE", "Finns inte", "FILE:", nullptr), nullptr);
    EXPECT_EQ(CreateDC("ANNAN", plat::kFilePrinterName, "FILE:", nullptr), nullptr);
}

TEST_F(Printing, WinIniFollowsTheSpoolersPrinters) {
    // No spooler: the file printer alone, and it is the default.
    ASSERT_EQ(plat::ListPrinters().size(), 1u);
    EXPECT_EQ(WinIni("devices", plat::kFilePrinterName), "PNGFILE,FILE:");
    EXPECT_EQ(WinIni("windows", "device"), "Bildfil (PNG),PNGFILE,FILE:");
    // The spooler's printers replace it; its default becomes WIN.INI's.
    UseFakeSpooler();
    m_spoolerPrinters = {"Kontor", "Hemma"};
    m_spoolerDefault = "Hemma";
    const std::vector<plat::PrinterInfo> printers = plat::ListPrinters();
    ASSERT_EQ(printers.size(), 2u);
    EXPECT_TRUE(printers[0].spooler);
    EXPECT_EQ(WinIni("devices", "Kontor"), "LPSPOOL,CUPS:");
    EXPECT_EQ(WinIni("devices", plat::kFilePrinterName), "");
    EXPECT_EQ(WinIni("windows", "device"), "Hemma,LPSPOOL,CUPS:");
    // A choice made in WIN.INI stays while its printer is there.
    WriteProfileStringA("windows", "device", "Kontor,LPSPOOL,CUPS:");
    plat::ListPrinters();
    EXPECT_EQ(WinIni("windows", "device"), "Kontor,LPSPOOL,CUPS:");
    m_spoolerPrinters = {"Hemma"};
    plat::ListPrinters();
    EXPECT_EQ(WinIni("windows", "device"), "Hemma,LPSPOOL,CUPS:");
    EXPECT_EQ(WinIni("devices", "Kontor"), "");
    m_spoolerPrinters.clear();
    plat::ListPrinters();
    EXPECT_EQ(WinIni("windows", "device"), "Bildfil (PNG),PNGFILE,FILE:");
}

TEST_F(Printing, SpoolerPrinterGetsThePagesAsOneJob) {
    UseFakeSpooler();
    m_spoolerPrinters = {"Kontor"};
    m_spoolerDefault = "Kontor";
    DEVMODE dm = Mode(75);
    HDC dc = CreateDC("WINSPOOL", "kontor", nullptr, &dm);
    ASSERT_NE(dc, nullptr);
    DOCINFO doc;
    doc.lpszDocName = "Bild";
    StartDoc(dc, &doc);
    StartPage(dc);
    EndPage(dc);
    EXPECT_GT(EndDoc(dc), 0);
    DeleteDC(dc);
    ASSERT_EQ(m_jobs.size(), 1u);
    EXPECT_EQ(m_jobs[0].printer, "Kontor");
    EXPECT_EQ(m_jobs[0].title, "Bild");
    EXPECT_EQ(m_jobs[0].dpi, 75);
    ASSERT_EQ(m_jobs[0].pages.size(), 1u);
    EXPECT_TRUE(m_jobs[0].existed[0]);
    EXPECT_FALSE(fs::exists(m_jobs[0].pages[0]));  // the temporary page went after the hand-over
}

}  // namespace
