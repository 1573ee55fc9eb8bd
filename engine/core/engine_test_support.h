// Test helpers of the engine: a fresh emulated installation (C:\ with a program folder, two
// CD-ROM folders), the program's strings, an application with a main window, the engine's
// module resource files made by the writer, and stand-ins for the preference files and the
// grown-ups' section.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/cor_engine.h"
#include "engine/core/prefs_store.h"
#include "media/res/read_error_prompt.h"
#include "media/res/res_strings.h"
#include "media/res/res_writer.h"
#include "platform/afx/string_table.h"
#include "platform/afxwin/afxwin.h"
#include "platform/audio/wave_out.h"
#include "platform/core/byte_order.h"
#include "platform/core/winuser.h"
#include "platform/fs/dospath.h"
#include "platform/gdi/wingdi.h"
#include "platform/headless/headless_backend.h"
#include "platform/msgbox/msgbox.h"

namespace enginetest {

using Bytes = std::vector<uint8_t>;

// The texts the program registers in main, as the tests need them.
inline void RegisterEngineStrings() {
    static const plat::StringEntry kStrings[] = {
        {40001, u8"Minnet räcker inte.\nAvsluta andra program eller\nöka det virtuella minnet."},
        {40011, u8"UNHANDELED EXCEPTION IN RERAVA!"},
        {57344, u8"Trumlaby"},
        {61279, u8"Vuxenavdelning"},
    };
    plat::RegisterStringTable(kStrings);
    media::RegisterResStrings();
}

// An 'SPR' picture of width × height, every pixel `colour`.
inline Bytes Picture(int width, int height, uint8_t colour) {
    const int stride = (width + 3) & ~3;
    Bytes b;
    plat::AppendLe32(b, static_cast<uint32_t>(width));
    plat::AppendLe32(b, static_cast<uint32_t>(height));
    plat::AppendLe32(b, static_cast<uint32_t>(stride * height));
    b.insert(b.end(), static_cast<size_t>(stride * height), colour);
    return b;
}

// A 'PAL' item of n colours given as red, green, blue (stored blue, green, red).
inline Bytes Palette(const std::vector<std::array<uint8_t, 3>>& rgb) {
    Bytes b;
    plat::AppendLe16(b, static_cast<uint16_t>(rgb.size()));
    for (const auto& c : rgb) {
        b.push_back(c[2]);
        b.push_back(c[1]);
        b.push_back(c[0]);
    }
    return b;
}


// The preference files as far as the engine's calls go: counts, and what each save wrote.
class CRecordingPrefsStore : public IPrefsStore {
public:
    int LoadPrefs() override {
        ++loads;
        return IPrefsStore::LoadPrefs();
    }
    int SavePrefs() override {
        ++saves;
        if (theEngine) savedRecords.push_back(theEngine->m_prefs);
        return 1;
    }
    int ReadUserPrefs() override {
        ++reads;
        return IPrefsStore::ReadUserPrefs();
    }
    int loads = 0;
    int saves = 0;
    int reads = 0;
    std::vector<CUserPrefs> savedRecords;
};

// The main window: counts the paints it gets.
class CCountingWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override {
        if (message == WM_PAINT) ++paints;
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int paints = 0;
};

// The application: counts the messages it is asked to pre-translate and handles them when told.
class CTestApp : public CWinApp {
public:
    BOOL PreTranslateMessage(MSG* msg) override {
        ++pretranslated;
        lastMessage = msg->message;
        return handle;
    }
    int pretranslated = 0;
    UINT lastMessage = 0;
    BOOL handle = FALSE;
};

class EngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        head = &plat::InstallHeadless();
        plat::ResetGdi();
        plat::ResetWaveOut();
        plat::ClearMessageBoxLog();
        plat::InstallMessageBoxes();
        plat::ClearStringTable();
        RegisterEngineStrings();
        ResetReadErrorPrompt();

