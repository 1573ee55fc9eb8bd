// The shortcut stand-in (the text written at a ".lnk" path) and the desktop entry.
//
// Stand-in, Windows-1252, lines ending in CR LF, the first line "[Shortcut]", then
// "key=value" lines in any order (unknown keys are ignored, a value runs to the line's end):
//   Target=C:\Program Files\Quorva\Zelbo\ZELBO.EXE
//   Arguments="D:\"
//   Description=Zelbo
//   Icon=C:\Program Files\Quorva\Zelbo\ZELBO.EXE,0
//   DesktopEntry=zelbo-0123456789abcdef.desktop
#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plat {

struct ShortcutStandIn {
    std::string target;
    std::string arguments;
    std::string description;
    std::string icon;  // "path,index", empty when none
    std::string desktopEntry;  // the entry's file name in the applications folder
};

// Stand-ins larger than this are not ours and are not read.
inline constexpr size_t kMaxStandInSize = 64 * 1024;

std::string FormatShortcutStandIn(const ShortcutStandIn& link);
// Null when the text is not a stand-in (no "[Shortcut]" first line, too large, a NUL byte).
std::optional<ShortcutStandIn> ParseShortcutStandIn(std::string_view text);

// The desktop entry name of a shortcut: "zelbo-" and 16 hexadecimal digits of a hash of the
// installation's root and the link's DOS path, ".desktop".
std::string DesktopEntryName(const std::filesystem::path& root, const std::string& linkDosPath);
// Whether a name is one that DesktopEntryName makes: a plain name of ours, nothing else.
bool IsOurDesktopEntryName(std::string_view name);
// $XDG_DATA_HOME/applications, else ~/.local/share/applications.
std::filesystem::path DesktopEntryFolder();

struct DesktopEntry {
    std::string name;          // shown in menus (UTF-8)
    std::string comment;       // UTF-8
    std::filesystem::path program;  // the host program
    std::vector<std::string> arguments;  // UTF-8, one each
    std::filesystem::path workingFolder;
    std::filesystem::path root;       // ZELBO_ROOT of the installation
    std::string cdFolders;            // ZELBO_CDROM, colon-separated, may be empty
    std::string linkDosPath;          // UTF-8, recorded for people reading the file
};
// The entry's text: Exec runs the program through env with the installation's drive map.
std::string FormatDesktopEntry(const DesktopEntry& entry);

}  // namespace plat
