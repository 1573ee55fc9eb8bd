#include "activities/duravod/problem_panel.h"

namespace duravod {

void RecolourItems(CCorAnim*, int16_t) {}

}  // namespace duravod
