#include "media/print/picture_printing.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <memory>
#include <string>
#include <vector>

#include "media/print/picture_print_host.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "platform/afx/message_box.h"
#include "platform/afx/string_table.h"
#include "platform/dialogs/resources.h"
#include "platform/print/print.h"
#include "platform/profile/profile.h"
#include "platform/strings/cp1252.h"

namespace {

int g_printMode = kPrintAuto;
// The device mode handed to CreateDC: the player's 148 bytes.
DEVMODE g_devMode{};
std::unique_ptr<CPrintProgressDlg> g_progress;
HDC g_printingDc = nullptr;

const char* const kFallbackMessages[media::kPrintMessages] = {
    "Printer (or spooler) won't start a document.",
    "Printer (or spooler) won't start a page.",
    "Printer (or spooler) won't end a page.",
    "Printer (or spooler) won't end a document.",
    "Invalid printer setup. Check settings in your Windows Control Panel.",
    "Printer can't print graphics.",
    "Not enough memory to print.",
    "Unknown Error! Unable to print.",
};

// value * num / den rounded to the nearest (halves away from zero); 0 when den is 0.
int MulDivRound(int value, int num, int den) {
    if (den == 0) return 0;
    const int64_t p = static_cast<int64_t>(value) * num;
    const int64_t half = (den < 0 ? -den : den) / 2;
    const int64_t q = ((p < 0) != (den < 0)) ? (p - half) / den : (p + half) / den;
    return static_cast<int>(q);
}

void DestroyProgress() {
    if (g_progress) {
        g_progress->DestroyWindow();
        g_progress.reset();
    }
}

// strtok's splitting: skips leading delimiters, takes the text up to the next one.
std::string Token(const std::string& s, size_t& pos, const char* delims) {
    while (pos < s.size() && std::strchr(delims, s[pos])) ++pos;
    const size_t start = pos;
    while (pos < s.size() && !std::strchr(delims, s[pos])) ++pos;
    std::string t = s.substr(start, pos - start);
    if (pos < s.size()) ++pos;
    return t;
}

bool CopyOut(const std::string& s, LPSTR buf, int size) {
    if (!buf || size <= 0 || s.size() >= static_cast<size_t>(size)) return false;
    std::memcpy(buf, s.c_str(), s.size() + 1);
    return true;
}

void ColourPath(CDibG& surface, HDC dc, const RECT& dst, const RECT& src) {
    IPicturePrintHost& host = PicturePrintHost();
    PALETTEENTRY entries[256];
    host.PaletteEntries(entries);
    HPALETTE oldPalette = nullptr;
    HPALETTE palette = host.Palette();
    const bool selectPalette = palette && (GetDeviceCaps(dc, RASTERCAPS) & RC_PALETTE);
    if (selectPalette) oldPalette = SelectPalette(dc, palette, TRUE);

    DibSystem& dib = TheDibSystem();
    RGBQUAD saved[256];
    std::memcpy(saved, dib.rgbHeader.colours, sizeof(saved));
    const int savedUsage = dib.colourUsage;
    for (int i = 0; i < 256; ++i)
        dib.rgbHeader.colours[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    SetDibColourUsage(0);
    const int oldStretch = SetStretchBltMode(dc, COLORONCOLOR);

    surface.PrintStretch(dc, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, src.left, src.top,
                         src.right - src.left, src.bottom - src.top);

    if (oldStretch) SetStretchBltMode(dc, oldStretch);
    std::memcpy(dib.rgbHeader.colours, saved, sizeof(saved));
    SetDibColourUsage(savedUsage);
    if (selectPalette) SelectPalette(dc, oldPalette, TRUE);
}

int Distance2(const PALETTEENTRY& a, const PALETTEENTRY& b) {
    const int r = a.peRed - b.peRed, g = a.peGreen - b.peGreen, bl = a.peBlue - b.peBlue;
    return r * r + g * g + bl * bl;
}

void LineDrawingPath(CDibG& surface, HDC dc, const RECT& dst, const RECT& src) {
    PALETTEENTRY entries[256];
    PicturePrintHost().PaletteEntries(entries);
    bool dark[256];
    for (int i = 0; i < 256; ++i) {
        const PALETTEENTRY& e = entries[i];
        dark[i] = e.peRed * e.peRed + e.peGreen * e.peGreen + e.peBlue * e.peBlue < 1000;
    }
    const int sw = src.right - src.left, sh = src.bottom - src.top;
    const int dw = dst.right - dst.left, dh = dst.bottom - dst.top;
    if (sw <= 0 || sh <= 0) return;
    std::vector<uint8_t> black(static_cast<size_t>(sw) * sh, 0);
    auto px = [&](int x, int y) { return surface.GetPixel(src.left + x, src.top + y); };
    for (int y = 0; y < sh - 1; ++y) {
        for (int x = 0; x < sw - 1; ++x) {
            const uint8_t p = px(x, y);
            bool on = dark[p];
            if (!on) {
                const uint8_t right = px(x + 1, y), down = px(x, y + 1);
                if (!dark[right] && !dark[down])
                    on = (right != p && Distance2(entries[p], entries[right]) >= 15001) ||
                         (down != p && Distance2(entries[p], entries[down]) >= 15001);
            }
            black[static_cast<size_t>(y) * sw + x] = on;
        }
    }
    const int pw = std::max(1, dw / sw), ph = std::max(1, dh / sh);
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 0));
    for (int x = 0; x < sw; ++x) {
        int y = 0;
        while (y < sh) {
            if (!black[static_cast<size_t>(y) * sw + x]) {
                ++y;
                continue;
            }
            const int y0 = y;
            while (y + 1 < sh && black[static_cast<size_t>(y + 1) * sw + x]) ++y;
            const int left = dst.left + static_cast<int>(int64_t{x} * dw / sw);
            const RECT r{left, dst.top + static_cast<int>(int64_t{y0} * dh / sh), left + pw,
                         dst.top + static_cast<int>(int64_t{y} * dh / sh) + ph};
            FillRect(dc, &r, brush);
            ++y;
        }
    }
    DeleteObject(brush);
}

}  // namespace

