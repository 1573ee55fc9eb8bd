// The 'AN_', 'CUE' and 'CUR' readers: fields at their offsets, counts cut to the records the
// item holds, short items, and reading through a module file.
#include "engine/toolbox/anim_items.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/toolbox/cursor_item.h"
#include "media/res/res_items_test_support.h"
#include "platform/core/byte_order.h"

namespace {

using Bytes = std::vector<uint8_t>;

// An 'AN_' item: the count, six header bytes of 0xEE, then records whose unread bytes are 0xEE
// too, so a reader taking a field from the wrong place sees 0xEEEE.
Bytes PreloadItem(uint16_t count, const std::vector<PreloadRecord>& records) {
    Bytes b;
    plat::AppendLe16(b, count);
    b.resize(kPreloadHeaderSize, 0xEE);
    for (const PreloadRecord& r : records) {
        Bytes rec(kPreloadRecordSize, 0xEE);
        plat::SetLe16(rec, 0, static_cast<uint16_t>(r.pictureId));
        plat::SetLe16(rec, kPreloadSoundOffset, static_cast<uint16_t>(r.soundId));
        b.insert(b.end(), rec.begin(), rec.end());
    }
    return b;
}

// A 'CUE' item; the unread middle field of each record is 0x7EEEEEEE.
Bytes CueItem(uint16_t count, const std::vector<CueRecord>& records) {
    Bytes b;
    plat::AppendLe16(b, count);
    for (const CueRecord& r : records) {
        plat::AppendLe32(b, static_cast<uint32_t>(r.timeMs));
        plat::AppendLe32(b, 0x7EEEEEEE);
        plat::AppendLe32(b, static_cast<uint32_t>(r.pictureId));
    }
    return b;
}

Bytes Cut(Bytes b, size_t drop) {
    b.resize(b.size() - drop);
    return b;
}

std::vector<std::pair<int, int>> Pairs(const std::vector<PreloadRecord>& v) {
    std::vector<std::pair<int, int>> out;
    for (const PreloadRecord& r : v) out.emplace_back(r.pictureId, r.soundId);
    return out;
}

std::vector<std::pair<int, int>> Pairs(const std::vector<CueRecord>& v) {
    std::vector<std::pair<int, int>> out;
    for (const CueRecord& r : v) out.emplace_back(r.timeMs, r.pictureId);
    return out;
}

TEST(PreloadList, CountsAreTakenAsWrittenZeroAsOneAndCutToTheItem) {
    const std::vector<PreloadRecord> two{{12, 0}, {-13, 990}};
    struct Case {
        const char* name;
        Bytes item;
        std::vector<std::pair<int, int>> expected;
    };
    const Case cases[] = {
        {"two of two", PreloadItem(2, two), {{12, 0}, {-13, 990}}},
        {"one of two", PreloadItem(1, two), {{12, 0}}},
        {"count 0 reads the first", PreloadItem(0, two), {{12, 0}}},
        {"count 0 and no record", PreloadItem(0, {}), {}},
        {"count 5 cut to the two present", PreloadItem(5, two), {{12, 0}, {-13, 990}}},
        {"count 0xFFFF cut to the two present", PreloadItem(0xFFFF, two), {{12, 0}, {-13, 990}}},
        {"a record short by one byte is not read", Cut(PreloadItem(2, two), 1), {{12, 0}}},
        {"header only", PreloadItem(3, {}), {}},
        {"shorter than the header", Bytes{3, 0, 0}, {}},
        {"one byte", Bytes{1}, {}},
        {"empty", Bytes{}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Pairs(ParsePreloadList(c.item)), c.expected);
    }
}

TEST(CueList, CountsAreCutToTheRecordsTheItemHolds) {
    const std::vector<CueRecord> three{{0, 3012}, {250, 13}, {-5, 0x12340FFF}};
    struct Case {
        const char* name;
        Bytes item;
        std::vector<std::pair<int, int>> expected;
    };
    const Case cases[] = {
        {"three of three", CueItem(3, three), {{0, 3012}, {250, 13}, {-5, 0x12340FFF}}},
        {"two of three", CueItem(2, three), {{0, 3012}, {250, 13}}},
        {"none", CueItem(0, three), {}},
        {"count 4 cut to three", CueItem(4, three), {{0, 3012}, {250, 13}, {-5, 0x12340FFF}}},
        {"count 0xFFFF cut to three", CueItem(0xFFFF, three), {{0, 3012}, {250, 13}, {-5, 0x12340FFF}}},
        {"the last record short by one byte", Cut(CueItem(3, three), 1), {{0, 3012}, {250, 13}}},
        {"count only", CueItem(9, {}), {}},
        {"one byte", Bytes{1}, {}},
        {"empty", Bytes{}, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(Pairs(ParseCueList(c.item)), c.expected);
    }
}

TEST(CursorItem, SixBytesAreReadAndShorterItemsRefused) {
    Bytes item;
    for (int16_t v : {int16_t{-12}, int16_t{5}, int16_t{31}}) plat::AppendLe16(item, static_cast<uint16_t>(v));
    const auto whole = ParseCursorItem(item);
    ASSERT_TRUE(whole);
    EXPECT_EQ(whole->pictureId, -12);
    EXPECT_EQ(whole->hotX, 5);
    EXPECT_EQ(whole->hotY, 31);

    Bytes longer = item;
    longer.insert(longer.end(), {0xAA, 0xBB});
    const auto fromLonger = ParseCursorItem(longer);
    ASSERT_TRUE(fromLonger);
    EXPECT_EQ(fromLonger->hotY, 31);

    for (size_t size = 0; size < kCursorItemSize; ++size) {
        SCOPED_TRACE(size);
        EXPECT_FALSE(ParseCursorItem(std::span<const uint8_t>(item.data(), size)));
    }
}

// The readers find items by absolute id in the module's own file; a missing item is none, an
// item too short for anything is an empty list or a refused cursor.
TEST(ToolboxItems, AreReadFromTheModuleFileByAbsoluteId) {
    itemtest::CTestHost host;
    host.module = 3;
    media::CResWriter w;
    w.Add("AN_", 3020, PreloadItem(1, {{21, 22}}));
    w.Add("CUE", 3101, CueItem(1, {{100, 3050}}));
    w.Add("CUE", 3102, Bytes{7});
    Bytes cursor;
    for (uint16_t v : {40, 1, 2}) plat::AppendLe16(cursor, v);
    w.Add("CUR", 3030, cursor);
    w.Add("CUR", 3031, Bytes{1, 2, 3, 4, 5});
    ASSERT_TRUE(host.OpenModule(3, w));

    const auto preload = ReadPreloadList(3020);
    ASSERT_TRUE(preload);
    EXPECT_EQ(Pairs(*preload), (std::vector<std::pair<int, int>>{{21, 22}}));
    EXPECT_FALSE(ReadPreloadList(3021));
    EXPECT_FALSE(ReadPreloadList(20)) << "module 0 has no file here";

    const auto cues = ReadCueList(3101);
    ASSERT_TRUE(cues);
    EXPECT_EQ(Pairs(*cues), (std::vector<std::pair<int, int>>{{100, 3050}}));
    const auto shortCues = ReadCueList(3102);
    ASSERT_TRUE(shortCues);
    EXPECT_TRUE(shortCues->empty());
    EXPECT_FALSE(ReadCueList(-3101));

    const auto cur = ReadCursorItem(3030);
    ASSERT_TRUE(cur);
    EXPECT_EQ(cur->pictureId, 40);
    EXPECT_FALSE(ReadCursorItem(3031)) << "five bytes";
    EXPECT_FALSE(ReadCursorItem(3032));
}

}  // namespace
