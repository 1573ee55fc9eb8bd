#include "media/sound/sound_sources.h"

#include <cstring>

#include "platform/core/seam.h"

namespace {

constinit plat::Seam<ISoundItems> g_items;
constinit plat::Seam<ISoundPrefs> g_prefs;
constinit plat::Seam<ISoundMessageFilter> g_filter;

}  // namespace

ISoundItems* SetSoundItems(ISoundItems* items) { return g_items.Install(items); }
ISoundItems& SoundItems() { return g_items.Get(); }

ISoundPrefs* SetSoundPrefs(ISoundPrefs* prefs) { return g_prefs.Install(prefs); }
ISoundPrefs& SoundPrefs() { return g_prefs.Get(); }

ISoundMessageFilter* SetSoundMessageFilter(ISoundMessageFilter* filter) { return g_filter.Install(filter); }
ISoundMessageFilter& SoundMessageFilter() { return g_filter.Get(); }

bool CSoundItemMap::Find(int32_t id, uint32_t& size) {
    auto it = m_items.find(id);
    if (it == m_items.end()) return false;
    size = static_cast<uint32_t>(it->second.size());
    return true;
}

bool CSoundItemMap::Read(int32_t id, uint32_t offset, void* out, uint32_t n) {
    ++reads;
    auto it = m_items.find(id);
    if (it == m_items.end()) return false;
    const std::vector<uint8_t>& bytes = it->second;
    if (offset > bytes.size() || n > bytes.size() - offset) return false;
    if (n > 0) std::memcpy(out, bytes.data() + offset, n);
    return true;
}

bool CSoundItemMap::OpenModule(int module, bool& opened) {
    ++openCalls;
    opened = module == openedModule;
    return !failOpen;
}

void CSoundItemMap::CloseModule(int) { ++closeCalls; }
