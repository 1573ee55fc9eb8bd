#include "media/res/record_file.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "media/res/res_item_host.h"
#include "media/res/res_mgr.h"
#include "platform/afx/exceptions.h"
#include "platform/afx/message_box.h"
#include "platform/core/byte_order.h"
#include "platform/fs/dospath.h"

namespace {

using Bytes = std::vector<uint8_t>;
using Contents = std::map<std::pair<uint32_t, uint16_t>, Bytes>;

constexpr uint32_t kData = kRecordTypeData;
constexpr uint32_t kSlot = kRecordTypeSlot;
constexpr uint32_t kSprite = kRecordTypeSprite;


Bytes Pattern(size_t n, uint8_t seed) {
    Bytes b(n);
    for (size_t i = 0; i < n; ++i) b[i] = static_cast<uint8_t>(seed + i * 7);
    return b;
}

// A record file written byte by byte, so that a test can damage any field.
struct RawEntry {
    uint16_t id;
    uint16_t flags;
    uint32_t type;
    uint32_t offset;
    uint32_t size;
};
Bytes RawFile(uint32_t dataEnd, uint32_t dirSize, uint32_t count, const Bytes& data, const std::vector<RawEntry>& dir,
              uint32_t tag = CRecordFile::kNativeTag) {
    Bytes b;
    plat::AppendLe32(b, dataEnd);
    plat::AppendLe32(b, dirSize);
    plat::AppendLe32(b, count);
    plat::AppendLe32(b, tag);
    b.insert(b.end(), data.begin(), data.end());
    for (const RawEntry& e : dir) {
        plat::AppendLe16(b, e.id);
        plat::AppendLe16(b, e.flags);
        plat::AppendLe32(b, e.type);
        plat::AppendLe32(b, e.offset);
        plat::AppendLe32(b, e.size);
        plat::AppendLe32(b, 0xDEADBEEF);  // a stale memory reference
    }
    return b;
}

// Every item of an open file.
Contents ReadAll(CRecordFile& file) {
    Contents all;
    for (const CRecordFile::Entry& e : file.Entries()) {
        Bytes bytes(e.size);
        EXPECT_EQ(file.ReadItemInto(e.type, e.id, bytes.data(), e.size), 0);
        all[{e.type, e.id}] = bytes;
    }
    return all;
}

struct TestPicture {
    uint16_t width;
    uint16_t height;
    uint32_t stride;
    Bytes bits;
};

// The engine's side of both seams: string lists whose items read "<list>/<item>", a player
// folder on the emulated C: drive, and picture items kept here.
class RecordFileTest : public ::testing::Test, public IResItemHost, public IRecordFileHost {
protected:
    bool CopyListString(char* dest, size_t capacity, int32_t id, int16_t n) override {
        listModule = static_cast<int16_t>(id / 1000 * 1000);
        const std::string text = listsPresent ? std::to_string(id % 1000) + "/" + std::to_string(n) : std::string();
        if (capacity > 0) dest[text.copy(dest, capacity - 1)] = 0;
        return listsPresent;
    }
    std::string PlayerFolder() override { return playerFolder; }
    std::string ResourceFolder() override { return resourceFolder; }
    std::unique_ptr<IRecordFileIo> MakeIo() override { return makeIo ? makeIo() : MakeRecordFileDiskIo(); }
    void GetPictureSize(int16_t id, int16_t& w, int16_t& h) override {
        auto it = pictures.find(static_cast<uint16_t>(id));
        w = it == pictures.end() ? 0 : static_cast<int16_t>(it->second.width);
        h = it == pictures.end() ? 0 : static_cast<int16_t>(it->second.height);
    }
    uint16_t GetPictureAttr(int16_t id) override {
        auto it = pictures.find(static_cast<uint16_t>(id));
        return it == pictures.end() ? 0xFFFF : static_cast<uint16_t>(it->second.stride);
    }
    BYTE* LockPictureData(int16_t id) override {
        auto it = pictures.find(static_cast<uint16_t>(id));
        return it == pictures.end() ? nullptr : it->second.bits.data();
    }
    // Filled with 0xEE, so that a load shows it wrote every pixel.
    int16_t NewBlankPicture(int16_t w, int16_t h) override {
        const uint16_t id = nextPicture++;
        TestPicture& p = pictures[id] = {static_cast<uint16_t>(w), static_cast<uint16_t>(h),
                                         static_cast<uint32_t>((w + 3) & ~3), {}};
        p.bits.assign(size_t{p.stride} * p.height, 0xEE);
        return static_cast<int16_t>(id);
    }

    void SetUp() override {
        std::string pattern = (std::filesystem::temp_directory_path() / "zelbo-rec-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        tmp = pattern;
        std::filesystem::create_directories(tmp / "c" / "kids" / "Kid001");
        std::filesystem::create_directories(tmp / "c" / "res");
        plat::SetEmulatedRoot(tmp / "c");

        savedResHost = SetResItemHost(this);
        savedRecordHost = SetRecordFileHost(this);
        savedHook = plat::SetMessageBoxHook([this](LPCSTR text, UINT type, UINT) {
            messages.emplace_back(text);
            EXPECT_EQ(type & MB_TYPEMASK, static_cast<UINT>(MB_ABORTRETRYIGNORE));
            return IDRETRY;  // any answer: the operation's result stands
        });
    }

    void TearDown() override {
        SetResItemHost(savedResHost);
        SetRecordFileHost(savedRecordHost);
        plat::SetMessageBoxHook(std::move(savedHook));
        plat::ResetDriveMap();
        std::error_code ec;
        std::filesystem::remove_all(tmp, ec);
        EXPECT_EQ(HandleTableInUse(), 0) << "every item block is freed";
    }

    std::filesystem::path Host(const std::string& name = "Mod2000.rsc") const { return tmp / "c" / "kids" / "Kid001" / name; }
    Bytes FileBytes(const std::string& name = "Mod2000.rsc") const {
        std::ifstream in(Host(name), std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), {});
    }
    void WriteFile(const Bytes& bytes, const std::string& name = "Mod2000.rsc") const {
        std::ofstream(Host(name), std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                           static_cast<std::streamsize>(bytes.size()));
    }
    uint16_t AddPicture(uint16_t w, uint16_t h, uint8_t seed) {
        const uint16_t id = nextPicture++;
        TestPicture& p = pictures[id] = {w, h, static_cast<uint32_t>((w + 3) & ~3), {}};
        p.bits = Pattern(size_t{p.stride} * h, seed);
        return id;
    }
    bool SamePixels(uint16_t a, uint16_t b) const {
        const TestPicture& p = pictures.at(a);
        const TestPicture& q = pictures.at(b);
        if (p.width != q.width || p.height != q.height) return false;
        for (uint32_t y = 0; y < p.height; ++y) {
            if (std::memcmp(&p.bits[y * p.stride], &q.bits[y * q.stride], p.width) != 0) return false;
        }
        return true;
    }
    std::string TakeMessages() {
        std::string all;
        for (const std::string& m : messages) all += (all.empty() ? "" : "\n") + m;
        messages.clear();
        return all;
    }

