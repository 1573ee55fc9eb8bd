// The grown-ups' section in the whole program (tests/scripts/grownups_section.txt, then
// grownups_again.txt): a grown-up opens the sheet in the hub, hides the stop sign, adds "Bo"
// and renames him "Bosse", moves Ruduridodu's slider to step 5 and goes back to play; the hub
// shows the hedge, and the close box ends the game. The files hold all of it, and the next
// start shows it again.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>

#include "tests/program_test_support.h"
#include "tests/temp_folder_test_support.h"

namespace {

namespace fs = std::filesystem;
using programtest::CheckGoldenScreen;
using programtest::InstallProgram;
using programtest::ReadAll;
using programtest::RunScriptIn;

constexpr size_t kRecordSize = 284;
constexpr size_t kRuduridoduLevel = kRecordSize + 0x12;  // the stored level (level − 1)
constexpr size_t kShowStopSign = 0x0C;

int RunGame(const fs::path& exe, const std::string& scriptName, const fs::path& dir, const fs::path& root) {
    fs::copy_file(fs::path(ZELBO_TEST_SCRIPTS) / scriptName, dir / scriptName, fs::copy_options::overwrite_existing);
    return RunScriptIn(exe, dir / scriptName, dir, root);
}

std::string IniValue(const std::string& ini, const std::string& key) {
    const std::string line = "\n" + key + "=";
    const size_t at = ("\n" + ini).find(line);
    if (at == std::string::npos) return "(none)";
    const size_t start = at + line.size() - 1;
    const size_t end = ini.find_first_of("\r\n", start);
    return ini.substr(start, end - start);
}

TEST(GrownUpsProgram, WhatAGrownUpSetsIsThereAfterARestart) {
    const fs::path dir = MakeTempFolder("zelbo-program-grownups-section");
    const fs::path root = dir / "root";
    fs::create_directories(root);
    const fs::path exe = InstallProgram(root, ZELBO_EXE);
    const fs::path game = exe.parent_path();

    int status = RunGame(exe, "grownups_section.txt", dir, root);
    std::string log = ReadAll(dir / "log.txt");
    ASSERT_TRUE(WIFEXITED(status)) << log;
    EXPECT_EQ(WEXITSTATUS(status), 0) << log;
    CheckGoldenScreen(dir / "grownups_preferences.png", "grownups_preferences.png");
    CheckGoldenScreen(dir / "grownups_players.png", "grownups_players.png");
    CheckGoldenScreen(dir / "grownups_levels.png", "grownups_levels.png");
    CheckGoldenScreen(dir / "grownups_hedge.png", "grownups_hedge.png");

    // The files: "Bosse" listed with the folder "Bo" was given, his name file naming him; the
    // guest's levels with Ruduridodu at step 5 (stored level 17); the stop sign hidden.
    const std::string ini = ReadAll(game / "Zelbo.ini");
    EXPECT_EQ(IniValue(ini, "Bo"), "(none)") << ini;
    const std::string folder = IniValue(ini, "Bosse");
    ASSERT_NE(folder, "(none)") << ini;
    std::string hostFolder = folder;
    for (char& c : hostFolder)
        if (c == '\\') c = '/';
    EXPECT_NE(ReadAll(game / hostFolder / "SETTINGS.INI").find("Namn=Bosse"), std::string::npos);
    const std::string guest = ReadAll(game / "kids" / "Kid001" / "Zelbo.PRF");
    ASSERT_EQ(guest.size(), kRecordSize + 28);
    EXPECT_EQ(guest[kRuduridoduLevel], 17);
    const std::string prefs = ReadAll(game / "Zelbo.PRF");
    ASSERT_GE(prefs.size(), kRecordSize);
    EXPECT_EQ(prefs[kShowStopSign], 0);

    // Started again: the hedge, "Bosse" offered, and Ruduridodu starts at level 18.
    status = RunGame(exe, "grownups_again.txt", dir, root);
    log = ReadAll(dir / "log.txt");
    ASSERT_TRUE(WIFEXITED(status)) << log;
    EXPECT_EQ(WEXITSTATUS(status), 0) << log;
    CheckGoldenScreen(dir / "grownups_again_chooser.png", "grownups_again_chooser.png");
    CheckGoldenScreen(dir / "grownups_again_hedge.png", "grownups_again_hedge.png");
    const std::string traces = ReadAll(dir / "trace.txt");
    EXPECT_NE(traces.find("Ruduridodu: level 18,"), std::string::npos) << traces;
    if (!HasFailure()) fs::remove_all(dir);
}

}  // namespace
