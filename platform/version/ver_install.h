// The version-checking installer calls: VerFindFileA and VerInstallFileA over DOS paths,
// comparing the stamps of platform/version/version_stamp.h.
#pragma once

#include <filesystem>

#include "platform/core/wintypes.h"

enum : DWORD { VFFF_ISSHAREDFILE = 0x0001 };
enum : DWORD { VFF_CURNEDEST = 0x0001, VFF_FILEINUSE = 0x0002, VFF_BUFFTOOSMALL = 0x0004 };
enum : DWORD { VIFF_FORCEINSTALL = 0x0001, VIFF_DONTDELETEOLD = 0x0002 };
enum : DWORD {
    VIF_TEMPFILE = 0x00000001,
    VIF_MISMATCH = 0x00000002,
    VIF_SRCOLD = 0x00000004,
    VIF_DIFFLANG = 0x00000008,
    VIF_DIFFCODEPG = 0x00000010,
    VIF_DIFFTYPE = 0x00000020,
    VIF_WRITEPROT = 0x00000040,
    VIF_FILEINUSE = 0x00000080,
    VIF_OUTOFSPACE = 0x00000100,
    VIF_ACCESSVIOLATION = 0x00000200,
    VIF_SHARINGVIOLATION = 0x00000400,
    VIF_CANNOTCREATE = 0x00000800,
    VIF_CANNOTDELETE = 0x00001000,
    VIF_CANNOTRENAME = 0x00002000,
    VIF_CANNOTDELETECUR = 0x00004000,
    VIF_OUTOFMEMORY = 0x00008000,
    VIF_CANNOTREADSRC = 0x00010000,
    VIF_CANNOTREADDST = 0x00020000,
    VIF_BUFFTOOSMALL = 0x00040000,
};

// Where a file should go: the current folder is where fileName exists now (appDir, then for
// a shared file the system and Windows folders; empty when nowhere), the destination is
// always appDir. VFF_CURNEDEST when they differ, VFF_FILEINUSE when the current file is the
// program of a running process, VFF_BUFFTOOSMALL (lengths set to what is needed) when a
// buffer is short.
DWORD VerFindFileA(DWORD flags, LPCSTR fileName, LPCSTR winDir, LPCSTR appDir, LPSTR curDir, UINT* curDirLen,
                   LPSTR destDir, UINT* destDirLen);

// Copies srcDir\srcName to a temporary file in destDir (permission bits kept), compares its
// stamp with the current file's (curDir\destName, else destDir\destName) and renames it over
// destDir\destName. Returns 0 when installed, else the VIF_ bits; with VIF_TEMPFILE the copy
// stays and tmpFile holds its full DOS path (whatever tmpFile held on entry).
DWORD VerInstallFileA(DWORD flags, LPCSTR srcName, LPCSTR destName, LPCSTR srcDir, LPCSTR destDir, LPCSTR curDir,
                      LPSTR tmpFile, UINT* tmpFileLen);

namespace plat {

// Forced answers for tests of the callers: a non-zero installResult is returned by every
// VerInstallFileA (with VIF_TEMPFILE a temporary copy is made and named as usual);
// fileInUse makes VerFindFileA answer VFF_FILEINUSE.
struct VersionFaults {
    DWORD installResult = 0;
    bool fileInUse = false;
};
void SetVersionFaults(const VersionFaults& faults);
void ClearVersionFaults();

// Whether a host file is the program of a running process (one this user may see).
bool IsRunningProgram(const std::filesystem::path& host);

}  // namespace plat
