// Movable memory blocks reached through handles: a fixed table of 100 slots, a handle
// being the address of its slot. A handle stays valid while its block is resized; code
// reaches the block through the handle each time. User-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

// A handle: the address of a slot of the table; *handle is the block.
using HBLOCK = void**;

inline constexpr int kHandleTableSlots = 100;

// The handle of the lowest free slot holding a new block of `size` bytes; null when every
// slot is taken or the block cannot be allocated (the slot then stays free).
HBLOCK HandleTableNew(uint32_t size);
// The recorded size; 0 for a handle that is not a slot in use.
uint32_t HandleTableSize(HBLOCK handle);
// Blocks never move except when resized, so these do nothing.
void HandleTableLock(HBLOCK handle);
void HandleTableUnlock(HBLOCK handle);
// 0 with the contents kept up to the smaller size; size 0 leaves a valid zero-length block.
// 0xFFFF for an unknown handle or when the memory cannot be had (the block is then unchanged).
uint16_t HandleTableResize(HBLOCK handle, uint32_t newSize);
// Frees the block and clears the slot; an unknown handle is ignored.
void HandleTableFree(HBLOCK handle);
// The slot index 0..99 of a slot in use, or -1. Never dereferences an unknown handle.
int HandleTableFind(HBLOCK handle);
// The block, or null for a handle that is not a slot in use.
void* HandleTableDeref(HBLOCK handle);
// The number of slots in use (for leak checks).
int HandleTableInUse();

// Plain heap memory outside the table.
void* NewBlock(uint32_t size);
void FreeBlock(void* block);
// Copies n bytes; the ranges may overlap.
void MoveBytes(const void* source, void* destination, uint32_t n);

namespace media {
// The table's allocator, replaceable so that tests can make allocations fail. It must act as
// std::realloc (blocks are released with std::free); an empty function restores the runtime
// heap. Returns the previous one.
using BlockRealloc = std::function<void*(void* block, size_t size)>;
BlockRealloc SetHandleTableAllocator(BlockRealloc allocator);
}  // namespace media
