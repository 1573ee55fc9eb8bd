// CSprite: an 8-bit picture item ('SPR'). Its pixels are rows of Stride() bytes, top row
// first, pixel (x, y) at y * stride + x; colour 0 is transparent unless the transparent flag is
// cleared. The hot spot places the picture: an anchor-relative point p lies at pixel
// (hotspot x + p.x, hotspot y + p.y), so the picture's top-left corner is at -hotspot.
//
// A picture is unloaded (no pixels), loaded (pixels from the resource file, purgeable: a purge
// may free them and the next use loads them again) or built (pixels made by AllocBits or grown
// by BlitSprite: not purgeable, never reloaded).
#pragma once

#include <cstdint>
#include <span>

#include "media/res/res_item.h"
#include "media/res/res_mgr.h"
#include "platform/gdi/wingdi.h"

// The 'SPR' item layout: u32 width, u32 height, u32 number of pixel bytes, then the bytes.
struct SprLayout {
    int width = 0;
    int height = 0;
    int stride = 0;
    uint32_t pixelBytes = 0;  // as stored (at least height * stride)
};
// The largest side an 'SPR' item may have.
inline constexpr int kMaxSpriteSide = 8192;
// Checks an item's bytes: sides 1..kMaxSpriteSide, at least height * stride pixel bytes stored,
// and all of them inside the item.
bool ParseSprItem(std::span<const uint8_t> item, SprLayout& out);

class CSprite : public CResItem {
    DECLARE_DYNAMIC(CSprite)
public:
    static constexpr uint32_t kType = kResSPR;

    // Unloaded, no pixels, hot spot 0, transparent, purgeable. Id -1 for pictures made in memory.
    explicit CSprite(int32_t id);
    ~CSprite() override;

    // Loads first when needed; the pixels or null.
    void* GetData() override;
    // Frees the old pixels and takes a block from CChunkPool::Alloc of Size() bytes.
    void SetData(void* bits) override;
    void ReleaseData() override { FreeBits(); }
    uint32_t TypeCode() const override { return kType; }
    // Reads the 'SPR' item of the id from its module's resource file.
    BOOL Load() override;

    // Takes the pixels from the bytes of an 'SPR' item; 0 for a damaged item. The memory
    // exception when the pixels cannot be had.
    BOOL LoadFromBytes(std::span<const uint8_t> item);
    // A blank built picture (all 0): not purgeable, loaded, not listed in the pool. The memory
    // exception when the pixels cannot be had; 0 for sizes outside 1..kMaxSpriteSide.
    BOOL AllocBits(int width, int height);
    // Releases the pixels and clears the loaded flag.
    void FreeBits();
    // Whether pixels exist with a non-zero stride, loading when there are none and the
    // loaded flag is clear.
    BOOL EnsureLoaded();

    BOOL ContainsPoint(POINT p) const;
    // ContainsPoint, loading first, and the pixel there is not 0.
    BOOL HitPixel(POINT p);
    // Whether the picture's rectangle (anchor-relative) meets r.
    BOOL IntersectsRect(const RECT& r) const;
    // Copies source into this picture with source's anchor at (x, y) of this picture's anchor;
    // grows this picture to the union of both when the source does not fit. 0 when the
    // source has no pixels.
    BOOL BlitSprite(CSprite& source, int x, int y);
    // Each pixel through a map from the colours of one palette to the nearest of another.
    void RemapToPalette(HPALETTE from, HPALETTE to);

    BYTE* Bits() { return m_bits; }
    const BYTE* Bits() const { return m_bits; }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    int Stride() const { return m_stride; }
    uint32_t Size() const { return m_size; }
    int HotspotX() const { return m_hotspotX; }
    int HotspotY() const { return m_hotspotY; }
    void SetHotspot(int x, int y) {
        m_hotspotX = x;
        m_hotspotY = y;
    }
    BOOL IsTransparent() const { return m_transparent != 0; }
    void SetTransparent(BOOL on) { m_transparent = on ? 1 : 0; }
    BOOL IsLoaded() const { return m_loaded != 0; }
    void SetLoaded(BOOL on) { m_loaded = on ? 1 : 0; }
    // The picture's rectangle relative to its anchor.
    RECT AnchorRect() const { return RECT{-m_hotspotX, -m_hotspotY, m_width - m_hotspotX, m_height - m_hotspotY}; }

private:
    // New pixels of the given size from the pool (memory exception when there are none).
    BYTE* NewBits(int width, int height);

    BYTE* m_bits = nullptr;
    int32_t m_width = 0;
    int32_t m_height = 0;
    int32_t m_hotspotX = 0;
    int32_t m_hotspotY = 0;
    int32_t m_stride = 0;
    uint32_t m_size = 0;
    uint32_t m_transparent = 1;
    uint32_t m_loaded = 0;
};
