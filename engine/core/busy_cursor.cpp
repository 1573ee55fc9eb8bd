// The busy level and the pointer that shows it.
#include "engine/core/cor_engine.h"
#include "platform/core/winuser.h"

void CCorEngine::SetArrowCursor() {
    SetCursor(m_moduleCursorA ? m_moduleCursorA : LoadCursor(nullptr, IDC_ARROW));
}

void CCorEngine::SetWaitCursor() {
    SetCursor(m_moduleCursorB ? m_moduleCursorB : LoadCursor(nullptr, IDC_WAIT));
}

void CCorEngine::BeginBusy() {
    ++m_busyLevel;
    if (m_busyLevel != 0) SetWaitCursor();
}

// Input made while busy is not acted on afterwards. The level never goes below 0, so an
// unmatched EndBusy cannot leave the engine taking input as if a negative level were busy.
void CCorEngine::EndBusy() {
    if (m_busyLevel > 0) --m_busyLevel;
    FlushQueuedInput();
    if (m_busyLevel == 0) SetArrowCursor();
}
