// CPalItem: a module's 256-colour palette as a resource item ('PAL'), holding the identity
// palette made from it (CPalId, media/surface/pal_id.h) and its 256 entries as read back.
// Loading also tells the engine the palette's black index (BlackIndexOf).
//
// 'PAL' body: u16 number of colours n, then n colours of 3 bytes stored blue, green, red. A
// count above 256 or beyond what the item holds is cut to both: only whole colours present
// in the item are read, and entries past them are black.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "media/res/res_item.h"
#include "media/res/res_mgr.h"
#include "platform/gdi/wingdi.h"

class CPalId;

// The first entry from 10 up to the smaller of count and 246 (exclusive) whose colour is
// black; else the darkest there by sum of squares (the first of equals); 0 when no entry
// qualifies. rgb: 256 colours as red, green, blue.
int BlackIndexOf(std::span<const uint8_t, 768> rgb, int count);

class CPalItem : public CResItem {
    DECLARE_DYNAMIC(CPalItem)
public:
    static constexpr uint32_t kType = kResPAL;

    explicit CPalItem(int32_t id);
    ~CPalItem() override;

    void* GetData() override { return m_entries; }
    void SetData(void* /*data*/) override {}
    uint32_t TypeCode() const override { return kType; }
    // Reads the item, records its black index with the engine, makes the palette and reads
    // its entries back; 0 when the item cannot be read (the item stays as it was).
    BOOL Load() override;
    // The same from an item's bytes.
    BOOL LoadFromBytes(std::span<const uint8_t> item);

    CPalId* GetPalette() const { return m_palette.get(); }
    // Copies count entries from first (cut to the 256).
    void GetEntries(int first, int count, PALETTEENTRY* out) const;
    const PALETTEENTRY* Entries() const { return m_entries; }
    // Takes the entries again from the palette, after they were changed there.
    void ReadBackEntries();

private:
    std::unique_ptr<CPalId> m_palette;
    PALETTEENTRY m_entries[256] = {};
};
