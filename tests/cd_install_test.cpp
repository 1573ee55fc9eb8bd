// The game's CD as the build assembles it: the setup program started from its KELVAT folder on
// the headless back end installs the game into a fresh installation, and the removal program,
// started with the command the installation registered, takes everything away again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "platform/registry/registry.h"
#include "tests/temp_folder_test_support.h"

namespace {

namespace fs = std::filesystem;

std::string Read(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::error_code ec;
    const auto size = fs::file_size(p, ec);
    std::string bytes(ec ? 0 : static_cast<size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return bytes;
}

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
        if (entry.is_regular_file()) what += " " + Read(entry.path());
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
    int RunProgram(const fs::path& program, const std::string& arguments, const std::string& script) {
        std::ofstream(dir / "run.txt") << script;
        const std::string cmd = "cd '" + dir.string() + "' && env -u ZELBO_ROOT ZELBO_BACKEND=headless XDG_DATA_HOME='" + xdg.string() +
                                "' ZELBO_CDROM='" + cd.string() + "' ZELBO_SCRIPT='" + (dir / "run.txt").string() +
                                "' '" + program.string() + "' " + arguments + " > '" + (dir / "log.txt").string() +
                                "' 2>&1";
        const int status = std::system(cmd.c_str());
        log = Read(dir / "log.txt");
        return status;
    }
    // The installation's view, in this process.
    void LookAtInstallation() {
        plat::SetEmulatedRoot(root);
        plat::SetCdromFolders({cd});
    }

    fs::path dir, xdg, root, cd;
    std::string log;
};

TEST_F(CdInstall, SetupInstallsTheGameFromTheCd) {
    ASSERT_EQ(Read(cd / ".label"), "TRUMLABY\n");
    ASSERT_EQ(RunProgram(cd / "KELVAT" / "SETWELL.EXE", "",
                         "0 answer -1\n"      // dialog 102, on the key below
                         "1100 key RETURN\n"  // the folder offered
                         "0 answer IDOK\n"    // 59156: create it
                         "0 answer IDOK\n"),  // 59229: the installation is done
              0)
        << log;
    LookAtInstallation();
    const fs::path game = root / "Program Files" / "Quorva" / "Trumlaby";
    EXPECT_EQ(Read(game / "ZELBO.EXE"), Read(cd / "ZELBO.EXE"));
    EXPECT_EQ(Read(game / "Product.Dat"), Read(cd / "Product.Dat"));
    EXPECT_EQ(Read(root / "WINDOWS" / "REMBLY.EXE"), Read(cd / "REMBLY.EXE"));
    EXPECT_EQ(fs::status(game / "ZELBO.EXE").permissions() & fs::perms::owner_exec, fs::perms::owner_exec);
    HKEY maker = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Quorva", 0, KEY_READ, &maker), ERROR_SUCCESS);
    BYTE tally[8] = {};
    DWORD size = sizeof tally;
    EXPECT_EQ(RegQueryValueExA(maker, "Trumlaby", nullptr, nullptr, tally, &size), ERROR_SUCCESS);
    RegCloseKey(maker);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(tally), size), std::string("\x01\x00\x00\x00", 4));
    EXPECT_TRUE(fs::is_empty(root / "WINDOWS" / "TEMP")) << "the script's copy is gone";
}

// Install and remove leave the installation as it was: its files (names, contents,
// attributes), its registry, and the desktop's entries.
TEST_F(CdInstall, InstallThenRemoveLeavesNoTrace) {
    // A program that changes nothing brings the installation up once.
    ASSERT_EQ(RunProgram(cd / "REMBLY.EXE", "", "0 answer IDOK\n"), 0) << log;  // 59207
    LookAtInstallation();
    const auto filesBefore = TreeOf(xdg);
    const auto registryBefore = RegistryOf();
    plat::ResetDriveMap();

    ASSERT_EQ(RunProgram(cd / "KELVAT" / "SETWELL.EXE", "",
                         "0 answer -1\n1100 key RETURN\n0 answer IDOK\n0 answer IDOK\n"),
              0)
        << log;
    LookAtInstallation();
    ASSERT_TRUE(fs::exists(root / "Program Files" / "Quorva" / "Trumlaby" / "ZELBO.EXE"));
    ASSERT_TRUE(fs::exists(root / "WINDOWS" / "Start Menu" / "Programs" / "Quorva" / "Trumlaby"));

    // The removal, as the Control Panel starts it from the registered command: Yes to the
    // removal, Yes to the restart. From the shell, the folder's blank makes the command line
    // quote it again.
    HKEY uninstall = nullptr;
    ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Trumlaby",
                            0, KEY_READ, &uninstall),
              ERROR_SUCCESS);
    char command[MAX_PATH] = {};
    DWORD size = sizeof command;
    ASSERT_EQ(RegQueryValueExA(uninstall, "UninstallString", nullptr, nullptr, reinterpret_cast<BYTE*>(command), &size),
              ERROR_SUCCESS);
    RegCloseKey(uninstall);
    const std::string line = command;
    ASSERT_EQ(line, "C:\\WINDOWS\\REMBLY.EXE \"C:\\Program Files\\Quorva\\Trumlaby\"");
    const size_t blank = line.find(' ');
    const auto program = plat::ResolveDosPath(line.substr(0, blank));
    ASSERT_TRUE(program);
    const std::string folder = line.substr(blank + 2, line.size() - blank - 3);
    plat::ResetDriveMap();
    ASSERT_EQ(RunProgram(*program, "'" + folder + "'", "0 answer IDYES\n0 answer IDYES\n"), 0) << log;
    LookAtInstallation();
    EXPECT_EQ(TreeOf(xdg), filesBefore);
    EXPECT_EQ(RegistryOf(), registryBefore);
}

}  // namespace
