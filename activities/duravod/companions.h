// The problems' companion objects: the taking-away problem's cart (CProblemHelperA) and the
// splits problem's helper (CProblemHelperB). Until they are drawn they have no sprites.
#pragma once

#include <cstdint>

class CCorAnim;

namespace duravod {

class CProblemHelperA {
public:
    void Leave() {}
};

class CProblemHelperB {
public:
    void Leave() {}
    // Nonzero when the click is the helper's.
    int16_t OnClick(CCorAnim*, int16_t) { return 0; }
};

}  // namespace duravod
