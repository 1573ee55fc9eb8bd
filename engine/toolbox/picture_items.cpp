#include "engine/toolbox/picture_items.h"

#include <algorithm>
#include <vector>

#include "engine/core/cor_engine.h"
#include "engine/core/engine_hosts.h"
#include "media/res/chunk_pool.h"
#include "media/res/item_cache.h"
#include "media/res/res_item.h"
#include "media/res/res_item_host.h"
#include "media/res/res_item_table.h"
#include "media/res/res_mgr.h"
#include "media/res/sprite.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/afx/exceptions.h"
#include "platform/afxwin/afxwin.h"
#include "platform/core/winuser.h"

namespace {

int32_t Absolute(int16_t id) { return ResItemHost().MapResourceId(id); }

CSprite* FindPicture(int16_t id) { return GetResItem(Absolute(id), TRUE); }

// A locked picture: one use held (a purge of its id cannot delete it) and off the pool's list
// (no purge frees its pixels) until its last unlock.
struct PictureLock {
    CResItemRef<CSprite> picture;
    BYTE* bits;
    bool wasListed;
    int count;
};
std::vector<PictureLock>& Locks() {
    static std::vector<PictureLock> locks;
    return locks;
}

// Whether a picture item may be made under the absolute id: not when the cache holds a
// picture with pixels (or any other item) under it, nor when the module's file has a picture
// of it. 1 and 2 are the shared picture and "no picture", never a module's own.
bool IsPictureIdFree(CResItemTable& cache, int32_t id) {
    const int32_t r = id % 1000;
    if (r == 1 || r == 2) return false;
    if (CResItem* cached = cache.Find(id)) {
        if (!cached->IsKindOf(RUNTIME_CLASS(CSprite))) return false;
        const auto* picture = static_cast<CSprite*>(cached);
        if (picture->IsLoaded() || picture->Bits()) return false;
    }
    CResMgr* file = ResItemHost().ResourceManager(id / 1000);
    return !(file && file->IsOpen() && file->FindEntry(kResSPR, static_cast<uint32_t>(id)));
}

// Makes a picture item under the highest free id of the module's block: empty, or with blank
// pixels of width × height. -1 when no id is free or the pixels cannot be had.
int16_t MakePictureItem(bool withPixels, int16_t width, int16_t height) {
    CResItemTable* cache = ResItemHost().ItemCache();
    if (!cache) return -1;
    const int32_t lowest = Absolute(0);
    int32_t id = Absolute(999);
    while (id >= lowest && !IsPictureIdFree(*cache, id)) --id;
    if (id < lowest) return -1;

    // An unloaded picture the cache already holds under the id (one that was asked for and not
    // found) is reused, so the id never has two items and a hot spot set for it stays.
    CSprite* item = static_cast<CSprite*>(cache->Find(id));
    const bool made = item == nullptr;
    if (made) item = new CSprite(id);
    if (withPixels) {
        bool ok = false;
        try {
            ok = item->AllocBits(width, height) != 0;
        } catch (CMemoryException* e) {
            e->Delete();
        }
        if (!ok) {
            if (made) delete item;
            return -1;
        }
    }
    item->SetLoaded(TRUE);
    if (made) cache->Insert(id, item);
    return static_cast<int16_t>(id % 1000);
}

void AddDirty(const RECT& r) {
    if (theEngine) theEngine->InvalidateGameRect(&r);
}

// The picture calls as the engine's answer to the media layer's picture seam.
class CToolboxPictures : public IResItemHost {
public:
    void GetPictureSize(int16_t id, int16_t& width, int16_t& height) override { ::GetPictureSize(id, width, height); }
    BYTE* LockPictureData(int16_t id) override { return ::LockPictureData(id); }
    void UnlockPictureData(BYTE* bits) override { ::UnlockPictureData(bits); }
    uint16_t GetPictureAttr(int16_t id) override { return ::GetPictureAttr(id); }
    int16_t NewBlankPicture(int16_t width, int16_t height) override { return ::NewBlankPicture(width, height); }
    void PurgeResource(int16_t id) override { ::PurgeResource(id); }
};

}  // namespace

