// What the setup program's tests share: a fixture CD (D:, labelled, with a KELVAT folder
// holding the product's script, stamped program copies and a data file) on a temporary
// emulated installation, the headless back end with message boxes answered from a list, exits
// caught in-process, and an application object whose windows, program starts and restart are
// stand-ins that record what the flow asked of them.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/core/winuser.h"
#include "platform/fs/fs_test_fixture.h"
#include "platform/headless/headless_backend.h"
#include "platform/msgbox/msgbox.h"
#include "platform/process/process.h"
#include "platform/registry/registry.h"
#include "platform/afx/afx_string.h"
#include "platform/afx/string_table.h"
#include "platform/version/ver_install.h"
#include "platform/version/version_stamp.h"
#include "setup/common/script_strings.h"
#include "setup/common/script_test_host.h"
#include "setup/setwell/setwell_app.h"
#include "setup/setwell/setwell_strings.h"

namespace setup::testing {

namespace fs = std::filesystem;

// Stand-in windows: the welcome step offers the install folder and answers as told.
class CRecordingWindows : public CSetupWindows {
public:
    void RunWelcomeStep(CSetwellApp& app) override {
        offered.push_back(app.Values().installDir);
        events.push_back("welcome");
        if (secondCopy) {
            app.m_secondInstance = 1;
            app.m_pMainWnd = nullptr;
            app.ReleaseSetup();
            ExitProcess(0);
        }
        app.m_pMainWnd = &background;
        if (!chosen) {
            app.ReleaseSetup();
            ExitProcess(0);
        }
        app.Values().installDir = *chosen;
        app.m_restartWanted = wantRestart;
        progressOpen = true;
    }
    void OpenProgress(CSetwellApp&) override {
        events.push_back("progress");
        progressOpen = true;
    }
    bool OpenBackground(CSetwellApp& app) override {
        events.push_back("background");
        if (secondCopy) return false;
        app.m_pMainWnd = &background;
        return true;
    }
    void SetProgressText(CSetwellApp&, const std::string& text) override { progressTexts.push_back(text); }
    void FocusProgress(CSetwellApp&) override {
        ++focusCount;
        if (onFocus) onFocus();
    }
    void CloseProgress(CSetwellApp&) override { progressOpen = false; }
    void CloseBackground(CSetwellApp&) override { events.push_back("close background"); }

    std::optional<std::string> chosen = std::string("C:\\Spel");  // none: Cancel
    bool secondCopy = false;
    int32_t wantRestart = 0;
    std::function<void()> onFocus;

    std::vector<std::string> offered;
    std::vector<std::string> events;
    std::vector<std::string> progressTexts;
    bool progressOpen = false;
    int focusCount = 0;
    CWnd background;
};

class CTestSetwellApp : public CSetwellApp {
public:
    std::string ModuleFileName() override { return module; }
    void RestartWindows() override {
        restarts.push_back(Values().sourceDrive + "|" + Values().productName);
    }
    UINT LaunchProgram(const std::string& commandLine, UINT) override {
        launched.push_back(commandLine);
        return launchResult;
    }

    std::string module = "D:\\KELVAT\\SETWELL.EXE";
    UINT launchResult = 33;
    std::vector<std::string> launched;
    std::vector<std::string> restarts;
};

class SetwellTest : public EmulatedDrives {
protected:
    void SetUp() override {
        EmulatedDrives::SetUp();
        head = &plat::InstallHeadless();
        head->SetStallLimit(1000);
        plat::InstallMessageBoxes();
        plat::ClearMessageBoxLog();
        plat::SetExitProcessThrows(true);
        plat::SetReportedVersion(plat::kVersionWin95);
        RegisterSetwellStrings();
        Put(cd1 / ".label", "ZELBO1\n");
        app = std::make_unique<CTestSetwellApp>();
        auto w = std::make_unique<CRecordingWindows>();
        windows = w.get();
        app->SetWindows(std::move(w));
    }
    void TearDown() override {
        app.reset();
        plat::SetExitProcessThrows(false);
        plat::SetReportedVersion(plat::kVersionWin95);
        plat::SetCommandLineForTests("");
        plat::ClearVersionFaults();
        EmulatedDrives::TearDown();
    }

    // The product's script on the CD, in its KELVAT folder.
    void PutScript(const std::string& text) { Put(cd1 / "KELVAT" / "Product.Dat", text); }

    // A copy of the stamped sample program with the given file version, on the host.
    static void PutStamped(const fs::path& path, std::array<uint16_t, 4> version, uint16_t language = 0x041D) {
        fs::create_directories(path.parent_path());
        fs::copy_file(ZELBO_VERSION_SAMPLE, path, fs::copy_options::overwrite_existing);
        plat::VersionStamp stamp;
        stamp.fileVersion = version;
        stamp.productVersion = version;
        stamp.language = language;
        std::string error;
        ASSERT_TRUE(plat::WriteVersionStampFile(path, stamp, &error)) << error;
    }
    static std::array<uint16_t, 4> StampOf(const fs::path& path) {
        return plat::ReadVersionStampFile(path).stamp.fileVersion;
    }

    // Runs InitInstance; true when the run ended through ExitProcess.
    bool Run(const std::string& commandLine) {
        plat::SetCommandLineForTests(commandLine);
        try {
            EXPECT_FALSE(app->InitInstance());
        } catch (const plat::ProcessExit& exit) {
            EXPECT_EQ(exit.code, 0u);
            return true;
        }
        return false;
    }

    // The texts of the message boxes shown so far, and their captions.
    static std::vector<std::string> Texts() {
        std::vector<std::string> out;
        for (const plat::MessageBoxRecord& r : plat::MessageBoxLog()) out.push_back(r.text);
        return out;
    }
    static std::string Text(UINT id, const char* s1 = nullptr, const char* s2 = nullptr) {
        CString text;
        const LPCSTR strings[] = {s1, s2};
        AfxFormatStrings(text, id, strings, 2);
        return text.Str();
    }

    // Registry helpers (HKEY_LOCAL_MACHINE).
    static void SetValue(const std::string& key, const std::string& name, DWORD type, const std::string& bytes) {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        ASSERT_EQ(RegSetValueExA(k, name.c_str(), 0, type, reinterpret_cast<const BYTE*>(bytes.data()),
                                 static_cast<DWORD>(bytes.size())),
                  ERROR_SUCCESS);
        RegCloseKey(k);
    }
    static void MakeKey(const std::string& key) {
        HKEY k = nullptr;
        ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &k, nullptr),
                  ERROR_SUCCESS);
        RegCloseKey(k);
    }
    static std::optional<std::string> GetValue(const std::string& key, const std::string& name) {
        HKEY k = nullptr;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return std::nullopt;
        char data[512] = {};
        DWORD size = sizeof data;
        DWORD type = 0;
        const LONG rc = RegQueryValueExA(k, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
        RegCloseKey(k);
        if (rc != ERROR_SUCCESS) return std::nullopt;
        if (type == REG_SZ && size > 0 && data[size - 1] == '\0') --size;
        return std::string(data, size);
    }
    static std::string Count(uint32_t n) {
        return std::string{static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(n >> 16),
                           static_cast<char>(n >> 24)};
    }

    plat::HeadlessBackend* head = nullptr;
    std::unique_ptr<CTestSetwellApp> app;
    CRecordingWindows* windows = nullptr;
};

}  // namespace setup::testing
