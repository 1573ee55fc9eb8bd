// CTwoStateButton: one of the engine's navigation buttons drawn over every module screen: a
// position (where the pictures' hot spots go), two pictures for its two states, a state and a
// visibility flag. State 0 shows the first picture (the second when there is no first),
// state 1 the second. The button holds uses of its pictures (media/res/res_item.h).
#pragma once

#include <cstdint>

#include "media/res/res_item.h"
#include "media/res/sprite.h"
#include "platform/core/wintypes.h"
#include "platform/gdi/wingdi.h"

class CDibG;
class CDirtyRectList;

class CTwoStateButton {
public:
    // Both pictures from the item cache (loaded), made opaque.
    void Create(POINT position, int32_t state, int32_t firstId, int32_t secondId, BOOL visible);
    // Not shown from now on; nothing is invalidated, so the old picture stays on screen until
    // something else redraws the area.
    void Hide() { m_visible = 0; }
    void Show(BOOL visible);
    void Toggle();
    void SetState(int32_t state);
    // Adds the current picture's rectangle to the dirty rectangles.
    void Invalidate() const;
    // Draws the current picture where the area around the position (inflated by the picture's
    // size) meets the dirty rectangles, clipped to their union there.
    void Draw(CDibG& surface, const CDirtyRectList& dirty);
    BOOL HitTest(int x, int y) const;
    void RemapToPalette(HPALETTE from, HPALETTE to);

    POINT GetPosition() const { return m_position; }
    int32_t GetState() const { return m_state; }
    BOOL IsVisible() const { return m_visible != 0; }
    CSprite* GetFirst() const { return m_first.Get(); }
    CSprite* GetSecond() const { return m_second.Get(); }

private:
    // The picture of the current state, or null.
    CSprite* Current() const;

    POINT m_position{};
    int32_t m_state = 0;
    CResItemRef<CSprite> m_first;
    CResItemRef<CSprite> m_second;
    uint32_t m_visible = 0;
};