int16_t PreloadPicture(int16_t id) { return FindPicture(id) ? 1 : 0; }

void PurgeResource(int16_t id) {
    CResItemTable* cache = ResItemHost().ItemCache();
    if (!cache) return;
    const int32_t absolute = Absolute(id);
    const bool was = cache->IsDestroying();
    cache->SetDestroying(true);
    cache->RemoveRange(absolute, absolute);
    cache->SetDestroying(was);
}

void GetPictureSize(int16_t id, int16_t& width, int16_t& height) {
    const CSprite* picture = FindPicture(id);
    width = picture ? static_cast<int16_t>(picture->Width()) : 0;
    height = picture ? static_cast<int16_t>(picture->Height()) : 0;
}

int16_t GetPictureHalfWidth(int16_t id) {
    int16_t width = 0, height = 0;
    GetPictureSize(id, width, height);
    return static_cast<int16_t>(width >> 1);
}

int16_t GetPictureHalfHeight(int16_t id) {
    int16_t width = 0, height = 0;
    GetPictureSize(id, width, height);
    return static_cast<int16_t>(height >> 1);
}

BYTE* LockPictureData(int16_t id) {
    CSprite* picture = FindPicture(id);
    if (!picture || !picture->EnsureLoaded() || !picture->Bits()) return nullptr;
    for (PictureLock& lock : Locks()) {
        if (lock.picture.Get() == picture && lock.bits == picture->Bits()) {
            ++lock.count;
            return lock.bits;
        }
    }
    CChunkPool& pool = TheChunkPool();
    const bool listed = pool.IsListed(picture);
    pool.Unlist(picture);
    Locks().push_back(PictureLock{CResItemRef<CSprite>(picture), picture->Bits(), listed, 1});
    return picture->Bits();
}

void UnlockPictureData(BYTE* bits) {
    std::vector<PictureLock>& locks = Locks();
    const auto it = std::find_if(locks.begin(), locks.end(), [&](const PictureLock& l) { return l.bits == bits; });
    if (bits == nullptr || it == locks.end() || --it->count > 0) return;
    CSprite* picture = it->picture.Get();
    // Back on the pool's list only when it was there and may still be purged and reloaded.
    if (it->wasListed && !picture->IsDropped() && picture->m_purgeable) TheChunkPool().Register(picture);
    locks.erase(it);
}

BYTE* LockedPictureData(int16_t id) {
    CSprite* picture = FindPicture(id);
    if (!picture) return nullptr;
    for (const PictureLock& lock : Locks())
        if (lock.picture.Get() == picture) return lock.bits;
    return nullptr;
}

uint16_t GetPictureAttr(int16_t id) {
    const CSprite* picture = FindPicture(id);
    return picture ? static_cast<uint16_t>(picture->Stride()) : 0xFFFF;
}

int16_t CreatePictureItem() { return MakePictureItem(false, 0, 0); }

int16_t NewBlankPicture(int16_t width, int16_t height) { return MakePictureItem(true, width, height); }

void CopyPictureInto(int16_t target, int16_t source, int16_t x, int16_t y) {
    CResItemTable* cache = ResItemHost().ItemCache();
    if (!cache) return;
    CSprite* from = FindPicture(source);
    CResItem* cached = cache->Find(Absolute(target));
    if (!from || !cached || !cached->IsKindOf(RUNTIME_CLASS(CSprite))) return;
    auto* into = static_cast<CSprite*>(cached);
    if (!into->BlitSprite(*from, x, y)) return;
    into->SetLoaded(TRUE);
    // What it received exists nowhere else: a purge must not free it and reload the old picture.
    into->m_purgeable = 0;
    TheChunkPool().Unlist(into);
}

