#include "media/sound/sound_sources.h"

#include <cstring>

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
