// The game's CD as the build assembles it: the setup program started from its KELVAT folder on
// the headless back end installs the game into a fresh installation, the game starts from the
// desktop entry of its shortcut and is played, and the removal program, started with the
// command the installation registered, takes everything away again.
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "platform/registry/registry.h"
#include "tests/program_test_support.h"
#include "tests/temp_folder_test_support.h"

namespace {

namespace fs = std::filesystem;
using programtest::ReadAll;

// Every file and folder under the tree, with its contents and DOS attributes. The registry's
// own file is the registry, compared by its keys and values (RegistryOf): a new installation's
// registry is its seed until the first change writes the file.
std::map<std::string, std::string> TreeOf(const fs::path& top) {
    std::map<std::string, std::string> tree;
    if (!fs::exists(top)) return tree;
    const fs::path registryFile = plat::RegistryFilePath();
    for (const auto& entry : fs::recursive_directory_iterator(top)) {
        if (entry.path() == registryFile) continue;
        const std::string dos = plat::HostToDosPath(entry.path());
        std::string what = "attributes " + std::to_string(GetFileAttributesA(dos.c_str()));
        if (entry.is_regular_file()) what += " " + ReadAll(entry.path());
        tree[fs::relative(entry.path(), top).string()] = what;
    }
    return tree;
}

// Every key of a root with its values (name, type, bytes).
void KeysOf(HKEY root, const std::string& path, std::map<std::string, std::string>& out) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
    std::string values;
    for (DWORD i = 0;; ++i) {
        char name[16384] = {};
        DWORD nameSize = sizeof name;
        BYTE data[4096] = {};
        DWORD dataSize = sizeof data;
        DWORD type = 0;
        if (RegEnumValueA(key, i, name, &nameSize, nullptr, &type, data, &dataSize) != ERROR_SUCCESS) break;
        values += std::string(name) + "=" + std::to_string(type) + ":" +
                  std::string(reinterpret_cast<char*>(data), dataSize) + "\n";
    }
    out[path] = values;
    std::vector<std::string> subkeys;
    for (DWORD i = 0;; ++i) {
        char name[256] = {};
        DWORD size = sizeof name;
        if (RegEnumKeyExA(key, i, name, &size, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        subkeys.push_back(name);
    }
    RegCloseKey(key);
    for (const std::string& sub : subkeys) KeysOf(root, path.empty() ? sub : path + "\\" + sub, out);
}

std::map<std::string, std::string> RegistryOf() {
    std::map<std::string, std::string> hklm, hkcu;
    KeysOf(HKEY_LOCAL_MACHINE, "", hklm);
    KeysOf(HKEY_CURRENT_USER, "", hkcu);
    for (auto& [k, v] : hkcu) hklm["HKCU\\" + k] = v;
    return hklm;
}

// What differs between two snapshots (of files or of registry keys), one line each by name.
std::vector<std::string> Differences(const std::map<std::string, std::string>& before,
                                     const std::map<std::string, std::string>& after) {
    std::vector<std::string> out;
    for (const auto& [name, what] : before) {
        const auto it = after.find(name);
        if (it == after.end()) out.push_back("gone: " + name);
        else if (it->second != what) out.push_back("changed: " + name);
    }
    for (const auto& [name, what] : after)
        if (!before.count(name)) out.push_back("new: " + name);
    return out;
}

// A screenshot of a run against the golden image another test's run keeps of the same screen.
void ExpectSameScreen(const fs::path& shot, const std::string& golden) {
    programtest::CompareWithGolden(shot, golden, false);
}

// The keys of a desktop entry's "[Desktop Entry]" group, their values as written.
std::map<std::string, std::string> DesktopEntryKeys(const std::string& text) {
    std::map<std::string, std::string> keys;
    std::istringstream lines(text);
    std::string line, group;
    while (std::getline(lines, line)) {
        if (line.empty() || line[0] == '#') continue;
        if (line[0] == '[') {
            group = line;
            continue;
        }
        const size_t eq = line.find('=');
        if (group != "[Desktop Entry]" || eq == std::string::npos) continue;
        std::string key = line.substr(0, eq), value = line.substr(eq + 1);
        while (!key.empty() && key.back() == ' ') key.pop_back();
        value.erase(0, value.find_first_not_of(' '));
        keys.emplace(key, value);
    }
    return keys;
}

// A string value with its escapes (\s \n \t \r \\) undone; nothing for any other escape.
std::optional<std::string> UnescapedValue(std::string_view value) {
    std::string out;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value[i] != '\\') {
            out += value[i];
            continue;
        }
        if (++i == value.size()) return std::nullopt;
        switch (value[i]) {
            case 's': out += ' '; break;
            case 'n': out += '\n'; break;
            case 't': out += '\t'; break;
            case 'r': out += '\r'; break;
            case '\\': out += '\\'; break;
            default: return std::nullopt;
        }
    }
    return out;
}

