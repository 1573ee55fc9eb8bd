#include "media/util/handle_table.h"

#include <cstdlib>
#include <cstring>
#include <utility>

namespace {

void* g_blocks[kHandleTableSlots];
uint32_t g_sizes[kHandleTableSlots];
media::BlockRealloc g_allocator;

void* Reallocate(void* block, uint32_t size) {
    // A zero-length block still needs an address of its own: a null block marks a free slot.
    const size_t bytes = size == 0 ? 1 : size;
    return g_allocator ? g_allocator(block, bytes) : std::realloc(block, bytes);
}

}  // namespace

HBLOCK HandleTableNew(uint32_t size) {
    for (int i = 0; i < kHandleTableSlots; ++i) {
        if (g_blocks[i] == nullptr) {
            void* block = Reallocate(nullptr, size);
            if (block == nullptr) return nullptr;
            g_blocks[i] = block;
            g_sizes[i] = size;
            return &g_blocks[i];
        }
    }
    return nullptr;
}

int HandleTableFind(HBLOCK handle) {
    for (int i = 0; i < kHandleTableSlots; ++i) {
        if (handle == &g_blocks[i]) return g_blocks[i] != nullptr ? i : -1;
    }
    return -1;
}

uint32_t HandleTableSize(HBLOCK handle) {
    const int slot = HandleTableFind(handle);
    return slot < 0 ? 0 : g_sizes[slot];
}

void HandleTableLock(HBLOCK) {}
void HandleTableUnlock(HBLOCK) {}

uint16_t HandleTableResize(HBLOCK handle, uint32_t newSize) {
    const int slot = HandleTableFind(handle);
    if (slot < 0) return 0xFFFF;
    if (newSize == 0) {
        void* fresh = Reallocate(nullptr, 0);
        if (fresh == nullptr) return 0xFFFF;
        std::free(g_blocks[slot]);
        g_blocks[slot] = fresh;
    } else {
        void* moved = Reallocate(g_blocks[slot], newSize);
        if (moved == nullptr) return 0xFFFF;
        g_blocks[slot] = moved;
    }
    g_sizes[slot] = newSize;
    return 0;
}

void HandleTableFree(HBLOCK handle) {
    const int slot = HandleTableFind(handle);
    if (slot < 0) return;
    std::free(g_blocks[slot]);
    g_blocks[slot] = nullptr;
    g_sizes[slot] = 0;
}

void* HandleTableDeref(HBLOCK handle) {
    const int slot = HandleTableFind(handle);
    return slot < 0 ? nullptr : g_blocks[slot];
}

int HandleTableInUse() {
    int n = 0;
    for (void* block : g_blocks) n += block != nullptr;
    return n;
}

void* NewBlock(uint32_t size) { return std::malloc(size == 0 ? 1 : size); }

void FreeBlock(void* block) { std::free(block); }

void MoveBytes(const void* source, void* destination, uint32_t n) {
    if (n != 0) std::memmove(destination, source, n);
}

namespace media {
BlockRealloc SetHandleTableAllocator(BlockRealloc allocator) { return std::exchange(g_allocator, std::move(allocator)); }
}  // namespace media
