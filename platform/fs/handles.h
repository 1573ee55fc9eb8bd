// Kernel object handles shared by the platform's areas: files, find searches and, through
// CKernelObject, any other object that CloseHandle must close (semaphores, events).
#pragma once

#include <memory>

#include "platform/core/wintypes.h"

struct SECURITY_ATTRIBUTES {
    DWORD nLength = 0;
    LPVOID lpSecurityDescriptor = nullptr;
    BOOL bInheritHandle = FALSE;
};
using LPSECURITY_ATTRIBUTES = SECURITY_ATTRIBUTES*;

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

namespace plat {

// Base of every object behind a HANDLE; the destructor releases the object's resources.
class CKernelObject {
public:
    virtual ~CKernelObject() = default;
};

// Handle values are small multiples of 4 (never null, never INVALID_HANDLE_VALUE), so
// that they also fit the 32-bit HFILE of the runtime-library file calls.
HANDLE AllocHandle(std::shared_ptr<CKernelObject> object);
// The object behind a handle, or null for a handle that is not open.
std::shared_ptr<CKernelObject> LookupHandle(HANDLE handle);
template <class T>
std::shared_ptr<T> LookupHandleAs(HANDLE handle) {
    return std::dynamic_pointer_cast<T>(LookupHandle(handle));
}
// Removes the handle; the object dies when the last user lets go of it. False when the
// handle was not open.
bool FreeHandle(HANDLE handle);

}  // namespace plat

// Closes any kind of handle; ERROR_INVALID_HANDLE for one that is not open.
BOOL CloseHandle(HANDLE handle);
