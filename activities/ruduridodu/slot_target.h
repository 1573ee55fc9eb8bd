// A container (ring) of the screen into which tiles are driven: its picture, the oval that
// takes drops, its slots and the number plate showing what it stands for. Its drawing and
// speech are the screen's; each reports whether it ran to its end.
#pragma once

#include <cstdint>

class CCorAnim;

class CSlotTarget {
public:
    CSlotTarget(int16_t number, int16_t x, int16_t y) : m_x(x), m_y(y), m_number(number) {}
    virtual ~CSlotTarget();
    CSlotTarget(const CSlotTarget&) = delete;
    CSlotTarget& operator=(const CSlotTarget&) = delete;

    virtual void ShowNumber();
    virtual void Highlight(int16_t picture);
    virtual void Unhighlight();
    virtual bool Contains(int16_t x, int16_t y) const;
    virtual int16_t Announce();
    virtual int16_t SpeakNumber(int16_t code);
    virtual int16_t SpeakNumberAlt(int16_t code);

    int16_t Number() const { return m_number; }
    int16_t X() const { return m_x; }
    int16_t Y() const { return m_y; }
    CCorAnim* MainSprite() const { return m_mainSprite; }
    int16_t Value() const { return m_value; }
    int16_t HaloPicture() const { return m_haloPicture; }
    int16_t PresenterPicture() const { return m_presenterPicture; }
    // The oval's centre.
    int16_t CentreX() const { return m_centreX; }
    int16_t CentreY() const { return m_centreY; }

protected:
    int16_t m_x;
    int16_t m_y;
    int16_t m_number;
    CCorAnim* m_mainSprite = nullptr;
    int16_t m_value = 0;
    int16_t m_haloPicture = 2;
    int16_t m_presenterPicture = 2;
    int16_t m_centreX = 0;
    int16_t m_centreY = 0;
};
