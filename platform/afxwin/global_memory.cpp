// Memory handles (GlobalAlloc and friends): blocks the print dialogs and the clipboard pass
// around by handle. A handle is checked before use, so a stale or foreign one fails.
#include <cstring>
#include <map>
#include <memory>

#include "platform/afxwin/window_api.h"

namespace {

struct Block {
    std::unique_ptr<uint8_t[]> bytes;
    size_t size = 0;
    int locks = 0;
};

// Never destroyed: the program's global application object frees its printer blocks in its
// destructor, after the function statics made during the run are gone.
std::map<HGLOBAL, Block>& Blocks() {
    static auto* blocks = new std::map<HGLOBAL, Block>;
    return *blocks;
}

uintptr_t g_nextHandle = 0x10000;

Block* Find(HGLOBAL h) {
    auto it = Blocks().find(h);
    return it == Blocks().end() ? nullptr : &it->second;
}

}  // namespace

HGLOBAL GlobalAlloc(UINT flags, size_t bytes) {
    if (bytes > (size_t(1) << 30)) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    Block b;
    b.size = bytes;
    b.bytes = std::make_unique<uint8_t[]>(bytes ? bytes : 1);
    if (flags & GMEM_ZEROINIT) std::memset(b.bytes.get(), 0, bytes ? bytes : 1);
    g_nextHandle += 16;
    auto h = reinterpret_cast<HGLOBAL>(g_nextHandle);
    Blocks()[h] = std::move(b);
    return h;
}

HGLOBAL GlobalReAlloc(HGLOBAL mem, size_t bytes, UINT flags) {
    Block* b = Find(mem);
    if (!b || bytes > (size_t(1) << 30)) return nullptr;
    auto fresh = std::make_unique<uint8_t[]>(bytes ? bytes : 1);
    std::memset(fresh.get(), 0, bytes ? bytes : 1);
    std::memcpy(fresh.get(), b->bytes.get(), std::min(bytes, b->size));
    if (!(flags & GMEM_ZEROINIT) && bytes > b->size) std::memset(fresh.get() + b->size, 0, bytes - b->size);
    b->bytes = std::move(fresh);
    b->size = bytes;
    return mem;
}

LPVOID GlobalLock(HGLOBAL mem) {
    Block* b = Find(mem);
    if (!b) return nullptr;
    ++b->locks;
    return b->bytes.get();
}

BOOL GlobalUnlock(HGLOBAL mem) {
    Block* b = Find(mem);
    if (!b || b->locks == 0) return FALSE;
    --b->locks;
    return b->locks > 0 ? TRUE : FALSE;
}

size_t GlobalSize(HGLOBAL mem) {
    Block* b = Find(mem);
    return b ? b->size : 0;
}

HGLOBAL GlobalFree(HGLOBAL mem) {
    if (!mem) return nullptr;
    if (!Blocks().erase(mem)) return mem;
    return nullptr;
}
