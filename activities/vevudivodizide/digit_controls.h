// The small controls of the compare game: the ten draggable digit tiles on the tray, the digit
// places (cards) a side's number is built on, the three relation buttons and the tally strip of
// 90 marks. Each is a small record of sprite handles, a position and a state; the boards own
// them, hit-test clicks against them and call their operations. Pictures are module-relative
// ids, positions picture coordinates; a digit outside 0..9 changes nothing.
#pragma once

#include <array>
#include <cstdint>
#include <span>

#include "engine/toolbox/facade.h"

class CCorAnim;

namespace vevudivodizide {

// Tiles and cards are 26 × 34 pictures: 20 + digit.
inline constexpr int16_t kCardPicture = 20;

class CDigitTile {
public:
    explicit CDigitTile(uint16_t digit) : digit(digit) {}
    // Home from the table by digit, y 440; the sprite there showing "no picture".
    void Create();
    // 0 unless the sprite is this tile showing its normal picture. Otherwise a modal drag of the
    // tile (onMove hears its moves), then the tile goes home at once; moved is set when it was
    // let go more than 50 squared pixels from where it was pressed. 1.
    int16_t PressTile(CCorAnim* pressed, EngineDragCallback onMove);
    void ShowNormal();
    void ShowRaised();
    void Hide();
    int16_t GetPicture() const;
    void SetPicture(int16_t picture);
    bool WasMoved() const { return moved != 0; }
    void AddScanTarget();
    static int16_t HomeX(int digit);

    CCorAnim* sprite = nullptr;
    uint16_t digit = 0;
    uint16_t homeX = 0, homeY = 0;
    int16_t dropX = 0, dropY = 0;
    uint16_t moved = 0;
};

class CDigitPlace {
public:
    static constexpr int16_t kEmpty = -2, kBlank = -1;

    CDigitPlace(int16_t x, int16_t y) : homeX(x), homeY(y) {}
    void Create();
    void SetDigit(int d);
    void SetFixedDigit(int d);
    void ShowPicture115();
    void ShowPicture119();
    void Empty();
    void Blank();
    void MoveTo(int16_t x, int16_t y);
    void MoveHome();
    void Highlight();
    void Unhighlight();
    bool IsHighlighted() const;
    void LabelNormal();
    void LabelSelected();
    void LabelHide();
    bool LabelShown() const;
    bool IsLabel(CCorAnim* sprite) const { return sprite && sprite == label; }
    // The card's rectangle, every edge included.
    bool HitTest(int16_t x, int16_t y) const;
    // 0 unless the sprite is this card; the card's place is kept, and when dragAllowed a modal
    // drag of the card runs (onMove hears its moves) with the tiles' pictures kept and put back
    // afterwards (a card over the tray raises them). The card stays where it was let go. 1.
    int16_t PressCard(CCorAnim* pressed, bool dragAllowed, EngineDragCallback onMove,
                      std::span<class CDigitTile* const> tiles = {});
    // The card was let go more than 50 squared pixels from where it was pressed.
    bool MovedFar() const;
    int16_t GetDigit() const { return digit; }
    int ValueOf() const { return digit >= 0 && digit <= 9 ? digit : 0; }
    int16_t CardX() const;
    int16_t CardY() const;
    int16_t CardPicture() const;
    bool IsBlank() const;
    // 0 a placed digit (20..29), 1 blank (40), 2 anything else.
    int Kind() const;
    void AddScanTarget();

    CCorAnim* card = nullptr;
    CCorAnim* shadow = nullptr;
    CCorAnim* label = nullptr;
    int16_t digit = kEmpty;
    int16_t homeX = 0, homeY = 0;
    int16_t pressX = 0, pressY = 0;
    uint16_t highlighted = 0;
};

class CRelationButton {
public:
    explicit CRelationButton(int kind);
    void Create();
    // When the sprite is this button: tracks the press; released on it sets pressed and plays
    // a click; waits 10 ticks; 1. Another sprite: 0.
    int16_t Press(CCorAnim* sprite);
    void Show();
    void Hide();
    bool IsHidden() const;
    bool WasPressed() const { return pressed != 0; }
    void AddScanTarget();

    uint16_t pressed = 0;
    CCorAnim* sprite = nullptr;
    int16_t x = 0, y = 0, altX = 0, altY = 0;
    uint16_t picture = 0, pressedPicture = 0, thirdPicture = 0;
};

class CTallyStrip {
public:
    static constexpr int kMarks = 90;
    // Mark i's x: 6 pixels apart, 3 more before every fifth, 3 more before every tenth and 3
    // more before mark 85.
    static int16_t MarkX(int i);
    void Create();
    void SetShown(int n) { shownMarks = static_cast<uint16_t>(n); }
    void Redraw();
    void Select(int index);
    int16_t Press(CCorAnim* sprite);
    void HideAll();
    int GetSelected() const { return chosenMark; }

    std::array<CCorAnim*, kMarks> marks{};
    uint16_t shownMarks = 0;
    uint16_t chosenMark = 0;
};

}  // namespace vevudivodizide
