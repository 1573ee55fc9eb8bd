// Printers: the printer list (the print spooler's printers, or one printer that writes PNG
// files), WIN.INI's "windows"/"device" and "devices" entries kept in step with it, printer
// device contexts (CreateDC with a printer's names) and the document calls StartDoc,
// StartPage, EndPage, EndDoc and AbortDoc. Each page is drawn by GDI into an image at the
// printer's resolution; EndDoc writes the pages as PNG files (the file printer) or hands them
// to the spooler (`lp -d <printer>`). UI thread only.
#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/gdi/wingdi.h"

struct DOCINFO {
    int cbSize = sizeof(DOCINFO);
    LPCSTR lpszDocName = nullptr;
    LPCSTR lpszOutput = nullptr;  // a file name: the pages go there instead of to the printer
    LPCSTR lpszDatatype = nullptr;
    DWORD fwType = 0;
};
using DOCINFOA = DOCINFO;
constexpr int SP_ERROR = -1;

// A job number > 0, or SP_ERROR (no printer DC, a document already open).
int StartDoc(HDC hdc, const DOCINFO* info);
// > 0, or SP_ERROR outside a document.
int StartPage(HDC hdc);
int EndPage(HDC hdc);
// Writes or hands over the document; SP_ERROR when that failed (the pages are lost).
int EndDoc(HDC hdc);
int AbortDoc(HDC hdc);
inline int StartDocA(HDC hdc, const DOCINFO* info) {
    return StartDoc(hdc, info);
}

namespace plat {

struct PrinterInfo {
    std::string name;    // Windows-1252, at most 31 characters
    std::string driver;  // at most 8
    std::string port;
    bool spooler = false;     // a printer of the spooler (else the file printer)
    std::string spoolerName;  // the spooler's own (UTF-8) name
};

// The file printer, listed when the spooler has no printers.
inline constexpr const char* kFilePrinterName = "Bildfil (PNG)";
inline constexpr const char* kFilePrinterDriver = "PNGFILE";
inline constexpr const char* kFilePrinterPort = "FILE:";
inline constexpr const char* kSpoolerDriver = "LPSPOOL";
inline constexpr const char* kSpoolerPort = "CUPS:";

// The system's print spooler. The default one asks `lpstat` and prints with `lp`, and is used
// only with a back end that is not headless; tests install their own.
class IPrintSpooler {
public:
    virtual ~IPrintSpooler() = default;
    // The spooler's printers (UTF-8 names), and its default one (may be empty).
    virtual std::vector<std::string> Printers() = 0;
    virtual std::string DefaultPrinter() = 0;
    // Hands the pages (PNG files at dpi) to a printer as one job; false with a reason.
    virtual bool Submit(const std::string& printer, const std::string& title,
                        const std::vector<std::filesystem::path>& pages, int dpi, std::string* error) = 0;
};
std::unique_ptr<IPrintSpooler> MakeCupsSpooler();
// Replaces the spooler (null: none, so only the file printer); the printer list is read again.
void SetPrintSpooler(std::unique_ptr<IPrintSpooler> spooler);
// Back to the default: the CUPS spooler with the SDL back end, none when headless.
void ResetPrintSpooler();

// The printers now, in the spooler's order (or the file printer alone). Each call asks the
// spooler again and brings WIN.INI's [devices] and [windows] device= in step: [devices] lists
// exactly these printers ("name=driver,port"); device= keeps its printer while it is listed,
// else becomes the spooler's default or the first printer.
std::vector<PrinterInfo> ListPrinters();
// The printer of WIN.INI's [windows] device= (after bringing WIN.INI in step); false when none.
bool GetDefaultPrinter(PrinterInfo& out);
// A printer by name (case-insensitive); false when it is not listed.
bool FindPrinter(const std::string& name, PrinterInfo& out);
// The device mode a printer starts with: A4 portrait, 300 dots per inch, colour, one copy.
DEVMODE DefaultDevMode(const PrinterInfo& printer);

// Where the file printer writes: ZELBO_PRINT_DIR when set, else C:\Utskrifter of the emulated
// installation (made when first needed). Pages are "<document> <n>.png" (or "<document>.png"
// for a one-page document), numbered on so that nothing is overwritten; DOCINFO's lpszOutput
// names the file instead. Tests set the folder (an empty path returns to the default).
void SetPrintFolder(const std::filesystem::path& folder);
std::filesystem::path PrintFolder();
// The files the last EndDoc wrote (tests).
const std::vector<std::filesystem::path>& LastPrintedFiles();

// A page's resolution, size and colour from a device mode (dots per inch 75..600; A4 or
// Letter; landscape swaps the sides).
struct PageFormat {
    int dpi = 300;
    int widthMm = 210;
    int heightMm = 297;
    int widthPx = 2480;
    int heightPx = 3508;
    bool colour = true;
};
PageFormat PageFormatOf(const DEVMODE* devMode);

// Tests: makes one call of every printer fail from now on (CreateDC gives no context, the
// document calls SP_ERROR), or gives printers without RC_BITBLT; kNone ends it.
enum class PrinterFault { kNone, kCreateDC, kStartDoc, kStartPage, kEndPage, kEndDoc, kNoBitBlt };
void SetPrinterFault(PrinterFault fault);
// Printer device contexts made and not yet deleted (tests).
int OpenPrinterContexts();

}  // namespace plat
