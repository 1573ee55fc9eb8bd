#include "media/res/res_mgr.h"

#include <cstring>
#include <new>

#include "media/res/read_error_prompt.h"

IMPLEMENT_DYNAMIC(CResMgr, CObject)

namespace {

// The record's type text as a value: a three-letter code ends in a zero byte, which is not
// part of the code.
uint32_t TypeFromText(std::span<const uint8_t, 4> text) {
    const std::string_view code(reinterpret_cast<const char*>(text.data()), text[3] == 0 ? 3 : 4);
    return plat::PackTypeCode(code);
}

}  // namespace

CResMgr::CResMgr() : m_files(DiskResFiles()) {}

CResMgr::~CResMgr() { Release(); }

void CResMgr::SetFileSystem(std::shared_ptr<IResFileSystem> files) {
    m_files = files ? std::move(files) : DiskResFiles();
}

void CResMgr::Release() {
    EmptyCache();
    m_entries.clear();
    m_entries.shrink_to_fit();
    if (m_file) {
        m_file->Close();
        m_file.reset();
    }
}

void CResMgr::CloseAfterFailure() {
    EmptyCache();
    m_entries.clear();
    m_entries.shrink_to_fit();
    if (!m_file) return;
    // A failed open never keeps the file: when the drive cannot be checked, the stream is
    // dropped without the prompt.
    if (CheckResourceDrive()) WithReadRetry([&] { return m_file->Close(); });
    m_file.reset();
}

BOOL CResMgr::Open(LPCSTR path) {
    Release();
    if (!path || !CheckResourceDrive()) return 0;

    WithReadRetry([&] { return (m_file = m_files->Open(path)) != nullptr; });
    if (!m_file) return 0;

    // The length first, so that a file too short for its header is refused as damaged
    // instead of being taken for a missing disc.
    uint32_t length = 0;
    if (!WithReadRetry([&] { return m_file->Size(length); }) || length < kHeaderSize) {
        CloseAfterFailure();
        return 0;
    }
    if (!WithReadRetry([&] { return m_file->Seek(0) && m_file->Read(m_header, kHeaderSize); })) {
        CloseAfterFailure();
        return 0;
    }
    if (plat::GetLe16(m_header, 0) != kMagic) {
        CloseAfterFailure();
        return 0;
    }

    // The directory must lie between the header and the end of the file, and hold no more
    // records than a module could have; anything else would read or allocate without bound.
    const uint32_t dirOffset = plat::GetLe32(m_header, 2);
    if (dirOffset < kHeaderSize || dirOffset > length) {
        CloseAfterFailure();
        return 0;
    }
    const uint32_t count = (length - dirOffset) / kRecordSize;
    if (count > kMaxEntries) {
        CloseAfterFailure();
        return 0;
    }

    std::vector<uint8_t> records;
    std::vector<ResDirEntry> entries;
    try {
        records.resize(static_cast<size_t>(count) * kRecordSize);
        entries.resize(count);
    } catch (const std::bad_alloc&) {
        CloseAfterFailure();
        return 0;
    }
    if (count > 0 &&
        !WithReadRetry([&] { return m_file->Seek(dirOffset) && m_file->Read(records.data(), count * kRecordSize); })) {
        CloseAfterFailure();
        return 0;
    }

    for (uint32_t i = count; i-- > 0;) {
        const auto r = std::span(records).subspan(static_cast<size_t>(i) * kRecordSize, kRecordSize);
        ResDirEntry& e = entries[i];
        e.type = TypeFromText(r.first<4>());
        e.id = plat::GetLe16(r, 4);
        e.offset = plat::GetLe32(r, 6);
        e.size = plat::GetLe32(r, 10);
        e.reserved = plat::GetLe16(r, 14);
        e.readPos = 0;
        e.owner = this;
        // Item data lies between the header and the directory; a record pointing elsewhere
        // marks the file as damaged.
        if (e.offset < kHeaderSize || e.offset > dirOffset || e.size > dirOffset - e.offset) {
            CloseAfterFailure();
            return 0;
        }
    }
    m_entries = std::move(entries);
    return 1;
}

