// The shapes activity's items: written and read back, and damaged items read within their size
// with their counts cut to what they hold.
#include "media/res/shape_items.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Bytes = std::vector<uint8_t>;
using media::PieceList;
using media::PieceRecord;

Bytes Cut(Bytes b, size_t size) {
    b.resize(size);
    return b;
}

TEST(ShapeItems, OutlinesKeepTheirWholePairs) {
    const std::vector<media::PiecePair> edges{{32, 0}, {32, 1200}, {32, 2400}};
    const Bytes whole = media::PieceOutlineBytes({18, 2100}, edges);
    ASSERT_EQ(whole.size(), 2u + 4 * 4);
    const struct {
        const char* name;
        Bytes bytes;
        size_t edges;
        bool damaged;
    } cases[] = {
        {"whole", whole, 3, false},
        {"longer than n says", [&] { Bytes b = whole; b.push_back(9); return b; }(), 3, false},
        {"last pair cut", Cut(whole, whole.size() - 1), 2, true},
        {"half a pair left", Cut(whole, 2 + 4 * 2 + 2), 1, true},
        {"only the lead", Cut(whole, 6), 0, true},
        {"count only", Cut(whole, 2), 0, true},
        {"one byte", Cut(whole, 1), 0, true},
        {"empty", {}, 0, true},
        {"n = 1", {1, 0, 5, 0, 0, 0}, 0, false},
        {"n negative", {0xFF, 0xFF, 5, 0, 0, 0, 5, 0, 0, 0}, 0, true},
        {"n = 32767", [&] { Bytes b = whole; b[0] = 0xFF; b[1] = 0x7F; return b; }(), 3, true},
    };
    for (const auto& c : cases) {
        const media::PieceOutline o = media::ParsePieceOutline(c.bytes);
        EXPECT_EQ(o.edges.size(), c.edges) << c.name;
        EXPECT_EQ(o.damaged, c.damaged) << c.name;
        for (size_t k = 0; k < o.edges.size(); ++k) EXPECT_EQ(o.edges[k], edges[k]) << c.name;
        if (!o.edges.empty()) {
            EXPECT_EQ(o.lead, (media::PiecePair{18, 2100})) << c.name;
        }
    }
}

TEST(ShapeItems, PieceListsAreCutToTheirWholeRecords) {
    PieceList list;
    list.setId = 20;
    list.records = {{2, 1, 10, 20, 150}, {-1, -9, 0, 0, 2}, {0, 3, 5, 6, 0}, {1, 3, 7, 8, 300}, {5, 16, -1, -2, 3450}};
    const Bytes whole = media::PieceListBytes(list);
    ASSERT_EQ(whole.size(), 4u + 10 * 5);
    size_t used = 0;
    const PieceList back = media::ParsePieceList(whole, &used);
    EXPECT_EQ(back.setId, 20);
    EXPECT_EQ(back.records, list.records);
    EXPECT_FALSE(back.damaged);
    EXPECT_EQ(used, whole.size());
    EXPECT_EQ(media::PieceListShapeCount(back), 3u);

    // The group's two members cut to one, then to none; M cut to the records present.
    const PieceList oneMember = media::ParsePieceList(Cut(whole, 4 + 10 * 3 + 9), &used);
    EXPECT_TRUE(oneMember.damaged);
    EXPECT_EQ(used, 4u + 10 * 3);
    ASSERT_EQ(oneMember.records.size(), 3u);
    EXPECT_EQ(oneMember.records[1].angle, 1);
    EXPECT_EQ(media::PieceListShapeCount(oneMember), 2u);
    const PieceList noMember = media::ParsePieceList(Cut(whole, 4 + 10 * 2));
    EXPECT_EQ(noMember.records[1].angle, 0);
    EXPECT_EQ(media::PieceListShapeCount(noMember), 2u);

    Bytes bigGroup = whole;
    bigGroup[4 + 10 + 8] = 0x30;  // m = 48 with three records after it
    const PieceList big = media::ParsePieceList(bigGroup);
    EXPECT_TRUE(big.damaged);
    EXPECT_EQ(big.records[1].angle, 3);
    EXPECT_EQ(media::PieceListShapeCount(big), 2u);
    bigGroup[4 + 10 + 8] = 0xFF;
    bigGroup[4 + 10 + 9] = 0xFF;  // m = -1
    EXPECT_EQ(media::ParsePieceList(bigGroup).records[1].angle, 0);

    Bytes negative = whole;
    negative[2] = 0xFE;
    negative[3] = 0xFF;  // M = -2
    const PieceList none = media::ParsePieceList(negative, &used);
    EXPECT_TRUE(none.records.empty());
    EXPECT_TRUE(none.damaged);
    EXPECT_EQ(used, 4u);

    // A header cut short: the missing values are 0.
    const PieceList oneByte = media::ParsePieceList(Bytes{7}, &used);
    EXPECT_EQ(oneByte.setId, 0);
    EXPECT_TRUE(oneByte.records.empty());
    EXPECT_TRUE(oneByte.damaged);
    EXPECT_EQ(used, 1u);
    EXPECT_EQ(media::ParsePieceList(Bytes{7, 0, 1}).setId, 7);
}

