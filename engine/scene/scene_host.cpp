#include "engine/scene/scene_host.h"

#include <algorithm>

#include "engine/scene/sound_toolbox.h"
#include "engine/scene/ticks.h"
#include "media/res/res_item_host.h"
#include "media/sound/sound_clip.h"
#include "platform/core/seam.h"
#include "platform/core/winuser.h"

namespace {

constinit plat::Seam<ISceneHost> gHost;

}  // namespace

ISceneHost* SetSceneHost(ISceneHost* host) { return gHost.Install(host); }
ISceneHost& SceneHost() { return gHost.Get(); }

uint64_t ISceneHost::Ticks() {
    return GetTicks();
}

void ISceneHost::WaitForTicks(uint64_t ticks) {
    SleepUntilTick(ticks);
}

void ISceneHost::PreloadSound(int16_t relativeId) {
    if (CSoundList* sounds = Sounds()) sounds->LoadClip(SoundIdOf(relativeId));
}

int ISceneHost::PlaySound(int32_t absoluteId, int channel) {
    CSoundList* sounds = Sounds();
    if (!sounds) return -1;
    const uint16_t played = sounds->PlayClip(absoluteId, channel);
    return played == 0xFFFF ? -1 : played;
}

void ISceneHost::StopSound(int channel) {
    if (CSoundList* sounds = Sounds()) sounds->StopChannel(channel);
}

bool ISceneHost::IsSoundPlaying(int channel) {
    CSoundList* sounds = Sounds();
    return sounds && sounds->IsPlaying(channel);
}

void ISceneHost::ServiceSound() {
    if (CSoundList* sounds = Sounds()) sounds->Service();
}
