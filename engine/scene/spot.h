// Spots: invisible clickable areas of a module's screen. A CSpot is a rectangle in
// frame-surface coordinates (the 'SPT' item's picture coordinates plus the picture origin),
// optionally narrowed by a 1-bit mask (media/res/spot_format.h). A click in it takes the
// spot's own action: going to its target module, or calling the function the module set
// while the spot is enabled. CSpotList holds the current module's spots, filled from 'SP#'
// lists of spot ids; searched from the head, so the spot listed first wins. The list owns
// its spots. User-interface thread only.
#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <vector>

#include "media/res/res_item.h"
#include "media/res/res_mgr.h"
#include "media/res/spot_format.h"
#include "platform/core/wintypes.h"

class CDibG;
class CDirtyRectList;

class CSpot : public CResItem {
    DECLARE_DYNAMIC(CSpot)
public:
    static constexpr uint32_t kType = kResSPT;
    using Callback = void (*)(int16_t spotId);

    // Not loaded; enabled; no outline, callback or target.
    explicit CSpot(int32_t id);

    void* GetData() override { return m_body.empty() ? nullptr : m_body.data(); }
    void SetData(void* /*data*/) override {}
    uint32_t TypeCode() const override { return kType; }
    // Reads the 'SPT' item of the id: 1, or 0 for a missing, unreadable or malformed item
    // (shorter than its mask, right left of left, bottom above top).
    BOOL Load() override;

    // Inside the rectangle (right and bottom outside) and, with a mask, on a set bit.
    BOOL HitTest(POINT p) const;
    // Not hit: false. With a target module: the engine switches there; true. Else with a
    // callback while enabled: it is called with the id modulo 1000; true. Else false (the
    // click goes on to the next spot). After an action the spot may be gone: nothing of it
    // is touched then.
    BOOL OnClick(POINT p);
    // A frame 2 pixels wide around the rectangle in the palette's darkest entry from 10 to
    // 245; points off the surface are skipped.
    void DrawOutline(CDibG& surface) const;

    RECT GetRect() const { return m_rect; }
    // A spot made in code: the rectangle (frame coordinates), no mask.
    void SetRect(const RECT& r) { m_rect = r; }
    void SetCallback(Callback callback) { m_callback = callback; }
    Callback GetCallback() const { return m_callback; }
    void SetTargetModule(int module) { m_targetModule = module; }
    int GetTargetModule() const { return m_targetModule; }
    void SetOutline(BOOL on) { m_outline = on ? 1 : 0; }
    BOOL HasOutline() const { return m_outline != 0; }
    void Enable(BOOL on) { m_enabled = on ? 1 : 0; }
    BOOL IsEnabled() const { return m_enabled != 0; }
    bool HasMask() const { return m_layout.hasMask; }

private:
    RECT m_rect{};
    std::vector<uint8_t> m_body;  // the item's bytes, which m_layout's mask points into
    SpotLayout m_layout;
    Callback m_callback = nullptr;
    int m_targetModule = 0;
    uint32_t m_outline = 0;
    uint32_t m_enabled = 1;
};

class CSpotList {
public:
    // Loads each spot listed in the 'SP#' item of the absolute id and appends those that load;
    // false (the list as it was) when the list is missing or unreadable. An odd byte at the end
    // of the list is not read.
    BOOL LoadList(int32_t listId);
    // Deletes each spot of the list that is present; false when the list cannot be read.
    BOOL UnloadList(int32_t listId);
    int RemoveAll();
    // Appends a spot at the tail.
    void Append(std::unique_ptr<CSpot> spot);
    // Deletes the first spot of the id; false when there is none.
    bool Delete(int32_t id);
    // OnClick on each spot from the head until one acts: 1, else 0.
    int ClickAt(POINT p);
    // The absolute id of the first spot hit, enabled or not, or 0.
    int32_t FindAt(POINT p) const;
    CSpot* FindById(int32_t id) const;
    // Outlines of the spots with the outline flag whose rectangles meet a dirty rectangle.
    void DrawOutlines(CDibG& surface, const CDirtyRectList& dirty) const;

    size_t GetCount() const { return m_spots.size(); }

private:
    static bool ReadList(int32_t listId, std::vector<int32_t>& ids);

    std::list<std::unique_ptr<CSpot>> m_spots;
};
