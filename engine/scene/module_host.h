// CModuleHost: the root of a module written as a class. Constructing the host for a module
// number fills that module's function table (ModuleHostTable) with forwarders to the host's
// virtual operations, so the engine calls the module as it calls every other one; the host's
// children are the module's top-level handler groups (handler_group.h).
//
// Binding: the forwarders read the current host, a program-wide pointer. Entry 0 (Enter)
// exists once per module number and makes that module's host current first; entry 14 (Leave)
// runs the host's Leave, destroys every child and clears the current host. While no host is
// current the forwarders do nothing and answer 0. Entries 1, 3, 4 and 5 stay null.
// User-interface thread only.
#pragma once

#include <cstdint>

#include "engine/base/module_table.h"
#include "engine/scene/dyn_array.h"

class CHandlerGroup;

inline constexpr int kHostModules = 8;  // module numbers 1 to 8

class CModuleHost {
public:
    // module: 1 to 8; another number makes a host of no module (its table untouched).
    explicit CModuleHost(int module);
    // Destroys the remaining children and empties the module's place in the host table.
    virtual ~CModuleHost();
    CModuleHost(const CModuleHost&) = delete;
    CModuleHost& operator=(const CModuleHost&) = delete;

    virtual void Enter() {}
    virtual void Start() {}
    // Runs CheckTimers.
    virtual void Tick();
    virtual void KeyDown(int32_t /*virtualKey*/) {}
    virtual void OnScanPoint(int32_t /*code*/) {}
    // Offered to each child in order until one answers non-zero; then 1, else 0.
    virtual int16_t OnAnimClicked(CCorAnim* anim, int16_t id);
    virtual int16_t OnStaticClicked(CCorStatic* picture, int16_t id);
    virtual int16_t OnTextClicked(CText* text, int16_t word);
    // 0: no leaving animation.
    virtual int16_t BeginLeave() { return 0; }
    virtual void OnSecondButton() {}
    virtual void Leave() {}
    virtual void Notify(int32_t /*kind*/) {}
    virtual void OnAnimCue(CCorAnim* /*anim*/, uint32_t /*operand*/) {}
    // Offered to each child's OnEvent until one answers non-zero: that answer, else 0.
    virtual int16_t BroadcastEvent(int16_t value);

    int16_t OnSpotClicked(CText* text, int16_t word) { return OnTextClicked(text, word); }

    // Each child whose next due has come (the engine's tick) runs its timer.
    void CheckTimers();

    int GetModule() const { return m_module; }
    CHandlerGroup* GetChild(int index) const { return m_children.GetAt(index, nullptr); }
    int GetChildCount() const { return static_cast<int>(m_children.GetSize()); }
    // Destroys every child (each leaves the children as it goes).
    void DestroyChildren();

private:
    friend class CHandlerGroup;

    int16_t m_module;
    CDynArray<CHandlerGroup*> m_children;
};

// The function table of a module number 1 to 8 that a host fills (all null until then); null
// for any other number. The module hands it to the engine as its table.
ModuleFunctionTable* ModuleHostTable(int module);
// The host of a module number, or null.
CModuleHost* GetModuleHost(int module);
// The host whose module was entered last, or null.
CModuleHost* CurrentModuleHost();
// Calls the current host's BroadcastEvent; a module sets it as a spot's callback, so that a
// click on the spot reaches the groups' OnEvent with the spot's id modulo 1000. 0 without a
// current host.
int16_t SpotEventToHost(int16_t value);
