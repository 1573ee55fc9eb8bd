#include "media/res/record_file.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <span>
#include <utility>

#include "media/res/res_item_host.h"
#include "platform/afx/exceptions.h"
#include "platform/afx/message_box.h"
#include "platform/core/seam.h"

// How a change reaches the file. The bytes the current header reaches (the header, the
// items of its directory, the directory itself) are "committed" and are never written over.
// A change writes its data and a new directory into free bytes, flushes, rewrites the
// 16-byte header and flushes again: a crash before the header write leaves the old file, one
// after it the new. When the new directory's place (data end) is still committed, the
// directory is first committed once more in free bytes above every item (a "shadow"
// commit), which frees that place.
// A header write whose outcome is unknown keeps both candidate states protected until the
// next commit is known to be on the disk.

namespace {

constexpr uint64_t kLargestOffset = std::numeric_limits<int32_t>::max();

constinit plat::Seam<IRecordFileHost> g_host;

// Item `item` (from 1) of string list `list` of the module's resource file; empty when the list
// or the item is missing.
std::string ListString(int16_t module, int list, int item) {
    char text[512];
    ResItemHost().CopyListString(text, sizeof text, int32_t{module} + list, static_cast<int16_t>(item));
    return text;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty()) return name;
    const char last = folder.back();
    return last == '\\' || last == '/' || last == ':' ? folder + name : folder + "\\" + name;
}

bool Overlaps(uint64_t a, uint64_t aSize, uint64_t b, uint64_t bSize) {
    return aSize != 0 && bSize != 0 && a < b + bSize && b < a + aSize;
}

}  // namespace

IRecordFileHost* SetRecordFileHost(IRecordFileHost* host) { return g_host.Install(host); }
IRecordFileHost& RecordFileHost() { return g_host.Get(); }

// ---------------------------------------------------------------------------------------
// Opening and closing

CRecordFile::CRecordFile(int16_t module, const char* name, int16_t folderMode, int16_t context)
    : m_module(module), m_folderMode(folderMode) {
    const int code = Open(name, folderMode);
    if (code != 0) {
        Fail(code, context);
    } else if (m_setAside) {
        // Told once; from now on the new file works as any other.
        Fail(kErrSetAside, context);
    }
}

CRecordFile::~CRecordFile() {
    if (IsOpen()) {
        const int code = Close();
        if (code != 0) Fail(code, kAtClose);
    }
    for (Entry& e : m_dir) {
        if (e.block) HandleTableFree(e.block);
    }
}

int CRecordFile::Open(const char* name, int16_t folderMode) {
    std::string fileName;
    if (name != nullptr) {
        fileName = name;
    } else if (m_module >= 2000 && m_module <= 6000 && m_module % 1000 == 0) {
        fileName = "Mod" + std::to_string(m_module) + ".rsc";
    } else {
        return kErrNoName;
    }
    IResItemHost& folders = ResItemHost();
    const std::string folder = folderMode == 1 ? folders.PlayerFolder() : folders.ResourceFolder();
    // A player's file without the player's folder would land wherever the process stands.
    if (folderMode == 1 && folder.empty()) return kErrNoName;
    m_fileName = JoinPath(folder, fileName);

    try {
        m_io = RecordFileHost().MakeIo();
    } catch (const std::bad_alloc&) {
        m_io.reset();
    }
    if (!m_io) return kErrNoFileObject;
    if (const int code = m_io->Open(m_fileName)) {
        m_io.reset();
        return code;
    }
    m_ownsFile = true;
    m_openState = 0;
    int code = ReadDirectory();
    if (code == kErrDamaged) {
        // A damaged file is kept whole under a new name beside it, and a new file starts in
        // its place; left in place it would be refused at every use.
        std::string asideName;
        if (m_io->SetAside(m_fileName, asideName) == 0) {
            m_setAside = true;
            code = ReadDirectory();
        }
    }
    if (code != 0) {
        m_io->Close();
        m_io.reset();
        m_ownsFile = false;
        m_openState = -1;
        m_dir.clear();
        m_committed.clear();
        m_header = Header{};
    }
    return code;
}

