#include "setup/common/install_paths.h"

#include <cstdio>
#include <optional>
#include <vector>

#include "platform/fs/dospath.h"

#include "platform/fs/crt_stat.h"
#include "platform/fs/winfile.h"
#include "setup/common/product_dat.h"
#include "setup/common/script_strings.h"
#include "setup/common/script_text.h"

namespace setup {

namespace {

constexpr size_t kPathLimit = MAX_PATH;
constexpr UINT kNoErrorBoxes = SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX;
constexpr std::string_view kRenameHeader = "[rename]\n";

void DropTrailingBackslash(std::string& path) {
    if (!path.empty() && path.back() == '\\') path.pop_back();
}

}  // namespace

bool SplitPath(std::string_view path, std::string& directory, std::string& name) {
    const size_t slash = path.rfind('\\');
    if (slash == std::string_view::npos) {
        directory.clear();
        name.clear();
        return false;
    }
    directory.assign(path.substr(0, slash));
    name.assign(path.substr(slash + 1));
    return true;
}

bool DirectoryExists(std::string path) {
    DropTrailingBackslash(path);
    const UINT old = SetErrorMode(kNoErrorBoxes);
    struct _stat info;
    const bool found = _stat(path.c_str(), &info) == 0;
    SetErrorMode(old);
    return found;
}

bool MakeDirectory(std::string path) {
    DropTrailingBackslash(path);
    return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
}

namespace {

bool NamesDriveC(const std::optional<std::string>& full) {
    return full && full->size() >= 3 && ((*full)[0] == 'C' || (*full)[0] == 'c') && (*full)[1] == ':';
}

}  // namespace

bool IsOnInstallDrive(std::string_view path) {
    // Both by its name and by where it leads: a link under C: may point at the host's files.
    return NamesDriveC(plat::FullDosPath(path)) && NamesDriveC(plat::RealDosPath(path));
}

bool IsWalkStopFolder(std::string_view path) {
    const std::optional<std::string> full = plat::FullDosPath(path);
    if (!full || full->size() <= 3) return true;  // a root, or nothing a walk should touch
    char buffer[MAX_PATH] = {};
    std::vector<std::string> stops;
    const auto add = [&stops](std::string folder) {
        if (const std::optional<std::string> f = plat::FullDosPath(folder)) stops.push_back(*f);
    };
    GetWindowsDirectoryA(buffer, sizeof buffer);
    const std::string windows = buffer;
    add(windows);
    add(windows + "\\Start Menu");
    add(windows + "\\Start Menu\\Programs");
    GetSystemDirectoryA(buffer, sizeof buffer);
    add(buffer);
    GetTempPathA(sizeof buffer, buffer);
    add(buffer);
    add("C:\\Program Files");
    for (const std::string& stop : stops)
        if (EqualsNoCase(stop, *full)) return true;
    return false;
}

void RemoveEmptyParents(std::string_view path) {
    std::string parent(path);
    for (size_t slash = parent.rfind('\\'); slash != std::string::npos; slash = parent.rfind('\\')) {
        parent.resize(slash);
        if (IsWalkStopFolder(parent)) return;
        if (DirectoryExists(parent) && !RemoveDirectoryA(parent.c_str())) return;
    }
}

int CreateDirectoryPath(std::string_view path) {
    std::string copy(path.substr(0, std::min(path.size(), kPathLimit)));
    DropTrailingBackslash(copy);
    const size_t first = copy.find('\\');
    if (first == std::string::npos) return 0;
    // Each level after the drive part, shortest first.
    for (size_t at = copy.find('\\', first + 1); at != std::string::npos; at = copy.find('\\', at + 1)) {
        const std::string prefix = copy.substr(0, at);
        if (!DirectoryExists(prefix) && !MakeDirectory(prefix)) return 0;
    }
    return DirectoryExists(copy) || MakeDirectory(copy) ? 1 : 0;
}

std::string WinInitPath(const CProductDat& script) { return script.Values().windowsDir + "\\WinInit.ini"; }

std::string WithDeleteAtBoot(std::string_view text, std::string_view path) {
    const std::string line = "NUL=" + std::string(path) + "\n";
    std::string out;
    out.reserve(text.size() + line.size() + kRenameHeader.size() + 1);
    bool found = false;
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        end = end == std::string_view::npos ? text.size() : end + 1;
        const std::string_view current = text.substr(at, end - at);
        out.append(current);
        // Only the exact header line, newline included, counts.
        if (current == kRenameHeader) {
            out += line;
            found = true;
        }
        at = end;
    }
    if (!found) {
        // A last line without its newline keeps its own line.
        if (!out.empty() && out.back() != '\n') out += '\n';
        out.append(kRenameHeader);
        out += line;
    }
    return out;
}

bool IsRenameSource(std::string_view winInit, std::string_view path) {
    for (size_t at = 0; at < winInit.size();) {
        size_t end = winInit.find('\n', at);
        if (end == std::string_view::npos) end = winInit.size();
        const std::string_view line = winInit.substr(at, end - at);
        const size_t equals = line.find('=');
        if (equals != std::string_view::npos) {
            std::string value(line.substr(equals + 1));
            TrimBlanks(value);
            if (EqualsNoCase(value, path)) return true;
        }
        at = end + 1;
    }
    return false;
}

void ScheduleDeleteAtBoot(CProductDat& script, const std::string& path) {
    const std::string file = WinInitPath(script);
    if (GetFileAttributesA(file.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (FILE* made = plat::fopen_dos(file.c_str(), "w")) {
            std::fputs("[rename]\n", made);
            std::fclose(made);
        }
    }
    FILE* in = plat::fopen_dos(file.c_str(), "r");
    if (!in) {
        script.ShowSetupMessage(2, kIdsCannotOpenCopy, file.c_str(), 0);
        return;
    }
    // Text mode: CR LF lines (as the profile calls write them) read as LF lines.
    std::string text;
    char chunk[4096];
    size_t n = 0;
    while ((n = std::fread(chunk, 1, sizeof chunk, in)) > 0) text.append(chunk, n);
    const bool readFailed = std::ferror(in) != 0;
    std::fclose(in);
    if (readFailed) {
        script.ShowSetupMessage(2, kIdsCannotOpenCopy, file.c_str(), 0);
        return;
    }

    const std::string out = WithDeleteAtBoot(text, path);

    FILE* back = plat::fopen_dos(file.c_str(), "w");
    if (!back) {
        script.ShowSetupMessage(2, kIdsCannotOpenCopy, file.c_str(), 0);
        return;
    }
    const bool written = std::fwrite(out.data(), 1, out.size(), back) == out.size();
    if (std::fclose(back) != 0 || !written) script.ShowSetupMessage(2, kIdsCannotOpenCopy, file.c_str(), 0);
}

}  // namespace setup
