#include "engine/popups/level_chooser.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <utility>

#include "engine/core/cor_engine.h"
#include "engine/scene/drag_mgr.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/resource_copies.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"
#include "engine/toolbox/waits.h"
#include "media/res/res_mgr.h"

namespace {

constexpr int16_t kNoPicture = 2;
constexpr int32_t kEnterKey = 13;
constexpr int32_t kEscapeKey = 27;

int16_t Clamp16(double v) {
    if (!(v == v)) return 0;  // not a number
    return static_cast<int16_t>(std::clamp(v, -32768.0, 32767.0));
}

int16_t Width(int16_t id) {
    int16_t w = 0, h = 0;
    GetPictureSize(id, w, h);
    return w;
}

int16_t Height(int16_t id) {
    int16_t w = 0, h = 0;
    GetPictureSize(id, w, h);
    return h;
}

// Twice the integer half: the sizes the button row is laid out with.
int16_t EvenWidth(int16_t id) { return static_cast<int16_t>(2 * GetPictureHalfWidth(id)); }
int16_t EvenHeight(int16_t id) { return static_cast<int16_t>(2 * GetPictureHalfHeight(id)); }

std::optional<media::LevelTable> LoadLevelTable(int16_t id) {
    uint32_t size = 0;
    uint8_t* copy = LoadResourceCopy(ResType("IN#"), id, size);
    if (!copy) return std::nullopt;
    auto table = media::ParseLevelTable(std::span<const uint8_t>(copy, size));
    FreeResourceCopy(copy);
    return table;
}

int16_t IndexReportedOnCancel(int16_t levelIndex) { return std::max<int16_t>(levelIndex, 0); }

}  // namespace

int16_t ShowLevelChooser(ModuleFunctionTable* table, LevelChooserCallback callback, int16_t tableId,
                         int16_t levelIndex, int16_t baseId, const PanelStyle* style) {
    if (CLevelChooser::Current() || !table) {
        if (callback) callback(0, IndexReportedOnCancel(levelIndex));
        return 0;
    }
    ToggleScan(0);
    auto* chooser = new CLevelChooser(table, callback, baseId, style);
    CLevelChooser::s_current = chooser;
    if (!chooser->Build(tableId, levelIndex)) {
        CLevelChooser::s_current = nullptr;
        delete chooser;
        if (callback) callback(0, IndexReportedOnCancel(levelIndex));
        ToggleScan(1);
        return 0;
    }
    chooser->TakeOverEntries();
    AddModuleLeaveHook(CloseLevelChooser);
    return 1;
}

void CloseLevelChooser() {
    CLevelChooser* c = CLevelChooser::s_current;
    if (!c) return;
    c->m_done = 1;
    c->m_chosen = 0;
    c->Close();
}

CLevelChooser::CLevelChooser(ModuleFunctionTable* table, LevelChooserCallback callback, int16_t baseId,
                             const PanelStyle* style)
    : m_moduleTable(table), m_callback(callback), m_base(baseId) {
    if (style) {
        m_style = *style;
        m_ownStyle = true;
    }
}

CLevelChooser::~CLevelChooser() {
    GiveBackEntries();
    if (s_current == this) s_current = nullptr;
}

