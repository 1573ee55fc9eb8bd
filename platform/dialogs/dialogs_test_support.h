// What the dialog tests share: a fresh headless back end, an emulated installation in a
// temporary folder, real message boxes answered from the script, scripted keys and clicks,
// and the golden-image comparison (ZELBO_UPDATE_GOLDEN=1 writes the image instead).
#pragma once

#include <gtest/gtest.h>
#include <png.h>
#include <stdlib.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "platform/afx/string_table.h"
#include "platform/core/display.h"
#include "platform/dialogs/afxwin.h"
#include "platform/dialogs/dialog_internal.h"
#include "platform/dialogs/dialog_manager.h"
#include "platform/dialogs/dialog_probe.h"
#include "platform/fs/dospath.h"
#include "platform/gdi/wingdi.h"
#include "platform/headless/headless_backend.h"
#include "platform/msgbox/msgbox.h"
#include "platform/print/print.h"
#include "platform/text/font_registry.h"

namespace dialogs_test {

inline bool ReadPng(const std::string& path, int& width, int& height, std::vector<uint8_t>& rgb) {
    png_image img{};
    img.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&img, path.c_str())) return false;
    img.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(img));
    width = static_cast<int>(img.width);
    height = static_cast<int>(img.height);
    return png_image_finish_read(&img, nullptr, rgb.data(), 0, nullptr) != 0;
}

// Compares the screen as shown with tests/golden/<name>, or writes it when asked to.
inline void CheckGolden(const std::string& name) {
    const std::string path = std::string(ZELBO_GOLDEN_DIR) + "/" + name;
    const char* update = std::getenv("ZELBO_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        std::filesystem::create_directories(ZELBO_GOLDEN_DIR);
        ASSERT_TRUE(plat::SaveScreenPng(path)) << path;
        std::printf("wrote %s\n", path.c_str());
        return;
    }
    int w = 0, h = 0;
    std::vector<uint8_t> rgb;
    ASSERT_TRUE(ReadPng(path, w, h, rgb)) << path << " is missing: run with ZELBO_UPDATE_GOLDEN=1 and look at it";
    ASSERT_EQ(w, plat::kScreenWidth);
    ASSERT_EQ(h, plat::kScreenHeight);
    const plat::Display& d = plat::TheDisplay();
    int differ = 0;
    std::string first;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const PALETTEENTRY& e = d.HardwareEntry(d.Pixel(x, y));
            const uint8_t* g = &rgb[(static_cast<size_t>(y) * w + x) * 3];
            if (e.peRed != g[0] || e.peGreen != g[1] || e.peBlue != g[2])
                if (differ++ == 0) first = std::to_string(x) + "," + std::to_string(y);
        }
    if (differ) {
        const std::string actual = ::testing::TempDir() + name;
        plat::SaveScreenPng(actual);
        ADD_FAILURE() << differ << " pixels differ from " << path << ", the first at " << first << "; the screen is in "
                      << actual;
    }
}

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_head = &plat::InstallHeadless();
        plat::ResetGdi();
        plat::ClearDialogTemplates();
        plat::ClearPictureResources();
        plat::ClearStringTable();
        plat::ClearMessageBoxLog();
        plat::InstallMessageBoxes("Test");
        std::string pattern = (std::filesystem::temp_directory_path() / "zelbo-dialogs-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_tmp = pattern;
        plat::SetEmulatedRoot(m_tmp / "c");
        plat::SetCdromFolders({});
        plat::EmulatedRoot();
        ASSERT_TRUE(plat::SetCurrentDosDirectory("C:\\"));
        plat::SetPrintSpooler(nullptr);
        plat::SetPrintFolder(m_tmp / "prints");
    }

    void TearDown() override {
        plat::ResetWindowing();
        AfxDeleteTempMaps();
        plat::ResetGdi();
        plat::ClearPictureResources();
        plat::SetMessageBoxHook({});
        plat::ResetPrintSpooler();
        plat::SetPrintFolder({});
        plat::ResetDriveMap();
        std::error_code ec;
        std::filesystem::remove_all(m_tmp, ec);
    }

    // Lets everything scripted so far happen and drops what nobody took.
    void Drain() {
        m_head->Advance(500);
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        }
    }
    uint64_t At(uint64_t dt) const { return m_head->NowMs() + dt; }
    // Runs fn dt virtual milliseconds from now (while a modal loop waits).
    void Later(uint64_t dt, std::function<void()> fn) { m_head->At(At(dt), std::move(fn)); }
    void Key(uint64_t dt, int vk, uint8_t ch = 0) { m_head->Key(At(dt), vk, ch); }
    void KeyWith(uint64_t dt, int modifier, int vk, uint8_t ch = 0) {
        plat::InputEvent ev;
        ev.kind = plat::InputKind::KeyDown;
        ev.vk = modifier;
        m_head->QueueInput(At(dt), ev);
        m_head->Key(At(dt), vk, ch);
        // Released a little later: GetKeyState tells the state of the input taken so far.
        ev.kind = plat::InputKind::KeyUp;
        m_head->QueueInput(At(dt + 2), ev);
    }
    void Type(uint64_t dt, const std::string& text) {
        for (char c : text) {
            const auto ch = static_cast<uint8_t>(c);
            int vk = ch >= 'a' && ch <= 'z' ? ch - 'a' + 'A' : ch;
            if (ch >= 0x80) vk = VK_OEM_6;
            m_head->Key(At(dt), vk, ch);
        }
    }
    void ClickAt(uint64_t dt, POINT p) { m_head->Click(At(dt), p.x, p.y); }
    void ClickControl(uint64_t dt, HWND control) { ClickAt(dt, plat::ControlCentre(control)); }
    // Clicks the control with this id of the dialog running then.
    void ClickItem(uint64_t dt, int id) {
        Later(dt, [this, id] {
            HWND c = plat::FindDialogItem(plat::ActiveDialog(), id);
            ASSERT_NE(c, nullptr) << "no control " << id;
            ClickControl(1, c);
        });
    }

    plat::HeadlessBackend* m_head = nullptr;
    std::filesystem::path m_tmp;
};

}  // namespace dialogs_test
