// Static pictures: CCorStatic is a picture painted once into the engine's background surface
// (instead of being drawn every frame like an animation object), and CStaticList the engine's
// list of them, 100 slots over a CSlotList (handle = slot index, -1 none). The slots in use
// are chained newest first: drawing runs oldest first, hit tests newest first. The list owns
// its statics; a static holds a use of its picture (res_item.h), so the picture stays whole
// even when the item cache lets it go.
//
// A static of kind 1 keeps a copy of the background under it, so that removing it restores
// the surface exactly: the saved copy goes back, and every newer static over the area takes
// the restored pixels into its own copy and is drawn again. Saving and restoring clip to the
// surface alike (to its width and height), so a static on the last column or row leaves no
// trace. User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>

#include "media/res/res_item.h"
#include "media/res/slot_list.h"
#include "media/res/sprite.h"
#include "platform/afx/object.h"
#include "platform/core/wintypes.h"

class CDibG;

class CCorStatic : public CObject {
    DECLARE_DYNAMIC(CCorStatic)
public:
    // Kind 1 keeps the background under the static.
    static constexpr int32_t kKeepsBackground = 1;

    CCorStatic();
    ~CCorStatic() override;

    // Handle -1; the picture of the absolute id (none for a remainder of 2 modulo 1000) with
    // its hot spot at point; kind 1 with a picture makes the saved-background surface.
    void Init(POINT point, int32_t pictureId, int32_t kind);
    // Another picture with its hot spot where the old one's was; nothing is drawn.
    void ChangePicture(int32_t pictureId);
    void SetTransparent(BOOL on);
    // Draws the picture at its top-left position, clipped to r and to the client size.
    void Draw(CDibG& surface, const RECT& r);
    // Copies the surface under the static into its saved background (when it keeps one).
    void SaveBackground(CDibG& surface);
    // Whether the point (frame-surface coordinates) lies inside the picture.
    BOOL ContainsPoint(int x, int y) const;
    // Whether the point falls on a pixel of the picture that is not colour 0.
    BOOL HitsPixel(int x, int y);
    // The bounds on the surface: position and picture size; empty without a picture.
    RECT GetBounds() const;

    CSprite* GetPicture() const { return m_picture.Get(); }
    POINT GetPosition() const { return m_position; }
    int32_t GetKind() const { return m_kind; }
    CDibG* GetSavedBackground() const { return m_saved.get(); }
    int GetHandle() const { return m_handle; }

private:
    friend class CStaticList;

    POINT m_position{};
    CResItemRef<CSprite> m_picture;
    int32_t m_kind = 0;
    std::unique_ptr<CDibG> m_saved;
    int m_handle = -1;
};

class CStaticList {
public:
    static constexpr int kSlots = 100;

    CStaticList();
    ~CStaticList();
    CStaticList(const CStaticList&) = delete;
    CStaticList& operator=(const CStaticList&) = delete;

    // A new static drawn into the surface at once (its bounds invalidated), its picture's
    // transparent flag set first and the background under it saved; the handle, or -1 when
    // all slots are taken (the picture stays drawn and the static is deleted).
    int Add(CDibG& surface, POINT point, int32_t pictureId, int32_t kind, BOOL transparent);
    // Removes the static of the handle; with a surface its area is restored first. An empty
    // slot does nothing.
    void RemoveAt(int handle, CDibG* surface);
    // Deletes every static without restoring.
    void RemoveAll();
    // Oldest to newest: with save, each saves its background from the surface; each with a
    // picture is drawn over its bounds, which are invalidated.
    void RedrawAll(CDibG& surface, BOOL save);
    // Newest first: the first static hit exactly whose module handler (OnStaticClicked)
    // answers non-zero; with widened, a static missed at the point is tested again at the
    // first ring point inside its picture. 1 when a module handled the click.
    int ClickAt(POINT point, BOOL widened);
    // Newest first, the handle of the first static hit exactly whose handler answers
    // non-zero, or -1.
    int FindClicked(POINT point);

    CCorStatic* Get(int handle) const { return static_cast<CCorStatic*>(m_slots.Item(handle)); }
    int GetCount() const { return m_slots.GetCount(); }
    // The newest static's handle and the next older one's (-1 at the end).
    int Newest() const { return m_slots.Head(); }
    int Older(int handle) const { return m_slots.Next(handle); }

private:
    // Offers an exact hit of the static at the point to the module; true when handled.
    bool OfferExact(CCorStatic& s, POINT point);

    CSlotList m_slots;
};
