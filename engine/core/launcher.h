// The child launcher's side of the game: whether the launcher runs the game (a fresh swap file
// "\ZADARO.SWP" in a drive's root), which child it has chosen, where the child's folder is and
// which children the grown-up has. The launcher writes its files; the game only reads them,
// every field bounded (names of 16 bytes need no terminator, the folder is cut at 128).
//
// The swap file: the launcher's folder (128 bytes at 0), the grown-up flag (byte 138), the
// grown-up's number (u16 at 170, 0 taken as 1), the current child (a child record at 2247).
// "ZADARO.EXE" in the launcher's folder larger than 256000 bytes means the newer launcher:
// grown-up folder "AD<n>", child list "KIDNAMES.INF" (u16 count, then records), child folders
// "KD<number>"; else the older one: "AD<n>" with the flag set, else "ADULT", "STUDENT.INF"
// (records of 2142 bytes, each starting with a child record), "ST<number>".
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/core/wintypes.h"

#pragma pack(push, 1)
struct LauncherChild {
    char firstName[16];
    char lastName[16];
    uint16_t number;
};
#pragma pack(pop)
static_assert(sizeof(LauncherChild) == 34);

inline constexpr size_t kLauncherSwapFolderOffset = 0;
inline constexpr size_t kLauncherSwapFolderSize = 128;
inline constexpr size_t kLauncherSwapAdultFlagOffset = 138;
inline constexpr size_t kLauncherSwapAdultNumberOffset = 170;
inline constexpr size_t kLauncherSwapChildOffset = 2247;
inline constexpr size_t kLauncherStudentRecordSize = 2142;
inline constexpr long kLauncherNewerExeSize = 256000;
// A swap file at most this many seconds old (and not from the future) means an active launcher.
inline constexpr int64_t kLauncherSwapFreshSeconds = 30;

// 1 and the swap file's path (cut to size - 1) when the launcher is active; 0 and an empty
// buffer otherwise.
int IsLauncherActive(char* buffer, size_t size);
// 1 and the path of the first readable "\ZADARO.SWP" in a drive's root, from the current
// drive on (A after Z), skipping drives of unknown type and removable drives other than the
// current one; 0 (buffer empty) when there is none. buffer holds MAX_PATH bytes.
int FindLauncherSwapFile(char* buffer);

// The engine's launcher mode, decided at start-up.
uint16_t IsLauncherMode();
int32_t IsLauncherModeSet();
// The swap file found at start-up; null outside launcher mode.
const char* GetLauncherSwapPath();

// The current child's display name ("first last") and folder (made when missing, no trailing
// backslash). Either buffer may be null. 1 on success; 0 with the buffers empty when the swap
// file cannot be read or the folder does not fit, neither exists nor can be made. A name is
// cut to its buffer.
int GetLauncherUserPath(char* name, size_t nameSize, char* folder, size_t folderSize);
// The given child's folder with a trailing backslash, made when missing; 0 when it cannot be
// made or does not fit.
int GetLauncherUserPathFor(const LauncherChild& child, char* folder, size_t size);
// The number of children in the grown-up's list; -1 when it cannot be read.
int GetLauncherChildTotal();
// Zeroes the array, then fills it with the first children of the list, up to capacity.
// 1 on success, 0 on a short read.
int ReadLauncherUserList(LauncherChild* children, int capacity);

// Tests: how a drive's type is asked (null: GetDriveTypeA).
using LauncherDriveTypeQuery = UINT (*)(LPCSTR root);
LauncherDriveTypeQuery SetLauncherDriveTypeQuery(LauncherDriveTypeQuery query);
