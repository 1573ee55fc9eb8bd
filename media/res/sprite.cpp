#include "media/res/sprite.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "media/res/item_cache.h"
#include "platform/afx/exceptions.h"
#include "platform/core/byte_order.h"
#include "platform/core/rect.h"

IMPLEMENT_DYNAMIC(CSprite, CResItem)

namespace {

constexpr size_t kSprHeaderBytes = 12;

constexpr int SpriteStride(int width) {
    return ((width * 8 + 31) / 32) * 4;
}

}  // namespace

bool ParseSprItem(std::span<const uint8_t> item, SprLayout& out) {
    if (item.size() < kSprHeaderBytes) return false;
    const uint32_t width = plat::GetLe32(item, 0), height = plat::GetLe32(item, 4), count = plat::GetLe32(item, 8);
    if (width < 1 || height < 1 || width > kMaxSpriteSide || height > kMaxSpriteSide) return false;
    const int stride = SpriteStride(static_cast<int>(width));
    const uint64_t needed = static_cast<uint64_t>(stride) * height;
    if (count < needed || count > item.size() - kSprHeaderBytes) return false;
    out = SprLayout{static_cast<int>(width), static_cast<int>(height), stride, count};
    return true;
}

CSprite::CSprite(int32_t id) : CResItem(id) {}

CSprite::~CSprite() {
    TheChunkPool().Unlist(this);
    FreeBits();
}

void* CSprite::GetData() {
    EnsureLoaded();
    return m_bits;
}

void CSprite::SetData(void* bits) {
    if (m_bits != bits) TheChunkPool().FreeBlock(m_bits);
    m_bits = static_cast<BYTE*>(bits);
}

void CSprite::FreeBits() {
    TheChunkPool().FreeBlock(m_bits);
    m_bits = nullptr;
    m_loaded = 0;
}

BOOL CSprite::EnsureLoaded() {
    if (!m_bits && !m_loaded) Load();
    return m_bits && m_stride != 0;
}

BYTE* CSprite::NewBits(int width, int height) {
    const size_t size = static_cast<size_t>(SpriteStride(width)) * static_cast<size_t>(height);
    void* bits = TheChunkPool().Alloc(CChunkPool::kMovable | CChunkPool::kZeroInit, size);
    if (!bits) AfxThrowMemoryException();
    return static_cast<BYTE*>(bits);
}

BOOL CSprite::LoadFromBytes(std::span<const uint8_t> item) {
    SprLayout layout;
    if (!ParseSprItem(item, layout)) return FALSE;
    FreeBits();
    // A dropped picture keeps what it loads: it can no longer be found to be loaded again.
    m_purgeable = IsDropped() ? 0 : 1;
    BYTE* bits = NewBits(layout.width, layout.height);
    m_bits = bits;
    m_width = layout.width;
    m_height = layout.height;
    m_stride = layout.stride;
    m_size = static_cast<uint32_t>(layout.stride) * static_cast<uint32_t>(layout.height);
    m_transparent = 1;
    m_loaded = 1;
    // Bytes stored past height * stride are not part of the picture.
    std::memcpy(m_bits, item.data() + kSprHeaderBytes, m_size);
    if (m_purgeable) TheChunkPool().Register(this);
    return TRUE;
}

BOOL CSprite::Load() {
    std::vector<uint8_t> item;
    ResDirEntry* lookedUp = nullptr;  // a dropped picture keeps no entry
    if (!ReadResourceItem(kType, m_id, IsDropped() ? &lookedUp : &m_entry, item)) return FALSE;
    return LoadFromBytes(item);
}

BOOL CSprite::AllocBits(int width, int height) {
    if (width < 1 || height < 1 || width > kMaxSpriteSide || height > kMaxSpriteSide) return FALSE;
    BYTE* bits = NewBits(width, height);
    FreeBits();
    m_bits = bits;
    m_width = width;
    m_height = height;
    m_stride = SpriteStride(width);
    m_size = static_cast<uint32_t>(m_stride) * static_cast<uint32_t>(height);
    m_purgeable = 0;
    m_loaded = 1;
    return TRUE;
}

BOOL CSprite::ContainsPoint(POINT p) const {
    const int64_t x = int64_t{m_hotspotX} + p.x, y = int64_t{m_hotspotY} + p.y;
    return x >= 0 && x < m_width && y >= 0 && y < m_height;
}

BOOL CSprite::HitPixel(POINT p) {
    if (!ContainsPoint(p) || !EnsureLoaded()) return FALSE;
    // A load may have changed the sizes; test again before reading.
    if (!ContainsPoint(p)) return FALSE;
    return m_bits[static_cast<size_t>(m_hotspotY + p.y) * m_stride + static_cast<size_t>(m_hotspotX + p.x)] != 0;
}

