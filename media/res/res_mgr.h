// Module resource files (".res"): CResMgr opens one, reads its directory once, finds items
// by type code and id, and reads an item's bytes sequentially into caller memory. Every
// file operation goes through the read-error prompt's retry rule.
//
// File layout (little-endian): header {u16 magic 0x921A, u32 directory offset, 2 bytes
// kept}; the items' data; from the directory offset to the end of the file, 16-byte records
// {4 bytes type text, u16 id, u32 data offset, u32 data size, u16 reserved}, sorted by type
// value, then id. A tail shorter than a record is ignored.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string_view>
#include <vector>

#include "media/res/res_file.h"
#include "platform/afx/object.h"
#include "platform/core/byte_order.h"

class CResMgr;

// A resource type code: three or four letters, the first in the highest non-zero byte.
constexpr uint32_t ResType(std::string_view code) { return plat::PackTypeCode(code); }

inline constexpr uint32_t kResSPR = ResType("SPR");  // pictures
inline constexpr uint32_t kResPNT = ResType("PNT");  // size records: u16 width, u16 height
inline constexpr uint32_t kResHTN = ResType("HT#");  // hotspot tables
inline constexpr uint32_t kResSND = ResType("SND");  // sound clips
inline constexpr uint32_t kResPAL = ResType("PAL");  // palettes
inline constexpr uint32_t kResANI = ResType("ANI");  // animation scripts
inline constexpr uint32_t kResANU = ResType("AN_");  // what an animation preloads
inline constexpr uint32_t kResCUE = ResType("CUE");  // cue lists
inline constexpr uint32_t kResCUR = ResType("CUR");  // cursors
inline constexpr uint32_t kResSPT = ResType("SPT");  // spots
inline constexpr uint32_t kResSPN = ResType("SP#");  // spot lists
inline constexpr uint32_t kResINN = ResType("IN#");  // layouts and level tables
inline constexpr uint32_t kResIST = ResType("IST");  // string lists
inline constexpr uint32_t kResIPA = ResType("IPA");  // phrase templates
inline constexpr uint32_t kResIPB = ResType("IPB");  // spoken-number tables
inline constexpr uint32_t kResIPC = ResType("IPC");
inline constexpr uint32_t kResPNN = ResType("PN#");  // shape pieces
inline constexpr uint32_t kResPLS = ResType("PLS");
inline constexpr uint32_t kResFIL = ResType("FIL");
inline constexpr uint32_t kResBPB = ResType("BPB");
static_assert(kResSPR == 0x535052 && kResIST == 0x495354);

// One directory record in memory. Valid while its manager stays open; resource items keep
// a pointer to it and move readPos as they read.
struct ResDirEntry {
    uint32_t type = 0;
    uint32_t id = 0;
    uint32_t size = 0;
    uint32_t offset = 0;
    uint32_t readPos = 0;  // bytes of the item already read; a reader sets 0 to start over
    uint16_t reserved = 0;
    CResMgr* owner = nullptr;
};

class CResMgr : public CObject {
    DECLARE_DYNAMIC(CResMgr)
public:
    static constexpr uint16_t kMagic = 0x921A;
    static constexpr uint32_t kHeaderSize = 8;
    static constexpr uint32_t kRecordSize = 16;
    // More records than any module has; a larger directory is taken as damage.
    static constexpr uint32_t kMaxEntries = 65536;
    // Items of these types up to this size are read whole into the Win32s read-ahead cache.
    static constexpr uint32_t kMaxCachedSize = 50000;

    CResMgr();
    ~CResMgr() override;

    // Opens a file by its DOS path and reads its directory: 1, or 0 with the manager closed.
    // A file already open is closed first (its entries become invalid).
    BOOL Open(LPCSTR path);
    // Frees the entries and closes the file: 1; 0 when the drive check says the drive
    // cannot be reached (the file then stays open).
    BOOL Close();
    // The entry of (type, id), or null; never touches the file.
    ResDirEntry* FindEntry(uint32_t type, uint32_t id);
    // Copies n bytes of the entry's item from its read position into dest and advances the
    // read position: 1; 0 when the read failed or would pass the item's end.
    BOOL LoadItem(void* dest, ResDirEntry* entry, uint32_t n);

    bool IsOpen() const { return m_file != nullptr; }
    std::span<ResDirEntry> Entries() { return m_entries; }
    // The 8 header bytes as read.
    std::span<const uint8_t, kHeaderSize> Header() const { return m_header; }

    // Where files come from (tests and the fuzzer); null goes back to the disk.
    void SetFileSystem(std::shared_ptr<IResFileSystem> files);

private:
    // Serves the request from the read-ahead cache (Win32s only): true when served.
    bool ReadThroughCache(void* dest, ResDirEntry& entry, uint32_t n);
    void EmptyCache();
    // Closes the stream (after the drive check, with the retry rule) and forgets everything.
    void CloseAfterFailure();
    void Release();

    // Read-ahead cache, keyed by the entry it holds (null: empty).
    const ResDirEntry* m_cacheEntry = nullptr;
    uint32_t m_cachePos = 0;
    uint32_t m_cacheRemaining = 0;
    bool m_cacheRefused = false;
    std::vector<uint8_t> m_cache;

    std::shared_ptr<IResFileSystem> m_files;
    std::unique_ptr<IResFile> m_file;
    uint8_t m_header[kHeaderSize] = {};
    std::vector<ResDirEntry> m_entries;
};
