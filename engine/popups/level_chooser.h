// The level chooser: the pop-up panel on which a child picks an activity's level. A track with a
// thumb, a title, OK and Cancel, and a toggle that unfolds a ruler of level groups, each
// labelled with its levels; the child picks a group, and the level chosen is the group's first.
//
// An activity opens it with ShowLevelChooser and goes on running; while the panel is open it
// takes over the activity's OnAnimClicked (every click handled), Tick (nothing) and KeyDown
// entries, and when it closes it gives them back and calls the activity's callback with
// (chosen, level index): (1, chosen level - 1) after OK on a changed choice, else (0, the level
// index at opening, held to 0 and up).
//
// Pictures, module-relative from the base b: b track, b+1 thumb, b+2 title, b+3 and b+4 under the
// track, b+11 ruler, b+12 its highlight (shown clipped to the chosen group's segment), b+13/b+14
// OK, b+15/b+16 Cancel, b+17/b+18 the fold toggle (normal, pressed). The level table is an 'IN#'
// item (media/res/level_table.h). Spot 998 lies over the track while the panel is open: the
// thumb's drag home.
//
// One chooser at a time; user-interface thread only.
#pragma once

#include <array>
#include <cstdint>

#include "engine/base/module_table.h"
#include "engine/scene/cor_anim.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/screen_helpers.h"
#include "media/res/level_table.h"
#include "media/util/cor_geometry.h"

class CCorAnim;

// The activity's callback: chosen 1 with the chosen level - 1, or 0 with the index at opening.
using LevelChooserCallback = void (*)(uint16_t chosen, int16_t levelIndex);

inline constexpr int16_t kLevelChooserTrackSpot = 998;

// The track's arithmetic. left and right are the thumb's usable range (the track inset by half
// the thumb at both ends); the last group owns the end margin at the right, and the groups
// before it share the rest, scale pixels each. The thumb's x is its left edge.
struct LevelTrack {
    int16_t left = 0;
    int16_t right = 0;
    int16_t endMargin = 0;
    int16_t lastGroup = 1;
    int16_t thumbWidth = 0;
    float scale = 0;

    // scale = (right - left - end margin) / last group.
    static LevelTrack Make(int16_t left, int16_t right, int16_t endMargin, int16_t lastGroup, int16_t thumbWidth);
    // x held to left and up; the last group right of (right - end margin), and for every x when
    // the scale is not positive (nothing is divided by it then); else (x - left) / scale,
    // truncated.
    int16_t GroupFromX(int16_t x) const;
    // The last group: right - half the thumb - half the end margin; another: left + scale x group,
    // truncated, - 3.
    int16_t ThumbX(int16_t group) const;
};

// Opens the chooser over the running activity: scanning blocked, the current level index + 1
// (at least 1) chosen at first. Returns 1 at once when the panel is open. A chooser already
// open, a missing table or damaged one, or a panel that cannot be made: 0, and the callback
// hears (0, the index held to 0 and up) at once, as after Cancel.
int16_t ShowLevelChooser(ModuleFunctionTable* table, LevelChooserCallback callback, int16_t tableId,
                         int16_t levelIndex, int16_t baseId, const PanelStyle* style);

// Closes an open chooser as Cancel does: the callback hears (0, the index at opening) once, the
// module's entries are given back and scanning unblocked. Nothing when none is open. The engine
// calls it before a module is taken down (AddModuleLeaveHook), so no chooser outlives its opener.
void CloseLevelChooser();

class CLevelChooser {
public:
    // The open chooser; null when none is.
    static CLevelChooser* Current() { return s_current; }

    CLevelChooser(ModuleFunctionTable* table, LevelChooserCallback callback, int16_t baseId, const PanelStyle* style);
    ~CLevelChooser();
    CLevelChooser(const CLevelChooser&) = delete;
    CLevelChooser& operator=(const CLevelChooser&) = delete;

    // Loads the table and puts the panel up, folded; false (nothing left on the screen) when the
    // table is missing or damaged or the panel cannot be made.
    bool Build(int16_t tableId, int16_t levelIndex);

