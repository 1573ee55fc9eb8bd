#include "engine/scene/module_host.h"

#include <array>
#include <utility>

#include "engine/scene/handler_group.h"
#include "engine/scene/ticks.h"

namespace {

// Zero-initialised before any constructor runs, so hosts may be static objects of any order.
std::array<ModuleFunctionTable, kHostModules> gHostTables{};
std::array<CModuleHost*, kHostModules> gHosts{};
CModuleHost* gCurrentHost = nullptr;

bool ValidModule(int module) {
    return module >= 1 && module <= kHostModules;
}

// Calls op on the current host, or answers result without one.
template <class R, class Op>
R OnCurrent(R none, Op op) {
    return gCurrentHost ? op(*gCurrentHost) : none;
}

template <int Module>
void EnterForwarder() {
    gCurrentHost = gHosts[Module - 1];
    if (gCurrentHost) gCurrentHost->Enter();
}

template <size_t... I>
constexpr std::array<void (*)(), sizeof...(I)> MakeEnterForwarders(std::index_sequence<I...>) {
    return {&EnterForwarder<static_cast<int>(I) + 1>...};
}
constexpr auto kEnterForwarders = MakeEnterForwarders(std::make_index_sequence<kHostModules>{});

void LeaveForwarder() {
    CModuleHost* host = gCurrentHost;
    if (!host) return;
    host->Leave();
    host->DestroyChildren();
    gCurrentHost = nullptr;
}

void FillTable(ModuleFunctionTable& t, int module) {
    t.Enter = kEnterForwarders[static_cast<size_t>(module - 1)];
    t.Start = [] { OnCurrent(0, [](CModuleHost& h) { return h.Start(), 0; }); };
    t.Tick = [] { OnCurrent(0, [](CModuleHost& h) { return h.Tick(), 0; }); };
    t.KeyDown = [](int32_t key) { OnCurrent(0, [key](CModuleHost& h) { return h.KeyDown(key), 0; }); };
    t.OnScanPoint = [](int32_t code) { OnCurrent(0, [code](CModuleHost& h) { return h.OnScanPoint(code), 0; }); };
    t.OnAnimClicked = [](CCorAnim* anim, int16_t id) {
        return OnCurrent<int16_t>(0, [&](CModuleHost& h) { return h.OnAnimClicked(anim, id); });
    };
    t.OnStaticClicked = [](CCorStatic* picture, int16_t id) {
        return OnCurrent<int16_t>(0, [&](CModuleHost& h) { return h.OnStaticClicked(picture, id); });
    };
    t.OnTextClicked = [](CText* text, int16_t word) {
        return OnCurrent<int16_t>(0, [&](CModuleHost& h) { return h.OnTextClicked(text, word); });
    };
    t.BeginLeave = [] { return OnCurrent<int16_t>(0, [](CModuleHost& h) { return h.BeginLeave(); }); };
    t.OnSecondButton = [] { OnCurrent(0, [](CModuleHost& h) { return h.OnSecondButton(), 0; }); };
    t.Leave = &LeaveForwarder;
    t.Notify = [](int32_t kind) { OnCurrent(0, [kind](CModuleHost& h) { return h.Notify(kind), 0; }); };
    t.OnAnimCue = [](CCorAnim* anim, uint32_t operand) {
        OnCurrent(0, [&](CModuleHost& h) { return h.OnAnimCue(anim, operand), 0; });
    };
}

}  // namespace

CModuleHost::CModuleHost(int module) : m_module(static_cast<int16_t>(module)) {
    if (!ValidModule(module)) return;
    FillTable(gHostTables[static_cast<size_t>(module - 1)], module);
    gHosts[static_cast<size_t>(module - 1)] = this;
}

CModuleHost::~CModuleHost() {
    DestroyChildren();
    if (gCurrentHost == this) gCurrentHost = nullptr;
    if (ValidModule(m_module) && gHosts[static_cast<size_t>(m_module - 1)] == this)
        gHosts[static_cast<size_t>(m_module - 1)] = nullptr;
}

void CModuleHost::DestroyChildren() {
    // Each child's destructor takes it out of the children.
    while (CHandlerGroup* first = m_children.GetAt(0, nullptr)) {
        m_children.RemoveAt(0);
        first->m_host = nullptr;
        delete first;
    }
}

void CModuleHost::Tick() {
    CheckTimers();
}

void CModuleHost::CheckTimers() {
    const auto now = static_cast<int64_t>(GetTicks());
    for (uint32_t i = 0; i < m_children.GetSize(); ++i) {
        CHandlerGroup* child = m_children.GetAt(static_cast<int>(i), nullptr);
        if (child->GetNextDue() <= now) child->OnTimer(now);
    }
}

int16_t CModuleHost::OnAnimClicked(CCorAnim* anim, int16_t id) {
    return OfferToChildren(m_children, [&](CHandlerGroup& c) { return c.OnAnimClicked(anim, id); }) ? 1 : 0;
}

int16_t CModuleHost::OnStaticClicked(CCorStatic* picture, int16_t id) {
    return OfferToChildren(m_children, [&](CHandlerGroup& c) { return c.OnStaticClicked(picture, id); }) ? 1 : 0;
}

int16_t CModuleHost::OnTextClicked(CText* text, int16_t word) {
    return OfferToChildren(m_children, [&](CHandlerGroup& c) { return c.OnTextClicked(text, word); }) ? 1 : 0;
}

int16_t CModuleHost::BroadcastEvent(int16_t value) {
    return OfferToChildren(m_children, [&](CHandlerGroup& c) { return c.OnEvent(value); });
}

ModuleFunctionTable* ModuleHostTable(int module) {
    return ValidModule(module) ? &gHostTables[static_cast<size_t>(module - 1)] : nullptr;
}

CModuleHost* GetModuleHost(int module) {
    return ValidModule(module) ? gHosts[static_cast<size_t>(module - 1)] : nullptr;
}

CModuleHost* CurrentModuleHost() {
    return gCurrentHost;
}

int16_t SpotEventToHost(int16_t value) {
    return OnCurrent<int16_t>(0, [value](CModuleHost& h) { return h.BroadcastEvent(value); });
}
