#include "activities/duravod/duravod.h"

namespace {

void Enter() {}
void Start() {}
void Tick() {}
void KeyDown(int32_t) {}
int16_t OnAnimClicked(CCorAnim*, int16_t) { return 0; }
int16_t OnTextClicked(CText*, int16_t) { return 0; }
int16_t BeginLeave() { return 0; }
void Leave() {}
void Notify(int32_t) {}

constexpr ModuleFunctionTable MakeTable() {
    ModuleFunctionTable t{};
    t.Enter = Enter;
    t.Start = Start;
    t.Tick = Tick;
    t.KeyDown = KeyDown;
    t.OnAnimClicked = OnAnimClicked;
    t.OnTextClicked = OnTextClicked;
    t.BeginLeave = BeginLeave;
    t.Leave = Leave;
    t.Notify = Notify;
    return t;
}

constinit ModuleFunctionTable gTable = MakeTable();

}  // namespace

ModuleFunctionTable* DuravodModuleTable() { return &gTable; }
