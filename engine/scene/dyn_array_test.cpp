#include "engine/scene/dyn_array.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/afx/message_box.h"

namespace {

// Counts the array's reports instead of showing them.
class CReports {
public:
    CReports()
        : m_saved(plat::SetMessageBoxHook([this](LPCSTR text, UINT type, UINT) {
              texts.emplace_back(text);
              EXPECT_EQ(type & MB_ICONMASK, UINT{MB_ICONEXCLAMATION});
              return IDOK;
          })) {}
    ~CReports() { plat::SetMessageBoxHook(m_saved); }
    std::vector<std::string> texts;

private:
    plat::MessageBoxHook m_saved;
};

template <class T>
std::vector<T> Items(const CDynArray<T>& a) {
    return std::vector<T>(a.begin(), a.end());
}

TEST(DynArray, GrowsByExactlyOneAndKeepsItsBlockWhenRemoving) {
    CDynArray<int*> a;
    int x[5] = {};
    EXPECT_EQ(a.GetCapacity(), 0u);
    for (uint32_t i = 0; i < 5; ++i) {
        a.Add(&x[i]);
        EXPECT_EQ(a.GetSize(), i + 1);
        EXPECT_EQ(a.GetCapacity(), i + 1);  // no spare room, the first add makes one slot
    }
    int* const* block = a.begin();
    a.Remove(&x[1]);
    EXPECT_EQ(Items(a), (std::vector<int*>{&x[0], &x[2], &x[3], &x[4]}));
    EXPECT_EQ(a.GetCapacity(), 5u);
    a.Add(&x[1]);
    EXPECT_EQ(a.begin(), block);  // no new block after a removal
    EXPECT_EQ(a.GetCapacity(), 5u);

    int absent = 0;
    a.Remove(&absent);
    EXPECT_EQ(a.GetSize(), 5u);
    a.Add(&x[0]);
    a.Remove(&x[0]);  // the first of equals
    EXPECT_EQ(Items(a), (std::vector<int*>{&x[2], &x[3], &x[4], &x[1], &x[0]}));
}

TEST(DynArray, AnElementOfItsOwnBlockCanBeAddedWhileItGrows) {
    CDynArray<uint16_t> a;
    a.Add(7);
    for (int i = 0; i < 4; ++i) a.Add(*a.At(0));
    a.InsertAt(1, a.begin(), a.GetSize());
    EXPECT_EQ(Items(a), std::vector<uint16_t>(10, 7));
}

// Invalid positions are reported and change nothing: no element moves, none is read or
// written, the block stays.
struct BadPosition {
    const char* name;
    void (*op)(CDynArray<uint16_t>&);
};

class DynArrayPosition : public ::testing::TestWithParam<BadPosition> {};

TEST_P(DynArrayPosition, IsReportedAndChangesNothing) {
    CReports reports;
    CDynArray<uint16_t> a;
    for (uint16_t v : {1, 2, 3}) a.Add(v);
    a.RemoveAt(2);  // capacity 3, size 2
    GetParam().op(a);
    EXPECT_EQ(reports.texts, std::vector<std::string>{"invalid CDynArray position"});
    EXPECT_EQ(Items(a), (std::vector<uint16_t>{1, 2}));
    EXPECT_EQ(a.GetCapacity(), 3u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DynArrayPosition,
    ::testing::Values(BadPosition{"RemoveBeyond", [](auto& a) { a.RemoveAt(3, 1); }},
                      BadPosition{"RemoveNegative", [](auto& a) { a.RemoveAt(-1, 1); }},
                      BadPosition{"RemoveFarBeyond", [](auto& a) { a.RemoveAt(32767, 5); }},
                      BadPosition{"InsertBeyond", [](auto& a) {
                          const uint16_t v[2] = {8, 9};
                          a.InsertAt(3, v, 2);
                      }},
                      BadPosition{"InsertNegative", [](auto& a) { a.InsertAt(-2, uint16_t{8}); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(DynArray, TooLongIsReportedAndNothingIsAllocated) {
    CReports reports;
    CDynArray<uint16_t> a;
    a.Add(4);
    a.SetSize(kDynArrayTooLong);
    EXPECT_EQ(reports.texts, std::vector<std::string>{"CDynArray too long"});
    EXPECT_EQ(Items(a), std::vector<uint16_t>{4});
    EXPECT_EQ(a.GetCapacity(), 1u);
}

// A record such as a shape's edge.
struct Edge {
    int16_t x, y;
    uint8_t kind;
    bool operator==(const Edge&) const = default;
};

TEST(DynArray, RecordsSetSizeInsertRemoveAndCopy) {
    CReports reports;
    CDynArray<Edge> edges;
    edges.SetSize(3, Edge{1, 1, 9});
    EXPECT_EQ(edges.GetCapacity(), 3u);
    const Edge more[2] = {{5, 6, 1}, {7, 8, 2}};
    edges.InsertAt(1, more, 2);
    EXPECT_EQ(edges.GetCapacity(), 5u);
    EXPECT_EQ(Items(edges), (std::vector<Edge>{{1, 1, 9}, {5, 6, 1}, {7, 8, 2}, {1, 1, 9}, {1, 1, 9}}));
    edges.RemoveAt(3, 100);  // as many as there are
    edges.RemoveAt(3, 1);    // at the end: nothing to remove, no report
    EXPECT_EQ(edges.GetSize(), 3u);
    EXPECT_EQ(edges.GetCapacity(), 5u);
    edges.SetSize(1);
    EXPECT_EQ(edges.GetCapacity(), 5u);
    edges.SetSize(2);  // grows inside the block: the new element is filled, not the old one
    EXPECT_EQ(Items(edges), (std::vector<Edge>{{1, 1, 9}, {0, 0, 0}}));

    CDynArray<Edge> copy = edges;
    EXPECT_EQ(copy.GetCapacity(), 2u);
    copy.At(0)->x = 42;
    EXPECT_EQ(edges.At(0)->x, 1);  // its own block
    const CDynArray<Edge>& same = copy;
    copy = same;  // onto itself
    EXPECT_EQ(copy.At(0)->x, 42);
    EXPECT_EQ(copy.At(2), nullptr);
    EXPECT_EQ(copy.At(-1), nullptr);
    copy.Free();
    EXPECT_EQ(copy.GetCapacity(), 0u);
    EXPECT_TRUE(reports.texts.empty());
}

}  // namespace
