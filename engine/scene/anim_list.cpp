#include "engine/scene/anim_list.h"

#include <algorithm>
#include <limits>
#include <new>

#include <sanitizer/asan_interface.h>

#include "engine/base/module_table.h"
#include "engine/scene/ring_search.h"
#include "engine/scene/scene_host.h"
#include "media/surface/dibg.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/core/rect.h"

// Counts one walk of the list for its lifetime; the outermost one deletes what was removed.
class CAnimList::CWalk {
public:
    explicit CWalk(CAnimList& list) : m_list(list) { ++m_list.m_walks; }
    ~CWalk() {
        if (--m_list.m_walks == 0 && m_list.m_removedDuringWalk) m_list.Purge();
    }
    CWalk(const CWalk&) = delete;
    CWalk& operator=(const CWalk&) = delete;

private:
    CAnimList& m_list;
};

namespace {
// Spare memory beyond this many objects is freed at ForgetDisposed.
constexpr size_t kMaxSpare = 256;

// The kept memory of a deleted object is poisoned for AddressSanitizer (nothing without it):
// a read through a stale pointer is reported as it would be for freed memory.
void Poison(CCorAnim* anim) { ASAN_POISON_MEMORY_REGION(anim, sizeof(CCorAnim)); }
void Unpoison(CCorAnim* anim) { ASAN_UNPOISON_MEMORY_REGION(anim, sizeof(CCorAnim)); }

void DeleteKept(CCorAnim* anim) {
    Unpoison(anim);
    delete anim;
}
}  // namespace

CAnimList::~CAnimList() {
    for (CCorAnim* anim : m_objects) {
        if (!anim->m_removed) {
            anim->ClearScript();
            anim->Detach();
        }
        delete anim;
    }
    for (CCorAnim* anim : m_disposed) DeleteKept(anim);
    for (CCorAnim* anim : m_spare) DeleteKept(anim);
}

CCorAnim* CAnimList::Create(int32_t pictureId, POINT position) {
    CCorAnim* anim = nullptr;
    if (m_spare.empty()) {
        anim = new CCorAnim;
    } else {
        // A new object (a new serial) in the memory of one deleted before the module switch.
        anim = m_spare.back();
        m_spare.pop_back();
        Unpoison(anim);
        anim->~CCorAnim();
        anim = ::new (static_cast<void*>(anim)) CCorAnim;
    }
    anim->m_list = this;
    m_objects.push_back(anim);
    anim->Init(position, pictureId);
    return anim;
}

void CAnimList::Remove(CCorAnim* anim) {
    if (!Contains(anim)) return;
    // What it showed goes from the screen with it.
    anim->Invalidate();
    anim->ClearScript();
    anim->Detach();
    if (m_walks > 0) {
        anim->m_removed = true;
        m_removedDuringWalk = true;
        return;
    }
    m_objects.erase(std::find(m_objects.begin(), m_objects.end(), anim));
    Delete(anim);
}

void CAnimList::RemoveAll() {
    // Removals may run module code (the scanner's targets); take each from the head.
    CWalk walk(*this);
    for (size_t i = 0; i < m_objects.size(); ++i) {
        if (!m_objects[i]->m_removed) Remove(m_objects[i]);
    }
}

void CAnimList::Delete(CCorAnim* anim) {
    anim->m_list = nullptr;
    anim->ClearScript();
    anim->m_picture.Reset();
    anim->m_colourMap.reset();
    Poison(anim);
    m_disposed.push_back(anim);
}

void CAnimList::ForgetDisposed() {
    m_spare.insert(m_spare.end(), m_disposed.begin(), m_disposed.end());
    m_disposed.clear();
    if (m_spare.size() > kMaxSpare) {
        // The oldest go: the newest are the first Create takes.
        const auto excess = m_spare.begin() + static_cast<std::ptrdiff_t>(m_spare.size() - kMaxSpare);
        for (auto it = m_spare.begin(); it != excess; ++it) DeleteKept(*it);
        m_spare.erase(m_spare.begin(), excess);
    }
}

