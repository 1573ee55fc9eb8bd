// The printer list: the spooler's printers or the file printer, WIN.INI kept in step with
// it, device modes and page formats, and the CUPS spooler (lpstat, lp).
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "platform/core/backend.h"
#include "platform/print/print.h"
#include "platform/print/print_internal.h"
#include "platform/profile/profile.h"
#include "platform/strings/cp1252.h"

extern char** environ;

namespace plat {
namespace {

constexpr size_t kMaxNameLength = CCHDEVICENAME - 1;

// Runs a command without a shell and gives back what it wrote to standard output.
bool RunForOutput(const std::vector<std::string>& args, std::string& out) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return false;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, pipeFds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeFds[0]);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", 0, 0);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    close(pipeFds[1]);
    if (rc != 0) {
        close(pipeFds[0]);
        return false;
    }
    char buffer[4096];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof(buffer))) > 0) {
        if (out.size() < (1u << 20)) out.append(buffer, static_cast<size_t>(n));
    }
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

class CupsSpooler : public IPrintSpooler {
public:
    std::vector<std::string> Printers() override {
        std::string out;
        if (!RunForOutput({"lpstat", "-e"}, out)) return {};
        return Lines(out);
    }
    std::string DefaultPrinter() override {
        std::string out;
        if (!RunForOutput({"lpstat", "-d"}, out)) return {};
        const size_t colon = out.find(':');
        if (colon == std::string::npos) return {};
        std::string name = out.substr(colon + 1);
        while (!name.empty() && (name.front() == ' ')) name.erase(name.begin());
        while (!name.empty() && (name.back() == '\n' || name.back() == ' ')) name.pop_back();
        return name;
    }
    bool Submit(const std::string& printer, const std::string& title, const std::vector<std::filesystem::path>& pages,
                int dpi, std::string* error) override {
        std::vector<std::string> args{"lp", "-d", printer, "-t", title, "-o", "ppi=" + std::to_string(dpi), "--"};
        for (const auto& p : pages) args.push_back(p.string());
        std::string out;
        if (!RunForOutput(args, out)) {
            if (error) *error = "lp refused the job for " + printer;
            return false;
        }
        return true;
    }
};

struct SpoolerState {
    bool chosen = false;
    std::unique_ptr<IPrintSpooler> spooler;
};

SpoolerState& Spooler() {
    static SpoolerState s;
    return s;
}

IPrintSpooler* CurrentSpooler() {
    SpoolerState& s = Spooler();
    if (!s.chosen) {
        s.chosen = true;
        if (HasBackend() && Backend().UsesHostPrinters()) s.spooler = MakeCupsSpooler();
    }
    return s.spooler.get();
}

std::string DeviceLine(const PrinterInfo& p) {
    return p.name + "," + p.driver + "," + p.port;
}

// Brings [devices] and [windows] device= in step with the list.
void SyncWinIni(const std::vector<PrinterInfo>& printers, const std::string& spoolerDefault) {
    std::string wanted;
    for (const PrinterInfo& p : printers) {
        wanted += p.name + "=" + p.driver + "," + p.port;
        wanted.push_back('\0');
    }
    std::vector<char> current(8192);
    const DWORD n = GetProfileSectionA("devices", current.data(), static_cast<DWORD>(current.size()));
    if (std::string(current.data(), n) != wanted) {
        std::string lines = wanted;
        lines.push_back('\0');
        WriteProfileSectionA("devices", lines.c_str());
    }
    char device[256] = {};
    GetProfileStringA("windows", "device", "", device, sizeof(device));
    std::string chosenName = device;
    chosenName = chosenName.substr(0, chosenName.find(','));
    const PrinterInfo* chosen = nullptr;
    for (const PrinterInfo& p : printers)
        if (EqualNoCase1252(p.name, chosenName)) chosen = &p;
    if (!chosen) {
        for (const PrinterInfo& p : printers)
            if (p.spooler && !spoolerDefault.empty() && EqualNoCase1252(p.name, spoolerDefault)) chosen = &p;
    }
    if (!chosen && !printers.empty()) chosen = &printers.front();
    const std::string line = chosen ? DeviceLine(*chosen) : std::string();
    if (line != device) WriteProfileStringA("windows", "device", chosen ? line.c_str() : nullptr);
}

}  // namespace

