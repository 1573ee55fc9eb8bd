#include "activities/vevudivodizide/free_board.h"

#include "activities/vevudivodizide/module5.h"
#include "activities/vevudivodizide/number_panel.h"
#include "activities/vevudivodizide/question_board.h"
#include "activities/vevudivodizide/vevudivodizide_ids.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"
#include "engine/toolbox/waits.h"

namespace vevudivodizide {

namespace {


int16_t Flushed() {
    FlushEvents(6);
    return 1;
}

void AddTarget(CCorAnim* sprite) { AddScanSprite(-1, sprite, 0, 0, 1, 1); }

}  // namespace

CCompareFreeBoard::CCompareFreeBoard() {
    tileMoveHook = Module5::OnDragA;
    cardMoveHook = Module5::OnDragB;
    holderMoveHook = Module5::OnDragC;
    itemMoveHook = Module5::OnDragD;
}

void CCompareFreeBoard::Enter() {
    screenState = kFreeBoard;
    Module5::panelClickTaken = 0;
    BeginBusy();
    Reset();
    PansLevel();
    if (CAct5Board* question = Module5::questionBoard) {
        ShowPicture(question->leftPan, kPicNone);
        ShowPicture(question->rightPan, kPicNone);
    }
    RedrawArea(0);
    activeSide = 1;
    HideTrayAndTiles();
    ShowPicture(Module5::levelButton, kPicNone);
    ShowPicture(checkButton, kPicNone);
    ShowPicture(checkButtonBase, kPicNone);
    ShowPicture(clearButtonBase, kPicClearBase);
    ShowPicture(clearButton, kPicClear);
    ShowAt(bin, kPicBin, 553, 425);
    ShowPicture(relationSign, kPicEqual);
    ShowPicture(leftPlacesButton, kPicPlacesButton[0]);
    ShowPicture(rightPlacesButton, kPicPlacesButton[1]);
    for (CNumberPanel* panel : {leftPanel, rightPanel}) {
        panel->SetItemPictures(kItemPictureBase);
        panel->LayoutArcItems(260);
        panel->SetBoxes(3);
    }
    EngineEnableSpot(kSpotModeSwitch, 0);
    EngineEnableSpot(kSpotPanels, 1);
    scanStep = 1;
    selectedDigit = 0;
    RebuildScanTargets();
    SetBackgroundPicture(kBackground);
    FlushEvents(0xFFFFFFFFu);
    EndBusy();
}

int16_t CCompareFreeBoard::OnClick(CCorAnim* sprite) {
    clickX = clickY = 0;
    Module5::panelClickTaken = 0;
    if (!sprite) return 0;
    if (sprite == Module5::modeSwitchSprite) {
        Module5::AnimateSwitch();
        Reset();
        if (CAct5Board* question = Module5::questionBoard) question->PansLevel();
        ShowPicture(leftPan, kPicNone);
        ShowPicture(rightPan, kPicNone);
        Module5::SetScreen(kQuestionBoard);
        return 1;
    }
    if (screenState != kFreeBoard) return 0;
    if (sprite == clearButton) {
        ShowPicture(clearButton, kPicClearPressed);
        if (TrackButton(clearButton, kPicClearPressed, kPicClear)) {
            PlaySndFree(kSndWipe);
            ShowPicture(clearButton, kPicClear);
            ClearAll();
        }
        ShowPicture(clearButton, kPicClear);
        return Flushed();
    }
    if (sprite == checkButton || sprite == checkButtonBase) {
        Commit();
        return Flushed();
    }
    if (sprite == leftPlacesButton || sprite == rightPlacesButton) {
        TogglePlaces(sprite == leftPlacesButton ? 1 : 2);
        return Flushed();
    }
    for (int d = 0; d < 10; ++d) {
        clickX = clickY = 0;
        if (tiles[d]->PressTile(sprite, tileMoveHook)) {
            DropTile(d);
            return 1;
        }
    }
    for (int side = 1; side <= 2; ++side) {
        if (Panel(side)->HitBox(sprite)) {
            AddFromBox(side);
            Module5::panelClickTaken = 1;
            return 1;
        }
    }
    for (int side = 1; side <= 2; ++side) {
        if (Panel(side)->PressItem(sprite)) {
            DropItem(side);
            return Flushed();
        }
    }
    for (int side = 1; side <= 2; ++side) {
        for (int i = 0; i < 3; ++i) {
            CDigitPlace* place = Place(side, i);
            if (place->PressCard(sprite, place->CardPicture() != kPicBlankCard, cardMoveHook, tiles)) {
                DropCard(side, i);
                return Flushed();
            }
        }
    }
    if (sprite == backspaceKey) {
        Backspace();
        return 1;
    }
    if (sprite == leftSpeaker || sprite == rightSpeaker) {
        const int side = sprite == leftSpeaker ? 1 : 2;
        SpeakNumber(ValueOf(side), side);
        return Flushed();
    }
    for (int i = 0; i < 3; ++i) {
        for (int side = 1; side <= 2; ++side) {
            if (Place(side, i)->IsLabel(sprite)) {
                SelectLabel(i, side);
                return 1;
            }
        }
    }
    for (int side = 1; side <= 2; ++side) {
        clickX = clickY = 0;
        if (PressHolder(side, sprite)) {
            DropHolder(side);
            return Flushed();
        }
    }
    return 0;
}

void CCompareFreeBoard::OnKey(int32_t key) {
    WaitSpritesDone();
    if (key == 8) {
        Backspace();
    } else if (key == 27) {
        ClearAll();
    } else {
        const int d = DigitFromKey(key);
        if (d >= 0 && d <= 9) TypeDigit(d);
    }
}

void CCompareFreeBoard::RebuildScanTargets() {
    ClearScanTargets();
    if (scanStep == 2) {
        for (int side = 1; side <= 2; ++side)
            if (PlacesOpen(side))
                for (int i = 0; i < 3; ++i) Place(side, i)->AddScanTarget();
        return;
    }
    leftPanel->AddBoxScanTargets();
    rightPanel->AddBoxScanTargets();
    AddTarget(leftPlacesButton);
    AddTarget(rightPlacesButton);
    if (leftPlacesOpen) AddTarget(leftSpeaker);
    if (rightPlacesOpen) AddTarget(rightSpeaker);
    AddTarget(clearButton);
    if (leftPlacesOpen || rightPlacesOpen)
        for (CDigitTile* tile : tiles) tile->AddScanTarget();
    AddTarget(Module5::modeSwitchSprite);
    AddTarget(Module5::exitSprite);
}

void CCompareFreeBoard::DeselectLabels() {
    for (int side = 1; side <= 2; ++side)
        for (int i = 0; i < 3; ++i)
            if (Place(side, i)->LabelShown()) Place(side, i)->LabelNormal();
}

void CCompareFreeBoard::CompareAfterPause() {
    WaitSpritesDone();
    Delay(10);
    if (screenState == kFreeBoard) CompareSides();
}

void CCompareFreeBoard::ScheduleCompare() { EngineSetIdle(Module5::kStepTimerUnits, Module5::StepTimer); }

void CCompareFreeBoard::ReadAndLayout(int side) {
    const int value = ReadPlaces(side);
    int h = 0, t = 0, o = 0;
    SplitDigits(value, h, t, o);
    LayoutSidePlaces(side, h, t, o);
    ValueOf(side) = static_cast<int16_t>(value);
}

void CCompareFreeBoard::StartTyping(int side) {
    SetTypingSide(side, true);
    ShowCursor(side);
}

void CCompareFreeBoard::ClearAll() {
    leftPanel->Clear();
    rightPanel->Clear();
    ShowPicture(relationSign, kPicEqual);
    PansLevel();
    leftPanel->LayoutArcItems(260);
    rightPanel->LayoutArcItems(260);
    HideCursor();
    DetachHolder(1);
    DetachHolder(2);
    HideTrayAndTiles();
    SetTypingSide(1, false);
    SetTypingSide(2, false);
    activeSide = 1;
    leftPlacesOpen = rightPlacesOpen = 0;
    leftValue = rightValue = 0;
}

void CCompareFreeBoard::ChooseTypingSide() {
    const bool l = leftPlacesOpen != 0, r = rightPlacesOpen != 0;
    const bool lt = leftTyping != 0, rt = rightTyping != 0;
    if (l && !r && !lt) StartTyping(1);
    else if (r && !l && !rt) StartTyping(2);
    else if (l && r && !lt && !rt) StartTyping(activeSide == 2 ? 2 : 1);
}

void CCompareFreeBoard::TypeDigit(int d) {
    if (d < 0 || d > 9) return;
    EngineRemoveIdle(Module5::StepTimer);
    ChooseTypingSide();
    const int s = Typing(1) ? 1 : Typing(2) ? 2 : 0;
    if (!s) return;
    int16_t& digits = s == 1 ? leftDigits : rightDigits;
    if (digits < 3 && freeLeading != 2) ++digits;
    const int value = ValueOf(s);
    freeLeading = value >= 100 ? int16_t{-1} : value >= 10 ? int16_t{0} : value >= 1 ? int16_t{1} : int16_t{2};
    if (freeLeading == -1) {
        ScheduleCompare();
        return;
    }
    ShowHolderOnPan(s);
    CDigitPlace* h = Place(s, 0);
    CDigitPlace* t = Place(s, 1);
    CDigitPlace* o = Place(s, 2);
    if (freeLeading == 0) {
        if (t->GetDigit() >= 0 && t->GetDigit() <= 9) h->SetDigit(t->GetDigit());
        if (o->GetDigit() >= 0 && o->GetDigit() <= 9) t->SetDigit(o->GetDigit());
    } else if (freeLeading == 1) {
        if (o->GetDigit() >= 0 && o->GetDigit() <= 9) t->SetDigit(o->GetDigit());
    }
    o->SetDigit(d);
    ReadAndLayout(s);
    lastSide = static_cast<uint16_t>(s);
    activeSide = static_cast<uint32_t>(s);
    ScheduleCompare();
}

void CCompareFreeBoard::Backspace() {
    const int s = Typing(1) ? 1 : Typing(2) ? 2 : 0;
    if (!s) return;
    LayoutSidePlaces(s, 0, Place(s, 0)->ValueOf(), Place(s, 1)->ValueOf());
    ValueOf(s) = static_cast<int16_t>(ReadPlaces(s));
    CompareSides();
    activeSide = static_cast<uint32_t>(s);
}

void CCompareFreeBoard::DropTile(int d) {
    if (d < 0 || d > 9) return;
    if (IsScanOn()) {
        if (scanStep == 2) {
            scanStep = 1;
        } else {
            scanStep = 2;
            selectedDigit = static_cast<uint16_t>(d);
        }
        return;
    }
    if (!tiles[d]->WasMoved()) {
        TypeDigit(d);
        return;
    }
    int took = 0;
    for (int side = 1; side <= 2 && !took; ++side) {
        if (!PlacesOpen(side)) continue;
        for (int i = 0; i < 3; ++i) {
            if (Place(side, i)->HitTest(clickX, clickY)) {
                Place(side, i)->SetDigit(d);
                took = side;
                break;
            }
        }
    }
    for (int side = 1; side <= 2; ++side)
        for (int i = 0; i < 3; ++i) Place(side, i)->Unhighlight();
    if (!took) return;
    ReadAndLayout(took);
    if (!Typing(took)) StartTyping(took);
    CompareSides();
    activeSide = static_cast<uint32_t>(took);
}

void CCompareFreeBoard::AddFromBox(int side) {
    CNumberPanel* panel = Panel(side);
    if (!panel) return;
    EngineRemoveIdle(Module5::StepTimer);
    lastSide = static_cast<uint16_t>(side);
    const int c = panel->pressedBox;
    if (c < 0 || c > 2 || WouldExceed999(c, side)) {
        ScheduleCompare();
        return;
    }
    if (panel->ItemCount(c) < 9) {
        if (PlacesOpen(side)) {
            if (Typing(side)) HideCursor();
            DetachHolder(side);
            LayArcsFromPan(side);
            SetTypingSide(side, false);
        }
        panel->AddItem(c);
        ValueOf(side) = static_cast<int16_t>(panel->Value());
        (side == 1 ? leftPlacesOpen : rightPlacesOpen) = 0;
        ScheduleCompare();
        return;
    }
    if (c == CNumberPanel::kHundreds) return;
    BeginBusy();
    if (panel->ItemCount(c - 1) < 9) {
        BundleTen(c, side);
        panel->AddItem(c - 1);
    } else if (c == CNumberPanel::kOnes && panel->ItemCount(CNumberPanel::kHundreds) < 9) {
        BundleTen(CNumberPanel::kOnes, side);
        BundleTen(CNumberPanel::kTens, side);
        panel->AddItem(CNumberPanel::kHundreds);
    }
    ValueOf(side) = static_cast<int16_t>(panel->Value());
    WaitSpritesDone();
    ScheduleCompare();
    EndBusy();
}

void CCompareFreeBoard::DropItem(int side) {
    CNumberPanel* panel = Panel(side);
    if (!panel) return;
    const int column = panel->pressedColumn, index = panel->pressedIndex;
    if (!binOpen && !panel->IsOverOwnBox(clickX, clickY)) {
        panel->SnapBack(index, column);
        return;
    }
    if (binOpen) CloseBin();
    panel->TakePressedAway();
    Delay(1);
    if (column == CNumberPanel::kHundreds) panel->CloseGap(index);
    ValueOf(side) = static_cast<int16_t>(panel->Value());
    CompareSides();
}

void CCompareFreeBoard::DropCard(int side, int index) {
    CDigitPlace* place = Place(side, index);
    if (!place) return;
    activeSide = static_cast<uint32_t>(side);
    if (IsScanOn()) {
        place->SetDigit(selectedDigit);
        ReadAndLayout(side);
        if (!Typing(side)) StartTyping(side);
        CompareSides();
        scanStep = 1;
        return;
    }
    if (!place->MovedFar()) {
        place->MoveHome();
        SpeakPlace(index, side);
        return;
    }
    for (int j = 0; j < 3; ++j) {
        if (j != index && Place(side, j)->HitTest(clickX, clickY)) {
            MoveCard(side, index, j);
            return;
        }
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
    CompareSides();
}

void CCompareFreeBoard::MoveCard(int side, int from, int to) {
    CDigitPlace* source = Place(side, from);
    CDigitPlace* target = Place(side, to);
    if (!source || !target) return;
    const int digit = source->ValueOf();
    source->SetDigit(0);
    source->MoveHome();
    target->SetDigit(digit);
    ReadAndLayout(side);
    CompareSides();
    activeSide = static_cast<uint32_t>(side);
}

void CCompareFreeBoard::DropHolder(int side) {
    activeSide = static_cast<uint32_t>(side);
    const int other = 3 - side;
    if (!HolderDragMoved()) {
        if (!Typing(side)) SetTypingSide(side, true);
        RestoreHolder(side);
        DropDragImage();
        ShowCursor(side);
        return;
    }
    if (!binOpen) {
        RestoreHolder(side);
        if (Typing(side)) ShowCursor(side);
        DropDragImage();
        return;
    }
    PlaySndFree(kSndIntoBin);
    CloseBin();
    DropDragImage();
    if (!PlacesOpen(other)) HideTrayAndTiles();
    SetTypingSide(side, false);
    if (PlacesOpen(other) && !Typing(other)) StartTyping(other);
    ValueOf(side) = 0;
    (side == 1 ? leftPlacesOpen : rightPlacesOpen) = 0;
    CompareSides();
    LayArcsFromPan(side);
}

void CCompareFreeBoard::TogglePlaces(int side) {
    if (side != 1 && side != 2) return;
    const int other = 3 - side;
    if (!PlacesOpen(side)) {
        Panel(side)->Clear();
        (side == 1 ? leftDigits : rightDigits) = 3;
        if (Typing(side)) HideCursor();
        DetachHolder(side);
        SetSpriteAnim(Holder(side), side == 1 ? 6 : 9);
        WaitSpritesDone();
        PlaySndFree(kSndHolder);
        AttachHolder(side, 0, 0, 0);
        ShowTrayAndTiles();
        ValueOf(side) = 0;
        (side == 1 ? leftPlacesOpen : rightPlacesOpen) = 1;
        StartTyping(side);
        CompareSides();
        activeSide = static_cast<uint32_t>(side);
        return;
    }
    if (Typing(side)) HideCursor();
    DetachHolder(side);
    SetSpriteAnim(Holder(side), side == 1 ? 3 : 2);
    WaitSpritesDone();
    ShowPicture(Holder(side), kPicNone);
    if (!PlacesOpen(other)) HideTrayAndTiles();
    SetTypingSide(side, false);
    if (PlacesOpen(other) && !Typing(other)) StartTyping(other);
    ValueOf(side) = 0;
    (side == 1 ? leftPlacesOpen : rightPlacesOpen) = 0;
    CompareSides();
    LayArcsFromPan(side);
}

void CCompareFreeBoard::Commit() {
    for (int side = 1; side <= 2; ++side) {
        if (!Typing(side)) continue;
        for (int i = 0; i < 3; ++i) Place(side, i)->Unhighlight();
        SpeakSideIfWellFormed(side);
        SetTypingSide(side, false);
        freeLeading = 2;
    }
    CompareSides();
    ShowPicture(checkButton, kPicNone);
}

void CCompareFreeBoard::SelectLabel(int index, int side) {
    if (index < 0 || index > 2 || (side != 1 && side != 2)) return;
    for (int s = 1; s <= 2; ++s)
        for (int i = 0; i < 3; ++i) {
            if (s == side && i == index) Place(s, i)->LabelSelected();
            else Place(s, i)->LabelNormal();
        }
}

}  // namespace vevudivodizide
