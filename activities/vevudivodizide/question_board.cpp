#include "activities/vevudivodizide/question_board.h"

#include <algorithm>

#include "activities/vevudivodizide/module5.h"
#include "activities/vevudivodizide/number_panel.h"
#include "activities/vevudivodizide/problem_generator.h"
#include "activities/vevudivodizide/vevudivodizide.h"
#include "activities/vevudivodizide/vevudivodizide_ids.h"
#include "engine/base/activity_settings.h"
#include "engine/players/player_list.h"
#include "engine/popups/level_chooser.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/module_level.h"
#include "engine/toolbox/numbers.h"
#include "engine/toolbox/phrase.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"
#include "engine/toolbox/waits.h"

namespace vevudivodizide {

namespace {

constexpr int16_t kLeftPanX = 50, kRightPanX = 369, kPanY = 240;
constexpr int16_t kGuideScanOffset = 61;

ActivitySettings* Settings() {
    int16_t size = 0;
    void* block = GetSavedSettingsBlock(size);
    if (!block || size < static_cast<int16_t>(sizeof(ActivitySettings))) return nullptr;
    return static_cast<ActivitySettings*>(block);
}

bool IsTileMode(uint32_t mode) { return mode == 4 || mode == 5 || mode == 10 || mode == 11; }

// "Done": the click is handled and what was queued meanwhile is dropped.
int16_t Done() {
    FlushEvents(6);
    return 1;
}

void AddTarget(CCorAnim* sprite, int16_t dx = 0) { AddScanSprite(-1, sprite, dx, 0, 1, 1); }

}  // namespace

CAct5Board::CAct5Board() {
    tileMoveHook = Module5::OnDragA;
    cardMoveHook = Module5::OnDragB;
    holderMoveHook = Module5::OnDragC;
    itemMoveHook = Module5::OnDragD;
}

// ---- Screen ---------------------------------------------------------------------------------

void CAct5Board::Enter() {
    StartRound();
    PlayIntroScene(Random(2));
    WaitSpritesDone();
    BeginBusy();
    GenerateProblem(*this);
    Module5::AfterInput();
    EndBusy();
    SpeakInstructions();
    ArmIdle();
}

void CAct5Board::StartRound() {
    const uint32_t now = GetEngineTicks();
    lastInputTime = now;
    BeginBusy();
    screenState = kQuestionBoard;
    Module5::panelClickTaken = 0;
    answerMode = 1;
    tilesInPlay = 0;
    targetLeft = targetRight = 0;
    leftDigits = rightDigits = 3;
    lastSide = 2;
    workSide = 2;
    helpGiven = 0;
    helpTime = now;
    Reset();
    ResetOutcomes();
    attempt = 1;
    savedTileStates.fill(0);
    HideTray();
    ShowPicture(Module5::levelButton, ChildMayChangeLevel() ? kPicLevelButton : kPicNone);
    ShowPicture(checkButtonBase, kPicCheckLast);
    ShowPicture(checkButton, kPicCheckFirst);
    for (CCorAnim* sprite : {questionSprite1, questionSprite7, clearButtonBase, clearButton, leftPlacesButton, rightPlacesButton})
        ShowPicture(sprite, kPicNone);
    ShowAt(bin, kPicNone, 553, 425);
    PansLevel();
    for (CNumberPanel* panel : {leftPanel, rightPanel}) {
        panel->SetItemPictures(kItemPictureBase);
        panel->LayoutArcItems(260);
    }
    SetBackgroundPicture(kBackground);
    EngineEnableSpot(kSpotPanels, 1);
    for (int16_t anim : {kAnimBoards, kAnimSpeaking, int16_t{6}, int16_t{9}, int16_t{10}, int16_t{11}, int16_t{12},
                         int16_t{13}, int16_t{14}, int16_t{15}})
        PreloadAnimation(anim);
    scanStep = 1;
    scanDigit = 0;
    FlushEvents(6);
    EndBusy();
}

int16_t CAct5Board::OnClick(CCorAnim* sprite, int16_t) {
    clickX = clickY = 0;
    lastInputTime = GetEngineTicks();
    levelChooserAsked = 0;
    Module5::panelClickTaken = 0;
    if (!sprite) return 0;
    if (sprite == Module5::modeSwitchSprite) {
        StopIdle();
        Module5::AnimateSwitch();
        SayFarewell();
        WaitSpritesDone();
        PansLevel();
        Reset();
        Module5::SetScreen(kFreeBoard);
        return 1;
    }
    if (screenState != kQuestionBoard) return 0;
    if (sprite == checkButton || sprite == checkButtonBase) {
        ShowPicture(checkButton, static_cast<int16_t>(kPicCheckFirst + 1));
        PlaySndFree(kSndCheck);
        Delay(5);
        ShowPicture(checkButton, kPicCheckFirst);
        Evaluate();
        return Done();
    }
    for (int kind = 0; kind < 3; ++kind) {
        CRelationButton* button = relationButtons[kind];
        if (!button->Press(sprite)) continue;
        if (button->WasPressed()) ChooseRelation(kind);
        return Done();
    }
    if (sprite == leftPlacesButton) {
        ToggleLeftPlaces();
        return Done();
    }
    if (sprite == rightPlacesButton) {
        ToggleRightPlaces();
        return Done();
    }
    for (int side = 1; side <= 2; ++side) {
        if (ItemsLive(side) && Panel(side)->HitBox(sprite)) {
            AddItemOn(side);
            Module5::panelClickTaken = 1;
            return 1;
        }
    }
    for (int side = 1; side <= 2; ++side) {
        if (!ItemsLive(side) || workSide != side) continue;
        CNumberPanel* panel = Panel(side);
        const int frame = GetSpriteFrame(sprite) % 100;
        bool isItem = false;
        for (int column = 0; column < CNumberPanel::kColumns && !isItem; ++column)
            for (int i = 0; i < CNumberPanel::kCapacity[column] && !isItem; ++i) isItem = panel->Item(column, i) == sprite;
        if (!isItem) continue;
        if (frame >= 54 && frame <= 56) return Done();
        if (panel->PressItem(sprite)) {
            MoveItemOn(side);
            return Done();
        }
    }
    // A tile takes the press only when it is one of the tiles; anything else goes on to the
    // tests below (the clear button, the speakers, the holders, the guides, the level button).
    if (tilesInPlay && (leftPlacesOpen || rightPlacesOpen)) {
        for (int d = 0; d < 10; ++d) {
            clickX = clickY = 0;
            if (tiles[d]->PressTile(sprite, tileMoveHook)) {
                TakeTile(d);
                return 1;
            }
        }
    }
    if (tilesInPlay && (workSide == 1 || workSide == 2)) {
        for (int i = 0; i < 3; ++i) {
            CDigitPlace* place = Place(workSide, i);
            if (place->PressCard(sprite, GetSpriteFrame(sprite) != kPicBlankCard, cardMoveHook, tiles)) {
                MoveCardOn(workSide, i);
                return Done();
            }
        }
    }
    if (sprite == leftSpeaker) {
        SayLeft();
        return Done();
    }
    if (sprite == rightSpeaker) {
        SayRight();
        return Done();
    }
    if (sprite == clearButton) {
        ShowPicture(clearButton, kPicClearPressed);
        if (!TrackButton(clearButton, kPicClearPressed, kPicClear)) {
            ShowPicture(clearButton, kPicClear);
            return Done();
        }
        PlaySndFree(kSndWipe);
        ShowPicture(clearButton, kPicClear);
        ClearWorkSide();
        ShowPicture(clearButton, kPicClear);
        return Done();
    }
    if (sprite == backspaceKey) {
        Backspace();
        return 1;
    }
    // A label takes the press only when it is one of the labels.
    for (int i = 0; i < 3; ++i) {
        for (int side = 1; side <= 2; ++side) {
            if (Place(side, i)->IsLabel(sprite)) {
                MarkPlace(i, side);
                return 1;
            }
        }
    }
    if (tilesInPlay && (workSide == 1 || workSide == 2) && PressHolder(workSide, sprite)) {
        DropHolderOn(workSide);
        return Done();
    }
    if (sprite == leftGuideExtra || sprite == leftGuide || sprite == rightGuideExtra || sprite == rightGuide) {
        GuideClicked();
        return Done();
    }
    if (sprite == Module5::levelButton && GetSpriteFrame(sprite) == kPicLevelButton) {
        ShowPicture(sprite, kPicLevelPressed);
        if (!TrackButton(sprite, kPicLevelPressed, kPicLevelButton)) {
            ShowPicture(sprite, kPicLevelButton);
            return Done();
        }
        PlaySndFree(kSndLevelBell);
        ShowPicture(sprite, kPicLevelButton);
        levelChooserAsked = 1;
        ChooseLevel();
        ShowPicture(sprite, kPicLevelButton);
        return Done();
    }
    return 0;
}

void CAct5Board::OnKey(int32_t key) {
    const int d = DigitFromKey(key);
    lastInputTime = GetEngineTicks();
    if (key == 13 || key == 3) {
        if (GetSpriteFrame(checkButton) != kPicNone) Evaluate();
        return;
    }
    if (key == 8) {
        Backspace();
        return;
    }
    if (d >= 0) TypeDigit(d);
}

void CAct5Board::RebuildScanTargets() {
    ClearScanTargets();
    auto openSpeakers = [&] {
        if (leftPlacesOpen) AddTarget(leftSpeaker);
        if (rightPlacesOpen) AddTarget(rightSpeaker);
    };
    auto tail = [&] {
        AddTarget(Module5::modeSwitchSprite);
        AddTarget(Module5::exitSprite);
    };
    switch (answerMode) {
    case 1:
    case 8:
    case 3:
    case 9:
        leftPanel->AddBoxScanTargets();
        rightPanel->AddBoxScanTargets();
        if (answerMode == 3 || answerMode == 9) openSpeakers();
        AddTarget(checkButton);
        AddTarget(clearButton);
        AddTarget(leftGuideExtra, kGuideScanOffset);
        tail();
        break;
    case 2:
        EngineAddScanSpot(kSpotPanels, -150, 0, 1);
        EngineAddScanSpot(kSpotPanels, 150, 0, 1);
        AddTarget(leftGuideExtra, kGuideScanOffset);
        tail();
        break;
    case 4:
    case 5:
    case 10:
    case 11:
        if (scanStep == 2) {
            for (int side = 1; side <= 2; ++side)
                if (PlacesOpen(side))
                    for (int i = 0; i < 3; ++i) Place(side, i)->AddScanTarget();
            break;
        }
        openSpeakers();
        AddTarget(checkButton);
        AddTarget(clearButton);
        AddTarget(leftGuideExtra, kGuideScanOffset);
        if (leftPlacesOpen || rightPlacesOpen)
            for (CDigitTile* tile : tiles) tile->AddScanTarget();
        tail();
        break;
    case 7:
        for (int kind : {2, 0, 1}) relationButtons[kind]->AddScanTarget();
        openSpeakers();
        AddTarget(leftGuideExtra, kGuideScanOffset);
        tail();
        break;
    default:
        break;
    }
}

void CAct5Board::StopIdle() {
    EngineRemoveIdle(Module5::IdleAnimate);
    StopCharacters();
    RestBoth();
    Delay(2);
    WaitSpritesDone();
}

void CAct5Board::ArmIdle() {
    EngineRemoveIdle(Module5::IdleAnimate);
    WaitSoundsDone();
    EngineSetIdle(Module5::IdleInterval(), Module5::IdleAnimate);
}

void CAct5Board::SaveTileStates() {
    for (int d = 0; d < 10; ++d) savedTileStates[d] = static_cast<uint16_t>(tiles[d]->GetPicture());
}

void CAct5Board::RestoreTileStates() {
    for (int d = 0; d < 10; ++d) tiles[d]->SetPicture(static_cast<int16_t>(savedTileStates[d]));
}

int16_t CAct5Board::OnTileDragMoveHere(int16_t x, int16_t y) {
    clickX = x;
    clickY = y;
    const int first = rightDigits <= 1 ? 2 : rightDigits >= 3 ? 0 : 3 - rightDigits;
    for (int i = first; i <= 2; ++i) {
        for (int side = 2; side >= 1; --side) {
            CDigitPlace* place = Place(side, i);
            if (workSide == side && PlacesOpen(side) && place->HitTest(x, y)) place->Highlight();
            else place->Unhighlight();
        }
    }
    return 1;
}

// ---- Answer modes ---------------------------------------------------------------------------

void CAct5Board::ShowCheckAndClear() {
    ShowPicture(checkButton, kPicCheckFirst);
    ShowPicture(checkButtonBase, kPicCheckLast);
    ShowPicture(clearButtonBase, kPicClearBase);
    ShowPicture(clearButton, kPicClear);
}

void CAct5Board::HideCheckAndClear() {
    for (CCorAnim* sprite : {checkButton, checkButtonBase, clearButtonBase, clearButton}) ShowPicture(sprite, kPicNone);
}

void CAct5Board::SetItemMode(uint32_t mode, bool setsActiveSide) {
    answerMode = mode;
    workSide = static_cast<uint16_t>(Random(2) + 1);
    const int other = 3 - workSide;
    ItemsLive(workSide) = 1;
    ItemsLive(other) = 0;
    Panel(other)->HideBoxes();
    Panel(workSide)->SetBoxes(boxesShown);
    if (setsActiveSide) activeSide = workSide;
    tilesInPlay = 0;
    HideTrayAndTiles();
    ShowPicture(leftPlacesButton, kPicNone);
    ShowPicture(rightPlacesButton, kPicNone);
    for (CRelationButton* button : relationButtons) button->Hide();
    ShowAt(bin, kPicBin, 553, 425);
    ShowCheckAndClear();
}

void CAct5Board::SetTileMode(uint32_t mode) {
    answerMode = mode;
    workSide = static_cast<uint16_t>(Random(2) + 1);
    tilesInPlay = 1;
    leftItemsLive = rightItemsLive = 0;
    leftPanel->HideBoxes();
    rightPanel->HideBoxes();
    ShowTrayAndTiles();
    ShowPicture(leftPlacesButton, workSide == 1 ? kPicPlacesButton[0] : kPicNone);
    ShowPicture(rightPlacesButton, workSide == 2 ? kPicPlacesButton[1] : kPicNone);
    for (CRelationButton* button : relationButtons) button->Hide();
    ShowAt(bin, kPicBin, 553, 425);
    ShowCheckAndClear();
}

void CAct5Board::SetMode1() { SetItemMode(1, true); }
void CAct5Board::SetMode3() { SetItemMode(3, false); }
void CAct5Board::SetMode8() { SetItemMode(8, true); }
void CAct5Board::SetMode9() { SetItemMode(9, false); }
void CAct5Board::SetMode4() { SetTileMode(4); }
void CAct5Board::SetMode5() { SetTileMode(5); }
void CAct5Board::SetMode10() { SetTileMode(10); }
void CAct5Board::SetMode11() { SetTileMode(11); }

void CAct5Board::SetMode2() {
    answerMode = 2;
    wantLarger = 1;
    if (Random(2) == 0) wantLarger = 0;
    leftItemsLive = rightItemsLive = 0;
    tilesInPlay = 0;
    leftPanel->HideBoxes();
    rightPanel->HideBoxes();
    HideTrayAndTiles();
    ShowPicture(leftPlacesButton, kPicNone);
    ShowPicture(rightPlacesButton, kPicNone);
    for (CRelationButton* button : relationButtons) button->Hide();
    ShowPicture(bin, kPicNone);
    HideCheckAndClear();
}

void CAct5Board::SetMode7() {
    answerMode = 7;
    leftItemsLive = rightItemsLive = 0;
    tilesInPlay = 0;
    leftPanel->HideBoxes();
    rightPanel->HideBoxes();
    HideTrayAndTiles();
    ShowPicture(leftPlacesButton, kPicNone);
    ShowPicture(rightPlacesButton, kPicNone);
    for (CRelationButton* button : relationButtons) button->Show();
    ShowPicture(bin, kPicNone);
    HideCheckAndClear();
}

bool CAct5Board::IsAnswerCorrect(int side) const {
    switch (side) {
    case 0:
        return leftValue == static_cast<int16_t>(targetLeft) && rightValue == static_cast<int16_t>(targetRight);
    case 1:
        return leftValue == static_cast<int16_t>(targetLeft);
    case 2:
        return rightValue == static_cast<int16_t>(targetRight);
    default:
        return false;
    }
}

bool CAct5Board::IsRelationRight() const {
    if (PlacesOpen(workSide) && OnesBlank()) return false;
    return (leftValue == rightValue && relation == 0) || (leftValue > rightValue && relation == 1) ||
           (leftValue < rightValue && relation == 2);
}

bool CAct5Board::IsBuiltRelationRight() const {
    if (IsWorkSideUnbuilt()) return false;
    return IsRelationRight();
}

bool CAct5Board::IsSignRight() const {
    const int16_t sign = GetSpriteFrame(relationSign);
    return (sign == kPicLeftLarger && leftValue > rightValue) || (sign == kPicEqual && leftValue == rightValue) ||
           (sign == kPicLeftSmaller && leftValue < rightValue);
}

bool CAct5Board::IsWorkSideUnbuilt() const {
    if (!IsTileMode(answerMode)) return false;
    return !PlacesOpen(workSide) || OnesBlank();
}

// Read from the card's state, not its picture: a digit typed just before the check may not be
// drawn yet.
bool CAct5Board::OnesBlank() const {
    const CDigitPlace* ones = Place(workSide, 2);
    return ones && ones->GetDigit() == CDigitPlace::kBlank;
}

void CAct5Board::Celebrate(int pause) {
    CompareSides();
    Praise();
    WaitSoundsDone();
    WaitSpritesDone();
    Delay(pause);
    NextProblem();
}

void CAct5Board::Wrong(void (CAct5Board::*react)()) {
    wrongTry = 1;
    if (react) (this->*react)();
    if (attempt < 4) ++attempt;
}

void CAct5Board::Evaluate() {
    bool right = false;
    if (answerMode == 7) right = IsSignRight();
    else if (IsTileMode(answerMode)) right = IsBuiltRelationRight();
    else right = IsRelationRight();
    if (right) {
        Celebrate(120);
        return;
    }
    switch (answerMode) {
    case 1:
    case 3:
    case 4:
    case 5:
        Wrong(&CAct5Board::ReactToBuild);
        break;
    case 7:
        Wrong(&CAct5Board::ReactToSign);
        break;
    case 8:
    case 9:
    case 10:
    case 11:
        Wrong(&CAct5Board::ReactToExpression);
        break;
    default:
        Wrong(nullptr);
        break;
    }
}

void CAct5Board::ChooseRelation(int kind) {
    if (kind < 0 || kind > 2) return;
    if (!relationButtons[kind]->IsHidden()) ShowRelationSign(kind);
    WaitSpritesDone();
    if (IsSignRight()) Celebrate(120);
    else Wrong(&CAct5Board::ReactToSign);
}

void CAct5Board::OnDrop() {
    lastInputTime = GetEngineTicks();
    if (answerMode == 2) {
        int16_t x = 0, y = 0;
        GetLastClick(x, y);
        if (leftPanel->IsInsidePan(x, y)) {
            if (leftDropLive) JudgeLeftDrop();
            return;
        }
        if (rightPanel->IsInsidePan(x, y)) {
            if (rightDropLive) JudgeRightDrop();
            return;
        }
    }
    for (int side = 1; side <= 2; ++side)
        for (int i = 0; i < 3; ++i)
            if (Place(side, i)->LabelShown()) Place(side, i)->LabelNormal();
}

void CAct5Board::JudgeLeftDrop() {
    if ((wantLarger == 1 && leftValue > rightValue) || (wantLarger == 0 && leftValue < rightValue)) Celebrate(120);
    else Wrong(&CAct5Board::ReactToDrop);
}

void CAct5Board::JudgeRightDrop() {
    if ((wantLarger == 1 && leftValue < rightValue) || (wantLarger == 0 && leftValue > rightValue)) Celebrate(60);
    else Wrong(&CAct5Board::ReactToDrop);
}

void CAct5Board::CloseSidePlaces(int side) {
    if (Typing(side)) HideCursor();
    DetachHolder(side);
    SetTypingSide(side, false);
    (side == 1 ? leftPlacesOpen : rightPlacesOpen) = 0;
}

void CAct5Board::AddItemOn(int side) {
    CNumberPanel* panel = Panel(side);
    if (!panel) return;
    lastSide = static_cast<uint16_t>(side);
    const int k = panel->pressedBox;
    if (k < 0 || k > 2 || GetSpriteFrame(panel->Box(k)) == kPicNone || panel->ItemCount(k) > 8) return;
    if (PlacesOpen(side)) CloseSidePlaces(side);
    panel->AddItem(k);
    ValueOf(side) = static_cast<int16_t>(panel->Value());
}

void CAct5Board::MoveItemOn(int side) {
    CNumberPanel* panel = Panel(side);
    if (!panel) return;
    const int column = panel->pressedColumn, index = panel->pressedIndex;
    if (binOpen || panel->IsOverOwnBox(clickX, clickY)) {
        if (binOpen) CloseBin();
        panel->TakePressedAway();
        Delay(1);
        if (column == CNumberPanel::kHundreds) panel->CloseGap(index);
    } else {
        panel->SnapBack(index, column);
    }
    ValueOf(side) = static_cast<int16_t>(panel->Value());
}

void CAct5Board::ReadAndLayout(int side) {
    const int value = ReadPlaces(side);
    int h = 0, t = 0, o = 0;
    SplitDigits(value, h, t, o);
    LayoutSidePlaces(side, h, t, o);
    ValueOf(side) = static_cast<int16_t>(value);
}

void CAct5Board::TypeDigit(int d) {
    if (d < 0 || d > 9) return;
    EngineRemoveIdle(Module5::StepTimer);
    const int w = workSide;
    if (w != 1 && w != 2) return;
    if (PlacesOpen(w) && !Typing(w)) {
        SetTypingSide(3 - w, false);
        SetTypingSide(w, true);
        ShowCursor(w);
    }
    if (!PlacesOpen(w) || !Typing(w)) return;
    ShowHolderOnPan(w);
    int16_t& digits = w == 1 ? leftDigits : rightDigits;
    if (digits < 3 && freeLeading != 2) ++digits;
    const int value = ReadPlaces(w);
    freeLeading = value >= 100 ? int16_t{-1} : value >= 10 ? int16_t{0} : value >= 1 ? int16_t{1} : int16_t{2};
    if (freeLeading == -1) return;
    CDigitPlace* h = Place(w, 0);
    CDigitPlace* t = Place(w, 1);
    CDigitPlace* o = Place(w, 2);
    if (freeLeading == 0) {
        if (t->GetDigit() >= 0 && t->GetDigit() <= 9) h->SetDigit(t->GetDigit());
        if (o->GetDigit() >= 0 && o->GetDigit() <= 9) t->SetDigit(o->GetDigit());
    } else if (freeLeading == 1) {
        if (o->GetDigit() >= 0 && o->GetDigit() <= 9) t->SetDigit(o->GetDigit());
    }
    o->SetDigit(d);
    ReadAndLayout(w);
    lastSide = static_cast<uint16_t>(w);
    EngineSetIdle(Module5::kStepTimerUnits, Module5::StepTimer);
}

void CAct5Board::TakeTile(int d) {
    if (d < 0 || d > 9) return;
    if (IsScanOn()) {
        if (scanStep == 2) {
            scanStep = 1;
        } else {
            scanStep = 2;
            scanDigit = static_cast<uint16_t>(d);
        }
        return;
    }
    if (!tiles[d]->WasMoved()) {
        TypeDigit(d);
        return;
    }
    const int w = workSide;
    if (!PlacesOpen(w)) return;
    for (int i = 0; i < 3; ++i) {
        CDigitPlace* place = Place(w, i);
        if (!place->HitTest(clickX, clickY)) continue;
        place->SetDigit(d);
        place->Unhighlight();
        ReadAndLayout(w);
        break;
    }
    for (int side = 1; side <= 2; ++side)
        for (int i = 0; i < 3; ++i) Place(side, i)->Unhighlight();
}

void CAct5Board::MoveCardOn(int side, int i) {
    CDigitPlace* place = Place(side, i);
    if (!place) return;
    if (IsScanOn()) {
        place->SetDigit(scanDigit);
        ReadAndLayout(side);
        if (!Typing(side)) {
            SetTypingSide(side, true);
            ShowCursor(side);
        }
        activeSide = static_cast<uint32_t>(side);
        scanStep = 1;
        return;
    }
    if (!place->MovedFar()) {
        place->MoveHome();
        SpeakPlace(i, side);
        return;
    }
    for (int j = 0; j < 3; ++j) {
        if (j == i || !Place(side, j)->HitTest(clickX, clickY)) continue;
        const int digit = place->ValueOf();
        place->SetDigit(0);
        place->MoveHome();
        Place(side, j)->SetDigit(digit);
        ReadAndLayout(side);
        return;
    }
    if (!IsOverTray(clickX, clickY) && !binOpen) {
        place->MoveHome();
        tilesRaised = 0;
        return;
    }
    if (binOpen) CloseBin();
    for (CDigitTile* tile : tiles) tile->ShowNormal();
    tilesRaised = 0;
    place->MoveHome();
    place->SetDigit(0);
    ReadAndLayout(side);
}

void CAct5Board::MarkPlace(int i, int side) {
    if (i < 0 || i > 2 || (side != 1 && side != 2)) return;
    for (int j = 0; j < 3; ++j) {
        if (j == i) Place(side, j)->LabelSelected();
        else Place(side, j)->LabelNormal();
        if (Place(3 - side, j)->LabelShown()) Place(3 - side, j)->LabelNormal();
    }
}

void CAct5Board::Backspace() {
    if (GetSpriteFrame(backspaceKey) != kPicBackspace) return;
    const int side = Typing(1) ? 1 : Typing(2) ? 2 : 0;
    if (!side) return;
    LayoutSidePlaces(side, 0, Place(side, 0)->ValueOf(), Place(side, 1)->ValueOf());
    ValueOf(side) = static_cast<int16_t>(ReadPlaces(side));
}

void CAct5Board::TogglePlacesOn(int side) {
    if (PlacesOpen(side)) {
        if (Typing(side)) HideCursor();
        DetachHolder(side);
        SetSpriteAnim(Holder(side), 3);
        HideTrayAndTiles();
        SetTypingSide(side, false);
        ValueOf(side) = 0;
        (side == 1 ? leftPlacesOpen : rightPlacesOpen) = 0;
        return;
    }
    Panel(side)->Clear();
    SetSpriteAnim(Holder(side), 6);
    WaitSpritesDone();
    PlaySndFree(kSndHolder);
    AttachHolder(side, 0, 0, 0);
    ShowTrayAndTiles();
    SetTypingSide(side, true);
    ShowCursor(side);
    ValueOf(side) = 0;
    (side == 1 ? leftPlacesOpen : rightPlacesOpen) = 1;
}

void CAct5Board::DropHolderOn(int side) {
    if (!HolderDragMoved()) {
        if (!Typing(side)) SetTypingSide(side, true);
        RestoreHolder(side);
        DropDragImage();
        ShowCursor(side);
        return;
    }
    if (binOpen) {
        PlaySndFree(kSndIntoBin);
        CloseBin();
        DropDragImage();
        HideTrayAndTiles();
        SetTypingSide(side, false);
        ValueOf(side) = 0;
        (side == 1 ? leftPlacesOpen : rightPlacesOpen) = 0;
        return;
    }
    RestoreHolder(side);
    DropDragImage();
    if (Typing(side)) ShowCursor(side);
}

void CAct5Board::SaySide(int side) {
    if (side != 1 && side != 2) return;
    const int16_t tens = Place(side, 1)->CardPicture();
    if (tens != kPicPlus && tens != kPicMinus) {
        SpeakNumber(ValueOf(side), side);
        stopSpeech = 0;
        return;
    }
    CDigitPlace* const* spare = &spareCards[side == 1 ? 0 : 4];
    auto shows = [](const CDigitPlace* card) { return card->CardPicture() != kPicNone; };
    if (shows(spare[0]) || shows(spare[3])) return;
    int x = Place(side, 0)->ValueOf();
    if (shows(spare[1])) x += 10 * spare[1]->ValueOf();
    int y = Place(side, 2)->ValueOf();
    if (shows(spare[2])) y = 10 * y + spare[2]->ValueOf();
    if (!stopSpeech) {
        CCorAnim* speaker = Speaker(side);
        SetSpriteAnim(speaker, kAnimSpeaking);
        uint16_t sounds[kPhraseSize] = {};
        BuildPhrase(sounds, tens == kPicPlus ? kPhrasePlus : kPhraseMinus, static_cast<uint16_t>(x),
                    static_cast<uint16_t>(y), 0, 0, 0);
        for (int i = 0; i < kPhraseMaxIds; ++i) {
            const int16_t id = static_cast<int16_t>(sounds[i]);
            if (id < 1 || stopSpeech || WaitMustEnd()) break;
            PlaySndFree(id);
            WaitSoundsDone();
        }
        StopSprite(speaker);
        ShowPicture(speaker, kPicSpeaker[side - 1]);
    }
    stopSpeech = 0;
}

void CAct5Board::ClearWorkSide() {
    attempt = 1;
    leftDropLive = rightDropLive = 1;
    RestBoth();
    for (CNumberPanel* panel : {leftPanel, rightPanel}) {
        panel->LayoutArcItems(260);
        panel->MoveItemsToSlots();
    }
    PansLevel();
    HideCursor();
    FollowPan(1, kLeftPanX, kPanY);
    FollowPan(2, kRightPanX, kPanY);
    LayoutSpareCards();
    const int w = workSide;
    if (w != 1 && w != 2) return;
    (w == 1 ? leftPlacesOpen : rightPlacesOpen) = 0;
    SetTypingSide(w, false);
    activeSide = static_cast<uint32_t>(w);
    for (int side = 1; side <= 2; ++side)
        for (int i = 0; i < 3; ++i) Place(side, i)->Unhighlight();
    auto emptyWorkSide = [&] {
        Panel(w)->Clear();
        ValueOf(w) = 0;
        DetachHolder(w);
    };
    switch (answerMode) {
    case 1:
    case 3:
        FadeOutSign();
        emptyWorkSide();
        HideTrayAndTiles();
        break;
    case 2:
    case 7:
        FadeOutSign();
        break;
    case 4:
    case 5:
    case 10:
    case 11:
        if (answerMode == 4 || answerMode == 5) FadeOutSign();
        emptyWorkSide();
        OpenForAnswer(w);
        ShowTrayAndTiles();
        SetTypingSide(w, true);
        ShowCursor(w);
        break;
    case 8:
    case 9:
        emptyWorkSide();
        HideTrayAndTiles();
        break;
    default:
        break;
    }
}

void CAct5Board::OpenForAnswer(int side) {
    if (side != 1 && side != 2) return;
    SetSpriteAnim(Holder(side), 6);
    WaitSpritesDone();
    PlaySndFree(kSndHolder);
    AttachHolder(side, 0, 0, 0);
    ValueOf(side) = 0;
    (side == 1 ? leftPlacesOpen : rightPlacesOpen) = 1;
    SetTypingSide(3 - side, false);
    WaitSoundsDone();
    Delay(20);
}

void CAct5Board::UseCompactHolder(Compact which) {
    switch (which) {
    case Compact::Opposite:
        (workSide == 1 ? rightCompactHolder : leftCompactHolder) = 1;
        break;
    case Compact::Both:
        leftCompactHolder = rightCompactHolder = 1;
        break;
    case Compact::Left:
        leftCompactHolder = 1;
        break;
    }
}

void CAct5Board::LayoutSpareCards() {
    const int h = GetPictureHalfWidth(kCardPicture);
    const int xs[8] = {129 - 4 * h, 125 - 2 * h, 173 + 2 * h, 169 + 4 * h, 444 - 4 * h, 440 - 2 * h, 488 + 2 * h, 484 + 4 * h};
    for (int i = 0; i < 8; ++i) spareCards[i]->MoveTo(static_cast<int16_t>(xs[i]), 222);
}

// ---- Outcomes and levels --------------------------------------------------------------------

void CAct5Board::LoadLevel() {
    LoadPlayerPrefs();
    const int16_t stored = GetModuleLevel(kVevudivodizideModule);
    level = stored >= 1 && stored <= static_cast<int16_t>(kTopLevel) ? static_cast<uint16_t>(stored) : uint16_t{1};
}

void CAct5Board::ResetOutcomes() {
    problemsAtLevel = 0;
    wrongTry = 0;
    outcomes.fill(0);
}

void CAct5Board::RecordOutcome(uint16_t outcome, uint16_t maxLevel) {
    const uint16_t previous = outcomes[2];
    outcomes[0] = outcomes[1];
    outcomes[1] = outcomes[2];
    outcomes[2] = outcome;
    if (previous && outcome && problemsAtLevel > 1 && maxLevel > level) {
        ++level;
        problemsAtLevel = 0;
    }
}

void CAct5Board::NextProblem() {
    const uint16_t outcome = wrongTry == 0 ? 1 : 0;
    ++problemsAtLevel;
    RecordOutcome(outcome, kTopLevel);
    wrongTry = 0;
    BeginBusy();
    GenerateProblem(*this);
    Module5::AfterInput();
    EndBusy();
    SpeakInstructions();
}

bool CAct5Board::ChildMayChangeLevel() const {
    const ActivitySettings* settings = Settings();
    return settings && settings->childMayChangeLevel != 0;
}

void CAct5Board::ChooseLevel() {
    ShowLevelChooser(VevudivodizideModuleTable(), OnLevelChosen, kLevelTable, static_cast<int16_t>(level - 1),
                     kLevelChooserPictures, nullptr);
}

void CAct5Board::SetLevel(int index) { level = static_cast<uint16_t>(std::clamp(index + 1, 1, int{kTopLevel})); }

void CAct5Board::LevelChanged() {
    ResetOutcomes();
    BeginBusy();
    GenerateProblem(*this);
    Module5::AfterInput();
    EndBusy();
    SpeakInstructions();
    ArmIdle();
}

void OnLevelChosen(uint16_t choice, int16_t index) {
    CAct5Board* board = Module5::questionBoard;
    if (!board) return;
    if (choice == 0) {
        board->ArmIdle();
        return;
    }
    board->SetLevel(index);
    board->LevelChanged();
}

}  // namespace vevudivodizide