bool CLevelChooser::Build(int16_t tableId, int16_t levelIndex) {
    BeginBusy();
    m_level = m_openLevel = static_cast<int16_t>(std::clamp<int32_t>(int32_t{levelIndex} + 1, 1, INT16_MAX));
    const auto table = LoadLevelTable(tableId);
    if (!table) {
        EndBusy();
        return false;
    }
    m_table = *table;
    m_group = media::GroupOfLevel(m_table, m_level);

    const auto b = [this](int offset) { return static_cast<int16_t>(m_base + offset); };
    // The panel's pictures are loaded up front; a module file may lack the numbers it never shows.
    for (int i = 0; i <= 12; ++i)
        if (ResourceExists(kResSPR, b(i))) PreloadPicture(b(i));

    const int width = std::max(Width(b(0)) + 10, int{Width(b(11))}) + 36;
    const int common = Height(b(3)) + Height(b(13)) + Height(b(2)) + Height(b(0));
    m_panelRect = Rect16{0, 0, static_cast<int16_t>(width), static_cast<int16_t>(common + Height(b(11)) + 76)};
    CenterRectOnScreen(m_panelRect);
    const PanelStyle* style = m_ownStyle ? &m_style : nullptr;
    m_panel = MakeFramedPanel(m_panelRect, style);
    if (!m_panel) {
        for (int i = 0; i <= 12; ++i) PurgeResource(b(i));
        EndBusy();
        return false;
    }
    m_panelPicture = GetSpriteFrame(LiveSprite(m_panel));
    m_foldedRect = m_panelRect;
    m_foldedRect.bottom = static_cast<int16_t>(m_foldedRect.top + common + 66);
    m_foldedPicture = MakeFramedPicture(m_foldedRect, style);
    if (m_foldedPicture > 0) QueueSpriteFrameNoWait(LiveSprite(m_panel), m_foldedPicture);

    const int16_t left = m_panelRect.left, top = m_panelRect.top, right = m_panelRect.right;
    m_title = CreateSprite(left + 18, top + 18, b(2));
    m_fold = CreateSprite(static_cast<int16_t>(right - Width(b(17)) - 18), top + 23, b(17));
    const int16_t trackX = left + 18;
    const int16_t trackY = static_cast<int16_t>(top + 18 + Height(b(2)) + 10);
    m_trackSprite = CreateSprite(trackX, trackY, b(0));
    const int16_t thumbWidth = Width(b(1));
    // The scale is taken over the thumb's usable range, not the whole picture: every group then
    // has its own stretch of the track, and the thumb's places run left to right in group order
    // however wide the thumb is.
    m_trackMath = LevelTrack::Make(static_cast<int16_t>(trackX + thumbWidth / 2),
                                   static_cast<int16_t>(trackX + Width(b(0)) - thumbWidth / 2), m_table.endMargin,
                                   m_table.lastGroup, thumbWidth);
    const int16_t thumbY = static_cast<int16_t>(trackY + Height(b(0)) / 2 - Height(b(1)) / 2);
    m_thumb = CreateSprite(m_trackMath.ThumbX(m_group), thumbY, b(1));
    const int16_t underY = static_cast<int16_t>(trackY + Height(b(0)) + 2);
    m_under[0] = CreateSprite(trackX, underY, b(3));
    m_under[1] = CreateSprite(static_cast<int16_t>(trackX + Width(b(3)) - Width(b(4))), underY, b(4));
    m_ok = CreateSprite(0, 0, b(13));
    m_cancel = CreateSprite(0, 0, b(15));
    const int16_t rulerY = static_cast<int16_t>(underY + Height(b(3)) + 10);
    m_rulerRect = Rect16{trackX, rulerY, static_cast<int16_t>(trackX + Width(b(11))),
                         static_cast<int16_t>(rulerY + Height(b(11)))};
    m_ruler = CreateSprite(trackX, rulerY, kNoPicture);
    const int16_t areaX = static_cast<int16_t>(trackX + m_table.areaX);
    const int16_t areaY = static_cast<int16_t>(rulerY + m_table.areaY);
    m_highlight = CreateSprite(areaX, areaY, kNoPicture);
    m_segmentArea = Rect16{areaX, areaY, static_cast<int16_t>(areaX + Width(b(12))),
                           static_cast<int16_t>(areaY + Height(b(12)))};
    PlaceButtons();
    for (const CAnimRef* still : {&m_title, &m_under[0], &m_under[1]}) SetSpriteUserValue(LiveSprite(*still), 0);

    // The thumb's drag home: from three pixels left of the usable range to the track's end, as
    // high as the thumb.
    EngineCreateSpot(kLevelChooserTrackSpot,
                     CCorRect{static_cast<int16_t>(m_trackMath.left - 3), thumbY, static_cast<int16_t>(trackX + Width(b(0))),
                              static_cast<int16_t>(thumbY + Height(b(1)))});
    m_spotMade = true;
    LayoutSegments();
    PlaceThumb();
    Delay(0);
    EndBusy();
    return true;
}

