// What the grown-ups' tests share: the dialogs' test fixture (a fresh headless back end, an
// emulated drive, real message boxes answered from the script, scripted keys and clicks in
// virtual time, the golden-image comparison) with the section's templates, pictures and strings.
#pragma once

#include <gtest/gtest.h>

#include "adult/adult_sheet.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/dialogs/dialogs_test_support.h"

namespace adulttest {

using dialogs_test::CheckGolden;

// Ends a modal dialog from a scripted action; the posted message wakes its loop.
template <class Dialog>
void EndModal(Dialog& dialog, int code) {
    dialog.EndDialog(code);
    ::PostMessage(dialog.m_hWnd, WM_NULL, 0, 0);
}

inline const plat::StringEntry kSheetStrings[] = {{61279, u8"Vuxenavdelning"}, {61232, u8"Gäst"}};

// The dialogs' own test fixture (platform/dialogs) with the section's resources and Windows 95
// reported; adds mouse events at a window's client points.
class AdultTest : public dialogs_test::DialogsTest {
protected:
    void SetUp() override {
        DialogsTest::SetUp();
        plat::SetReportedVersion(plat::kVersionWin95);
        plat::RegisterStringTable(kSheetStrings);
        RegisterAdultSheetTemplates();
    }
    void TearDown() override {
        DialogsTest::TearDown();
        plat::SetReportedVersion(plat::kVersionWin95);
    }

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
    template <class Dialog>
    static void End(Dialog& dialog, int code) {
        EndModal(dialog, code);
    }
};

}  // namespace adulttest
