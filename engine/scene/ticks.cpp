#include "engine/scene/ticks.h"

#include "platform/core/winuser.h"

uint64_t GetTicks() {
    return TicksFromMs(plat::NowMs64());
}