void CAnimList::Purge() {
    m_removedDuringWalk = false;
    std::vector<CCorAnim*> gone;
    std::erase_if(m_objects, [&](CCorAnim* anim) {
        if (!anim->m_removed) return false;
        gone.push_back(anim);
        return true;
    });
    for (CCorAnim* anim : gone) Delete(anim);
}

void CAnimList::ClearAllScripts() {
    for (CCorAnim* anim : m_objects) anim->ClearScript();
}

void CAnimList::StepAll() {
    CWalk walk(*this);
    const uint64_t now = SceneHost().Ticks();
    // By index: objects created meanwhile are appended and run in this pass too.
    for (size_t i = 0; i < m_objects.size(); ++i) {
        CCorAnim* anim = m_objects[i];
        if (!anim->m_removed) anim->RunScript(now);
    }
}

void CAnimList::FinishAll() {
    for (CCorAnim* anim : m_objects) anim->Finish();
}

int CAnimList::GetState() const {
    bool held = false, endless = false;
    for (const CCorAnim* anim : m_objects) {
        if (anim->m_removed) continue;
        switch (anim->GetScriptState()) {
        case kAnimRunning:
            return kAnimRunning;
        case kAnimHeld:
            held = true;
            break;
        case kAnimEndless:
            endless = true;
            break;
        default:
            break;
        }
    }
    return held ? kAnimHeld : endless ? kAnimEndless : kAnimFinished;
}

int CAnimList::RunUntilSettled() {
    ISceneHost& host = SceneHost();
    for (;;) {
        const int state = GetState();
        if (state != kAnimRunning) return state;
        StepAll();
        if (GetState() != kAnimRunning) continue;
        // Sleep to the earliest wake time still ahead; an object waiting for a sound has
        // none, and the next pass looks again.
        const uint64_t now = host.Ticks();
        uint64_t earliest = std::numeric_limits<uint64_t>::max();
        for (const CCorAnim* anim : m_objects) {
            if (!anim->m_removed && anim->GetScriptState() == kAnimRunning && anim->m_wakeTime > now)
                earliest = std::min(earliest, anim->m_wakeTime);
        }
        if (earliest != std::numeric_limits<uint64_t>::max()) host.WaitForTicks(earliest);
    }
}

void CAnimList::ReleaseAll(uint32_t value) {
    for (CCorAnim* anim : m_objects) anim->ReleaseHold(value);
}

void CAnimList::DrawAll(CDibG& surface, const CDirtyRectList& dirty) {
    CWalk walk(*this);
    for (size_t i = 0; i < m_objects.size(); ++i) {
        CCorAnim* anim = m_objects[i];
        RECT bounds;
        if (anim->m_removed || !anim->GetBounds(bounds) || !dirty.Intersects(bounds)) continue;
        const RECT clip = dirty.ClipUnion(bounds);
        if (!IsRectEmpty(&clip)) anim->Draw(surface, clip);
    }
}

bool CAnimList::ClickObject(CCorAnim* anim, POINT point) {
    if (!anim->m_clickable || !anim->HitTest(point.x, point.y, true)) return false;
    ModuleFunctionTable* table = SceneHost().ModuleTable();
    if (!table || !table->OnAnimClicked) return false;
    return table->OnAnimClicked(anim, static_cast<int16_t>(anim->m_pictureId % 1000)) != 0;
}

int CAnimList::ClickAt(POINT point, bool widened) {
    CWalk walk(*this);
    for (size_t k = m_objects.size(); k-- > 0;) {
        CCorAnim* anim = m_objects[k];
        if (anim->m_removed) continue;
        if (ClickObject(anim, point)) return 1;
        // A handler that did not take the click may still have removed the object.
        if (!widened || anim->m_removed) continue;
        // The first ring point inside the object decides (ring_search.h).
        const auto ring = FindRingPoint(point, [&](POINT p) { return anim->HitTest(p.x, p.y, false); });
        if (ring && ClickObject(anim, *ring)) return 1;
    }
    return 0;
}