int CRecordFile::ReadDirectory() {
    uint32_t length = 0;
    if (const int code = m_io->GetLength(length)) return code;
    if (length < static_cast<uint32_t>(kHeaderSize)) {
        // Empty, or too short to hold anything: start a new file.
        if (length != 0) {
            if (const int code = m_io->SetLength(0)) return code;
        }
        uint8_t raw[kHeaderSize];
        m_header = Header{};
        plat::SetLe32(raw, 0, m_header.dataEnd);
        plat::SetLe32(raw, 4, 0);
        plat::SetLe32(raw, 8, 0);
        plat::SetLe32(raw, 12, kNativeTag);
        if (const int code = m_io->WriteAt(0, raw, kHeaderSize)) return code;
        return m_io->Flush();
    }

    uint8_t raw[kHeaderSize];
    if (const int code = ReadExact(0, raw, kHeaderSize)) return code;
    Header h{plat::GetLe32(raw, 0), plat::GetLe32(raw, 4), plat::GetLe32(raw, 8), plat::GetLe32(raw, 12)};
    if (h.tag == kSwappedTag) {
        h.dataEnd = plat::ByteSwap32(h.dataEnd);
        h.dirSize = plat::ByteSwap32(h.dirSize);
        h.count = plat::ByteSwap32(h.count);
    }
    if (h.dataEnd < static_cast<uint32_t>(kHeaderSize) || uint64_t{h.count} * kEntrySize != h.dirSize ||
        uint64_t{h.dataEnd} + h.dirSize > length) {
        return kErrDamaged;
    }

    std::vector<uint8_t> dir;
    std::vector<Entry> entries;
    try {
        dir.resize(h.dirSize);
        entries.resize(h.count);
    } catch (const std::bad_alloc&) {
        return kErrNoMemory;
    }
    if (const int code = ReadExact(h.dataEnd, dir.data(), h.dirSize)) return code;
    for (uint32_t i = 0; i < h.count; ++i) {
        const auto p = std::span(dir).subspan(size_t{i} * kEntrySize, kEntrySize);
        Entry& e = entries[i];
        e.id = plat::GetLe16(p, 0);
        e.flags = plat::GetLe16(p, 2);
        e.type = plat::GetLe32(p, 4);
        e.offset = plat::GetLe32(p, 8);
        e.size = plat::GetLe32(p, 12);
        e.block = nullptr;  // the stored memory reference means nothing on disk
        if (e.offset < static_cast<uint32_t>(kHeaderSize) || uint64_t{e.offset} + e.size > h.dataEnd) return kErrDamaged;
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.offset < b.offset; });
    for (size_t i = 1; i < entries.size(); ++i) {
        if (entries[i].offset < uint64_t{entries[i - 1].offset} + entries[i - 1].size) return kErrDamaged;
    }
    std::vector<std::pair<uint32_t, uint16_t>> keys;
    keys.reserve(entries.size());
    for (const Entry& e : entries) keys.emplace_back(e.type, e.id);
    std::sort(keys.begin(), keys.end());
    if (std::adjacent_find(keys.begin(), keys.end()) != keys.end()) return kErrDamaged;

    m_header = h;
    m_dir = std::move(entries);
    m_committed = m_dir;
    return 0;
}

int CRecordFile::Close() {
    int code = CompactFile();
    const int closed = m_io->Close();
    if (code == 0) code = closed;
    m_openState = -1;
    m_ownsFile = false;
    return code;
}

// ---------------------------------------------------------------------------------------
// Reporting

std::string ComposeErrorLine(std::string_view code, std::string_view place, std::string_view detail) {
    std::string line = "Error: ";
    line.append(code).append(".  ").append(" At: ").append(place).append(".  ").append(detail).append(".");
    return line;
}

std::string CRecordFile::ComposeMessage(int16_t module, bool own, int16_t code, int16_t context) {
    const auto list = [&](int id, int item) { return ListString(module, id, item); };
    const int absCode = std::abs(static_cast<int>(code));
    const int absContext = std::abs(static_cast<int>(context));
    const std::string error = code == 13 ? list(988, 1) : list(982, own ? absCode : 1);
    const std::string where = list(983, absContext);
    return ComposeErrorLine(std::to_string(absCode), where, error);
}

int16_t CRecordFile::ReportError(bool own, int16_t code, int16_t context) {
    m_lastError = code;
    const std::string text = ComposeMessage(m_module, own, code, context);
    AfxMessageBox(text.c_str(), MB_ABORTRETRYIGNORE);  // every answer goes on the same way
    return code;
}

