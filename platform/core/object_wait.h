// Waits on kernel objects (process handles). The objects live in other areas (platform/process);
// the core knows them only through this seam, installed by the area that makes them.
#pragma once

#include "platform/core/wintypes.h"

namespace plat {

class IWaitableObjects {
public:
    virtual ~IWaitableObjects() = default;
    // 1 when the handle's object is signalled, 0 when not yet, -1 when the handle is no
    // waitable object. Any thread.
    virtual int State(HANDLE handle) = 0;
};

// Installs the objects' owner (the process area does it when it makes its first object).
void SetWaitableObjects(IWaitableObjects* objects);
// Called from any thread when an object became signalled: every wait in progress looks again.
void ObjectSignalled();

}  // namespace plat

enum : DWORD { MAXIMUM_WAIT_OBJECTS = 64 };

// Waits in real time until the object is signalled (WAIT_OBJECT_0) or timeoutMs passes
// (WAIT_TIMEOUT); WAIT_FAILED with ERROR_INVALID_HANDLE for a handle that cannot be waited on.
// Messages are not looked at. The program's clock does not move (headless).
DWORD WaitForSingleObject(HANDLE handle, DWORD timeoutMs);
