#include "media/res/res_mgr.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "media/res/read_error_prompt.h"
#include "media/res/res_test_support.h"
#include "platform/afx/message_box.h"
#include "platform/core/byte_order.h"
#include "platform/core/winuser.h"
#include "platform/fs/dospath.h"

namespace {

using restest::Bytes;
using restest::Pattern;
using restest::ReadWhole;

class ResMgrTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetReadErrorPrompt();
        // The prompt stays enabled: a damaged file must be refused without asking for the disc.
        plat::SetMessageBoxHook([this](LPCSTR text, UINT, UINT) {
            boxes.emplace_back(text);
            return IDCANCEL;
        });
        files = std::make_shared<restest::CCountingFiles>();
        mgr.SetFileSystem(files);
    }
    void TearDown() override {
        plat::SetMessageBoxHook({});
        ResetReadErrorPrompt();
        plat::SetReportedVersion(plat::kVersionWin95);
    }
    BOOL OpenBytes(Bytes bytes) {
        files->Put("M.RES", std::move(bytes));
        return mgr.Open("M.RES");
    }

    std::shared_ptr<restest::CCountingFiles> files;
    CResMgr mgr;
    std::vector<std::string> boxes;
};

// Codes of three and four letters come back with the first letter highest, the directory
// in the order the binary search needs, and every item's bytes and reserved word intact.
TEST_F(ResMgrTest, RoundTripOfThreeAndFourLetterCodes) {
    struct Item {
        const char* code;
        uint32_t value;
        uint16_t id;
        Bytes data;
        uint16_t reserved;
    };
    const std::vector<Item> items = {
        {"SPR", 0x535052, 2001, Pattern(33, 1), 0},     {"ABCD", 0x41424344, 7, Pattern(16, 4), 0},
        {"SPR", 0x535052, 2000, Pattern(5, 2), 0xBEEF}, {"IN#", 0x494E23, 2005, {}, 0},
        {"PAL", 0x50414C, 2000, Pattern(771, 3), 0},    {"sprt", 0x73707274, 65535, Pattern(3, 5), 1},
        {"IST", 0x495354, 2982, Pattern(40, 6), 0},
    };
    media::CResWriter w;
    for (const Item& it : items) ASSERT_TRUE(w.Add(it.code, it.id, it.data, it.reserved)) << it.code;
    const Bytes file = w.Build();
    ASSERT_EQ(OpenBytes(file), 1);

    // On disk a three-letter code is its text and a zero byte; the four-letter codes sort
    // after every three-letter one.
    const uint32_t dir = file[2] | file[3] << 8 | file[4] << 16 | static_cast<uint32_t>(file[5]) << 24;
    EXPECT_EQ(std::string(file.begin() + dir, file.begin() + dir + 4), std::string("IN#\0", 4));
    EXPECT_EQ(std::string(file.end() - 16, file.end() - 12), "sprt");
    EXPECT_EQ(mgr.Header()[0], 0x1A);
    EXPECT_EQ(mgr.Header()[1], 0x92);

    ASSERT_EQ(mgr.Entries().size(), items.size());
    for (size_t i = 1; i < mgr.Entries().size(); ++i) {
        const ResDirEntry& a = mgr.Entries()[i - 1];
        const ResDirEntry& b = mgr.Entries()[i];
        EXPECT_TRUE(a.type < b.type || (a.type == b.type && a.id < b.id)) << "entry " << i;
    }
    for (const Item& it : items) {
        EXPECT_EQ(ResType(it.code), it.value);
        ResDirEntry* e = mgr.FindEntry(it.value, it.id);
        ASSERT_NE(e, nullptr) << it.code << " " << it.id;
        EXPECT_EQ(e->type, it.value);
        EXPECT_EQ(e->size, it.data.size());
        EXPECT_EQ(e->reserved, it.reserved);
        EXPECT_EQ(e->owner, &mgr);
        EXPECT_EQ(ReadWhole(mgr, e), it.data) << it.code << " " << it.id;
    }
    EXPECT_TRUE(boxes.empty());
}

struct DamageCase {
    const char* name;
    std::function<void(Bytes&)> damage;
    bool opens;
    size_t entries;
};

void PrintTo(const DamageCase& c, std::ostream* os) { *os << c.name; }

class ResMgrDamage : public ResMgrTest, public ::testing::WithParamInterface<DamageCase> {};

