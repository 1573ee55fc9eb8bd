// The splash dialog on the headless screen: the credits picture built into the program fills
// the screen; any key closes it, a button release only while the dialog holds the capture; a
// paint request after the first draws the picture again and validates the window.
#include "adult/splash_dlg.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <functional>
#include <string>

#include "app/app_resources.h"
#include "media/surface/dib_system.h"
#include "platform/afx/string_table.h"
#include "platform/core/display.h"
#include "platform/dialogs/dialog_api.h"
#include "platform/dialogs/resources.h"
#include "platform/gdi/wingdi.h"
#include "platform/headless/golden_test_support.h"
#include "platform/headless/headless_backend.h"
#include "platform/msgbox/msgbox.h"

namespace {

class SplashDlgTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_head = &plat::InstallHeadless();
        plat::ResetGdi();
        plat::ClearDialogTemplates();
        plat::ClearPictureResources();
        plat::ClearStringTable();
        plat::InstallMessageBoxes();
        plat::InstallDialogs();
        RegisterZelboResources();
        InitDibSystem(nullptr, TRUE, 0);
    }
    void TearDown() override {
        ShutdownDibSystem();
        plat::ResetWindowing();
        AfxDeleteTempMaps();
        plat::ResetGdi();
        plat::ClearPictureResources();
        plat::ClearDialogTemplates();
    }

    uint64_t At(uint64_t dt) const { return m_head->NowMs() + dt; }
    void Later(uint64_t dt, std::function<void()> fn) { m_head->At(At(dt), std::move(fn)); }

    // Pixels of the screen whose colour differs from the credits picture's.
    static int PixelsUnlikeTheCredits() {
        const plat::Picture* credits = plat::FindBitmapResource(kCreditsBitmap);
        if (!credits || credits->width != plat::kScreenWidth || credits->height != plat::kScreenHeight) return -1;
        const plat::Display& d = plat::TheDisplay();
        int differ = 0;
        for (int y = 0; y < credits->height; ++y)
            for (int x = 0; x < credits->width; ++x) {
                const RGBQUAD& want = credits->colours[credits->pixels[static_cast<size_t>(y) * credits->width + x]];
                const PALETTEENTRY& got = d.HardwareEntry(d.Pixel(x, y));
                if (got.peRed != want.rgbRed || got.peGreen != want.rgbGreen || got.peBlue != want.rgbBlue) ++differ;
            }
        return differ;
    }
    // Paints the screen black where nothing will paint it back by itself.
    static void BlackenScreen() {
        HDC screen = GetDC(nullptr);
        PatBlt(screen, 0, 0, plat::kScreenWidth, plat::kScreenHeight, BLACKNESS);
        ReleaseDC(nullptr, screen);
    }

    plat::HeadlessBackend* m_head = nullptr;
};

// The picture fills the screen: the dialog is 640 x 480 at the top-left of a 640 x 480 screen.
TEST_F(SplashDlgTest, GoldenCreditsPictureFillsTheScreen) {
    CSplashDlg splash;
    RECT placed{};
    int unlike = -2;
    Later(100, [&] {
        GetWindowRect(splash.m_hWnd, &placed);
        unlike = PixelsUnlikeTheCredits();
        plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "splash_dialog.png");
        m_head->Key(At(10), VK_SPACE, ' ');
    });
    EXPECT_EQ(splash.DoModal(), 1);
    EXPECT_EQ(placed.left, 0);
    EXPECT_EQ(placed.top, 0);
    EXPECT_EQ(placed.right, 640);
    EXPECT_EQ(placed.bottom, 480);
    EXPECT_EQ(unlike, 0) << "-1: no 640 x 480 credits picture registered";
}

