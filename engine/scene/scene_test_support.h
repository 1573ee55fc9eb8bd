// Test helpers of the scene objects: an engine stand-in behind the scene host seam that
// records what the objects ask of it, and a module table whose click entries are recorded.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "engine/core/module_table.h"
#include "engine/scene/scene_host.h"
#include "platform/core/wintypes.h"

namespace scenetest {

class CFakeSceneHost : public ISceneHost {
public:
    CFakeSceneHost() : m_saved(SetSceneHost(this)) {}
    ~CFakeSceneHost() override { SetSceneHost(m_saved); }

    int CurrentModule() override { return module; }
    ModuleFunctionTable* ModuleTable() override { return table; }
    void SwitchToModule(int m) override { switches.push_back(m); }
    SIZE ClientSize() override { return client; }
    void Invalidate(const RECT& r) override { invalidated.push_back(r); }
    CPalId* ScreenPalette() override { return palette; }
    POINT PictureOrigin() override { return origin; }
    CSoundList* Sounds() override { return sounds; }
    bool ClosePending() override { return closePending; }
    void SetBlackIndex(int index) override { blackIndex = index; }
    HWND GameWindow() override { return window; }
    CDibG* FrameSurface() override { return frame; }

    int module = 2;
    ModuleFunctionTable* table = nullptr;
    std::vector<int> switches;
    SIZE client{640, 480};
    std::vector<RECT> invalidated;
    CPalId* palette = nullptr;
    POINT origin{0, 0};
    CSoundList* sounds = nullptr;
    bool closePending = false;
    int blackIndex = -1;
    HWND window = nullptr;
    CDibG* frame = nullptr;

private:
    ISceneHost* m_saved;
};

}  // namespace scenetest
