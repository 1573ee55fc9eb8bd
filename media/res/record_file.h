// CRecordFile: an activity's writable store of typed, numbered items ("Mod2000.rsc" to
// "Mod6000.rsc" in the current player's folder).
//
// File layout (little-endian): a 16-byte header {data end, directory size, entries, tag},
// the items' data from offset 16 up to data end (holes allowed), then the directory of
// 20-byte entries {u16 id, u16 flags, u32 type, u32 offset, u32 size, u32 unused} from
// data end to the end of the file. A tag read as 0x2043414D ("MAC ") means the four header
// words are in the other byte order.
//
// Every change is written so that a failure at any point (disk full, an I/O error, the
// process killed) leaves the file readable with either the old or the new content: new
// data and a new directory go only to bytes the file's current header does not reach, the
// 16-byte header (one sector) is rewritten last, and writes are flushed before and after it.
// Headers and directories whose numbers do not fit the file are refused, never trusted.
//
// Operations return 0 or an error code: a negative code of the record file's own, or a
// positive cause of the class library's file exceptions (13 = disk full). Failures are also
// shown in a message box built from string lists 982, 983 and 988 of the module.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "media/res/record_file_io.h"
#include "media/util/handle_table.h"
#include "platform/core/byte_order.h"

// Item types are four letters packed with the first letter in the high byte.
inline constexpr uint32_t kRecordTypeSlot = plat::PackTypeCode("slot");
inline constexpr uint32_t kRecordTypeSprite = plat::PackTypeCode("sprt");
inline constexpr uint32_t kRecordTypeData = plat::PackTypeCode("data");

// The record files take what they need of the engine from the resource host (res_item_host.h):
// the message texts (string lists 982, 983 and 988 of the record file's module), the picture
// items 'sprt' items are saved from and loaded into, and the folders (the player's for folder
// mode 1, else the resource folder; empty means the current folder). This host only chooses
// the file operations; the neutral host keeps files on disk.
class IRecordFileHost {
public:
    virtual ~IRecordFileHost() = default;
    // The file operations: files on disk (tests and the fuzzer give their own).
    virtual std::unique_ptr<IRecordFileIo> MakeIo() { return MakeRecordFileDiskIo(); }
};
// Installs the host (null: the neutral host) and returns the one installed before.
IRecordFileHost* SetRecordFileHost(IRecordFileHost* host);
IRecordFileHost& RecordFileHost();

// The game's one error message line, "Error: <code>.   At: <place>.  <detail>.": the record
// files' messages and the toolbox's FormatMessageLine.
std::string ComposeErrorLine(std::string_view code, std::string_view place, std::string_view detail);

class CRecordFile {
public:
    // Own error codes.
    enum : int16_t {
        kErrNoFileObject = -2,
        kErrNoName = -3,
        kErrNotOpen = -5,
        kErrSpriteSize = -6,
        kErrMoveUp = -7,
        kErrNotItem = -8,
        kErrItemExists = -9,
        kErrNegativeLength = -10,
        kErrBadRange = -11,
        kErrRemoveMissing = -13,
        kErrNoMemory = -14,
        kErrNotFound = -16,
        kErrSpriteMissing = -18,
        kErrDamaged = -19,  // a header or directory that does not fit the file
        kErrSetAside = -20,  // a damaged file was set aside and a new one started (a notice)
    };
    // Context codes: the operation that failed.
    enum : int16_t {
        kAtOpen = -1,
        kAtClose = -2,
        kAtAdd = -3,
        kAtDetach = -5,
        kAtGet = -6,
        kAtRelease = -7,
        kAtFree = -8,
        kAtRemove = -9,
        kAtCompact = -11,
        kAtCheckOpen = -12,
        kAtHasItem = -13,
        kAtSaveSprite = -14,
        kAtLoadSprite = -15,
        kAtReleaseAll = -21,
    };
    static constexpr uint32_t kNativeTag = 0x50432020;
    static constexpr uint32_t kSwappedTag = 0x2043414D;
    static constexpr uint16_t kFlagNative = 0x8000;  // the item's data is in this program's byte order
    static constexpr uint16_t kNoPicture = 0xFFFF;
    static constexpr int kHeaderSize = 16;
    static constexpr int kEntrySize = 20;

    struct Header {
        uint32_t dataEnd = kHeaderSize;
        uint32_t dirSize = 0;
        uint32_t count = 0;
        uint32_t tag = kNativeTag;
    };
    struct Entry {
        uint16_t id = 0;
        uint16_t flags = 0;
        uint32_t type = 0;
        uint32_t offset = 0;
        uint32_t size = 0;
        HBLOCK block = nullptr;  // the loaded item, if any
    };

    // Opens or creates the file: `name`, else "Mod<module>.rsc" for modules 2000, 3000 ...
    // 6000; in the current player's folder for folder mode 1, else in the resource folder.
    // Failures are reported with `context`; the file then stays closed. A damaged file (-19)
    // is moved whole to the first free name beside it with the extension .001 ... .999 (see
    // RecordFileAsideName; an earlier one is never replaced), and a new
    // empty file is opened in its place; the user is told once (-20). Only when it cannot be
    // moved is it refused and left as it is.
    explicit CRecordFile(int16_t module, const char* name = nullptr, int16_t folderMode = 1, int16_t context = kAtOpen);
    // Compacts and closes an open file; frees every loaded item's block.
    ~CRecordFile();
    CRecordFile(const CRecordFile&) = delete;
    CRecordFile& operator=(const CRecordFile&) = delete;

