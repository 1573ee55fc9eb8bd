#include "media/util/movie.h"

#include <gtest/gtest.h>

#include "platform/core/winuser.h"
#include "platform/headless/headless_backend.h"

namespace {

constexpr RECT kUntouched{-7, -7, -7, -7};

bool Same(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

class MovieTest : public ::testing::Test {
protected:
    void TearDown() override { plat::SetMciDriver({}); }

    // A driver that records the last command and answers MCI_WHERE with `where`.
    void InstallDriver(MCIERROR answer, RECT where = {}) {
        plat::SetMciDriver([this, answer, where](MCIDEVICEID device, UINT message, DWORD_PTR flags, DWORD_PTR params) {
            seenDevice = device;
            seenMessage = message;
            seenFlags = flags;
            if (params != 0) {
                seenCallback = reinterpret_cast<MCI_GENERIC_PARMS*>(params)->dwCallback;
                if (message == MCI_WHERE) {
                    auto* block = reinterpret_cast<MCI_ANIM_RECT_PARMS*>(params);
                    blockWasZero = Same(block->rc, RECT{});
                    if (answer == 0) block->rc = where;
                }
            }
            return answer;
        });
    }

    MCIDEVICEID seenDevice = 0;
    UINT seenMessage = 0;
    DWORD_PTR seenFlags = 0;
    DWORD_PTR seenCallback = 0;
    bool blockWasZero = false;
};

TEST_F(MovieTest, NoDeviceGives276AndLeavesRectangle) {
    CMovie movie;
    RECT r = kUntouched;
    EXPECT_EQ(movie.GetMovieRect(&r), 276u);
    EXPECT_TRUE(Same(r, kUntouched));

    movie.m_deviceId = 3;  // a device id, but the platform has no movie device
    EXPECT_EQ(movie.GetMovieRect(&r), 276u);
    EXPECT_TRUE(Same(r, kUntouched));
}

TEST_F(MovieTest, WhereAnswerBecomesRectangle) {
    CMovie movie;
    movie.m_deviceId = 9;
    InstallDriver(0, RECT{10, 20, 300, 200});  // left, top, width, height
    RECT r = kUntouched;
    ASSERT_EQ(movie.GetMovieRect(&r), 0u);
    EXPECT_TRUE(Same(r, RECT{10, 20, 310, 220}));
    EXPECT_EQ(seenDevice, 9u);
    EXPECT_EQ(seenMessage, 0x843u);
    EXPECT_EQ(seenFlags, 0x40000u);
    EXPECT_TRUE(blockWasZero);

    InstallDriver(MCIERR_INVALID_DEVICE_ID);
    r = kUntouched;
    EXPECT_EQ(movie.GetMovieRect(&r), MCIERR_INVALID_DEVICE_ID) << "errors come back unchanged";
    EXPECT_TRUE(Same(r, kUntouched));
}

TEST_F(MovieTest, NotifyCallbackIsTheOwnerWindowOnlyWhileItExists) {
    plat::InstallHeadless();
    WNDCLASS wc{};
    wc.lpfnWndProc = DefWindowProc;
    wc.lpszClassName = "MovieTestWindow";
    RegisterClass(&wc);
    HWND window = CreateWindow("MovieTestWindow", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(window, nullptr);
    InstallDriver(0);

    CMovie movie;
    movie.m_deviceId = 4;
    struct Case {
        HWND owner;
        DWORD flags;
        bool expectCallback;
    };
    const Case cases[] = {
        {nullptr, MCI_NOTIFY, false},
        {window, MCI_WAIT, false},
        {window, MCI_NOTIFY | MCI_WAIT, true},
    };
    for (const Case& c : cases) {
        movie.m_window = c.owner;
        MCI_GENERIC_PARMS block;
        EXPECT_EQ(movie.SendMovieCommand(MCI_PLAY, c.flags, &block), 0u);
        EXPECT_EQ(seenDevice, 4u);
        EXPECT_EQ(block.dwCallback, c.expectCallback ? reinterpret_cast<DWORD_PTR>(window) : 0u);
    }
    EXPECT_EQ(movie.SendMovieCommand(MCI_STOP, MCI_NOTIFY, nullptr), 0u) << "no block, nothing to fill";

    DestroyWindow(window);
    MCI_GENERIC_PARMS block;
    movie.SendMovieCommand(MCI_PLAY, MCI_NOTIFY, &block);
    EXPECT_EQ(block.dwCallback, 0u) << "a destroyed owner gets no notification";
}

}  // namespace
