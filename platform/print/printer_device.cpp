// Printer devices behind printer DCs: capabilities, the page images, and the document calls
// that write the pages as PNG files or hand them to the spooler.
#include <png.h>

#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <system_error>

#include "platform/fs/dospath.h"
#include "platform/gdi/printer_surface.h"
#include "platform/print/print.h"
#include "platform/print/print_internal.h"
#include "platform/strings/cp1252.h"

namespace plat {
namespace {

namespace fs = std::filesystem;

std::filesystem::path g_printFolder;
std::vector<fs::path> g_lastPrinted;
int g_nextJob = 1;
std::atomic<unsigned> g_tempCounter{0};
PrinterFault g_fault = PrinterFault::kNone;
int g_openDevices = 0;

class PrinterDevice : public IPrinterDevice {
public:
    PrinterInfo printer;
    DEVMODE devMode;
    PageFormat format;

    bool inDoc = false;
    bool inPage = false;
    int job = 0;
    std::string docName;  // Windows-1252
    std::string output;   // DOCINFO's lpszOutput (a DOS path), empty for the printer
    PrinterPage page;
    std::vector<fs::path> pageFiles;  // written pages, temporary names
    fs::path tempFolder;

    PrinterDevice() { ++g_openDevices; }
    ~PrinterDevice() override {
        DropPages();
        --g_openDevices;
    }

    int DeviceCaps(int index) const override {
        switch (index) {
            case DRIVERVERSION: return 0x0400;
            case TECHNOLOGY: return DT_RASPRINTER;
            case HORZSIZE: return format.widthMm;
            case VERTSIZE: return format.heightMm;
            case HORZRES:
            case PHYSICALWIDTH: return format.widthPx;
            case VERTRES:
            case PHYSICALHEIGHT: return format.heightPx;
            case PHYSICALOFFSETX:
            case PHYSICALOFFSETY: return 0;
            case BITSPIXEL: return format.colour ? 24 : 1;
            case PLANES: return 1;
            case NUMBRUSHES:
            case NUMPENS: return -1;
            case NUMCOLORS: return format.colour ? -1 : 2;
            case CLIPCAPS: return CP_RECTANGLE;
            case RASTERCAPS:
                return (g_fault == PrinterFault::kNoBitBlt ? 0 : RC_BITBLT) | RC_BITMAP64 | RC_DI_BITMAP | RC_DIBTODEV | RC_BIGFONT | RC_STRETCHBLT |
                       RC_STRETCHDIB;
            case ASPECTX:
            case ASPECTY: return format.dpi;
            case ASPECTXY: return static_cast<int>(format.dpi * 1.41421356 + 0.5);
            case LOGPIXELSX:
            case LOGPIXELSY: return format.dpi;
            default: return 0;
        }
    }

    PrinterPage* Page() override { return inPage ? &page : nullptr; }

