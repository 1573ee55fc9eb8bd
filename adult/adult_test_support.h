// What the grown-ups' tests share: a fresh headless back end with the section's templates,
// pictures and strings, real message boxes answered from the script, scripted keys and clicks
// in virtual time, and the golden-image comparison (ZELBO_UPDATE_GOLDEN=1 writes the image).
#pragma once

#include <gtest/gtest.h>

#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <string>

#include "adult/adult_sheet.h"
#include "platform/afx/string_table.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/dialogs/dialog_manager.h"
#include "platform/dialogs/dialog_probe.h"
#include "platform/fs/dospath.h"
#include "platform/headless/golden_test_support.h"
#include "platform/headless/headless_backend.h"
#include "platform/msgbox/msgbox.h"
#include "platform/print/print.h"

namespace adulttest {

inline void CheckGolden(const std::string& name) { plat::test::CheckGolden(ZELBO_GOLDEN_DIR, name); }

inline const plat::StringEntry kSheetStrings[] = {{61279, u8"Vuxenavdelning"}, {61232, u8"Gäst"}};

class AdultTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_head = &plat::InstallHeadless();
        plat::SetReportedVersion(plat::kVersionWin95);
        plat::ResetGdi();
        plat::ClearDialogTemplates();
        plat::ClearPictureResources();
        plat::ClearStringTable();
        plat::InstallMessageBoxes();
        plat::InstallDialogs();
        plat::RegisterStringTable(kSheetStrings);
        RegisterAdultSheetTemplates();
        std::string pattern = (std::filesystem::temp_directory_path() / "zelbo-adult-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        m_tmp = pattern;
        plat::SetEmulatedRoot(m_tmp / "c");
        plat::SetCdromFolders({});
        plat::EmulatedRoot();
        plat::SetPrintSpooler(nullptr);
        plat::SetPrintFolder(m_tmp / "prints");
    }
    void TearDown() override {
        plat::ResetWindowing();
        AfxDeleteTempMaps();
        plat::ResetGdi();
        plat::ClearPictureResources();
        plat::SetReportedVersion(plat::kVersionWin95);
        plat::ResetPrintSpooler();
        plat::SetPrintFolder({});
        std::error_code ec;
        std::filesystem::remove_all(m_tmp, ec);
    }

    uint64_t At(uint64_t dt) const { return m_head->NowMs() + dt; }
    void Later(uint64_t dt, std::function<void()> fn) { m_head->At(At(dt), std::move(fn)); }
    void Key(uint64_t dt, int vk) { m_head->Key(At(dt), vk); }
    // A mouse event at a point of a window's client area.
    void Mouse(uint64_t dt, plat::InputKind kind, HWND window, int x, int y) {
        POINT p{x, y};
        ClientToScreen(window, &p);
        plat::InputEvent ev;
        ev.kind = kind;
        ev.x = p.x;
        ev.y = p.y;
        m_head->QueueInput(At(dt), ev);
    }
    void ClickIn(uint64_t dt, HWND window, int x, int y) {
        POINT p{x, y};
        ClientToScreen(window, &p);
        m_head->Click(At(dt), p.x, p.y);
    }
    // Clicks the control with this id of the dialog running then.
    void ClickItem(uint64_t dt, int id) {
        Later(dt, [this, id] {
            HWND c = plat::FindDialogItem(plat::ActiveDialog(), id);
            ASSERT_NE(c, nullptr) << "no control " << id;
            const POINT p = plat::ControlCentre(c);
            m_head->Click(At(1), p.x, p.y);
        });
    }

    // Ends a modal dialog from a scripted action; the posted message wakes its loop.
    template <class Dialog>
    static void End(Dialog& dialog, int code) {
        dialog.EndDialog(code);
        ::PostMessage(dialog.m_hWnd, WM_NULL, 0, 0);
    }

    plat::HeadlessBackend* m_head = nullptr;
    std::filesystem::path m_tmp;
};

}  // namespace adulttest
