// CCompareGame: what the activity's two screens (the free board, screenState 4, and the
// question board, screenState 10) have in common: the ten digit tiles, the digit places of the
// two sides, the two number panels, the balance and the relation sign between the panels, the
// holders that carry a side's cards on its pan, the bin, the buttons, the guides and the typing
// cursor; the comparison, the placing of holders and cards, a holder's drag image, speaking a
// side's number and the waits.
//
// Sides are 1 (left) and 2 (right); columns 0 hundreds, 1 tens, 2 ones; a side or column out
// of range changes nothing. Sub-objects are made by Build and deleted by Destroy; the sprites
// belong to the engine's display list (leaving the module disposes of them all first), so
// Destroy disposes of none. User-interface thread only; the waits run idle steps, so input
// stays queued, and every wait also ends while a close of the main window is pending.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "activities/vevudivodizide/digit_controls.h"
#include "activities/vevudivodizide/number_panel.h"
#include "engine/toolbox/facade.h"
#include "media/util/cor_geometry.h"

class CCorAnim;

namespace vevudivodizide {

// Which screen runs: 4 the free board, 10 the question board (the boards set it).
inline constexpr int32_t kFreeBoard = 4;
inline constexpr int32_t kQuestionBoard = 10;
extern int32_t screenState;

// One picture of a relation sign's change: shown for `ticks`, with a sound started as it shows
// (0: none).
struct SignStep {
    int16_t picture;
    int16_t ticks;
    int16_t sound;
    bool operator==(const SignStep&) const = default;
};
// The pictures the sign passes through from `from` to `to` (77, 78 or 79), ending on `to` (an
// empty list: nothing changes); questionBoard: the fading forms instead of the in-between ones.
std::vector<SignStep> SignPath(int16_t from, int16_t to, bool questionBoard);

// A comparison's outcome; the relation sign shows 77 + relation.
inline constexpr int kRelationEqual = 0, kRelationLeftLarger = 1, kRelationLeftSmaller = 2;

// One move of the balance: a sound started (0: none), then the balance put at step 1..5.
struct BalanceMove {
    int16_t sound;
    int16_t step;
    bool operator==(const BalanceMove&) const = default;
};
// How the balance moves for a relation from the left pan's picture (181 high .. 185 low), 5
// ticks between moves; an empty list leaves it as it is.
std::vector<BalanceMove> BalancePath(int relation, int16_t leftPanPicture);

// The place of the holder, cards, cursor and speaker of a side on a pan at (x, y).
struct HolderLayout {
    int16_t holderX, holderY;
    std::array<int16_t, 3> placeX, compactX;
    int16_t placeY;
    int16_t cursorX, cursorY;
    int16_t speakerX, speakerY;
};
HolderLayout HolderLayoutFor(int side, int16_t panX, int16_t panY);

class CCompareGame {
public:
    // Hooks the boards fill: a guide shown or hidden around Talk (side 1 or 2, mode 1..5), and
    // the move callbacks of the tile, card, holder and item drags. The tile, card and holder
    // hooks report to the game that started the drag until a board replaces them; the item hook
    // (the board's bin hover, none until set) goes to the panels in Build.
    using GuideHook = void (*)(CCompareGame& game, int side, int mode);
    GuideHook showGuide = nullptr;
    GuideHook hideGuide = nullptr;
    EngineDragCallback tileMoveHook = nullptr;
    EngineDragCallback cardMoveHook = nullptr;
    EngineDragCallback holderMoveHook = nullptr;
    EngineDragCallback itemMoveHook = nullptr;

    CCompareGame();
    ~CCompareGame();
    CCompareGame(const CCompareGame&) = delete;
    CCompareGame& operator=(const CCompareGame&) = delete;

    void Build();
    void Destroy();
    void Reset();
    void CompareSides();
    void StepBalance(int step);
    // Lays a side's arcs from its pan's picture alone (181: 220, 183: 260, 185: 300).
    void LayArcsFromPan(int side);
    void FadeOutSign();
    void ShowRelationSign(int relation);

    void SpeakNumber(int value, int side);
    void SpeakSideIfWellFormed(int side);
    void SpeakPlace(int index, int side);
    bool IsWellFormed(int side) const;
    // The number a side's places read: digits, blank and empty as 0.
    int ReadPlaces(int side) const;

    void AttachHolder(int side, int hundreds, int tens, int ones);
    void DetachHolder(int side);
    void FollowPan(int side, int16_t x, int16_t y);
    void RestoreHolder(int side);
    void LayoutSidePlaces(int side, int hundreds, int tens, int ones);
    void SetTypingSide(int side, bool on);
    void ShowCursor(int side);
    void HideCursor();
    void ShowHolderOnPan(int side);
    // 1 when a drag image was made (0: no picture could be made, nothing shown).
    int16_t MakeDragImage(int side);
    void DropDragImage();
    int16_t PressHolder(int side, CCorAnim* sprite);
    // Whether the last holder press moved the drag image more than a click (never when no
    // image could be made).
    bool HolderDragMoved() const;

    int16_t OnTileDragMove(int16_t x, int16_t y);
    int16_t OnCardDragMove(int16_t x, int16_t y);
    int16_t OnHolderDragMove(int16_t x, int16_t y);
    bool IsOverBin(const CCorRect& dragRect) const;
    bool IsOverTray(int16_t x, int16_t y) const;
    void OpenBin();
    void CloseBin();
    void ShowTray();
    void HideTray();
    // The tray with the ten tiles (their normal pictures) and the backspace key; all hidden.
    void ShowTrayAndTiles();
    void HideTrayAndTiles();
    // Both pans level (183) at their places and at the back of the display.
    void PansLevel();
    void BundleTen(int column, int side);
    int16_t WouldExceed999(int column, int side);

