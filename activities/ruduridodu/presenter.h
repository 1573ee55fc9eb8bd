// The presenter character of level mode, a kind parking attendant at the lower left: a talker
// sprite on which the speech plays (its mouth) and a body sprite for the walks, poses and
// pointing pictures. Each act that can be cut short reports whether it ran to its end (1) or a
// click cut it (0). Beside it: the four player pieces and the scene of two-player play, and the
// waits that a click cuts short.
#pragma once

#include <cstdint>

class CCorAnim;

class CPresenter {
public:
    // The two sprites, showing nothing: the body first, the talker in front of it.
    CPresenter();
    ~CPresenter();
    CPresenter(const CPresenter&) = delete;
    CPresenter& operator=(const CPresenter&) = delete;

    CCorAnim* Talker() const { return m_talker; }
    CCorAnim* Body() const { return m_body; }
    bool IsOwnSprite(const CCorAnim* sprite) const { return sprite && (sprite == m_talker || sprite == m_body); }

    // The entrance: the first after program start (firstRound) walks in from further away.
    // `front` is the sprite the body stands just behind.
    void Enter(bool firstRound, CCorAnim* front = nullptr);
    void Leave();
    void Rest();
    void Listen();
    void IdleAct();
    void PraiseAct();
    // The long idle acts take their turns; the turn starts again at each visit.
    void LongIdleAct();
    void SetLongIdleTurn(int16_t turn) { m_longIdleTurn = turn; }
    int16_t LongIdleTurn() const { return m_longIdleTurn; }
    void Arrange();
    int16_t OnClick();
    int16_t Say(int16_t sound);
    int16_t PointAndSay(int16_t picture, int16_t sound);
    // The n sounds in turn (a 0 or negative entry ends the list early).
    int16_t SaySounds(int16_t n, const uint16_t* sounds);
    int16_t PointAndSaySounds(int16_t picture, int16_t n, const uint16_t* sounds);
    int16_t SayEach(int16_t n, const uint16_t (*lists)[2]);

private:
    // An animation on the body from the resting place, then rest.
    void Act(int16_t anim);

    CCorAnim* m_body = nullptr;
    CCorAnim* m_talker = nullptr;
    int16_t m_longIdleTurn = 0;
};

// A player's piece of two-player play: one of the scene's four piece sprites (not owned), the
// value its picture stands for (picture - 400), its home, and a marker while it is placed.
// The piece keeps one marker sprite for good and hides it (picture 2) when unmarked, so
// markers never pile up in the display list.
class CPlayerPiece {
public:
    CPlayerPiece(int16_t index, CCorAnim* sprite, int16_t x, int16_t y);
    ~CPlayerPiece();
    CPlayerPiece(const CPlayerPiece&) = delete;
    CPlayerPiece& operator=(const CPlayerPiece&) = delete;

    int16_t Value() const { return m_value; }
    int16_t Category() const { return m_category; }
    int16_t PlayerIndex() const { return m_player; }
    int16_t HomeX() const { return m_homeX; }
    int16_t HomeY() const { return m_homeY; }
    CCorAnim* Sprite() const { return m_sprite; }
    CCorAnim* Marker() const { return m_marker; }
    bool IsPlaced() const { return m_placed != 0; }

    void Forget();
    void Mark();
    void Unmark(bool goHome);
    void Refresh(int16_t index);
    int16_t OnClick();
    void Drag();
    void DropAt(int16_t x, int16_t y);
    // Where the piece came down: 10 no ring, 3 the overlap: home, unmarked; 1 or 2: the round
    // takes the value for the ring; anything else nothing.
    void Settle(int16_t container);

private:
    int16_t m_value = 0;
    int16_t m_homeX;
    int16_t m_homeY;
    CCorAnim* m_sprite;
    CCorAnim* m_marker = nullptr;
    int16_t m_placed = 0;
    int16_t m_player;
    int16_t m_category = 0;
};

// Two-player scene: scenery, category buttons and marker, the four pieces, the variant buttons.
void BuildTwoPlayerScene();
void MakePiecesAndVariants();
void FreePiecesAndVariants();
void ChangeCategory(CCorAnim* button);
void TearDownTwoPlayerScene();
// The chosen category (10 to 40) as the marker shows it; 0 without a scene.
int16_t SceneCategory();
// The category a marker picture stands for: 326 to 329 give 10 to 40, any other picture 0.
int16_t CategoryOfMarker(int16_t picture);
CPlayerPiece* ScenePiece(int16_t i);
CCorAnim* SceneVariantButton(int16_t i);
CCorAnim* SceneCategoryButton(int16_t i);

// Waits a click cuts short: each 1 when a click cut it, 0 when it ended by itself.
int16_t WaitSpriteOrClick(CCorAnim* sprite);
int16_t WaitSoundsOrClick();
int16_t WaitMoveOrClick(CCorAnim* sprite, int16_t x, int16_t y);
// The sprite's place plus half the picture's width and height.
void SpriteCentre(CCorAnim* sprite, int16_t picture, int16_t& x, int16_t& y);
