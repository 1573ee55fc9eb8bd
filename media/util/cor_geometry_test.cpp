#include "media/util/cor_geometry.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <iterator>
#include <new>

namespace {

TEST(CorPoint, ArithmeticWrapsTo16BitsAndComparesFieldByField) {
    const CCorPoint a{3, 4};
    EXPECT_EQ((a + CCorPoint{10, -20}), (CCorPoint{13, -16}));
    EXPECT_EQ(a - a, (CCorPoint{0, 0}));
    EXPECT_TRUE(a - a == (CCorPoint{0, 0}));
    EXPECT_FALSE(a != (CCorPoint{3, 4}));
    EXPECT_TRUE(a != (CCorPoint{3, 5}));
    EXPECT_TRUE(a != (CCorPoint{2, 4}));

    // The activities' layouts rely on 16-bit wrapping, never on a wider result.
    EXPECT_EQ((CCorPoint{32767, -32768} + CCorPoint{1, -1}), (CCorPoint{-32768, 32767}));

    CCorPoint b{1, 1};
    CCorPoint& same = (b += CCorPoint{2, 3});
    EXPECT_EQ(&same, &b);
    EXPECT_EQ(b, (CCorPoint{3, 4}));
    EXPECT_EQ(&(b -= CCorPoint{3, 4}), &b);
    EXPECT_EQ(b, (CCorPoint{0, 0}));
}

TEST(CorRect, MovesByAPointAndComparesAllFourFields) {
    CCorRect r{10, 10, 20, 20};
    EXPECT_EQ(&(r += CCorPoint{5, -3}), &r);
    EXPECT_EQ(r, (CCorRect{15, 7, 25, 17}));
    r -= CCorPoint{5, -3};
    EXPECT_EQ(r, (CCorRect{10, 10, 20, 20}));
    for (const CCorRect other : {CCorRect{11, 10, 20, 20}, CCorRect{10, 11, 20, 20}, CCorRect{10, 10, 21, 20},
                                 CCorRect{10, 10, 20, 21}}) {
        EXPECT_TRUE(r != other);
        EXPECT_FALSE(r == other);
    }
}

struct PairCase {
    CCorRect a, b;
    CCorRect intersection, unionRect;
    bool intersectionEmpty;
};

TEST(CorRect, IntersectAndUnionTable) {
    const PairCase cases[] = {
        // Overlapping.
        {{10, 10, 20, 20}, {15, 5, 30, 12}, {15, 10, 20, 12}, {10, 5, 30, 20}, false},
        // Apart: the inverted common part becomes all zeros.
        {{10, 10, 20, 20}, {30, 30, 40, 40}, {0, 0, 0, 0}, {10, 10, 40, 40}, true},
        // Touching edges: normal but empty, kept as it is.
        {{10, 10, 20, 20}, {20, 10, 30, 20}, {20, 10, 20, 20}, {10, 10, 30, 20}, true},
        // An empty rectangle takes part in the union like any other.
        {{10, 10, 20, 20}, {0, 0, 0, 0}, {0, 0, 0, 0}, {0, 0, 20, 20}, true},
        // Negative coordinates.
        {{-20, -20, -5, -5}, {-10, -30, 5, -8}, {-10, -20, -5, -8}, {-20, -30, 5, -5}, false},
    };
    for (const PairCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.a.left << "," << c.a.top << " with " << c.b.left << "," << c.b.top);
        CCorRect out{1, 2, 3, 4};
        EXPECT_EQ(&c.a.Intersect(out, c.b), &out);
        EXPECT_EQ(out, c.intersection);
        EXPECT_EQ(out.IsEmpty(), c.intersectionEmpty);
        EXPECT_TRUE(out.IsNormal());
        EXPECT_EQ(&c.a.Union(out, c.b), &out);
        EXPECT_EQ(out, c.unionRect);

        // The result may be written over either source.
        CCorRect inPlace = c.a;
        inPlace.Intersect(inPlace, c.b);
        EXPECT_EQ(inPlace, c.intersection);
        inPlace = c.b;
        c.a.Union(inPlace, inPlace);
        EXPECT_EQ(inPlace, c.unionRect);
    }
}

TEST(CorRect, EmptyNormalAndContains) {
    struct {
        CCorRect r;
        bool empty, normal;
    } const shapes[] = {
        {{10, 10, 20, 20}, false, true},
        {{10, 10, 10, 20}, true, true},  // zero width
        {{10, 10, 20, 10}, true, true},  // zero height
        {{20, 10, 10, 20}, true, false},
        {{10, 20, 20, 10}, true, false},
    };
    for (const auto& s : shapes) {
        EXPECT_EQ(s.r.IsEmpty(), s.empty) << s.r.left << "," << s.r.top << "," << s.r.right << "," << s.r.bottom;
        EXPECT_EQ(s.r.IsNormal(), s.normal) << s.r.left << "," << s.r.top << "," << s.r.right << "," << s.r.bottom;
    }

    const CCorRect r{10, 10, 20, 20};
    struct {
        CCorPoint p;
        bool inside;
    } const points[] = {
        {{10, 10}, true}, {{20, 15}, false}, {{15, 19}, true}, {{15, 20}, false},
        {{9, 15}, false}, {{15, 9}, false},  {{19, 19}, true},
    };
    for (const auto& q : points) EXPECT_EQ(r.Contains(q.p), q.inside) << q.p.x << "," << q.p.y;
}

}  // namespace

// The level chooser makes its 26 rectangles in storage that held other bytes: each field of
// every one starts at 0, without value-initialisation doing it for them.
TEST(Rect16, MadeInUsedStorageEveryFieldIsZero) {
    alignas(Rect16) unsigned char storage[26 * sizeof(Rect16)];
    std::memset(storage, 0xA5, sizeof storage);
    for (size_t i = 0; i < 26; ++i) {
        const Rect16* r = new (storage + i * sizeof(Rect16)) Rect16;
        EXPECT_EQ(r->left, 0) << i;
        EXPECT_EQ(r->top, 0) << i;
        EXPECT_EQ(r->right, 0) << i;
        EXPECT_EQ(r->bottom, 0) << i;
    }
    EXPECT_TRUE(std::all_of(std::begin(storage), std::end(storage), [](unsigned char b) { return b == 0; }));
}