BOOL CResMgr::Close() {
    if (!CheckResourceDrive()) return 0;
    EmptyCache();
    m_entries.clear();
    m_entries.shrink_to_fit();
    if (m_file) {
        WithReadRetry([&] { return m_file->Close(); });
        m_file.reset();
    }
    return 1;
}

ResDirEntry* CResMgr::FindEntry(uint32_t type, uint32_t id) {
    int64_t low = 0;
    int64_t high = static_cast<int64_t>(m_entries.size()) - 1;
    while (low <= high) {
        const int64_t middle = (low + high) / 2;
        ResDirEntry& e = m_entries[static_cast<size_t>(middle)];
        // Signed 32-bit differences of the key and the entry, type first, then id.
        int32_t d = static_cast<int32_t>(type - e.type);
        if (d == 0) d = static_cast<int32_t>(id - e.id);
        if (d == 0) return &e;
        if (d < 0) {
            high = middle - 1;
        } else {
            low = middle + 1;
        }
    }
    return nullptr;
}

BOOL CResMgr::LoadItem(void* dest, ResDirEntry* entry, uint32_t n) {
    // Only entries of this open file, and never past the item's end (the bytes there belong
    // to other items or the directory).
    if (!entry || entry->owner != this || !m_file) return 0;
    if (!dest && n > 0) return 0;
    if (entry->readPos > entry->size || entry->size - entry->readPos < n) return 0;

    if (ReadThroughCache(dest, *entry, n)) return 1;

    const uint32_t at = entry->offset + entry->readPos;
    if (!WithReadRetry([&] { return m_file->Seek(at); })) return 0;
    if (!WithReadRetry([&] { return m_file->Read(dest, n); })) return 0;
    entry->readPos += n;
    return 1;
}

void CResMgr::EmptyCache() {
    m_cacheEntry = nullptr;
    m_cachePos = 0;
    m_cacheRemaining = 0;
    m_cache.clear();
    m_cache.shrink_to_fit();
}

bool CResMgr::ReadThroughCache(void* dest, ResDirEntry& entry, uint32_t n) {
    if (!IsWin32s()) return false;
    if (entry.type != kResSPR && entry.type != kResSND && entry.type != kResPAL) {
        m_cacheRefused = false;
        return false;
    }
    if (m_cacheEntry != &entry) {
        EmptyCache();
        m_cacheRefused = entry.size > kMaxCachedSize;
        if (!m_cacheRefused) {
            try {
                m_cache.resize(entry.size);
            } catch (const std::bad_alloc&) {
                m_cacheRefused = true;
            }
        }
        if (m_cacheRefused) {
            m_cacheEntry = &entry;
            return false;
        }
        // The cache names the entry only once it holds the whole item, so that a read given
        // up (or a Cancel thrown through here) leaves nothing half-filled to serve.
        if (!WithReadRetry([&] { return m_file->Seek(entry.offset) && m_file->Read(m_cache.data(), entry.size); })) {
            EmptyCache();
            return false;
        }
        m_cacheEntry = &entry;
        m_cachePos = 0;
        m_cacheRemaining = entry.size;
    } else if (m_cacheRefused) {
        return false;
    }

    if (m_cachePos != entry.readPos) {
        // Only a reader that starts over can be served again from the start.
        if (entry.readPos != 0) {
            EmptyCache();
            return false;
        }
        m_cachePos = 0;
        m_cacheRemaining = entry.size;
    }
    if (m_cacheRemaining < n) {
        EmptyCache();
        return false;
    }
    if (n > 0) std::memcpy(dest, m_cache.data() + m_cachePos, n);
    entry.readPos += n;
    m_cachePos += n;
    m_cacheRemaining -= n;
    if (m_cacheRemaining == 0) EmptyCache();
    return true;
}
