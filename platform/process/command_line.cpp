// The command line: what a parent of ours gave, or the host's arguments joined the Windows way.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <mutex>
#include <optional>

#include "platform/fs/winfile.h"
#include "platform/process/process.h"
#include "platform/process/process_internal.h"
#include "platform/strings/cp1252.h"

namespace plat {
namespace {

struct FromParent {
    std::optional<std::string> line;
    int exitFd = -1;
};

// "<parent pid>:<value>": taken only when the parent that set it is ours.
std::optional<std::string> OwnValue(const char* name) {
    const char* raw = std::getenv(name);
    if (!raw) return std::nullopt;
    const char* colon = std::strchr(raw, ':');
    if (!colon) return std::nullopt;
    const long pid = std::strtol(raw, nullptr, 10);
    if (pid <= 0 || pid != static_cast<long>(::getppid())) return std::nullopt;
    return std::string(colon + 1);
}

// Read once at start-up, before the program can start children of its own; the variables
// are removed so that nothing else sees them.
FromParent CaptureFromParent() {
    FromParent out;
    out.line = OwnValue(kCommandLineVar);
    if (auto fd = OwnValue(kExitFdVar)) {
        char* end = nullptr;
        const long n = std::strtol(fd->c_str(), &end, 10);
        struct stat st {};
        if (end && *end == '\0' && n > 2 && n < 65536 && ::fstat(static_cast<int>(n), &st) == 0 && S_ISFIFO(st.st_mode)) {
            out.exitFd = static_cast<int>(n);
            ::fcntl(out.exitFd, F_SETFD, FD_CLOEXEC);
        }
    }
    ::unsetenv(kCommandLineVar);
    ::unsetenv(kExitFdVar);
    return out;
}

const FromParent& Parent() {
    static const FromParent parent = CaptureFromParent();
    return parent;
}
// Taken during static initialisation of any program that links this file.
[[maybe_unused]] const FromParent& g_capturedAtStart = Parent();

bool NeedsQuotes(const std::string& arg) {
    return arg.empty() || arg.find_first_of(" \t\"") != std::string::npos;
}

std::string QuoteArgument(const std::string& arg) {
    if (!NeedsQuotes(arg)) return arg;
    std::string out = "\"";
    size_t slashes = 0;
    for (char c : arg) {
        if (c == '\\') {
            ++slashes;
        } else if (c == '"') {
            out.append(slashes * 2 + 1, '\\');
            slashes = 0;
        } else {
            out.append(slashes, '\\');
            slashes = 0;
        }
        if (c != '\\') out += c;
    }
    out.append(slashes * 2, '\\');
    return out + "\"";
}

std::string JoinHostArguments() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    std::string raw((std::istreambuf_iterator<char>(in)), {});
    std::vector<std::string> args;
    size_t at = 0;
    while (at < raw.size()) {
        size_t end = raw.find('\0', at);
        if (end == std::string::npos) end = raw.size();
        args.push_back(Utf8ToCp1252(raw.substr(at, end - at)));
        at = end + 1;
    }
    char module[MAX_PATH] = {};
    if (GetModuleFileNameA(nullptr, module, MAX_PATH) > 0) {
        if (args.empty())
            args.push_back(module);
        else
            args[0] = module;
    }
    return JoinCommandLine(args);
}

std::mutex g_lineMu;
std::optional<std::string> g_testLine;

}  // namespace

int ExitCodePipe() { return Parent().exitFd; }

std::string CommandLineTail(std::string_view line) {
    size_t at = 0;
    if (!line.empty() && line[0] == '"') {
        const size_t close = line.find('"', 1);
        at = close == std::string_view::npos ? line.size() : close + 1;
    } else {
        while (at < line.size() && line[at] != ' ' && line[at] != '\t') ++at;
    }
    while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) ++at;
    return std::string(line.substr(at));
}

std::vector<std::string> SplitCommandLine(std::string_view line) {
    std::vector<std::string> out;
    size_t i = 0;
    for (;;) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
        if (i >= line.size()) break;
        std::string arg;
        bool quoted = false;
        while (i < line.size()) {
            const char c = line[i];
            if (!quoted && (c == ' ' || c == '\t')) break;
            if (c == '\\') {
                size_t n = 0;
                while (i < line.size() && line[i] == '\\') ++n, ++i;
                if (i < line.size() && line[i] == '"') {
                    arg.append(n / 2, '\\');
                    if (n % 2) {
                        arg += '"';
                        ++i;
                    }
                } else {
                    arg.append(n, '\\');
                }
                continue;
            }
            if (c == '"') {
                if (quoted && i + 1 < line.size() && line[i + 1] == '"') {  // "" inside quotes is one quote
                    arg += '"';
                    i += 2;
                    continue;
                }
                quoted = !quoted;
                ++i;
                continue;
            }
            arg += c;
            ++i;
        }
        out.push_back(std::move(arg));
    }
    return out;
}

std::string JoinCommandLine(const std::vector<std::string>& args) {
    std::string out;
    for (const std::string& a : args) {
        if (!out.empty()) out += ' ';
        out += QuoteArgument(a);
    }
    return out;
}

void SetCommandLineForTests(const std::string& line) {
    std::lock_guard lock(g_lineMu);
    g_testLine = line;
}

}  // namespace plat

LPSTR GetCommandLineA() {
    static std::string line;
    static std::once_flag once;
    std::call_once(once, [] {
        const auto& parent = plat::Parent();
        line = parent.line ? *parent.line : plat::JoinHostArguments();
    });
    {
        std::lock_guard lock(plat::g_lineMu);
        if (plat::g_testLine) {
            static std::string testCopy;
            testCopy = *plat::g_testLine;
            return testCopy.data();
        }
    }
    return line.data();
}
