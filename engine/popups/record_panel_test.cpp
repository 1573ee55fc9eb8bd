// The picture album on a started engine in module 6 with the built Zelbo6.res and a real
// record file in the player's folder: loading, where a new picture is stored, the bin, Cancel,
// the grid's clamping, every write of OK failed or cut short, carrying by mouse and by switch
// access, and the panel with three saved pictures as a golden image.
#include "engine/popups/record_panel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "engine/core/engine_hosts.h"
#include "engine/core/engine_test_support.h"
#include "engine/core/zelbo_title.h"
#include "engine/scene/cor_anim.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"
#include "media/res/record_file.h"
#include "media/util/handle_table.h"
#include "platform/afx/message_box.h"
#include "platform/fs/write_fault.h"
#include "platform/headless/golden_test_support.h"

namespace {

using enginetest::Bytes;
namespace fs = std::filesystem;

constexpr uint16_t kB = 6000;
constexpr int16_t kP = 60;

// The player's folder, where record files lie.
class CAlbumPrefsStore : public enginetest::CRecordingPrefsStore {
public:
    std::string PlayerFolder() override { return "C:\\Kid001\\"; }
};

class CAlbumTitle : public CZelboTitle {
public:
    ~CAlbumTitle() override { Shutdown(); }
    ModuleFunctionTable* GetModuleTable(int module) override { return module == 6 ? &table : nullptr; }
    ModuleFunctionTable table{};
};

// The pixels of a picture, row by row (its width each).
Bytes PixelsOf(int16_t picture) {
    int16_t w = 0, h = 0;
    GetPictureSize(picture, w, h);
    const uint16_t stride = GetPictureAttr(picture);
    Bytes out;
    BYTE* bits = LockPictureData(picture);
    if (!bits) return out;
    for (int y = 0; y < h; ++y) out.insert(out.end(), bits + y * stride, bits + y * stride + w);
    UnlockPictureData(bits);
    return out;
}

class RecordPanelTest : public enginetest::EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        m_savedStore = SetPrefsStore(&m_albumStore);
        m_savedPictures = InstallPictureItems();
        m_savedBoxes = plat::SetMessageBoxHook([this](LPCSTR text, UINT, UINT) {
            boxes.emplace_back(text);
            return IDIGNORE;
        });
        for (const char* name : {"Zelbo0.res", "Zelbo6.res"})
            fs::copy_file(fs::path(ZELBO_RES_DIR) / name, root / "Prog" / name);
        fs::create_directories(root / "Kid001");
        recordPath = root / "Kid001" / "Mod6000.rsc";
        title.Startup(programFolder);
        title.m_prefs.playIntroSound = 0;
        title.m_running = 1;
        title.GoToModule(6, TRUE);
    }
    void TearDown() override {
        panel.reset();
        file.reset();
        if (dataBlock) HandleTableFree(dataBlock);
        title.Shutdown();
        plat::SetMessageBoxHook(m_savedBoxes);
        SetEnginePictureItems(m_savedPictures);
        SetPrefsStore(m_savedStore);
        EngineTest::TearDown();
    }

    // A 64 × 41 picture in stripes of `colour` and colour + 1.
    static int16_t Thumbnail(uint8_t colour) {
        const int16_t id = NewBlankPicture(64, 41);
        BYTE* bits = LockPictureData(id);
        const uint16_t stride = GetPictureAttr(id);
        for (int y = 0; y < 41; ++y)
            for (int x = 0; x < 64; ++x) bits[y * stride + x] = static_cast<BYTE>(colour + ((x / 8 + y / 8) % 2));
        UnlockPictureData(bits);
        return id;
    }
    // A child's picture of shapes, 64 × 41: a red house with a triangle roof (0), a yellow sun
    // over green grass (1), a blue kite (2), on pale sky.
    static int16_t ShapesPicture(int kind) {
        const int16_t id = NewBlankPicture(64, 41);
        BYTE* bits = LockPictureData(id);
        const uint16_t stride = GetPictureAttr(id);
        for (int y = 0; y < 41; ++y) {
            for (int x = 0; x < 64; ++x) {
                BYTE c = 130;  // sky
                if (kind == 0) {
                    if (y >= 20 && y < 38 && x >= 18 && x < 46) c = 44;                  // walls
                    if (y >= 6 && y < 20 && std::abs(x - 32) <= (y - 6) * 16 / 14) c = 200;  // roof
                    if (y >= 27 && y < 38 && x >= 28 && x < 36) c = 204;                 // door
                } else if (kind == 1) {
                    if (y >= 32) c = 94;
                    if ((x - 22) * (x - 22) + (y - 16) * (y - 16) <= 100) c = 76;
                } else {
                    if (std::abs(x - 36) * 10 / 14 + std::abs(y - 15) <= 12) c = 138;
                    if (x == 36 - (y - 27) && y > 27 && y < 40) c = 22;
                }
                bits[y * stride + x] = c;
            }
        }
        UnlockPictureData(bits);
        return id;
    }
    // A record file whose slots (index → colour) hold saved pictures as B + index, with the
    // slot table naming them and 'data' of one byte each; closed again.
    std::map<int, Bytes> MakeAlbum(const std::vector<std::pair<int, uint8_t>>& saved) {
        std::map<int, Bytes> pixels;
        CRecordFile f(static_cast<int16_t>(kB));
        EXPECT_TRUE(f.IsOpen());
        RecordSlotTable table{};
        for (const auto& [slot, colour] : saved) {
            const int16_t picture = Thumbnail(colour);
            pixels[slot] = PixelsOf(picture);
            const auto id = static_cast<uint16_t>(kB + slot);
            EXPECT_EQ(f.SaveSprite(static_cast<uint16_t>(picture), id), 1);
            const uint8_t data = colour;
            EXPECT_EQ(f.AddRawItem(kRecordTypeData, id, &data, 1), 0);
            table[static_cast<size_t>(slot)] = RecordSlot{static_cast<uint16_t>(picture), id};
            PurgeResource(picture);
        }
        const auto bytes = SlotTableBytes(table);
        EXPECT_EQ(f.AddRawItem(kRecordTypeSlot, kB, bytes.data(), kSlotTableBytes), 0);
        return pixels;
    }
    Bytes FileBytes() const {
        std::ifstream in(recordPath, std::ios::binary);
        return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Opens the panel as the shapes activity does: 5 × 5, P 60, B 6000, its data stored.
    void Open(int16_t newPicture, int16_t rows = 5, int16_t columns = 5, bool ownFile = true) {
        if (!ownFile) file = std::make_unique<CRecordFile>(static_cast<int16_t>(kB));
        if (!dataBlock) {
            dataBlock = HandleTableNew(6);
            std::copy(kData.begin(), kData.end(), static_cast<uint8_t*>(HandleTableDeref(dataBlock)));
        }
        panel = std::make_unique<CRecordPanel>(rows, columns, kP, newPicture, kB, nullptr, dataBlock, 6, file.get(), 1,
                                               &result);
    }
    void CloseAll() {
        if (panel) panel->Close();
        panel.reset();
        file.reset();
    }
    // What the file holds, read by a record file of its own: the slot table and which records
    // have a 'sprt'.
    struct Stored {
        bool hasTable = false;
        RecordSlotTable table{};
        std::vector<uint16_t> sprites;
        std::vector<uint16_t> data;
    };
    Stored ReadBack() {
        Stored s;
        CRecordFile f(static_cast<int16_t>(kB));
        EXPECT_TRUE(f.IsOpen());
        for (const auto& e : f.Entries()) {
            if (e.type == kRecordTypeSprite) s.sprites.push_back(e.id);
            if (e.type == kRecordTypeData) s.data.push_back(e.id);
        }
        std::sort(s.sprites.begin(), s.sprites.end());
        std::sort(s.data.begin(), s.data.end());
        if (f.HasItem(kRecordTypeSlot, kB)) {
            Bytes bytes(kSlotTableBytes);
            s.hasTable = f.ReadItemInto(kRecordTypeSlot, kB, bytes.data(), kSlotTableBytes) == 0;
            ReadSlotTable(bytes, kRecordPanelMaxSlots, false, s.table);
        }
        return s;
    }
    // Every record the table names has its 'sprt'.
    static void ExpectEverySlotNamesASprite(const Stored& s) {
        for (size_t i = 0; i < s.table.size(); ++i) {
            if (s.table[i].record == 0) continue;
            EXPECT_TRUE(std::binary_search(s.sprites.begin(), s.sprites.end(), s.table[i].record))
                << "slot " << i << " names " << s.table[i].record << ", which is not there";
        }
    }
    static std::vector<uint16_t> Records(const RecordSlotTable& t) {
        std::vector<uint16_t> out;
        for (const RecordSlot& s : t) out.push_back(s.record);
        return out;
    }
    static std::vector<uint16_t> First5(const RecordSlotTable& t) {
        std::vector<uint16_t> all = Records(t);
        return std::vector<uint16_t>(all.begin(), all.begin() + 5);
    }
    Bytes SpritePixels(uint16_t record) {
        CRecordFile f(static_cast<int16_t>(kB));
        const uint16_t picture = f.LoadSprite(record);
        if (picture == CRecordFile::kNoPicture) return {};
        Bytes pixels = PixelsOf(static_cast<int16_t>(picture));
        PurgeResource(static_cast<int16_t>(picture));
        return pixels;
    }

    const Bytes kData{'f', 'o', 'r', 'm', 'e', 'r'};
    CAlbumTitle title;
    CAlbumPrefsStore m_albumStore;
    fs::path recordPath;
    std::vector<std::string> boxes;
    std::unique_ptr<CRecordFile> file;
    std::unique_ptr<CRecordPanel> panel;
    HBLOCK dataBlock = nullptr;
    uint16_t result = 7;

private:
    IPrefsStore* m_savedStore = nullptr;
    IResItemHost* m_savedPictures = nullptr;
    plat::MessageBoxHook m_savedBoxes;
};

