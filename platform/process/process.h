// Programs starting programs: CreateProcessA, WinExec, exit codes, the command line,
// ExitProcess, and the privilege calls a restart asks for.
//
// A child started here is a host executable (ELF or a script with "#!") found through the
// DOS path namespace. It gets the parent's environment with the drive map in use (ZELBO_ROOT,
// ZELBO_CDROM) and without the parent's script and recording (ZELBO_SCRIPT, ZELBO_RECORD); a test gives children
// a script of their own with ZELBO_CHILD_SCRIPT, which becomes their ZELBO_SCRIPT. A child
// that is one of our programs sees exactly the command line it was given (GetCommandLineA)
// and hands its parent the whole 32-bit exit code of ExitProcess.
#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/wintypes.h"
#include "platform/fs/handles.h"
#include "platform/fs/winfile.h"

struct STARTUPINFOA {
    DWORD cb = 0;
    LPSTR lpReserved = nullptr;
    LPSTR lpDesktop = nullptr;
    LPSTR lpTitle = nullptr;
    DWORD dwX = 0, dwY = 0, dwXSize = 0, dwYSize = 0;
    DWORD dwXCountChars = 0, dwYCountChars = 0, dwFillAttribute = 0;
    DWORD dwFlags = 0;
    WORD wShowWindow = 0;
    WORD cbReserved2 = 0;
    BYTE* lpReserved2 = nullptr;
    HANDLE hStdInput = nullptr, hStdOutput = nullptr, hStdError = nullptr;
};
using LPSTARTUPINFOA = STARTUPINFOA*;

struct PROCESS_INFORMATION {
    HANDLE hProcess = nullptr;
    HANDLE hThread = nullptr;
    DWORD dwProcessId = 0;
    DWORD dwThreadId = 0;
};
using LPPROCESS_INFORMATION = PROCESS_INFORMATION*;

enum : DWORD { STILL_ACTIVE = 259 };
enum : DWORD { ERROR_BAD_EXE_FORMAT = 193, ERROR_NOT_ALL_ASSIGNED = 1300 };

// Starts a program. Without an application name the program is the command line's first
// part, split the Windows way: a quoted name, else the shortest leading run of words that
// names an existing file ("C:\Program Files\X\Y.EXE a" tries "C:\Program", then
// "C:\Program Files\X\Y.EXE"); ".EXE" is added to a name without an extension (and the name
// as given is tried next, for host programs, which have none); a bare name
// is looked for in the program's folder, the current folder, the system and Windows folders.
// With an application name, that file as named. Errors: ERROR_FILE_NOT_FOUND,
// ERROR_PATH_NOT_FOUND, ERROR_BAD_EXE_FORMAT (a file the host cannot run), ERROR_DIRECTORY
// (a current folder that is not one). The child starts in currentDirectory, else in the
// caller's current folder. environment, when given, is a block of "NAME=value\0...\0\0"
// that replaces the inherited one. Flags and start-up information are accepted and ignored.
BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES processAttributes,
                    LPSECURITY_ATTRIBUTES threadAttributes, BOOL inheritHandles, DWORD creationFlags,
                    LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA startupInfo,
                    LPPROCESS_INFORMATION processInformation);
// CreateProcessA without an application name; > 31 on success, else 2 (file not found),
// 3 (path not found), 11 (not a program), 5 (access denied) or 0.
UINT WinExec(LPCSTR commandLine, UINT showCommand);
// STILL_ACTIVE while the process runs; a process killed by signal n ends with 128 + n.
BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode);
// A pseudo handle of the calling process ((HANDLE)-1); waits on it never end.
HANDLE GetCurrentProcess();
DWORD GetCurrentProcessId();

// The program's command line, Windows-1252: in a child started by CreateProcessA exactly the
// line it was given; otherwise the program's DOS path and its arguments joined the Windows
// way (each quoted when it holds a blank, a tab or a quote).
LPSTR GetCommandLineA();
inline LPSTR GetCommandLine() { return GetCommandLineA(); }

// Ends the program at once: the platform's window list goes and its named semaphores are
// released (the lock files of the last holder removed); a parent of ours receives the whole
// 32-bit code. Static destructors and atexit functions do not run; stdio is flushed.
[[noreturn]] void ExitProcess(UINT exitCode);