void StampPicture(int16_t id, int16_t x, int16_t y) {
    if (!theEngine || !theEngine->m_backgroundSurface || !theEngine->m_backgroundSurface->IsValid()) return;
    CSprite* picture = FindPicture(id);
    if (!picture) return;
    const POINT at{x + theEngine->m_originX, y + theEngine->m_originY};
    // CopySprite clips to the surface, so a stamp over an edge stays inside it.
    theEngine->m_backgroundSurface->CopySprite(*picture, at, TRUE);
    const LONG left = at.x - picture->HotspotX(), top = at.y - picture->HotspotY();
    AddDirty(RECT{left, top, left + picture->Width(), top + picture->Height()});
}

void SetBackgroundPicture(int16_t id) {
    if (!theEngine) return;
    theEngine->SetBackground(Absolute(id));
    if (theEngine->m_backgroundSurface && theEngine->m_backgroundSurface->IsValid())
        theEngine->m_statics.RedrawAll(*theEngine->m_backgroundSurface, TRUE);
}

void RedrawArea(int16_t kind) {
    if (theEngine) theEngine->RedrawArea(kind);
}

void InvalidateRect16(const CCorRect& r) { AddDirty(RECT{r.left, r.top, r.right, r.bottom}); }

void SetRect16(CCorRect& r, int16_t left, int16_t top, int16_t right, int16_t bottom) {
    r.left = left;
    r.top = top;
    r.right = right;
    r.bottom = bottom;
}

int32_t SetClickLimit(const CCorRect& r) {
    if (theEngine) theEngine->m_clickLimit = RECT{r.left, r.top, r.right, r.bottom};
    return 0;
}

int16_t GetScreenMode(CCorRect* screen) {
    if (!theEngine) return -1;
    int32_t width = 0, height = 0;
    theEngine->GetScreenSize(width, height);
    if (screen) {
        const int h = theEngine->m_originX, v = theEngine->m_originY;
        SetRect16(*screen, static_cast<int16_t>(-h), static_cast<int16_t>(-v), static_cast<int16_t>(width - h),
                  static_cast<int16_t>(height - v));
    }
    struct Mode {
        int32_t width, height;
    };
    static constexpr Mode kModes[] = {{512, 342}, {512, 384}, {640, 400}, {640, 480}};
    for (int16_t i = 0; i < 4; ++i)
        if (kModes[i].width == width && kModes[i].height == height) return i;
    return -1;
}

void* GetSavedSettingsBlock(int16_t& size) {
    int32_t n = 0;
    void* block = theEngine ? theEngine->GetSavedSettings(n) : nullptr;
    size = block ? static_cast<int16_t>(n) : 0;
    return block;
}

void EnableAdultHotKey(int16_t flag) {
    if (theEngine) theEngine->m_ctrlAltAEnabled = flag;
}

void EnableQuitHotKey(int16_t flag) {
    if (theEngine) theEngine->m_ctrlQEnabled = flag;
}

int32_t IsMouseUpPending(int16_t remove) {
    const HWND view = theEngine ? theEngine->GameViewWindow() : nullptr;
    const UINT how = (remove ? PM_REMOVE : PM_NOREMOVE) | PM_NOYIELD;
    MSG msg;
    PeekMessage(&msg, view, WM_LBUTTONUP, WM_LBUTTONUP, how);
    return PeekMessage(&msg, view, WM_LBUTTONDOWN, WM_LBUTTONDOWN, how) ? 1 : 0;
}

int16_t IsAltDown() { return (GetAsyncKeyState(VK_MENU) & 0x8000) ? 1 : 0; }

int16_t IsCtrlDown() { return (GetAsyncKeyState(VK_CONTROL) & 0x8000) ? 1 : 0; }

IResItemHost* InstallPictureItems() {
    static CToolboxPictures pictures;
    return SetEnginePictureItems(&pictures);
}
