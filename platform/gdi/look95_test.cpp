// Windows 95's look: a window's frame and caption by its styles, the close box held only when a
// dialog says so, and the close box of a box that nothing cancels drawn grey.
#include "platform/gdi/look95.h"

#include "platform/gdi/gdi_test_support.h"

namespace {

using gdi_test::GdiTest;

class Look95 : public GdiTest {
protected:
    // A visible top-level window, 200 x 100 at (100, 100), of a class that says its close box
    // is held whenever it is asked.
    HWND MakeWindow(const char* className, DWORD style, DWORD exStyle = 0) {
        WNDCLASS wc;
        wc.lpszClassName = className;
        wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
            if (m == plat::look::kMsgCloseBoxPressed) return 1;
            return DefWindowProc(h, m, w, l);
        };
        RegisterClass(&wc);
        return CreateWindowEx(exStyle, className, "Rubrik", style | WS_VISIBLE, 100, 100, 200, 100, nullptr, nullptr,
                              nullptr, nullptr);
    }
};

TEST_F(Look95, FrameWidthCaptionAndCloseBoxFollowTheStyles) {
    struct Case {
        const char* name;
        DWORD style;
        DWORD exStyle;
        int frame;
        int captionExtra;
        bool closeBox;
    };
    const Case cases[] = {
        {"PlainPopup", WS_POPUP, 0, 0, 0, false},
        {"Border", WS_POPUP | WS_BORDER, 0, 1, 0, false},
        {"DialogFrame", WS_POPUP | WS_DLGFRAME, 0, 3, 0, false},
        {"ModalFrameExStyle", WS_POPUP, WS_EX_DLGMODALFRAME, 3, 0, false},
        {"ThickFrame", WS_POPUP | WS_THICKFRAME, 0, 4, 0, false},
        {"CaptionWithoutSystemMenu", WS_POPUP | WS_CAPTION, 0, 3, 18, false},
        {"CaptionAndSystemMenu", WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 3, 18, true},
        {"SizableCaption", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME, 0, 4, 18, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HWND hwnd = MakeWindow("LookFrame", c.style, c.exStyle);
        ASSERT_NE(hwnd, nullptr);
        EXPECT_EQ(plat::look::FrameWidth(hwnd), c.frame);
        const SIZE extra = plat::look::NonClientExtra(hwnd);
        EXPECT_EQ(extra.cx, 2 * c.frame);
        EXPECT_EQ(extra.cy, 2 * c.frame + c.captionExtra);
        const RECT close = plat::look::CloseBoxRect(hwnd);
        if (c.closeBox) {
            // 16 x 14, two pixels inside the frame from the top and the right.
            EXPECT_EQ(close.right, 200 - c.frame - 2);
            EXPECT_EQ(close.left, close.right - 16);
            EXPECT_EQ(close.top, c.frame + 2);
            EXPECT_EQ(close.bottom, c.frame + 2 + 14);
        } else {
            EXPECT_TRUE(IsRectEmpty(&close));
        }
        DestroyWindow(hwnd);
    }
}

TEST_F(Look95, OnlyADialogIsAskedWhetherItsCloseBoxIsHeld) {
    // Both classes answer "held" to the question; only the dialog class is asked it.
    struct Case {
        const char* className;
        bool pushed;
    };
    for (const Case& c : {Case{"#32770", true}, Case{"ProgramWindow", false}}) {
        SCOPED_TRACE(c.className);
        HWND hwnd = MakeWindow(c.className, WS_POPUP | WS_CAPTION | WS_SYSMENU);
        ASSERT_NE(hwnd, nullptr);
        EXPECT_EQ(plat::look::CloseBoxPressed(hwnd), c.pushed);
        plat::look::PaintWindowFrame(hwnd);
        const RECT close = plat::look::CloseBoxRect(hwnd);
        HDC screen = GetDC(nullptr);
        // A held box has black on its top-left line, a raised one white.
        EXPECT_EQ(GetPixel(screen, 100 + close.left, 100 + close.top),
                  c.pushed ? plat::look::kDark : plat::look::kHighlight);
        // The frame's outer line and the caption bar's navy or grey.
        EXPECT_EQ(GetPixel(screen, 100, 150), plat::look::kFace);
        const COLORREF bar = GetPixel(screen, 105, 105);
        EXPECT_TRUE(bar == plat::look::kCaption || bar == plat::look::kInactiveCaption);
        ReleaseDC(nullptr, screen);
        DestroyWindow(hwnd);
    }
}

TEST_F(Look95, ACloseBoxThatCancelsNothingShowsItsCrossEmbossedInGrey) {
    HDC screen = GetDC(nullptr);
    const RECT enabled{10, 10, 26, 24};
    const RECT disabled{40, 10, 56, 24};
    plat::look::CloseBox(screen, enabled, false, true);
    plat::look::CloseBox(screen, disabled, false, false);
    // The cross's first pixel (its top-left arm) and one pixel right of its top-right arm's
    // lower end, where only the white shadow of a disabled cross reaches.
    const int gx = 4, gy = 3;
    EXPECT_EQ(GetPixel(screen, enabled.left + gx, enabled.top + gy), plat::look::kDark);
    EXPECT_EQ(GetPixel(screen, enabled.left + gx + 8, enabled.top + gy + 1), plat::look::kFace);
    EXPECT_EQ(GetPixel(screen, disabled.left + gx, disabled.top + gy), plat::look::kShadow);
    EXPECT_EQ(GetPixel(screen, disabled.left + gx + 8, disabled.top + gy + 1), plat::look::kHighlight);
    ReleaseDC(nullptr, screen);
}

}  // namespace
