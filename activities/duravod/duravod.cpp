#include "activities/duravod/duravod.h"

#include "activities/duravod/duravod_module.h"

namespace {

constexpr ModuleFunctionTable MakeTable() {
    ModuleFunctionTable t{};
    t.Enter = duravod::Enter;
    t.Start = duravod::Start;
    t.Tick = duravod::Tick;
    t.KeyDown = duravod::KeyDown;
    t.OnAnimClicked = duravod::OnAnimClicked;
    t.OnTextClicked = duravod::OnTextClicked;
    t.BeginLeave = duravod::BeginLeave;
    t.Leave = duravod::Leave;
    t.Notify = duravod::Notify;
    return t;
}

constinit ModuleFunctionTable gTable = MakeTable();

}  // namespace

ModuleFunctionTable* DuravodModuleTable() { return &gTable; }