    void Talk(const int16_t* leftCues, const int16_t* rightCues, bool toRight, int16_t argument, int mode);
    void WaitSoundsDone();
    void WaitSpritesDone();
    void WaitSpritesOrClick();
    void WaitOrClick(int n);

    // Index 0..2 of the first highlighted place, left before right at each index, and its side;
    // -1 (side 0) when none.
    int FindHighlightedPlace(int* side) const;
    uint16_t StopSpeech() const { return stopSpeech; }
    void SetStopSpeech(uint16_t on) { stopSpeech = on; }
    static int DigitFromKey(int key);
    static void SplitDigits(int value, int& hundreds, int& tens, int& ones);

    // The move callbacks for a tile's and a card's drag started by the board: the default hooks
    // then report to this game.
    EngineDragCallback TileCallback();
    EngineDragCallback CardCallback();

    // Side helpers.
    CDigitPlace* Place(int side, int index) const;
    CNumberPanel* Panel(int side) const;
    CCorAnim* Pan(int side) const { return side == 1 ? leftPan : side == 2 ? rightPan : nullptr; }
    CCorAnim* Holder(int side) const { return side == 1 ? leftHolder : side == 2 ? rightHolder : nullptr; }
    CCorAnim* Speaker(int side) const { return side == 1 ? leftSpeaker : side == 2 ? rightSpeaker : nullptr; }
    int16_t Digits(int side) const { return side == 1 ? leftDigits : side == 2 ? rightDigits : 0; }
    bool PlacesOpen(int side) const { return side == 1 ? leftPlacesOpen != 0 : side == 2 && rightPlacesOpen != 0; }
    bool Typing(int side) const { return side == 1 ? leftTyping != 0 : side == 2 && rightTyping != 0; }
    bool Compact(int side) const { return side == 1 ? leftCompactHolder != 0 : side == 2 && rightCompactHolder != 0; }

    std::array<CDigitTile*, 10> tiles{};
    std::array<CDigitPlace*, 3> leftPlaces{};
    std::array<CDigitPlace*, 3> rightPlaces{};
    std::array<CDigitPlace*, 3> topPlaces{};
    std::array<CDigitPlace*, 8> spareCards{};
    CNumberPanel* leftPanel = nullptr;
    CNumberPanel* rightPanel = nullptr;
    std::array<CRelationButton*, 3> relationButtons{};
    CTallyStrip* tallyStrip = nullptr;
    int16_t leftValue = 0, rightValue = 0;
    int16_t clickX = 0, clickY = 0;
    int16_t freeLeading = 2;
    uint16_t dragPictureId = 2;
    int16_t leftDigits = 0, rightDigits = 0;
    int16_t dragStartX = 0, dragStartY = 0;
    uint16_t lastSide = 1;
    uint16_t tilesRaised = 0;
    uint16_t leftPlacesOpen = 0, rightPlacesOpen = 0;
    uint16_t leftItemsLive = 1, rightItemsLive = 1;
    uint16_t leftTyping = 0, rightTyping = 0;
    uint16_t binOpen = 0;
    uint16_t leftCompactHolder = 0, rightCompactHolder = 0;
    uint16_t stopSpeech = 0;
    uint32_t activeSide = 1;

    CCorAnim* checkButton = nullptr;
    CCorAnim* checkButtonBase = nullptr;
    CCorAnim* clearButton = nullptr;
    CCorAnim* clearButtonBase = nullptr;
    CCorAnim* backspaceKey = nullptr;
    CCorAnim* questionSprite1 = nullptr;
    CCorAnim* questionSprite2 = nullptr;
    CCorAnim* bin = nullptr;
    CCorAnim* relationSign = nullptr;
    CCorAnim* questionSprite3 = nullptr;
    CCorAnim* questionSprite4 = nullptr;
    CCorAnim* questionSprite5 = nullptr;
    CCorAnim* questionSprite6 = nullptr;
    CCorAnim* questionSprite7 = nullptr;
    CCorAnim* leftPan = nullptr;
    CCorAnim* rightPan = nullptr;
    CCorAnim* leftHolder = nullptr;
    CCorAnim* rightHolder = nullptr;
    std::array<CCorAnim*, 3> leftBlankCards{};
    std::array<CCorAnim*, 3> rightBlankCards{};
    CCorAnim* questionSprite8 = nullptr;
    CCorAnim* leftSpeaker = nullptr;
    CCorAnim* rightSpeaker = nullptr;
    CCorAnim* leftPlacesButton = nullptr;
    CCorAnim* rightPlacesButton = nullptr;
    CCorAnim* dragImage = nullptr;
    CCorAnim* leftGuide = nullptr;
    CCorAnim* leftGuideExtra = nullptr;
    CCorAnim* rightGuide = nullptr;
    CCorAnim* rightGuideExtra = nullptr;
    CCorAnim* typingCursor = nullptr;
    CCorAnim* tileTray = nullptr;
    CCorRect signRect{};
    CCorRect trayRect{};

private:
    void ChangeSign(int16_t target);
    void MoveBalance(int relation);
    void MoveSpareCards(int side, int16_t x, int16_t y);
    void BinHover();
};

}  // namespace vevudivodizide
