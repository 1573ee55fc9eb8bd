#include "activities/duravod/duravod_state.h"

#include "activities/duravod/companions.h"
#include "activities/duravod/problem.h"
#include "activities/duravod/grid_panel.h"
#include "activities/duravod/scene.h"
#include "activities/duravod/shared_routines.h"

namespace duravod {

namespace {

template <typename T, size_t R, size_t C>
bool Inside(const std::array<std::array<T, C>, R>&, int row, int column) {
    return row >= 0 && column >= 0 && static_cast<size_t>(row) < R && static_cast<size_t>(column) < C;
}

}  // namespace

int16_t CProblemNumbers::Get(int row, int column) const {
    return Inside(m_values, row, column) ? m_values[static_cast<size_t>(row)][static_cast<size_t>(column)] : int16_t{0};
}

void CProblemNumbers::Set(int row, int column, int16_t value) {
    if (Inside(m_values, row, column)) m_values[static_cast<size_t>(row)][static_cast<size_t>(column)] = value;
}

bool CUsedNumbers::Get(int row, int column) const {
    return Inside(m_flags, row, column) && m_flags[static_cast<size_t>(row)][static_cast<size_t>(column)] != 0;
}

void CUsedNumbers::Set(int row, int column, bool flag) {
    if (Inside(m_flags, row, column)) m_flags[static_cast<size_t>(row)][static_cast<size_t>(column)] = flag ? 1 : 0;
}

void CUsedNumbers::ClearRow(int row) {
    if (row >= 0 && row < kRows) m_flags[static_cast<size_t>(row)] = {};
}

StageArea StageArea::FromScreen(const CCorRect& screen) {
    return StageArea{screen.left, screen.right, screen.top, screen.bottom};
}

CDuravodState::CDuravodState() = default;
CDuravodState::~CDuravodState() = default;

CDuravodState& State() {
    static CDuravodState state;
    return state;
}

const CDuravodState& View() { return State(); }

}  // namespace duravod
