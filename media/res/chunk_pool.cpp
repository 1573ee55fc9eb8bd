#include "media/res/chunk_pool.h"

#include <cstdlib>
#include <cstring>

IMPLEMENT_DYNAMIC(CMemChunk, CObject)

CMemChunk::~CMemChunk() {
    TheChunkPool().Unlist(this);
}

CChunkPool& TheChunkPool() {
    // Never destroyed: items held by static objects unlist themselves during exit.
    static CChunkPool* const pool = new CChunkPool;
    return *pool;
}

CChunkPool::IMemory* CChunkPool::SetMemory(IMemory* memory) {
    IMemory* old = m_memory;
    m_memory = memory;
    return old;
}

void* CChunkPool::Allocate(size_t size, bool zero) {
    if (m_memory) {
        void* block = m_memory->Allocate(size);
        if (block && zero) std::memset(block, 0, size);
        return block;
    }
    // malloc(0) may answer null; a zero-length block is still a block.
    return zero ? std::calloc(size ? size : 1, 1) : std::malloc(size ? size : 1);
}

void CChunkPool::FreeBlock(void* block) {
    if (!block) return;
    if (m_memory)
        m_memory->Release(block);
    else
        std::free(block);
}

void* CChunkPool::Alloc(uint32_t flags, size_t size) {
    const bool zero = (flags & kZeroInit) != 0;
    for (;;) {
        void* block = Allocate(size, zero);
        void* probe = Allocate(kProbeBytes, false);
        if (block && probe && m_list.size() < kMaxChunks) {
            FreeBlock(probe);
            return block;
        }
        FreeBlock(block);
        FreeBlock(probe);
        const size_t n = m_list.size();
        if (!Purge(n < 200 ? static_cast<int>(n / 2) : 100)) break;
    }
    return Allocate(size, zero);
}

void CChunkPool::Touch(CMemChunk* chunk) {
    if (!chunk || !chunk->m_listed) return;
    m_list.splice(m_list.end(), m_list, chunk->m_poolPos);
}

void CChunkPool::Register(CMemChunk* chunk) {
    if (!chunk) return;
    if (chunk->m_listed) {
        Touch(chunk);
        return;
    }
    chunk->m_poolPos = m_list.insert(m_list.end(), chunk);
    chunk->m_listed = true;
}

void CChunkPool::Remove(Position pos) {
    if (pos == m_list.end()) return;
    (*pos)->m_listed = false;
    m_list.erase(pos);
}

CChunkPool::Position CChunkPool::Find(CMemChunk* chunk) {
    return chunk && chunk->m_listed ? chunk->m_poolPos : m_list.end();
}

void CChunkPool::Unlist(CMemChunk* chunk) {
    Remove(Find(chunk));
}

bool CChunkPool::Purge(int n) {
    if (n < 4) {
        if (m_list.empty()) return false;
        n = 1;
    }
    for (int i = 0; i < n && !m_list.empty(); ++i) {
        CMemChunk* chunk = m_list.front();
        Remove(m_list.begin());
        if (chunk->m_purgeable) chunk->ReleaseData();
    }
    return true;
}

CChunkPool::CHold::CHold(CMemChunk* first, CMemChunk* second) {
    CChunkPool& pool = TheChunkPool();
    CMemChunk* const chunks[2] = {first, second};
    for (size_t i = 0; i < 2; ++i) {
        if (!chunks[i] || !pool.IsListed(chunks[i])) continue;
        pool.Unlist(chunks[i]);
        m_held[i] = chunks[i];
    }
}

CChunkPool::CHold::~CHold() {
    for (CMemChunk* chunk : m_held)
        if (chunk) TheChunkPool().Register(chunk);
}