// The program and arguments an entry's Exec key starts, as a desktop launches the entry with
// no files: the value's escapes undone first; then arguments apart at blanks, each plain or in
// double quotes (inside which '"', '`', '$' and '\' take a backslash), a reserved character
// outside quotes being an error; then the field codes: "%%" is '%'; %f %F %u %U (no files) and
// the deprecated codes give nothing, an argument that was only such a code vanishing; %i gives
// "--icon" and the Icon key when there is one; %c the Name, %k the entry's file. A field code
// inside quotes, or an unknown one, is an error (nothing returned).
std::optional<std::vector<std::string>> ExecCommand(const std::map<std::string, std::string>& keys,
                                                    const fs::path& entryFile) {
    const auto key = [&](const char* name) -> std::optional<std::string> {
        const auto it = keys.find(name);
        if (it == keys.end()) return std::nullopt;
        return UnescapedValue(it->second);
    };
    const auto exec = key("Exec");
    if (!exec) return std::nullopt;
    std::vector<std::string> command;
    const std::string& line = *exec;
    const std::string_view reserved = "\t\n\"'\\><~|&;$*?#()`";
    size_t at = 0;
    while (true) {
        while (at < line.size() && line[at] == ' ') ++at;
        if (at == line.size()) break;
        std::string word;
        bool onlyFieldCode = false, quoted = false;
        if (line[at] == '"') {
            quoted = true;
            for (++at;; ++at) {
                if (at == line.size()) return std::nullopt;
                char c = line[at];
                if (c == '"') break;
                if (c == '\\') {
                    if (++at == line.size() || std::string_view("\"`$\\").find(line[at]) == std::string_view::npos)
                        return std::nullopt;
                    c = line[at];
                } else if (c == '%') {
                    if (++at == line.size() || line[at] != '%') return std::nullopt;
                }
                word += c;
            }
            ++at;
            if (at < line.size() && line[at] != ' ') return std::nullopt;
        } else {
            for (; at < line.size() && line[at] != ' '; ++at) {
                const char c = line[at];
                if (reserved.find(c) != std::string_view::npos) return std::nullopt;
                if (c != '%') {
                    word += c;
                    continue;
                }
                if (++at == line.size()) return std::nullopt;
                const char code = line[at];
                const bool whole = word.empty() && (at + 1 == line.size() || line[at + 1] == ' ');
                switch (code) {
                    case '%': word += '%'; break;
                    case 'f': case 'F': case 'u': case 'U':
                    case 'd': case 'D': case 'n': case 'N': case 'v': case 'm':
                        onlyFieldCode = whole;
                        break;
                    case 'i':
                        if (!whole) return std::nullopt;
                        if (const auto icon = key("Icon"); icon && !icon->empty()) {
                            command.push_back("--icon");
                            word = *icon;
                        } else {
                            onlyFieldCode = true;
                        }
                        break;
                    case 'c':
                        if (const auto name = key("Name")) word += *name;
                        break;
                    case 'k': word += entryFile.string(); break;
                    default: return std::nullopt;
                }
            }
        }
        if (!onlyFieldCode || quoted) command.push_back(word);
    }
    if (command.empty()) return std::nullopt;
    return command;
}

