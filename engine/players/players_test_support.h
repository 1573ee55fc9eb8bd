// The tests' emulated installation for the player code: a fresh C:\ with the registry, the
// player strings and an application object named "Zelbo" whose registry key is "Quorva".
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/base/activity_settings.h"
#include "engine/base/module_level_forms.h"
#include "engine/players/player_strings.h"
#include "platform/afx/string_table.h"
#include "platform/afxwin/winapp.h"
#include "platform/core/winuser.h"
#include "platform/fs/dospath.h"
#include "platform/fs/write_fault.h"
#include "platform/registry/registry.h"

// Stored levels first, first + 1, ... for modules 2 to 6, each wrapped into its module's range
// (levels outside it are held when a file is loaded), so different `first` values below 84 give
// different blocks.
inline ActivitySettings TestLevels(uint16_t first) {
    ActivitySettings b;
    b.SetDefaults();
    for (int i = 0; i < 5; ++i) {
        const ModuleLevelForm& form = *ModuleLevelFormOf(i + 2);
        b.level[i] = static_cast<uint16_t>((first + i) % (form.lastLevel - form.firstLevel + 1));
    }
    return b;
}

class PlayersTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "zelbo-players-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        tmp = pattern;
        root = tmp / "c";
        plat::SetEmulatedRoot(root);
        plat::EmulatedRoot();
        plat::ClearStringTable();
        RegisterPlayerStrings();
        plat::SetReportedVersion(plat::kVersionWin95);
        app.SetRegistryKey("Quorva");
    }

    void TearDown() override {
        plat::SetWriteFaultHook(nullptr);
        plat::SetReportedVersion(plat::kVersionWin95);
        plat::ClearStringTable();
        plat::ResetDriveMap();
        std::error_code ec;
        std::filesystem::remove_all(tmp, ec);
    }

    static std::string Get(const std::filesystem::path& p) {
        std::ifstream in(p, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
    static void Put(const std::filesystem::path& p, std::string_view content) {
        std::filesystem::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << content;
    }

    // A registry value as text ("" when missing), below HKLM\Software\Quorva\Zelbo by default.
    static std::string RegText(const char* section, const char* entry, HKEY root = HKEY_LOCAL_MACHINE,
                               const std::string& app = "Software\\Quorva\\Zelbo\\") {
        HKEY key = nullptr;
        if (RegOpenKeyExA(root, (app + section).c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
        char buffer[300] = {};
        DWORD size = sizeof buffer - 1;
        DWORD type = 0;
        const LONG rc = RegQueryValueExA(key, entry, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size);
        RegCloseKey(key);
        if (rc != ERROR_SUCCESS) return "";
        if (type == REG_DWORD) return "dword:" + std::to_string(*reinterpret_cast<DWORD*>(buffer));
        return buffer;
    }
    static bool RegKeyExists(const std::string& path) {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
        RegCloseKey(key);
        return true;
    }

    CWinApp app{"Zelbo"};
    std::filesystem::path tmp, root;
};
