// The read-error prompt: when an operation on a module resource file fails (usually the CD
// was taken out), ask for the disc and try again, as often as the user says OK; Cancel ends
// the program through the engine's exit exception. Also the drive check run before a
// resource file is opened or closed, and the drive-kind query of the start-up's search.
// UI thread only.
#pragma once

#include "platform/core/wintypes.h"

// What the prompt needs of the engine's view. The drive check takes the resource folder from
// the resource host (res_item_host.h): its first letter names the drive. Installed once at
// start; the neutral host has no guard and redraws nothing.
class IReadErrorPromptHost {
public:
    virtual ~IReadErrorPromptHost() = default;
    // The engine's idle-step guard: while it is set, the view's timer runs no idle step and
    // nothing is presented, so nothing is drawn or loaded under the box.
    virtual bool IdleGuard() { return false; }
    virtual void SetIdleGuard(bool /*on*/) {}
    // Marks the whole picture area for redrawing (the box covered it).
    virtual void InvalidatePicture() {}
};
// Installs the host (null: the neutral host) and returns the one installed before.
IReadErrorPromptHost* SetReadErrorPromptHost(IReadErrorPromptHost* host);
IReadErrorPromptHost& ReadErrorPromptHost();

// "Prompt enabled": when off, every failing operation gives up at once without a box. The
// start-up turns it off while it probes drives and folders for the resource files.
void EnableReadErrorPrompt(bool enabled);
bool IsReadErrorPromptEnabled();
// Set once the user pressed Cancel; the prompt never shows again.
bool HasGivenUpOnCd();
// Prompt enabled, not given up, the neutral host (tests).
void ResetReadErrorPrompt();

// 0: the user pressed OK, repeat the failed operation. 1: do not retry (prompt disabled or
// given up). Cancel throws a new CCorExceptionExit (caught by pointer, deleted by the
// catcher) after marking the user as given up.
int AskForCDAndRetry();

// The retry rule: run op until it succeeds or AskForCDAndRetry says not to retry.
template <class Op>
bool WithReadRetry(Op&& op) {
    while (!op()) {
        if (AskForCDAndRetry() != 0) return false;
    }
    return true;
}

// 1 when the resource folder's drive root exists or the check does not apply (any system
// but Windows 95, no folder, a folder without a drive letter); 0 when it is missing and the
// user could not be asked (prompt disabled or given up). Asks until the root exists.
int CheckResourceDrive();

// The kind of drive index (0 for A:): 1 removable, 2 fixed, 3 remote, 4 CD-ROM, 6 RAM disk,
// 0 anything else (no such drive, index out of range).
int GetDriveKind(int driveIndex);

// The platform's version word tells these apart: high bit set and major version below 4 is
// Win32s, 4 or more is Windows 95; high bit clear is Windows NT.
bool IsWin32s();
bool IsWindows95();