    // The group under x of the track (LevelTrack::GroupFromX).
    int16_t GroupFromX(int16_t x) const { return m_trackMath.GroupFromX(x); }
    // Moves the thumb to the current group's place.
    void PlaceThumb();
    // The segment rectangles over the ruler's segment area.
    void LayoutSegments();

    // A click on one of the panel's sprites; always handled.
    void OnClick(CCorAnim* sprite);
    // Enter acts as OK and Escape as Cancel; other keys are ignored.
    void OnKey(int32_t key);

    int16_t Group() const { return m_group; }
    int16_t LastGroup() const { return m_table.lastGroup; }
    int16_t CurrentLevel() const { return m_level; }
    int16_t LevelAtOpening() const { return m_openLevel; }
    bool Done() const { return m_done != 0; }
    bool Unfolded() const { return m_unfolded != 0; }
    bool Changed() const { return m_changed != 0; }
    const LevelTrack& TrackMath() const { return m_trackMath; }
    const std::array<Rect16, media::kLevelSegmentCount>& Segments() const { return m_segments; }
    CCorAnim* Sprite(int16_t offset) const;  // the sprite showing b + offset (0 to 4, 11 to 18 as at rest)
    CCorAnim* Panel() const { return LiveSprite(m_panel); }

private:
    friend int16_t ShowLevelChooser(ModuleFunctionTable*, LevelChooserCallback, int16_t, int16_t, int16_t,
                                    const PanelStyle*);
    friend void CloseLevelChooser();
    static int16_t OnAnimClickedEntry(CCorAnim* anim, int16_t id);
    static void OnKeyDownEntry(int32_t key);
    static int16_t OnDragMove(int16_t x, int16_t y);
    // After a click or key: closes when done.
    static void FinishIfDone();

    void Close();
    void Fold(bool unfold);
    void PlaceButtons();
    void ClipHighlight();
    void DragThumb();
    void FollowRuler();
    void Confirm(bool ok, bool tracked);
    void GiveBackEntries();
    void TakeOverEntries();
    void TearDown();

    // True once the chooser was taken off the screen; a click's own loop that waited meanwhile
    // (a drag, a held button) stops at once.
    bool Gone() const { return m_gone; }

    static inline CLevelChooser* s_current = nullptr;
    // Clicks and keys under way in the chooser's entries; a chooser closed meanwhile is deleted
    // when the outermost returns.
    static inline int s_entryDepth = 0;
    static inline CLevelChooser* s_closed = nullptr;
    bool m_gone = false;

    ModuleFunctionTable* m_moduleTable = nullptr;
    LevelChooserCallback m_callback = nullptr;
    int16_t m_base = 0;
    PanelStyle m_style{};
    bool m_ownStyle = false;

    media::LevelTable m_table;
    // Kept by serial: the chooser's code runs across waits and presses where they may go.
    CAnimRef m_panel;
    CAnimRef m_title;
    CAnimRef m_trackSprite;
    CAnimRef m_thumb;
    CAnimRef m_under[2];
    CAnimRef m_ok;
    CAnimRef m_cancel;
    CAnimRef m_fold;
    CAnimRef m_ruler;
    CAnimRef m_highlight;

    Rect16 m_panelRect{};
    Rect16 m_foldedRect{};
    int16_t m_panelPicture = 0;   // unfolded
    int16_t m_foldedPicture = 0;
    Rect16 m_rulerRect{};
    Rect16 m_segmentArea{};
    std::array<Rect16, media::kLevelSegmentCount> m_segments{};
    LevelTrack m_trackMath;

    int16_t m_group = 0;
    int16_t m_level = 1;
    int16_t m_openLevel = 1;
    int16_t m_clickX = 0;
    int16_t m_thumbXAtPress = 0;
    bool m_spotMade = false;
    bool m_entriesTaken = false;
    uint16_t m_done = 0, m_chosen = 0, m_unfolded = 0, m_changed = 0;

    int16_t (*m_savedClick)(CCorAnim*, int16_t) = nullptr;
    void (*m_savedTick)() = nullptr;
    void (*m_savedKey)(int32_t) = nullptr;
};
