// The grown-ups' pictures that the build draws with mkres (data/program/adult.mkres) and
// builds into the library as the bytes of BMP files (adult/CMakeLists.txt), one per id.
#pragma once

#include <cstddef>
#include <cstdint>

#define ZELBO_ADULT_BMP(id)             \
    extern const uint8_t kAdultBmp##id[]; \
    extern const size_t kAdultBmp##id##Size;

// Bitmaps: the thumbs, the level tracks and the topic lists.
ZELBO_ADULT_BMP(167)
ZELBO_ADULT_BMP(139)
ZELBO_ADULT_BMP(188)
ZELBO_ADULT_BMP(190)
ZELBO_ADULT_BMP(200)
ZELBO_ADULT_BMP(191)
ZELBO_ADULT_BMP(192)
// The topic lists, plain and lit.
ZELBO_ADULT_BMP(233)
ZELBO_ADULT_BMP(234)
ZELBO_ADULT_BMP(202)
ZELBO_ADULT_BMP(194)
ZELBO_ADULT_BMP(201)
ZELBO_ADULT_BMP(196)
ZELBO_ADULT_BMP(197)
ZELBO_ADULT_BMP(198)
ZELBO_ADULT_BMP(199)
ZELBO_ADULT_BMP(195)
// Icons.
ZELBO_ADULT_BMP(149)
ZELBO_ADULT_BMP(150)
ZELBO_ADULT_BMP(206)
ZELBO_ADULT_BMP(227)
ZELBO_ADULT_BMP(228)
ZELBO_ADULT_BMP(222)
ZELBO_ADULT_BMP(223)
ZELBO_ADULT_BMP(224)
ZELBO_ADULT_BMP(225)
ZELBO_ADULT_BMP(226)

#undef ZELBO_ADULT_BMP