    void DropPages() {
        std::error_code ec;
        for (const fs::path& p : pageFiles) fs::remove(p, ec);
        pageFiles.clear();
        if (!tempFolder.empty()) fs::remove(tempFolder, ec);
        tempFolder.clear();
    }
};

PrinterDevice* DeviceOf(HDC hdc) {
    return dynamic_cast<PrinterDevice*>(PrinterDeviceOf(hdc));
}

// DEVMODE from caller memory: dmSize says how much of it there is.
DEVMODE ReadDevMode(const void* in, const PrinterInfo& printer) {
    DEVMODE dm = DefaultDevMode(printer);
    if (!in) return dm;
    DEVMODE given;
    std::memcpy(static_cast<void*>(&given), in, offsetof(DEVMODE, dmFields));
    const size_t size = std::min<size_t>(given.dmSize, sizeof(DEVMODE));
    if (size <= offsetof(DEVMODE, dmFields)) return dm;
    std::memcpy(static_cast<void*>(&given), in, size);
    const DWORD fields = size >= offsetof(DEVMODE, dmFields) + sizeof(DWORD) ? given.dmFields : 0;
    auto take = [&](DWORD flag, auto member) {
        if ((fields & flag) && size >= offsetof(DEVMODE, dmFormName)) dm.*member = given.*member;
    };
    take(DM_ORIENTATION, &DEVMODE::dmOrientation);
    take(DM_PAPERSIZE, &DEVMODE::dmPaperSize);
    take(DM_COPIES, &DEVMODE::dmCopies);
    take(DM_PRINTQUALITY, &DEVMODE::dmPrintQuality);
    take(DM_COLOR, &DEVMODE::dmColor);
    take(DM_YRESOLUTION, &DEVMODE::dmYResolution);
    return dm;
}

std::unique_ptr<IPrinterDevice> OpenPrinter(LPCSTR driver, LPCSTR device, LPCSTR, const void* devMode) {
    if (!device || !*device || g_fault == PrinterFault::kCreateDC) return nullptr;
    PrinterInfo printer;
    if (!FindPrinter(device, printer)) return nullptr;
    if (driver && *driver && !EqualNoCase1252(driver, printer.driver) && !EqualNoCase1252(driver, "WINSPOOL"))
        return nullptr;
    auto dev = std::make_unique<PrinterDevice>();
    dev->printer = printer;
    dev->devMode = ReadDevMode(devMode, printer);
    dev->format = PageFormatOf(&dev->devMode);
    return dev;
}

// Host file names take the document's name without the characters file systems refuse.
std::string HostSafeName(const std::string& name1252) {
    std::string out;
    for (char c : name1252) {
        const auto u = static_cast<unsigned char>(c);
        out.push_back(u < 0x20 || c == '/' || c == '\\' || c == ':' || c == '*' || c == '?' || c == '"' || c == '<' ||
                              c == '>' || c == '|'
                          ? '_'
                          : c);
    }
    while (!out.empty() && (out.back() == ' ' || out.back() == '.')) out.pop_back();
    if (out.empty()) out = "Dokument";
    return Cp1252ToUtf8(out);
}

// libpng reports errors by longjmp: everything with a destructor is made before setjmp.
bool EncodePng(FILE* f, const PrinterPage& page, const PageFormat& format, const std::vector<uint8_t>& grey,
               std::vector<uint8_t>& row) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return false;
    }
    png_init_io(png, f);
    png_set_compression_level(png, 3);
    const auto w = static_cast<png_uint_32>(page.width), h = static_cast<png_uint_32>(page.height);
    png_color colours[256];
    if (format.colour) {
        png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_PALETTE, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
        for (int i = 0; i < 256; ++i) {
            const RGBQUAD& q = page.table[static_cast<size_t>(i)];
            colours[i] = png_color{q.rgbRed, q.rgbGreen, q.rgbBlue};
        }
        png_set_PLTE(png, info, colours, std::max(1, page.used));
    } else {
        png_set_IHDR(png, info, w, h, 8, PNG_COLOR_TYPE_GRAY, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                     PNG_FILTER_TYPE_DEFAULT);
    }
    const auto ppm = static_cast<png_uint_32>(format.dpi * 10000 / 254);
    png_set_pHYs(png, info, ppm, ppm, PNG_RESOLUTION_METER);
    png_write_info(png, info);
    for (int y = 0; y < page.height; ++y) {
        const uint8_t* src = page.pixels.data() + static_cast<size_t>(y) * static_cast<size_t>(page.width);
        if (format.colour) {
            std::memcpy(row.data(), src, row.size());
        } else {
            for (int x = 0; x < page.width; ++x) row[static_cast<size_t>(x)] = grey[src[x]];
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool WritePng(const fs::path& path, const PrinterPage& page, const PageFormat& format, std::string* error) {
    if (page.width <= 0 || page.height <= 0 || page.pixels.size() < static_cast<size_t>(page.width) * page.height)
        return false;
    std::vector<uint8_t> grey(256);
    for (int i = 0; i < 256; ++i) {
        const RGBQUAD& q = page.table[static_cast<size_t>(i)];
        grey[static_cast<size_t>(i)] =
            static_cast<uint8_t>((q.rgbRed * 299 + q.rgbGreen * 587 + q.rgbBlue * 114 + 500) / 1000);
    }
    std::vector<uint8_t> row(static_cast<size_t>(page.width));
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) {
        if (error) *error = "cannot create " + path.string();
        return false;
    }
    bool ok = EncodePng(f, page, format, grey, row);
    if (std::fclose(f) != 0) ok = false;
    if (!ok) {
        std::error_code ec;
        fs::remove(path, ec);
        if (error) *error = "cannot write " + path.string();
    }
    return ok;
}

fs::path DefaultPrintFolder() {
    if (const char* env = std::getenv("ZELBO_PRINT_DIR"); env && *env) return env;
    return EmulatedRoot() / "Utskrifter";
}

// Free names "<base>.png" for one page, "<base> <n>.png" for several, never overwriting.
std::vector<fs::path> FinalNames(const fs::path& folder, const std::string& stem, const std::string& ext,
                                 size_t pages) {
    for (int attempt = 1; attempt < 10000; ++attempt) {
        const std::string base = attempt == 1 ? stem : stem + " (" + std::to_string(attempt) + ")";
        std::vector<fs::path> names;
        if (pages == 1) {
            names.push_back(folder / (base + ext));
        } else {
            for (size_t i = 1; i <= pages; ++i) names.push_back(folder / (base + " " + std::to_string(i) + ext));
        }
        std::error_code ec;
        bool free = true;
        for (const fs::path& n : names) free = free && !fs::exists(n, ec);
        if (free) return names;
    }
    return {};
}

bool Finish(PrinterDevice& dev, std::string* error) {
    g_lastPrinted.clear();
    if (dev.pageFiles.empty()) return true;
    std::error_code ec;
    if (dev.printer.spooler && dev.output.empty()) {
        IPrintSpooler* spooler = print::SpoolerInUse();
        const bool ok = spooler && spooler->Submit(dev.printer.spoolerName, Cp1252ToUtf8(dev.docName), dev.pageFiles,
                                                   dev.format.dpi, error);
        if (ok) g_lastPrinted = dev.pageFiles;
        return ok;
    }
    fs::path folder;
    std::string stem, ext = ".png";
    if (!dev.output.empty()) {
        auto host = ResolveDosPath(dev.output);
        if (!host) {
            if (error) *error = "bad output name";
            return false;
        }
        folder = host->parent_path();
        stem = host->stem().string();
        if (host->has_extension()) ext = host->extension().string();
    } else {
        folder = PrintFolder();
        stem = HostSafeName(dev.docName);
    }
    fs::create_directories(folder, ec);
    const std::vector<fs::path> names = FinalNames(folder, stem, ext, dev.pageFiles.size());
    if (names.size() != dev.pageFiles.size()) {
        if (error) *error = "no free file name in " + folder.string();
        return false;
    }
    for (size_t i = 0; i < names.size(); ++i) {
        fs::rename(dev.pageFiles[i], names[i], ec);
        if (ec) {
            fs::copy_file(dev.pageFiles[i], names[i], ec);
            if (ec) {
                if (error) *error = "cannot write " + names[i].string();
                return false;
            }
        }
        g_lastPrinted.push_back(names[i]);
    }
    return true;
}

}  // namespace

namespace print {
void EnsurePrinterOpener() {
    SetPrinterOpener(&OpenPrinter);
}
}  // namespace print

namespace {
// Any program that prints links this file (StartDoc), so CreateDC knows the printers from the start.
[[maybe_unused]] const bool kOpenerInstalled = (SetPrinterOpener(&OpenPrinter), true);
}  // namespace

void SetPrintFolder(const std::filesystem::path& folder) {
    g_printFolder = folder;
}

std::filesystem::path PrintFolder() {
    return g_printFolder.empty() ? DefaultPrintFolder() : g_printFolder;
}

const std::vector<std::filesystem::path>& LastPrintedFiles() {
    return g_lastPrinted;
}

void SetPrinterFault(PrinterFault fault) {
    g_fault = fault;
}

int OpenPrinterContexts() {
    return g_openDevices;
}

}  // namespace plat