int16_t CRecordFile::Fail(int code, int16_t context) {
    return ReportError(code < 0, static_cast<int16_t>(code), context);
}

bool CRecordFile::RequireOpen(int16_t context) {
    if (IsOpen()) return true;
    Fail(kErrNotOpen, context);
    return false;
}

int16_t CRecordFile::CheckOpen() { return RequireOpen(kAtCheckOpen) ? 0 : kErrNotOpen; }

// ---------------------------------------------------------------------------------------
// Items

CRecordFile::Entry* CRecordFile::FindEntry(uint32_t type, uint16_t id) {
    for (Entry& e : m_dir) {
        if (e.type == type && e.id == id) return &e;
    }
    return nullptr;
}

CRecordFile::Entry* CRecordFile::FindBlock(HBLOCK block) {
    if (block == nullptr) return nullptr;
    for (Entry& e : m_dir) {
        if (e.block == block) return &e;
    }
    return nullptr;
}

bool CRecordFile::HasItem(uint32_t type, uint16_t id) {
    return RequireOpen(kAtHasItem) && FindEntry(type, id) != nullptr;
}

int16_t CRecordFile::InsertItem(HBLOCK block, uint32_t type, uint16_t id) {
    if (!RequireOpen(kAtAdd)) return kErrNotOpen;
    if (HandleTableFind(block) < 0) return Fail(kErrNotItem, kAtAdd);
    if (FindBlock(block) || FindEntry(type, id)) return Fail(kErrItemExists, kAtAdd);
    const int code = RetryAfterCompacting(
        [&] { return AddBytes(type, id, HandleTableDeref(block), HandleTableSize(block), block); });
    return code ? Fail(code, kAtAdd) : 0;
}

int16_t CRecordFile::AddRawItem(uint32_t type, uint16_t id, const void* bytes, uint32_t size) {
    if (!RequireOpen(kAtAdd)) return kErrNotOpen;
    if (bytes == nullptr && size != 0) return Fail(kErrNotItem, kAtAdd);
    if (FindEntry(type, id)) return Fail(kErrItemExists, kAtAdd);
    const int code = RetryAfterCompacting([&] { return AddBytes(type, id, bytes, size, nullptr); });
    return code ? Fail(code, kAtAdd) : 0;
}

int16_t CRecordFile::ReplaceRawItem(uint32_t type, uint16_t id, const void* bytes, uint32_t size) {
    if (!RequireOpen(kAtAdd)) return kErrNotOpen;
    if (bytes == nullptr && size != 0) return Fail(kErrNotItem, kAtAdd);
    const int code = StoreBytes(type, id, bytes, size);
    return code ? Fail(code, kAtAdd) : 0;
}

int CRecordFile::StoreBytes(uint32_t type, uint16_t id, const void* bytes, uint32_t size) {
    // Replacing in one step: a failure leaves the old bytes, never neither.
    const int code = RetryAfterCompacting([&] {
        return FindEntry(type, id) ? ReplaceBytes(type, id, bytes, size) : AddBytes(type, id, bytes, size, nullptr);
    });
    // A block loaded before holds the old bytes; it goes, as it would with the old item.
    if (Entry* e = FindEntry(type, id); code == 0 && e && e->block) {
        HandleTableFree(e->block);
        e->block = nullptr;
    }
    return code;
}

int16_t CRecordFile::WriteItem(HBLOCK block) {
    if (!RequireOpen(kAtAdd)) return kErrNotOpen;
    const Entry* e = FindBlock(block);
    if (e == nullptr) return Fail(kErrNotItem, kAtAdd);
    const uint32_t type = e->type;
    const uint16_t id = e->id;
    const int code = RetryAfterCompacting(
        [&] { return ReplaceBytes(type, id, HandleTableDeref(block), HandleTableSize(block)); });
    return code ? Fail(code, kAtAdd) : 0;
}

HBLOCK CRecordFile::GetItem(uint32_t type, uint16_t id) {
    if (!RequireOpen(kAtGet)) return nullptr;
    Entry* e = FindEntry(type, id);
    if (e == nullptr) return nullptr;
    if (e->block == nullptr) {
        if (const int code = LoadItem(*e)) {
            Fail(code, kAtGet);
            return nullptr;
        }
    }
    return e->block;
}

