#include "engine/scene/scene_host.h"

namespace {

ISceneHost gNeutral;
ISceneHost* gHost = &gNeutral;

}  // namespace

ISceneHost* SetSceneHost(ISceneHost* host) {
    ISceneHost* old = gHost == &gNeutral ? nullptr : gHost;
    gHost = host ? host : &gNeutral;
    return old;
}

ISceneHost& SceneHost() {
    return *gHost;
}
