#include "media/res/read_error_prompt.h"

#include <string>
#include <utility>

#include "media/res/cor_exception.h"
#include "media/res/res_item_host.h"
#include "media/res/res_strings.h"
#include "platform/afx/message_box.h"
#include "platform/afx/string_table.h"
#include "platform/core/seam.h"
#include "platform/core/winuser.h"
#include "platform/fs/winfile.h"

namespace {

bool g_enabled = true;
bool g_givenUp = false;
constinit plat::Seam<IReadErrorPromptHost> g_host;

// Shown when the string table lacks the prompt.
constexpr const char* kFallbackText =
    "Unable to read from application CD. Please insert CD and press OK\nor press CANCEL to exit program.";

bool MajorVersionBelow4(DWORD version) { return (version & 0xFF) < 4; }

}  // namespace

IReadErrorPromptHost* SetReadErrorPromptHost(IReadErrorPromptHost* host) { return g_host.Install(host); }
IReadErrorPromptHost& ReadErrorPromptHost() { return g_host.Get(); }

void EnableReadErrorPrompt(bool enabled) { g_enabled = enabled; }

bool IsReadErrorPromptEnabled() { return g_enabled; }

bool HasGivenUpOnCd() { return g_givenUp; }

void ResetReadErrorPrompt() {
    g_enabled = true;
    g_givenUp = false;
    g_host.Install(nullptr);
}

bool IsWin32s() {
    const DWORD v = GetVersion();
    return (v & 0x80000000u) && MajorVersionBelow4(v);
}

bool IsWindows95() {
    const DWORD v = GetVersion();
    return (v & 0x80000000u) && !MajorVersionBelow4(v);
}

int AskForCDAndRetry() {
    if (!g_enabled || g_givenUp) return 1;

    IReadErrorPromptHost& host = ReadErrorPromptHost();
    const bool savedGuard = host.IdleGuard();
    host.SetIdleGuard(true);

    const std::string text = plat::LookupString(media::kIdsInsertCd).value_or(kFallbackText);
    int answer = 0;
    ShowCursor(TRUE);
    try {
        answer = AfxMessageBox(text.c_str(), MB_OKCANCEL | MB_ICONSTOP, media::kIdsInsertCd);
    } catch (...) {
        // A box that could not be shown: leave the cursor and the guard as they were.
        ShowCursor(FALSE);
        host.SetIdleGuard(savedGuard);
        throw;
    }
    ShowCursor(FALSE);

    if (answer != IDOK) {
        // The guard stays set: nothing is drawn while the program unwinds.
        g_givenUp = true;
        throw new CCorExceptionExit;
    }
    host.SetIdleGuard(savedGuard);
    host.InvalidatePicture();
    return 0;
}

int CheckResourceDrive() {
    if (!IsWindows95()) return 1;
    const std::string folder = ResItemHost().ResourceFolder();
    const bool hasLetter = folder.size() >= 2 && folder[1] == ':' &&
                           ((folder[0] >= 'A' && folder[0] <= 'Z') || (folder[0] >= 'a' && folder[0] <= 'z'));
    // A relative or network folder has no drive root to wait for.
    if (!hasLetter) return 1;
    const char root[4] = {folder[0], ':', '\\', '\0'};
    while (GetFileAttributesA(root) == INVALID_FILE_ATTRIBUTES) {
        if (AskForCDAndRetry() != 0) return 0;
    }
    return 1;
}

int GetDriveKind(int driveIndex) {
    if (driveIndex < 0 || driveIndex >= 26) return 0;
    const char root[4] = {static_cast<char>('A' + driveIndex), ':', '\\', '\0'};
    switch (GetDriveTypeA(root)) {
        case DRIVE_REMOVABLE: return 1;
        case DRIVE_FIXED: return 2;
        case DRIVE_REMOTE: return 3;
        case DRIVE_CDROM: return 4;
        case DRIVE_RAMDISK: return 6;
        default: return 0;
    }
}
