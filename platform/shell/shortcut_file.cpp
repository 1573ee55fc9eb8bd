#include "platform/shell/shortcut_file.h"

#include <cstdint>
#include <cstdlib>

namespace plat {
namespace {

constexpr std::string_view kHeader = "[Shortcut]";
constexpr std::string_view kPrefix = "zelbo-";
constexpr std::string_view kSuffix = ".desktop";

// A value stays on its line.
std::string OneLine(std::string_view v) {
    std::string out(v);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

// Desktop-entry string values: backslash, line breaks and tabs escaped.
std::string EscapeValue(std::string_view v) {
    std::string out;
    for (char c : v) {
        switch (c) {
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default: out += c;
        }
    }
    return out;
}

// One argument of Exec: always quoted; inside the quotes ", `, $ and \ take a backslash, and
// % is doubled (field codes). The value escape of the whole line comes after.
std::string ExecArgument(std::string_view arg) {
    std::string out = "\"";
    for (char c : arg) {
        if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
        if (c == '%') out += '%';
        if (c == '\n' || c == '\r') c = ' ';
        out += c;
    }
    return out + "\"";
}

}  // namespace

std::string FormatShortcutStandIn(const ShortcutStandIn& link) {
    std::string out(kHeader);
    out += "\r\n";
    auto line = [&](std::string_view key, const std::string& value) {
        out.append(key).append("=").append(OneLine(value)).append("\r\n");
    };
    line("Target", link.target);
    line("Arguments", link.arguments);
    line("Description", link.description);
    line("Icon", link.icon);
    line("DesktopEntry", link.desktopEntry);
    return out;
}

std::optional<ShortcutStandIn> ParseShortcutStandIn(std::string_view text) {
    if (text.size() > kMaxStandInSize || text.find('\0') != std::string_view::npos) return std::nullopt;
    ShortcutStandIn link;
    bool first = true;
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(at, end - at);
        at = end + 1;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (first) {
            if (line != kHeader) return std::nullopt;
            first = false;
            continue;
        }
        const size_t eq = line.find('=');
        if (eq == std::string_view::npos) continue;
        const std::string_view key = line.substr(0, eq);
        std::string value(line.substr(eq + 1));
        for (char& c : value)
            if (c == '\r') c = ' ';  // a stray CR is a line break inside a value: a blank, as written
        if (key == "Target") link.target = value;
        else if (key == "Arguments") link.arguments = value;
        else if (key == "Description") link.description = value;
        else if (key == "Icon") link.icon = value;
        else if (key == "DesktopEntry") link.desktopEntry = value;
    }
    if (first) return std::nullopt;
    return link;
}

std::string DesktopEntryName(const std::filesystem::path& root, const std::string& linkDosPath) {
    uint64_t h = 14695981039346656037ull;
    auto mix = [&](std::string_view s) {
        for (unsigned char c : s) h = (h ^ c) * 1099511628211ull;
    };
    mix(root.string());
    mix("|");
    std::string upper = linkDosPath;
    for (char& c : upper)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 32);
    mix(upper);
    static const char* digits = "0123456789abcdef";
    std::string out(kPrefix);
    for (int shift = 60; shift >= 0; shift -= 4) out += digits[(h >> shift) & 15];
    return out.append(kSuffix);
}

bool IsOurDesktopEntryName(std::string_view name) {
    if (name.size() != kPrefix.size() + 16 + kSuffix.size()) return false;
    if (name.substr(0, kPrefix.size()) != kPrefix || name.substr(kPrefix.size() + 16) != kSuffix) return false;
    for (char c : name.substr(kPrefix.size(), 16))
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

std::filesystem::path DesktopEntryFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    if (data && *data == '/') return std::filesystem::path(data) / "applications";
    const char* home = std::getenv("HOME");
    return std::filesystem::path(home && *home ? home : "/") / ".local" / "share" / "applications";
}

std::string FormatDesktopEntry(const DesktopEntry& e) {
    std::string exec = "env " + ExecArgument("ZELBO_ROOT=" + e.root.string());
    if (!e.cdFolders.empty()) exec += " " + ExecArgument("ZELBO_CDROM=" + e.cdFolders);
    exec += " " + ExecArgument(e.program.string());
    for (const std::string& a : e.arguments) exec += " " + ExecArgument(a);
    std::string out = "[Desktop Entry]\n";
    out += "Type=Application\n";
    out += "Version=1.0\n";
    out += "Name=" + EscapeValue(e.name) + "\n";
    if (!e.comment.empty()) out += "Comment=" + EscapeValue(e.comment) + "\n";
    out += "Exec=" + EscapeValue(exec) + "\n";
    out += "Path=" + EscapeValue(e.workingFolder.string()) + "\n";
    out += "Terminal=false\n";
    out += "X-Zelbo-Link=" + EscapeValue(e.linkDosPath) + "\n";
    return out;
}

}  // namespace plat
