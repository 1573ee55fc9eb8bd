// A measuring aid, not a test: the game as the program runs it (same back end, resources,
// modules), driven from a timer once the hub's entry has finished, so scripts/measure-modules
// can read the process's CPU time and resident memory from outside.
//
//   zelbo_module_tour tour     enters every activity once (2 to 6) and returns to the hub,
//                              prints "toured" and stays on the hub until it is closed
//   zelbo_module_tour bounce   prints "bouncing" and bounces the hub's entrances one after
//                              the other, each with its sound, until it is closed
//
// Every line it prints is flushed at once.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/hub.h"
#include "app/zelbo_app.h"
#include "app/zelbo_program.h"
#include "engine/core/cor_engine.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"

CZelboApp theApp;

namespace {

bool gBounce = false;
int gNextModule = 2;  // the tour's next module; 7: back home; 8: done
bool gBusy = false;

void Say(const char* line) {
    std::printf("%s\n", line);
    std::fflush(stdout);
}

// Plays the entrances' animations in turn, each on its carriers with its sounds played out,
// until a close arrives.
void BounceForEver() {
    Say("bouncing");
    for (size_t i = 0; !theEngine->ClosePending(); i = (i + 1) % std::size(kHubEntrances)) {
        const HubEntrance& in = kHubEntrances[i];
        std::vector<CCorAnim*> carriers;
        PreloadAnimation(in.preload);
        for (int16_t k = 0; k < in.animCount; ++k) {
            carriers.push_back(CreateSprite(0, 0, 2));
            SetSpriteAnim(carriers.back(), in.anims[static_cast<size_t>(k)]);
        }
        auto running = [&] {
            for (CCorAnim* c : carriers)
                if (GetSpriteStatus(c) == 0) return true;
            return IsSndPlaying(-1) != FALSE;
        };
        while (!theEngine->ClosePending() && running()) Delay(0);
        for (CCorAnim* c : carriers) DisposeSprite(c);
    }
}

void CALLBACK Step(HWND, UINT, UINT_PTR, DWORD) {
    if (gBusy || !theEngine->m_running || theEngine->CallDepth() != 0) return;
    gBusy = true;
    {
        CEngineCall call;
        if (gBounce) {
            BounceForEver();
        } else if (gNextModule <= 7) {
            theEngine->UnloadModule(TRUE);
            theEngine->GoToModule(gNextModule <= 6 ? gNextModule : kHubModule, TRUE);
            if (++gNextModule == 8) Say("toured");
        }
    }
    gBusy = false;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || (std::strcmp(argv[1], "tour") != 0 && std::strcmp(argv[1], "bounce") != 0)) {
        std::fprintf(stderr, "usage: zelbo_module_tour tour|bounce\n");
        return 2;
    }
    gBounce = std::strcmp(argv[1], "bounce") == 0;
    char* args[] = {argv[0]};
    return RunZelboProgram(1, args, "zelbo_module_tour", [] { SetTimer(nullptr, 0, 100, Step); });
}
