#include "app/hub_standin.h"

#include <array>

#include "engine/core/cor_engine.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/talk.h"
#include "engine/toolbox/waits.h"

namespace {

// The entrance sprites while the hub is entered, in the order of kHubEntrances.
std::array<CCorAnim*, std::size(kHubEntrances)> gEntrances{};
// The talking host while the hub is entered.
CCorAnim* gHost = nullptr;

void Enter() {
    CCorEngine& e = *theEngine;
    for (size_t i = 0; i < std::size(kHubEntrances); ++i) {
        const HubEntrance& in = kHubEntrances[i];
        const POINT at{in.x + e.m_originX, in.y + e.m_originY};
        CCorAnim* sprite = e.m_anims.Create(e.MapResourceId(in.id), at);
        // A script that shows the picture and ends: the hub is settled once it has run.
        sprite->AddInstr(media::kAnimShowPicture, static_cast<uint32_t>(in.id));
        gEntrances[i] = sprite;
    }
    const POINT hostAt{kHubHostX + e.m_originX, kHubHostY + e.m_originY};
    gHost = e.m_anims.Create(e.MapResourceId(kHubHostPicture), hostAt);
    gHost->AddInstr(media::kAnimShowPicture, static_cast<uint32_t>(kHubHostPicture));
}

// The greeting; a click ends it and stays queued for what it was on.
void Start() {
    const int16_t greeting[] = {kHubGreeting, 0};
    TalkWithCues(gHost, 1, 0, nullptr, greeting);
}
void Tick() {}
void KeyDown(int32_t) {}
void Notify(int32_t) {}

void Leave() {
    for (CCorAnim*& sprite : gEntrances) {
        theEngine->m_anims.Remove(sprite);
        sprite = nullptr;
    }
    theEngine->m_anims.Remove(gHost);
    gHost = nullptr;
}

int16_t OnAnimClicked(CCorAnim* anim, int16_t id) {
    CCorEngine& e = *theEngine;
    for (size_t i = 0; i < std::size(kHubEntrances); ++i) {
        if (anim != gEntrances[i] || id != kHubEntrances[i].id) continue;
        StopAllSnds();
        PreloadAnimation(kHubEntrances[i].preload);
        anim->ClearScript();
        anim->LoadScript(e.MapResourceId(id));
        // The bounce and its sound play out; a close of the program ends the wait, and the
        // switch is then left undone.
        while ((e.m_anims.Contains(anim) && anim->GetScriptState() == kAnimRunning) || IsSndPlaying(-1)) {
            if (e.ClosePending()) return 1;
            Delay(0);
        }
        EngineRunCommand(static_cast<int16_t>(kHubEntrances[i].module));
        return 1;
    }
    return 0;
}

constexpr ModuleFunctionTable MakeTable() {
    ModuleFunctionTable t{};
    t.Enter = Enter;
    t.Start = Start;
    t.Tick = Tick;
    t.KeyDown = KeyDown;
    t.OnAnimClicked = OnAnimClicked;
    t.Leave = Leave;
    t.Notify = Notify;
    return t;
}

constinit ModuleFunctionTable gTable = MakeTable();

}  // namespace

ModuleFunctionTable* HubModuleTable() { return &gTable; }
