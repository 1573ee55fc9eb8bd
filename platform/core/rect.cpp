#include "platform/core/rect.h"

namespace plat {

void CutFromRects(std::vector<RECT>& rects, const RECT& cut) {
    if (IsRectEmpty(&cut)) return;
    std::vector<RECT> out;
    out.reserve(rects.size() + 4);
    for (const RECT& r : rects) {
        RECT x;
        if (!IntersectRect(&x, &r, &cut)) {
            out.push_back(r);
            continue;
        }
        if (r.top < x.top) out.push_back(RECT{r.left, r.top, r.right, x.top});
        if (x.bottom < r.bottom) out.push_back(RECT{r.left, x.bottom, r.right, r.bottom});
        if (r.left < x.left) out.push_back(RECT{r.left, x.top, x.left, x.bottom});
        if (x.right < r.right) out.push_back(RECT{x.right, x.top, r.right, x.bottom});
    }
    rects.swap(out);
}

RECT BoundingRect(const std::vector<RECT>& rects) {
    RECT bound{};
    for (const RECT& r : rects) UnionRect(&bound, &bound, &r);
    return bound;
}

}  // namespace plat
