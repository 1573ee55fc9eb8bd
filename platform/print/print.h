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

// The device mode record: 148 bytes, as Windows 95 has it.
constexpr int CCHDEVICENAME = 32;
constexpr int CCHFORMNAME = 32;
struct DEVMODE {
    char dmDeviceName[CCHDEVICENAME] = {};
    WORD dmSpecVersion = 0;
    WORD dmDriverVersion = 0;
    WORD dmSize = 0;
    WORD dmDriverExtra = 0;
    DWORD dmFields = 0;
    int16_t dmOrientation = 0;
    int16_t dmPaperSize = 0;
    int16_t dmPaperLength = 0;
    int16_t dmPaperWidth = 0;
    int16_t dmScale = 0;
    int16_t dmCopies = 0;
    int16_t dmDefaultSource = 0;
    int16_t dmPrintQuality = 0;
    int16_t dmColor = 0;
    int16_t dmDuplex = 0;
    int16_t dmYResolution = 0;
    int16_t dmTTOption = 0;
    int16_t dmCollate = 0;
    char dmFormName[CCHFORMNAME] = {};
    WORD dmLogPixels = 0;
    DWORD dmBitsPerPel = 0;
    DWORD dmPelsWidth = 0;
    DWORD dmPelsHeight = 0;
    DWORD dmDisplayFlags = 0;
    DWORD dmDisplayFrequency = 0;
    DWORD dmICMMethod = 0;
    DWORD dmICMIntent = 0;
    DWORD dmMediaType = 0;
    DWORD dmDitherType = 0;
    DWORD dmReserved1 = 0;
    DWORD dmReserved2 = 0;
};
static_assert(sizeof(DEVMODE) == 148);
using DEVMODEA = DEVMODE;
using LPDEVMODE = DEVMODE*;

inline constexpr DWORD DM_ORIENTATION = 0x00000001;
inline constexpr DWORD DM_PAPERSIZE = 0x00000002;
inline constexpr DWORD DM_PAPERLENGTH = 0x00000004;
inline constexpr DWORD DM_PAPERWIDTH = 0x00000008;
inline constexpr DWORD DM_SCALE = 0x00000010;
inline constexpr DWORD DM_COPIES = 0x00000100;
inline constexpr DWORD DM_DEFAULTSOURCE = 0x00000200;
inline constexpr DWORD DM_PRINTQUALITY = 0x00000400;
inline constexpr DWORD DM_COLOR = 0x00000800;
inline constexpr DWORD DM_DUPLEX = 0x00001000;
inline constexpr DWORD DM_YRESOLUTION = 0x00002000;
inline constexpr DWORD DM_TTOPTION = 0x00004000;
inline constexpr DWORD DM_COLLATE = 0x00008000;
inline constexpr DWORD DM_FORMNAME = 0x00010000;
inline constexpr DWORD DM_BITSPERPEL = 0x00040000;
inline constexpr DWORD DM_PELSWIDTH = 0x00080000;
inline constexpr DWORD DM_PELSHEIGHT = 0x00100000;
inline constexpr DWORD DM_DISPLAYFLAGS = 0x00200000;
inline constexpr DWORD DM_DISPLAYFREQUENCY = 0x00400000;
inline constexpr WORD DM_SPECVERSION = 0x0400;
inline constexpr int16_t DMORIENT_PORTRAIT = 1;
inline constexpr int16_t DMORIENT_LANDSCAPE = 2;
inline constexpr int16_t DMPAPER_LETTER = 1;
inline constexpr int16_t DMPAPER_A4 = 9;
inline constexpr int16_t DMCOLOR_MONOCHROME = 1;
inline constexpr int16_t DMCOLOR_COLOR = 2;
inline constexpr int16_t DMRES_DRAFT = -1;
inline constexpr int16_t DMRES_LOW = -2;
inline constexpr int16_t DMRES_MEDIUM = -3;
inline constexpr int16_t DMRES_HIGH = -4;

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

}  // namespace plat