        std::string pattern = (std::filesystem::temp_directory_path() / "zelbo-engine-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        tmp = pattern;
        root = tmp / "c";
        cd1 = tmp / "cd1";
        cd2 = tmp / "cd2";
        std::filesystem::create_directories(root / "Prog");
        std::filesystem::create_directories(cd1);
        std::filesystem::create_directories(cd2);
        plat::SetEmulatedRoot(root);
        plat::SetCdromFolders({cd1, cd2});
        plat::EmulatedRoot();

        m_savedStore = SetPrefsStore(&store);
        ASSERT_TRUE(mainWnd.CreateEx(0, nullptr, "Trumlaby", WS_POPUP | WS_VISIBLE, 0, 0, 640, 480, nullptr, nullptr));
        app.m_pMainWnd = &mainWnd;
    }

    void TearDown() override {
        if (theEngine) theEngine->Shutdown();
        app.m_pMainWnd = nullptr;
        if (mainWnd.GetSafeHwnd()) mainWnd.DestroyWindow();
        SetPrefsStore(m_savedStore);
        ResetReadErrorPrompt();
        plat::ResetDriveMap();
        plat::ResetWaveOut();
        plat::ClearDeviceCapsOverrides();
        std::error_code ec;
        std::filesystem::remove_all(tmp, ec);
    }

public:
    // The shared resource file: picture 1 (the scan highlight), palette 0, sound 5.
    static media::CResWriter SharedFile() {
        media::CResWriter w;
        w.Add("SPR", 1, Picture(4, 2, 9));
        w.Add("PAL", 0, Palette({{0, 0, 0}, {255, 0, 0}, {0, 255, 0}}));
        w.Add("SND", 5, Bytes{200, 201, 202, 203, 204});
        return w;
    }
    // Writes "<folder>/Zelbo0.res" (a host folder).
    static void PutSharedFile(const std::filesystem::path& folder, const media::CResWriter& w = SharedFile()) {
        std::filesystem::create_directories(folder);
        std::string error;
        ASSERT_TRUE(w.WriteFile(folder / "Zelbo0.res", &error)) << error;
    }

    // A module's file as every module has it: its palette ('PAL' m000: entry 10 white, the rest
    // black), its picture size ('PNT' m001) and its background ('SPR' m000, the picture size,
    // colour 10).
    static media::CResWriter ModuleFile(int module, int width = 640, int height = 480) {
        media::CResWriter w;
        const int base = module * 1000;
        std::vector<std::array<uint8_t, 3>> rgb(11, {0, 0, 0});
        rgb[10] = {255, 255, 255};
        w.Add("PAL", base, Palette(rgb));
        Bytes size;
        plat::AppendLe16(size, static_cast<uint16_t>(width));
        plat::AppendLe16(size, static_cast<uint16_t>(height));
        w.Add("PNT", base + 1, size);
        w.Add("SPR", base, Picture(width, height, 10));
        return w;
    }
    // Writes "<folder>/Zelbo<module>.res".
    static void PutModuleFile(const std::filesystem::path& folder, int module, const media::CResWriter& w) {
        std::filesystem::create_directories(folder);
        std::string error;
        const std::string name = "Zelbo" + std::to_string(module) + ".res";
        ASSERT_TRUE(w.WriteFile(folder / name, &error)) << error;
    }

    // WM_CLOSE messages waiting for the main window, taken from the queue.
    int TakeCloses() {
        int n = 0;
        MSG msg;
        while (PeekMessage(&msg, mainWnd.GetSafeHwnd(), WM_CLOSE, WM_CLOSE, PM_REMOVE)) ++n;
        return n;
    }

    plat::HeadlessBackend* head = nullptr;
    std::filesystem::path tmp, root, cd1, cd2;
    const std::string programFolder = "C:\\Prog\\";
    CRecordingPrefsStore store;
    CTestApp app;
    CCountingWnd mainWnd;

private:
    IPrefsStore* m_savedStore = nullptr;
};

}  // namespace enginetest
