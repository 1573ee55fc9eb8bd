// The program's bitmaps that the build draws with mkres and builds into the program as the
// bytes of BMP files (app/CMakeLists.txt).
#pragma once

#include <cstddef>
#include <cstdint>

// The credits picture (bitmap 239): 640 x 480, 8 bits, over the game palette
// (data/program/credits.mkres).
extern const uint8_t kCreditsBmp[];
extern const size_t kCreditsBmpSize;
