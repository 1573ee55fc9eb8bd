#include "activities/vududoduvaza/vududoduvaza.h"

namespace {

void Enter() {}
void Start() {}
void Tick() {}
void KeyDown(int32_t) {}
void OnScanPoint(int32_t) {}
int16_t OnAnimClicked(CCorAnim*, int16_t) { return 0; }
int16_t OnTextClicked(CText*, int16_t) { return 0; }
void Leave() {}
void Notify(int32_t) {}

constexpr ModuleFunctionTable MakeTable() {
    ModuleFunctionTable t{};
    t.Enter = Enter;
    t.Start = Start;
    t.Tick = Tick;
    t.KeyDown = KeyDown;
    t.OnScanPoint = OnScanPoint;
    t.OnAnimClicked = OnAnimClicked;
    t.OnTextClicked = OnTextClicked;
    t.Leave = Leave;
    t.Notify = Notify;
    return t;
}

constinit ModuleFunctionTable gTable = MakeTable();

}  // namespace

ModuleFunctionTable* VududoduvazaModuleTable() { return &gTable; }
