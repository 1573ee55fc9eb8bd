#include "tests/popups/popups_module.h"

#include <array>

#include "engine/scene/drag_mgr.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/sprite_toolbox.h"

namespace {

CCorAnim* gBall = nullptr;
std::array<CCorAnim*, std::size(kPopupButtons)> gButtons{};

void Enter() {
    EngineCreateSpot(kBallHomeSpot, CCorRect{0, 0, 640, 480});
    EngineCreateSpot(kPictureSpot, kPictureSpotRect);
    for (size_t i = 0; i < std::size(kPopupButtons); ++i)
        gButtons[i] = CreateSprite(kPopupButtons[i].x, kPopupButtons[i].y, kPopupButtons[i].picture);
    gBall = CreateSprite(kBallX, kBallY, kBallPicture);
}

int16_t OnAnimClicked(CCorAnim* anim, int16_t id) {
    if (anim == gBall && id == kBallPicture) {
        EngineDragObject(gBall, kBallHomeSpot, 0, kNoSnapLimit, nullptr);
        return 1;
    }
    for (size_t i = 0; i < std::size(kPopupButtons); ++i) {
        const PopupButton& b = kPopupButtons[i];
        if (anim != gButtons[i] || id != b.picture) continue;
        if (TrackButton(anim, static_cast<int16_t>(b.picture + 10), b.picture)) {
            b.open();
            QueueSpriteShowImage(anim, b.picture);
        }
        return 1;
    }
    return 0;
}

void Leave() {
    DisposeSprite(gBall);
    gBall = nullptr;
    for (CCorAnim*& button : gButtons) {
        DisposeSprite(button);
        button = nullptr;
    }
    EngineDeleteSpot(kBallHomeSpot);
    EngineDeleteSpot(kPictureSpot);
}

constexpr ModuleFunctionTable MakeTable() {
    ModuleFunctionTable t{};
    t.Enter = Enter;
    t.OnAnimClicked = OnAnimClicked;
    t.Leave = Leave;
    return t;
}

constinit ModuleFunctionTable gTable = MakeTable();

}  // namespace

ModuleFunctionTable* PopupsModuleTable() { return &gTable; }

void GetBallPos(int16_t& x, int16_t& y) { GetSpritePos(gBall, &x, &y); }