LevelTrack LevelTrack::Make(int16_t left, int16_t right, int16_t endMargin, int16_t lastGroup, int16_t thumbWidth) {
    LevelTrack t{left, right, endMargin, lastGroup, thumbWidth, 0};
    if (lastGroup > 0) t.scale = static_cast<float>(int32_t{right} - left - endMargin) / static_cast<float>(lastGroup);
    return t;
}

int16_t LevelTrack::GroupFromX(int16_t x) const {
    const int32_t at = std::max<int32_t>(x, left);
    if (at > int32_t{right} - endMargin) return lastGroup;
    if (!(scale > 0)) return lastGroup;
    const double group = std::trunc(static_cast<double>(at - left) / scale);
    return static_cast<int16_t>(std::clamp<double>(group, 0, std::max<int16_t>(lastGroup, 0)));
}

int16_t LevelTrack::ThumbX(int16_t group) const {
    if (group >= lastGroup) return Clamp16(int32_t{right} - thumbWidth / 2 - endMargin / 2);
    return Clamp16(std::trunc(static_cast<double>(scale) * group + left) - 3);
}

void CLevelChooser::PlaceThumb() {
    CCorAnim* thumb = LiveSprite(m_thumb);
    MoveSpriteInPicture(thumb, m_trackMath.ThumbX(m_group), GetSpriteY(thumb));
}

void CLevelChooser::LayoutSegments() { m_segments = media::LayoutLevelSegments(m_table, m_segmentArea); }

CCorAnim* CLevelChooser::Sprite(int16_t offset) const {
    switch (offset) {
        case 0: return LiveSprite(m_trackSprite);
        case 1: return LiveSprite(m_thumb);
        case 2: return LiveSprite(m_title);
        case 3: return LiveSprite(m_under[0]);
        case 4: return LiveSprite(m_under[1]);
        case 11: return LiveSprite(m_ruler);
        case 12: return LiveSprite(m_highlight);
        case 13: return LiveSprite(m_ok);
        case 15: return LiveSprite(m_cancel);
        case 17: return LiveSprite(m_fold);
        default: return nullptr;
    }
}

void CLevelChooser::PlaceButtons() {
    const int16_t shown = m_unfolded || m_foldedPicture <= 0 ? m_panelPicture : m_foldedPicture;
    const int16_t x = GetSpriteX(LiveSprite(m_panel)), y = GetSpriteY(LiveSprite(m_panel));
    const int16_t pw = EvenWidth(shown), ph = EvenHeight(shown);
    const int16_t ok = static_cast<int16_t>(m_base + 13), cancel = static_cast<int16_t>(m_base + 15);
    const int16_t row = static_cast<int16_t>(y + ph - EvenHeight(ok) - 18);
    MoveSpriteInPicture(LiveSprite(m_cancel), static_cast<int16_t>(x + pw - EvenWidth(cancel) - 20), row);
    MoveSpriteInPicture(LiveSprite(m_ok), static_cast<int16_t>(x + pw - EvenWidth(ok) - EvenWidth(cancel) - 50), row);
}

void CLevelChooser::ClipHighlight() {
    const Rect16& s = m_segments[static_cast<size_t>(std::clamp<int>(m_group, 0, media::kMaxLastLevelGroup))];
    // The segment's bounds are inclusive; the clip's right and bottom lie outside.
    const CCorRect clip{s.left, s.top, static_cast<int16_t>(s.right + 1), static_cast<int16_t>(s.bottom + 1)};
    SetSpriteClip(LiveSprite(m_highlight), &clip);
}

