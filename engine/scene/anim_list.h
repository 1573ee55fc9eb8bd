// CAnimList: the display list, the engine's list of animation objects. New objects go at the
// tail; the head is drawn first and the tail last (in front); clicks are tested from the tail.
// The list owns its objects: removing one deletes it.
//
// A module's code runs inside the list's walks (a cue or a called function during StepAll, a
// click handler during ClickAt) and may remove objects there, its own or others, or empty the
// list. Such a removal takes the object out of play at once (script cleared, detached, never
// run, drawn or hit again) and deletes it when the outermost walk ends, so no walk touches a
// deleted object.
//
// Modules name their objects by address (the toolbox's handles). So that a module's handle of a
// disposed object is never taken for a newer one, the memory of a deleted object is not given to
// another while the module stays: it is kept, emptied, until ForgetDisposed (the engine calls it
// when the module is left, and the module's handles go with it), and only then reused by Create.
// What the engine itself keeps across a module switch is a CAnimRef (cor_anim.h), exact always.
//
// User-interface thread only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/scene/cor_anim.h"
#include "platform/core/wintypes.h"

class CDibG;
class CDirtyRectList;

class CAnimList {
public:
    CAnimList() = default;
    ~CAnimList();
    CAnimList(const CAnimList&) = delete;
    CAnimList& operator=(const CAnimList&) = delete;

    // A new object showing the picture (absolute id; 2: none) at the position (frame surface),
    // appended at the tail.
    CCorAnim* Create(int32_t pictureId, POINT position);
    // Clears the object's script, detaches and deletes it. An object not in the list (or
    // already removed) is ignored.
    void Remove(CCorAnim* anim);
    void RemoveAll();
    void ClearAllScripts();
    // Takes the tick once and runs every object's script with it, head to tail.
    void StepAll();
    void FinishAll();
    // 0 when any object runs; else -2 when any is held; else -1 when any loops for ever; else
    // 1 (an empty list too).
    int GetState() const;
    // StepAll while the state is 0, waiting for the earliest wake time between passes (no
    // messages are taken and nothing is presented); returns the final state.
    int RunUntilSettled();
    void ReleaseAll(uint32_t value);
    // Draws, head to tail, every object whose bounds meet a dirty rectangle, clipped to the
    // union of the dirty rectangles within its bounds.
    void DrawAll(CDibG& surface, const CDirtyRectList& dirty);
    // Offers the point (frame surface) to the current module's OnAnimClicked, from the tail:
    // exact hits on clickable objects, then with widened the ring search around the point.
    // 1 as soon as the module handled a click, else 0.
    int ClickAt(POINT point, bool widened);
    // From the tail, the first object whose bounds (within its clip rectangle) hold the point.
    CCorAnim* FindAt(POINT point);

    // Drawing order. The object moves to the head (drawn first, behind all) or the tail (drawn
    // last, in front), or to just before (behind) or just after (in front of) another; when that
    // other is not in the list, to the head or the tail. An object not in the list, or moved
    // beside itself, stays where it is. The moved object is invalidated.
    void MoveToHead(CCorAnim* anim);
    void MoveToTail(CCorAnim* anim);
    void MoveBefore(CCorAnim* anim, const CCorAnim* other);
    void MoveAfter(CCorAnim* anim, const CCorAnim* other);

    // Taking an object out for a while (a drag): TakeOut takes it out of the list without
    // deleting it, its script kept, and answers the object in play before it (null at the
    // head); false, nothing done, when it is not in the list. PutBack puts such an object in
    // again just after `after` when that is still in the list, else at the head (atHeadWhenNone)
    // or the tail, and invalidates it. DisposeTakenOut deletes an object taken out.
    bool TakeOut(CCorAnim* anim, CAnimRef& predecessor);
    void PutBack(CCorAnim* anim, const CAnimRef& after, bool atHeadWhenNone);
    void DisposeTakenOut(CCorAnim* anim);

    // Whether the object is in the list and not removed. Exact for a module's handle while the
    // module stays (see above).
    bool Contains(const CCorAnim* anim) const;
    // The object the reference names when it is still in the list and not removed: the same
    // address and the same serial. Null otherwise (also for an empty reference).
    CCorAnim* Get(const CAnimRef& ref) const;
    bool IsAlive(const CAnimRef& ref) const { return Get(ref) != nullptr; }
    // The memory of the objects deleted so far may be given to new ones (see above).
    void ForgetDisposed();
    // The objects in play, head first.
    std::vector<CCorAnim*> Objects() const;
    size_t GetCount() const;

private:
    class CWalk;
    void Purge();
    // Empties the deleted object and keeps its memory until ForgetDisposed.
    void Delete(CCorAnim* anim);
    // The click test of one object at one point (step 1 of ClickAt); true when handled.
    bool ClickObject(CCorAnim* anim, POINT point);
    // Takes the object out of its place and puts it at position `at` of what is left (clamped);
    // `at` is computed by `where` from the list without the object.
    template <class Where>
    void Reinsert(CCorAnim* anim, Where where);

    std::vector<CCorAnim*> m_objects;  // head first; removed ones stay until the walks end
    std::vector<CCorAnim*> m_disposed;  // deleted while the module stays: their memory is kept
    std::vector<CCorAnim*> m_spare;     // deleted before ForgetDisposed: memory for Create
    int m_walks = 0;
    bool m_removedDuringWalk = false;
};