namespace media {

std::string PrintDocumentName(const std::string& title, const std::string& appKey) {
    std::string name = title + " Picture";
    if (name.size() > 31) name = appKey + "'s Picture";
    return name;
}

void RegisterPicturePrintingResources() {
    static const plat::StringEntry kStrings[] = {
        {40002, u8"Skrivaren eller utskriftshanteraren kan inte behandla dokumentet."},
        {40003, u8"Skrivaren eller utskriftshanteraren kan inte behandla en sida."},
        {40004, u8"Skrivaren eller utskriftshanteraren kan inte avsluta en sida."},
        {40005, u8"Skrivaren eller utskriftshanteraren kan inte avsluta dokumentet."},
        {40006, u8"Skrivaren är felaktigt inställd. Kontrollera inställningarna i Windows Kontrollpanel."},
        {40007, u8"Skrivaren kan inte skriva ut grafik."},
        {40008, u8"Minnet räcker inte till för utskrift."},
        {40009, u8"Kunde inte skriva ut på grund av ett okänt fel."},
    };
    plat::RegisterStringTable(kStrings);
    static const plat::DialogItem kItems[] = {
        plat::CText(u8"Skriver ut...", -1, 10, 12, 100, 8),
    };
    static const plat::DialogTemplate kDialogs[] = {
        {kPrintProgressDialog, 0, 0, 120, 32, WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_MODALFRAME, u8"Skriver ut...",
         kItems},
    };
    plat::RegisterDialogTemplates(kDialogs);
}

}  // namespace media

void SetPrintMode(int32_t mode) {
    g_printMode = mode >= 0 && mode <= 2 ? static_cast<int>(mode) : kPrintAuto;
}

int GetPrintMode() {
    return g_printMode;
}

