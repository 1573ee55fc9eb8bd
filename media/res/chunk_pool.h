// Pooled memory blocks: CMemChunk is the base of everything whose data lives in a block that
// may be freed when memory runs short (because it can be loaded again), and CChunkPool the one
// list of such chunks, least recently used first, that frees the oldest reloadable data when an
// allocation finds memory short. User-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <list>

#include "platform/afx/object.h"
#include "platform/core/wintypes.h"

class CMemChunk : public CObject {
    DECLARE_DYNAMIC(CMemChunk)
public:
    ~CMemChunk() override;

    // The data, made present first where it can be reloaded.
    virtual void* GetData() = 0;
    // Frees the old data and takes a new block (from CChunkPool::Alloc).
    virtual void SetData(void* data) = 0;
    // Frees the data of a purgeable chunk; a purge calls it. Does nothing by default.
    virtual void ReleaseData() {}

    // 1 when the data may be freed because it can be reloaded.
    uint32_t m_purgeable = 1;

private:
    friend class CChunkPool;
    bool m_listed = false;
    std::list<CMemChunk*>::iterator m_poolPos;
};

class CChunkPool {
public:
    using Position = std::list<CMemChunk*>::iterator;

    // Flags of Alloc (the global-memory flags of the same meaning).
    enum : uint32_t { kMovable = 0x0002, kZeroInit = 0x0040 };
    // With this many chunks listed, allocations purge before they succeed.
    static constexpr size_t kMaxChunks = 500;
    // Memory that must be left after an allocation, else the pool purges.
    static constexpr size_t kProbeBytes = 400000;

    // Where the blocks come from: the runtime's heap, or a test's stand-in.
    class IMemory {
    public:
        virtual ~IMemory() = default;
        virtual void* Allocate(size_t size) = 0;  // null when there is no memory
        virtual void Release(void* block) = 0;
    };

    // A block of size bytes (zero-filled with kZeroInit), purging old chunks while memory is
    // short or too many chunks are listed; null when even a last plain try fails.
    void* Alloc(uint32_t flags, size_t size);
    // Gives back a block from Alloc (null is ignored).
    void FreeBlock(void* block);

    // Moves a listed chunk to the tail (most recently used); an unlisted one stays unlisted.
    void Touch(CMemChunk* chunk);
    // Touches a listed chunk, appends an unlisted one.
    void Register(CMemChunk* chunk);
    void Remove(Position pos);
    // The chunk's position, or end() when it is not listed.
    Position Find(CMemChunk* chunk);
    // Takes n chunks from the head (n < 4: one, none when the list is empty) and frees the data
    // of the purgeable ones; the others leave the list with their data. true when it did
    // something.
    bool Purge(int n);

    // Takes the chunk out of the list when it is listed.
    void Unlist(CMemChunk* chunk);
    bool IsListed(const CMemChunk* chunk) const { return chunk->m_listed; }
    size_t GetCount() const { return m_list.size(); }
    Position begin() { return m_list.begin(); }
    Position end() { return m_list.end(); }

    // Replaces the memory (null: the runtime's heap); returns the previous one.
    IMemory* SetMemory(IMemory* memory);

    // Keeps chunks off the list while it lives, so that no purge frees their data: for a caller
    // that allocates while it still reads or copies that data. Each chunk that was listed goes
    // back at the tail (it was just used). The chunks must outlive the hold.
    class CHold {
    public:
        explicit CHold(CMemChunk* first, CMemChunk* second = nullptr);
        ~CHold();
        CHold(const CHold&) = delete;
        CHold& operator=(const CHold&) = delete;

    private:
        CMemChunk* m_held[2] = {};
    };

private:
    void* Allocate(size_t size, bool zero);
    std::list<CMemChunk*> m_list;
    IMemory* m_memory = nullptr;
};

CChunkPool& TheChunkPool();
