#include "activities/vevudivodizide/compare_game.h"

#include "activities/vevudivodizide/vevudivodizide_ids.h"

#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/phrase.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/talk.h"
#include "engine/toolbox/waits.h"

namespace vevudivodizide {

int32_t screenState = kFreeBoard;

namespace {

constexpr int16_t kNoPicture = kPicNone;
constexpr int16_t kBlankCard = kPicBlankCard;
constexpr int16_t kCursor = kPicCursor;
constexpr int16_t kEqual = kPicEqual, kLeftLarger = kPicLeftLarger, kLeftSmaller = kPicLeftSmaller;

constexpr int16_t HolderPicture(int side, bool compact) {
    return static_cast<int16_t>(kPicHolder[side == 1 ? 0 : 1] + (compact ? kCompactHolderStep : 0));
}
constexpr int16_t SpeakerPicture(int side) { return kPicSpeaker[side == 1 ? 0 : 1]; }

// The game whose drag runs: the default move hooks report to it.
CCompareGame* gDragGame = nullptr;

int16_t TileMoveToGame(int16_t x, int16_t y) { return gDragGame ? gDragGame->OnTileDragMove(x, y) : 1; }
int16_t CardMoveToGame(int16_t x, int16_t y) { return gDragGame ? gDragGame->OnCardDragMove(x, y) : 1; }
int16_t HolderMoveToGame(int16_t x, int16_t y) { return gDragGame ? gDragGame->OnHolderDragMove(x, y) : 1; }

struct BalanceStep {
    int16_t leftPicture, leftY, rightPicture, rightY, leftBaseline, rightBaseline;
};
constexpr BalanceStep kBalanceSteps[5] = {
    {181, 200, 185, 280, 220, 300}, {182, 226, 184, 267, 246, 287}, {183, 240, 183, 240, 260, 260},
    {184, 267, 182, 226, 287, 246}, {185, 280, 181, 200, 300, 220},
};
constexpr int16_t kLeftPanX = 50, kRightPanX = 369;

}  // namespace

std::vector<SignStep> SignPath(int16_t from, int16_t to, bool questionBoard) {
    if (from == to || to < kEqual || to > kLeftSmaller) return {};
    const bool shownRelation = from >= kEqual && from <= kLeftSmaller;
    std::vector<SignStep> path;
    if (questionBoard) {
        // A shown relation fades (its fading form), then the sign is hidden a while before the
        // new one fades in with its sound.
        if (shownRelation) path.push_back({static_cast<int16_t>(from + kFadingStep), 6, 0});
        const int16_t hidden = (to == kLeftLarger && !shownRelation) ? 6 : 10;
        path.push_back({kNoPicture, hidden, 0});
        path.push_back({static_cast<int16_t>(to + kFadingStep), 6, kSndSignQuestion});
        path.push_back({to, 0, 0});
        return path;
    }
    if (!shownRelation) return {{to, 0, 0}};
    // In-between pictures: 103 lies between 77 and 78, 104 between 77 and 79.
    std::vector<int16_t> between;
    const int16_t larger = kPicBetweenEqualLarger, smaller = kPicBetweenEqualSmaller;
    if (from == kEqual) between = {to == kLeftLarger ? larger : smaller};
    else if (to == kEqual) between = {from == kLeftLarger ? larger : smaller};
    else if (from == kLeftSmaller) between = {smaller, kEqual, larger};
    else between = {larger, kEqual, smaller};
    for (size_t i = 0; i < between.size(); ++i)
        path.push_back({between[i], 5, static_cast<int16_t>(i == 0 ? kSndSignFree : 0)});
    path.push_back({to, 0, 0});
    return path;
}

std::vector<BalanceMove> BalancePath(int relation, int16_t leftPanPicture) {
    switch (relation) {
    case kRelationEqual:
        if (leftPanPicture == kPicPanHigh) return {{kSndBeam, 2}, {0, 3}};
        if (leftPanPicture == kPicPanLow) return {{kSndBeam, 4}, {0, 3}};
        break;
    case kRelationLeftSmaller:
        if (leftPanPicture == kPicPanLevel) return {{kSndBeam, 2}, {0, 1}};
        if (leftPanPicture == kPicPanLow) return {{kSndBeam, 4}, {0, 3}, {kSndBeamAgain, 2}, {0, 1}};
        break;
    case kRelationLeftLarger:
        if (leftPanPicture == kPicPanLevel) return {{kSndBeam, 4}, {0, 5}};
        if (leftPanPicture == kPicPanHigh) return {{kSndBeam, 2}, {0, 3}, {kSndBeamAgain, 4}, {0, 5}};
        break;
    default:
        break;
    }
    return {};
}

HolderLayout HolderLayoutFor(int side, int16_t x, int16_t y) {
    const bool left = side == 1;
    HolderLayout l{};
    l.holderX = static_cast<int16_t>(x + (left ? 28 : 31));
    l.holderY = static_cast<int16_t>(y - 100);
    for (int i = 0; i < 3; ++i) {
        l.placeX[i] = static_cast<int16_t>(x + (left ? 63 : 59) + 36 * i);
        l.compactX[i] = static_cast<int16_t>(x + (left ? 71 : 67) + 28 * i);
    }
    l.placeY = static_cast<int16_t>(y - 18);
    l.cursorX = static_cast<int16_t>(x + (left ? 55 : 51));
    l.cursorY = static_cast<int16_t>(y - 26);
    l.speakerX = static_cast<int16_t>(x + (left ? 95 : 94));
    l.speakerY = static_cast<int16_t>(y - 57);
    return l;
}

CCompareGame::CCompareGame()
    : tileMoveHook(TileMoveToGame), cardMoveHook(CardMoveToGame), holderMoveHook(HolderMoveToGame) {
    const int16_t w = GetPictureHalfWidth(kCardPicture), h = GetPictureHalfHeight(kCardPicture);
    trayRect = CCorRect{165, 440, static_cast<int16_t>(435 + 2 * w), static_cast<int16_t>(440 + 2 * h)};
}

CCompareGame::~CCompareGame() {
    Destroy();
    if (gDragGame == this) gDragGame = nullptr;
}

void CCompareGame::Build() {
    tileTray = CreateSprite(133, 432, kNoPicture);
    checkButtonBase = CreateSprite(296, 212, kNoPicture);
    checkButton = CreateSprite(299, 215, kNoPicture);
    backspaceKey = CreateSprite(459, 440, kNoPicture);
    clearButtonBase = CreateSprite(298, 256, kNoPicture);
    clearButton = CreateSprite(301, 260, kNoPicture);
    questionSprite1 = CreateSprite(623, 369, kNoPicture);
    questionSprite2 = CreateSprite(620, 366, kNoPicture);
    questionSprite7 = CreateSprite(495, 15, kNoPicture);
    leftPan = CreateSprite(0, 0, kNoPicture);
    rightPan = CreateSprite(0, 0, kNoPicture);
    leftPlacesButton = CreateSprite(12, 83, kNoPicture);
    rightPlacesButton = CreateSprite(560, 83, kNoPicture);
    leftHolder = CreateSprite(78, 140, kNoPicture);
    rightHolder = CreateSprite(400, 140, kNoPicture);
    for (int i = 0; i < 3; ++i) {
        leftBlankCards[i] = CreateSprite(0, 0, kNoPicture);
        rightBlankCards[i] = CreateSprite(0, 0, kNoPicture);
    }
    typingCursor = CreateSprite(0, 0, kNoPicture);
    questionSprite8 = CreateSprite(48, 416, kNoPicture);
    signRect = CCorRect{262, 79, static_cast<int16_t>(262 + 2 * GetPictureHalfWidth(kEqual)),
                        static_cast<int16_t>(79 + 2 * GetPictureHalfHeight(kEqual))};
    relationSign = CreateSprite(signRect.left, signRect.top, kNoPicture);
    questionSprite3 = CreateSprite(526, 38, kNoPicture);
    questionSprite4 = CreateSprite(490, 38, kNoPicture);
    questionSprite5 = CreateSprite(305, 5, kNoPicture);
    questionSprite6 = CreateSprite(180, 5, kNoPicture);
    tallyStrip = new CTallyStrip;
    tallyStrip->Create();
    for (int kind = 0; kind < 3; ++kind) {
        relationButtons[kind] = new CRelationButton(kind);
        relationButtons[kind]->Create();
    }
    for (int d = 0; d < 10; ++d) {
        tiles[d] = new CDigitTile(static_cast<uint16_t>(d));
        tiles[d]->Create();
    }
    for (int i = 0; i < 3; ++i) {
        leftPlaces[i] = new CDigitPlace(static_cast<int16_t>(81 + 36 * i), 368);
        leftPlaces[i]->Create();
        rightPlaces[i] = new CDigitPlace(static_cast<int16_t>(392 + 36 * i), 368);
        rightPlaces[i]->Create();
        topPlaces[i] = new CDigitPlace(static_cast<int16_t>(523 + 40 * i), 11);
        topPlaces[i]->Create();
    }
    for (CDigitPlace*& card : spareCards) {
        card = new CDigitPlace(0, 0);
        card->Create();
    }
    leftSpeaker = CreateSprite(0, 0, kNoPicture);
    rightSpeaker = CreateSprite(0, 0, kNoPicture);
    leftPanel = new CNumberPanel;
    leftPanel->Init({58, 107, 269, 350}, {61, 61, 61}, 44);
    leftPanel->LayoutArcItems(240);
    rightPanel = new CNumberPanel;
    rightPanel->Init({364, 107, 575, 350}, {365, 365, 365}, 42);
    leftGuide = CreateSprite(0, 0, kNoPicture);
    leftGuideExtra = CreateSprite(0, 0, kNoPicture);
    rightGuide = CreateSprite(0, 0, kNoPicture);
    rightGuideExtra = CreateSprite(0, 0, kNoPicture);
    bin = CreateSprite(553, 425, kNoPicture);
    leftPanel->SetItemMoveHook(itemMoveHook);
    rightPanel->SetItemMoveHook(itemMoveHook);
}

void CCompareGame::Destroy() {
    for (CDigitTile*& tile : tiles) {
        delete tile;
        tile = nullptr;
    }
    for (auto* row : {&leftPlaces, &rightPlaces, &topPlaces}) {
        for (CDigitPlace*& place : *row) {
            delete place;
            place = nullptr;
        }
    }
    for (CDigitPlace*& card : spareCards) {
        delete card;
        card = nullptr;
    }
    delete leftPanel;
    delete rightPanel;
    leftPanel = rightPanel = nullptr;
    for (CRelationButton*& button : relationButtons) {
        delete button;
        button = nullptr;
    }
    delete tallyStrip;
    tallyStrip = nullptr;
}

void CCompareGame::Reset() {
    EngineEnableSpot(1, 0);
    EngineEnableSpot(5, 0);
    tilesRaised = 0;
    leftPlacesOpen = rightPlacesOpen = 0;
    leftCompactHolder = rightCompactHolder = 0;
    leftTyping = rightTyping = 0;
    leftValue = rightValue = 0;
    binOpen = 0;
    leftItemsLive = rightItemsLive = 1;
    if (tallyStrip) tallyStrip->HideAll();
    for (CDigitTile* tile : tiles)
        if (tile) tile->Hide();
    for (auto* row : {&leftPlaces, &rightPlaces, &topPlaces})
        for (CDigitPlace* place : *row)
            if (place) place->Empty();
    for (CDigitPlace* card : spareCards)
        if (card) card->Empty();
    for (auto* row : {&leftPlaces, &rightPlaces}) {
        for (CDigitPlace* place : *row) {
            if (!place) continue;
            place->LabelHide();
            place->Unhighlight();
        }
    }
    for (int i = 0; i < 3; ++i) {
        ShowPicture(leftBlankCards[i], kNoPicture);
        ShowPicture(rightBlankCards[i], kNoPicture);
    }
    for (CCorAnim* sprite :
         {leftSpeaker, rightSpeaker, tileTray, checkButton, checkButtonBase, backspaceKey, clearButton, clearButtonBase,
          questionSprite1, questionSprite3, questionSprite4, questionSprite5, questionSprite6, questionSprite7,
          questionSprite8, relationSign, leftHolder, rightHolder, leftPlacesButton, rightPlacesButton, leftGuide,
          leftGuideExtra, rightGuide, rightGuideExtra, typingCursor})
        ShowPicture(sprite, kNoPicture);
    ShowAt(bin, kNoPicture, 553, 425);
    for (CRelationButton* button : relationButtons)
        if (button) button->Hide();
    for (CNumberPanel* panel : {leftPanel, rightPanel}) {
        if (!panel) continue;
        panel->Clear();
        panel->SetBoxes(0);
    }
    RedrawArea(0);
}

void CCompareGame::ChangeSign(int16_t target) {
    for (const SignStep& step : SignPath(GetSpriteFrame(relationSign), target, screenState == kQuestionBoard)) {
        if (step.sound) PlaySndFree(step.sound);
        ShowPicture(relationSign, step.picture);
        if (step.ticks > 0) Delay(step.ticks);
    }
}

void CCompareGame::ShowRelationSign(int relation) {
    if (relation < kRelationEqual || relation > kRelationLeftSmaller) return;
    ShowPicture(relationSign, static_cast<int16_t>(kEqual + relation));
}

void CCompareGame::FadeOutSign() {
    const int16_t shown = GetSpriteFrame(relationSign);
    if (shown >= kEqual && shown <= kLeftSmaller) {
        PlaySndFree(kSndSignQuestion);
        ShowPicture(relationSign, static_cast<int16_t>(shown + kFadingStep));
        Delay(6);
        ShowPicture(relationSign, kNoPicture);
    } else if (shown != kNoPicture) {
        ShowPicture(relationSign, kNoPicture);
    }
}

void CCompareGame::CompareSides() {
    const int relation = leftValue == rightValue  ? kRelationEqual
                         : leftValue > rightValue ? kRelationLeftLarger
                                                  : kRelationLeftSmaller;
    ChangeSign(static_cast<int16_t>(kEqual + relation));
    WaitSoundsDone();
    const std::vector<BalanceMove> path = BalancePath(relation, GetSpriteFrame(leftPan));
    for (size_t i = 0; i < path.size(); ++i) {
        if (i > 0) Delay(5);
        if (path[i].sound) PlaySndFree(path[i].sound);
        StepBalance(path[i].step);
        RedrawArea(0);
    }
}

void CCompareGame::StepBalance(int step) {
    if (step < 1 || step > 5) return;
    const BalanceStep& b = kBalanceSteps[step - 1];
    ShowAt(leftPan, b.leftPicture, kLeftPanX, b.leftY);
    ShowAt(rightPan, b.rightPicture, kRightPanX, b.rightY);
    struct Side {
        int side;
        int16_t x, y, baseline;
    };
    for (const Side s : {Side{1, kLeftPanX, b.leftY, b.leftBaseline}, Side{2, kRightPanX, b.rightY, b.rightBaseline}}) {
        if (!PlacesOpen(s.side)) {
            if (CNumberPanel* panel = Panel(s.side)) {
                panel->LayoutArcItems(s.baseline);
                panel->MoveItemsToSlots();
            }
        } else {
            FollowPan(s.side, s.x, s.y);
            if (screenState == kQuestionBoard) MoveSpareCards(s.side, s.x, s.y);
        }
    }
}

void CCompareGame::MoveSpareCards(int side, int16_t x, int16_t y) {
    const int w = GetPictureHalfWidth(kCardPicture);
    const int offsets[2][4] = {{-4 * w + 79, -2 * w + 75, 2 * w + 123, 4 * w + 119},
                               {-4 * w + 75, -2 * w + 71, 2 * w + 119, 4 * w + 115}};
    for (int i = 0; i < 4; ++i) {
        CDigitPlace* card = spareCards[(side == 1 ? 0 : 4) + i];
        if (card) card->MoveTo(static_cast<int16_t>(x + offsets[side == 1 ? 0 : 1][i]), static_cast<int16_t>(y - 18));
    }
}

void CCompareGame::LayArcsFromPan(int side) {
    CNumberPanel* panel = Panel(side);
    if (!panel) return;
    switch (GetSpriteFrame(Pan(side))) {
    case kPicPanHigh:
        panel->LayoutArcItems(220);
        break;
    case kPicPanLevel:
        panel->LayoutArcItems(260);
        break;
    case kPicPanLow:
        panel->LayoutArcItems(300);
        break;
    default:
        break;
    }
}

// ---- Speaking -------------------------------------------------------------------------------

void CCompareGame::SpeakNumber(int value, int side) {
    CDigitPlace* ones = Place(side, 2);
    if (!ones || ones->IsBlank() || value < 0 || value > 999) return;
    CCorAnim* speaker = Speaker(side);
    SetSpriteAnim(speaker, kAnimSpeaking);
    uint16_t sounds[kPhraseSize] = {};
    BuildPhrase(sounds, kPhraseNumber, static_cast<uint16_t>(value), 0, 0, 0, 0);
    for (int i = 0; i < kPhraseMaxIds; ++i) {
        const int16_t id = static_cast<int16_t>(sounds[i]);
        if (id < 1 || stopSpeech || WaitMustEnd()) break;
        PlaySndFree(id);
        WaitNoSound();
    }
    StopSprite(speaker);
    ShowPicture(speaker, SpeakerPicture(side));
}

void CCompareGame::SpeakSideIfWellFormed(int side) {
    if ((side == 1 || side == 2) && IsWellFormed(side)) SpeakNumber(side == 1 ? leftValue : rightValue, side);
}

void CCompareGame::SpeakPlace(int index, int side) {
    CDigitPlace* place = Place(side, index);
    if (!place) return;
    const int16_t digit = place->GetDigit();
    if (digit < 0 || digit > 9) return;
    static constexpr int kPlaceValue[3] = {100, 10, 1};
    SpeakNumber(digit * kPlaceValue[index], side);
}

bool CCompareGame::IsWellFormed(int side) const {
    if (side != 1 && side != 2) return false;
    // 0 digit, 1 blank, 2 empty: blank and empty alike may lead.
    const int h = Place(side, 0)->Kind(), t = Place(side, 1)->Kind(), o = Place(side, 2)->Kind();
    if (o != 0) return false;
    if (t == 0) return true;  // with a digit or nothing before it
    return h != 0;
}

int CCompareGame::ReadPlaces(int side) const {
    if (side != 1 && side != 2) return 0;
    return 100 * Place(side, 0)->ValueOf() + 10 * Place(side, 1)->ValueOf() + Place(side, 2)->ValueOf();
}

// ---- Holders --------------------------------------------------------------------------------

void CCompareGame::FollowPan(int side, int16_t x, int16_t y) {
    if (side != 1 && side != 2) return;
    const HolderLayout l = HolderLayoutFor(side, x, y);
    vevudivodizide::MoveTo(Holder(side), l.holderX, l.holderY);
    const bool compact = Compact(side);
    const auto& blanks = side == 1 ? leftBlankCards : rightBlankCards;
    for (int i = 0; i < 3; ++i) {
        Place(side, i)->MoveTo(compact ? l.compactX[i] : l.placeX[i], l.placeY);
        vevudivodizide::MoveTo(blanks[i], l.placeX[i], l.placeY);
    }
    if (Typing(side)) vevudivodizide::MoveTo(typingCursor, l.cursorX, l.cursorY);
    vevudivodizide::MoveTo(Speaker(side), l.speakerX, l.speakerY);
}

void CCompareGame::AttachHolder(int side, int hundreds, int tens, int ones) {
    if (side != 1 && side != 2) return;
    const bool compact = Compact(side);
    const HolderLayout l = HolderLayoutFor(side, GetSpriteX(Pan(side)), GetSpriteY(Pan(side)));
    for (int i = 0; i < 3; ++i) Place(side, i)->MoveTo(compact ? l.compactX[i] : l.placeX[i], l.placeY);
    ShowAt(Holder(side), HolderPicture(side, compact), l.holderX, l.holderY);
    WaitSpritesDone();
    if (!compact) {
        const auto& blanks = side == 1 ? leftBlankCards : rightBlankCards;
        for (int i = 0; i < 3; ++i) ShowAt(blanks[i], kBlankCard, l.placeX[i], l.placeY);
        if (screenState == kQuestionBoard && hundreds == 0 && tens == 0 && ones == 0) {
            for (int i = 3 - Digits(side); i <= 2; ++i)
                if (i >= 0) Place(side, i)->Blank();
        } else {
            LayoutSidePlaces(side, hundreds, tens, ones);
        }
    }
    WaitSpritesDone();
    Delay(1);
    ShowAt(Speaker(side), SpeakerPicture(side), static_cast<int16_t>(l.holderX + (side == 1 ? 67 : 63)),
           static_cast<int16_t>(l.holderY + 43));
    for (int i = 0; i < 3; ++i) Place(side, i)->Unhighlight();
    freeLeading = 2;
    (side == 1 ? leftTyping : rightTyping) = 0;
}

void CCompareGame::DetachHolder(int side) {
    if (side != 1 && side != 2) return;
    ShowPicture(Speaker(side), kNoPicture);
    const auto& blanks = side == 1 ? leftBlankCards : rightBlankCards;
    for (int i = 0; i < 3; ++i) {
        CDigitPlace* place = Place(side, i);
        place->Empty();
        place->LabelHide();
        place->Unhighlight();
        ShowPicture(blanks[i], kNoPicture);
    }
    ShowPicture(Holder(side), kNoPicture);
}

void CCompareGame::RestoreHolder(int side) {
    if (side != 1 && side != 2) return;
    ShowPicture(Holder(side), HolderPicture(side, false));
    for (CCorAnim* blank : side == 1 ? leftBlankCards : rightBlankCards) ShowPicture(blank, kBlankCard);
    int h = 0, t = 0, o = 0;
    SplitDigits(side == 1 ? leftValue : rightValue, h, t, o);
    LayoutSidePlaces(side, h, t, o);
    ShowPicture(Speaker(side), SpeakerPicture(side));
}

void CCompareGame::LayoutSidePlaces(int side, int hundreds, int tens, int ones) {
    if (side != 1 && side != 2) return;
    const int n = Digits(side);
    CDigitPlace* h = Place(side, 0);
    CDigitPlace* t = Place(side, 1);
    if (n < 3) {
        h->Empty();
        h->Unhighlight();
    } else if (hundreds < 1) {
        h->Blank();
    } else {
        h->SetDigit(hundreds);
    }
    if (n < 2) {
        t->Empty();
        t->Unhighlight();
    } else if (hundreds < 1 && tens < 1) {
        t->Blank();
    } else {
        t->SetDigit(tens);
    }
    Place(side, 2)->SetDigit(ones);
}

void CCompareGame::ShowHolderOnPan(int side) {
    if (side != 1 && side != 2) return;
    const HolderLayout l = HolderLayoutFor(side, GetSpriteX(Pan(side)), GetSpriteY(Pan(side)));
    ShowAt(Holder(side), HolderPicture(side, false), l.holderX, l.holderY);
    const auto& blanks = side == 1 ? leftBlankCards : rightBlankCards;
    for (int i = 0; i < 3; ++i) ShowAt(blanks[i], kBlankCard, l.placeX[i], l.placeY);
}

void CCompareGame::SetTypingSide(int side, bool on) {
    if (side != 1 && side != 2) return;
    const int other = 3 - side;
    if (!on) {
        for (int i = 0; i < 3; ++i) Place(side, i)->Unhighlight();
        (side == 1 ? leftTyping : rightTyping) = 0;
        return;
    }
    for (int i = 0; i < 3; ++i) Place(other, i)->Unhighlight();
    (side == 1 ? leftTyping : rightTyping) = 1;
    (other == 1 ? leftTyping : rightTyping) = 0;
    freeLeading = 2;
}

void CCompareGame::ShowCursor(int side) {
    CDigitPlace* hundreds = Place(side, 0);
    if (!hundreds) return;
    ShowAt(typingCursor, kCursor, static_cast<int16_t>(hundreds->homeX - 8), static_cast<int16_t>(hundreds->homeY - 8));
}

void CCompareGame::HideCursor() { ShowPicture(typingCursor, kNoPicture); }

int16_t CCompareGame::MakeDragImage(int side) {
    if (side != 1 && side != 2) return 0;
    const int16_t id = CreatePictureItem();
    if (id < 0) {
        dragPictureId = kNoPicture;
        return 0;
    }
    dragPictureId = static_cast<uint16_t>(id);
    CCorAnim* holder = Holder(side);
    const int16_t hx = GetSpriteX(holder), hy = GetSpriteY(holder);
    auto copy = [&](int16_t picture, CCorAnim* at) {
        if (picture == kNoPicture) return;
        CopyPictureInto(id, picture, static_cast<int16_t>(GetSpriteX(at) - hx), static_cast<int16_t>(GetSpriteY(at) - hy));
    };
    CopyPictureInto(id, HolderPicture(side, false), 0, 0);
    const int n = Digits(side);
    copy(Place(side, 2)->CardPicture(), Place(side, 2)->card);
    if (n > 1) copy(Place(side, 1)->CardPicture(), Place(side, 1)->card);
    if (n > 2) copy(Place(side, 0)->CardPicture(), Place(side, 0)->card);
    if (Typing(side)) copy(kCursor, typingCursor);
    copy(SpeakerPicture(side), Speaker(side));
    dragImage = CreateSprite(hx, hy, id);
    RedrawArea(0);
    return 1;
}

void CCompareGame::DropDragImage() {
    DisposeSprite(dragImage);
    dragImage = nullptr;
    if (dragPictureId != kNoPicture) PurgeResource(static_cast<int16_t>(dragPictureId));
    dragPictureId = kNoPicture;
}

int16_t CCompareGame::PressHolder(int side, CCorAnim* sprite) {
    if (!sprite || sprite != Holder(side)) return 0;
    if (!MakeDragImage(side)) {
        // Without an image nothing is dragged: the press counts as one that did not move.
        dragStartX = GetSpriteX(sprite);
        dragStartY = GetSpriteY(sprite);
        return 1;
    }
    if (Typing(side)) HideCursor();
    DetachHolder(side);
    dragStartX = GetSpriteX(dragImage);
    dragStartY = GetSpriteY(dragImage);
    gDragGame = this;
    EngineDragObject(dragImage, 5, 0, 32767, holderMoveHook);
    return 1;
}

bool CCompareGame::HolderDragMoved() const {
    if (!dragImage) return false;
    const int dx = GetSpriteX(dragImage) - dragStartX, dy = GetSpriteY(dragImage) - dragStartY;
    return dx * dx + dy * dy > 50;
}

// ---- Drags, bin and tray --------------------------------------------------------------------

EngineDragCallback CCompareGame::TileCallback() {
    gDragGame = this;
    return tileMoveHook;
}

EngineDragCallback CCompareGame::CardCallback() {
    gDragGame = this;
    return cardMoveHook;
}

int16_t CCompareGame::OnTileDragMove(int16_t x, int16_t y) {
    clickX = x;
    clickY = y;
    for (int i = 0; i < 3; ++i) {
        for (int side = 1; side <= 2; ++side) {
            CDigitPlace* place = Place(side, i);
            if (PlacesOpen(side) && place->HitTest(x, y)) place->Highlight();
            else place->Unhighlight();
        }
    }
    return 1;
}

int16_t CCompareGame::OnCardDragMove(int16_t x, int16_t y) {
    clickX = x;
    clickY = y;
    const bool over = IsOverTray(x, y);
    if (over && !tilesRaised) {
        for (CDigitTile* tile : tiles) tile->ShowRaised();
        tilesRaised = 1;
    } else if (!over && tilesRaised) {
        for (CDigitTile* tile : tiles) tile->ShowNormal();
        tilesRaised = 0;
    }
    BinHover();
    return 1;
}

int16_t CCompareGame::OnHolderDragMove(int16_t x, int16_t y) {
    clickX = x;
    clickY = y;
    if (GetSpriteFrame(bin) == kNoPicture) return 0;
    BinHover();
    return 1;
}

void CCompareGame::BinHover() {
    if (GetSpriteFrame(bin) == kNoPicture) return;
    CCorRect r{};
    EngineGetDragRect(r);
    const bool over = IsOverBin(r);
    const bool settled = GetSpriteStatus(bin) == 1;
    if (over && !binOpen && settled) OpenBin();
    else if (!over && binOpen && settled) CloseBin();
}

bool CCompareGame::IsOverBin(const CCorRect& r) const {
    return r.right > 553 && r.left < 553 + 2 * GetPictureHalfWidth(kPicBin) && r.bottom > 425 &&
           r.top < 425 + 2 * GetPictureHalfHeight(kPicBin);
}

bool CCompareGame::IsOverTray(int16_t x, int16_t y) const {
    return x >= trayRect.left && x <= trayRect.right && y >= trayRect.top && y <= trayRect.bottom;
}

void CCompareGame::OpenBin() {
    PlaySndFree(kSndBinOpens);
    SetSpriteAnim(bin, kAnimBinOpen);
    binOpen = 1;
}

void CCompareGame::CloseBin() {
    PlaySndFree(kSndBinCloses);
    SetSpriteAnim(bin, kAnimBinClose);
    binOpen = 0;
}

void CCompareGame::ShowTray() { ShowPicture(tileTray, kPicTray); }
void CCompareGame::HideTray() { ShowPicture(tileTray, kNoPicture); }

void CCompareGame::ShowTrayAndTiles() {
    ShowTray();
    for (CDigitTile* tile : tiles) tile->ShowNormal();
    ShowPicture(backspaceKey, kPicBackspace);
}

void CCompareGame::HideTrayAndTiles() {
    HideTray();
    for (CDigitTile* tile : tiles) tile->Hide();
    ShowPicture(backspaceKey, kNoPicture);
}

void CCompareGame::PansLevel() {
    ShowAt(leftPan, kPicPanLevel, kLeftPanX, 240);
    ShowAt(rightPan, kPicPanLevel, kRightPanX, 240);
    SpriteToBack(rightPan);
    SpriteToBack(leftPan);
}

void CCompareGame::BundleTen(int column, int side) {
    CNumberPanel* panel = Panel(side);
    if (!panel || column < 0 || column > 2) return;
    WaitSpritesDone();
    panel->ShowTenth(column);
    WaitSpritesDone();
    PlaySndFree(kSndBundle);
    for (int k = 0; k <= 8; ++k) {
        panel->ReturnItem(k, column);
        Delay(16);
        WaitSpritesDone();
    }
}

int16_t CCompareGame::WouldExceed999(int column, int side) {
    const CNumberPanel* panel = Panel(side);
    if (!panel || column < 0 || column > 2) return 0;
    int counts[3] = {panel->ItemCount(0), panel->ItemCount(1), panel->ItemCount(2)};
    ++counts[column];
    if (100 * counts[0] + 10 * counts[1] + counts[2] <= 999) return 0;
    PlaySndFree(kSndRefused);
    WaitSoundsDone();
    FlushEvents(6);
    return 1;
}

// ---- Talk and waits -------------------------------------------------------------------------

void CCompareGame::Talk(const int16_t* leftCues, const int16_t* rightCues, bool toRight, int16_t argument, int mode) {
    const int side = toRight ? 2 : 1;
    if (showGuide) showGuide(*this, side, mode);
    int16_t channel = 0;
    const int16_t* sounds = toRight ? rightCues : leftCues;
    stopSpeech = sounds ? static_cast<uint16_t>(TalkWithCues(toRight ? rightGuide : leftGuide, 1, argument, &channel, sounds))
                        : 0;
    if (hideGuide) hideGuide(*this, side, mode);
    WaitSpritesDone();
}

void CCompareGame::WaitSoundsDone() { WaitNoSound(); }

void CCompareGame::WaitSpritesDone() { WaitAllSprites(); }

void CCompareGame::WaitSpritesOrClick() {
    while (GetSpriteStatus(kAllSprites) == 0 && !WaitMustEnd()) {
        if (IsClickPending(1)) {
            stopSpeech = 1;
            return;
        }
        Delay(1);
    }
}

void CCompareGame::WaitOrClick(int n) {
    stopSpeech = 0;
    for (int i = 0; i < n && !WaitMustEnd(); ++i) {
        if (IsClickPending(0)) {
            stopSpeech = 1;
            return;
        }
        Delay(1);
    }
}

// ---- Queries --------------------------------------------------------------------------------

int CCompareGame::FindHighlightedPlace(int* side) const {
    for (int i = 0; i < 3; ++i) {
        for (int s = 1; s <= 2; ++s) {
            if (Place(s, i) && Place(s, i)->IsHighlighted()) {
                if (side) *side = s;
                return i;
            }
        }
    }
    if (side) *side = 0;
    return -1;
}

int CCompareGame::DigitFromKey(int key) {
    if (key >= '0' && key <= '9') return key - '0';
    if (key >= 96 && key <= 105) return key - 96;
    return -1;
}

void CCompareGame::SplitDigits(int value, int& hundreds, int& tens, int& ones) {
    hundreds = value / 100;
    tens = (value % 100) / 10;
    ones = value % 10;
}

CDigitPlace* CCompareGame::Place(int side, int index) const {
    if (index < 0 || index > 2) return nullptr;
    return side == 1 ? leftPlaces[index] : side == 2 ? rightPlaces[index] : nullptr;
}

CNumberPanel* CCompareGame::Panel(int side) const {
    return side == 1 ? leftPanel : side == 2 ? rightPanel : nullptr;
}

}  // namespace vevudivodizide
