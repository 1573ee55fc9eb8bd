// Objects shared between the programs of one emulated installation: named semaphores (one
// running copy of the game) and top-level windows that other programs can find and post to.
#pragma once

#include <vector>

#include "platform/core/wintypes.h"
#include "platform/fs/handles.h"

// Unnamed semaphores are private to the program. A named one exists while any program holds
// a handle to it, also across a crash: ERROR_ALREADY_EXISTS tells a second opener so. Its
// lock file goes when the last holder closes it.
HANDLE CreateSemaphore(LPSECURITY_ATTRIBUTES attributes, LONG initialCount, LONG maximumCount, LPCSTR name);
BOOL ReleaseSemaphore(HANDLE semaphore, LONG releaseCount, LONG* previousCount);

namespace plat {

// Publishes this program's top-level windows to the other programs of the installation and
// starts listening for what they post. Idempotent; false when the runtime folder or the
// socket cannot be made (the program then works alone).
bool StartWindowSharing();
void StopWindowSharing();

// Lets go of every named semaphore this program holds (ExitProcess); their handles stay
// valid but hold nothing. The last holder of a name removes its lock file.
void ReleaseNamedSemaphores();

// Posts msg to every top-level window of the installation's other living programs (those
// that share their windows); returns their process ids.
std::vector<int> PostToOtherPrograms(UINT msg);

}  // namespace plat