int CRecordFile::LoadItem(Entry& entry) {
    HBLOCK block = HandleTableNew(entry.size);
    if (block == nullptr) return kErrNoMemory;
    if (const int code = ReadExact(entry.offset, HandleTableDeref(block), entry.size)) {
        HandleTableFree(block);
        return code;
    }
    entry.block = block;
    return 0;
}

int16_t CRecordFile::ReadItemInto(uint32_t type, uint16_t id, void* buffer, uint32_t size) {
    if (!RequireOpen(kAtGet)) return kErrNotOpen;
    const Entry* e = FindEntry(type, id);
    if (e == nullptr) return Fail(kErrNotFound, kAtGet);
    const uint32_t n = std::min(size, e->size);
    if (buffer == nullptr && n != 0) return Fail(kErrNotItem, kAtGet);
    const int code = ReadExact(e->offset, buffer, n);
    return code ? Fail(code, kAtGet) : 0;
}

int16_t CRecordFile::DetachItem(HBLOCK block) {
    if (!RequireOpen(kAtDetach)) return kErrNotOpen;
    Entry* e = FindBlock(block);
    if (e == nullptr) return Fail(kErrNotFound, kAtDetach);
    e->block = nullptr;
    return 0;
}

int16_t CRecordFile::ReleaseItem(HBLOCK block) {
    if (!RequireOpen(kAtRelease)) return kErrNotOpen;
    Entry* e = FindBlock(block);
    if (e == nullptr) return Fail(kErrNotItem, kAtRelease);
    HandleTableFree(block);
    e->block = nullptr;
    return 0;
}

int16_t CRecordFile::ReleaseAllItems() {
    if (!RequireOpen(kAtReleaseAll)) return kErrNotOpen;
    for (Entry& e : m_dir) {
        if (e.block) {
            HandleTableFree(e.block);
            e.block = nullptr;
        }
    }
    return 0;
}

int16_t CRecordFile::RemoveItem(HBLOCK block) {
    if (!RequireOpen(kAtRemove)) return kErrNotOpen;
    const Entry* e = FindBlock(block);
    if (e == nullptr) return Fail(kErrRemoveMissing, kAtRemove);
    const uint32_t type = e->type;
    const uint16_t id = e->id;
    const int code = RetryAfterCompacting(
        [&] { return RemoveEntries([&](const Entry& x) { return x.type == type && x.id == id; }); });
    return code ? Fail(code, kAtRemove) : 0;
}

int16_t CRecordFile::RemoveItemRange(uint32_t type, int32_t first, int32_t last) {
    if (!RequireOpen(kAtRemove)) return kErrNotOpen;
    if (first < 0 || last < first) return Fail(kErrBadRange, kAtRemove);
    const int code = RetryAfterCompacting([&] {
        return RemoveEntries([&](const Entry& x) { return x.type == type && x.id >= first && x.id <= last; });
    });
    return code ? Fail(code, kAtRemove) : 0;
}

int16_t CRecordFile::Compact() {
    if (!RequireOpen(kAtCompact)) return kErrNotOpen;
    const int code = CompactFile();
    return code ? Fail(code, kAtCompact) : 0;
}

// ---------------------------------------------------------------------------------------
// Pictures

int CRecordFile::SaveSprite(uint16_t picture, uint16_t id) {
    if (!RequireOpen(kAtSaveSprite)) return 0;
    const LockedPicture pic = LockPicture(static_cast<int16_t>(picture));
    // Only what can be loaded again is stored.
    if (pic.bits == nullptr || pic.width > 640 || pic.height > 480) {
        UnlockPicture(pic);
        Fail(kErrSpriteSize, kAtSaveSprite);
        return 0;
    }
    const auto width = static_cast<uint16_t>(pic.width), height = static_cast<uint16_t>(pic.height);
    const auto stride = static_cast<size_t>(pic.stride);
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(size_t{width} * height + 4);
    } catch (const std::bad_alloc&) {
        UnlockPicture(pic);
        Fail(kErrNoMemory, kAtSaveSprite);
        return 0;
    }
    plat::SetLe16(bytes, 0, width);
    plat::SetLe16(bytes, 2, height);
    for (uint32_t row = 0; row < height; ++row) {
        std::memcpy(bytes.data() + 4 + size_t{row} * width, pic.bits + row * stride, width);
    }
    UnlockPicture(pic);
    if (const int code = StoreBytes(kRecordTypeSprite, id, bytes.data(), static_cast<uint32_t>(bytes.size()))) {
        Fail(code, kAtSaveSprite);
        return 0;
    }
    return 1;
}

