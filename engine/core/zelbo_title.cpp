#include "engine/core/zelbo_title.h"

#include "engine/core/module_registry.h"
#include "engine/scene/module_host.h"
#include "platform/afx/string_table.h"
#include "platform/afxwin/afxwin.h"

CZelboTitle::CZelboTitle() { m_savedSettings.SetDefaults(); }

// At program exit this runs after the shutdown the view's destruction did, so it finds nothing
// to undo and touches nothing of the platform.
CZelboTitle::~CZelboTitle() { Shutdown(); }

const char* CZelboTitle::GetTitle() {
    LoadString(nullptr, kTitleString, m_title, sizeof m_title);
    return m_title;
}

ModuleFunctionTable* CZelboTitle::GetModuleTable(int module) {
    if (module == 8) return &m_emptyTable;
    if (ModuleFunctionTable* table = RegisteredModuleTable(module)) return table;
    // A module written as a class hands the engine the table its host filled.
    if (GetModuleHost(module)) return ModuleHostTable(module);
    return nullptr;
}

void CZelboTitle::QuitGame() {
    if (CWnd* main = AfxGetMainWnd(); main && main->GetSafeHwnd()) main->PostMessage(WM_CLOSE);
}

void* CZelboTitle::GetSavedSettings(int32_t& size) {
    size = sizeof m_savedSettings;
    return &m_savedSettings;
}