// Every key ends the dialog with 1, also those the dialog manager would take for itself
// (Escape as a cancel, Enter as the default button, Tab as a move): the capture is released
// and the picture freed.
TEST_F(SplashDlgTest, AnyKeyClosesIt) {
    struct Case {
        const char* what;
        int vk;
        uint8_t ch;
    };
    const Case cases[] = {
        {"Escape", VK_ESCAPE, 27}, {"Enter", VK_RETURN, 13}, {"Tab", VK_TAB, 9},   {"space", VK_SPACE, ' '},
        {"a letter", 'A', 'a'},    {"F1", VK_F1, 0},         {"an arrow", VK_LEFT, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CSplashDlg splash;
        bool captured = false;
        Later(50, [&] {
            captured = GetCapture() == splash.m_hWnd;
            m_head->Key(At(10), c.vk, c.ch);
        });
        EXPECT_EQ(splash.DoModal(), 1);
        EXPECT_TRUE(captured) << "the dialog captures the mouse when it opens";
        EXPECT_EQ(GetCapture(), nullptr);
        EXPECT_FALSE(splash.HasPicture());
    }
}

// A release of the left button closes the dialog while it holds the capture; once the capture
// is gone (released, or taken by another window) a click is not taken for one on the dialog,
// which stays open until a key.
TEST_F(SplashDlgTest, AButtonReleaseClosesItOnlyWhileItHoldsTheCapture) {
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "SplashTestOther";
    RegisterClass(&wc);
    enum class Capture { kHeld, kReleased, kTakenByAnother };
    struct Case {
        const char* what;
        Capture capture;
        bool closedByClick;
    };
    const Case cases[] = {
        {"held", Capture::kHeld, true},
        {"released", Capture::kReleased, false},
        {"taken by another window", Capture::kTakenByAnother, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HWND other = CreateWindow("SplashTestOther", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
        CSplashDlg splash;
        bool openAfterClick = false;
        Later(50, [&] {
            if (c.capture == Capture::kReleased) ReleaseCapture();
            if (c.capture == Capture::kTakenByAnother) SetCapture(other);
            m_head->Click(At(10), 320, 240);
            Later(100, [&] {
                openAfterClick = IsWindow(splash.m_hWnd) && splash.HasPicture();
                m_head->Key(At(10), 'X', 'x');
            });
        });
        EXPECT_EQ(splash.DoModal(), 1);
        EXPECT_EQ(openAfterClick, !c.closedByClick);
        EXPECT_FALSE(splash.HasPicture());
        ReleaseCapture();
        DestroyWindow(other);
    }
}

// The splash dialog counting the paint requests it takes from its queue; a window that is
// never validated would be asked without end, so after many the test ends the dialog with -1.
class PaintCountingSplash : public CSplashDlg {
public:
    BOOL PreTranslateMessage(MSG* msg) override {
        if (msg->message == WM_PAINT && msg->hwnd == m_hWnd && ++requests > 100) {
            EndDialog(-1);
            return TRUE;
        }
        return CSplashDlg::PreTranslateMessage(msg);
    }
    int requests = 0;
};

// A paint request after the first one draws the kept picture again and validates the window:
// the screen painted over shows the picture once more, with one paint for one request.
TEST_F(SplashDlgTest, ASecondPaintRepaintsFromTheKeptPicture) {
    PaintCountingSplash splash;
    int firstPaints = 0, laterPaints = 0, unlikeBlack = 0, unlikeAfter = -2;
    bool stillToPaint = true;
    Later(50, [&] {
        firstPaints = splash.PaintCount();
        BlackenScreen();
        unlikeBlack = PixelsUnlikeTheCredits();
        splash.Invalidate(FALSE);
        Later(100, [&] {
            laterPaints = splash.PaintCount();
            unlikeAfter = PixelsUnlikeTheCredits();
            RECT update{};
            stillToPaint = GetUpdateRect(splash.m_hWnd, &update, FALSE) != FALSE;
            m_head->Key(At(10), VK_ESCAPE, 27);
        });
    });
    EXPECT_EQ(splash.DoModal(), 1) << "-1: paint requests without end";
    EXPECT_EQ(firstPaints, 1);
    EXPECT_GT(unlikeBlack, 0) << "the screen was painted over";
    EXPECT_EQ(laterPaints, 2) << "one paint for the one request";
    EXPECT_EQ(unlikeAfter, 0);
    EXPECT_FALSE(stillToPaint);
}

}  // namespace