uint16_t CRecordFile::LoadSprite(uint16_t id) {
    if (!RequireOpen(kAtLoadSprite)) return kNoPicture;
    Entry* e = FindEntry(kRecordTypeSprite, id);
    if (e == nullptr) {
        Fail(kErrSpriteMissing, kAtLoadSprite);
        return kNoPicture;
    }
    if (e->block == nullptr) {
        if (const int code = LoadItem(*e)) {
            Fail(code, kAtLoadSprite);
            return kNoPicture;
        }
    }
    HBLOCK block = e->block;
    const uint8_t* data = static_cast<const uint8_t*>(HandleTableDeref(block));
    const uint32_t size = HandleTableSize(block);
    const auto release = [&] {
        HandleTableFree(block);
        e->block = nullptr;
    };
    uint16_t width = 0;
    uint16_t height = 0;
    if (size >= 4) {
        const std::span<const uint8_t> sizes(data, 4);
        width = plat::GetLe16(sizes, 0);
        height = plat::GetLe16(sizes, 2);
        if (!(e->flags & kFlagNative)) {
            width = plat::ByteSwap16(width);
            height = plat::ByteSwap16(height);
        }
    }
    if (width < 1 || width > 640 || height < 1 || height > 480 || size - 4 < uint32_t{width} * height) {
        release();
        Fail(kErrSpriteSize, kAtLoadSprite);
        return kNoPicture;
    }
    IResItemHost& pictures = ResItemHost();
    const int16_t picture = pictures.NewBlankPicture(static_cast<int16_t>(width), static_cast<int16_t>(height));
    const LockedPicture pic = picture < 0 ? LockedPicture{} : LockPicture(picture);
    if (pic.bits == nullptr || pic.width != width || pic.height != height) {
        UnlockPicture(pic);
        if (picture >= 0) pictures.PurgeResource(picture);
        release();
        Fail(kErrNoMemory, kAtLoadSprite);
        return kNoPicture;
    }
    for (uint32_t row = 0; row < height; ++row) {
        std::memcpy(pic.bits + row * static_cast<size_t>(pic.stride), data + 4 + size_t{row} * width, width);
    }
    UnlockPicture(pic);
    release();
    return static_cast<uint16_t>(picture);
}

// ---------------------------------------------------------------------------------------
// Changes

int CRecordFile::RetryAfterCompacting(const std::function<int()>& operation) {
    int code = operation();
    if (code == CFileException::diskFull && CompactFile() == 0) code = operation();
    return code;
}

int CRecordFile::FindPlace(uint32_t size, uint32_t& place) {
    uint64_t cursor = kHeaderSize;
    uint64_t used = 0;
    for (const Entry& e : m_dir) {
        used += e.size;
        if (e.offset != cursor && size <= e.offset - cursor) {
            place = static_cast<uint32_t>(cursor);
            return 0;
        }
        cursor = uint64_t{e.offset} + e.size;
    }
    if (cursor <= m_header.dataEnd && size <= m_header.dataEnd - cursor) {
        place = static_cast<uint32_t>(cursor);
        return 0;
    }
    const uint64_t free = m_header.dataEnd - kHeaderSize - used;
    if (free * 100 > 5 * (used + free)) {
        if (const int code = CompactFile()) return code;
    }
    place = m_header.dataEnd;
    return 0;
}

int CRecordFile::AddBytes(uint32_t type, uint16_t id, const void* bytes, uint32_t size, HBLOCK block) {
    if (FindEntry(type, id)) return kErrItemExists;
    uint32_t place = 0;
    if (const int code = FindPlace(size, place)) return code;
    const bool append = place == m_header.dataEnd;
    const uint64_t dataEnd = append ? uint64_t{place} + size : m_header.dataEnd;
    const uint64_t dirSize = (m_dir.size() + 1) * uint64_t{kEntrySize};
    if (dataEnd + dirSize > kLargestOffset) return CFileException::badSeek;

    int code = WriteData(place, bytes, size, dataEnd + dirSize);
    if (code == 0) {
        m_dir.push_back(Entry{id, kFlagNative, type, place, size, block});
        SortDirectory();
        code = CommitFinal(static_cast<uint32_t>(dataEnd));
    }
    if (code) Rollback({});
    return code;
}

