#include "setup/common/install_paths.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <vector>

#include "platform/fs/dospath.h"

#include "platform/fs/crt_stat.h"
#include "platform/fs/winfile.h"
#include "platform/profile/locked_file.h"
#include "setup/common/product_dat.h"
#include "setup/common/script_strings.h"
#include "setup/common/script_text.h"
#include "setup/common/script_values.h"

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

void FindStartFolders(ScriptValues& values) {
    char buffer[MAX_PATH] = {};
    GetSystemDirectoryA(buffer, sizeof buffer);
    values.systemDir = buffer;
    GetWindowsDirectoryA(buffer, sizeof buffer);
    values.windowsDir = buffer;
    GetTempPathA(sizeof buffer, buffer);
    const std::string temp = buffer;
    std::string bare = temp;
    if (!bare.empty() && bare.back() == '\\') bare.pop_back();
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof current, current);
    struct _stat info;
    values.tempDir = bare == current || _stat(bare.c_str(), &info) != 0 ? values.systemDir : temp;
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

bool IsProtectedFolder(std::string_view path) {
    if (IsWalkStopFolder(path)) return true;
    const std::optional<std::string> real = plat::RealDosPath(path);
    return !real || IsWalkStopFolder(*real);
}

void RemoveEmptyParents(std::string_view path) {
    std::string parent(path);
    for (size_t slash = parent.rfind('\\'); slash != std::string::npos; slash = parent.rfind('\\')) {
        parent.resize(slash);
        if (IsProtectedFolder(parent)) return;
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

namespace {

// WinInit.ini's text as the text-mode runtime reads it: CR LF as LF, nothing after Ctrl+Z.
std::string AsTextMode(std::string text) {
    if (const size_t eof = text.find('\x1a'); eof != std::string::npos) text.resize(eof);
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i)
        if (!(text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')) out += text[i];
    return out;
}

// Rewrites WinInit.ini under the profile's lock, never through a link at its name; a failure
// gets message 59169 and leaves the file as it was.
void EditWinInit(CProductDat& script, const std::function<std::string(const std::string&)>& edit) {
    const std::string file = WinInitPath(script);
    const std::optional<std::filesystem::path> host = plat::ResolveDosPath(file);
    if (!host || !IsOnInstallDrive(script.Values().windowsDir) ||
        plat::EditFileNoFollow(*host, [&edit](const std::string& text) { return edit(AsTextMode(text)); }) !=
            ERROR_SUCCESS)
        script.ShowSetupMessage(2, kIdsCannotOpenCopy, file.c_str(), 0);
}

}  // namespace

std::string WithRenameAtBoot(std::string_view text, std::string_view target, std::string_view source) {
    std::string out;
    out.reserve(text.size() + target.size() + source.size() + kRenameHeader.size() + 2);
    bool inFirst = false, placed = false;
    const std::string line = std::string(target) + "=" + std::string(source) + "\n";
    for (size_t at = 0; at < text.size();) {
        size_t end = text.find('\n', at);
        end = end == std::string_view::npos ? text.size() : end + 1;
        std::string_view current = text.substr(at, end - at);
        at = end;
        if (!current.empty() && current.front() == '[') {
            if (inFirst && !placed) {
                out += line;
                placed = true;
            }
            inFirst = !placed && current == kRenameHeader;
        } else if (inFirst) {
            // An earlier move to the same target is replaced, as the profile calls replace a key.
            const size_t equals = current.find('=');
            std::string key(current.substr(0, equals == std::string_view::npos ? 0 : equals));
            TrimBlanks(key);
            if (equals != std::string_view::npos && EqualsNoCase(key, target)) continue;
        }
        out.append(current);
        if (inFirst && !current.empty() && current.back() != '\n') out += '\n';
    }
    if (inFirst && !placed) {
        out += line;
        placed = true;
    }
    if (!placed) {
        if (!out.empty() && out.back() != '\n') out += '\n';
        out.append(kRenameHeader);
        out += line;
    }
    return out;
}

void ScheduleDeleteAtBoot(CProductDat& script, const std::string& path) {
    EditWinInit(script, [&path](const std::string& text) { return WithDeleteAtBoot(text, path); });
}

void ScheduleRenameAtBoot(CProductDat& script, const std::string& target, const std::string& source) {
    EditWinInit(script, [&](const std::string& text) { return WithRenameAtBoot(text, target, source); });
}

bool NamesWinInit(const CProductDat& script, const std::string& iniFile) {
    // A bare name is the Windows folder's, as the profile calls take it.
    const std::string full = iniFile.find_first_of("\\/:") == std::string::npos
                                 ? script.Values().windowsDir + "\\" + iniFile
                                 : iniFile;
    const std::string winInit = WinInitPath(script);
    for (const auto& named : {plat::FullDosPath(full), plat::RealDosPath(full)}) {
        if (!named) continue;
        for (const auto& protectedName : {plat::FullDosPath(winInit), plat::RealDosPath(winInit)})
            if (protectedName && EqualsNoCase(*named, *protectedName)) return true;
    }
    return false;
}

}  // namespace setup