TEST(ShapeItems, TaskRecordsReadWithinTheirSize) {
    media::TaskRecord task;
    task.words[4] = 3;
    task.words[5] = 2;
    task.words[56] = 0xBEEF;
    task.guides = {{10, 20, 10, 200}, {-5, 7, 300, 7}};
    task.reference = {20, {{3, 1, 1, 2, 0}}, false};
    task.start = {20, {{0, 2, 50, 60, 0}, {-1, -9, 0, 0, 1}, {2, 0, 1, 1, 1800}}, false};
    task.solution = {20, {{1, 4, 9, 9, 450}}, false};
    const Bytes whole = media::TaskRecordBytes(task);
    ASSERT_EQ(whole.size(), 116u + 16 + 14 + 34 + 14);
    const media::TaskRecord back = media::ParseTaskRecord(whole);
    EXPECT_FALSE(back.damaged);
    EXPECT_EQ(back.words, task.words);
    EXPECT_EQ(back.Kind(), 3);
    EXPECT_EQ(back.Style(), 2);
    EXPECT_EQ(back.guides, task.guides);
    EXPECT_EQ(back.reference.records, task.reference.records);
    EXPECT_EQ(back.start.records, task.start.records);
    EXPECT_EQ(back.solution.records, task.solution.records);
    EXPECT_EQ(back.startOffset, 116u + 16 + 14);

    // Cut anywhere: never more than the bytes hold, the missing values 0.
    for (size_t size = 0; size < whole.size(); ++size) {
        const media::TaskRecord t = media::ParseTaskRecord(Cut(whole, size));
        EXPECT_TRUE(t.damaged) << size;
        EXPECT_LE(t.startOffset, size);
        EXPECT_LE(4 * 2 * t.guides.size() + 10 * (t.reference.records.size() + t.start.records.size() + t.solution.records.size()),
                  size);
        if (size < 9) {
            EXPECT_EQ(t.Kind(), 0);
        }
        if (size < 114) {
            EXPECT_TRUE(t.guides.empty());
        }
    }

    // G larger than the guide lines present: cut to the whole ones, the blocks then empty.
    Bytes manyGuides = Cut(whole, 116 + 12);
    manyGuides[114] = 40;
    const media::TaskRecord g = media::ParseTaskRecord(manyGuides);
    EXPECT_TRUE(g.damaged);
    EXPECT_EQ(g.guides.size(), 1u);
    EXPECT_TRUE(g.reference.records.empty());
    EXPECT_TRUE(g.solution.records.empty());
    // The solution's M too large: the records present.
    Bytes bigM = whole;
    bigM[whole.size() - 14 + 2] = 9;
    const media::TaskRecord m = media::ParseTaskRecord(bigM);
    EXPECT_TRUE(m.damaged);
    EXPECT_EQ(m.solution.records, task.solution.records);
}

