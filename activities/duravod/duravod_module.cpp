#include "activities/duravod/duravod_module.h"

#include <cstdio>
#include <new>
#include <string>
#include <vector>

#include "activities/duravod/actors.h"
#include "activities/duravod/companions.h"
#include "activities/duravod/duravod.h"
#include "activities/duravod/duravod_ids.h"
#include "activities/duravod/duravod_state.h"
#include "activities/duravod/piece_groups.h"
#include "activities/duravod/problem.h"
#include "activities/duravod/grid_panel.h"
#include "activities/duravod/scene.h"
#include "activities/duravod/shared_routines.h"
#include "activities/duravod/pieces.h"
#include "engine/base/activity_settings.h"
#include "engine/players/player_list.h"
#include "engine/players/prefs_options.h"
#include "engine/popups/level_chooser.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/module_level.h"
#include "engine/toolbox/numbers.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/resource_copies.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"
#include "media/res/res_mgr.h"
#include "media/util/mono_debug.h"
#include "platform/core/winuser.h"

namespace duravod {

namespace {

constexpr int16_t kPaintButtonX[kPaintButtons] = {468, 501, 533, 566, 597};
constexpr int16_t kReviewLevel = kLastLevel + 1;  // the stored form's "all levels mastered"

int16_t gLastMouseX = -1;
int16_t gLastMouseY = -1;

ActivitySettings* Settings() {
    int16_t size = 0;
    void* block = GetSavedSettingsBlock(size);
    return block && size >= static_cast<int16_t>(sizeof(ActivitySettings)) ? static_cast<ActivitySettings*>(block)
                                                                            : nullptr;
}

void Trace(const std::string& text) { MonoDebugWrite(("Duravod: " + text + "\n").c_str()); }

int16_t KindOf(int16_t level) { return static_cast<int16_t>(State().LevelTable.Row(level).kind); }

// A call into the current problem: a problem deleted meanwhile (its kind changed under it) is
// freed only when the outermost call has returned, so no operation of it runs on a freed object.
class CProblemCall {
public:
    CProblemCall() { ++State().ProblemCallDepth; }
    ~CProblemCall() {
        CDuravodState& s = State();
        if (--s.ProblemCallDepth == 0) s.RetiredProblems.clear();
    }
    CProblemCall(const CProblemCall&) = delete;
    CProblemCall& operator=(const CProblemCall&) = delete;
};

// A click refused while a paint is held: the gesture answers it.
int16_t Refuse(int16_t id) {
    ClickGesture(id);
    return 1;
}

void RearmHint() {
    if (State().HintArmed) StopModuleTimers(3);
    StartModuleTimers(3);
}

void DisposePiecesUpTo(int16_t last) {
    CDuravodState& s = State();
    for (int16_t i = 1; i <= last && i < kPieceSlots; ++i) {
        DisposeSprite(s.PieceSprites[static_cast<size_t>(i)]);
        s.PieceSprites[static_cast<size_t>(i)] = nullptr;
    }
}

// The button tracked under the pointer with its pressed picture (pressed / normal); on a
// release over it the sound plays and the button shows its normal picture again. True then.
bool PressButton(CCorAnim* sprite, int16_t pressed, int16_t normal, int16_t sound) {
    if (!TrackButton(sprite, pressed, normal)) return false;
    PlaySndAny(sound);
    QueueSpriteFrameNoWait(sprite, normal);
    WaitSpriteDone(sprite);
    return true;
}

}  // namespace

int16_t DrawReviewLevel(int16_t avoid) {
    int16_t level = 0;
    do {
        level = static_cast<int16_t>(kFirstReviewLevel + Random(kLastLevel - kFirstReviewLevel + 1));
    } while (level == avoid);
    return level;
}

void LoadLevelTable() {
    CDuravodState& s = State();
    std::vector<std::string> notes;
    uint32_t size = 0;
    uint8_t* copy = ResourceExists(kResINN, kProblemLevels) ? LoadResourceCopy(kResINN, kProblemLevels, size) : nullptr;
    if (!copy) {
        s.LevelTable = CLevelTable::Parse({}, notes);
        Trace("the level table is missing: every level poses kind 1 from 0");
        return;
    }
    s.LevelTable = CLevelTable::Parse(std::span<const uint8_t>(copy, size), notes);
    FreeResourceCopy(copy);
    for (const std::string& note : notes) Trace("level table, " + note);
    if (s.LevelTable.Levels() < kLastLevel) {
        Trace("the level table holds " + std::to_string(s.LevelTable.Levels()) + " levels; the rest pose kind 1 from 0");
    }
}

std::unique_ptr<CProblem> CreateProblem(int16_t kind) {
    try {
        return MakeProblem(kind);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

void DeleteCurrentProblem() {
    CDuravodState& s = State();
    if (s.Problem) {
        s.Problem->Release();
        s.RetiredProblems.push_back(std::move(s.Problem));
    }
    s.HelperA.reset();
    s.HelperB.reset();
    if (s.ProblemCallDepth == 0) s.RetiredProblems.clear();
}

// ---- Entry points ---------------------------------------------------------------------------------

void Enter() {
    CDuravodState& s = State();
    EngineSuspendScan();
    const DWORD started = timeGetTime();
    ShowNavButtonRight(0);
    ShowNavButtonLeft(0);
    s.Panel = std::make_unique<CProblemPanel>();
    s.Speaker = std::make_unique<CSpeaker>();
    s.PieceTotal = 0;
    GetPictureSize(kPiece, s.PieceWidth, s.PieceHeight);
    s.PieceSprites = {};
    s.ActorSprites = {};
    s.LayerSprites = {};
    s.Wink = {};
    CCorRect screen{0, 0, 0, 0};
    GetScreenMode(&screen);
    s.ScreenArea = StageArea::FromScreen(screen);
    s.PlayArea = s.ScreenArea;
    s.PlayArea.right = static_cast<int16_t>(s.PlayArea.right - 75);
    const int16_t bottom = s.ScreenArea.bottom;

    s.HomeButton = CreateSprite(2, 441, kNoPicture);
    s.WalkSoundSprite = CreateSprite(0, 0, kNoPicture);
    s.TitleSprite = CreateSprite(249, 29, kNoPicture);
    s.LowerBar = CreateSprite(0, bottom, kNoPicture);
    SpriteToBack(s.LowerBar);
    s.Hatch = CreateSprite(0, 0, kNoPicture);
    s.Bin = CreateSprite(290, 425, kNoPicture);
    SpriteToBack(s.Bin);
    s.Tray = CreateSprite(390, 430, kNoPicture);
    SpriteToBack(s.Tray);
    for (int i = 0; i < kPaintButtons; ++i)
        s.PaintButtons[static_cast<size_t>(i)] = CreateSprite(kPaintButtonX[i], bottom, static_cast<int16_t>(kPaintButton + i));
    s.PanelButton = CreateSprite(0, 0, kNoPicture);
    s.GestureSprite = CreateSprite(0, 0, kNoPicture);
    s.ButtonShelf[0] = CreateSprite(438, 420, kButtonShelf);
    s.ButtonShelf[1] = CreateSprite(438, 420, kNoPicture);
    s.SideSprite = CreateSprite(13, bottom, kSidePicture);

    s.PieceLook = Random(5);
    ClearAllSets();
    ClearActorProps();
    ClearProblemNumbers();
    s.VisitorSide = 0;
    DisposeGroupMarkers();
    s.LevelButton = nullptr;
    for (CCorAnim*& layer : s.LayerSprites) layer = CreateSprite(0, 0, kNoPicture);
    SpriteToBack(s.LayerSprites[0]);
    PutSpriteBefore(s.LayerSprites[1], s.LayerSprites[0]);
    PutSpriteBefore(s.LayerSprites[2], s.LayerSprites[1]);
    PutSpriteBefore(s.TitleSprite, s.LayerSprites[0]);
    LoadLevelTable();
    s.Cursor = std::make_unique<CCursorSprite>();
    s.ActorCandidates = std::make_unique<uint8_t[]>(7920);
    s.PieceCandidates = std::make_unique<uint8_t[]>(72600);
    s.Leaving = 0;
    gLastMouseX = gLastMouseY = -1;
    s.EnterMillis = timeGetTime() - started;
}

void Start() {
    CDuravodState& s = State();
    LoadPlayerPrefs();
    // The stored word is read unsigned: 54 and above (0xFFFF too) is the review.
    s.CurrentLevel = GetModuleLevel(kDuravodModule);
    if (const ActivitySettings* settings = Settings())
        s.MayChangeLevel = static_cast<int16_t>(settings->childMayChangeLevel & 0xFFFF);
    if (s.CurrentLevel >= kReviewLevel) {
        s.LevelsMastered = 1;
        s.CurrentLevel = DrawReviewLevel(s.CurrentLevel);
    } else {
        s.LevelsMastered = 0;
    }
    s.CurrentKind = KindOf(s.CurrentLevel);
    ClearStage();
    s.FirstProblem = 1;
    if (s.Cursor) s.Cursor->ShowHand();
    if (s.ProblemMode) {
        NextProblem();
    } else {
        SetupCharacterRound();
    }
    StartModuleTimers(0);
}

void Tick() {
    CDuravodState& s = State();
    int16_t x = 0, y = 0;
    const int16_t down = GetMouse(x, y);
    if (x != gLastMouseX || y != gLastMouseY || down) {
        if (s.Cursor) s.Cursor->MoveTo(x, y);
        StopHatchForClick();
        gLastMouseX = x;
        gLastMouseY = y;
        if (down && s.HintArmed) StopModuleTimers(3);
    }
    if (s.WinkingOn) WinkItems();
    // Presses made while a piece is dragged are dropped.
    if (s.Dragging) IsClickPending(1);
    if (s.ProblemCallDepth == 0) s.RetiredProblems.clear();
}

void KeyDown(int32_t) {}

int16_t OnAnimClicked(CCorAnim* sprite, int16_t id) {
    CDuravodState& s = State();
    StopHatchForClick();
    if (s.HintArmed) StopModuleTimers(3);
    if (!sprite) return 0;
    const bool paint = s.HoldingPaint != 0;
    // 1. The layer sprites.
    for (CCorAnim* layer : s.LayerSprites) {
        if (sprite == layer) return paint ? Refuse(id) : int16_t{1};
    }
    // 2. A piece, the topmost first.
    for (int16_t i = s.PieceTotal; i >= 1; --i) {
        if (i < kPieceSlots && s.PieceSprites[static_cast<size_t>(i)] == sprite) {
            OnPieceClicked(sprite, id, i);
            return 1;
        }
    }
    // 3. Home.
    if (sprite == s.HomeButton) {
        if (paint) return Refuse(id);
        if (TrackButton(sprite, kHomePressed, kHomePicture)) {
            if (s.Cursor) s.Cursor->Hide();
            PlaySndAny(kButtonSound);
            QueueSpriteFrameNoWait(sprite, kHomePicture);
            WaitSpriteDone(sprite);
            EngineLeaveModule();
        }
        return 1;
    }
    // 4. The product grid.
    if (s.Grid) {
        const int16_t role = s.Grid->SpriteRole(sprite);
        if (role >= 1 && role <= 4) {
            if (paint) return Refuse(id);
            if (PressButton(sprite, static_cast<int16_t>(id + 1), id, kButtonSound)) {
                if (role <= 2) {
                    s.Grid->OnColumnButton(sprite);
                } else {
                    s.Grid->OnRowButton(sprite);
                }
            }
            return 1;
        }
        if (role >= 5) {
            if (!paint) return 0;
            RecolourItems(id);
            return 1;
        }
    }
    // 5. The problem panel.
    if (s.Panel && s.Panel->sprite && sprite == s.Panel->sprite) {
        if (paint) return Refuse(id);
        if (s.ProblemMode) {
            PointAtPanel();
            OnProblemTextClicked();
        }
        return 1;
    }
    // 6. The gesture sprite.
    if (sprite == s.GestureSprite) return Refuse(id);
    // 7. The mode buttons.
    for (int16_t i = 0; i < 3; ++i) {
        if (s.ModeButtons[static_cast<size_t>(i)] && sprite == s.ModeButtons[static_cast<size_t>(i)]) {
            OnModeButtonClicked(sprite, id, i);
            return 1;
        }
    }
    // 8. The side sprite.
    if (sprite == s.SideSprite) {
        ToggleProblemMode();
        return 1;
    }
    // 9. The level button.
    if (s.LevelButton && sprite == s.LevelButton) {
        if (paint) return Refuse(id);
        if (PressButton(sprite, kLevelPressed, kLevelPicture, kLevelButtonSound)) {
            StopModuleTimers(0);
            OpenLevelChooser();
        }
        return 1;
    }
    // 10. The bin.
    if (sprite == s.Bin) return paint ? Refuse(id) : int16_t{1};
    // 11. The tray.
    if (sprite == s.Tray) {
        if (paint) return Refuse(id);
        if (PressButton(sprite, static_cast<int16_t>(id + 1), id, kButtonSound)) {
            ClearStage();
            HandOverPieces(s.NewPieceBatch);
        }
        return 1;
    }
    // 12. The button shelf.
    if (sprite == s.ButtonShelf[0] || sprite == s.ButtonShelf[1]) return 0;
    // 13. The panel button.
    if (sprite == s.PanelButton) {
        if (paint) return Refuse(id);
        StopModuleTimers(0);
        if (s.ModuleTextItems[0]) {
            QueueSpriteFrameNoWait(sprite, kPanelButtonPressed);
            WaitSpriteDone(sprite);
            OnEquationButton();
        }
        StartModuleTimers(0);
        return 1;
    }
    // 14. The visitor takes the paint; the search goes on.
    if (paint && s.Visitor && sprite == s.Visitor) PaintVisitor(id);
    // 15. A paint button.
    for (int16_t i = 0; i < kPaintButtons; ++i) {
        if (sprite == s.PaintButtons[static_cast<size_t>(i)]) {
            if (paint) return 0;
            HoldPaint(i);
            return 1;
        }
    }
    // 16. A group marker.
    if (const int16_t group = GroupOfMarker(sprite)) {
        OnGroupMarkerClicked(group, id);
        return 1;
    }
    // 17. An actor.
    for (int16_t slot = 0; slot < kActorSlots; ++slot) {
        if (s.ActorSprites[static_cast<size_t>(slot)] && sprite == s.ActorSprites[static_cast<size_t>(slot)]) {
            OnActorClicked(slot, id);
            return 1;
        }
    }
    // 18. The hatch asks the problem again.
    if (sprite == s.Hatch) {
        if (paint) return Refuse(id);
        RepeatPrompt();
        return 1;
    }
    // 19. The equation boxes of a splits problem.
    if (s.ProblemMode && s.CurrentKind == 5 && s.Problem && s.Problem->equationList) {
        if (s.Problem->equationList->OnClick(sprite, id)) return 1;
    }
    // 20. The splits problem's helper.
    if (s.HelperB && s.HelperB->OnClick(sprite, id)) return 1;
    // 21. The lower bar.
    if (sprite == s.LowerBar && paint) return Refuse(id);
    return 0;
}

int16_t OnTextClicked(CText* text, int16_t) {
    CDuravodState& s = State();
    if (!text) return 0;
    for (CText* item : s.ModuleTextItems) {
        if (item && item == text) {
            if (!s.HoldingPaint && s.ProblemMode) OnProblemTextClicked();
            return 1;
        }
    }
    return 0;
}

int16_t BeginLeave() { return 0; }

void Leave() {
    CDuravodState& s = State();
    s.Leaving = 1;
    for (int16_t i = 1; i < kPieceSlots && s.PieceSprites[static_cast<size_t>(i)]; ++i) {
        DisposeSprite(s.PieceSprites[static_cast<size_t>(i)]);
        s.PieceSprites[static_cast<size_t>(i)] = nullptr;
    }
    s.PieceTotal = 0;
    if (s.Problem) DeleteCurrentProblem();
    s.Cursor.reset();
    s.Speaker.reset();
    StopModuleTimers(0);
    StopModuleTimers(3);
    EngineRemoveIdle(HintIdlePrompt);
    s.HintArmed = 0;
    ClearGroupTable();
    DisposeGroupMarkers();
    ClearAllSets();
    s.SetTable = {};
    s.Wink = {};
    ForgetHatchLists();
    s.SolvedInLevel = 0;
    s.ProblemMode = 1;
    s.IntroPending = 1;
    s.Grid.reset();
    s.Panel.reset();
    StopButtonLoop();
    DisposeAllSprites();
    s.VisitorSide = 0;
    s.Hatch = nullptr;
    s.NewPieceBatch = 0;
    DeleteReadouts();
    if (s.LevelsMastered) s.CurrentLevel = kReviewLevel;
    const ActivitySettings* settings = Settings();
    if (settings && settings->levelsSaved) {
        SetModuleLevel(kDuravodModule, s.CurrentLevel);
        SavePlayerPrefs();
    }
    s.ActorCandidates.reset();
    s.PieceCandidates.reset();
    s.PieceSprites = {};
    s.ActorSprites = {};
    s.LayerSprites = {};
    s.PaintButtons = {};
    s.ButtonShelf = {};
    s.ModeButtons = {};
    s.HomeButton = s.WalkSoundSprite = s.TitleSprite = s.LowerBar = s.Bin = s.Tray = nullptr;
    s.PanelButton = s.GestureSprite = s.SideSprite = s.LevelButton = s.Visitor = s.ButtonLoopSprite = nullptr;
    s.RetiredProblems.clear();
    s.HoldingPaint = 0;
    s.Leaving = 0;
}

void Notify(int32_t code) {
    if (code == kModuleNotifyScanOn) EngineSuspendScan();
}

// ---- The problem loop -----------------------------------------------------------------------------

void NextProblem() {
    CDuravodState& s = State();
    if (s.Leaving || ModuleLeaving()) return;
    StopModuleTimers(0);
    const int16_t oldKind = s.CurrentKind;
    ShowGroupMarkers = 0;
    if (!s.UsedNumbers.InUse()) {
        for (int row = 0; row < CUsedNumbers::kRows; ++row) s.UsedNumbers.ClearRow(row);
    }
    if (s.Problem && s.Problem->passMark <= s.SolvedInLevel) {
        const int16_t advanced = static_cast<int16_t>(s.CurrentLevel + 1);
        s.CurrentLevel = advanced;
        if (advanced > kLastLevel) s.LevelsMastered = 1;
        if (s.LevelsMastered) s.CurrentLevel = DrawReviewLevel(advanced);
        s.SolvedInLevel = 0;
        s.CurrentKind = KindOf(s.CurrentLevel);
    }
    if (s.Grid) {
        s.Grid->Hide();
        s.Grid.reset();
    }
    s.ProblemNumbers.Set(0, 0, 0);
    ClearStage();
    if (s.EnterMillis > 110) s.IntroPending = 0;
    BarLayoutA();
    if (s.IntroPending) PlayIntro();
    if (s.FirstProblem) {
        PlayGreeting();
        s.FirstProblem = 0;
    }
    PaintButtonsFlyIn();
    CProblemCall call;
    if (s.CurrentKind != oldKind && s.Problem) {
        s.Problem->Finish();
        DeleteCurrentProblem();
    }
    if (!s.Problem) {
        s.Problem = CreateProblem(s.CurrentKind);
        if (!s.Problem) {
            StartModuleTimers(0);
            RearmHint();
            return;
        }
    }
    Trace("level " + std::to_string(s.CurrentLevel) + (s.LevelsMastered ? " (review)" : "") + ", kind " +
          std::to_string(PlayedKind(static_cast<uint16_t>(s.CurrentKind))));
    s.Problem->Start();
    StartModuleTimers(0);
    RearmHint();
}

void SetProblemLevel(uint16_t chosen, int16_t index) {
    CDuravodState& s = State();
    StopModuleTimers(3);
    HideMouseCursor();
    if (s.Cursor) s.Cursor->ShowHand();
    if (chosen) {
        const int16_t level = static_cast<int16_t>(index + 1);
        if (level >= kReviewLevel) {
            s.LevelsMastered = 1;
            s.CurrentLevel = DrawReviewLevel(level);
        } else {
            s.LevelsMastered = 0;
            s.CurrentLevel = level < 1 ? int16_t{1} : level;
        }
        s.CurrentKind = KindOf(s.CurrentLevel);
        CProblemCall call;
        if (s.Problem) s.Problem->Finish();
        DeleteCurrentProblem();
        s.SolvedInLevel = 0;
    }
    // The chooser also closes when the module is taken down: the level is kept for the leave,
    // and no problem starts on a screen that is going.
    if (s.Leaving || ModuleLeaving()) return;
    StartModuleTimers(0);
    NextProblem();
}

void OpenLevelChooser() {
    CDuravodState& s = State();
    StopModuleTimers(3);
    StopModuleTimers(0);
    DeleteReadouts();
    DisposePiecesUpTo(s.PieceTotal);
    for (int16_t slot = 1; slot <= 4; ++slot) {
        CCorAnim*& actor = s.ActorSprites[static_cast<size_t>(slot)];
        if (!actor) continue;
        const int16_t picture = GetSpriteFrame(actor);
        QueueSpriteFrameNoWait(actor, kNoPicture);
        WaitSpriteDone(actor);
        PurgeResource(picture);
        DisposeSprite(actor);
        actor = nullptr;
    }
    s.HelperA.reset();
    if (s.Problem) {
        s.Problem->staging = 2;
        s.Problem->equationList.reset();
    }
    s.Grid.reset();
    ClearGroupTable();
    DisposeGroupMarkers();
    ClearAllSets();
    s.PieceTotal = 0;
    s.NewPieceBatch = 0;
    if (s.Cursor) s.Cursor->Hide();
    ShowMouseCursor();
    ShowLevelChooser(DuravodModuleTable(), SetProblemLevel, kLevelTable,
                     s.LevelsMastered ? int16_t{kLastLevel} : static_cast<int16_t>(s.CurrentLevel - 1), kLevelChooserPictures,
                     nullptr);
}

void StartModuleTimers(int16_t which) {
    CDuravodState& s = State();
    if ((which == 0 || which == 1) && !s.HatchIdleArmed && s.ProblemMode) {
        EngineSetIdle(static_cast<int16_t>(1300 + Random(200)), HatchIdlePrompt);
        s.HatchIdleArmed = 1;
    }
    if (which == 0 || which == 2) s.WinkingOn = 1;
    if (which == 3 && !s.HintArmed && s.ProblemMode) {
        EngineSetIdle(static_cast<int16_t>(400 + Random(40)), HintIdlePrompt);
        s.HintArmed = 1;
    }
}

void StopModuleTimers(int16_t which) {
    CDuravodState& s = State();
    if (which == 0 || which == 1) {
        EngineRemoveIdle(HatchIdlePrompt);
        s.HatchIdleArmed = 0;
    }
    if (which == 0 || which == 2) s.WinkingOn = 0;
    if (which == 3 && s.HintArmed && s.ProblemMode) {
        EngineRemoveIdle(HintIdlePrompt);
        s.HintArmed = 0;
    }
}

void ClearStage() {
    CDuravodState& s = State();
    if (s.NewPieceBatch > 0 && s.PieceTotal > 0) HandOverPieces(0);
    ClearGroupTable();
    DisposeGroupMarkers();
    ClearAllSets();
    for (int16_t slot = 0; slot < kActorSlots; ++slot) ShowSetNumber(slot, 0);
    ClearAllItems();
    s.PieceTotal = 0;
    ReturnHeldPieces();
}

void ShowProblemText() {
    CDuravodState& s = State();
    CEquationLines lines;
    if (s.Problem) s.Problem->ShowEquation(lines);
    DeleteReadouts();
    const int16_t x0 = s.Panel ? s.Panel->x : int16_t{0};
    const int16_t y0 = s.Panel ? s.Panel->y : int16_t{0};
    EngineSetTextColors(14, 0, 4);
    if (s.Problem && s.Problem->multiLine) {
        EngineSetTextDefault(21);
        const int16_t h = EngineGetTextMetrics();
        for (int i = 0; i < lines.count && i < kTextItems; ++i) {
            const std::string& text = lines.lines[static_cast<size_t>(i)];
            int16_t top = static_cast<int16_t>(y0 + 3 + i * h);
            int16_t layout = 0x100;
            if (!text.empty() && text[0] == '_') {
                top = static_cast<int16_t>(top - (h - 1));
                layout = 0x101;
            }
            s.ModuleTextItems[static_cast<size_t>(i)] = EngineCreateText(
                text.c_str(),
                CCorRect{static_cast<int16_t>(x0 + 28), top, static_cast<int16_t>(x0 + 115), static_cast<int16_t>(top + h)},
                layout);
        }
    } else if (lines.count > 0) {
        s.ModuleTextItems[0] = EngineCreateText(
            lines.lines[0].c_str(),
            CCorRect{static_cast<int16_t>(x0 + 28), static_cast<int16_t>(y0 + 3), static_cast<int16_t>(x0 + 262),
                     static_cast<int16_t>(y0 + 24)},
            0);
    }
}

void OnProblemTextClicked() {
    CDuravodState& s = State();
    if (!s.Problem) return;
    CProblemCall call;
    s.Problem->CheckAnswer();
}

void RepeatPrompt() {
    CDuravodState& s = State();
    if (!s.Problem) return;
    CProblemCall call;
    s.Problem->Prompt();
}

// ---- Modes -------------------------------------------------------------------------------------

void LeaveProblemMode() {
    CDuravodState& s = State();
    s.ProblemMode = 0;
    StopHatchForClick();
    StopModuleTimers(1);
    if (s.Speaker) {
        const int16_t words[] = {kFreePlaySaid, static_cast<int16_t>(kFirstFreePlayWord + Random(3)), 0};
        s.Speaker->Say(words);
        s.Speaker->Hide();
    }
    BarLayoutB();
    DeleteReadouts();
    {
        CProblemCall call;
        if (s.Problem) s.Problem->Finish();
        DeleteCurrentProblem();
    }
    ClearProblemNumbers();
    ClearStage();
    s.NewPieceBatch = 0;
}

void ToggleProblemMode() {
    CDuravodState& s = State();
    if (s.HoldingPaint) {
        ClickGesture(0);
        return;
    }
    BeginBusy();
    StopModuleTimers(2);
    ShakeSideSprite(0);
    if (s.ProblemMode) {
        LeaveProblemMode();
        SetupCharacterRound();
    } else {
        s.ProblemMode = 1;
        ClearStage();
        s.NewPieceBatch = 0;
        DeleteReadouts();
        if (s.PlayMode == 3 && s.Grid) {
            s.Grid->Hide();
            s.Grid.reset();
        }
        RemoveActors();
        SetBackgroundPicture(0);
        NextProblem();
    }
    StartModuleTimers(2);
    EndBusy();
}

void OnModeButtonClicked(CCorAnim* sprite, int16_t, int16_t index) {
    CDuravodState& s = State();
    if (s.HoldingPaint) return;
    StopModuleTimers(0);
    if (!s.ProblemMode && s.PlayMode == index + 1) {
        StartModuleTimers(0);
        return;
    }
    const int16_t picture = GetSpriteFrame(sprite);
    if (TrackButton(sprite, static_cast<int16_t>(picture + 1), picture)) {
        PlaySndAny(kButtonSound);
        if (!s.ProblemMode) {
            if (s.PlayMode >= 1 && s.PlayMode <= 3) {
                CCorAnim* old = s.ModeButtons[static_cast<size_t>(s.PlayMode - 1)];
                QueueSpriteFrameNoWait(old, static_cast<int16_t>(GetSpriteFrame(old) - 1));
            }
            if (s.PlayMode == 3 && s.Grid) {
                s.Grid->Hide();
                s.Grid.reset();
            }
        } else {
            LeaveProblemMode();
        }
        s.PlayMode = static_cast<int16_t>(index + 1);
        SetupCharacterRound();
    }
    StartModuleTimers(0);
}

// ---- Paint -------------------------------------------------------------------------------------

void HoldPaint(int16_t index) {
    CDuravodState& s = State();
    if (index < 0 || index >= kPaintButtons) return;
    CCorAnim* button = s.PaintButtons[static_cast<size_t>(index)];
    s.SelectedPaint = index;
    if (s.Cursor) s.Cursor->Hide();
    SpriteToFront(button);
    QueueSpriteFrameNoWait(button, static_cast<int16_t>(kPaintHeld + index));
    QueueSpriteWait(button, 10);
    s.HoldingPaint = 1;
    while (!WaitMustEnd() && !ModuleLeaving()) {
        SpriteToFront(button);
        DragNewItem(button);
        QueueSpriteFrameNoWait(button, kNoPicture);
        WaitSpriteDone(button);
        int32_t kind = 0;
        intptr_t thing = 0;
        TrackMouse(31, kind, thing);
        // The press is taken here; it does not reach the click handler a second time.
        FlushEvents(1);
        QueueSpriteFrameNoWait(button, static_cast<int16_t>(kPaintTaking + index));
        CCorAnim* pressed = kind == 4 ? reinterpret_cast<CCorAnim*>(thing) : nullptr;
        bool ends = kind == 1 && thing == 135;
        if (pressed) {
            ends = ends || pressed == s.ButtonShelf[0] || pressed == s.ButtonShelf[1];
            for (CCorAnim* paintButton : s.PaintButtons) ends = ends || pressed == paintButton;
        }
        if (ends) break;
        const int16_t look = PickPaintLook(pressed, index);
        PuffAtPaintButton(look);
        if (pressed) {
            OnAnimClicked(pressed, look);
        } else {
            ClickGesture(look);
        }
    }
    s.HoldingPaint = 0;
    QueueSpriteFrameNoWait(button, static_cast<int16_t>(kPaintHeld + index));
    QueueSpriteWait(button, 10);
    QueueSpriteFrameNoWait(button, static_cast<int16_t>(kPaintButton + index));
    PaintButtonsFlyBack();
    if (s.Cursor) s.Cursor->ShowHand();
}

int16_t PickPaintLook(CCorAnim* sprite, int16_t what) {
    if (what >= 0 && what <= 3) return what;
    const CDuravodState& s = State();
    bool isPiece = false;
    for (int16_t i = 1; i <= s.PieceTotal && i < kPieceSlots; ++i) isPiece = isPiece || (sprite && s.PieceSprites[static_cast<size_t>(i)] == sprite);
    const int16_t shown = isPiece ? static_cast<int16_t>(GetSpriteFrame(sprite) - kPiece) : int16_t{-1};
    int16_t look = 0;
    do {
        look = Random(4);
    } while (look == shown);
    return look;
}

void OnPieceClicked(CCorAnim* sprite, int16_t id, int16_t index) {
    CDuravodState& s = State();
    if (s.HoldingPaint) {
        PaintPiece(sprite, id, index);
        return;
    }
    const bool movableMode = (s.ProblemMode && s.CurrentKind != 8) || (!s.ProblemMode && s.PlayMode != 3);
    if (movableMode && IsPieceMovable(index)) {
        StopModuleTimers(0);
        DragPiece(sprite, index);
        StartModuleTimers(0);
    }
}

void PaintPiece(CCorAnim* sprite, int16_t look, int16_t) {
    if (GetSpriteFrame(sprite) == kPiece + look) {
        QueueSpriteSound(sprite, kAlreadyPainted);
        return;
    }
    QueueSpriteFrameNoWait(sprite, static_cast<int16_t>(kPiece + look));
    WaitSpriteDone(sprite);
    QueueSpriteSoundReplace(sprite, kPaintSound);
}

void PaintVisitor(int16_t look) {
    CDuravodState& s = State();
    const bool mixed = s.SelectedPaint == 4;
    const int16_t first = static_cast<int16_t>(s.PieceTotal - s.NewPieceBatch + 1);
    if ((look != s.PieceLook || mixed) && s.KeepNewPieces == 0) {
        if (look == s.PieceLook && s.PieceTotal >= 1 && s.PieceTotal < kPieceSlots)
            QueueSpriteSound(s.PieceSprites[static_cast<size_t>(s.PieceTotal)], kPaintSound);
        for (int16_t i = first < 1 ? int16_t{1} : first; i <= s.PieceTotal && i < kPieceSlots; ++i)
            QueueSpriteFrameNoWait(s.PieceSprites[static_cast<size_t>(i)], static_cast<int16_t>(kPiece + look));
    }
    if (look != s.PieceLook) {
        s.PieceLook = look;
        QueueSpriteSoundReplace(s.Visitor, kPaintSound);
        WaitSpriteDone(s.Visitor);
    } else if (!mixed) {
        QueueSpriteSound(s.Visitor, kAlreadyPainted);
    }
}

void OnGroupMarkerClicked(int16_t group, int16_t id) {
    CDuravodState& s = State();
    if (s.HoldingPaint) {
        RecolourGroup(group, id);
        return;
    }
    StopModuleTimers(0);
    bool released = false;
    for (int t = 0; t < 15 && !released && !WaitMustEnd(); ++t) {
        released = IsClickPending(0) != 0;
        if (!released) Delay(1);
    }
    if (released) {
        GroupToFront(group);
        StepGroupStyle(group);
        BeginBusy();
        UpdateGroupMarkers(group);
        EndBusy();
        if (GroupInActorSet(group)) ArrangeActorDrawing();
    }
    StartModuleTimers(0);
}

void OnActorClicked(int16_t slot, int16_t id) {
    CDuravodState& s = State();
    if (s.HoldingPaint) {
        PaintSet(slot, id);
        return;
    }
    StopModuleTimers(0);
    if (slot == 0) {
        WaitSpriteDone(s.ActorSprites[0]);
    } else {
        SpeakSetSize(slot);
        SnapPieces(0);
    }
    OfferToSets(0);
    RefreshReadout();
    StartModuleTimers(0);
}

void DragPiece(CCorAnim* sprite, int16_t index) {
    CDuravodState& s = State();
    const int16_t batchFirst = static_cast<int16_t>(s.PieceTotal - s.NewPieceBatch + 1);
    if (s.KeepNewPieces == 0 && index >= batchFirst) {
        s.KeepNewPieces = 1;
        if (s.VisitorSide) {
            for (int16_t i = batchFirst < 1 ? int16_t{1} : batchFirst; i <= s.PieceTotal && i < kPieceSlots; ++i)
                SetSpriteClipRect(s.PieceSprites[static_cast<size_t>(i)], nullptr);
        }
    }
    TakePlaces();
    RemoveFromSet(index);
    if (const int16_t group = GroupOfPiece(index)) {
        if (s.ProblemMode && s.Problem && s.Problem->groupMove) {
            SplitOffBatch(index);
        } else if (DetachPiece(index)) {
            RegroupGroup(group);
        }
        PlaceLoosePieces();
    }
    for (int16_t slot = 0; slot < kActorSlots; ++slot) ShowSetNumber(slot, 0);
    RefreshReadout();
    s.Dragging = 1;
    const bool moved = DragItem(sprite, index);
    s.Dragging = 0;
    WaitAllSprites();
    // A piece dropped into the bin leaves the table: its index may name another piece by now.
    const bool stillThere = index >= 1 && index <= s.PieceTotal && index < kPieceSlots &&
                            s.PieceSprites[static_cast<size_t>(index)] == sprite;
    if (moved && stillThere) {
        AssignSettledPieces();
        SnapPieces(index);
        if (GroupOfPiece(index)) OfferToSets(index);
        if (!PieceInSet(index)) PlacePiece(index);
    }
    RefreshReadout();
    for (int16_t slot = 1; slot < kActorSlots; ++slot) ShowSetNumber(slot, 1);
    if (s.ProblemMode) MoveSprite(s.Hatch, 0, 0);
    MoveSprite(s.LowerBar, 0, 0);
    MoveSprite(s.SideSprite, 0, 0);
    for (int16_t i = 1; i <= s.PieceTotal && i < kPieceSlots; ++i) MoveSprite(s.PieceSprites[static_cast<size_t>(i)], 0, 0);
    RedrawArea(0);
    if (s.VisitorSide && MayTakeMorePieces() && s.PieceTotal < 54) {
        if ((stillThere && index == s.PieceTotal) || PieceInSet(s.PieceTotal)) HandOverPieces(s.NewPieceBatch);
    }
    ArrangeActorDrawing();
    RedrawArea(0);
    if (moved && stillThere) MaybeWobbleColumn(index);
}

}  // namespace duravod