// Privileges: every call succeeds with last error 0.
struct LUID {
    DWORD LowPart = 0;
    LONG HighPart = 0;
};
struct LUID_AND_ATTRIBUTES {
    LUID Luid;
    DWORD Attributes = 0;
};
struct TOKEN_PRIVILEGES {
    DWORD PrivilegeCount = 0;
    LUID_AND_ATTRIBUTES Privileges[1];
};
enum : DWORD { TOKEN_ADJUST_PRIVILEGES = 0x0020, TOKEN_QUERY = 0x0008, SE_PRIVILEGE_ENABLED = 0x00000002 };
inline constexpr char SE_SHUTDOWN_NAME[] = "SeShutdownPrivilege";
BOOL OpenProcessToken(HANDLE process, DWORD desiredAccess, HANDLE* token);
BOOL LookupPrivilegeValueA(LPCSTR systemName, LPCSTR name, LUID* luid);
BOOL AdjustTokenPrivileges(HANDLE token, BOOL disableAll, TOKEN_PRIVILEGES* newState, DWORD bufferLength,
                           TOKEN_PRIVILEGES* previousState, DWORD* returnLength);

enum : UINT { EWX_LOGOFF = 0, EWX_SHUTDOWN = 1, EWX_REBOOT = 2, EWX_FORCE = 4, EWX_POWEROFF = 8 };
// Restarts "Windows" for the installation, never the host: posts WM_CLOSE to the top-level
// windows of the installation's other programs, waits up to 10 s for them to end, applies
// the [rename] section of C:\WINDOWS\WinInit.ini and ends the caller (ExitProcess(0)).
BOOL ExitWindowsEx(UINT flags, DWORD reserved);

namespace plat {

// The next start of Windows: the [rename] lines of C:\WINDOWS\WinInit.ini in file order
// ("NUL=x" deletes x, "t=s" moves s over t); a line that fails is reported on stderr and
// dropped. Every [rename] section goes, and the file once nothing else is left. Runs under
// the lock the profile calls take on the Windows folder. Returns the lines applied.
int ApplyPendingRenames();
// Applies the step once when the host's boot id (ZELBO_BOOT_ID overrides it, for tests)
// differs from the one the installation last saw (C:\WINDOWS\RUNTIME\boot-id), under a lock
// on the runtime folder, so that of programs starting together one applies it. True when
// this call applied it. InitPlatform calls it.
bool StartOfWindowsIfRebooted();
// Whether StartOfWindowsIfRebooted applied the step in this program.
bool StartOfWindowsRanAtStart();
std::string HostBootId();

// The DOS path of the program a command line starts when CreateProcessA gets no application
// name, found the same way; empty, with the last error set, when no program is found.
std::string FindProgramOfCommandLine(std::string_view commandLine);
// Whether a process with this id runs now (a program that ended long ago may have left files
// named by its id).
bool ProcessIsRunning(DWORD processId);

// Confinement of writes (the kernel's Landlock rules, where offered). Once confined, this
// program and every program it starts afterwards may create, change, rename or remove files
// only under the given folders (and write /dev/null); reading and running stay allowed
// everywhere. It cannot be undone.
enum class ConfineResult { Confined, NotOffered, Failed };
ConfineResult ConfineWritesTo(const std::vector<std::filesystem::path>& folders, std::string* why = nullptr);
// Whether this kernel offers the confinement.
bool WriteConfinementOffered();

// Thrown by ExitProcess instead of ending the program while exits are caught (tests).
class ProcessExit : public std::runtime_error {
public:
    explicit ProcessExit(UINT code) : std::runtime_error("ExitProcess"), code(code) {}
    UINT code;
};
// While set, ExitProcess releases what it releases and then throws ProcessExit.
void SetExitProcessThrows(bool throws);

// The part of a command line after the program's name, as given (quotes kept): what WinMain
// and CWinApp::m_lpCmdLine receive. A quoted name ends at its closing quote, an unquoted one
// at the first blank or tab; the blanks after it are skipped.
std::string CommandLineTail(std::string_view line);
// The Windows rules of splitting a command line into arguments, and of joining them back.
std::vector<std::string> SplitCommandLine(std::string_view line);
std::string JoinCommandLine(const std::vector<std::string>& args);
// Replaces GetCommandLineA's answer (tests of the class library's start-up).
void SetCommandLineForTests(const std::string& line);

}  // namespace plat