// A list from outside is restored only as a whole sound list: each damage refused with its
// reason, the positions checked only when an area is given.
TEST(ShapeItems, CheckPieceListRefusesWhatCannotBeRestored) {
    const CCorRect area{117, 10, 631, 338};
    const PieceRecord square{0, 3, 200, 100, 150}, group{-1, -9, 300, 200, 2}, member{2, 0, 300, 200, 0};
    const auto list = [](std::vector<PieceRecord> records) { return media::PieceListBytes(PieceList{10, std::move(records), false}); };
    const auto with = [&](PieceRecord r) { return list({square, r}); };
    const Bytes good = list({square, group, member, member, square});
    Bytes n32767 = list({square});
    n32767[2] = 0xFF, n32767[3] = 0x7F;
    Bytes negative = list({square});
    negative[2] = 0xFF, negative[3] = 0xFF;
    const struct {
        const char* name;
        Bytes bytes;
        const char* fault;  // with the area; nullptr: accepted
        bool withoutArea;   // accepted without the area
    } cases[] = {
        {"empty picture", list({}), nullptr, true},
        {"pieces and a group", good, nullptr, true},
        {"longer than its records", [&] { Bytes b = good; b.push_back(7); return b; }(), nullptr, true},
        {"every fill and angle", list({{5, 31, 117, 10, 3450}, {-1, -1, 0, 0, 1}, {1, 8, 630, 337, 0}, {-1, 31, 0, 0, 1}, member}), nullptr, true},
        {"header cut", Cut(good, 3), "shorter than its header", false},
        {"last record cut", Cut(good, good.size() - 1), "shorter than its records", false},
        {"n 32767", n32767, "shorter than its records", false},
        {"n negative", negative, "a negative number of records", false},
        {"m past the end", list({square, {-1, -9, 0, 0, 2}, member}), "more members than records", false},
        {"m negative", list({{-1, -9, 0, 0, -1}, member}), "more members than records", false},
        {"nested group", list({{-1, -9, 0, 0, 2}, {-1, -9, 0, 0, 1}, member}), "a group inside a group", false},
        {"kind 7", with({7, 0, 200, 100, 0}), "kind outside 0 to 5", false},
        {"kind -2", with({-2, 0, 200, 100, 0}), "kind outside 0 to 5", false},
        {"fill 40", with({0, 40, 200, 100, 0}), "piece fill outside", false},
        {"piece fill -9", with({0, -9, 200, 100, 0}), "piece fill outside", false},
        {"group fill -5", list({{-1, -5, 0, 0, 1}, member}), "group fill outside", false},
        {"angle 100", with({0, 0, 200, 100, 100}), "angle not a multiple", false},
        {"angle 3600", with({0, 0, 200, 100, 3600}), "angle not a multiple", false},
        {"angle -150", with({0, 0, 200, 100, -150}), "angle not a multiple", false},
        {"left of the area", with({0, 0, 116, 100, 0}), "outside the drawing area", true},
        {"on the right edge", with({0, 0, 631, 100, 0}), "outside the drawing area", true},
        {"below the area", with({0, 0, 200, 338, 0}), "outside the drawing area", true},
        {"member outside", list({{-1, -9, 300, 200, 1}, {2, 0, 300, 5, 0}}), "outside the drawing area", true},
    };
    for (const auto& c : cases) {
        const char* fault = media::PieceListFault(c.bytes, &area);
        if (c.fault) {
            ASSERT_NE(fault, nullptr) << c.name;
            EXPECT_NE(std::string(fault).find(c.fault), std::string::npos) << c.name << ": " << fault;
        } else {
            EXPECT_EQ(fault, nullptr) << c.name << ": " << fault;
        }
        EXPECT_EQ(media::CheckPieceList(c.bytes, &area), c.fault == nullptr) << c.name;
        EXPECT_EQ(media::CheckPieceList(c.bytes), c.withoutArea) << c.name;
    }
}

}  // namespace
