// The Duravod activity's module-wide state: one instance, read and written by the module's
// entry points, the problem loop, the shared per-problem routines and the stage. Tests and the
// bot read it through duravod::View().
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "activities/duravod/level_table.h"
#include "media/util/cor_geometry.h"

class CCorAnim;
class CText;

namespace duravod {

class CProblem;
class CSpeaker;
class CCursorSprite;
class CProblemPanel;
class CProductGrid;
class CProblemHelperA;
class CProblemHelperB;

// The numbers of the current problem: row 0 value 0 is the picked number; row r (r >= 1)
// values 1 and 2 are the two parts of group r. Every access is checked: a read outside gives 0
// and a write outside is dropped.
class CProblemNumbers {
public:
    static constexpr int kRows = 20;
    static constexpr int kColumns = 56;
    int16_t Get(int row, int column) const;
    void Set(int row, int column, int16_t value);
    void Clear() { m_values = {}; }
    int16_t Picked() const { return Get(0, 0); }

private:
    std::array<std::array<int16_t, kColumns>, kRows> m_values{};
};

// One flag per kind (rows 1..8) and number (columns 0..25): already posed since the row was last
// cleared. Flag 0 of row 0 is the in-use mark. Checked like CProblemNumbers.
class CUsedNumbers {
public:
    static constexpr int kRows = 9;
    static constexpr int kColumns = 26;
    bool Get(int row, int column) const;
    void Set(int row, int column, bool flag);
    void ClearRow(int row);
    bool InUse() const { return Get(0, 0); }

private:
    std::array<std::array<uint16_t, kColumns>, kRows> m_flags{};
};

inline constexpr int kMostPieces = 54;
inline constexpr int kPieceSlots = 56;   // PieceSprites: pieces 1..54 and the 0 after them; 0 unused
inline constexpr int kGroupRows = 28;    // GroupTable: row 0 the group of each piece, groups 1..27
inline constexpr int kGroupColumns = 55; // a piece number or a member: columns 1..54
inline constexpr int kSetRows = 6;       // SetTable: row 0 the slot of each piece, sets 1..5
inline constexpr int kSetColumns = 56;
inline constexpr int kActorSlots = 6;    // actor slots 0..5
inline constexpr int kTextItems = 6;     // ModuleTextItems
inline constexpr int kPaintButtons = 5;
inline constexpr int kLayerSprites = 3;

// The visible area of the window in picture coordinates, stored in the activity's own order
// (left, right, top, bottom).
struct StageArea {
    int16_t left = 0;
    int16_t right = 0;
    int16_t top = 0;
    int16_t bottom = 0;
    static StageArea FromScreen(const CCorRect& screen);
};

// A chosen piece's wink (WinkItems): the piece by its sprite, when the delay was drawn, the
// delay, when the picture last changed and how often it came back to normal.
struct CWink {
    uint32_t since = 0;
    int16_t delay = 0;
    CCorAnim* piece = nullptr;
    uint32_t changed = 0;
    int16_t winking = 0;
    int16_t returns = 0;
};

struct CDuravodState {
    // The problem loop and the levels.
    int16_t ProblemMode = 1;
    int16_t CurrentKind = 1;
    int16_t SolvedInLevel = 0;
    int16_t WrongTries = 0;
    int16_t CurrentLevel = 1;
    int16_t LevelsMastered = 0;
    int16_t MayChangeLevel = 1;
    int16_t FirstProblem = 1;
    int16_t IntroPending = 1;
    uint32_t EnterMillis = 0;
    int16_t PlayMode = 1;
    int16_t HoldingPaint = 0;
    int16_t VisitorSide = 0;
    CLevelTable LevelTable;
    std::unique_ptr<CProblem> Problem;
    // Problems deleted while one of their operations may still be running up the stack; freed
    // once the module's outermost call into a problem has returned.
    std::vector<std::unique_ptr<CProblem>> RetiredProblems;
    int16_t ProblemCallDepth = 0;
    int16_t HatchIdleArmed = 0;
    int16_t WinkingOn = 0;
    int16_t HintArmed = 0;
    // Set while the module is being taken down: nothing new is started then.
    int16_t Leaving = 0;
    // How many clicks were answered with the refusal gesture.
    int16_t GesturesShown = 0;
    // Set while DragPiece drags a piece (Tick drops the presses made meanwhile).
    int16_t Dragging = 0;

    // The shared per-problem routines.
    CProblemNumbers ProblemNumbers;
    CUsedNumbers UsedNumbers;
    std::array<CText*, kTextItems> ModuleTextItems{};
    CCorAnim* ButtonLoopSprite = nullptr;
    std::unique_ptr<CSpeaker> Speaker;

    // The stage.
    std::array<CCorAnim*, kPieceSlots> PieceSprites{};
    int16_t PieceTotal = 0;
    int16_t PieceLook = 0;
    int16_t PieceWidth = 0;
    int16_t PieceHeight = 0;
    int16_t SelectedPaint = 0;
    int16_t NewPieceBatch = 0;
    int16_t KeepNewPieces = 0;
    std::array<CCorAnim*, kActorSlots> ActorSprites{};
    StageArea ScreenArea;
    StageArea PlayArea;
    // Row 0: the group row of each piece (0 none); rows 1..27: a group's members from column 1,
    // 0-ended unless the row is full.
    std::array<std::array<uint16_t, kGroupColumns>, kGroupRows> GroupTable{};
    std::array<std::array<CCorAnim*, 2>, kGroupRows> GroupMarkers{};
    std::array<int16_t, kGroupRows> GroupStyle{};
    // Row 0: the actor slot of each piece; rows 1..5: the pieces slot k holds from column 1,
    // 0-ended unless the row is full.
    std::array<std::array<uint16_t, kSetColumns>, kSetRows> SetTable{};
    CWink Wink;
    std::unique_ptr<uint8_t[]> ActorCandidates;
    std::unique_ptr<uint8_t[]> PieceCandidates;
    std::unique_ptr<CCursorSprite> Cursor;
    std::unique_ptr<CProblemPanel> Panel;
    std::unique_ptr<CProductGrid> Grid;
    std::unique_ptr<CProblemHelperA> HelperA;
    std::unique_ptr<CProblemHelperB> HelperB;

    // The sprites Enter makes.
    CCorAnim* HomeButton = nullptr;
    CCorAnim* WalkSoundSprite = nullptr;
    CCorAnim* TitleSprite = nullptr;
    CCorAnim* LowerBar = nullptr;
    CCorAnim* Hatch = nullptr;
    CCorAnim* Bin = nullptr;
    CCorAnim* Tray = nullptr;
    std::array<CCorAnim*, kPaintButtons> PaintButtons{};
    CCorAnim* PanelButton = nullptr;
    CCorAnim* GestureSprite = nullptr;
    std::array<CCorAnim*, 2> ButtonShelf{};
    CCorAnim* SideSprite = nullptr;
    std::array<CCorAnim*, kLayerSprites> LayerSprites{};
    CCorAnim* LevelButton = nullptr;
    std::array<CCorAnim*, 3> ModeButtons{};
    CCorAnim* Visitor = nullptr;

    CDuravodState();
    ~CDuravodState();
};

// The one state, for the module's own code.
CDuravodState& State();
// The same, read-only, for tests and the bot.
const CDuravodState& View();

}  // namespace duravod
