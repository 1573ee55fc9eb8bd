// The tests' installation of the player files: the program folder C:\Prog\ (also the install
// path of an application preferences object of the test's own), message boxes recorded and
// answered OK, and helpers that write the list, the players' folders and read them back.
#pragma once

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "engine/base/activity_settings.h"
#include "engine/core/cor_engine.h"
#include "engine/players/app_prefs.h"
#include "engine/players/player_list.h"
#include "engine/players/prefs_file.h"
#include "engine/players/players_test_support.h"
#include "platform/afx/message_box.h"
#include "platform/profile/profile.h"

class PlayerFilesTest : public PlayersTest {
protected:
    void SetUp() override {
        PlayersTest::SetUp();
        std::filesystem::create_directories(root / "Prog");
        savedFolder = theEngine->m_programFolder;
        theEngine->m_programFolder = "C:\\Prog\\";
        theEngine->m_launcherMode = 0;
        theEngine->m_launcherSwapPath[0] = '\0';
        savedBlock = Block();
        previousPrefs = SetAppPrefs(&prefs);
        prefs.SetDefaults("C:\\Prog\\");
        prefs.Load();
        previousBox = plat::SetMessageBoxHook([this](LPCSTR text, UINT, UINT) {
            boxes.emplace_back(text);
            return IDOK;
        });
    }
    void TearDown() override {
        ReleasePrefsFileHold();
        plat::SetMessageBoxHook(previousBox);
        SetAppPrefs(previousPrefs);
        Block() = savedBlock;
        theEngine->m_programFolder = savedFolder;
        theEngine->m_launcherMode = 0;
        theEngine->m_launcherSwapPath[0] = '\0';
        PlayersTest::TearDown();
    }

    static ActivitySettings& Block() {
        int32_t size = 0;
        return *static_cast<ActivitySettings*>(theEngine->GetSavedSettings(size));
    }
    static ActivitySettings Levels(uint16_t first) { return TestLevels(first); }
    static ActivitySettings DefaultLevels() {
        ActivitySettings b;
        b.SetDefaults();
        return b;
    }
    static std::string BlockOf(const ActivitySettings& b) { return std::string(reinterpret_cast<const char*>(&b), sizeof b); }
    // The block part of a preference file's bytes.
    static std::string BlockPart(const std::string& file) {
        return file.size() >= sizeof(CUserPrefs) ? file.substr(sizeof(CUserPrefs)) : std::string("<short>");
    }

    static constexpr const char* kList = "C:\\Prog\\Zelbo.ini";
    std::filesystem::path ListFile() const { return root / "Prog" / "Zelbo.ini"; }
    std::filesystem::path Folder(const char* relative) const { return root / "Prog" / "kids" / relative; }

    // "[User List]" with these keys and values, in this order.
    void WriteList(const std::vector<std::pair<std::string, std::string>>& entries) {
        std::string text = "[User List]\r\n";
        for (const auto& [name, value] : entries) text += name + "=" + value + "\r\n";
        Put(ListFile(), text);
    }
    // A player's folder below kids\ with its name file (no name file for an empty name).
    void MakeKidFolder(const char* folder, const std::string& name) {
        std::filesystem::create_directories(Folder(folder));
        if (!name.empty()) Put(Folder(folder) / "SETTINGS.INI", "[Settings]\r\nNamn=" + name + "\r\n");
    }
    // The list's keys in file order.
    static std::vector<std::string> ListKeys() {
        std::vector<char> buffer(1 << 20);
        const DWORD n = GetPrivateProfileStringA("User List", nullptr, "", buffer.data(), static_cast<DWORD>(buffer.size()), kList);
        std::vector<std::string> keys;
        for (const char* p = buffer.data(); p < buffer.data() + n && *p; p += std::strlen(p) + 1) keys.emplace_back(p);
        return keys;
    }
    static std::string ListValueOf(const std::string& name) {
        char value[400];
        GetPrivateProfileStringA("User List", name.c_str(), "<none>", value, sizeof value, kList);
        return value;
    }

    CAppPrefs prefs;
    std::vector<std::string> boxes;

private:
    std::string savedFolder;
    ActivitySettings savedBlock{};
    CAppPrefs* previousPrefs = nullptr;
    plat::MessageBoxHook previousBox;
};