int CRecordFile::ReplaceBytes(uint32_t type, uint16_t id, const void* bytes, uint32_t size) {
    Entry* e = FindEntry(type, id);
    if (e == nullptr) return kErrNotFound;
    const uint64_t dirSize = m_dir.size() * uint64_t{kEntrySize};

    if (size <= e->size) {
        // Keeps its place, by way of a copy in free space: first committed there, then
        // written over the old bytes (which that commit freed) and committed home.
        const uint32_t home = e->offset;
        const uint32_t dataEnd = m_header.dataEnd;
        const uint64_t spare = FindFreeRegion(size, kHeaderSize, 0, 0);
        if (spare + size > kLargestOffset) return CFileException::badSeek;
        int code = WriteData(static_cast<uint32_t>(spare), bytes, size, 0);
        if (code == 0) {
            e->offset = static_cast<uint32_t>(spare);
            e->size = size;
            e->flags |= kFlagNative;
            code = CommitShadow(0);
        }
        if (code) {
            Rollback({});
            return code;
        }
        // The new bytes are in the file now; what follows only puts them back in place.
        e = FindEntry(type, id);
        code = WriteData(home, bytes, size, uint64_t{dataEnd} + dirSize);
        if (code == 0) {
            e->offset = home;
            SortDirectory();
            code = CommitFinal(dataEnd);
        }
        if (code) Rollback({});
        return 0;
    }

    // Grows: to a hole or the end, while the old bytes stay where the file has them.
    uint32_t place = 0;
    int code = FindPlace(size, place);
    if (code) return code;
    const bool append = place == m_header.dataEnd;
    const uint64_t dataEnd = append ? uint64_t{place} + size : m_header.dataEnd;
    if (dataEnd + dirSize > kLargestOffset) return CFileException::badSeek;
    code = WriteData(place, bytes, size, dataEnd + dirSize);
    if (code == 0) {
        e = FindEntry(type, id);
        e->offset = place;
        e->size = size;
        e->flags |= kFlagNative;
        SortDirectory();
        code = CommitFinal(static_cast<uint32_t>(dataEnd));
    }
    if (code) Rollback({});
    return code;
}

int CRecordFile::RemoveEntries(const std::function<bool(const Entry&)>& doomed) {
    std::vector<Entry> gone;
    std::vector<Entry> kept;
    for (const Entry& e : m_dir) (doomed(e) ? gone : kept).push_back(e);
    if (gone.empty()) return 0;
    m_dir = std::move(kept);
    // The file forgets the removed items; their loaded blocks stay the caller's (a failure
    // rolls the entries back, blocks and all).
    const int code = CommitFinal(m_header.dataEnd);
    if (code) Rollback(gone);
    return code;
}

int CRecordFile::CompactFile() {
    std::vector<uint32_t> target(m_dir.size());
    uint64_t cursor = kHeaderSize;
    bool moves = false;
    for (size_t i = 0; i < m_dir.size(); ++i) {
        target[i] = static_cast<uint32_t>(cursor);
        moves = moves || m_dir[i].offset != cursor;
        cursor += m_dir[i].size;
    }
    const uint32_t dataEnd = static_cast<uint32_t>(cursor);
    const uint64_t dirSize = m_dir.size() * uint64_t{kEntrySize};
    if (!moves && dataEnd == m_header.dataEnd) {
        // Nothing to move; bytes left past the directory by an interrupted change go.
        uint32_t length = 0;
        if (m_protected.empty() && m_io->GetLength(length) == 0 && length > uint64_t{dataEnd} + dirSize) {
            m_io->SetLength(static_cast<uint32_t>(dataEnd + dirSize));
        }
        return 0;
    }

    int code = 0;
    for (size_t i = 0; i < m_dir.size() && code == 0; ++i) {
        if (m_dir[i].offset == target[i]) continue;
        const uint32_t size = m_dir[i].size;
        if (uint64_t{target[i]} + size > m_dir[i].offset) {
            // The item would land on its own bytes: park a copy in free space first.
            const uint64_t spare = FindFreeRegion(size, kHeaderSize, target[i], size);
            if (spare + size > kLargestOffset) {
                code = CFileException::badSeek;
                break;
            }
            code = CopyData(m_dir[i].offset, static_cast<uint32_t>(spare), size, uint64_t{dataEnd} + dirSize);
            if (code) break;
            m_dir[i].offset = static_cast<uint32_t>(spare);
        }
        code = CopyData(m_dir[i].offset, target[i], size, uint64_t{dataEnd} + dirSize);
        if (code == 0) m_dir[i].offset = target[i];
    }
    if (code == 0) code = CommitFinal(dataEnd);
    if (code) Rollback({});
    return code;
}

