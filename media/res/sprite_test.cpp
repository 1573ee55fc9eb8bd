#include "media/res/sprite.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "media/res/res_items_test_support.h"
#include "platform/afx/exceptions.h"
#include "platform/core/byte_order.h"
#include "platform/gdi/wingdi.h"
#include "platform/headless/headless_backend.h"

namespace {

using itemtest::Bytes;
using itemtest::Spr;

std::vector<Bytes> Rows(const CSprite& s) {
    std::vector<Bytes> rows;
    for (int y = 0; y < s.Height(); ++y) {
        const BYTE* r = s.Bits() + static_cast<size_t>(y) * s.Stride();
        rows.emplace_back(r, r + s.Width());
    }
    return rows;
}

std::unique_ptr<CSprite> Loaded(int width, const std::vector<Bytes>& rows) {
    auto s = std::make_unique<CSprite>(-1);
    const Bytes item = Spr(width, rows);
    EXPECT_TRUE(s->LoadFromBytes(item));
    return s;
}

TEST(SprItem, RefusesShortAndAbsurdItems) {
    SprLayout l;
    const Bytes good = Spr(5, {Bytes(5, 1), Bytes(5, 2)});
    ASSERT_TRUE(ParseSprItem(good, l));
    EXPECT_EQ(l.stride, 8);
    auto with = [&](size_t at, uint32_t value, size_t cut = 0) {
        Bytes b = good;
        plat::SetLe32(b, at, value);
        b.resize(b.size() - cut);
        SprLayout out;
        return ParseSprItem(b, out);
    };
    EXPECT_FALSE(with(8, 15));            // fewer pixel bytes than height × stride (16)
    EXPECT_FALSE(with(8, 16, 1));         // more than the item holds
    EXPECT_FALSE(with(0, 0));             // no width
    EXPECT_FALSE(with(4, 0));             // no height
    EXPECT_FALSE(with(0, 0x40000000));    // absurd width (its stride would overflow)
    EXPECT_FALSE(with(4, 100000));        // absurd height
    EXPECT_FALSE(ParseSprItem(Bytes(11, 0), l));
    // More pixel bytes than the rows need are allowed; the picture keeps height × stride.
    CSprite s(-1);
    ASSERT_TRUE(s.LoadFromBytes(Spr(5, {Bytes(5, 1), Bytes(5, 2)}, 7)));
    EXPECT_EQ(s.Size(), 16u);
    EXPECT_EQ(Rows(s), (std::vector<Bytes>{Bytes(5, 1), Bytes(5, 2)}));
}

TEST(Sprite, LoadedPicturesArePurgeableAndListed) {
    auto s = Loaded(3, {{1, 2, 3}});
    EXPECT_TRUE(s->IsLoaded());
    EXPECT_EQ(s->m_purgeable, 1u);
    EXPECT_TRUE(TheChunkPool().IsListed(s.get()));
    EXPECT_TRUE(s->IsTransparent());
    s.reset();
    EXPECT_EQ(TheChunkPool().GetCount(), 0u);
}

TEST(Sprite, AllocBitsMakesABuiltBlankPicture) {
    CSprite s(-1);
    ASSERT_TRUE(s.AllocBits(5, 3));
    EXPECT_EQ(s.Stride(), 8);
    EXPECT_EQ(Rows(s), (std::vector<Bytes>(3, Bytes(5, 0))));
    EXPECT_EQ(s.m_purgeable, 0u);
    EXPECT_TRUE(s.IsLoaded());
    EXPECT_FALSE(TheChunkPool().IsListed(&s));
    EXPECT_FALSE(s.AllocBits(0, 3));
}

TEST(Sprite, HitTestsGoThroughTheHotspot) {
    auto s = Loaded(3, {{0, 5, 0}, {6, 0, 7}});
    s->SetHotspot(1, 1);  // anchor on pixel (1, 1)
    EXPECT_TRUE(s->ContainsPoint(POINT{-1, -1}));
    EXPECT_TRUE(s->ContainsPoint(POINT{1, 0}));
    EXPECT_FALSE(s->ContainsPoint(POINT{2, 0}));
    EXPECT_FALSE(s->ContainsPoint(POINT{0, 1}));
    EXPECT_TRUE(s->HitPixel(POINT{0, -1}));   // pixel (1, 0) = 5
    EXPECT_FALSE(s->HitPixel(POINT{0, 0}));   // pixel (1, 1) = 0
    EXPECT_TRUE(s->HitPixel(POINT{1, 0}));    // pixel (2, 1) = 7
    EXPECT_TRUE(s->IntersectsRect(RECT{1, 0, 5, 5}));
    EXPECT_FALSE(s->IntersectsRect(RECT{2, 0, 5, 5}));  // touching the right edge only
}

TEST(Sprite, BlitSpriteGrowsAnEmptyTarget) {
    auto source = Loaded(3, {{1, 0, 2}, {3, 4, 5}});
    source->SetHotspot(1, 1);
    CSprite target(-1);  // an item with no pixels
    ASSERT_TRUE(target.BlitSprite(*source, 5, 4));
    // The source's top-left lands at (4, 3); the target keeps its anchor pixel (0, 0).
    EXPECT_EQ(target.Width(), 7);
    EXPECT_EQ(target.Height(), 5);
    EXPECT_EQ(target.HotspotX(), 0);
    EXPECT_EQ(target.HotspotY(), 0);
    const std::vector<Bytes> want = {Bytes(7, 0), Bytes(7, 0), Bytes(7, 0), {0, 0, 0, 0, 1, 0, 2},
                                     {0, 0, 0, 0, 3, 4, 5}};
    EXPECT_EQ(Rows(target), want);
    EXPECT_EQ(target.m_purgeable, 0u);
    EXPECT_TRUE(target.IsLoaded());
}

TEST(Sprite, BlitSpriteGrowingUpAndLeftKeepsOldPixelsInPlace) {
    auto target = Loaded(2, {{7, 8}});
    target->SetHotspot(0, 0);
    target->SetTransparent(FALSE);
    auto source = Loaded(1, {{9}});
    ASSERT_TRUE(target->BlitSprite(*source, -2, -1));
    EXPECT_EQ(target->HotspotX(), 2);
    EXPECT_EQ(target->HotspotY(), 1);
    EXPECT_EQ(Rows(*target), (std::vector<Bytes>{{9, 0, 0, 0}, {0, 0, 7, 8}}));
    // The anchor-relative point (0, 0) still shows the old pixel 7.
    EXPECT_TRUE(target->HitPixel(POINT{0, 0}));
    EXPECT_FALSE(target->IsTransparent());  // the target's own flag is kept
}

TEST(Sprite, BlitSpriteInsideTheStrideWidensToIt) {
    auto target = Loaded(5, {Bytes(5, 1), Bytes(5, 1)});  // stride 8
    auto source = Loaded(3, {{2, 0, 3}});
    ASSERT_TRUE(target->BlitSprite(*source, 4, 1));
    EXPECT_EQ(target->Width(), 8);  // reached past the width: the width becomes the stride
    EXPECT_EQ(Rows(*target)[1], (Bytes{1, 1, 1, 1, 2, 0, 3, 0}));  // 5 was padding; 0 is skipped
    CSprite empty(-1);
    EXPECT_FALSE(target->BlitSprite(empty, 0, 0));  // a source without pixels
}

// Memory where the pool's 400 000-byte probe always fails, so every allocation purges the
// whole list before its last plain try.
class CProbeFails : public CChunkPool::IMemory {
public:
    void* Allocate(size_t size) override { return size == CChunkPool::kProbeBytes ? nullptr : std::malloc(size ? size : 1); }
    void Release(void* block) override { std::free(block); }
};

// Growing a target allocates through the pool, which may purge anything listed: the source
// being copied and the target's own old pixels must survive it.
TEST(Sprite, BlitSpriteGrowingUnderPurgeKeepsSourceAndTarget) {
    struct Case {
        const char* what;
        bool emptyTarget;
        std::vector<Bytes> want;
        int hotspotX, hotspotY;
    };
    const Case cases[] = {
        {"empty target", true, {{0, 0, 0}, {0, 0, 0}, {0, 3, 4}, {0, 5, 6}}, 0, 0},
        {"smaller target", false, {{3, 4, 0, 0}, {5, 6, 7, 8}}, 2, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CProbeFails memory;
        struct PutBack {
            CChunkPool::IMemory* old = nullptr;
            ~PutBack() { TheChunkPool().SetMemory(old); }
        } putBack;
        {
            // Source and target are the oldest of 500 listed chunks: the first to be purged.
            auto source = Loaded(2, {{3, 4}, {5, 6}});
            std::unique_ptr<CSprite> target = c.emptyTarget ? std::make_unique<CSprite>(-1) : Loaded(2, {{7, 8}});
            target->SetTransparent(FALSE);
            std::vector<std::unique_ptr<CSprite>> others;
            while (TheChunkPool().GetCount() < CChunkPool::kMaxChunks) others.push_back(Loaded(1, {{1}}));
            ASSERT_EQ(TheChunkPool().GetCount(), CChunkPool::kMaxChunks);

            putBack.old = TheChunkPool().SetMemory(&memory);
            ASSERT_TRUE(target->BlitSprite(*source, c.emptyTarget ? 1 : -2, c.emptyTarget ? 2 : -1));
            EXPECT_EQ(others.front()->Bits(), nullptr) << "the allocation did purge";
            ASSERT_NE(source->Bits(), nullptr);
            EXPECT_EQ(Rows(*source), (std::vector<Bytes>{{3, 4}, {5, 6}}));
            EXPECT_TRUE(source->IsLoaded());
            EXPECT_TRUE(TheChunkPool().IsListed(source.get())) << "the source stays purgeable later";
            EXPECT_EQ(Rows(*target), c.want);
            EXPECT_EQ(target->HotspotX(), c.hotspotX);
            EXPECT_EQ(target->HotspotY(), c.hotspotY);
            EXPECT_EQ(target->m_purgeable, 0u);
        }
        EXPECT_EQ(TheChunkPool().GetCount(), 0u);
    }
}

TEST(Sprite, BuiltPictureSurvivesAPurgeButLeavesTheList) {
    auto picture = Loaded(2, {{1, 2}});
    auto other = Loaded(1, {{3}});
    ASSERT_TRUE(TheChunkPool().IsListed(picture.get()));
    ASSERT_TRUE(picture->BlitSprite(*other, 5, 0));  // grows: built now
    ASSERT_TRUE(TheChunkPool().IsListed(picture.get()));
    TheChunkPool().Purge(4);  // up to four from the head: both
    EXPECT_FALSE(TheChunkPool().IsListed(picture.get()));
    EXPECT_NE(picture->Bits(), nullptr);
    EXPECT_EQ(Rows(*picture)[0], (Bytes{1, 2, 0, 0, 0, 3}));
    EXPECT_EQ(other->Bits(), nullptr);  // the loaded one lost its pixels
    EXPECT_FALSE(other->IsLoaded());
}

TEST(Sprite, RemapToPaletteUsesTheNearestColours) {
    plat::InstallHeadless();
    plat::ResetGdi();
    std::vector<uint8_t> buf(sizeof(LOGPALETTE) + 255 * sizeof(PALETTEENTRY));
    auto* lp = reinterpret_cast<LOGPALETTE*>(buf.data());
    lp->palVersion = 0x300;
    lp->palNumEntries = 256;
    for (int i = 0; i < 256; ++i) lp->palPalEntry[i] = PALETTEENTRY{static_cast<BYTE>(i), 0, 0, 0};
    HPALETTE from = CreatePalette(lp);
    for (int i = 0; i < 256; ++i) lp->palPalEntry[i] = PALETTEENTRY{static_cast<BYTE>(255 - i), 0, 0, 0};
    HPALETTE to = CreatePalette(lp);
    auto s = Loaded(3, {{0, 10, 255}});
    s->RemapToPalette(from, to);
    EXPECT_EQ(Rows(*s)[0], (Bytes{255, 245, 0}));
    DeleteObject(from);
    DeleteObject(to);
    plat::ResetGdi();
}

TEST(Sprite, NoMemoryForPixelsRaisesTheMemoryException) {
    class CNoMemory : public CChunkPool::IMemory {
        void* Allocate(size_t) override { return nullptr; }
        void Release(void*) override {}
    } none;
    TheChunkPool().SetMemory(&none);
    CSprite s(-1);
    bool memory = false;
    try {
        s.AllocBits(4, 4);
    } catch (CException* e) {
        memory = e->IsKindOf(RUNTIME_CLASS(CMemoryException));
        e->Delete();
    }
    TheChunkPool().SetMemory(nullptr);
    EXPECT_TRUE(memory);
    EXPECT_EQ(s.Bits(), nullptr);
}

}  // namespace
