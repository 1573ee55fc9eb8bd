// A module's function table while its activity is not written yet: the entries the engine may
// call on the module are there and do nothing (results 0: no click handled, no leaving
// animation); the others stay null, so the engine delivers nothing there. Each stand-in names
// its entries by their place in the table, and the activity replaces the whole table when it
// is written.
#pragma once

#include <cstdint>
#include <initializer_list>

#include "engine/base/module_table.h"

namespace standin {
inline void Nothing() {}
inline void NothingWith(int32_t) {}
inline int16_t NoAnimClick(CCorAnim*, int16_t) { return 0; }
inline int16_t NoStaticClick(CCorStatic*, int16_t) { return 0; }
inline int16_t NoTextClick(CText*, int16_t) { return 0; }
inline int16_t NoLeavingAnimation() { return 0; }
inline void NoCue(CCorAnim*, uint32_t) {}
}  // namespace standin

// The table with the entries at the given places (0 to 16; entries 1, 3, 4 and 5 are never
// called and stay null) doing nothing.
constexpr ModuleFunctionTable MakeStandInTable(std::initializer_list<int> entries) {
    ModuleFunctionTable t{};
    for (int entry : entries) {
        switch (entry) {
        case 0: t.Enter = standin::Nothing; break;
        case 2: t.Start = standin::Nothing; break;
        case 6: t.Tick = standin::Nothing; break;
        case 7: t.KeyDown = standin::NothingWith; break;
        case 8: t.OnScanPoint = standin::NothingWith; break;
        case 9: t.OnAnimClicked = standin::NoAnimClick; break;
        case 10: t.OnStaticClicked = standin::NoStaticClick; break;
        case 11: t.OnTextClicked = standin::NoTextClick; break;
        case 12: t.BeginLeave = standin::NoLeavingAnimation; break;
        case 13: t.OnSecondButton = standin::Nothing; break;
        case 14: t.Leave = standin::Nothing; break;
        case 15: t.Notify = standin::NothingWith; break;
        case 16: t.OnAnimCue = standin::NoCue; break;
        default: break;
        }
    }
    return t;
}