// ---------------------------------------------------------------------------------------
// Writing in steps

uint64_t CRecordFile::FindFreeRegion(uint64_t size, uint64_t low, uint64_t avoid, uint64_t avoidSize) const {
    // Everything that must not be written over: what the file reaches now, what a header in
    // doubt may reach, and the items as they are being rearranged.
    std::vector<std::pair<uint64_t, uint64_t>> taken{{0, kHeaderSize}, {m_header.dataEnd, m_header.dirSize}};
    for (const Entry& e : m_committed) taken.emplace_back(e.offset, e.size);
    for (const Entry& e : m_dir) taken.emplace_back(e.offset, e.size);
    taken.insert(taken.end(), m_protected.begin(), m_protected.end());
    taken.emplace_back(avoid, avoidSize);

    std::vector<uint64_t> candidates{low};
    for (const auto& [offset, n] : taken) {
        if (offset + n >= low) candidates.push_back(offset + n);
    }
    std::sort(candidates.begin(), candidates.end());
    for (const uint64_t c : candidates) {
        const bool free = std::none_of(taken.begin(), taken.end(),
                                       [&](const auto& t) { return Overlaps(c, size, t.first, t.second); });
        if (free) return c;
    }
    return candidates.back();  // not reached: nothing lies past the last end
}

uint64_t CRecordFile::WorkingEnd() const {
    uint64_t end = kHeaderSize;
    for (const Entry& e : m_dir) end = std::max(end, uint64_t{e.offset} + e.size);
    return end;
}

bool CRecordFile::OverlapsCommitted(uint64_t offset, uint64_t size) const {
    if (Overlaps(offset, size, 0, kHeaderSize) || Overlaps(offset, size, m_header.dataEnd, m_header.dirSize)) {
        return true;
    }
    for (const Entry& e : m_committed) {
        if (Overlaps(offset, size, e.offset, e.size)) return true;
    }
    for (const auto& [o, s] : m_protected) {
        if (Overlaps(offset, size, o, s)) return true;
    }
    return false;
}

int CRecordFile::WriteData(uint32_t offset, const void* bytes, uint32_t size, uint64_t shadowFloor) {
    if (size == 0) return 0;
    if (OverlapsCommitted(offset, size)) {
        if (const int code = CommitShadow(std::max(shadowFloor, uint64_t{offset} + size))) return code;
        // Still reached by a header whose write is in doubt: not safe to write now.
        if (OverlapsCommitted(offset, size)) return CFileException::hardIO;
    }
    return m_io->WriteAt(offset, bytes, size);
}

int CRecordFile::CopyData(uint32_t from, uint32_t to, uint32_t size, uint64_t shadowFloor) {
    if (size == 0) return 0;
    uint32_t chunk = size;
    std::unique_ptr<uint8_t[]> buffer;
    for (;;) {
        buffer.reset(new (std::nothrow) uint8_t[chunk]);
        if (buffer) break;
        if (chunk == 1) return kErrNoMemory;
        chunk /= 2;
    }
    for (uint32_t done = 0; done < size;) {
        const uint32_t n = std::min(chunk, size - done);
        if (const int code = ReadExact(from + done, buffer.get(), n)) return code;
        if (const int code = WriteData(to + done, buffer.get(), n, shadowFloor)) return code;
        done += n;
    }
    return 0;
}

