// What the setup program's tests share: a fixture CD (D:, labelled, with a KELVAT folder
// holding the product's script, stamped program copies and a data file) on a temporary
// emulated installation, the headless back end with message boxes answered from a list, exits
// caught in-process, and an application object whose windows, program starts and restart are
// stand-ins that record what the flow asked of them.
#pragma once

#include <gtest/gtest.h>

#include <fstream>
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
#include "platform/afx/mem_file.h"
#include "platform/afx/string_table.h"
#include "platform/version/ver_install.h"
#include "platform/version/version_stamp.h"
#include "setup/common/script_strings.h"
#include "setup/common/script_test_host.h"
#include "setup/setwell/dib.h"
#include "setup/setwell/setwell_app.h"
#include "setup/setwell/setwell_strings.h"

namespace setup::testing {

namespace fs = std::filesystem;

// A small product's CD in a host folder (mapped as a CD drive by the caller): its label, the
// splash picture BKGND.BMP at the root (the script names it "[SetupDir]\BKGND.BMP"), and in
// KELVAT the script, two stamped copies of a small program (ZELBO.EXE, REMBLY.EXE), the
// final-dialog program FINAL.EXE and a data file. The script installs them into
// "[InstallDir]\Zelbo" after a Disk statement for the CD's own label.
struct FixtureCd {
    std::string label = "ZELBO1";
    std::array<uint16_t, 4> version = {2, 0, 0, 0};  // of the program copies
    std::string extraHeader;     // statements before WelcomeDialog
    std::string extraStatements;  // statements at the end
    std::string sample = ZELBO_VERSION_SAMPLE;  // the stamped program copied
};

// The splash picture: 160 x 100, 8 bits, four colour bands and a frame, read into a CDIB from
// BMP bytes made here and written back out by CDIB::Write.
inline std::vector<uint8_t> FixtureSplashBmp() {
    constexpr int kWidth = 160, kHeight = 100;
    std::vector<uint8_t> bmp(14 + 40 + 256 * 4 + kWidth * kHeight);
    auto put16 = [&](size_t at, uint32_t v) {
        bmp[at] = static_cast<uint8_t>(v);
        bmp[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    auto put32 = [&](size_t at, uint32_t v) {
        put16(at, v & 0xFFFF);
        put16(at + 2, v >> 16);
    };
    bmp[0] = 'B';
    bmp[1] = 'M';
    put32(2, static_cast<uint32_t>(bmp.size()));
    put32(10, 14 + 40 + 256 * 4);
    put32(14, 40);
    put32(18, kWidth);
    put32(22, kHeight);
    put16(26, 1);
    put16(28, 8);
    const uint8_t colours[5][3] = {{200, 40, 40}, {240, 200, 40}, {40, 160, 60}, {40, 80, 200}, {255, 255, 255}};
    for (int i = 0; i < 5; ++i) {
        const size_t at = 54 + static_cast<size_t>(i) * 4;
        bmp[at] = colours[i][2];  // blue, green, red
        bmp[at + 1] = colours[i][1];
        bmp[at + 2] = colours[i][0];
    }
    put32(46, 5);  // colours used
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            const bool frame = x < 4 || y < 4 || x >= kWidth - 4 || y >= kHeight - 4;
            bmp[14 + 40 + 256 * 4 + static_cast<size_t>(y) * kWidth + x] =
                static_cast<uint8_t>(frame ? 4 : x * 4 / kWidth);
        }
    }
    CMemFile in{std::span<const uint8_t>(bmp)};
    CDIB picture;
    EXPECT_TRUE(picture.Read(in));
    CMemFile out;
    EXPECT_TRUE(picture.Write(out));
    return out.Bytes();
}

inline void MakeFixtureCd(const fs::path& cd, const FixtureCd& spec = {}) {
    const auto put = [](const fs::path& p, std::string_view text) {
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary) << text;
    };
    put(cd / ".label", spec.label + "\n");
    const std::vector<uint8_t> splash = FixtureSplashBmp();
    put(cd / "BKGND.BMP", std::string_view(reinterpret_cast<const char*>(splash.data()), splash.size()));
    put(cd / "KELVAT" / "DATA.TXT", "Zelbo data\n");
    for (const char* name : {"ZELBO.EXE", "REMBLY.EXE", "FINAL.EXE"}) {
        const fs::path program = cd / "KELVAT" / name;
        fs::copy_file(spec.sample, program, fs::copy_options::overwrite_existing);
        plat::VersionStamp stamp;
        stamp.fileVersion = stamp.productVersion = spec.version;
        std::string error;
        EXPECT_TRUE(plat::WriteVersionStampFile(program, stamp, &error)) << error;
    }
    put(cd / "KELVAT" / "Product.Dat",
        "# Zelbo, installed from its CD.\n"
        "SplashScreenTitle Zelbo installation;\n"
        "SplashScreenArtBmp [SetupDir]\\BKGND.BMP;\n"
        "SplashScreenArtPos 50, 10;\n"
        "ProductName Zelbo;\nProductVersion 1.0;\nProductDir Zelbo;\nProductExe ZELBO;\n"
        "UninstallExe REMBLY.EXE;\nFinalDlgExe [SourceDrive]\\KELVAT\\FINAL.EXE;\nRunAutoPlayDlg TRUE;\n"
        "ProductSize 100000;\nUninstallVersionZelbo ZelboTally;\n"
        "WelcomeDialogTitle Zelbo;\n"
        "WelcomeDialogMessage Zelbo installeras i den mapp du anger.;\n" +
            spec.extraHeader +
            "WelcomeDialog;\n"
            "Disk " + spec.label + ", Zelbo-skivan;\n"
            "File [SourceDrive]\\KELVAT\\Product.Dat, [InstallDir]\\[ProductDir]\\Product.Dat;\n"
            "File95 [SourceDrive]\\KELVAT\\ZELBO.EXE, [InstallDir]\\[ProductDir]\\ZELBO.EXE;\n"
            "File [SourceDrive]\\KELVAT\\REMBLY.EXE, [InstallDir]\\[ProductDir]\\REMBLY.EXE, D;\n"
            "File [SourceDrive]\\KELVAT\\DATA.TXT, [InstallDir]\\[ProductDir]\\DATA.TXT, R;\n" +
            spec.extraStatements);
}

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
        NewApp();
    }
    // A fresh application object with fresh stand-in windows, on the same installation.
    void NewApp() {
        app.reset();
        app = std::make_unique<CTestSetwellApp>();
        auto w = std::make_unique<CRecordingWindows>();
        windows = w.get();
        app->SetWindows(std::move(w));
        plat::ClearMessageBoxLog();
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
