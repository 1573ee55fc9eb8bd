#include "platform/mci/mci.h"

#include <gtest/gtest.h>

namespace {

TEST(Mci, NoMovieDeviceExists) {
    MCI_OPEN_PARMSA open;
    open.lpstrDeviceType = "avivideo";
    open.lpstrElementName = "C:\\INTRO.AVI";
    EXPECT_EQ(mciSendCommand(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT | MCI_WAIT, reinterpret_cast<DWORD_PTR>(&open)),
              MCIERR_INVALID_DEVICE_NAME);
    EXPECT_EQ(open.wDeviceID, 0u);

    struct Case {
        MCIDEVICEID device;
        UINT message;
    };
    for (const Case c : {Case{0, MCI_WHERE}, Case{1, MCI_PLAY}, Case{7, MCI_STATUS}, Case{1, MCI_CLOSE}}) {
        MCI_ANIM_RECT_PARMS where;
        where.rc = {1, 2, 3, 4};
        EXPECT_EQ(mciSendCommand(c.device, c.message, MCI_ANIM_WHERE_DESTINATION, reinterpret_cast<DWORD_PTR>(&where)),
                  MCIERR_DEVICE_NOT_READY)
            << c.device << " " << c.message;
        EXPECT_EQ(where.rc.right, 3) << "a failed command writes nothing back";
    }
    EXPECT_EQ(mciSendCommand(MCI_ALL_DEVICE_ID, MCI_CLOSE, MCI_WAIT, 0), 0u) << "closing everything closes nothing";
}

TEST(Mci, InstalledDriverAnswersUntilRemoved) {
    MCIDEVICEID seenDevice = 0;
    plat::SetMciDriver([&](MCIDEVICEID device, UINT, DWORD_PTR, DWORD_PTR) -> MCIERROR {
        seenDevice = device;
        return 0;
    });
    EXPECT_EQ(mciSendCommand(5, MCI_PLAY, 0, 0), 0u);
    EXPECT_EQ(seenDevice, 5u);
    plat::SetMciDriver({});
    EXPECT_EQ(mciSendCommand(5, MCI_PLAY, 0, 0), MCIERR_DEVICE_NOT_READY);
}

}  // namespace
