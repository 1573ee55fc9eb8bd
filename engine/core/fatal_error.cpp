#include "engine/core/fatal_error.h"

#include "engine/core/cor_engine.h"
#include "media/res/cor_exception.h"
#include "platform/afx/exceptions.h"
#include "platform/afx/message_box.h"

void FatalEngineError(CException* e) {
    if (theEngine) theEngine->m_busyGuard = 1;
    const bool outOfMemory = e && e->IsKindOf(RUNTIME_CLASS(CMemoryException));
    AfxMessageBox(outOfMemory ? kOutOfMemoryString : kUnhandledExceptionString, MB_OK, 0);
    if (e) e->Delete();
    throw new CCorExceptionExit;
}

void EngineNewHandler() { AfxThrowMemoryException(); }