int CRecordFile::CommitAt(uint64_t dirOffset) {
    std::vector<Entry> sorted = m_dir;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Entry& a, const Entry& b) { return a.offset < b.offset; });
    const uint64_t dirSize = sorted.size() * uint64_t{kEntrySize};
    if (dirOffset + dirSize > kLargestOffset) return CFileException::badSeek;
    if (OverlapsCommitted(dirOffset, dirSize)) return CFileException::hardIO;  // never over live bytes

    std::vector<uint8_t> raw(dirSize);
    for (size_t i = 0; i < sorted.size(); ++i) {
        const auto p = std::span(raw).subspan(i * kEntrySize, kEntrySize);
        plat::SetLe16(p, 0, sorted[i].id);
        plat::SetLe16(p, 2, sorted[i].flags);
        plat::SetLe32(p, 4, sorted[i].type);
        plat::SetLe32(p, 8, sorted[i].offset);
        plat::SetLe32(p, 12, sorted[i].size);
        plat::SetLe32(p, 16, 0);  // never a memory address in the file
    }
    if (dirSize != 0) {
        if (const int code = m_io->WriteAt(static_cast<uint32_t>(dirOffset), raw.data(), static_cast<uint32_t>(dirSize))) {
            return code;
        }
    }
    if (const int code = m_io->Flush()) return code;

    const Header next{static_cast<uint32_t>(dirOffset), static_cast<uint32_t>(dirSize),
                      static_cast<uint32_t>(sorted.size()), kNativeTag};
    uint8_t header[kHeaderSize];
    plat::SetLe32(header, 0, next.dataEnd);
    plat::SetLe32(header, 4, next.dirSize);
    plat::SetLe32(header, 8, next.count);
    plat::SetLe32(header, 12, next.tag);
    const auto protect = [this](const Header& h, const std::vector<Entry>& entries) {
        m_protected.emplace_back(h.dataEnd, h.dirSize);
        for (const Entry& e : entries) m_protected.emplace_back(e.offset, e.size);
    };
    if (const int code = m_io->WriteAt(0, header, kHeaderSize)) {
        // The disk may hold either header now: neither state's bytes may be written over.
        protect(next, sorted);
        return code;
    }
    if (m_io->Flush() != 0) {
        // The new header was taken but may not be on the disk yet: the old state stays
        // protected until a later commit is known to be there.
        protect(m_header, m_committed);
    } else {
        m_protected.clear();
    }
    m_header = next;
    m_committed = std::move(sorted);
    return 0;
}

int CRecordFile::CommitShadow(uint64_t floor) {
    // The directory's offset is the data end, so it lies above every item.
    const uint64_t dirSize = m_dir.size() * uint64_t{kEntrySize};
    return CommitAt(FindFreeRegion(dirSize, std::max(floor, WorkingEnd()), 0, 0));
}

int CRecordFile::CommitFinal(uint32_t dataEnd) {
    const uint64_t dirSize = m_dir.size() * uint64_t{kEntrySize};
    bool changed = false;
    if (OverlapsCommitted(dataEnd, dirSize)) {
        if (const int code = CommitShadow(uint64_t{dataEnd} + dirSize)) return code;
        // The change is in the file; the rest only tidies its place, and waits while a
        // header in doubt still reaches that place.
        if (OverlapsCommitted(dataEnd, dirSize)) return 0;
        changed = true;
    }
    if (const int code = CommitAt(dataEnd)) return changed ? 0 : code;
    if (m_protected.empty()) m_io->SetLength(static_cast<uint32_t>(dataEnd + dirSize));
    return 0;
}

void CRecordFile::Rollback(const std::vector<Entry>& extra) {
    // Back to what the file's header reaches; loaded blocks stay with their items.
    std::vector<Entry> restored = m_committed;
    for (Entry& r : restored) {
        r.block = nullptr;
        if (const Entry* w = FindEntry(r.type, r.id)) {
            r.block = w->block;
        } else {
            for (const Entry& x : extra) {
                if (x.type == r.type && x.id == r.id) r.block = x.block;
            }
        }
    }
    m_dir = std::move(restored);
    SortDirectory();
}

void CRecordFile::SortDirectory() {
    std::stable_sort(m_dir.begin(), m_dir.end(), [](const Entry& a, const Entry& b) { return a.offset < b.offset; });
}

int CRecordFile::ReadExact(uint32_t offset, void* buffer, uint32_t size) {
    uint32_t done = 0;
    while (done < size) {
        uint32_t read = 0;
        if (const int code = m_io->ReadAt(offset + done, static_cast<uint8_t*>(buffer) + done, size - done, read)) {
            return code;
        }
        if (read == 0) return CFileException::endOfFile;
        done += read;
    }
    return 0;
}