// Three items: data from 8 to 44, directory from 44 to 92.
Bytes ThreeItems() {
    media::CResWriter w;
    w.Add("SPR", 1, Pattern(10, 1));
    w.Add("SPR", 2, Pattern(20, 2));
    w.Add("PAL", 3, Pattern(6, 3));
    return w.Build();
}
constexpr uint32_t kDir = 44;
constexpr uint32_t kLength = 92;

// A directory of n records, each a valid empty item, right after the header.
Bytes ManyRecords(uint32_t n) {
    Bytes b;
    plat::AppendLe16(b, CResMgr::kMagic);
    plat::AppendLe32(b, 8);
    plat::AppendLe16(b, 0);
    for (uint32_t i = 0; i < n; ++i) {
        for (char c : std::string("SPR\0", 4)) b.push_back(static_cast<uint8_t>(c));
        plat::AppendLe16(b, static_cast<uint16_t>(i));
        plat::AppendLe32(b, 8);
        plat::AppendLe32(b, 0);
        plat::AppendLe16(b, 0);
    }
    return b;
}

// Damaged files are refused whole, without a prompt and without keeping the file open; the
// tail and empty-directory cases open as the format says.
TEST_P(ResMgrDamage, OpensOrRefusesCleanly) {
    Bytes file = ThreeItems();
    ASSERT_EQ(file.size(), kLength);
    GetParam().damage(file);
    EXPECT_EQ(OpenBytes(std::move(file)), GetParam().opens ? 1 : 0);
    EXPECT_EQ(mgr.IsOpen(), GetParam().opens);
    EXPECT_EQ(mgr.Entries().size(), GetParam().entries);
    EXPECT_TRUE(boxes.empty());
    if (!GetParam().opens) {
        EXPECT_EQ(files->Counters().closes, files->Counters().opens) << "a refused file is closed";
    } else if (GetParam().entries == 0) {
        EXPECT_EQ(mgr.FindEntry(kResSPR, 1), nullptr);
        EXPECT_EQ(mgr.FindEntry(0, 0), nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Files, ResMgrDamage,
    ::testing::Values(
        DamageCase{"intact", [](Bytes&) {}, true, 3},
        DamageCase{"partial record at the end is ignored", [](Bytes& b) { b.resize(b.size() + 15, 0xEE); }, true, 3},
        DamageCase{"directory offset equal to the length", [](Bytes& b) { plat::SetLe32(b, 2, kLength); }, true, 0},
        DamageCase{"directory offset beyond the end", [](Bytes& b) { plat::SetLe32(b, 2, kLength + 16); }, false, 0},
        DamageCase{"directory offset near 4 GB", [](Bytes& b) { plat::SetLe32(b, 2, 0xFFFFFFF0); }, false, 0},
        DamageCase{"directory inside the header", [](Bytes& b) { plat::SetLe32(b, 2, 4); }, false, 0},
        DamageCase{"item starting past the directory", [](Bytes& b) { plat::SetLe32(b, kDir + 6, kDir + 1); },
                   false, 0},
        DamageCase{"item running past the directory", [](Bytes& b) { plat::SetLe32(b, kDir + 16 + 10, 1000); },
                   false, 0},
        DamageCase{"item offset and size wrapping round",
                   [](Bytes& b) {
                       plat::SetLe32(b, kDir + 32 + 6, 0xFFFFFFF0);
                       plat::SetLe32(b, kDir + 32 + 10, 0x20);
                   },
                   false, 0},
        DamageCase{"item inside the header", [](Bytes& b) { plat::SetLe32(b, kDir + 6, 2); }, false, 0},
        DamageCase{"empty item right at the directory",
                   [](Bytes& b) {
                       plat::SetLe32(b, kDir + 6, kDir);
                       plat::SetLe32(b, kDir + 10, 0);
                   },
                   true, 3},
        DamageCase{"wrong magic", [](Bytes& b) { b[0] ^= 1; }, false, 0},
        DamageCase{"shorter than the header", [](Bytes& b) { b.resize(5); }, false, 0},
        DamageCase{"empty file", [](Bytes& b) { b.clear(); }, false, 0},
        DamageCase{"largest directory", [](Bytes& b) { b = ManyRecords(CResMgr::kMaxEntries); }, true,
                   CResMgr::kMaxEntries},
        DamageCase{"directory too large", [](Bytes& b) { b = ManyRecords(CResMgr::kMaxEntries + 1); }, false, 0}));

// Every entry of directories of 0 to 17 entries is found, every id between and around them
// is not, and no lookup touches the file.
TEST_F(ResMgrTest, LookupsFindFirstLastAndMissWithoutReading) {
    for (uint16_t n = 0; n <= 17; ++n) {
        media::CResWriter w;
        for (uint16_t i = 0; i < n; ++i) w.Add(i % 2 ? "SND" : "SPR", static_cast<uint16_t>(10 + 10 * i), Pattern(i, 1));
        ASSERT_EQ(OpenBytes(w.Build()), 1);
        const int before = files->Counters().total();
        for (uint16_t i = 0; i < n; ++i) {
            const uint32_t type = i % 2 ? kResSND : kResSPR;
            const uint32_t id = 10u + 10u * i;
            ResDirEntry* e = mgr.FindEntry(type, id);
            ASSERT_NE(e, nullptr) << n << " entries, entry " << i;
            EXPECT_EQ(e->type, type);
            EXPECT_EQ(e->id, id);
            EXPECT_EQ(mgr.FindEntry(type, id - 1), nullptr);
            EXPECT_EQ(mgr.FindEntry(type, id + 1), nullptr);
            EXPECT_EQ(mgr.FindEntry(i % 2 ? kResSPR : kResSND, id), nullptr) << "same id, other type";
        }
        EXPECT_EQ(mgr.FindEntry(kResPAL, 10), nullptr);
        EXPECT_EQ(mgr.FindEntry(0, 0), nullptr);
        EXPECT_EQ(mgr.FindEntry(0xFFFFFFFF, 0xFFFFFFFF), nullptr);
        EXPECT_EQ(files->Counters().total(), before) << n << " entries";
    }
}

// Successive loads read on through the item, a reset rereads, and a load that would pass
// the item's end fails without reading or moving.
TEST_F(ResMgrTest, LoadItemReadsOnAndRereadsAfterReset) {
    const Bytes data = Pattern(20, 9);
    media::CResWriter w;
    w.Add("IN#", 2005, data);
    w.Add("IN#", 2006, Pattern(8, 1));  // the bytes right after the item
    ASSERT_EQ(OpenBytes(w.Build()), 1);
    ResDirEntry* e = mgr.FindEntry(kResINN, 2005);
    ASSERT_NE(e, nullptr);

    Bytes a(8), b(8), c(4);
    ASSERT_EQ(mgr.LoadItem(a.data(), e, 8), 1);
    ASSERT_EQ(mgr.LoadItem(b.data(), e, 8), 1);
    EXPECT_EQ(a, Bytes(data.begin(), data.begin() + 8));
    EXPECT_EQ(b, Bytes(data.begin() + 8, data.begin() + 16));
    EXPECT_EQ(e->readPos, 16u);

    const int before = files->Counters().total();
    Bytes past(8, 0x55);
    EXPECT_EQ(mgr.LoadItem(past.data(), e, 8), 0);
    EXPECT_EQ(past, Bytes(8, 0x55));
    EXPECT_EQ(e->readPos, 16u);
    EXPECT_EQ(files->Counters().total(), before);

    e->readPos = 0;
    ASSERT_EQ(mgr.LoadItem(c.data(), e, 4), 1);
    EXPECT_EQ(c, Bytes(data.begin(), data.begin() + 4));

    // An entry of another manager is not read through this one.
    CResMgr other;
    EXPECT_EQ(other.LoadItem(c.data(), e, 4), 0);
    EXPECT_TRUE(boxes.empty());
}

// Under Win32s sprites, sounds and palettes of up to 50000 bytes are read whole once and
// served piece by piece; other items, larger ones and other systems read every piece.
TEST_F(ResMgrTest, Win32sReadAheadCache) {
    const Bytes sprite = Pattern(300, 1), table = Pattern(300, 2), big = Pattern(50001, 3), palette = Pattern(30, 4);
    media::CResWriter w;
    w.Add("SPR", 5, sprite);
    w.Add("IN#", 5, table);
    w.Add("SPR", 6, big);
    w.Add("PAL", 5, palette);  // the sprite's id: the cache must not mix the two up
    ASSERT_EQ(OpenBytes(w.Build()), 1);

    struct Case {
        DWORD version;
        uint32_t type;
        uint32_t id;
        const Bytes* data;
        uint32_t piece;
        int reads;  // reads of the file for the whole item
    };
    const Case cases[] = {
        {plat::kVersionWin32s, kResSPR, 5, &sprite, 100, 1}, {plat::kVersionWin32s, kResINN, 5, &table, 100, 3},
        {plat::kVersionWin32s, kResSPR, 6, &big, 25000, 3},  {plat::kVersionWin32s, kResPAL, 5, &palette, 10, 1},
        {plat::kVersionWin95, kResSPR, 5, &sprite, 100, 3},  {plat::kVersionWinNT4, kResSPR, 5, &sprite, 100, 3},
    };
    for (const Case& c : cases) {
        plat::SetReportedVersion(c.version);
        ResDirEntry* e = mgr.FindEntry(c.type, c.id);
        ASSERT_NE(e, nullptr);
        e->readPos = 0;
        const int before = files->Counters().reads;
        Bytes got;
        for (uint32_t at = 0; at < e->size; at += c.piece) {
            Bytes piece(std::min(c.piece, e->size - at));
            ASSERT_EQ(mgr.LoadItem(piece.data(), e, static_cast<uint32_t>(piece.size())), 1);
            got.insert(got.end(), piece.begin(), piece.end());
        }
        EXPECT_EQ(got, *c.data) << "type " << std::hex << c.type;
        EXPECT_EQ(files->Counters().reads - before, c.reads) << "type " << std::hex << c.type << " version " << c.version;
    }

    // A reader that starts over part-way is served from the cache again; one that jumps
    // elsewhere, or another item of the same id, gets its own bytes from the file.
    plat::SetReportedVersion(plat::kVersionWin32s);
    ResDirEntry* spr = mgr.FindEntry(kResSPR, 5);
    ResDirEntry* pal = mgr.FindEntry(kResPAL, 5);
    Bytes a(100), b(100), p(30), rest(100);
    spr->readPos = 0;
    ASSERT_EQ(mgr.LoadItem(a.data(), spr, 100), 1);
    const int reads = files->Counters().reads;
    spr->readPos = 0;
    ASSERT_EQ(mgr.LoadItem(b.data(), spr, 100), 1);
    EXPECT_EQ(files->Counters().reads, reads);
    EXPECT_EQ(a, b);
    pal->readPos = 0;
    ASSERT_EQ(mgr.LoadItem(p.data(), pal, 30), 1);
    EXPECT_EQ(p, palette);
    ASSERT_EQ(mgr.LoadItem(rest.data(), spr, 100), 1);
    EXPECT_EQ(rest, Bytes(sprite.begin() + 100, sprite.begin() + 200));
}

// A real file on a DOS drive: opened by a name in another case, read, closed; a missing
// file fails at once while the prompt is off.
TEST(ResMgrDisk, OpensReadsAndClosesAFileOnDisk) {
    ResetReadErrorPrompt();
    restest::CTempFolder folder;
    const std::filesystem::path& tmp = folder.Path();
    std::filesystem::create_directories(tmp / "c");
    plat::SetEmulatedRoot(tmp / "c");

    const Bytes data = Pattern(1000, 3);
    media::CResWriter w;
    w.Add("SND", 2990, data);
    w.Add("PNT", 2001, Pattern(4, 0));
    std::string error;
    ASSERT_TRUE(w.WriteFile(tmp / "c" / "Zelbo2.res", &error)) << error;

    int boxes = 0;
    plat::SetMessageBoxHook([&](LPCSTR, UINT, UINT) { return ++boxes, IDCANCEL; });
    {
        CResMgr mgr;
        ASSERT_EQ(mgr.Open("C:\\ZELBO2.RES"), 1);
        EXPECT_EQ(ReadWhole(mgr, mgr.FindEntry(kResSND, 2990)), data);
        EXPECT_EQ(mgr.Close(), 1);
        EXPECT_FALSE(mgr.IsOpen());

        EnableReadErrorPrompt(false);
        EXPECT_EQ(mgr.Open("C:\\ZELBO9.RES"), 0);
        EXPECT_FALSE(mgr.IsOpen());
    }
    EXPECT_EQ(boxes, 0);

    plat::SetMessageBoxHook({});
    ResetReadErrorPrompt();
    plat::ResetDriveMap();
}

}  // namespace