    // Adds a handle-table block's bytes as a new item; the block becomes the item's loaded
    // block. -9 when the block already is an item or (type, id) exists.
    int16_t InsertItem(HBLOCK block, uint32_t type, uint16_t id);
    // Adds bytes as a new item. -9 when (type, id) exists.
    int16_t AddRawItem(uint32_t type, uint16_t id, const void* bytes, uint32_t size);
    // Adds the item, or replaces the bytes of an existing one in one step.
    int16_t ReplaceRawItem(uint32_t type, uint16_t id, const void* bytes, uint32_t size);
    // Writes a loaded item's block back: in its place when not larger, else to a hole or the end.
    int16_t WriteItem(HBLOCK block);
    // The item's loaded block, read on first use; null when missing or on an error.
    HBLOCK GetItem(uint32_t type, uint16_t id);
    // Reads up to `size` bytes of the item into the caller's buffer. -16 when missing.
    int16_t ReadItemInto(uint32_t type, uint16_t id, void* buffer, uint32_t size);
    // The entry forgets its block without freeing it; the caller owns it. -16 when unknown.
    int16_t DetachItem(HBLOCK block);
    // Frees a loaded item's block. -8 when the block is null or not an item.
    int16_t ReleaseItem(HBLOCK block);
    int16_t ReleaseAllItems();
    // Removes the item; its data becomes a hole. The file forgets the block: from then on the
    // caller owns it (may insert it again, or must free it), as after DetachItem. -13 when the
    // block is not an item.
    int16_t RemoveItem(HBLOCK block);
    // Removes every item of the type with an id from first to last in one step. Blocks loaded
    // for them become the callers' who got them from GetItem, as with RemoveItem.
    int16_t RemoveItemRange(uint32_t type, int32_t first, int32_t last);
    bool HasItem(uint32_t type, uint16_t id);
    // Moves the items together from offset 16 on and trims the file.
    int16_t Compact();
    // Stores a picture as 'sprt' id (replacing one that exists): 1, or 0 on failure.
    int SaveSprite(uint16_t picture, uint16_t id);
    // A new picture item made from 'sprt' id, or kNoPicture.
    uint16_t LoadSprite(uint16_t id);
    // 0 when open, else reports and returns -5.
    int16_t CheckOpen();
    // Shows the message for a code and a context and returns the code.
    int16_t ReportError(bool own, int16_t code, int16_t context);

    bool IsOpen() const { return m_openState == 0; }
    int16_t LastError() const { return m_lastError; }
    const std::string& FileName() const { return m_fileName; }
    int16_t Module() const { return m_module; }
    int16_t FolderMode() const { return m_folderMode; }
    const Header& GetHeader() const { return m_header; }
    // The directory in offset order.
    const std::vector<Entry>& Entries() const { return m_dir; }

    // The message text of ReportError, for a module's string lists.
    static std::string ComposeMessage(int16_t module, bool own, int16_t code, int16_t context);

private:
    int Open(const char* name, int16_t folderMode);
    int ReadDirectory();
    int Close();

    Entry* FindEntry(uint32_t type, uint16_t id);
    Entry* FindBlock(HBLOCK block);
    bool RequireOpen(int16_t context);
    int16_t Fail(int code, int16_t context);

    int FindPlace(uint32_t size, uint32_t& place);
    int AddBytes(uint32_t type, uint16_t id, const void* bytes, uint32_t size, HBLOCK block);
    int ReplaceBytes(uint32_t type, uint16_t id, const void* bytes, uint32_t size);
    int StoreBytes(uint32_t type, uint16_t id, const void* bytes, uint32_t size);
    int RemoveEntries(const std::function<bool(const Entry&)>& doomed);
    int CompactFile();
    int LoadItem(Entry& entry);
    int RetryAfterCompacting(const std::function<int()>& operation);

    // Writing in steps that each leave a valid file.
    uint64_t FindFreeRegion(uint64_t size, uint64_t low, uint64_t avoid, uint64_t avoidSize) const;
    uint64_t WorkingEnd() const;
    bool OverlapsCommitted(uint64_t offset, uint64_t size) const;
    int WriteData(uint32_t offset, const void* bytes, uint32_t size, uint64_t shadowFloor);
    int CopyData(uint32_t from, uint32_t to, uint32_t size, uint64_t shadowFloor);
    int CommitAt(uint64_t dirOffset);
    int CommitShadow(uint64_t floor);
    int CommitFinal(uint32_t dataEnd);
    void Rollback(const std::vector<Entry>& extra);
    void SortDirectory();
    int ReadExact(uint32_t offset, void* buffer, uint32_t size);

    int16_t m_lastError = 0;
    int16_t m_openState = -1;  // 0 open, -1 closed
    int16_t m_module = 0;
    int16_t m_folderMode = 0;
    std::string m_fileName;
    Header m_header;                  // as in the file now
    std::vector<Entry> m_dir;         // the directory being worked on, normally as committed
    std::vector<Entry> m_committed;   // the directory the file's header reaches now
    // Regions that a header write of unknown outcome may still reach: kept unwritten.
    std::vector<std::pair<uint64_t, uint64_t>> m_protected;
    bool m_ownsFile = false;
    bool m_setAside = false;  // Open set a damaged file aside
    std::unique_ptr<IRecordFileIo> m_io;
};