    std::filesystem::path tmp;
    std::string resourceFolder = "C:\\res\\";
    std::string playerFolder = "C:\\kids\\Kid001";
    bool listsPresent = true;
    int16_t listModule = 0;
    std::map<uint16_t, TestPicture> pictures;
    uint16_t nextPicture = 500;
    std::function<std::unique_ptr<IRecordFileIo>()> makeIo;
    std::vector<std::string> messages;
    IResItemHost* savedResHost = nullptr;
    IRecordFileHost* savedRecordHost = nullptr;
    plat::MessageBoxHook savedHook;
};

// ---------------------------------------------------------------------------------------

TEST_F(RecordFileTest, NewFileIsExactlyTheHeader) {
    { CRecordFile file(2000); EXPECT_TRUE(file.IsOpen()); }
    EXPECT_EQ(FileBytes(), (Bytes{16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x20, 0x20, 0x43, 0x50}));
    EXPECT_EQ(TakeMessages(), "");

    // Too short to be anything: started again.
    WriteFile({1, 2, 3, 4, 5});
    { CRecordFile file(2000); EXPECT_TRUE(file.IsOpen()); }
    EXPECT_EQ(FileBytes().size(), 16u);
}

TEST_F(RecordFileTest, NamesAndFolders) {
    for (int16_t module : {2000, 3000, 4000, 5000, 6000}) {
        CRecordFile file(module);
        EXPECT_TRUE(file.IsOpen());
        EXPECT_EQ(file.FileName(), "C:\\kids\\Kid001\\Mod" + std::to_string(module) + ".rsc");
        EXPECT_TRUE(std::filesystem::exists(Host("Mod" + std::to_string(module) + ".rsc")));
    }
    {
        CRecordFile other(6000, nullptr, 0);
        EXPECT_EQ(other.FileName(), "C:\\res\\Mod6000.rsc");
        EXPECT_TRUE(std::filesystem::exists(tmp / "c" / "res" / "Mod6000.rsc"));
    }
    EXPECT_EQ(TakeMessages(), "");

    // No current player's folder: the file is not made anywhere else.
    playerFolder.clear();
    {
        CRecordFile homeless(3000, "HOMELESS.RSC");
        EXPECT_FALSE(homeless.IsOpen());
        EXPECT_EQ(TakeMessages(), "Error: 3.   At: 983/1.  982/3.");
    }
    for (const auto& e : std::filesystem::recursive_directory_iterator(tmp)) {
        EXPECT_NE(e.path().filename(), "HOMELESS.RSC") << e.path();
    }
    playerFolder = "C:\\kids\\Kid001";

    CRecordFile unnamed(7000);
    EXPECT_FALSE(unnamed.IsOpen());
    EXPECT_EQ(TakeMessages(), "Error: 3.   At: 983/1.  982/3.");
    EXPECT_EQ(unnamed.CheckOpen(), CRecordFile::kErrNotOpen);
    EXPECT_FALSE(unnamed.HasItem(kData, 1));
    EXPECT_EQ(unnamed.AddRawItem(kData, 1, "x", 1), CRecordFile::kErrNotOpen);
    EXPECT_EQ(TakeMessages(), "Error: 5.   At: 983/12.  982/5.\n"
                              "Error: 5.   At: 983/13.  982/5.\n"
                              "Error: 5.   At: 983/3.  982/5.");

    resourceFolder = "C:\\no\\such\\folder";
    CRecordFile missing(2000, nullptr, 0);
    EXPECT_FALSE(missing.IsOpen());
    EXPECT_EQ(TakeMessages().rfind("Error: 3.   At: 983/1.  982/1.", 0), 0u) << "a file cause uses item 1";
}

TEST_F(RecordFileTest, ComposedMessages) {
    struct Case {
        bool own;
        int16_t code;
        int16_t context;
        const char* text;
    };
    const Case cases[] = {
        {true, -5, -12, "Error: 5.   At: 983/12.  982/5."},
        {true, -19, -1, "Error: 19.   At: 983/1.  982/19."},
        {true, -13, -9, "Error: 13.   At: 983/9.  982/13."},  // item 13 of 982, not the disk-full text
        {false, 13, -3, "Error: 13.   At: 983/3.  988/1."},
        {true, 13, -11, "Error: 13.   At: 983/11.  988/1."},
        {false, 2, -1, "Error: 2.   At: 983/1.  982/1."},
        {false, 11, -21, "Error: 11.   At: 983/21.  982/1."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(CRecordFile::ComposeMessage(4000, c.own, c.code, c.context), c.text) << c.code;
    }
    EXPECT_EQ(listModule, 4000);
    listsPresent = false;
    EXPECT_EQ(CRecordFile::ComposeMessage(4000, true, -5, -12), "Error: 5.   At: .  .");

    CRecordFile file(3000);
    EXPECT_EQ(file.ReportError(false, 13, -14), 13);
    EXPECT_EQ(file.LastError(), 13);
    EXPECT_EQ(TakeMessages(), "Error: 13.   At: .  .");
    EXPECT_EQ(listModule, 3000);
}

TEST_F(RecordFileTest, AddRemoveCompactReturnsToSixteenBytes) {
    const Bytes item = Pattern(40, 1);
    {
        CRecordFile file(2000);
        ASSERT_EQ(file.AddRawItem(kData, 7, item.data(), 40), 0);
        EXPECT_EQ(FileBytes().size(), 16u + 40 + 20);
        HBLOCK block = file.GetItem(kData, 7);
        ASSERT_NE(block, nullptr);
        EXPECT_EQ(Bytes(static_cast<uint8_t*>(*block), static_cast<uint8_t*>(*block) + 40), item);
        EXPECT_EQ(file.RemoveItem(block), 0);
        EXPECT_GE(HandleTableFind(block), 0) << "a removed item's block stays the caller's";
        HandleTableFree(block);
        EXPECT_EQ(FileBytes().size(), 16u + 40) << "the data stays as a hole until compacted";
        EXPECT_EQ(file.Compact(), 0);
        EXPECT_EQ(FileBytes().size(), 16u);
    }
    EXPECT_EQ(FileBytes(), (Bytes{16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x20, 0x20, 0x43, 0x50}));
    EXPECT_EQ(TakeMessages(), "");
}

// A hole of `hole` bytes before an item of `kept` bytes; a new item that fits no hole is
// appended, after compacting when more than 5 % of the data area is free.
TEST_F(RecordFileTest, CompactsBeforeAppendingOnlyAboveFivePercentFree) {
    struct Case {
        uint32_t hole;
        uint32_t kept;
        bool compacts;
    };
    for (const Case c : {Case{5, 95, false}, Case{6, 95, true}, Case{50, 950, false}, Case{51, 950, true}}) {
        std::filesystem::remove(Host());
        CRecordFile file(2000);
        ASSERT_EQ(file.AddRawItem(kData, 1, Pattern(c.hole, 1).data(), c.hole), 0);
        ASSERT_EQ(file.AddRawItem(kData, 2, Pattern(c.kept, 2).data(), c.kept), 0);
        HBLOCK removed = file.GetItem(kData, 1);
        ASSERT_EQ(file.RemoveItem(removed), 0);
        HandleTableFree(removed);
        const Bytes added = Pattern(c.hole + 10, 3);
        ASSERT_EQ(file.AddRawItem(kData, 3, added.data(), c.hole + 10), 0);

        const uint32_t keptAt = c.compacts ? 16 : 16 + c.hole;
        ASSERT_EQ(file.Entries().size(), 2u);
        EXPECT_EQ(file.Entries()[0].offset, keptAt) << c.hole;
        EXPECT_EQ(file.Entries()[1].offset, keptAt + c.kept) << c.hole;
        EXPECT_EQ(file.GetHeader().dataEnd, keptAt + c.kept + c.hole + 10);
        EXPECT_EQ(FileBytes().size(), keptAt + c.kept + c.hole + 10 + 40);
        EXPECT_EQ((ReadAll(file)), (Contents{{{kData, 2}, Pattern(c.kept, 2)}, {{kData, 3}, added}}));
    }
    EXPECT_EQ(TakeMessages(), "");
}

TEST_F(RecordFileTest, ItemInAHoleResortsTheDirectory) {
    {
        CRecordFile file(2000);
        for (uint16_t id = 1; id <= 3; ++id) ASSERT_EQ(file.AddRawItem(kData, id, Pattern(100, id).data(), 100), 0);
        ASSERT_EQ(file.RemoveItemRange(kData, 1, 1), 0);
        ASSERT_EQ(file.AddRawItem(kSlot, 9, Pattern(60, 9).data(), 60), 0);
        EXPECT_EQ(file.GetHeader().dataEnd, 316u) << "a hole does not move the data end";
    }
    // Compaction at close moved things together; the directory on disk is in offset order.
    const Bytes bytes = FileBytes();
    ASSERT_EQ(bytes.size(), 16u + 260 + 60);
    const uint32_t dataEnd = plat::GetLe32(bytes, 0);
    EXPECT_EQ(dataEnd, 276u);
    const uint32_t types[] = {kSlot, kData, kData};
    const uint32_t offsets[] = {16, 76, 176};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(plat::GetLe32(bytes, dataEnd + 20 * i + 4), types[i]);
        EXPECT_EQ(plat::GetLe32(bytes, dataEnd + 20 * i + 8), offsets[i]);
        EXPECT_EQ(plat::GetLe32(bytes, dataEnd + 20 * i + 16), 0u) << "no memory address is written";
    }
    // Before closing, directly after the insertion.
    std::filesystem::remove(Host());
    CRecordFile file(2000);
    for (uint16_t id = 1; id <= 3; ++id) ASSERT_EQ(file.AddRawItem(kData, id, Pattern(100, id).data(), 100), 0);
    ASSERT_EQ(file.RemoveItemRange(kData, 1, 1), 0);
    ASSERT_EQ(file.AddRawItem(kSlot, 9, Pattern(60, 9).data(), 60), 0);
    const Bytes open = FileBytes();
    ASSERT_EQ(open.size(), 316u + 60);
    EXPECT_EQ(plat::GetLe32(open, 316 + 4), kSlot);
    EXPECT_EQ(plat::GetLe32(open, 316 + 8), 16u);
    EXPECT_EQ(plat::GetLe32(open, 316 + 20 + 8), 116u);
    EXPECT_EQ(plat::GetLe32(open, 316 + 40 + 8), 216u);
}

TEST_F(RecordFileTest, GrowingMovesShrinkingKeepsPlace) {
    auto file = std::make_unique<CRecordFile>(2000);
    ASSERT_EQ(file->AddRawItem(kData, 1, Pattern(100, 1).data(), 100), 0);
    ASSERT_EQ(file->AddRawItem(kData, 2, Pattern(100, 2).data(), 100), 0);
    ASSERT_EQ(file->AddRawItem(kData, 3, Pattern(2000, 3).data(), 2000), 0);

    HBLOCK one = file->GetItem(kData, 1);
    ASSERT_EQ(HandleTableResize(one, 40), 0);
    std::memcpy(*one, Pattern(40, 11).data(), 40);
    ASSERT_EQ(file->WriteItem(one), 0);
    EXPECT_EQ(file->Entries()[0].offset, 16u);
    EXPECT_EQ(file->Entries()[0].size, 40u);

    // Item 2 grows: the 60-byte hole that item 1 left is too small, so it goes to the end.
    HBLOCK two = file->GetItem(kData, 2);
    ASSERT_EQ(HandleTableResize(two, 150), 0);
    std::memcpy(*two, Pattern(150, 12).data(), 150);
    ASSERT_EQ(file->WriteItem(two), 0);
    const CRecordFile::Entry* e2 = nullptr;
    for (const auto& e : file->Entries()) {
        if (e.id == 2) e2 = &e;
    }
    ASSERT_NE(e2, nullptr);
    EXPECT_EQ(e2->offset, 16u + 100 + 100 + 2000) << "fits no hole: appended";

    // Now the old place of item 2 with the hole before it (60 + 100) takes a grown item 1.
    ASSERT_EQ(HandleTableResize(one, 150), 0);
    std::memcpy(*one, Pattern(150, 13).data(), 150);
    ASSERT_EQ(file->WriteItem(one), 0);
    EXPECT_EQ(file->Entries()[0].id, 1);
    EXPECT_EQ(file->Entries()[0].offset, 56u) << "first fit: the hole after its old place";
    EXPECT_EQ(file->Entries()[0].flags, CRecordFile::kFlagNative);

    const Contents expected{{{kData, 1}, Pattern(150, 13)}, {{kData, 2}, Pattern(150, 12)}, {{kData, 3}, Pattern(2000, 3)}};
    EXPECT_EQ(ReadAll(*file), expected);
    file.reset();
    CRecordFile again(2000);
    EXPECT_EQ(ReadAll(again), expected);
    EXPECT_EQ(TakeMessages(), "");
}

TEST_F(RecordFileTest, ItemBlocksAndTheirErrors) {
    CRecordFile file(5000);
    HBLOCK mine = HandleTableNew(8);
    std::memcpy(*mine, "12345678", 8);
    ASSERT_EQ(file.InsertItem(mine, kSlot, 1), 0);
    EXPECT_EQ(file.GetItem(kSlot, 1), mine) << "an inserted block is the loaded item";
    EXPECT_EQ(file.InsertItem(mine, kSlot, 2), CRecordFile::kErrItemExists);
    HBLOCK other = HandleTableNew(2);
    EXPECT_EQ(file.InsertItem(other, kSlot, 1), CRecordFile::kErrItemExists);
    EXPECT_EQ(file.AddRawItem(kSlot, 1, "ab", 2), CRecordFile::kErrItemExists);
    EXPECT_EQ(file.ReleaseItem(other), CRecordFile::kErrNotItem);
    EXPECT_EQ(file.ReleaseItem(nullptr), CRecordFile::kErrNotItem);
    EXPECT_EQ(file.DetachItem(other), CRecordFile::kErrNotFound);
    EXPECT_EQ(file.RemoveItem(other), CRecordFile::kErrRemoveMissing);
    EXPECT_EQ(file.RemoveItemRange(kSlot, -1, 3), CRecordFile::kErrBadRange);
    EXPECT_EQ(file.RemoveItemRange(kSlot, 3, 2), CRecordFile::kErrBadRange);
    EXPECT_EQ(file.ReadItemInto(kSlot, 99, nullptr, 0), CRecordFile::kErrNotFound);
    EXPECT_EQ(file.GetItem(kSlot, 99), nullptr);
    EXPECT_EQ(TakeMessages(), "Error: 9.   At: 983/3.  982/9.\n"
                              "Error: 9.   At: 983/3.  982/9.\n"
                              "Error: 9.   At: 983/3.  982/9.\n"
                              "Error: 8.   At: 983/7.  982/8.\n"
                              "Error: 8.   At: 983/7.  982/8.\n"
                              "Error: 16.   At: 983/5.  982/16.\n"
                              "Error: 13.   At: 983/9.  982/13.\n"
                              "Error: 11.   At: 983/9.  982/11.\n"
                              "Error: 11.   At: 983/9.  982/11.\n"
                              "Error: 16.   At: 983/6.  982/16.");

    char part[4] = {};
    EXPECT_EQ(file.ReadItemInto(kSlot, 1, part, 3), 0);
    EXPECT_STREQ(part, "123") << "never more than the buffer holds";

    EXPECT_EQ(file.DetachItem(mine), 0);
    HBLOCK fresh = file.GetItem(kSlot, 1);
    EXPECT_NE(fresh, mine) << "a detached block is the caller's; the item loads anew";
    HandleTableFree(mine);
    EXPECT_EQ(file.ReleaseItem(fresh), 0);
    EXPECT_EQ(HandleTableFind(fresh), -1);

    for (uint16_t id = 2; id <= 6; ++id) ASSERT_EQ(file.AddRawItem(kSlot, id, &id, 2), 0);
    HBLOCK four = file.GetItem(kSlot, 4);
    HBLOCK two = file.GetItem(kSlot, 2);
    ASSERT_NE(four, nullptr);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(file.RemoveItemRange(kSlot, 2, 4), 0);
    EXPECT_EQ(file.Entries().size(), 3u);
    // The removed items' blocks are the caller's now, intact.
    EXPECT_EQ(*static_cast<uint16_t*>(HandleTableDeref(four)), 4);
    EXPECT_EQ(*static_cast<uint16_t*>(HandleTableDeref(two)), 2);
    HandleTableFree(four);
    HandleTableFree(two);
    EXPECT_TRUE(file.HasItem(kSlot, 1));
    EXPECT_FALSE(file.HasItem(kSlot, 3));
    EXPECT_TRUE(file.HasItem(kSlot, 5));
    HBLOCK six = file.GetItem(kSlot, 6);
    ASSERT_NE(six, nullptr);
    EXPECT_EQ(file.ReplaceRawItem(kSlot, 6, "sexa", 4), 0);
    EXPECT_EQ(HandleTableFind(six), -1) << "a block of the old bytes goes";
    EXPECT_EQ(file.ReplaceRawItem(kSlot, 7, "sju", 3), 0) << "or adds";
    char word[5] = {};
    EXPECT_EQ(file.ReadItemInto(kSlot, 6, word, 4), 0);
    EXPECT_STREQ(word, "sexa");
    ASSERT_NE(file.GetItem(kSlot, 7), nullptr);
    EXPECT_EQ(file.ReleaseAllItems(), 0);
    HandleTableFree(other);
    EXPECT_EQ(HandleTableInUse(), 0);
    EXPECT_EQ(TakeMessages(), "");
}

// Removing forgets the entry and leaves the block with the caller, who may insert it again
// (the record panel's remove-then-add) and frees it in the end.
TEST_F(RecordFileTest, RemovedBlockIsTheCallersToInsertAgain) {
    struct Case {
        const char* what;
        std::function<int16_t(CRecordFile&, HBLOCK)> remove;
    };
    const Case cases[] = {
        {"RemoveItem", [](CRecordFile& f, HBLOCK b) { return f.RemoveItem(b); }},
        {"RemoveItemRange", [](CRecordFile& f, HBLOCK) { return f.RemoveItemRange(kSlot, 3, 3); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::filesystem::remove(Host("Mod3000.rsc"));
        CRecordFile file(3000);
        ASSERT_EQ(file.AddRawItem(kSlot, 3, "first", 5), 0);
        ASSERT_EQ(file.AddRawItem(kSlot, 4, "other", 5), 0);
        HBLOCK block = file.GetItem(kSlot, 3);
        ASSERT_NE(block, nullptr);
        ASSERT_EQ(c.remove(file, block), 0);
        EXPECT_FALSE(file.HasItem(kSlot, 3));
        ASSERT_GE(HandleTableFind(block), 0) << "the block still exists";
        std::memcpy(HandleTableDeref(block), "again", 5);
        ASSERT_EQ(file.InsertItem(block, kSlot, 3), 0);
        EXPECT_EQ(file.GetItem(kSlot, 3), block);
        char back[6] = {};
        EXPECT_EQ(file.ReadItemInto(kSlot, 3, back, 5), 0);
        EXPECT_STREQ(back, "again");

        // Removed again and freed by its owner: the file's other blocks are untouched.
        HBLOCK other = file.GetItem(kSlot, 4);
        ASSERT_EQ(file.RemoveItem(block), 0);
        HandleTableFree(block);
        EXPECT_EQ(file.GetItem(kSlot, 4), other);
        EXPECT_EQ(std::memcmp(HandleTableDeref(other), "other", 5), 0);
        EXPECT_EQ(TakeMessages(), "");
    }
}

TEST_F(RecordFileTest, PicturesRoundTripAndReplaceInOneStep) {
    CRecordFile file(6000);
    const uint16_t first = AddPicture(37, 5, 1);
    ASSERT_EQ(file.SaveSprite(first, 3), 1);
    const uint16_t back = file.LoadSprite(3);
    ASSERT_NE(back, CRecordFile::kNoPicture);
    EXPECT_TRUE(SamePixels(first, back));

    const uint16_t second = AddPicture(640, 2, 2);
    ASSERT_EQ(file.SaveSprite(second, 3), 1);
    EXPECT_EQ(file.Entries().size(), 1u);
    EXPECT_TRUE(SamePixels(second, file.LoadSprite(3)));
    EXPECT_EQ(HandleTableInUse(), 0) << "loading releases the item's block";
    EXPECT_EQ(TakeMessages(), "");

    EXPECT_EQ(file.LoadSprite(4), CRecordFile::kNoPicture);
    EXPECT_EQ(file.SaveSprite(9999, 4), 0) << "no such picture";
    const uint16_t tooWide = AddPicture(641, 1, 3);
    EXPECT_EQ(file.SaveSprite(tooWide, 4), 0);
    EXPECT_FALSE(file.HasItem(kSprite, 4));
    EXPECT_EQ(TakeMessages(), "Error: 18.   At: 983/15.  982/18.\n"
                              "Error: 6.   At: 983/14.  982/6.\n"
                              "Error: 6.   At: 983/14.  982/6.");
}

TEST_F(RecordFileTest, DamagedPictureItemsAreRefused) {
    struct Case {
        const char* what;
        Bytes item;
    };
    const auto sprite = [](uint16_t w, uint16_t h, size_t pixels) {
        Bytes b(4 + pixels, 0x33);
        b[0] = static_cast<uint8_t>(w);
        b[1] = static_cast<uint8_t>(w >> 8);
        b[2] = static_cast<uint8_t>(h);
        b[3] = static_cast<uint8_t>(h >> 8);
        return b;
    };
    const Case cases[] = {
        {"641 x 1", sprite(641, 1, 641)},
        {"1 x 481", sprite(1, 481, 481)},
        {"0 x 5", sprite(0, 5, 0)},
        {"short", sprite(10, 10, 99)},
        {"no size", Bytes{7, 0}},
    };
    CRecordFile file(6000);
    uint16_t id = 1;
    for (const Case& c : cases) {
        ASSERT_EQ(file.AddRawItem(kSprite, id, c.item.data(), static_cast<uint32_t>(c.item.size())), 0);
        EXPECT_EQ(file.LoadSprite(id), CRecordFile::kNoPicture) << c.what;
        EXPECT_EQ(TakeMessages(), "Error: 6.   At: 983/15.  982/6.") << c.what;
        ++id;
    }
    EXPECT_EQ(pictures.size(), 0u) << "no picture item is made for a refused one";
}

// A file from the other byte order: the header words reversed; item data too unless the
// entry's flag says it was written here.
TEST_F(RecordFileTest, OtherByteOrderHeaderReads) {
    const auto swapped = [](uint32_t v) { return (v >> 24) | ((v >> 8) & 0xFF00) | ((v << 8) & 0xFF0000) | (v << 24); };
    Bytes data{0, 3, 0, 2};  // 'sprt' 3 x 2, big-endian sizes
    for (uint8_t p = 1; p <= 6; ++p) data.push_back(p);
    const Bytes note{'h', 'e', 'j'};
    data.insert(data.end(), note.begin(), note.end());
    const std::vector<RawEntry> dir{{5, 0, kSprite, 16, 10}, {1, 0, kData, 26, 3}};
    WriteFile(RawFile(swapped(29), swapped(40), swapped(2), data, dir, 0x2043414D));
    {
        CRecordFile file(2000);
        ASSERT_TRUE(file.IsOpen()) << TakeMessages();
        EXPECT_EQ(file.GetHeader().dataEnd, 29u);
        const uint16_t picture = file.LoadSprite(5);
        ASSERT_NE(picture, CRecordFile::kNoPicture);
        const TestPicture& p = pictures.at(picture);
        EXPECT_EQ(p.width, 3);
        EXPECT_EQ(p.height, 2);
        EXPECT_EQ(p.bits[0], 1);
        EXPECT_EQ(p.bits[p.stride + 2], 6);
        HBLOCK text = file.GetItem(kData, 1);
        ASSERT_NE(text, nullptr);
        EXPECT_EQ(std::memcmp(*text, "hej", 3), 0);
        ASSERT_EQ(file.AddRawItem(kData, 2, "x", 1), 0);
    }
    const Bytes after = FileBytes();
    EXPECT_EQ(plat::GetLe32(after, 12), CRecordFile::kNativeTag) << "rewritten in this program's order";
    CRecordFile again(2000);
    EXPECT_EQ(again.Entries().size(), 3u);
    EXPECT_EQ(TakeMessages(), "");
}

TEST_F(RecordFileTest, DamagedFilesAreSetAsideAndANewOneStarts) {
    const Bytes data = Pattern(40, 5);  // offsets 16 .. 56
    const RawEntry a{1, 0x8000, kData, 16, 20};
    const RawEntry b{2, 0x8000, kData, 36, 20};
    struct Case {
        const char* what;
        Bytes file;
    };
    const Case cases[] = {
        {"data end inside the header", RawFile(8, 40, 2, data, {a, b})},
        {"directory past the end", RawFile(60, 40, 2, data, {a, b})},
        {"size not 20 x entries", RawFile(56, 40, 3, data, {a, b})},
        {"entries overflow 32 bits", RawFile(56, 4, 0x0CCCCCCD, data, {a, b})},
        {"huge directory size", RawFile(56, 0xFFFFFFEC, 0x0CCCCCCB, data, {a, b})},
        {"item before the data", RawFile(56, 40, 2, data, {{1, 0, kData, 4, 20}, b})},
        {"item past data end", RawFile(56, 40, 2, data, {a, {2, 0, kData, 50, 20}})},
        {"item end overflows", RawFile(56, 40, 2, data, {a, {2, 0, kData, 0xFFFFFFF0, 0x20}})},
        {"overlapping items", RawFile(56, 40, 2, data, {a, {2, 0, kData, 30, 20}})},
        {"the same item twice", RawFile(56, 40, 2, data, {a, {1, 0, kData, 36, 20}})},
    };
    // Every damaged file of the table lands in the same folder: each takes the next free name,
    // none replaces an earlier one.
    const auto AsideName = [](size_t n) {
        const std::string digits = std::to_string(n);
        return "Mod2000." + std::string(3 - digits.size(), '0') + digits;
    };
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        const std::string aside = AsideName(i + 1);
        WriteFile(c.file);
        {
            CRecordFile file(2000);
            ASSERT_TRUE(file.IsOpen()) << c.what;
            EXPECT_EQ(TakeMessages(), "Error: 20.   At: 983/1.  982/20.") << c.what << ": told once";
            EXPECT_TRUE(file.Entries().empty()) << c.what;
            EXPECT_EQ(file.AddRawItem(kData, 3, "new", 3), 0) << c.what;
            EXPECT_EQ(TakeMessages(), "") << c.what << ": the new file works without a word";
        }
        EXPECT_EQ(FileBytes(aside), c.file) << c.what << ": set aside whole";
        CRecordFile again(2000);
        EXPECT_EQ(ReadAll(again), (Contents{{{kData, 3}, Bytes{'n', 'e', 'w'}}})) << c.what;
        EXPECT_EQ(TakeMessages(), "") << c.what;
    }
    for (size_t i = 0; i < std::size(cases); ++i) {
        EXPECT_EQ(FileBytes(AsideName(i + 1)), cases[i].file) << cases[i].what << ": still there, unchanged";
    }

    // The same layout undamaged opens, unsorted directory and all.
    WriteFile(RawFile(56, 40, 2, data, {b, a}));
    CRecordFile file(2000);
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(file.Entries()[0].id, 1);
    EXPECT_EQ(TakeMessages(), "");
}

// Where a damaged file cannot be moved (here a file kind that cannot set aside), it is
// refused and left untouched, as a whole.
TEST_F(RecordFileTest, DamagedFileThatCannotMoveIsRefused) {
    const Bytes damaged = RawFile(8, 0, 0, {}, {});
    auto image = std::make_shared<Bytes>(damaged);
    makeIo = [image] { return std::make_unique<CRecordFileMemoryIo>(image); };
    {
        CRecordFile file(2000);
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(TakeMessages(), "Error: 19.   At: 983/1.  982/19.");
        EXPECT_EQ(file.AddRawItem(kData, 3, "x", 1), CRecordFile::kErrNotOpen);
        TakeMessages();
    }
    EXPECT_EQ(*image, damaged);
}

TEST(RecordFileAsideName, NumbersTheExtension) {
    EXPECT_EQ(RecordFileAsideName("C:\\kids\\Kid001\\Mod2000.rsc", 1), "C:\\kids\\Kid001\\Mod2000.001");
    EXPECT_EQ(RecordFileAsideName("C:\\a.b\\Mod3000.rsc", 999), "C:\\a.b\\Mod3000.999");
    EXPECT_EQ(RecordFileAsideName("NONAME", 12), "NONAME.012");
}

// The real disk is full: the header of a new file cannot be written.
TEST_F(RecordFileTest, FullDiskAtCreationIsReported) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    resourceFolder = "Z:\\dev";
    CRecordFile file(2000, "full", 0);
    EXPECT_FALSE(file.IsOpen());
    EXPECT_EQ(TakeMessages(), "Error: 13.   At: 983/1.  988/1.");
}

// The texts the modules carry for every code and context: string lists 982, 983 and 988 of a
// built activity module (Windows-1252).
TEST_F(RecordFileTest, EveryCodeHasItsText) {
    CResMgr mgr;
    ASSERT_TRUE(mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo2.res").c_str()));
    std::map<int, std::vector<std::string>> lists;
    for (int id : {982, 983, 988}) {
        ResDirEntry* e = mgr.FindEntry(kResIST, static_cast<uint32_t>(2000 + id));
        ASSERT_NE(e, nullptr) << id;
        Bytes item(e->size);
        e->readPos = 0;
        ASSERT_TRUE(mgr.LoadItem(item.data(), e, e->size)) << id;
        ASSERT_GE(item.size(), 2u);
        for (auto at = item.begin() + 2; at < item.end();) {
            const auto zero = std::find(at, item.end(), 0);
            lists[id].emplace_back(at, zero);
            ASSERT_FALSE(lists[id].back().empty()) << id << " item " << lists[id].size();
            at = zero == item.end() ? zero : zero + 1;
        }
    }
    for (int code : {-2, -3, -5, -6, -7, -8, -9, -10, -11, -13, -14, -16, -18, -19, -20}) {
        EXPECT_LE(static_cast<size_t>(-code), lists[982].size()) << code;
    }
    for (int context : {-1, -2, -3, -5, -6, -7, -8, -9, -11, -12, -13, -14, -15, -21}) {
        EXPECT_LE(static_cast<size_t>(-context), lists[983].size()) << context;
    }
    ASSERT_EQ(lists[988].size(), 1u);

    // A resource host that serves these lists.
    struct Texts : IResItemHost {
        std::map<int, std::vector<std::string>>* lists = nullptr;
        bool CopyListString(char* dest, size_t capacity, int32_t id, int16_t n) override {
            const auto& l = (*lists)[id % 1000];
            const std::string text = n >= 1 && static_cast<size_t>(n) <= l.size() ? l[n - 1] : std::string();
            if (capacity > 0) dest[text.copy(dest, capacity - 1)] = 0;
            return !text.empty();
        }
    } texts;
    texts.lists = &lists;
    IResItemHost* saved = SetResItemHost(&texts);
    EXPECT_EQ(CRecordFile::ComposeMessage(2000, true, -19, -1),
              "Error: 19.   At: \xF6ppna filen.  Filen \xE4r skadad och anv\xE4nds inte. Den l\xE4mnas or\xF6rd.");
    EXPECT_EQ(CRecordFile::ComposeMessage(2000, false, 13, -3),
              "Error: 13.   At: spara i filen.  Disken \xE4r full. Ta bort filer som inte beh\xF6vs och f\xF6rs\xF6k igen.");
    SetResItemHost(saved);
}

// ---------------------------------------------------------------------------------------
// Failures in the middle of a change.
//
// CFaultDisk acts as a disk with an operating-system cache: writes and truncations wait in
// the cache until a flush puts them on the disk. A chosen step (a write, flush or
// truncation) fails, as an I/O error or a full disk, and may end the process: then only some
// of the cached writes reach the disk, in any order, and a failing write may leave its
// first whole 512-byte sectors.

struct FaultPlan {
    int failAt = 0;  // 1-based step; 0 never
    int cause = CFileException::hardIO;
    bool crash = false;
    bool torn = false;  // the failing write leaves all but its last sector
    int keep = 0;       // on a crash, the cached writes that reach the disk: 0 none, 1 all,
                        // 2 every other from the first, 3 every other from the second, 4 the last
    bool forGood = false;  // every step from failAt on fails
    int crashAt = 0;       // a later step at which the process ends as well
};

class CFaultDisk {
public:
    // A cached write, or a truncation when `bytes` is empty and `length` is set.
    struct Change {
        uint32_t offset = 0;
        Bytes bytes;
        bool truncate = false;
    };

    explicit CFaultDisk(Bytes image, FaultPlan plan = {}) : durable(std::move(image)), plan(plan) {}

    static void Apply(Bytes& image, const Change& c) {
        if (c.truncate) {
            image.resize(c.offset);
            return;
        }
        if (c.offset + c.bytes.size() > image.size()) image.resize(c.offset + c.bytes.size());
        std::copy(c.bytes.begin(), c.bytes.end(), image.begin() + c.offset);
    }
    Bytes View() const {
        Bytes v = durable;
        for (const Change& c : cache) Apply(v, c);
        return v;
    }
    void Settle() {
        durable = View();
        cache.clear();
    }
    // A mutating step: 0 to go on, else the cause of the planned failure.
    int Step(const uint8_t* bytes = nullptr, uint32_t offset = 0, uint32_t count = 0) {
        if (dead) return CFileException::hardIO;
        ++steps;
        const bool fails = plan.failAt != 0 && (steps == plan.failAt || (plan.forGood && steps > plan.failAt));
        const bool ends = plan.crashAt != 0 && steps == plan.crashAt;
        if (!fails && !ends) return 0;
        if (bytes != nullptr && plan.torn) {
            const uint32_t end = (offset + count - 1) / 512 * 512;
            if (end > offset) cache.push_back({offset, Bytes(bytes, bytes + (end - offset)), false});
        }
        if (plan.crash || ends) {
            for (size_t i = 0; i < cache.size(); ++i) {
                const bool reaches = plan.keep == 1 || (plan.keep == 2 && i % 2 == 0) ||
                                     (plan.keep == 3 && i % 2 == 1) || (plan.keep == 4 && i + 1 == cache.size());
                if (reaches) Apply(durable, cache[i]);
            }
            cache.clear();
            dead = true;
        }
        return plan.cause;
    }

    Bytes durable;
    std::vector<Change> cache;
    FaultPlan plan;
    int steps = 0;
    bool dead = false;
};

class CFaultIo : public IRecordFileIo {
public:
    explicit CFaultIo(std::shared_ptr<CFaultDisk> disk) : m_disk(std::move(disk)) {}
    int Open(const std::string&) override { return m_disk->dead ? CFileException::hardIO : 0; }
    int GetLength(uint32_t& length) override {
        if (m_disk->dead) return CFileException::hardIO;
        length = static_cast<uint32_t>(m_disk->View().size());
        return 0;
    }
    int ReadAt(uint32_t offset, void* buffer, uint32_t count, uint32_t& read) override {
        read = 0;
        if (m_disk->dead) return CFileException::hardIO;
        const Bytes v = m_disk->View();
        if (offset < v.size()) {
            read = std::min<uint32_t>(count, static_cast<uint32_t>(v.size() - offset));
            std::memcpy(buffer, v.data() + offset, read);
        }
        return 0;
    }
    int WriteAt(uint32_t offset, const void* bytes, uint32_t count) override {
        const auto* p = static_cast<const uint8_t*>(bytes);
        if (const int cause = m_disk->Step(p, offset, count)) return cause;
        m_disk->cache.push_back({offset, Bytes(p, p + count), false});
        return 0;
    }
    int SetLength(uint32_t length) override {
        if (const int cause = m_disk->Step()) return cause;
        m_disk->cache.push_back({length, {}, true});
        return 0;
    }
    int Flush() override {
        if (const int cause = m_disk->Step()) return cause;
        m_disk->Settle();
        return 0;
    }
    int Close() override {
        if (!m_disk->dead) m_disk->Settle();  // the cache reaches the disk in the end
        return 0;
    }

private:
    std::shared_ptr<CFaultDisk> m_disk;
};

struct Scenario {
    const char* name;
    std::function<void(CRecordFile&)> setUp;
    std::function<int(CRecordFile&)> change;
};

class RecordFileFaults : public RecordFileTest {
protected:
    // Runs `body` on a record file over `disk`.
    void With(const std::shared_ptr<CFaultDisk>& disk, const std::function<void(CRecordFile&)>& body) {
        makeIo = [disk] { return std::make_unique<CFaultIo>(disk); };
        {
            CRecordFile file(2000);
            body(file);
        }
        makeIo = nullptr;
    }
    // The items of an image; fails the test when the image does not open cleanly.
    Contents Read(const Bytes& image, const std::string& what) {
        auto disk = std::make_shared<CFaultDisk>(image);
        Contents all;
        With(disk, [&](CRecordFile& file) {
            EXPECT_TRUE(file.IsOpen()) << what;
            all = ReadAll(file);
        });
        const std::string shown = TakeMessages();
        EXPECT_EQ(shown, "") << what;
        return all;
    }
    void Run(const Scenario& s) {
        auto start = std::make_shared<CFaultDisk>(Bytes{});
        With(start, s.setUp);
        ASSERT_EQ(TakeMessages(), "") << s.name;
        const Bytes initial = start->durable;
        const Contents before = Read(initial, s.name);

        auto clean = std::make_shared<CFaultDisk>(initial);
        int cleanCode = -1;
        With(clean, [&](CRecordFile& file) { cleanCode = s.change(file); });
        ASSERT_EQ(cleanCode, 0) << s.name << TakeMessages();
        const int steps = clean->steps;
        const Contents after = Read(clean->durable, s.name);
        ASSERT_NE(before, after) << s.name;

        std::vector<FaultPlan> plans;
        for (int step = 1; step <= steps; ++step) {
            for (int cause : {static_cast<int>(CFileException::hardIO), static_cast<int>(CFileException::diskFull)}) {
                plans.push_back({step, cause, false, false, 0});
                plans.push_back({step, cause, false, true, 0});
            }
            for (int keep = 0; keep <= 4; ++keep) {
                plans.push_back({step, CFileException::hardIO, true, false, keep});
                plans.push_back({step, CFileException::hardIO, true, true, keep});
            }
            // An error the program goes on from, then the end a little later.
            for (int later = 1; later <= 6; ++later) {
                for (int keep : {0, 3, 4}) plans.push_back({step, CFileException::hardIO, false, false, keep, false, step + later});
            }
        }
        const Bytes marker{'m', 'k'};
        for (const FaultPlan& plan : plans) {
            const bool ends = plan.crash || plan.crashAt != 0;
            const std::string what = std::string(s.name) + " step " + std::to_string(plan.failAt) +
                                     (plan.crashAt ? " then crash at " + std::to_string(plan.crashAt) + " keep " + std::to_string(plan.keep) : "") +
                                     (plan.crash ? " crash keep " + std::to_string(plan.keep) : " cause " + std::to_string(plan.cause)) +
                                     (plan.torn ? " torn" : "");
            auto disk = std::make_shared<CFaultDisk>(initial, plan);
            int code = -1;
            int markerCode = -1;
            With(disk, [&](CRecordFile& file) {
                code = s.change(file);
                if (ends) return;
                // The same object goes on working after a failure it survived.
                const bool failedInChange = disk->steps >= plan.failAt;
                markerCode = file.AddRawItem(kData, 999, marker.data(), 2);
                if (failedInChange) {
                    EXPECT_EQ(markerCode, 0) << what;
                }
            });
            TakeMessages();
            const Contents found = Read(disk->durable, what);
            if (ends) {
                EXPECT_TRUE(found == before || found == after) << what;
                continue;
            }
            Contents expected = code == 0 ? after : before;
            if (markerCode == 0) expected[{kData, 999}] = marker;
            EXPECT_EQ(found, expected) << what << " code " << code;
            if (::testing::Test::HasFailure()) return;
        }
    }
};

TEST_F(RecordFileFaults, EveryStepOfEveryChangeLeavesOldOrNew) {
    const auto base = [](CRecordFile& f) {
        ASSERT_EQ(f.AddRawItem(kData, 1, Pattern(30, 1).data(), 30), 0);
        ASSERT_EQ(f.AddRawItem(kData, 2, Pattern(700, 2).data(), 700), 0);
        ASSERT_EQ(f.AddRawItem(kSlot, 1, Pattern(50, 3).data(), 50), 0);
    };
    const auto rewrite = [](uint16_t id, uint32_t size, uint8_t seed) {
        return [=](CRecordFile& f) {
            HBLOCK b = f.GetItem(kData, id);
            if (b == nullptr || HandleTableResize(b, size) != 0) return -100;
            std::memcpy(*b, Pattern(size, seed).data(), size);
            return static_cast<int>(f.WriteItem(b));
        };
    };
    const Scenario scenarios[] = {
        {"append", base, [](CRecordFile& f) { return static_cast<int>(f.AddRawItem(kData, 9, Pattern(600, 9).data(), 600)); }},
        {"into a hole",
         [&](CRecordFile& f) {
             base(f);
             ASSERT_EQ(f.RemoveItemRange(kData, 1, 1), 0);
         },
         [](CRecordFile& f) { return static_cast<int>(f.AddRawItem(kData, 9, Pattern(20, 9).data(), 20)); }},
        {"compact then append",
         [&](CRecordFile& f) {
             base(f);
             ASSERT_EQ(f.RemoveItemRange(kData, 2, 2), 0);
         },
         [](CRecordFile& f) { return static_cast<int>(f.AddRawItem(kData, 9, Pattern(800, 9).data(), 800)); }},
        {"grow", base, rewrite(1, 100, 21)},
        {"shrink", base, rewrite(2, 300, 22)},
        {"remove", base,
         [](CRecordFile& f) {
             HBLOCK block = f.GetItem(kSlot, 1);
             const int code = f.RemoveItem(block);
             // Once the file has forgotten the item, its block is ours to free.
             if (!f.HasItem(kSlot, 1)) HandleTableFree(block);
             return code;
         }},
        {"remove range",
         [&](CRecordFile& f) {
             base(f);
             ASSERT_EQ(f.AddRawItem(kData, 4, "four", 4), 0);
         },
         [](CRecordFile& f) { return static_cast<int>(f.RemoveItemRange(kData, 1, 4)); }},
        {"compact over itself",
         [&](CRecordFile& f) {
             base(f);
             ASSERT_EQ(f.RemoveItemRange(kData, 1, 1), 0);
         },
         [](CRecordFile& f) {
             // Removing the slot leaves more than 5 % free; the close compacts, moving item
             // 2 (700 bytes) down by 30 onto its own bytes.
             return static_cast<int>(f.RemoveItemRange(kSlot, 1, 1));
         }},
        {"replace picture",
         [&](CRecordFile& f) {
             base(f);
             ASSERT_EQ(f.AddRawItem(kSprite, 7, Bytes{2, 0, 2, 0, 1, 2, 3, 4}.data(), 8), 0);
         },
         [this](CRecordFile& f) { return f.SaveSprite(AddPicture(30, 20, 40), 7) == 1 ? 0 : -100; }},
    };
    for (const Scenario& s : scenarios) {
        Run(s);
        if (HasFailure()) return;
    }
}

// A full disk once: the change is retried after compacting, and succeeds.
TEST_F(RecordFileFaults, DiskFullOnceCompactsAndRetries) {
    auto disk = std::make_shared<CFaultDisk>(Bytes{});
    std::vector<uint32_t> offsets;
    With(disk, [&](CRecordFile& f) {
        for (uint16_t id = 1; id <= 20; ++id) {
            ASSERT_EQ(f.AddRawItem(kData, id, Pattern(100, static_cast<uint8_t>(id)).data(), 100), 0);
        }
        ASSERT_EQ(f.RemoveItemRange(kData, 1, 1), 0);  // 100 of 2000 bytes free: 5 %, not compacted
        ASSERT_EQ(f.GetHeader().dataEnd, 2016u);
        disk->plan = {disk->steps + 1, CFileException::diskFull, false, false, 0};
        EXPECT_EQ(f.AddRawItem(kData, 50, Pattern(300, 50).data(), 300), 0);
        EXPECT_GT(disk->steps, disk->plan.failAt) << "the full disk was met";
        for (const auto& e : f.Entries()) offsets.push_back(e.offset);
    });
    EXPECT_EQ(TakeMessages(), "") << "a retry that works reports nothing";
    ASSERT_EQ(offsets.size(), 20u);
    for (size_t i = 0; i < offsets.size(); ++i) EXPECT_EQ(offsets[i], 16 + 100 * i) << "compacted before the retry";
    const Contents found = Read(disk->durable, "after retry");
    EXPECT_EQ(found.at({kData, 50}), Pattern(300, 50));
    EXPECT_EQ(found.size(), 20u);
}

// Full for good: reported with the disk-full text, and the file keeps what it had.
TEST_F(RecordFileFaults, DiskFullForGoodIsReportedAndChangesNothing) {
    auto disk = std::make_shared<CFaultDisk>(Bytes{});
    With(disk, [](CRecordFile& f) { ASSERT_EQ(f.AddRawItem(kData, 1, "one", 3), 0); });
    disk->plan = {disk->steps + 1, CFileException::diskFull, false, false, 0, true};
    With(disk, [&](CRecordFile& f) {
        EXPECT_EQ(f.AddRawItem(kData, 2, "two", 3), CFileException::diskFull);
        EXPECT_EQ(TakeMessages(), "Error: 13.   At: 983/3.  988/1.");
        EXPECT_EQ(f.Entries().size(), 1u);
        HBLOCK one = f.GetItem(kData, 1);
        ASSERT_NE(one, nullptr);
        EXPECT_EQ(std::memcmp(*one, "one", 3), 0);
    });
    TakeMessages();
    disk->plan = {};
    EXPECT_EQ(Read(disk->durable, "kept"), (Contents{{{kData, 1}, Bytes{'o', 'n', 'e'}}}));
}

}  // namespace
