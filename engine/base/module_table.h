// The seventeen entry points through which the engine drives the hub and the activities. Any
// entry may be null (not handled); results declared int16_t are tested for non-zero.
#pragma once

#include <cstddef>
#include <cstdint>

class CCorAnim;
class CCorStatic;
class CText;

struct ModuleFunctionTable {
    void (*Enter)();                                   // 0: build the module's scene
    void (*unused1)();
    void (*Start)();                                   // 2: begin play (full entry only)
    void (*unused3)();
    void (*unused4)();
    void (*unused5)();
    void (*Tick)();                                    // 6: once per engine tick, never re-entered
    void (*KeyDown)(int32_t virtualKey);               // 7
    void (*OnScanPoint)(int32_t code);                 // 8: always 3
    int16_t (*OnAnimClicked)(CCorAnim* anim, int16_t id);        // 9
    int16_t (*OnStaticClicked)(CCorStatic* picture, int16_t id); // 10
    int16_t (*OnTextClicked)(CText* text, int16_t word);         // 11
    int16_t (*BeginLeave)();                           // 12: non-zero = a leaving animation started
    void (*OnSecondButton)();                          // 13
    void (*Leave)();                                   // 14: the module is taken down
    void (*Notify)(int32_t kind);                      // 15: 1 entered, 4 re-entered, 2/3 scanning on/off
    void (*OnAnimCue)(CCorAnim* anim, uint32_t operand);  // 16
};
static_assert(sizeof(ModuleFunctionTable) == 17 * sizeof(void (*)()));

inline constexpr int kModuleNotifyEntered = 1;
inline constexpr int kModuleNotifyScanOn = 2;
inline constexpr int kModuleNotifyScanOff = 3;
inline constexpr int kModuleNotifyReentered = 4;