void CLevelChooser::Fold(bool unfold) {
    m_unfolded = unfold ? 1 : 0;
    if (m_foldedPicture > 0) QueueSpriteFrameNoWait(LiveSprite(m_panel), unfold ? m_panelPicture : m_foldedPicture);
    QueueSpriteFrameNoWait(LiveSprite(m_ruler), unfold ? static_cast<int16_t>(m_base + 11) : kNoPicture);
    QueueSpriteFrameNoWait(LiveSprite(m_highlight), unfold ? static_cast<int16_t>(m_base + 12) : kNoPicture);
    if (unfold) ClipHighlight();
    PlaceButtons();
    RedrawArea(0);
}

void CLevelChooser::OnClick(CCorAnim* sprite) {
    if (!sprite || m_done) return;
    if (sprite == LiveSprite(m_ok)) {
        Confirm(true, true);
    } else if (sprite == LiveSprite(m_cancel)) {
        Confirm(false, true);
    } else if (sprite == LiveSprite(m_fold)) {
        if (TrackButton(LiveSprite(m_fold), static_cast<int16_t>(m_base + 18), static_cast<int16_t>(m_base + 17)) && !m_gone) {
            QueueSpriteFrameNoWait(LiveSprite(m_fold), static_cast<int16_t>(m_base + 17));
            Fold(!m_unfolded);
        }
    } else if (sprite == LiveSprite(m_thumb)) {
        DragThumb();
    } else if (sprite == LiveSprite(m_trackSprite)) {
        int16_t x = 0, y = 0;
        GetLastClick(x, y);
        m_changed = 1;
        const int16_t tx = GetSpriteX(LiveSprite(m_thumb)), ty = GetSpriteY(LiveSprite(m_thumb));
        const int16_t thumb = static_cast<int16_t>(m_base + 1);
        if (x >= tx && x < tx + Width(thumb) && y >= ty && y < ty + Height(thumb)) {
            DragThumb();
            return;
        }
        m_group = GroupFromX(x);
        PlaceThumb();
        if (m_unfolded) {
            ClipHighlight();
            RedrawArea(0);
        }
    } else if ((sprite == LiveSprite(m_ruler) || sprite == LiveSprite(m_highlight)) && m_unfolded) {
        FollowRuler();
    }
}

void CLevelChooser::OnKey(int32_t key) {
    if (m_done) return;
    if (key == kEnterKey) Confirm(true, false);
    if (key == kEscapeKey) Confirm(false, false);
}

void CLevelChooser::Confirm(bool ok, bool tracked) {
    const CAnimRef button = ok ? m_ok : m_cancel;
    const int16_t normal = static_cast<int16_t>(m_base + (ok ? 13 : 15));
    const int16_t pressed = static_cast<int16_t>(normal + 1);
    if (tracked) {
        if (!TrackButton(LiveSprite(button), pressed, normal) || m_gone) return;
        QueueSpriteFrame(LiveSprite(button), normal);
    } else {
        QueueSpriteFrame(LiveSprite(button), pressed);
    }
    WaitForSprite(LiveSprite(button), 0);
    if (m_gone) return;
    GiveBackEntries();
    m_done = 1;
    if (ok && m_changed) {
        m_chosen = 1;
        m_level = media::FirstLevelOfGroup(m_table, m_group);
    }
}

void CLevelChooser::DragThumb() {
    int16_t x = 0, y = 0;
    GetLastClick(x, y);
    m_clickX = x;
    m_changed = 1;
    m_thumbXAtPress = GetSpriteX(LiveSprite(m_thumb));
    EngineDragObject(LiveSprite(m_thumb), kLevelChooserTrackSpot, 0, kNoSnapLimit, OnDragMove);
    if (m_gone) return;
    PlaceThumb();
    if (m_unfolded) {
        ClipHighlight();
        RedrawArea(0);
    }
}

int16_t CLevelChooser::OnDragMove(int16_t x, int16_t /*y*/) {
    CLevelChooser* c = s_current;
    if (!c) return 0;
    const int32_t thumbCentre = c->m_trackMath.thumbWidth / 2 + c->m_thumbXAtPress - c->m_clickX + x - 1;
    c->m_group = c->GroupFromX(Clamp16(thumbCentre));
    if (c->m_unfolded) c->ClipHighlight();
    return 1;
}

