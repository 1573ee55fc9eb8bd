// Rectangle lists and the rectangle regions built on them.
#include <algorithm>

#include "platform/gdi/gdi_internal.h"

namespace plat::gdi {

std::vector<RECT> IntersectLists(const std::vector<RECT>& a, const std::vector<RECT>& b) {
    std::vector<RECT> out;
    for (const RECT& ra : a) {
        for (const RECT& rb : b) {
            RECT i;
            if (IntersectRect(&i, &ra, &rb)) out.push_back(i);
        }
    }
    return out;
}

std::vector<RECT> UnionLists(const std::vector<RECT>& a, const std::vector<RECT>& b) {
    std::vector<RECT> extra = b;
    for (const RECT& r : a) CutFromRects(extra, r);
    std::vector<RECT> out = a;
    out.insert(out.end(), extra.begin(), extra.end());
    return out;
}

int RegionType(const std::vector<RECT>& rects) {
    size_t n = 0;
    for (const RECT& r : rects)
        if (!IsRectEmpty(&r)) ++n;
    return n == 0 ? NULLREGION : (n == 1 ? SIMPLEREGION : COMPLEXREGION);
}

}  // namespace plat::gdi

using namespace plat::gdi;

namespace {

std::vector<RECT> RectList(int left, int top, int right, int bottom) {
    RECT r{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
    if (IsRectEmpty(&r)) return {};
    return {r};
}

}  // namespace

HRGN CreateRectRgn(int left, int top, int right, int bottom) {
    auto rgn = std::make_unique<RegionObj>();
    rgn->rects = RectList(left, top, right, bottom);
    return Register(std::move(rgn));
}

HRGN CreateRectRgnIndirect(const RECT* r) {
    if (!r) return nullptr;
    return CreateRectRgn(r->left, r->top, r->right, r->bottom);
}

BOOL SetRectRgn(HRGN rgn, int left, int top, int right, int bottom) {
    RegionObj* r = GetRegion(rgn);
    if (!r) return FALSE;
    r->rects = RectList(left, top, right, bottom);
    return TRUE;
}

int CombineRgn(HRGN dest, HRGN src1, HRGN src2, int mode) {
    RegionObj* d = GetRegion(dest);
    RegionObj* a = GetRegion(src1);
    if (!d || !a) return ERROR;
    if (mode == RGN_COPY) {
        d->rects = a->rects;
        return RegionType(d->rects);
    }
    RegionObj* b = GetRegion(src2);
    if (!b) return ERROR;
    std::vector<RECT> result;
    switch (mode) {
        case RGN_AND:
            result = IntersectLists(a->rects, b->rects);
            break;
        case RGN_OR:
            result = UnionLists(a->rects, b->rects);
            break;
        case RGN_DIFF:
            result = a->rects;
            for (const RECT& r : b->rects) plat::CutFromRects(result, r);
            break;
        case RGN_XOR: {
            std::vector<RECT> ab = a->rects, ba = b->rects;
            for (const RECT& r : b->rects) plat::CutFromRects(ab, r);
            for (const RECT& r : a->rects) plat::CutFromRects(ba, r);
            ab.insert(ab.end(), ba.begin(), ba.end());
            result = std::move(ab);
            break;
        }
        default:
            return ERROR;
    }
    d->rects = std::move(result);
    return RegionType(d->rects);
}

int GetRgnBox(HRGN rgn, RECT* r) {
    RegionObj* g = GetRegion(rgn);
    if (!g || !r) return ERROR;
    *r = plat::BoundingRect(g->rects);
    return RegionType(g->rects);
}

int OffsetRgn(HRGN rgn, int dx, int dy) {
    RegionObj* g = GetRegion(rgn);
    if (!g) return ERROR;
    for (RECT& r : g->rects) OffsetRect(&r, dx, dy);
    return RegionType(g->rects);
}

BOOL PtInRegion(HRGN rgn, int x, int y) {
    RegionObj* g = GetRegion(rgn);
    if (!g) return FALSE;
    for (const RECT& r : g->rects)
        if (PtInRect(&r, POINT{x, y})) return TRUE;
    return FALSE;
}

BOOL RectInRegion(HRGN rgn, const RECT* rc) {
    RegionObj* g = GetRegion(rgn);
    if (!g || !rc) return FALSE;
    RECT n{std::min(rc->left, rc->right), std::min(rc->top, rc->bottom), std::max(rc->left, rc->right),
           std::max(rc->top, rc->bottom)};
    for (const RECT& r : g->rects) {
        RECT i;
        if (IntersectRect(&i, &r, &n)) return TRUE;
    }
    return FALSE;
}

BOOL EqualRgn(HRGN a, HRGN b) {
    RegionObj* ra = GetRegion(a);
    RegionObj* rb = GetRegion(b);
    if (!ra || !rb) return ERROR;
    // Equal when neither has an area the other lacks.
    std::vector<RECT> ab = ra->rects, ba = rb->rects;
    for (const RECT& r : rb->rects) plat::CutFromRects(ab, r);
    for (const RECT& r : ra->rects) plat::CutFromRects(ba, r);
    return ab.empty() && ba.empty();
}
