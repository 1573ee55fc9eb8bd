#include "activities/ruduridodu/tile_motion.h"

#include <array>

#include "engine/toolbox/sprite_toolbox.h"

namespace {

constexpr int16_t kNoPicture = 2;

// Rows by type 31 to 34, columns by variant 21 to 24.
constexpr std::array<std::array<CarPictures, 4>, 4> kCars = {{
    {{{261, 265, 32, 36, -2, 15, 32}, {262, 266, 17, 29, -11, 0, 42}, {263, 267, 40, 30, -2, 20, 36},
      {264, 268, 21, 31, 6, 18, 36}}},
    {{{271, 275, 26, 36, -3, 15, 35}, {272, 276, 11, 32, -4, 0, 36}, {273, 277, 31, 29, -8, 20, 40},
      {274, 278, 14, 28, -2, 0, 37}}},
    {{{281, 285, 37, 39, -19, 15, 48}, {282, 286, 22, 40, -27, 0, 57}, {283, 287, 41, 32, -20, 20, 53},
      {284, 288, 16, 46, -7, 18, 43}}},
    {{{291, 295, 14, 18, -12, 15, 42}, {292, 296, 0, 22, -15, 0, 45}, {293, 297, 24, 10, -8, 20, 40},
      {294, 298, 0, 16, 1, 18, 36}}},
}};

}  // namespace

void CCarMotion::Offset(int16_t dx, int16_t dy) {
    for (int i = 0; i < 7; ++i)
        QueueSpriteFrameAt(m_sprite, 0, static_cast<int16_t>(m_x + dx), static_cast<int16_t>(m_y + dy));
    QueueSpriteFrameNoWait(m_sprite, kNoPicture);
}

const CarPictures* FindCarPictures(int16_t type, int16_t variant) {
    if (type < 31 || type > 34 || variant < 21 || variant > 24) return nullptr;
    return &kCars[static_cast<size_t>(type - 31)][static_cast<size_t>(variant - 21)];
}

std::unique_ptr<CTileMotion> MakeTileMotion(int16_t type, const CarPictures& p, CCorAnim* sprite) {
    switch (type) {
        case 31:
            return std::make_unique<CCarMotion>(p.x, p.secondX, p.y, sprite);
        case 32:
            return std::make_unique<CBusMotion>(p.x, p.secondX, p.y, sprite);
        case 33:
            return std::make_unique<CTruckMotion>(p.x, p.secondX, p.y, sprite);
        case 34:
            return std::make_unique<CTractorMotion>(p.x, p.secondX, p.y, sprite);
        default:
            return nullptr;
    }
}