void CLevelChooser::FollowRuler() {
    int16_t x = 0, y = 0;
    GetLastClick(x, y);
    bool held = true;
    while (held) {
        for (int i = 0; i <= m_table.lastGroup; ++i) {
            if (!PointInRect16(x, y, m_segments[static_cast<size_t>(i)])) continue;
            m_group = static_cast<int16_t>(i);
            m_changed = 1;
            ClipHighlight();
            RedrawArea(0);
            PlaceThumb();
            break;
        }
        if (!theEngine || !theEngine->m_running || theEngine->ClosePending()) break;
        held = GetMouse(x, y) != 0;
        if (held) Delay(0);
        if (m_gone) return;
    }
}

void CLevelChooser::TakeOverEntries() {
    if (m_entriesTaken || !m_moduleTable) return;
    m_savedClick = m_moduleTable->OnAnimClicked;
    m_savedTick = m_moduleTable->Tick;
    m_savedKey = m_moduleTable->KeyDown;
    m_moduleTable->OnAnimClicked = OnAnimClickedEntry;
    m_moduleTable->Tick = nullptr;
    m_moduleTable->KeyDown = OnKeyDownEntry;
    m_entriesTaken = true;
}

void CLevelChooser::GiveBackEntries() {
    if (!m_entriesTaken) return;
    m_moduleTable->OnAnimClicked = m_savedClick;
    m_moduleTable->Tick = m_savedTick;
    m_moduleTable->KeyDown = m_savedKey;
    m_entriesTaken = false;
}

int16_t CLevelChooser::OnAnimClickedEntry(CCorAnim* anim, int16_t /*id*/) {
    if (CLevelChooser* c = s_current) {
        ++s_entryDepth;
        c->OnClick(anim);
        --s_entryDepth;
    }
    FinishIfDone();
    return 1;
}

void CLevelChooser::OnKeyDownEntry(int32_t key) {
    if (CLevelChooser* c = s_current) {
        ++s_entryDepth;
        c->OnKey(key);
        --s_entryDepth;
    }
    FinishIfDone();
}

void CLevelChooser::FinishIfDone() {
    if (s_current && s_current->m_done) s_current->Close();
    if (s_entryDepth == 0 && s_closed) delete std::exchange(s_closed, nullptr);
}

void CLevelChooser::Close() {
    const uint16_t chosen = m_chosen;
    const int16_t value = chosen ? m_level : m_openLevel;
    const LevelChooserCallback callback = m_callback;
    s_current = nullptr;
    TearDown();
    m_gone = true;
    // Closed from inside one of its own clicks (the module left while it waited): that click
    // still runs on this object and ends at once; the outermost entry deletes it.
    if (s_entryDepth > 0) {
        s_closed = this;
    } else {
        delete this;
    }
    if (callback) callback(chosen, static_cast<int16_t>(value - 1));
    ToggleScan(1);
}

void CLevelChooser::TearDown() {
    BeginBusy();
    GiveBackEntries();
    for (const CAnimRef* sprite :
         {&m_title, &m_trackSprite, &m_thumb, &m_under[0], &m_under[1], &m_ok, &m_cancel, &m_fold, &m_ruler, &m_highlight})
        DisposeSprite(LiveSprite(*sprite));
    const int16_t notShown = m_unfolded ? m_foldedPicture : m_panelPicture;
    if (notShown > 0) PurgeResource(notShown);
    ClosePanel(LiveSprite(m_panel));
    m_panel = CAnimRef();
    Delay(0);
    for (int i = 0; i <= 12; ++i) PurgeResource(static_cast<int16_t>(m_base + i));
    if (m_spotMade) EngineDeleteSpot(kLevelChooserTrackSpot);
    m_spotMade = false;
    EndBusy();
}
