// The navigation buttons' pictures of the built Zelbo0.res, in both states, drawn as buttons
// on a generated background and shown through the palette display with the game palette; the
// screen is compared with tests/golden/navigation_buttons.png (ZELBO_UPDATE_GOLDEN=1 writes it
// instead; look at it before keeping it).
#include <gtest/gtest.h>

#include <string>

#include "engine/scene/pal_item.h"
#include "engine/scene/scene_test_support.h"
#include "engine/scene/two_state_button.h"
#include "media/res/res_items_test_support.h"
#include "media/surface/dib_system.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "media/surface/pal_id.h"
#include "platform/headless/golden_test_support.h"

namespace {

TEST(NavigationButtons, BothStatesOnAGeneratedBackground) {
    plat::InstallHeadless();
    plat::ResetGdi();
    InitDibSystem(nullptr, TRUE, 0);
    itemtest::CTestHost resources;
    resources.module = 0;
    ASSERT_TRUE(resources.OpenModuleFile(0, std::string(ZELBO_RES_DIR) + "/Zelbo0.res"));
    scenetest::CFakeSceneHost scene;

    CPalItem palette(0);
    ASSERT_TRUE(palette.Load());
    for (int id = 100; id <= 107; ++id) {
        CSprite* picture = GetResItem(id, TRUE);
        ASSERT_NE(picture, nullptr) << id;
        EXPECT_LE(picture->Width(), 36);
        EXPECT_LE(picture->Height(), 36);
        EXPECT_EQ(picture->HotspotX(), 0);
        for (int y = 0; y < picture->Height(); ++y)
            for (int x = 0; x < picture->Width(); ++x)
                ASSERT_NE(picture->Bits()[y * picture->Stride() + x], 0) << id << " is not opaque at " << x << "," << y;
    }

    CDibG frame;
    frame.CreateRealized(640, 480, palette.GetPalette());
    // Sky above, grass below, a wooden band where the buttons stand.
    for (int y = 0; y < 480; ++y)
        for (int x = 0; x < 640; ++x)
            frame.SetPixel(x, y, static_cast<BYTE>(y < 200 ? 118 + y / 20 : y < 300 ? 200 + (x / 40) % 4 : 90 + (x + y) % 8));

    CDirtyRectList dirty;
    dirty.Add(RECT{0, 0, 640, 480});
    for (int id = 100; id <= 106; id += 2) {
        const int column = (id - 100) / 2;
        for (int state = 0; state < 2; ++state) {
            CTwoStateButton button;
            button.Create(POINT{120 + column * 110, 190 + state * 60}, state, id, id + 1, TRUE);
            button.Draw(frame, dirty);
        }
    }
    // The right button's place, 38 pixels from the right edge.
    CTwoStateButton right;
    right.Create(POINT{640 - 38, 440}, 0, 106, 107, TRUE);
    right.Draw(frame, dirty);

    HDC screen = GetDC(nullptr);
    SelectPalette(screen, *palette.GetPalette(), FALSE);
    RealizePalette(screen);
    frame.DrawRect(screen, RECT{0, 0, 640, 480}, RECT{0, 0, 640, 480}, SRCCOPY);
    ReleaseDC(nullptr, screen);
    plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "navigation_buttons.png");
    ShutdownDibSystem();
}

}  // namespace