void ReportPrintError(int code, HDC dc) {
    if (code < 0 || code >= media::kPrintMessages) code = media::kPrintErrorUnknown;
    const std::optional<std::string> loaded = plat::LookupString(media::kIdsPrintFirstMessage + code);
    const std::string text = loaded && !loaded->empty() ? *loaded : kFallbackMessages[code];
    IPicturePrintHost& host = PicturePrintHost();
    const bool was = host.MessageShowing();
    host.SetMessageShowing(true);
    AfxMessageBox(text.c_str(), MB_OK);
    host.SetMessageShowing(was);
    host.InvalidateScreen();
    if (dc) DeleteDC(dc);
}

BOOL FindSavedPrinter(LPSTR driver, int driverSize, LPSTR device, int deviceSize, LPSTR port, int portSize) {
    if (!driver || !device || !port || driverSize <= 0 || deviceSize <= 0 || portSize <= 0) return FALSE;
    const size_t deviceLen = strnlen(device, deviceSize), portLen = strnlen(port, portSize);
    if (deviceLen == 0 || deviceLen >= static_cast<size_t>(deviceSize) || portLen == 0 ||
        portLen >= static_cast<size_t>(portSize))
        return FALSE;
    const std::string savedDevice(device, deviceLen), savedPort(port, portLen);
    char list[1024] = {};
    GetProfileString("devices", nullptr, "", list, sizeof(list));
    for (const char* name = list; *name && name < list + sizeof(list); name += std::strlen(name) + 1) {
        if (!plat::EqualNoCase1252(name, savedDevice)) continue;
        char value[256] = {};
        GetProfileString("devices", name, "**NONE**", value, sizeof(value));
        if (std::strcmp(value, "**NONE**") == 0) return FALSE;
        const char* comma = std::strchr(value, ',');
        const std::string drv = comma ? std::string(value, static_cast<size_t>(comma - value)) : std::string(value);
        const char* p = comma ? comma + 1 : value + std::strlen(value);
        while (*p == ' ' || *p == '\t') ++p;
        const std::string prt = p;
        if (!plat::EqualNoCase1252(prt, savedPort)) continue;
        const std::string dev = name;
        if (dev.size() >= 32 || drv.size() >= 9 || prt.size() >= 32) continue;
        if (static_cast<size_t>(driverSize) <= drv.size() || static_cast<size_t>(deviceSize) <= dev.size() ||
            static_cast<size_t>(portSize) <= prt.size())
            continue;
        CopyOut(dev, device, deviceSize);
        CopyOut(drv, driver, driverSize);
        CopyOut(prt, port, portSize);
        return TRUE;
    }
    return FALSE;
}

BOOL StartPrinting(HDC* out) {
    if (out) *out = nullptr;
    IPicturePrintHost& host = PicturePrintHost();
    plat::ListPrinters();  // brings WIN.INI's printer entries in step with the printers now
    SavedPrinterChoice saved;
    const bool haveSaved = host.SavedPrinter(saved);
    g_devMode = DEVMODE{};
    if (haveSaved) std::memcpy(static_cast<void*>(&g_devMode), saved.setup, sizeof(saved.setup));

    HDC dc = nullptr;
    if (haveSaved) {
        char driver[13] = {}, device[32] = {}, port[32] = {};
        std::memcpy(device, saved.device, strnlen(saved.device, sizeof(device) - 1));
        std::memcpy(port, saved.port, strnlen(saved.port, sizeof(port) - 1));
        std::memcpy(driver, saved.driver, strnlen(saved.driver, sizeof(driver) - 1));
        if (FindSavedPrinter(driver, sizeof(driver), device, sizeof(device), port, sizeof(port))) {
            dc = CreateDC(driver, device, port, &g_devMode);
            if (!dc) dc = CreateDC(driver, device, port, nullptr);
            if (!dc) dc = CreateDC(nullptr, device, nullptr, nullptr);
        }
    }
    if (!dc) {
        char buf[81] = {};
        GetProfileString("windows", "device", ",,,", buf, sizeof(buf));
        const std::string line = buf;
        size_t pos = 0;
        const std::string device = Token(line, pos, ",");
        const std::string driver = Token(line, pos, ", ");
        const std::string port = Token(line, pos, ", ");
        if (!device.empty()) dc = CreateDC(driver.c_str(), device.c_str(), port.c_str(), nullptr);
    }
    if (!dc) {
        ReportPrintError(media::kPrintErrorSetup, nullptr);
        return FALSE;
    }
    if (!(GetDeviceCaps(dc, RASTERCAPS) & RC_BITBLT)) {
        ReportPrintError(media::kPrintErrorNoGraphics, dc);
        return FALSE;
    }
    const std::string docName = media::PrintDocumentName(host.GameTitle(), host.AppKey());
    DOCINFO doc;
    doc.lpszDocName = docName.c_str();
    if (StartDoc(dc, &doc) <= 0) {
        ReportPrintError(media::kPrintErrorStartDoc, dc);
        return FALSE;
    }
    if (StartPage(dc) <= 0) {
        AbortDoc(dc);
        ReportPrintError(media::kPrintErrorStartPage, dc);
        return FALSE;
    }
    g_progress = std::make_unique<CPrintProgressDlg>();
    if (!g_progress->CreateBox(host.ParentWindow())) g_progress.reset();
    g_printingDc = dc;
    if (out) *out = dc;
    return TRUE;
}