// ---------------------------------------------------------------------------------------
// The readers

TEST(RecordSlotTableTest, ReadsOnlyWholeEntriesWithinTheItem) {
    Bytes item;
    for (int i = 0; i < 30; ++i) {
        plat::AppendLe16(item, static_cast<uint16_t>(900 + i));
        plat::AppendLe16(item, static_cast<uint16_t>(kB + i));
    }
    const struct {
        size_t size;
        int count;
        int read;
    } cases[] = {
        {0, 25, 0}, {3, 25, 0}, {4, 25, 1}, {7, 25, 1}, {99, 25, 24}, {100, 25, 25},
        {120, 25, 25},  // a longer item: still 25
        {100, 9, 9},    {100, 0, 0},  {100, -3, 0}, {100, 40, 25},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size << " bytes, " << c.count << " asked");
        RecordSlotTable table;
        table.fill(RecordSlot{1, 1});
        EXPECT_EQ(ReadSlotTable(std::span(item).first(c.size), c.count, false, table), c.read);
        for (int i = 0; i < kRecordPanelMaxSlots; ++i) {
            const RecordSlot want = i < c.read ? RecordSlot{static_cast<uint16_t>(900 + i), static_cast<uint16_t>(kB + i)}
                                               : RecordSlot{};
            EXPECT_EQ(table[static_cast<size_t>(i)], want) << "entry " << i;
        }
    }
    // The other byte order.
    const Bytes swapped{0x03, 0x84, 0x17, 0x70};
    RecordSlotTable table;
    EXPECT_EQ(ReadSlotTable(swapped, 25, true, table), 1);
    EXPECT_EQ(table[0], (RecordSlot{0x0384, 0x1770}));
    // Written and read again.
    table[24] = RecordSlot{999, 6024};
    const auto bytes = SlotTableBytes(table);
    RecordSlotTable back;
    EXPECT_EQ(ReadSlotTable(bytes, 25, false, back), 25);
    EXPECT_EQ(back[0], table[0]);
    EXPECT_EQ(back[24], (RecordSlot{999, 6024}));
}

