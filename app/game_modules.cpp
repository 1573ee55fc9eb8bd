#include "app/game_modules.h"

#include "activities/duravod/duravod.h"
#include "activities/ruduridodu/ruduridodu.h"
#include "activities/shapes/shapes.h"
#include "activities/vevudivodizide/vevudivodizide.h"
#include "activities/vududoduvaza/vududoduvaza.h"
#include "app/hub.h"
#include "engine/core/module_registry.h"

CGameModules::CGameModules() : m_shapes(std::make_unique<CShapesModule>()) {
    ResetHubForRun();
    RegisterModuleTable(kHubModule, HubModuleTable());
    RegisterModuleTable(2, DuravodModuleTable());
    RegisterModuleTable(3, RuduridoduModuleTable());
    RegisterModuleTable(4, VududoduvazaModuleTable());
    RegisterModuleTable(5, VevudivodizideModuleTable());
    // Module 6 is answered by its host's table.
}

CGameModules::~CGameModules() {
    for (int module = kFirstRegisteredModule; module <= kLastRegisteredModule; ++module) RegisterModuleTable(module, nullptr);
}
