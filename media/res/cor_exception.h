// The engine's exceptions, thrown and caught by pointer like the class library's: the
// catcher calls Report and deletes the object. The exit exception ends the program in
// order; its report shows nothing.
#pragma once

#include "platform/afx/object.h"

class CCorExceptionBase : public CObject {
    DECLARE_DYNAMIC(CCorExceptionBase)
public:
    CCorExceptionBase() = default;
    virtual void Report() {}
};

class CCorExceptionExit : public CCorExceptionBase {
    DECLARE_DYNAMIC(CCorExceptionExit)
public:
    CCorExceptionExit() = default;
};