TEST(RecordColourPatchTest, StaysWithinTheItemAndEntry255) {
    const auto item = [](std::vector<uint16_t> values) {
        Bytes b;
        for (uint16_t v : values) plat::AppendLe16(b, v);
        return b;
    };
    const struct {
        const char* name;
        Bytes bytes;
        bool present;
        int first;
        size_t colours;
    } cases[] = {
        {"empty", {}, false, 0, 0},
        {"only c", item({7}), false, 0, 0},
        {"c of 0", item({0, 10}), false, 0, 0},
        {"first past 255", item({4, 256, 1, 2, 3}), false, 0, 0},
        {"two triples", item({7, 10, 1, 2, 3, 4, 5, 6}), true, 10, 2},
        {"c asks for more than the item holds", item({31, 10, 1, 2, 3, 4, 5}), true, 10, 1},
        {"odd byte at the end", [&] { Bytes b = item({4, 20, 9, 9, 9}); b.push_back(1); return b; }(), true, 20, 1},
        {"cut at entry 255", item({13, 254, 1, 1, 1, 2, 2, 2, 3, 3, 3, 4, 4, 4}), true, 254, 2},
        {"first 255", item({4, 255, 1, 1, 1}), true, 255, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<ColourPatch> patch = ReadColourPatch(c.bytes);
        ASSERT_EQ(patch.has_value(), c.present);
        if (!patch) continue;
        EXPECT_EQ(patch->first, c.first);
        EXPECT_EQ(patch->colours.size(), c.colours);
        EXPECT_LE(patch->first + static_cast<int>(patch->colours.size()), 256);
    }
    const std::optional<ColourPatch> big = ReadColourPatch(item({4, 30, 300, 128, 70000 & 0xFFFF}));
    ASSERT_TRUE(big);
    EXPECT_EQ(big->colours[0].peRed, 255);
    EXPECT_EQ(big->colours[0].peGreen, 128);
    EXPECT_EQ(big->colours[0].peBlue, 255);
}

// ---------------------------------------------------------------------------------------
// Opening and loading

TEST_F(RecordPanelTest, RowsAndColumnsAreClampedToTheGrid) {
    const struct {
        int16_t rows, columns;
        int wantRows, wantColumns;
    } cases[] = {{7, 7, 5, 5}, {-1, 3, 0, 3}, {3, -1, 3, 0}, {5, 2, 5, 2}, {0, 0, 0, 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.rows << " × " << c.columns);
        Open(0, c.rows, c.columns);
        EXPECT_EQ(panel->Rows(), c.wantRows);
        EXPECT_EQ(panel->Columns(), c.wantColumns);
        EXPECT_EQ(panel->SlotSprite(c.wantRows * c.wantColumns), nullptr);
        if (c.wantRows * c.wantColumns > 0) {
            EXPECT_NE(panel->SlotSprite(c.wantRows * c.wantColumns - 1), nullptr);
        }
        // No slot beyond the grid takes a picture.
        EXPECT_FALSE(panel->MoveToSlot({CRecordPanel::Place::Slot, 0}, c.wantRows * c.wantColumns));
        CloseAll();
    }
}

TEST_F(RecordPanelTest, LoadingRebuildsTheSlotPictures) {
    const auto pixels = MakeAlbum({{0, 40}, {2, 90}, {24, 130}});
    Open(0);
    // The game steps its sprites' scripts right after the panel opens: a slot keeps its picture.
    title.StepAndPresent();
    for (int slot = 0; slot < 25; ++slot) {
        SCOPED_TRACE(slot);
        const RecordSlot& s = panel->Slots()[static_cast<size_t>(slot)];
        if (pixels.count(slot)) {
            EXPECT_EQ(s.record, kB + slot);
            ASSERT_NE(s.picture, 0);
            EXPECT_EQ(PixelsOf(static_cast<int16_t>(s.picture)), pixels.at(slot));
            EXPECT_EQ(GetSpriteFrame(panel->SlotSprite(slot)), s.picture) << "the slot shows it";
        } else {
            EXPECT_EQ(s, RecordSlot{});
            EXPECT_EQ(GetSpriteFrame(panel->SlotSprite(slot)), 2);
        }
    }
    EXPECT_FALSE(panel->OkEnabled());
    EXPECT_EQ(result, 0) << "set to 0 on opening";
}

// A table naming a record twice or one whose image is gone shows those slots empty.
TEST_F(RecordPanelTest, SlotsNamingMissingOrRepeatedRecordsAreEmpty) {
    MakeAlbum({{0, 40}});
    {
        CRecordFile f(static_cast<int16_t>(kB));
        RecordSlotTable table{};
        table[0] = RecordSlot{5, kB};
        table[1] = RecordSlot{5, kB};       // the same record again
        table[2] = RecordSlot{5, kB + 9};   // no such 'sprt'
        const auto bytes = SlotTableBytes(table);
        ASSERT_EQ(f.ReplaceRawItem(kRecordTypeSlot, kB, bytes.data(), 12), 0) << "a short table: 3 entries";
    }
    Open(0);
    EXPECT_EQ(panel->Slots()[0].record, kB);
    EXPECT_EQ(panel->Slots()[1], RecordSlot{});
    EXPECT_EQ(panel->Slots()[2], RecordSlot{});
    EXPECT_TRUE(panel->MoveToSlot({CRecordPanel::Place::Slot, 0}, 2)) << "slot 2 takes a picture";
}

// ---------------------------------------------------------------------------------------
// OK

TEST_F(RecordPanelTest, WithSlotsZeroAndTwoInUseANewPictureIsStoredAsBPlusOne) {
    const auto pixels = MakeAlbum({{0, 40}, {2, 90}});
    const int16_t picture = Thumbnail(150);
    const Bytes newPixels = PixelsOf(picture);
    Open(picture);
    ASSERT_TRUE(panel->MoveToSlot({CRecordPanel::Place::New}, 1));
    EXPECT_TRUE(panel->OkEnabled());
    panel->Confirm();
    EXPECT_TRUE(panel->Done());
    EXPECT_EQ(result, 1);
    EXPECT_EQ(panel->ChangeLog(), (std::vector<std::pair<uint16_t, uint8_t>>{{kB + 1, 1}}));
    CloseAll();

    const Stored s = ReadBack();
    ASSERT_TRUE(s.hasTable);
    EXPECT_EQ(Records(s.table)[0], kB);
    EXPECT_EQ(Records(s.table)[1], kB + 1);
    EXPECT_EQ(Records(s.table)[2], kB + 2);
    EXPECT_EQ(s.sprites, (std::vector<uint16_t>{kB, kB + 1, kB + 2}));
    EXPECT_EQ(s.data, (std::vector<uint16_t>{kB, kB + 1, kB + 2}));
    EXPECT_EQ(SpritePixels(kB + 1), newPixels);
    EXPECT_EQ(SpritePixels(kB + 2), pixels.at(2));
    CRecordFile f(static_cast<int16_t>(kB));
    Bytes data(10);
    ASSERT_EQ(f.ReadItemInto(kRecordTypeData, kB + 1, data.data(), 10), 0);
    EXPECT_TRUE(std::equal(kData.begin(), kData.end(), data.begin()));
}

// Moves and the bin, then OK: each case's slots and items afterwards.
TEST_F(RecordPanelTest, MovesAndTheBinAreStored) {
    using Place = CRecordPanel::Place;
    const struct {
        const char* name;
        std::vector<std::pair<Place, int>> moves;  // to slot n; -2 the bin
        std::vector<uint16_t> records;             // slots 0 to 4 afterwards
        std::vector<uint16_t> sprites;
        std::vector<std::pair<uint16_t, uint8_t>> log;
    } cases[] = {
        {"the new picture binned", {{{Place::New}, -2}}, {kB, 0, kB + 2, 0, 0}, {kB, kB + 2}, {}},
        {"a saved one moved", {{{Place::Slot, 2}, 4}}, {kB, 0, 0, 0, kB + 2}, {kB, kB + 2}, {}},
        {"a saved one binned, the new one in its slot",
         {{{Place::Slot, 0}, -2}, {{Place::New}, 0}},
         {kB + 1, 0, kB + 2, 0, 0},
         {kB + 1, kB + 2},
         {{kB, 2}, {kB + 1, 1}}},
        {"binned and taken out again", {{{Place::Slot, 2}, -2}, {{Place::Bin}, 3}}, {kB, 0, 0, kB + 2, 0}, {kB, kB + 2}, {}},
        {"the new one binned and taken out again",
         {{{Place::New}, -2}, {{Place::Bin}, 1}},
         {kB, kB + 1, kB + 2, 0, 0},
         {kB, kB + 1, kB + 2},
         {{kB + 1, 1}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::error_code ec;
        fs::remove(recordPath, ec);
        MakeAlbum({{0, 40}, {2, 90}});
        Open(Thumbnail(150));
        result = 0;
        for (const auto& [from, to] : c.moves) {
            EXPECT_TRUE(to == -2 ? panel->MoveToBin(from) : panel->MoveToSlot(from, to));
        }
        panel->Confirm();
        EXPECT_EQ(result, 1);
        EXPECT_EQ(panel->ChangeLog(), c.log);
        CloseAll();
        const Stored s = ReadBack();
        EXPECT_EQ(First5(s.table), c.records);
        EXPECT_EQ(s.sprites, c.sprites);
        EXPECT_EQ(s.data, c.sprites) << "each picture keeps its data, the binned ones' go";
        ExpectEverySlotNamesASprite(s);
    }
}

// Every slot full: all 25 binned and the new one with them, or the new one put into an emptied
// slot; the bin holds all of them, and the new picture takes an id the stored table does not name.
TEST_F(RecordPanelTest, AllTwentyFiveBinnedAndTheNewOne) {
    std::vector<std::pair<int, uint8_t>> all;
    for (int i = 0; i < 25; ++i) all.emplace_back(i, static_cast<uint8_t>(22 + i * 8));
    for (const bool newIntoSlot : {false, true}) {
        SCOPED_TRACE(newIntoSlot ? "the new one into slot 7" : "the new one binned too");
        std::error_code ec;
        fs::remove(recordPath, ec);
        MakeAlbum(all);
        const int16_t picture = Thumbnail(150);
        const Bytes newPixels = PixelsOf(picture);
        Open(picture);
        for (int i = 0; i < 25; ++i) ASSERT_TRUE(panel->MoveToBin({CRecordPanel::Place::Slot, i})) << i;
        if (newIntoSlot) {
            ASSERT_TRUE(panel->MoveToSlot({CRecordPanel::Place::New}, 7));
        } else {
            ASSERT_TRUE(panel->MoveToBin({CRecordPanel::Place::New}));
            EXPECT_EQ(panel->Bin().size(), 26u);
            EXPECT_EQ(panel->Bin().back(), (RecordSlot{static_cast<uint16_t>(picture), 0}));
        }
        EXPECT_EQ(panel->Bin()[24].record, kB + 24);
        panel->Confirm();
        EXPECT_EQ(result, 1);
        EXPECT_EQ(panel->ChangeLog().size(), newIntoSlot ? 26u : 25u);
        CloseAll();
        const Stored s = ReadBack();
        std::vector<uint16_t> records(25, 0);
        if (newIntoSlot) records[7] = kB + 25;
        EXPECT_EQ(Records(s.table), records);
        EXPECT_EQ(s.sprites, newIntoSlot ? std::vector<uint16_t>{kB + 25} : std::vector<uint16_t>{});
        if (newIntoSlot) {
            EXPECT_EQ(SpritePixels(kB + 25), newPixels);
        }
    }
}

TEST_F(RecordPanelTest, CancelLeavesTheFileByteIdentical) {
    MakeAlbum({{0, 40}, {2, 90}, {3, 100}});
    {
        CRecordFile compacted(static_cast<int16_t>(kB));
    }
    const Bytes before = FileBytes();
    ASSERT_FALSE(before.empty());
    for (const bool viaKey : {false, true}) {
        SCOPED_TRACE(viaKey ? "Escape" : "Cancel()");
        Open(Thumbnail(150));
        ASSERT_TRUE(panel->MoveToSlot({CRecordPanel::Place::New}, 1));
        ASSERT_TRUE(panel->MoveToSlot({CRecordPanel::Place::Slot, 0}, 4));
        ASSERT_TRUE(panel->MoveToBin({CRecordPanel::Place::Slot, 2}));
        if (viaKey) {
            EXPECT_EQ(panel->OnKey(VK_ESCAPE), 1);
        } else {
            panel->Cancel();
        }
        EXPECT_TRUE(panel->Done());
        EXPECT_EQ(result, 0);
        CloseAll();
        EXPECT_EQ(FileBytes(), before);
    }
}

// Enter confirms: the result comes back 1 and the moved picture is stored.
TEST_F(RecordPanelTest, EnterConfirms) {
    MakeAlbum({{0, 40}});
    Open(Thumbnail(150));
    ASSERT_TRUE(panel->MoveToSlot({CRecordPanel::Place::New}, 3));
    EXPECT_EQ(panel->OnKey(VK_RETURN), 1);
    EXPECT_EQ(result, 1);
    CloseAll();
    EXPECT_EQ(Records(ReadBack().table)[3], kB + 1);
}

// The process stopped after a write step: the file as that step left it, nothing after it.
class CStopAfter : public plat::IWriteFaultHook {
public:
    CStopAfter(int step, fs::path file) : m_step(step), m_file(std::move(file)) {}
    plat::WriteFault Before(plat::WriteStep, const fs::path&) override {
        if (m_seen++ != m_step + 1) return m_seen > m_step + 1 ? plat::WriteFault::Fail : plat::WriteFault::None;
        std::ifstream in(m_file, std::ios::binary);
        snapshot.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        taken = true;
        return plat::WriteFault::Fail;
    }
    // Puts the file back as it was after the step.
    void Restore() const {
        if (!taken) return;
        std::ofstream out(m_file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(snapshot.data()), static_cast<std::streamsize>(snapshot.size()));
    }
    Bytes snapshot;
    bool taken = false;

private:
    int m_step;
    int m_seen = 0;
    fs::path m_file;
};

// Every write step of OK, failed in turn (a write then puts down half its bytes) and with the
// program stopped right after it: afterwards every slot names a 'sprt' that is there. A
// failure keeps the old table and reports it, unless OK got through; a stop leaves the old
// table or the new one with its picture; a second OK then stores the same change, replacing
// whatever was left over.
TEST_F(RecordPanelTest, AFailureOrAStopAtEachWriteLeavesEverySlotNamingASprite) {
    using Place = CRecordPanel::Place;
    const auto arrange = [&] {
        std::error_code ec;
        fs::remove(recordPath, ec);
        MakeAlbum({{0, 40}, {2, 90}, {3, 100}});
        { CRecordFile compacted(static_cast<int16_t>(kB)); }
    };
    const auto move = [&](int16_t picture) {
        Open(picture);
        EXPECT_TRUE(panel->MoveToBin({Place::Slot, 0}));
        EXPECT_TRUE(panel->MoveToSlot({Place::New}, 0));
        EXPECT_TRUE(panel->MoveToSlot({Place::Slot, 3}, 4));
    };
    const std::vector<uint16_t> oldRecords{kB, 0, kB + 2, kB + 3, 0};
    const std::vector<uint16_t> newRecords{kB + 1, 0, kB + 2, 0, kB + 3};

    // How many write steps OK takes.
    arrange();
    move(Thumbnail(150));
    plat::CWriteFaultPlan counting;
    {
        plat::CWriteFaultScope scope(&counting);
        panel->Confirm();
    }
    ASSERT_EQ(result, 1);
    CloseAll();
    const int steps = counting.Steps();
    ASSERT_GT(steps, 3);

    int outcomes[2][2] = {};  // [stop][stored]
    for (const bool stop : {false, true}) {
        for (int at = 0; at < steps; ++at) {
            SCOPED_TRACE(testing::Message() << (stop ? "stopped after" : "failed at") << " step " << at);
            arrange();
            const int16_t picture = Thumbnail(150);
            const Bytes newPixels = PixelsOf(picture);
            move(picture);
            boxes.clear();
            {
                plat::CWriteFaultPlan fail(at, plat::WriteFault::Fail);
                CStopAfter stopAfter(at, recordPath);
                plat::CWriteFaultScope scope(stop ? static_cast<plat::IWriteFaultHook*>(&stopAfter) : &fail);
                panel->Confirm();
                CloseAll();
                if (!stop) {
                    EXPECT_TRUE(fail.Hit());
                }
                stopAfter.Restore();
            }
            const Stored s = ReadBack();
            ExpectEverySlotNamesASprite(s);
            const std::vector<uint16_t> records = First5(s.table);
            const bool stored = records == newRecords;
            if (stored) {
                EXPECT_EQ(SpritePixels(kB + 1), newPixels);
            } else {
                EXPECT_EQ(records, oldRecords);
            }
            if (!stop) {
                EXPECT_EQ(stored, result == 1);
                if (!stored) {
                    EXPECT_FALSE(boxes.empty()) << "the failure was reported";
                }
            }
            ++outcomes[stop][stored];
            if (stored) continue;
            move(Thumbnail(150));
            panel->Confirm();
            EXPECT_EQ(result, 1);
            CloseAll();
            const Stored again = ReadBack();
            ExpectEverySlotNamesASprite(again);
            const std::vector<uint16_t> now = First5(again.table);
            EXPECT_NE(now[0], 0);
            EXPECT_EQ(now[2], kB + 2);
            EXPECT_EQ(now[4], kB + 3);
            EXPECT_EQ(again.sprites.size(), 3u) << "a leftover was replaced, not kept beside";
        }
    }
    for (const bool stop : {false, true}) {
        EXPECT_GT(outcomes[stop][0], 0);
        EXPECT_GT(outcomes[stop][1], 0);
    }
}

// The activity's own record file stays open after the panel and sees what OK stored.
TEST_F(RecordPanelTest, TheActivitysOwnFileIsUsedAndKeptOpen) {
    MakeAlbum({{1, 40}});
    Open(Thumbnail(150), 5, 5, /*ownFile=*/false);
    CRecordFile* activityFile = file.get();
    EXPECT_EQ(panel->File(), activityFile);
    ASSERT_TRUE(panel->MoveToSlot({CRecordPanel::Place::New}, 0));
    panel->Confirm();
    panel->Close();
    panel.reset();
    ASSERT_TRUE(activityFile->IsOpen());
    EXPECT_TRUE(activityFile->HasItem(kRecordTypeSprite, kB));
    EXPECT_TRUE(activityFile->HasItem(kRecordTypeData, kB));
}

// ---------------------------------------------------------------------------------------
// Carrying pictures with the mouse

TEST_F(RecordPanelTest, TheMouseCarriesAPictureIntoAnEmptySlotOrTheBin) {
    MakeAlbum({{0, 40}});
    const struct {
        const char* name;
        int target;  // a slot, -2 the bin, -1 nowhere
        bool fromNew;
        int16_t expectSlot;  // where the picture ends, -2 the bin
    } cases[] = {
        {"new into slot 6", 6, true, 6},
        {"new into the bin", -2, true, -2},
        {"new dropped nowhere", -1, true, -1},
        {"new onto a full slot", 0, true, -1},
        {"saved into slot 12", 12, false, 12},
        {"saved into the bin", -2, false, -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int16_t picture = Thumbnail(150);
        Open(picture);
        CCorAnim* sprite = c.fromNew ? panel->NewPictureSprite() : panel->SlotSprite(0);
        int16_t sx = 0, sy = 0;
        GetSpritePos(sprite, &sx, &sy);
        const Rect16 r = c.target == -2 ? panel->HitRect(-1) : c.target >= 0 ? panel->HitRect(c.target) : Rect16{600, 5, 601, 6};
        const int tx = (r.left + r.right) / 2, ty = (r.top + r.bottom) / 2;
        // Pressed on the picture (as the engine saw the click), moved, released over the target.
        title.m_lastClickX = sx + 5 + title.m_originX;
        title.m_lastClickY = sy + 5 + title.m_originY;
        const uint64_t now = head->NowMs();
        const auto input = [&](plat::InputKind kind, uint64_t at, int x, int y) {
            plat::InputEvent ev;
            ev.kind = kind;
            ev.x = x + title.m_originX;
            ev.y = y + title.m_originY;
            head->QueueInput(now + at, ev);
        };
        input(plat::InputKind::MouseMove, 20, (sx + tx) / 2, (sy + ty) / 2);
        input(plat::InputKind::MouseMove, 40, tx, ty);
        input(plat::InputKind::MouseUp, 60, tx, ty);
        EXPECT_EQ(panel->OnClick(sprite, 0), 0);
        const RecordSlotTable& slots = panel->Slots();
        const uint16_t carried = c.fromNew ? static_cast<uint16_t>(picture) : slots[0].picture ? slots[0].picture : 0;
        if (c.expectSlot >= 0) {
            EXPECT_EQ(slots[static_cast<size_t>(c.expectSlot)].record, c.fromNew ? 0 : kB);
            EXPECT_NE(slots[static_cast<size_t>(c.expectSlot)].picture, 0);
            EXPECT_EQ(GetSpriteFrame(panel->SlotSprite(c.expectSlot)), slots[static_cast<size_t>(c.expectSlot)].picture);
            EXPECT_TRUE(panel->OkEnabled());
            EXPECT_EQ(GetSpriteFrame(panel->OkSprite()), kP + kAlbumOk);
        } else if (c.expectSlot == -2) {
            EXPECT_EQ(panel->Bin().size(), 1u);
            EXPECT_EQ(GetSpriteFrame(panel->BinSprite()), kP + kAlbumBinFull);
        } else {
            EXPECT_TRUE(panel->Bin().empty());
            EXPECT_EQ(panel->NewPicturePlace().kind, CRecordPanel::Place::New) << "back where it came from";
            EXPECT_EQ(GetSpriteFrame(panel->NewPictureSprite()), picture);
            EXPECT_EQ(GetSpriteX(panel->NewPictureSprite()), sx);
            EXPECT_FALSE(panel->OkEnabled());
        }
        (void)carried;
        EXPECT_EQ(GetCapture(), nullptr) << "the capture is released";
        EXPECT_EQ(panel->Hover(), -1);
        CloseAll();
    }
}

// Clicking the full bin takes the last picture out onto the pointer; dropped into a slot it
// stays there, and the bin shows empty again.
TEST_F(RecordPanelTest, TheBinGivesBackItsLastPicture) {
    MakeAlbum({{0, 40}, {1, 90}});
    Open(0);
    ASSERT_TRUE(panel->MoveToBin({CRecordPanel::Place::Slot, 0}));
    ASSERT_TRUE(panel->MoveToBin({CRecordPanel::Place::Slot, 1}));
    const Rect16 bin = panel->HitRect(-1);
    const Rect16 slot = panel->HitRect(9);
    title.m_lastClickX = bin.left + 3 + title.m_originX;
    title.m_lastClickY = bin.top + 3 + title.m_originY;
    plat::InputEvent up;
    up.kind = plat::InputKind::MouseUp;
    up.x = slot.left + 2 + title.m_originX;
    up.y = slot.top + 2 + title.m_originY;
    head->QueueInput(head->NowMs() + 30, up);
    panel->OnClick(panel->BinSprite(), 0);
    EXPECT_EQ(panel->Slots()[9].record, kB + 1) << "the last one binned";
    ASSERT_EQ(panel->Bin().size(), 1u);
    EXPECT_EQ(panel->Bin()[0].record, kB);
    EXPECT_EQ(GetSpriteFrame(panel->BinSprite()), kP + kAlbumBinFull);
    ASSERT_TRUE(panel->MoveToSlot({CRecordPanel::Place::Bin}, 3));
    EXPECT_TRUE(panel->Bin().empty());
    EXPECT_EQ(GetSpriteFrame(panel->BinSprite()), kP + kAlbumBinEmpty);
    EXPECT_FALSE(panel->MoveToBin({CRecordPanel::Place::Bin})) << "nothing goes from the bin into the bin";
    EXPECT_FALSE(panel->MoveToSlot({CRecordPanel::Place::Bin}, 4)) << "an empty bin gives nothing";
}

// Hit tests take a slot's edges in; only an empty slot lights up; the bin lights as -2.
TEST_F(RecordPanelTest, HitTestsLightEmptySlotsAndTheBin) {
    MakeAlbum({{0, 40}});
    Open(0);
    const Rect16 r1 = panel->HitRect(1);
    const Rect16 r0 = panel->HitRect(0);
    const Rect16 bin = panel->HitRect(-1);
    EXPECT_EQ(r1.right - r1.left, 70);
    EXPECT_EQ(r1.left - r0.left, 78) << "columns every slot width + 8";
    EXPECT_EQ(panel->HitRect(5).top - r0.top, 56) << "rows every slot height + 9";
    const struct {
        int16_t x, y, hover;
        int lit;  // slot whose frame shows the highlight, -1 none
        bool binLit;
    } cases[] = {
        {r1.left, r1.top, 1, 1, false},
        {r1.right, r1.bottom, 1, 1, false},
        {static_cast<int16_t>(r0.left + 3), static_cast<int16_t>(r0.top + 3), 0, -1, false},  // full: not lit
        {static_cast<int16_t>(bin.left + 1), static_cast<int16_t>(bin.top + 1), -2, -1, true},
        {5, 5, -1, -1, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.x << "," << c.y);
        EXPECT_EQ(panel->HitTest(c.x, c.y), c.hover);
        EXPECT_EQ(panel->Hover(), c.hover);
        EXPECT_EQ(GetSpriteFrame(panel->BinSprite()), kP + (c.binLit ? kAlbumBinEmptyLit : kAlbumBinEmpty));
    }
}

// ---------------------------------------------------------------------------------------
// Switch access

TEST_F(RecordPanelTest, SwitchAccessPicksUpAndPutsDown) {
    MakeAlbum({{0, 40}});
    title.m_scanner.Enable(TRUE);
    const int16_t picture = Thumbnail(150);
    Open(picture);
    // Picked up: the picture leaves the view and the highlight carries it with the mark.
    int16_t x = 0, y = 0;
    GetSpritePos(panel->NewPictureSprite(), &x, &y);
    EXPECT_EQ(panel->OnClick(panel->NewPictureSprite(), 0), 0);
    EXPECT_GE(GetSpriteX(panel->NewPictureSprite()), 640);
    // A full slot does not take it; it goes back.
    panel->OnClick(panel->SlotSprite(0), 0);
    EXPECT_EQ(panel->NewPicturePlace().kind, CRecordPanel::Place::New);
    EXPECT_EQ(GetSpriteX(panel->NewPictureSprite()), x);
    // Picked up again and put into slot 8.
    panel->OnClick(panel->NewPictureSprite(), 0);
    panel->OnClick(panel->SlotSprite(8), 0);
    EXPECT_EQ(panel->Slots()[8].picture, picture);
    EXPECT_TRUE(panel->OkEnabled());
    // The saved picture into the bin.
    panel->OnClick(panel->SlotSprite(0), 0);
    panel->OnClick(panel->BinSprite(), 0);
    EXPECT_EQ(panel->Bin().size(), 1u);
    EXPECT_EQ(panel->Slots()[0], RecordSlot{});
    title.m_scanner.Enable(FALSE);
}

// ---------------------------------------------------------------------------------------
// The panel as it looks

TEST_F(RecordPanelTest, GoldenThreeSavedPictures) {
    {
        CRecordFile f(static_cast<int16_t>(kB));
        RecordSlotTable table{};
        for (const auto& [slot, kind] : {std::pair{0, 0}, std::pair{6, 1}, std::pair{13, 2}}) {
            const int16_t picture = ShapesPicture(kind);
            ASSERT_EQ(f.SaveSprite(static_cast<uint16_t>(picture), static_cast<uint16_t>(kB + slot)), 1);
            table[static_cast<size_t>(slot)] = RecordSlot{static_cast<uint16_t>(picture), static_cast<uint16_t>(kB + slot)};
            PurgeResource(picture);
        }
        const auto bytes = SlotTableBytes(table);
        ASSERT_EQ(f.AddRawItem(kRecordTypeSlot, kB, bytes.data(), kSlotTableBytes), 0);
    }
    Open(ShapesPicture(0));
    ASSERT_NE(panel->Slots()[13].picture, 0);
    title.Present(0);
    plat::test::CheckGolden(ZELBO_GOLDEN_DIR, "record_panel.png");
}

}  // namespace
