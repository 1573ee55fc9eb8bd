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
#include "platform/dialogs/afx_dialogs.h"
#include "platform/dialogs/dialogs_internal.h"
#include "platform/dialogs/dialog_manager.h"
#include "platform/dialogs/dialog_probe.h"
#include "platform/fs/dospath.h"
#include "platform/gdi/wingdi.h"
#include "platform/headless/golden_test_support.h"
#include "platform/headless/headless_backend.h"
#include "platform/msgbox/msgbox.h"
#include "platform/print/print.h"
#include "platform/fonts/font_registry.h"

namespace dialogs_test {

inline void CheckGolden(const std::string& name) { plat::test::CheckGolden(ZELBO_GOLDEN_DIR, name); }

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
        plat::InstallDialogs();
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
