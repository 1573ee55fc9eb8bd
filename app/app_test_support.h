// What the application tests share: a fresh headless platform with an emulated installation in
// a temporary folder, the program's resources, the grown-ups' section and the toolbox's
// picture items as main registers them, the resource files where the installation's registry
// says, and a way to run the game's application object to its end on scripted input.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "app/zelbo_program.h"
#include "app/app_resources.h"
#include "app/zelbo_app.h"
#include "engine/core/cor_engine.h"
#include "engine/core/engine_hosts.h"
#include "engine/toolbox/picture_items.h"
#include "platform/afx/string_table.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/dialogs/resources.h"
#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "platform/gdi/library.h"
#include "platform/gdi/wingdi.h"
#include "platform/headless/headless_backend.h"
#include "platform/msgbox/msgbox.h"
#include "platform/process/process.h"
#include "platform/registry/registry.h"

namespace app_test {

namespace fs = std::filesystem;

// The folder the tests install the resource files in, and the registry key start-up reads it from.
inline constexpr const char* kResourceFolder = "C:\\ZELBO\\";
inline constexpr const char* kEngineKey = "Software\\Quorva\\Trumlaby\\v0.1 - Alpha";

inline void SetRegistryString(const char* path, const char* name, const char* value) {
    HKEY key = nullptr;
    DWORD disposition = 0;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, &disposition),
              ERROR_SUCCESS);
    RegSetValueExA(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>(std::strlen(value) + 1));
    RegCloseKey(key);
}

class AppTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_head = &plat::InstallHeadless();
        plat::ResetGdi();
        plat::ResetLibraries();
        plat::ClearDialogTemplates();
        plat::ClearPictureResources();
        plat::ClearStringTable();
        plat::ClearMessageBoxLog();
        plat::InstallMessageBoxes();
        plat::InstallDialogs();
        RegisterZelboResources();
        m_previousSection = InstallAdultSection();
        m_previousPictures = InstallPictureItems();
        std::string pattern = (fs::temp_directory_path() / "zelbo-app-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_tmp = pattern;
        plat::SetEmulatedRoot(m_tmp / "c");
        plat::SetCdromFolders({});
        ASSERT_TRUE(plat::SetCurrentDosDirectory("C:\\"));
        // The resource files, where the installation's registry says they are.
        const fs::path folder = m_tmp / "c" / "ZELBO";
        fs::create_directories(folder);
        for (int module = 0; module <= 6; ++module) {
            const std::string name = "Zelbo" + std::to_string(module) + ".res";
            fs::copy_file(fs::path(ZELBO_RES_DIR) / name, folder / name);
        }
        SetRegistryString(kEngineKey, "Resource Path", kResourceFolder);
    }

    void TearDown() override {
        SetAdultSection(m_previousSection);
        SetEnginePictureItems(m_previousPictures);
        plat::ResetWindowing();
        AfxDeleteTempMaps();
        plat::ResetGdi();
        plat::ClearPictureResources();
        plat::SetMessageBoxHook({});
        plat::ResetDriveMap();
        std::error_code ec;
        fs::remove_all(m_tmp, ec);
    }

    // Runs the application object as the program does, with these arguments as its command
    // line; returns its exit code.
    int RunGame(CZelboApp& app, std::vector<std::string> args = {"zelbo"}) {
        EXPECT_EQ(AfxGetApp(), &app);
        plat::SetCommandLineForTests(plat::JoinCommandLine(args));
        std::vector<char*> argv;
        for (std::string& a : args) argv.push_back(a.data());
        return AfxWinMain(static_cast<int>(argv.size()), argv.data());
    }

    uint64_t At(uint64_t dt) const { return m_head->NowMs() + dt; }
    // Runs fn dt virtual milliseconds from now, inside whatever loop waits then.
    void Later(uint64_t dt, std::function<void()> fn) { m_head->At(At(dt), std::move(fn)); }
    void Input(uint64_t dt, plat::InputKind kind) {
        plat::InputEvent ev;
        ev.kind = kind;
        m_head->QueueInput(At(dt), ev);
    }
    // Runs fn once the home module's entry (the chime, the fades, the introduction) has
    // finished: the engine runs and no engine call is under way. Looked at every 10 virtual
    // milliseconds from now; a game that never gets there ends the loop with a failure.
    void WhenEntered(std::function<void()> fn, int triesLeft = 6000) {
        Later(10, [this, fn = std::move(fn), triesLeft]() mutable {
            if (theEngine->m_running && theEngine->CallDepth() == 0) {
                fn();
            } else if (triesLeft == 0) {
                ADD_FAILURE() << "the home module's entry did not finish within a minute";
                PostQuitMessage(1);
            } else {
                WhenEntered(std::move(fn), triesLeft - 1);
            }
        });
    }
    // Delivers what was posted and not yet taken (after the application's loop ended).
    static void DeliverPosted() {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&msg);
    }

    plat::HeadlessBackend* m_head = nullptr;
    fs::path m_tmp;
    IAdultSection* m_previousSection = nullptr;
    IResItemHost* m_previousPictures = nullptr;
};

// Counts the engine's saves of the player's preferences (installed while it lives).
class CountingPrefsStore : public IPrefsStore {
public:
    CountingPrefsStore() : m_previous(SetPrefsStore(this)) {}
    ~CountingPrefsStore() override { SetPrefsStore(m_previous); }
    int SavePrefs() override {
        ++saves;
        return 1;
    }
    int saves = 0;

private:
    IPrefsStore* m_previous;
};

// The child launcher's window as the game finds it by its title: counts the exit commands.
class LauncherWindow {
public:
    LauncherWindow() {
        s_commands = 0;
        WNDCLASS wc;
        wc.lpfnWndProc = Proc;
        wc.lpszClassName = "TestLauncher";
        RegisterClass(&wc);
        m_hwnd = CreateWindow("TestLauncher", kLauncherWindowTitle, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr,
                              nullptr);
    }
    ~LauncherWindow() {
        if (IsWindow(m_hwnd)) DestroyWindow(m_hwnd);
    }
    static int Commands() { return s_commands; }

private:
    static LRESULT Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_COMMAND && LOWORD(wParam) == kLauncherExitCommand) {
            ++s_commands;
            return 0;
        }
        return DefWindowProc(hwnd, msg, wParam, lParam);
    }
    static inline int s_commands = 0;
    HWND m_hwnd = nullptr;
};

}  // namespace app_test

// Rectangles in test messages as (left, top, right, bottom).
inline void PrintTo(const CRect& r, std::ostream* os) {
    *os << '(' << r.left << ", " << r.top << ", " << r.right << ", " << r.bottom << ')';
}
