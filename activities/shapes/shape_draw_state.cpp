#include "activities/shapes/shape_draw_state.h"

CShapeDrawState& ShapeDrawState() {
    static CShapeDrawState state;
    return state;
}
