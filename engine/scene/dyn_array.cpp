#include "engine/scene/dyn_array.h"

#include "platform/afx/message_box.h"

void ReportDynArrayTooLong() {
    AfxMessageBox("CDynArray too long", MB_OK | MB_ICONEXCLAMATION);
}

void ReportDynArrayPosition() {
    AfxMessageBox("invalid CDynArray position", MB_OK | MB_ICONEXCLAMATION);
}