// The reading of Exec the round trip relies on, on lines a desktop entry may hold.
TEST(DesktopEntryExec, SplitsQuotesAndExpandsFieldCodesAsTheDesktopDoes) {
    using Command = std::optional<std::vector<std::string>>;
    const struct {
        const char* exec;  // as written in the file
        Command command;
    } cases[] = {
        {R"(env "ZELBO_ROOT=/a b/c" "/a b/c/ZELBO.EXE")", std::vector<std::string>{"env", "ZELBO_ROOT=/a b/c", "/a b/c/ZELBO.EXE"}},
        // The value's escapes come first: four backslashes in the file are one in the argument.
        {R"("a\\\\b" "\\$x \\"y\\"" "\\`" a\sb)", std::vector<std::string>{"a\\b", "$x \"y\"", "`", "a", "b"}},
        {R"(p "100%%" x%%y %f %U %i %c %k "")",
         std::vector<std::string>{"p", "100%", "x%y", "--icon", "zelbo", "Trumlaby", "/apps/t.desktop", ""}},
        {"p  a%fb   %d", std::vector<std::string>{"p", "ab"}},
        {R"("open)", std::nullopt},
        {R"("a"b)", std::nullopt},
        {"a;b", std::nullopt},
        {"a$b", std::nullopt},
        {R"("%f")", std::nullopt},
        {"p %z", std::nullopt},
        {R"("a\\q")", std::nullopt},
        {R"(a\q)", std::nullopt},
        {"", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.exec);
        const std::map<std::string, std::string> keys = {{"Exec", c.exec}, {"Icon", "zelbo"}, {"Name", "Trumlaby"}};
        EXPECT_EQ(ExecCommand(keys, "/apps/t.desktop"), c.command);
    }
}

class CdInstall : public ::testing::Test {
protected:
    void SetUp() override {
        dir = MakeTempFolder("zelbo-program-cd");
        xdg = dir / "xdg";
        fs::create_directories(xdg / "applications");
        root = xdg / "quorva" / "c";
        cd = fs::path(ZELBO_CD_DIR);
    }
    void TearDown() override {
        plat::ResetDriveMap();
        fs::remove_all(dir);
    }

    // Runs a program of the emulated installation with the CD in drive D: and a script of
    // answers; its exit status.
    int RunProgram(const fs::path& program, const std::vector<std::string>& arguments, const std::string& script) {
        std::vector<std::string> command = {"env", "ZELBO_CDROM=" + cd.string(), program.string()};
        command.insert(command.end(), arguments.begin(), arguments.end());
        return Run(command, dir, script);
    }
    // Runs a command (its arguments as the program receives them) in a folder, on the headless
    // back end with a script, in a session whose desktop data live in the test's folder; its
    // exit status. Nothing of the test's own environment names the installation or a CD.
    int Run(const std::vector<std::string>& command, const fs::path& folder, const std::string& script) {
        std::ofstream(dir / "run.txt") << script;
        // The shell gives way to the program (exec), so the program is this test's own child.
        std::string line = "cd " + Quoted(folder.string()) + " && exec env -u ZELBO_ROOT -u ZELBO_CDROM ZELBO_BACKEND=headless" +
                           " XDG_DATA_HOME=" + Quoted(xdg.string()) + " ZELBO_SCRIPT=" + Quoted((dir / "run.txt").string());
        // A parent of ours hands its child the exact command line ("OverInstall").
        if (!overInstallLine.empty())
            line += " ZELBO_COMMAND_LINE=" + Quoted(std::to_string(::getpid()) + ":" + overInstallLine);
        for (const std::string& argument : command) line += " " + Quoted(argument);
        line += " > " + Quoted((dir / "log.txt").string()) + " 2>&1";
        const int status = std::system(line.c_str());
        log = ReadAll(dir / "log.txt");
        return status;
    }
    // One word of the shell, whatever it holds.
    static std::string Quoted(const std::string& word) {
        std::string out = "'";
        for (char c : word) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
        return out + "'";
    }
    // The installation's view, in this process.
    void LookAtInstallation() {
        plat::SetEmulatedRoot(root);
        plat::SetCdromFolders({cd});
    }

    // The install tally's bytes on the maker's key.
    static std::string Tally() {
        HKEY maker = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Quorva", 0, KEY_READ, &maker) != ERROR_SUCCESS) return "no key";
        BYTE tally[8] = {};
        DWORD size = sizeof tally;
        const LONG rc = RegQueryValueExA(maker, "Trumlaby", nullptr, nullptr, tally, &size);
        RegCloseKey(maker);
        return rc == ERROR_SUCCESS ? std::string(reinterpret_cast<char*>(tally), size) : "no tally";
    }

    fs::path dir, xdg, root, cd;
    std::string log;
    std::string overInstallLine;  // the command line the next program gets from its parent
};

TEST_F(CdInstall, SetupInstallsTheGameFromTheCd) {
    ASSERT_EQ(ReadAll(cd / ".label"), "TRUMLABY\n");
    ASSERT_EQ(RunProgram(cd / "KELVAT" / "SETWELL.EXE", {},
                         "0 answer -1\n"      // dialog 102, on the key below
                         "1100 key RETURN\n"  // the folder offered
                         "0 answer IDOK\n"    // 59156: create it
                         "0 answer IDOK\n"),  // 59229: the installation is done
              0)
        << log;
    LookAtInstallation();
    const fs::path game = root / "Program Files" / "Quorva" / "Trumlaby";
    EXPECT_EQ(ReadAll(game / "ZELBO.EXE"), ReadAll(cd / "ZELBO.EXE"));
    EXPECT_EQ(ReadAll(game / "Product.Dat"), ReadAll(cd / "Product.Dat"));
    EXPECT_EQ(ReadAll(root / "WINDOWS" / "REMBLY.EXE"), ReadAll(cd / "REMBLY.EXE"));
    EXPECT_EQ(fs::status(game / "ZELBO.EXE").permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
    EXPECT_EQ(Tally(), std::string("\x01\x00\x00\x00", 4));
    EXPECT_TRUE(fs::is_empty(root / "WINDOWS" / "TEMP")) << "the script's copy is gone";
}

// A child's afternoon with the game, and the installation is as it was before: installed from
// the CD, installed over from it (the install tally stays 1), started from its desktop entry as
// the desktop starts it and played (tests/scripts/cd_play.txt: a player added in the chooser,
// the big wheel's activity entered and left by its home button, the grown-ups' section opened
// by its hot key and left by "Spela", the gate), then removed through the registered
// UninstallString: the installation's files (names, contents, attributes), its registry and
// the desktop's entries equal what they were before the installation.
TEST_F(CdInstall, InstallPlayAndRemoveLeaveNoTrace) {
    // A program that changes nothing brings the installation up once.
    ASSERT_EQ(RunProgram(cd / "REMBLY.EXE", {}, "0 answer IDOK\n"), 0) << log;  // 59207
    LookAtInstallation();
    const auto filesBefore = TreeOf(xdg);
    const auto registryBefore = RegistryOf();
    plat::ResetDriveMap();

    ASSERT_EQ(RunProgram(cd / "KELVAT" / "SETWELL.EXE", {},
                         "0 answer -1\n1100 key RETURN\n0 answer IDOK\n0 answer IDOK\n"),
              0)
        << log;
    // The over-install as the installed product starts it: the CD's setup program with the
    // command line "OverInstall" and nothing else. Its pass installs the files again, so the
    // script copy taken away here comes back only if it really ran.
    const fs::path game = root / "Program Files" / "Quorva" / "Trumlaby";
    ASSERT_TRUE(fs::remove(game / "Product.Dat"));
    overInstallLine = "OverInstall";
    ASSERT_EQ(RunProgram(cd / "KELVAT" / "SETWELL.EXE", {}, "0 answer IDOK\n"), 0) << log;  // 59229
    overInstallLine.clear();
    ASSERT_TRUE(fs::exists(game / "Product.Dat")) << "no over-install ran";
    LookAtInstallation();
    ASSERT_TRUE(fs::exists(game / "ZELBO.EXE"));
    ASSERT_TRUE(fs::exists(root / "WINDOWS" / "Start Menu" / "Programs" / "Quorva" / "Trumlaby"));
    EXPECT_EQ(Tally(), std::string("\x01\x00\x00\x00", 4)) << "the over-install counted as an installation";

    // The desktop's menu shows the game's entry by its name and runs its Exec in its Path.
    std::vector<fs::path> entries;
    for (const auto& file : fs::directory_iterator(xdg / "applications"))
        if (DesktopEntryKeys(ReadAll(file.path()))["Name"] == "Trumlaby") entries.push_back(file.path());
    ASSERT_EQ(entries.size(), 1u) << "the game's desktop entry";
    const auto keys = DesktopEntryKeys(ReadAll(entries[0]));
    ASSERT_EQ(keys.count("Type") ? keys.at("Type") : "", "Application");
    const auto command = ExecCommand(keys, entries[0]);
    ASSERT_TRUE(command) << (keys.count("Exec") ? keys.at("Exec") : "no Exec");
    const auto folder = keys.count("Path") ? UnescapedValue(keys.at("Path")) : std::nullopt;
    ASSERT_TRUE(folder);
    plat::ResetDriveMap();
    const std::string play = ReadAll(fs::path(ZELBO_TEST_SCRIPTS) / "cd_play.txt");
    ASSERT_FALSE(play.empty());
    const int status = Run(*command, *folder, play);
    ASSERT_TRUE(WIFEXITED(status)) << log;
    EXPECT_EQ(WEXITSTATUS(status), 0) << log;
    EXPECT_EQ(log, "");
    // The installed game plays as the build's own does in the playthrough: the same input
    // gives the same screens.
    ExpectSameScreen(dir / "cd_play_name.png", "playthrough_2.png");
    ExpectSameScreen(dir / "cd_play_home.png", "playthrough_3.png");
    programtest::Image black;
    ASSERT_TRUE(programtest::ReadImage(dir / "cd_play_grownups.png", black));
    EXPECT_TRUE(std::all_of(black.rgb.begin(), black.rgb.end(), [](uint8_t v) { return v == 0; }))
        << "the hot key did not fade the game out";
    EXPECT_FALSE(fs::exists(dir / "cd_play_still_running.png")) << "the gate did not end the game";
    // The player is kept in the product's folder.
    EXPECT_NE(ReadAll(game / "Zelbo.ini").find("\xC5sa=kids\\"), std::string::npos) << ReadAll(game / "Zelbo.ini");

    // The removal, as the Control Panel starts it from the registered command: Yes to the
    // removal, Yes to the restart. From the shell, the folder's blank makes the command line
    // quote it again.
    LookAtInstallation();
    HKEY uninstall = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Trumlaby",
                            0, KEY_READ, &uninstall),
              ERROR_SUCCESS);
    char registered[MAX_PATH] = {};
    DWORD size = sizeof registered;
    ASSERT_EQ(RegQueryValueExA(uninstall, "UninstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(registered),
                               &size),
              ERROR_SUCCESS);
    RegCloseKey(uninstall);
    const std::string line = registered;
    ASSERT_EQ(line, "C:\\WINDOWS\\REMBLY.EXE \"C:\\Program Files\\Quorva\\Trumlaby\"");
    const size_t blank = line.find(' ');
    const auto program = plat::ResolveDosPath(line.substr(0, blank));
    ASSERT_TRUE(program);
    const std::string productFolder = line.substr(blank + 2, line.size() - blank - 3);
    plat::ResetDriveMap();
    ASSERT_EQ(RunProgram(*program, {productFolder}, "0 answer IDYES\n0 answer IDYES\n"), 0) << log;
    LookAtInstallation();
    EXPECT_EQ(Differences(filesBefore, TreeOf(xdg)), std::vector<std::string>{});
    EXPECT_EQ(Differences(registryBefore, RegistryOf()), std::vector<std::string>{});
}

}  // namespace
