// CScanner: switch-access scanning. For children who play with one switch, a highlight steps
// through the screen's scan targets (scan_target.h) at a fixed interval, and the switch
// activates the highlighted one as if it had been clicked. The targets sit in a table of 100
// slots, in the order in which they were added; the scanner owns them.
//
// Times are milliseconds of the platform clock (plat::NowMs64). The highlight is a picture
// drawn with its hot spot at the target's position plus the highlight offset; drawing and
// invalidating use the same rectangle, so a highlight whose hot spot is its centre leaves no
// trail. What the scanner needs of the engine (the module table, the busy state, the last
// click point, presenting the screen, the dirty rectangles, spots) comes through the scene
// host (scene_host.h).
//
// User-interface thread only.
#pragma once

#include <cstdint>
#include <vector>

#include "media/res/res_item.h"
#include "media/res/slot_list.h"
#include "media/res/sprite.h"
#include "platform/core/wintypes.h"

class CCorAnim;
class CDibG;
class CDirtyRectList;
class CScanTarget;
struct CUserPrefs;

inline constexpr int kScanSlots = 100;
// An interval below this keeps the first target highlighted kScanFirstExtraMs longer.
inline constexpr uint32_t kScanLongInterval = 2000;
inline constexpr uint32_t kScanFirstExtraMs = 3000;

class CScanner {
public:
    CScanner();
    ~CScanner();
    CScanner(const CScanner&) = delete;
    CScanner& operator=(const CScanner&) = delete;

    // Takes the target. With slot -1 it goes at the end of the order in a free slot; with a
    // slot in use it replaces (and deletes) the target there. Returns the slot, or -1 (the
    // target deleted) when every slot is taken.
    int AddTarget(CScanTarget* target, int slot);
    // Deletes the target of the slot; the highlight goes back to the first target.
    void RemoveAt(int slot);
    void RemoveAll();
    // Removes every animation target that follows the object.
    void RemoveTargetsOfAnim(const CCorAnim* anim);
    // Removes every text-item target (kind 6) that follows the object.
    void RemoveTargetsOf(const void* object);

    // Switches scanning on or off (ignored while a target is being activated): on hides the
    // mouse pointer and restarts at the first target; off shows the pointer again.
    void Enable(BOOL on);
    BOOL IsOn() const { return m_on; }
    // The player's preferences: scanning on or off, the speed (× 150 ms; 0: 500 ms), and
    // whether the highlight starts again at the first target after the last.
    void Configure(BOOL scanning, int speed, BOOL wrap);
    // The same from the player's record: scanningAllowed, scanSpeed and scanAdvanceAuto (1: the
    // highlight steps by itself and starts again after the last target; 0: it makes one pass).
    void Configure(const CUserPrefs& prefs);
    // The highlight picture (none: nothing is drawn) and its offset from the target.
    void SetHighlight(CSprite* picture, int dx, int dy, const BYTE* colourMap = nullptr);
    CSprite* Highlight() const { return m_highlight.Get(); }

    // The idle step: moves the highlight on when the interval has passed.
    void Tick();
    // The switch: activates the highlighted target, then starts again at the first.
    void Activate();
    // Draws the highlight where it meets the dirty rectangles.
    void Draw(CDibG& surface, const CDirtyRectList& dirty);

    void Restart();
    void Advance();

    int Current() const { return m_current; }
    CScanTarget* Target(int slot) const;
    // Every target in scanning order; changes nothing.
    std::vector<CScanTarget*> TargetsInOrder() const;
    int Count() const { return m_targets.GetCount(); }
    uint32_t Interval() const { return m_interval; }
    void SetInterval(uint32_t ms) { m_interval = ms; }
    BOOL Wraps() const { return m_wrap; }
    BOOL IsReady() const { return m_ready; }
    BOOL IsBusy() const { return m_busy; }
    uint64_t LastStep() const { return m_lastStep; }
    // The highlight's rectangle on the frame surface; false when nothing is highlighted.
    bool HighlightRect(RECT& out);

private:
    void InvalidateHighlight();
    int FirstEnabled() const;
    int NextEnabled(int slot) const;
    void Delete(int slot);

    CSlotList m_targets;
    BOOL m_on = 0;
    BOOL m_busy = 0;
    int m_current = -1;
    uint32_t m_interval = 15;
    uint64_t m_lastStep = 0;
    CResItemRef<CSprite> m_highlight;  // a use of the picture, so the cache cannot free it
    const BYTE* m_highlightMap = nullptr;
    int m_highlightX = 0;
    int m_highlightY = 0;
    BOOL m_wrap = 1;
    BOOL m_ready = 0;
};
