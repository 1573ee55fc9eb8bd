#include "media/sound/sound_sources.h"

#include <cstring>
#include <utility>

namespace {

ISoundItems* g_items = nullptr;
ISoundPrefs* g_prefs = nullptr;
ISoundMessageFilter* g_filter = nullptr;

}  // namespace

ISoundItems* SetSoundItems(ISoundItems* items) { return std::exchange(g_items, items); }

ISoundItems& SoundItems() {
    static ISoundItems neutral;
    return g_items ? *g_items : neutral;
}

ISoundPrefs* SetSoundPrefs(ISoundPrefs* prefs) { return std::exchange(g_prefs, prefs); }

ISoundPrefs& SoundPrefs() {
    static ISoundPrefs neutral;
    return g_prefs ? *g_prefs : neutral;
}

ISoundMessageFilter* SetSoundMessageFilter(ISoundMessageFilter* filter) { return std::exchange(g_filter, filter); }

ISoundMessageFilter& SoundMessageFilter() {
    static ISoundMessageFilter neutral;
    return g_filter ? *g_filter : neutral;
}

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