BOOL CSprite::IntersectsRect(const RECT& r) const {
    const RECT a = AnchorRect();
    RECT common;
    return IntersectRect(&common, &a, &r);
}

BOOL CSprite::BlitSprite(CSprite& source, int x, int y) {
    if (&source == this) return FALSE;
    // Loading either picture may purge; neither may lose its pixels to the other's load. A
    // purged target loads again, so its old pixels are kept.
    {
        CChunkPool::CHold hold(this);
        if (!source.EnsureLoaded()) return FALSE;
    }
    if (!m_bits && !m_loaded) {
        CChunkPool::CHold hold(&source);
        EnsureLoaded();
    }
    // The source's top-left corner in this picture's pixels.
    const int64_t left = int64_t{m_hotspotX} + x - source.m_hotspotX;
    const int64_t top = int64_t{m_hotspotY} + y - source.m_hotspotY;
    const int sw = source.m_width, sh = source.m_height;
    const bool transparent = source.m_transparent != 0;

    auto copyInto = [&](BYTE* dst, int dstStride, int64_t dx, int64_t dy) {
        for (int row = 0; row < sh; ++row) {
            const BYTE* s = source.m_bits + static_cast<size_t>(row) * source.m_stride;
            BYTE* d = dst + static_cast<size_t>(dy + row) * dstStride + static_cast<size_t>(dx);
            if (transparent) {
                for (int i = 0; i < sw; ++i)
                    if (s[i]) d[i] = s[i];
            } else {
                std::memcpy(d, s, static_cast<size_t>(sw));
            }
        }
    };

    if (m_bits && m_stride > 0 && left >= 0 && top >= 0 && left + sw <= m_stride && top + sh <= m_height) {
        copyInto(m_bits, m_stride, left, top);
        if (left + sw > m_width) m_width = m_stride;
        return TRUE;
    }

    // Grow to the union of both rectangles (anchor-relative); an empty picture counts as one
    // pixel at its hot spot, so the grown picture still holds its anchor.
    RECT old = m_bits ? AnchorRect() : RECT{-m_hotspotX, -m_hotspotY, -m_hotspotX + 1, -m_hotspotY + 1};
    const int64_t srcLeft = left - m_hotspotX, srcTop = top - m_hotspotY;
    const int64_t nl = std::min<int64_t>(old.left, srcLeft), nt = std::min<int64_t>(old.top, srcTop);
    const int64_t nr = std::max<int64_t>(old.right, srcLeft + sw), nb = std::max<int64_t>(old.bottom, srcTop + sh);
    if (nr - nl > kMaxSpriteSide || nb - nt > kMaxSpriteSide) return FALSE;
    const int nw = static_cast<int>(nr - nl), nh = static_cast<int>(nb - nt);
    BYTE* bits = nullptr;
    {
        // The allocation may purge: neither the source nor this picture's old pixels may go
        // while they are still to be copied.
        CChunkPool::CHold hold(&source, this);
        bits = NewBits(nw, nh);
    }
    const int stride = SpriteStride(nw);
    if (m_bits) {
        const int64_t ox = old.left - nl, oy = old.top - nt;
        for (int row = 0; row < m_height; ++row)
            std::memcpy(bits + static_cast<size_t>(oy + row) * stride + static_cast<size_t>(ox),
                        m_bits + static_cast<size_t>(row) * m_stride, static_cast<size_t>(m_width));
    }
    copyInto(bits, stride, srcLeft - nl, srcTop - nt);
    TheChunkPool().FreeBlock(m_bits);
    m_bits = bits;
    m_width = nw;
    m_height = nh;
    m_stride = stride;
    m_size = static_cast<uint32_t>(stride) * static_cast<uint32_t>(nh);
    m_hotspotX = static_cast<int32_t>(-nl);
    m_hotspotY = static_cast<int32_t>(-nt);
    m_purgeable = 0;
    m_loaded = 1;
    return TRUE;
}

void CSprite::RemapToPalette(HPALETTE from, HPALETTE to) {
    PALETTEENTRY entries[256];
    if (!from || !to || GetPaletteEntries(from, 0, 256, entries) != 256 || !EnsureLoaded()) return;
    BYTE map[256];
    for (int i = 0; i < 256; ++i)
        map[i] = static_cast<BYTE>(GetNearestPaletteIndex(to, RGB(entries[i].peRed, entries[i].peGreen, entries[i].peBlue)));
    for (uint32_t i = 0; i < m_size; ++i) m_bits[i] = map[m_bits[i]];
}
