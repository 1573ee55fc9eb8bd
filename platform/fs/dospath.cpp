#include "platform/fs/dospath.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <mutex>
#include <system_error>

#include "platform/strings/cp1252.h"

namespace fs = std::filesystem;

namespace plat {
namespace {

constexpr char kFirstCdLetter = 'D';
constexpr char kLastCdLetter = 'Y';  // Z: is the host

struct DriveState {
    std::recursive_mutex mutex;
    std::optional<fs::path> rootOverride;
    std::optional<std::vector<fs::path>> cdOverride;
    fs::path root;
    bool rootKnown = false;
    bool foldersMade = false;
    std::vector<fs::path> cds;
    bool cdsKnown = false;
    char currentDrive = 0;  // 0 until the host's working folder was taken over
    std::array<std::string, 26> driveDirs;  // each drive's current folder, empty = its root
};

DriveState& State() {
    static DriveState* state = new DriveState;  // never destroyed: used from static destructors
    return *state;
}

std::string Env(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

fs::path Absolute(const fs::path& p) {
    std::error_code ec;
    fs::path a = p.is_absolute() ? p : fs::absolute(p, ec);
    if (ec) a = p;
    a = a.lexically_normal();
    // "/a/b/" normalises to "/a/b/"; drop the empty last element so prefixes compare.
    if (!a.has_filename() && a.has_parent_path() && a != a.root_path()) a = a.parent_path();
    return a;
}

fs::path DefaultRoot() {
    if (std::string r = Env("ZELBO_ROOT"); !r.empty()) return Absolute(r);
    if (std::string x = Env("XDG_DATA_HOME"); !x.empty() && fs::path(x).is_absolute()) {
        return Absolute(fs::path(x) / "quorva" / "c");
    }
    if (std::string h = Env("HOME"); !h.empty()) return Absolute(fs::path(h) / ".local" / "share" / "quorva" / "c");
    std::error_code ec;
    return Absolute(fs::temp_directory_path(ec) / "quorva" / "c");
}

std::vector<fs::path> DefaultCds() {
    std::vector<fs::path> cds;
    const std::string list = Env("ZELBO_CDROM");
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(':', start);
        if (end == std::string::npos) end = list.size();
        if (end > start) cds.push_back(Absolute(list.substr(start, end - start)));
        start = end + 1;
    }
    return cds;
}

const fs::path& RootLocked(DriveState& s) {
    if (!s.rootKnown) {
        s.root = s.rootOverride ? *s.rootOverride : DefaultRoot();
        s.rootKnown = true;
        s.foldersMade = false;
    }
    return s.root;
}

const std::vector<fs::path>& CdsLocked(DriveState& s) {
    if (!s.cdsKnown) {
        s.cds = s.cdOverride ? *s.cdOverride : DefaultCds();
        const size_t maxCds = kLastCdLetter - kFirstCdLetter + 1;
        if (s.cds.size() > maxCds) s.cds.resize(maxCds);
        s.cdsKnown = true;
    }
    return s.cds;
}

char UpperLetter(char c) { return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c; }
bool IsLetter(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

std::optional<fs::path> DriveRootLocked(DriveState& s, char letter) {
    letter = UpperLetter(letter);
    if (letter == 'C') return RootLocked(s);
    if (letter == 'Z') return fs::path("/");
    if (letter >= kFirstCdLetter && letter <= kLastCdLetter) {
        const auto& cds = CdsLocked(s);
        const size_t i = static_cast<size_t>(letter - kFirstCdLetter);
        if (i < cds.size()) return cds[i];
    }
    return std::nullopt;
}

// Whether prefix is a leading run of whole components of p; the rest goes to rest.
bool SplitPrefix(const fs::path& p, const fs::path& prefix, std::vector<std::string>& rest) {
    auto pi = p.begin();
    for (auto qi = prefix.begin(); qi != prefix.end(); ++qi, ++pi) {
        if (qi->empty()) continue;
        if (pi == p.end() || *pi != *qi) return false;
    }
    rest.clear();
    for (; pi != p.end(); ++pi) {
        if (!pi->empty()) rest.push_back(pi->string());
    }
    return true;
}

std::string JoinDos(char letter, const std::vector<std::string>& components) {
    std::string out{letter, ':', '\\'};
    for (size_t i = 0; i < components.size(); ++i) {
        if (i) out += '\\';
        out += components[i];
    }
    return out;
}

std::string ToDos(char letter, const std::vector<std::string>& utf8Components) {
    std::vector<std::string> dos;
    for (const auto& c : utf8Components) dos.push_back(Utf8ToCp1252(c));
    return JoinDos(letter, dos);
}

// The drive whose root is the longest leading part of p, so that a CD folder inside the
// emulated root keeps its own letter.
std::optional<std::string> MapToDrive(const fs::path& p, const std::vector<std::pair<char, fs::path>>& roots) {
    std::optional<std::string> best;
    ptrdiff_t bestLen = -1;
    for (const auto& [letter, root] : roots) {
        std::vector<std::string> rest;
        const ptrdiff_t len = std::distance(root.begin(), root.end());
        if (len > bestLen && SplitPrefix(p, root, rest)) {
            best = ToDos(letter, rest);
            bestLen = len;
        }
    }
    return best;
}

std::string HostToDosLocked(DriveState& s, const fs::path& hostPath) {
    const fs::path abs = Absolute(hostPath);
    std::vector<std::pair<char, fs::path>> roots{{'C', RootLocked(s)}};
    const auto& cds = CdsLocked(s);
    for (size_t i = 0; i < cds.size(); ++i) roots.emplace_back(static_cast<char>(kFirstCdLetter + i), cds[i]);
    if (auto d = MapToDrive(abs, roots)) return *d;
    // The same folders reached through symbolic links (a temporary folder, say) map as well.
    std::error_code ec;
    const fs::path canon = fs::weakly_canonical(abs, ec);
    if (!ec) {
        for (auto& [letter, root] : roots) {
            fs::path c = fs::weakly_canonical(root, ec);
            if (!ec) root = c;
        }
        if (auto d = MapToDrive(canon, roots)) return *d;
    }
    std::vector<std::string> rest;
    SplitPrefix(abs, fs::path("/"), rest);
    return ToDos('Z', rest);
}

void EnsureCurrentLocked(DriveState& s) {
    if (s.currentDrive) return;
    std::error_code ec;
    fs::path cwd = fs::current_path(ec);
    if (ec) cwd = "/";
    const std::string dos = HostToDosLocked(s, cwd);
    s.currentDrive = dos[0];
    s.driveDirs[static_cast<size_t>(dos[0] - 'A')] = dos;
}

std::string CurrentOfLocked(DriveState& s, char letter) {
    EnsureCurrentLocked(s);
    letter = UpperLetter(letter);
    const std::string& d = s.driveDirs[static_cast<size_t>(letter - 'A')];
    return d.empty() ? std::string{letter, ':', '\\'} : d;
}

bool IsBadNameChar(uint8_t c) {
    return c < 0x20 || c == '<' || c == '>' || c == '"' || c == '|' || c == ':';
}

// Splits the part after "X:\" into components, applying "." and ".." (clamped at the root).
bool AddComponents(std::string_view text, std::vector<std::string>& out) {
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\\', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view c = text.substr(start, end - start);
        start = end + 1;
        if (c.empty() || c == ".") continue;
        if (c == "..") {
            if (!out.empty()) out.pop_back();
            continue;
        }
        for (char ch : c) {
            if (IsBadNameChar(static_cast<uint8_t>(ch))) return false;
        }
        // Windows drops trailing blanks and dots of a name ("FOO." is "FOO").
        while (!c.empty() && (c.back() == ' ' || c.back() == '.')) c.remove_suffix(1);
        if (c.empty()) continue;
        out.emplace_back(c);
    }
    return true;
}

std::optional<std::string> FullLocked(DriveState& s, std::string_view dosPath) {
    if (dosPath.empty()) return std::nullopt;
    std::string p(dosPath);
    if (p.find('\0') != std::string::npos) return std::nullopt;
    std::replace(p.begin(), p.end(), '/', '\\');
    if (p.size() >= 2 && p[0] == '\\' && p[1] == '\\') return std::nullopt;  // UNC and devices
    EnsureCurrentLocked(s);
    char drive = s.currentDrive;
    std::string_view rest = p;
    if (p.size() >= 2 && p[1] == ':') {
        if (!IsLetter(p[0])) return std::nullopt;
        drive = UpperLetter(p[0]);
        rest.remove_prefix(2);
    }
    std::vector<std::string> components;
    if (rest.empty() || rest[0] != '\\') {
        const std::string base = CurrentOfLocked(s, drive);
        if (!AddComponents(std::string_view(base).substr(3), components)) return std::nullopt;
    }
    if (!AddComponents(rest, components)) return std::nullopt;
    return JoinDos(drive, components);
}

bool HasWildcards(std::string_view s) { return s.find_first_of("*?") != std::string_view::npos; }

// The entry of folder dir named like name (Windows-1252) without regard to case.
std::optional<fs::path> FindEntry(const fs::path& dir, const std::string& name) {
    std::error_code ec;
    const fs::path exact = dir / Cp1252ToUtf8(name);
    if (fs::symlink_status(exact, ec).type() != fs::file_type::not_found && !ec) return exact;
    std::optional<fs::path> best;
    fs::directory_iterator it(dir, ec);
    if (ec) return std::nullopt;
    for (const auto& entry : it) {
        const std::string onDisk = entry.path().filename().string();
        if (EqualNoCase1252(Utf8ToCp1252(onDisk), name)) {
            if (!best || onDisk < best->filename().string()) best = entry.path();
        }
    }
    return best;
}

fs::path ResolveUnder(const fs::path& root, const std::vector<std::string>& components) {
    fs::path host = root;
    bool searching = true;
    for (const auto& c : components) {
        if (searching) {
            if (auto found = FindEntry(host, c)) {
                host = *found;
                continue;
            }
            searching = false;
        }
        host /= Cp1252ToUtf8(c);
    }
    return host;
}

void MakeWindowsFolders(const fs::path& root) {
    static const std::vector<std::vector<std::string>> kFolders = {
        {"WINDOWS"},
        {"WINDOWS", "SYSTEM"},
        {"WINDOWS", "TEMP"},
        {"WINDOWS", "Start Menu"},
        {"WINDOWS", "Start Menu", "Programs"},
        {"Program Files"},
    };
    std::error_code ec;
    fs::create_directories(root, ec);
    for (const auto& folder : kFolders) {
        fs::create_directory(ResolveUnder(root, folder), ec);
    }
}

const fs::path& PreparedRootLocked(DriveState& s) {
    const fs::path& root = RootLocked(s);
    if (!s.foldersMade) {
        s.foldersMade = true;
        MakeWindowsFolders(root);
    }
    return root;
}

}  // namespace

fs::path EmulatedRoot() {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    return PreparedRootLocked(s);
}

void SetEmulatedRoot(const fs::path& root) {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    s.rootOverride.reset();
    if (!root.empty()) s.rootOverride = Absolute(root);
    s.rootKnown = false;
    s.driveDirs[static_cast<size_t>('C' - 'A')].clear();
}

void SetCdromFolders(const std::vector<fs::path>& folders) {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    std::vector<fs::path> abs;
    for (const auto& f : folders) abs.push_back(Absolute(f));
    s.cdOverride = abs;
    s.cdsKnown = false;
    for (char l = kFirstCdLetter; l <= kLastCdLetter; ++l) s.driveDirs[static_cast<size_t>(l - 'A')].clear();
}

void ResetDriveMap() {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    s.rootOverride.reset();
    s.cdOverride.reset();
    s.rootKnown = false;
    s.cdsKnown = false;
    s.currentDrive = 0;
    for (auto& d : s.driveDirs) d.clear();
}

DriveKind GetDriveKind(char letter) {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    if (!IsLetter(letter) || !DriveRootLocked(s, letter)) return DriveKind::None;
    letter = UpperLetter(letter);
    return (letter == 'C' || letter == 'Z') ? DriveKind::Fixed : DriveKind::Cdrom;
}

std::optional<fs::path> DriveRoot(char letter) {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    if (!IsLetter(letter)) return std::nullopt;
    if (UpperLetter(letter) == 'C') return PreparedRootLocked(s);
    return DriveRootLocked(s, letter);
}

uint32_t MappedDrives() {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    uint32_t mask = 0;
    for (char l = 'A'; l <= 'Z'; ++l) {
        if (DriveRootLocked(s, l)) mask |= 1u << (l - 'A');
    }
    return mask;
}

std::optional<std::string> FullDosPath(std::string_view dosPath) {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    return FullLocked(s, dosPath);
}

std::optional<fs::path> ResolveDosPath(std::string_view dosPath) {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    const auto full = FullLocked(s, dosPath);
    if (!full || HasWildcards(*full)) return std::nullopt;
    const char letter = (*full)[0];
    if (!DriveRootLocked(s, letter)) return std::nullopt;
    const fs::path root = letter == 'C' ? PreparedRootLocked(s) : *DriveRootLocked(s, letter);
    std::vector<std::string> components;
    AddComponents(std::string_view(*full).substr(3), components);
    return ResolveUnder(root, components);
}

std::string HostToDosPath(const fs::path& hostPath) {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    return HostToDosLocked(s, hostPath);
}

namespace {

// Follows every link on the way, the last component's too, also a link whose target does not
// exist (a file made through it would appear there). `budget` bounds the links followed.
std::optional<fs::path> FollowLinks(const fs::path& path, int& budget) {
    fs::path out = "/";
    for (const fs::path& part : path.relative_path()) {
        if (part == "." || part.empty()) continue;
        if (part == "..") {
            out = out.parent_path();
            continue;
        }
        fs::path next = out / part;
        std::error_code ec;
        if (fs::is_symlink(next, ec)) {
            if (--budget < 0) return std::nullopt;
            const fs::path target = fs::read_symlink(next, ec);
            if (ec) return std::nullopt;
            const std::optional<fs::path> real = FollowLinks(target.is_absolute() ? target : out / target, budget);
            if (!real) return std::nullopt;
            next = *real;
        }
        out = next;
    }
    return out;
}

}  // namespace

std::optional<std::string> RealDosPath(std::string_view dosPath) {
    const std::optional<fs::path> host = ResolveDosPath(dosPath);
    if (!host) return std::nullopt;
    int budget = 40;
    const std::optional<fs::path> real = FollowLinks(host->is_absolute() ? *host : fs::absolute(*host), budget);
    if (!real) return std::nullopt;
    return HostToDosPath(*real);
}

std::string CurrentDosDirectory() {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    EnsureCurrentLocked(s);
    return CurrentOfLocked(s, s.currentDrive);
}

std::string CurrentDosDirectoryOf(char letter) {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    if (!IsLetter(letter)) return {};
    return CurrentOfLocked(s, letter);
}

bool SetCurrentDosDirectory(std::string_view dosPath) {
    auto& s = State();
    std::lock_guard lock(s.mutex);
    const auto full = FullLocked(s, dosPath);
    if (!full) return false;
    const auto host = ResolveDosPath(*full);
    std::error_code ec;
    if (!host || !fs::is_directory(*host, ec)) return false;
    s.currentDrive = (*full)[0];
    s.driveDirs[static_cast<size_t>(s.currentDrive - 'A')] = *full;
    return true;
}

}  // namespace plat
