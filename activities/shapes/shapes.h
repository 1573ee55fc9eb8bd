// The shapes and patterns activity ("Zodezev uzo vuzuzud"), module 6, is written as a class:
// its module host fills the module's function table (entries 0, 2 and 6 to 16, forwarders to
// the host's operations), and the engine reads that table at each entry of the module, so the
// host must exist before the module is first entered. Until the activity is written the host
// stands in with the default operations: nothing is built, no click is handled, no leaving
// animation is started.
#pragma once

#include "engine/scene/module_host.h"

inline constexpr int kShapesModule = 6;

class CShapesModule : public CModuleHost {
public:
    CShapesModule() : CModuleHost(kShapesModule) {}
};
