// The framework's window procedure on its own, a table: a message in; out the handler its
// message map chose (with the arguments it split out of wParam and lParam) or the default
// procedure, and the answer.
#include <gtest/gtest.h>

#include <string>

#include "platform/afxwin/afxwin.h"
#include "platform/controls/controls.h"
#include "platform/headless/headless_backend.h"

namespace {

constexpr UINT kIdOk = 41;
constexpr UINT kIdMenu = 100;
HBRUSH const kStaticBrush = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(0x5151));

class MapWnd : public CWnd {
public:
    std::string log;

protected:
    afx_msg void OnKeyDown(UINT ch, UINT repeat, UINT flags) { Log("key", ch, repeat, flags); }
    afx_msg void OnChar(UINT ch, UINT repeat, UINT flags) { Log("char", ch, repeat, flags); }
    afx_msg void OnLButtonDown(UINT flags, CPoint p) { Log("down", flags, p.x, p.y); }
    afx_msg void OnSize(UINT type, int cx, int cy) { Log("size", type, cx, cy); }
    afx_msg void OnHScroll(UINT code, UINT pos, CScrollBar* bar) { Log("hscroll", code, pos, bar ? 1 : 0); }
    afx_msg BOOL OnEraseBkgnd(CDC*) {
        Log("erase");
        return TRUE;
    }
    afx_msg HBRUSH OnCtlColor(CDC*, CWnd*, UINT kind) {
        Log("colour", kind);
        return kind == CTLCOLOR_STATIC ? kStaticBrush : nullptr;
    }
    afx_msg void OnOk() { Log("ok"); }
    afx_msg void OnMenu() { Log("menu"); }
    afx_msg void OnTimer(UINT_PTR id) { Log("timer", static_cast<long>(id)); }

private:
    template <class... Args>
    void Log(const char* what, Args... args) {
        if (!log.empty()) log += "; ";
        log += what;
        ((log += " " + std::to_string(args)), ...);
    }
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(MapWnd, CWnd)
    ON_WM_KEYDOWN()
    ON_WM_CHAR()
    ON_WM_LBUTTONDOWN()
    ON_WM_SIZE()
    ON_WM_HSCROLL()
    ON_WM_ERASEBKGND()
    ON_WM_CTLCOLOR()
    ON_WM_TIMER()
    ON_BN_CLICKED(kIdOk, OnOk)
    ON_COMMAND(kIdMenu, OnMenu)
END_MESSAGE_MAP()

struct FrameCase {
    const char* name;
    UINT msg;
    WPARAM wParam;
    LPARAM lParam;
    const char* log;  // the handlers that ran, with their arguments
    LRESULT answer;
};

class FrameworkProcTest : public ::testing::TestWithParam<FrameCase> {
protected:
    void SetUp() override { plat::InstallHeadless(); }
    void TearDown() override {
        plat::ResetWindowing();
        AfxDeleteTempMaps();
    }
};

TEST_P(FrameworkProcTest, TheMapsHandlerOrTheDefaultAnswers) {
    const FrameCase& c = GetParam();
    MapWnd w;
    ASSERT_TRUE(w.CreateEx(0, nullptr, "Karta", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr));
    w.log.clear();
    EXPECT_EQ(w.SendMessage(c.msg, c.wParam, c.lParam), c.answer);
    EXPECT_EQ(w.log, c.log);
    w.DestroyWindow();
}

constexpr LPARAM kKeyData = MAKELPARAM(3, 0x401E);  // repeated 3 times, scan code 0x1E, was down

INSTANTIATE_TEST_SUITE_P(
    Messages, FrameworkProcTest,
    ::testing::Values(
        FrameCase{"keySplitsRepeatAndFlags", WM_KEYDOWN, 'A', kKeyData, "key 65 3 16414", 0},
        FrameCase{"charTheSame", WM_CHAR, 0xE5, kKeyData, "char 229 3 16414", 0},
        FrameCase{"mouseCoordinatesAreSigned", WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, -7), "down 1 -5 -7", 0},
        FrameCase{"sizeGivesWidthAndHeight", WM_SIZE, 0, MAKELPARAM(640, 480), "size 0 640 480", 0},
        FrameCase{"scrollOfTheWindowsOwnBarHasNoBarObject", WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 12), 0,
                  "hscroll 5 12 0", 0},
        FrameCase{"eraseAnswersTheHandlers", WM_ERASEBKGND, 0, 0, "erase", TRUE},
        FrameCase{"controlColourByKind", WM_CTLCOLORSTATIC, 0, 0, "colour 6",
                  static_cast<LRESULT>(reinterpret_cast<uintptr_t>(kStaticBrush))},
        FrameCase{"listColourByKind", WM_CTLCOLORLISTBOX, 0, 0, "colour 2", 0},
        FrameCase{"timerId", WM_TIMER, 7, 0, "timer 7", 0},
        FrameCase{"aControlsNotificationByCodeAndId", WM_COMMAND, MAKEWPARAM(kIdOk, BN_CLICKED), 0, "ok", 0},
        FrameCase{"anotherCodeOfThatIdReachesNoHandler", WM_COMMAND, MAKEWPARAM(kIdOk, BN_DOUBLECLICKED), 0, "", 0},
        FrameCase{"aMenuCommand", WM_COMMAND, MAKEWPARAM(kIdMenu, 0), 0, "menu", 0},
        FrameCase{"anUnknownCommand", WM_COMMAND, MAKEWPARAM(kIdMenu + 1, 0), 0, "", 0},
        // Not in the map: the default procedure answers.
        FrameCase{"unmappedGoesToTheDefault", WM_GETTEXTLENGTH, 0, 0, "", 5},
        FrameCase{"unmappedKeyUp", WM_KEYUP, 'A', kKeyData, "", 0}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
