// The next start of Windows: the [rename] section of WinInit.ini applied in file order. It runs
// when a program restarts Windows (ExitWindowsEx) and when a program starts after the host
// itself was restarted.
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/winuser.h"
#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "platform/ipc/ipc.h"
#include "platform/ipc/runtime_dir.h"
#include "platform/process/process.h"
#include "platform/profile/locked_file.h"
#include "platform/strings/cp1252.h"

namespace plat {
namespace {

namespace fs = std::filesystem;

// WinInit.ini files larger than this are not ours to rewrite.
constexpr uintmax_t kMaxWinInitSize = 4u << 20;
constexpr int kCloseWaitMs = 10000;

std::string Trim(std::string_view s) {
    size_t a = 0, b = s.size();
    while (a < b && (s[a] == ' ' || s[a] == '\t')) ++a;
    while (b > a && (s[b - 1] == ' ' || s[b - 1] == '\t' || s[b - 1] == '\r')) --b;
    return std::string(s.substr(a, b - a));
}

// Whether a [rename] name is a full path on C: ("C:\..."), and stays on C: where its links lead.
bool IsFullInstallPath(const std::string& name) {
    const auto onC = [](const std::optional<std::string>& dos) {
        return dos && dos->size() > 3 && ((*dos)[0] == 'C' || (*dos)[0] == 'c') && (*dos)[1] == ':';
    };
    if (name.size() < 4 || !((name[0] == 'C' || name[0] == 'c') && name[1] == ':' && name[2] == '\\')) return false;
    return onC(FullDosPath(name)) && onC(RealDosPath(name));
}

// One line of [rename]: "NUL=x" deletes x, "t=s" moves s over t. Empty on success, else why not.
std::string ApplyLine(const std::string& target, const std::string& source) {
    auto error = [](const char* what) { return std::string(what) + " (error " + std::to_string(GetLastError()) + ")"; };
    // Only the installation's own files: anything else in the file was not written by a setup.
    if (!IsFullInstallPath(source) || (!EqualNoCase1252(target, "NUL") && !IsFullInstallPath(target)))
        return "not a full path on C:";
    if (EqualNoCase1252(target, "NUL")) {
        if (GetFileAttributesA(source.c_str()) == INVALID_FILE_ATTRIBUTES) return {};
        SetFileAttributesA(source.c_str(), FILE_ATTRIBUTE_NORMAL);
        return DeleteFileA(source.c_str()) ? std::string() : error("cannot delete");
    }
    if (GetFileAttributesA(source.c_str()) == INVALID_FILE_ATTRIBUTES) return error("cannot find the file to move");
    const auto from = FullDosPath(source);
    const auto to = FullDosPath(target);
    if (from && to && EqualNoCase1252(*from, *to)) return {};
    if (GetFileAttributesA(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        SetFileAttributesA(target.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (!DeleteFileA(target.c_str())) return error("cannot replace");
    }
    return MoveFileA(source.c_str(), target.c_str()) ? std::string() : error("cannot move");
}

std::string WinInitPath() {
    char win[MAX_PATH] = {};
    GetWindowsDirectoryA(win, MAX_PATH);
    return std::string(win) + "\\WinInit.ini";
}

bool g_appliedAtStart = false;

}  // namespace

int ApplyPendingRenames() {
    const std::string dos = WinInitPath();
    const auto host = ResolveDosPath(dos);
    if (!host) return 0;
    CFolderLock lock(*host);  // the profile calls lock the same folder
    std::error_code ec;
    // Never read through a link at the file's name: its [rename] lines would be another file's.
    if (fs::is_symlink(*host, ec)) {
        std::fprintf(stderr, "WinInit.ini: a link, not a file; left as it is\n");
        return 0;
    }
    const uintmax_t size = fs::file_size(*host, ec);
    if (ec) return 0;
    if (size > kMaxWinInitSize) {
        std::fprintf(stderr, "WinInit.ini: too large (%ju bytes), left as it is\n", size);
        return 0;
    }
    std::string text;
    {
        std::ifstream in(*host, std::ios::binary);
        text.assign(std::istreambuf_iterator<char>(in), {});
    }
    std::string kept;
    bool inRename = false;
    int applied = 0;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        end = end == std::string::npos ? text.size() : end + 1;
        const std::string line = text.substr(at, end - at);
        at = end;
        const std::string body = Trim(std::string_view(line).substr(0, line.find_first_of("\r\n")));
        if (!body.empty() && body[0] == '[') {
            const size_t close = body.find(']');
            inRename = EqualNoCase1252(Trim(body.substr(1, close == std::string::npos ? std::string::npos : close - 1)), "rename");
            if (inRename) continue;
        }
        if (!inRename) {
            kept += line;
            continue;
        }
        const size_t eq = body.find('=');
        if (body.empty() || body[0] == ';' || eq == std::string::npos) continue;
        const std::string target = Trim(body.substr(0, eq));
        const std::string source = Trim(body.substr(eq + 1));
        const std::string why = ApplyLine(target, source);
        if (why.empty()) {
            ++applied;
        } else {
            std::fprintf(stderr, "WinInit.ini: %s=%s: %s; line dropped\n", Cp1252ToUtf8(target).c_str(),
                         Cp1252ToUtf8(source).c_str(), why.c_str());
        }
    }
    if (kept.find_first_not_of(" \t\r\n\x1a") == std::string::npos) {
        fs::remove(*host, ec);
        return applied;
    }
    // Through a temporary file made exclusively, so a link planted beside it is never written.
    if (ReplaceFileContents(*host, kept) != ERROR_SUCCESS)
        std::fprintf(stderr, "WinInit.ini: cannot rewrite; left as it is\n");
    return applied;
}

std::string HostBootId() {
    if (const char* fake = std::getenv("ZELBO_BOOT_ID")) return fake;
    std::ifstream in("/proc/sys/kernel/random/boot_id");
    std::string id;
    std::getline(in, id);
    return Trim(id);
}

bool StartOfWindowsIfRebooted() {
    const std::string boot = HostBootId();
    const fs::path dir = RuntimeDir();
    if (boot.empty() || dir.empty()) return false;
    CFolderLock lock(dir / "boot-id");  // the runtime folder
    const fs::path file = dir / "boot-id";
    std::string seen;
    {
        std::ifstream in(file);
        std::getline(in, seen);
    }
    if (Trim(seen) == boot) return false;
    ApplyPendingRenames();
    fs::path temp = file;
    temp += ".tmp";
    {
        std::ofstream out(temp, std::ios::trunc);
        out << boot << '\n';
    }
    std::error_code ec;
    fs::rename(temp, file, ec);
    g_appliedAtStart = true;
    return true;
}

bool StartOfWindowsRanAtStart() { return g_appliedAtStart; }

namespace {

// Waits, at most a bounded time, for processes that are not our children to end.
void WaitForEnd(const std::vector<int>& pids, int limitMs) {
    std::vector<pollfd> fds;
    for (int pid : pids) {
        const int fd = static_cast<int>(::syscall(SYS_pidfd_open, pid, 0));
        if (fd >= 0) fds.push_back(pollfd{fd, POLLIN, 0});
    }
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!fds.empty()) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        if (::poll(fds.data(), fds.size(), static_cast<int>(left.count())) <= 0) break;
        for (auto it = fds.begin(); it != fds.end();) {
            if (it->revents) {
                ::close(it->fd);
                it = fds.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const pollfd& p : fds) ::close(p.fd);
}

}  // namespace
}  // namespace plat

BOOL ExitWindowsEx(UINT, DWORD) {
    const std::vector<int> others = plat::PostToOtherPrograms(WM_CLOSE);
    plat::WaitForEnd(others, plat::kCloseWaitMs);
    plat::ApplyPendingRenames();
    ExitProcess(0);
}
