// The motion object of a car: its first and second overlay places (x, second x) and their
// height (y), and the sprite it acts on. Five operations in a fixed order; a car of type 31 (a
// car) can shake its pictures by an offset, the other kinds do nothing.
#pragma once

#include <cstdint>
#include <memory>

class CCorAnim;

class CTileMotion {
public:
    CTileMotion(int16_t x, int16_t secondX, int16_t y, CCorAnim* sprite)
        : m_x(x), m_secondX(secondX), m_y(y), m_sprite(sprite) {}
    virtual ~CTileMotion() = default;
    CTileMotion(const CTileMotion&) = delete;
    CTileMotion& operator=(const CTileMotion&) = delete;

    virtual void First() {}
    // The sprite shows nothing seven times at (x + dx, y + dy), then nothing (picture 2).
    virtual void Offset(int16_t, int16_t) {}
    virtual void Third() {}
    virtual void Fourth() {}
    virtual void Fifth() {}

    int16_t X() const { return m_x; }
    int16_t SecondX() const { return m_secondX; }
    int16_t Y() const { return m_y; }
    CCorAnim* Sprite() const { return m_sprite; }

protected:
    int16_t m_x;
    int16_t m_secondX;
    int16_t m_y;
    CCorAnim* m_sprite;
};

// Made for car type 31: its Offset queues picture 0 at (x + dx, y + dy) seven times, then
// picture 2.
class CCarMotion : public CTileMotion {
public:
    using CTileMotion::CTileMotion;
    void Offset(int16_t dx, int16_t dy) override;
};
// Types 32 to 34: nothing of their own.
class CBusMotion : public CTileMotion {
public:
    using CTileMotion::CTileMotion;
};
class CTruckMotion : public CTileMotion {
public:
    using CTileMotion::CTileMotion;
};
class CTractorMotion : public CTileMotion {
public:
    using CTileMotion::CTileMotion;
};

// The car's pictures by type (31 to 34) and variant (21 to 24): overlay A on the first picture
// at (xA, y), overlay B on the second at (xB, y), and the anchor a parked car stands by.
struct CarPictures {
    int16_t first, second, x, secondX, y, anchorDx, anchorDy;
};
// The entry of that type and variant; null outside 31..34 and 21..24.
const CarPictures* FindCarPictures(int16_t type, int16_t variant);
// The motion object of that type with the entry's places; null for a type outside 31..34.
std::unique_ptr<CTileMotion> MakeTileMotion(int16_t type, const CarPictures& pictures, CCorAnim* sprite);