using namespace plat;

int StartDoc(HDC hdc, const DOCINFO* info) {
    PrinterDevice* dev = DeviceOf(hdc);
    if (!dev || dev->inDoc || g_fault == PrinterFault::kStartDoc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return SP_ERROR;
    }
    dev->DropPages();
    std::error_code ec;
    dev->tempFolder = fs::temp_directory_path(ec) /
                      ("zelbo-print-" + std::to_string(getpid()) + "-" + std::to_string(g_tempCounter++));
    fs::create_directories(dev->tempFolder, ec);
    if (ec) {
        SetLastError(ERROR_ACCESS_DENIED);
        return SP_ERROR;
    }
    dev->inDoc = true;
    dev->docName = info && info->lpszDocName ? info->lpszDocName : "";
    dev->output = info && info->lpszOutput ? info->lpszOutput : "";
    dev->job = g_nextJob++;
    return dev->job;
}

int StartPage(HDC hdc) {
    PrinterDevice* dev = DeviceOf(hdc);
    if (!dev || !dev->inDoc || g_fault == PrinterFault::kStartPage) return SP_ERROR;
    if (!dev->inPage) {
        dev->page.Reset(dev->format.widthPx, dev->format.heightPx);
        dev->inPage = true;
    }
    return 1;
}

int EndPage(HDC hdc) {
    PrinterDevice* dev = DeviceOf(hdc);
    if (!dev || !dev->inDoc || !dev->inPage || g_fault == PrinterFault::kEndPage) return SP_ERROR;
    dev->inPage = false;
    const fs::path file = dev->tempFolder / ("page" + std::to_string(dev->pageFiles.size() + 1) + ".png");
    std::string error;
    const bool ok = WritePng(file, dev->page, dev->format, &error);
    dev->page = PrinterPage{};
    if (!ok) {
        SetLastError(ERROR_DISK_FULL);
        return SP_ERROR;
    }
    dev->pageFiles.push_back(file);
    return 1;
}

int EndDoc(HDC hdc) {
    PrinterDevice* dev = DeviceOf(hdc);
    if (!dev || !dev->inDoc || g_fault == PrinterFault::kEndDoc) return SP_ERROR;
    if (dev->inPage) EndPage(hdc);
    std::string error;
    const bool ok = Finish(*dev, &error);
    dev->inDoc = false;
    dev->DropPages();
    if (!ok) {
        std::fprintf(stderr, "printing: %s\n", error.c_str());
        SetLastError(ERROR_WRITE_FAULT);
        return SP_ERROR;
    }
    return 1;
}

int AbortDoc(HDC hdc) {
    PrinterDevice* dev = DeviceOf(hdc);
    if (!dev || !dev->inDoc) return SP_ERROR;
    dev->inDoc = false;
    dev->inPage = false;
    dev->page = PrinterPage{};
    dev->DropPages();
    return 1;
}