BOOL EndPrinting(HDC dc) {
    if (!dc) return FALSE;
    if (g_printingDc == dc) g_printingDc = nullptr;
    if (EndPage(dc) <= 0) {
        AbortDoc(dc);
        DestroyProgress();
        ReportPrintError(media::kPrintErrorEndPage, dc);
        return FALSE;
    }
    if (EndDoc(dc) <= 0) {
        AbortDoc(dc);
        DestroyProgress();
        ReportPrintError(media::kPrintErrorEndDoc, dc);
        return FALSE;
    }
    DeleteDC(dc);
    DestroyProgress();
    return TRUE;
}

BOOL PrintDib(CDibG& surface, HDC dc, const RECT& dst, const RECT& src) {
    bool colour = g_printMode == kPrintColour;
    if (g_printMode == kPrintAuto) {
        const int planes = GetDeviceCaps(dc, PLANES), bits = GetDeviceCaps(dc, BITSPIXEL);
        colour = static_cast<int64_t>(std::max(planes, 0)) << std::clamp(bits, 0, 31) > 2;
    }
    if (colour)
        ColourPath(surface, dc, dst, src);
    else
        LineDrawingPath(surface, dc, dst, src);
    return TRUE;
}

void PrintPicture(int16_t spotId) {
    IPicturePrintHost& host = PicturePrintHost();
    CDibG* surface = host.FrameSurface();
    RECT spot{};
    if (!surface || !surface->IsValid() || !host.SpotRect(spotId, spot)) return;
    const int w = spot.right - spot.left, h = spot.bottom - spot.top;
    if (w <= 0 || h <= 0) return;
    const RECT src{std::max<LONG>(spot.left, 0), std::max<LONG>(spot.top, 0),
                   std::min<LONG>(spot.right, surface->Width()), std::min<LONG>(spot.bottom, surface->Height())};
    if (src.right <= src.left || src.bottom <= src.top) return;

    HDC dc = nullptr;
    if (!StartPrinting(&dc)) return;
    host.BeginBusy();
    host.SetPrinting(true);

    const int horzRes = GetDeviceCaps(dc, HORZRES), vertRes = GetDeviceCaps(dc, VERTRES);
    const int horzSize = GetDeviceCaps(dc, HORZSIZE), vertSize = GetDeviceCaps(dc, VERTSIZE);
    const int logX = GetDeviceCaps(dc, LOGPIXELSX), logY = GetDeviceCaps(dc, LOGPIXELSY);
    int width, height;
    if (int64_t{w} * vertSize <= int64_t{h} * horzSize) {
        height = vertRes;
        width = MulDivRound(MulDivRound(vertRes, w, h), logX, logY);
    } else {
        width = horzRes;
        height = MulDivRound(MulDivRound(horzRes, h, w), logY, logX);
    }
    const RECT dst{(horzRes - width) >> 1, (vertRes - height) >> 1, (horzRes + width) >> 1, (vertRes + height) >> 1};
    PrintDib(*surface, dc, dst, src);
    EndPrinting(dc);
    host.SetPrinting(false);
    host.EndBusy();
}
