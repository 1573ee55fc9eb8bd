// What the problem kinds and the module's click handler share: the problem's number drawn from
// the level's range without repeats, the level's order and group choices, the waits a click can
// cut short, the equation boxes of the splits problems, the talking head in the hatch and the
// looping animation beside the panel button.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

class CCorAnim;
class CText;

namespace duravod {

// Draws the problem's number from the current level's range into ProblemNumbers (row 0 value 0),
// zeroing the table first: never the previous pick twice running, no number already posed in the
// kind until the kind's row is wiped (once the tries pass the level's highest number). A range
// that holds nothing but the previous pick gives it again.
void PickProblemNumber();
void ClearProblemNumbers();
// Zeroes a kind's row of UsedNumbers and sets the in-use mark.
void ClearUsedNumbersRow(int row);
// 0 or 1 from the level's order code (1: 0, 2: 1, else at random).
int16_t PickOrder();
// 1..4 from the level's groups code (1-4 as stored, 5: 2 or 3, else 2 to 4).
int16_t PickGroups();

// Waits for the sprite's script; a click (or, with skipOnMove, a pointer move) cuts it short:
// the sprite then shows the picture at (x, y), silent. 1 when cut short.
int16_t WaitSpriteOrSkip(CCorAnim* sprite, int16_t picture, int16_t x, int16_t y, int16_t skipOnMove);
// Waits while any sound plays; a click stops them all: 1 then, else 0.
int16_t WaitSoundsOrClick();
// Plays the zero-ended list one after another on one channel; 1 when a click cut it short.
int16_t PlaySoundList(const int16_t* sounds);
// Waits until no sprite's script runs (an endless or held one does not keep it waiting).
void WaitAllSprites();

// One equation box of the splits problems.
class CEquationItem {
public:
    explicit CEquationItem(int16_t index);
    ~CEquationItem();
    CEquationItem(const CEquationItem&) = delete;
    CEquationItem& operator=(const CEquationItem&) = delete;
    void MakeText();
    void Blink();
    // Nonzero when the click on the sprite is this box's.
    int16_t OnClick(CCorAnim* sprite, int16_t value);
    void ShowReadout();
    int16_t Overlaps(int16_t x, int16_t y, int16_t width, int16_t height) const;

    CCorAnim* box = nullptr;
    CText* text = nullptr;
    int16_t index = 0;
    int16_t width = 0;
    int16_t height = 0;
    int16_t x = 0;
    int16_t y = 0;
    uint16_t busy = 0;
};

// The boxes 1..N of a splits problem (N at most 15).
class CEquationList {
public:
    static constexpr int kMaxItems = 15;
    explicit CEquationList(int16_t count);
    ~CEquationList();
    CEquationList(const CEquationList&) = delete;
    CEquationList& operator=(const CEquationList&) = delete;
    void MakeText(int16_t index);
    void Blink(int16_t index);
    // Offers the click to every box 1..N; nonzero when one took it.
    int16_t OnClick(CCorAnim* sprite, int16_t value);
    int16_t Overlaps(int16_t x, int16_t y, int16_t width, int16_t height) const;
    int16_t Count() const { return m_count; }
    CEquationItem* Item(int16_t index) const;

private:
    std::array<std::unique_ptr<CEquationItem>, kMaxItems + 1> m_items;
    int16_t m_count = 0;
};

// The talking head behind the hatch at the lower left.
class CSpeaker {
public:
    CSpeaker();
    ~CSpeaker();
    CSpeaker(const CSpeaker&) = delete;
    CSpeaker& operator=(const CSpeaker&) = delete;
    void Show();
    void Hide();
    // Says the zero-ended list, or (list null) the one sound; 1 when a click cut it short. The
    // hatch opens only for a sound with a cue list; another sound plays with the hatch as it is.
    int16_t Say(const int16_t* sounds, int16_t sound = 0);
    int16_t Say(int16_t sound) { return Say(nullptr, sound); }
    void SetFace(int16_t picture);
    void SetExpression(int16_t picture);

    CCorAnim* face = nullptr;
    CCorAnim* expression = nullptr;
    int16_t expressionPicture = 2;
    int16_t faceX = 104;
    int16_t expressionX = 86;
    int16_t top = 318;
    int16_t bottom = 318;
    uint16_t shown = 0;
    int16_t channel = 0;
};

void StartButtonLoop();
void StopButtonLoop();
void SuspendTextItems(int16_t flag);
// Renders each of the module's text items again.
void RefreshTextItems();

}  // namespace duravod