namespace print {

std::vector<PrinterInfo> QueryPrinters() {
    EnsurePrinterOpener();
    std::vector<PrinterInfo> printers;
    std::string spoolerDefault;
    if (IPrintSpooler* spooler = CurrentSpooler()) {
        for (const std::string& hostName : spooler->Printers()) {
            PrinterInfo p;
            p.name = Utf8ToCp1252(hostName).substr(0, kMaxNameLength);
            p.driver = kSpoolerDriver;
            p.port = kSpoolerPort;
            p.spooler = true;
            p.spoolerName = hostName;
            const bool twice = std::any_of(printers.begin(), printers.end(),
                                           [&](const PrinterInfo& q) { return EqualNoCase1252(q.name, p.name); });
            if (!twice && !p.name.empty()) printers.push_back(p);
        }
        if (!printers.empty()) spoolerDefault = Utf8ToCp1252(spooler->DefaultPrinter()).substr(0, kMaxNameLength);
    }
    if (printers.empty()) {
        PrinterInfo file;
        file.name = kFilePrinterName;
        file.driver = kFilePrinterDriver;
        file.port = kFilePrinterPort;
        printers.push_back(file);
    }
    SyncWinIni(printers, spoolerDefault);
    return printers;
}

IPrintSpooler* SpoolerInUse() {
    return CurrentSpooler();
}

}  // namespace print

std::unique_ptr<IPrintSpooler> MakeCupsSpooler() {
    return std::make_unique<CupsSpooler>();
}

void SetPrintSpooler(std::unique_ptr<IPrintSpooler> spooler) {
    Spooler().chosen = true;
    Spooler().spooler = std::move(spooler);
}

void ResetPrintSpooler() {
    Spooler().chosen = false;
    Spooler().spooler.reset();
}

std::vector<PrinterInfo> ListPrinters() {
    return print::QueryPrinters();
}

bool GetDefaultPrinter(PrinterInfo& out) {
    const std::vector<PrinterInfo> printers = print::QueryPrinters();
    char device[256] = {};
    GetProfileStringA("windows", "device", "", device, sizeof(device));
    std::string name = device;
    name = name.substr(0, name.find(','));
    for (const PrinterInfo& p : printers)
        if (EqualNoCase1252(p.name, name)) {
            out = p;
            return true;
        }
    return false;
}

bool FindPrinter(const std::string& name, PrinterInfo& out) {
    for (const PrinterInfo& p : print::QueryPrinters())
        if (EqualNoCase1252(p.name, name)) {
            out = p;
            return true;
        }
    return false;
}

DEVMODE DefaultDevMode(const PrinterInfo& printer) {
    DEVMODE dm;
    const size_t n = std::min(printer.name.size(), kMaxNameLength);
    std::memcpy(dm.dmDeviceName, printer.name.data(), n);
    dm.dmSpecVersion = DM_SPECVERSION;
    dm.dmDriverVersion = 0x0100;
    dm.dmSize = sizeof(DEVMODE);
    dm.dmFields = DM_ORIENTATION | DM_PAPERSIZE | DM_COPIES | DM_PRINTQUALITY | DM_COLOR | DM_YRESOLUTION;
    dm.dmOrientation = DMORIENT_PORTRAIT;
    dm.dmPaperSize = DMPAPER_A4;
    dm.dmCopies = 1;
    dm.dmPrintQuality = 300;
    dm.dmColor = DMCOLOR_COLOR;
    dm.dmYResolution = 300;
    return dm;
}

PageFormat PageFormatOf(const DEVMODE* dm) {
    PageFormat f;
    auto inRange = [](int v) { return v >= 75 && v <= 600; };
    if (dm) {
        if ((dm->dmFields & DM_YRESOLUTION) && inRange(dm->dmYResolution)) {
            f.dpi = dm->dmYResolution;
        } else if ((dm->dmFields & DM_PRINTQUALITY) && inRange(dm->dmPrintQuality)) {
            f.dpi = dm->dmPrintQuality;
        } else if (dm->dmFields & DM_PRINTQUALITY) {
            switch (dm->dmPrintQuality) {
                case DMRES_DRAFT: f.dpi = 75; break;
                case DMRES_LOW: f.dpi = 150; break;
                case DMRES_MEDIUM: f.dpi = 300; break;
                case DMRES_HIGH: f.dpi = 600; break;
                default: break;
            }
        }
        if ((dm->dmFields & DM_PAPERSIZE) && dm->dmPaperSize == DMPAPER_LETTER) {
            f.widthMm = 216;
            f.heightMm = 279;
        }
        if ((dm->dmFields & DM_COLOR) && dm->dmColor == DMCOLOR_MONOCHROME) f.colour = false;
    }
    const bool letter = f.widthMm == 216;
    f.widthPx = letter ? f.dpi * 17 / 2 : static_cast<int>(std::lround(f.widthMm * f.dpi / 25.4));
    f.heightPx = letter ? f.dpi * 11 : static_cast<int>(std::lround(f.heightMm * f.dpi / 25.4));
    if (dm && (dm->dmFields & DM_ORIENTATION) && dm->dmOrientation == DMORIENT_LANDSCAPE) {
        std::swap(f.widthMm, f.heightMm);
        std::swap(f.widthPx, f.heightPx);
    }
    return f;
}

}  // namespace plat
