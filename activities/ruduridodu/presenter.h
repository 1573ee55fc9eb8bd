// The presenter character of level mode: a talker sprite on which the speech plays and a body
// sprite for its poses and pointing pictures. Its poses, acts and speech are the screen's; each
// reports whether it ran to its end (1) or a click cut it short (0).
#pragma once

#include <cstdint>

class CCorAnim;

class CPresenter {
public:
    CPresenter();
    ~CPresenter();
    CPresenter(const CPresenter&) = delete;
    CPresenter& operator=(const CPresenter&) = delete;

    CCorAnim* Talker() const { return m_talker; }
    CCorAnim* Body() const { return m_body; }
    bool IsOwnSprite(const CCorAnim* sprite) const { return sprite && (sprite == m_talker || sprite == m_body); }

    // The entrance: the first after program start (firstRound) differs from later ones.
    void Enter(bool firstRound);
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
    int16_t SaySounds(int16_t n, const uint16_t* sounds);
    int16_t PointAndSaySounds(int16_t picture, int16_t n, const uint16_t* sounds);
    int16_t SayEach(int16_t n, const uint16_t (*lists)[2]);

private:
    CCorAnim* m_talker = nullptr;
    CCorAnim* m_body = nullptr;
    int16_t m_longIdleTurn = 0;
};
