// The game's modules put together: the activities' function tables are handed to the engine
// (module_registry.h) and module 6's host is made, so every module can be entered from the
// first entry on. One object lives for the program's run (main makes it before the
// application starts); its destruction takes everything back, so a test may make its own.
#pragma once

#include <memory>

class CShapesModule;

class CGameModules {
public:
    CGameModules();
    ~CGameModules();
    CGameModules(const CGameModules&) = delete;
    CGameModules& operator=(const CGameModules&) = delete;

private:
    std::unique_ptr<CShapesModule> m_shapes;
};