CCorAnim* CAnimList::FindAt(POINT point) {
    for (size_t k = m_objects.size(); k-- > 0;) {
        CCorAnim* anim = m_objects[k];
        if (!anim->m_removed && anim->HitTest(point.x, point.y, false)) return anim;
    }
    return nullptr;
}

template <class Where>
void CAnimList::Reinsert(CCorAnim* anim, Where where) {
    if (!Contains(anim)) return;
    m_objects.erase(std::find(m_objects.begin(), m_objects.end(), anim));
    const size_t at = std::min(where(), m_objects.size());
    m_objects.insert(m_objects.begin() + static_cast<std::ptrdiff_t>(at), anim);
    anim->Invalidate();
}

void CAnimList::MoveToHead(CCorAnim* anim) {
    Reinsert(anim, [] { return size_t{0}; });
}

void CAnimList::MoveToTail(CCorAnim* anim) {
    Reinsert(anim, [this] { return m_objects.size(); });
}

void CAnimList::MoveBefore(CCorAnim* anim, const CCorAnim* other) {
    if (anim == other) return;
    const bool listed = Contains(other);
    Reinsert(anim, [&] {
        if (!listed) return size_t{0};
        return static_cast<size_t>(std::find(m_objects.begin(), m_objects.end(), other) - m_objects.begin());
    });
}

void CAnimList::MoveAfter(CCorAnim* anim, const CCorAnim* other) {
    if (anim == other) return;
    const bool listed = Contains(other);
    Reinsert(anim, [&] {
        if (!listed) return m_objects.size();
        return static_cast<size_t>(std::find(m_objects.begin(), m_objects.end(), other) - m_objects.begin()) + 1;
    });
}

bool CAnimList::TakeOut(CCorAnim* anim, CAnimRef& predecessor) {
    predecessor = CAnimRef();
    if (!Contains(anim)) return false;
    const auto it = std::find(m_objects.begin(), m_objects.end(), anim);
    for (auto before = it; before != m_objects.begin();) {
        --before;
        if (!(*before)->m_removed) {
            predecessor = *before;
            break;
        }
    }
    // Walks go by index and look at the size on every step, so a walk running now (a click
    // handler that starts a drag) goes on safely over what is left.
    m_objects.erase(it);
    anim->m_list = nullptr;
    return true;
}

void CAnimList::PutBack(CCorAnim* anim, const CAnimRef& after, bool atHeadWhenNone) {
    if (!anim || std::find(m_objects.begin(), m_objects.end(), anim) != m_objects.end()) return;
    size_t at = atHeadWhenNone ? 0 : m_objects.size();
    if (const CCorAnim* still = Get(after))
        at = static_cast<size_t>(std::find(m_objects.begin(), m_objects.end(), still) - m_objects.begin()) + 1;
    m_objects.insert(m_objects.begin() + static_cast<std::ptrdiff_t>(at), anim);
    anim->m_list = this;
    anim->Invalidate();
}

void CAnimList::DisposeTakenOut(CCorAnim* anim) {
    if (!anim || anim->m_list) return;
    anim->ClearScript();
    anim->Detach();
    Delete(anim);
}

bool CAnimList::Contains(const CCorAnim* anim) const {
    if (!anim) return false;
    const auto it = std::find(m_objects.begin(), m_objects.end(), anim);
    return it != m_objects.end() && !(*it)->m_removed;
}

CCorAnim* CAnimList::Get(const CAnimRef& ref) const {
    // The address is compared first: only an object still in the list is read.
    const CCorAnim* address = ref.Address();
    if (!address || !Contains(address)) return nullptr;
    CCorAnim* anim = *std::find(m_objects.begin(), m_objects.end(), address);
    return anim->Serial() == ref.Serial() ? anim : nullptr;
}

std::vector<CCorAnim*> CAnimList::Objects() const {
    std::vector<CCorAnim*> live;
    for (CCorAnim* anim : m_objects)
        if (!anim->m_removed) live.push_back(anim);
    return live;
}

size_t CAnimList::GetCount() const {
    return static_cast<size_t>(std::count_if(m_objects.begin(), m_objects.end(), [](const CCorAnim* a) { return !a->m_removed; }));
}
