// Child processes: started with posix_spawn, watched by one thread each that blocks in
// waitpid and then wakes every wait (nothing polls).
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <thread>

#include "platform/core/object_wait.h"
#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "platform/ipc/ipc.h"
#include "platform/process/process.h"
#include "platform/process/process_internal.h"
#include "platform/strings/cp1252.h"

extern char** environ;

namespace plat {
namespace {

HANDLE const kCurrentProcess = reinterpret_cast<HANDLE>(static_cast<intptr_t>(-1));

class CProcess : public CKernelObject {
public:
    explicit CProcess(pid_t pid) : pid(pid) {}
    const pid_t pid;

    void Finish(DWORD code) {
        {
            std::lock_guard lock(m_mu);
            m_code = code;
            m_ended = true;
        }
        ObjectSignalled();
    }
    bool Ended(DWORD* code) {
        std::lock_guard lock(m_mu);
        if (m_ended && code) *code = m_code;
        return m_ended;
    }

private:
    std::mutex m_mu;
    bool m_ended = false;
    DWORD m_code = 0;
};

// The thread handle CreateProcessA also gives; it only has to close.
class CThreadHandle : public CKernelObject {};

class CProcessObjects : public IWaitableObjects {
public:
    int State(HANDLE handle) override {
        if (handle == kCurrentProcess) return 0;
        auto p = LookupHandleAs<CProcess>(handle);
        if (!p) return -1;
        return p->Ended(nullptr) ? 1 : 0;
    }
};

CProcessObjects g_objects;
std::atomic<bool> g_exitThrows{false};

void Watch(std::shared_ptr<CProcess> process, int codePipe) {
    int status = 0;
    while (::waitpid(process->pid, &status, 0) < 0 && errno == EINTR) {
    }
    DWORD code = 0;
    uint32_t whole = 0;
    // The pipe never blocks: a grandchild may still hold its writing end.
    if (::read(codePipe, &whole, sizeof whole) == static_cast<ssize_t>(sizeof whole))
        code = whole;
    else if (WIFEXITED(status))
        code = static_cast<DWORD>(WEXITSTATUS(status));
    else if (WIFSIGNALED(status))
        code = 128u + static_cast<DWORD>(WTERMSIG(status));
    ::close(codePipe);
    process->Finish(code);
}

bool HasExtension(const std::string& dos) {
    const size_t slash = dos.find_last_of("\\/:");
    const size_t dot = dos.rfind('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash);
}

bool IsFile(const std::string& dos) {
    const DWORD a = GetFileAttributesA(dos.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

std::string FolderOfModule() {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string s = module;
    const size_t slash = s.rfind('\\');
    return slash == std::string::npos ? std::string() : s.substr(0, slash);
}

// The DOS path of an existing program for a name, or empty with the last error set.
std::string FindProgram(const std::string& name, bool addExtension) {
    // ".EXE" is added to a name without an extension; the bare name is tried after it, for
    // the host's programs, which have none.
    std::vector<std::string> files{name};
    if (addExtension && !HasExtension(name)) files.insert(files.begin(), name + ".EXE");
    std::vector<std::string> tries;
    if (name.find_first_of("\\/:") == std::string::npos) {
        char sys[MAX_PATH] = {}, win[MAX_PATH] = {};
        GetSystemDirectoryA(sys, MAX_PATH);
        GetWindowsDirectoryA(win, MAX_PATH);
        for (const std::string& dir : {FolderOfModule(), CurrentDosDirectory(), std::string(sys), std::string(win)})
            for (const std::string& file : files)
                if (!dir.empty()) tries.push_back(dir + (dir.back() == '\\' ? "" : "\\") + file);
    } else {
        tries = files;
    }
    for (const std::string& t : tries)
        if (IsFile(t)) return t;
    // Why the first place failed: its folder missing, or only the file.
    const DWORD a = GetFileAttributesA(tries.front().c_str());
    const DWORD error = GetLastError();
    SetLastError(a != INVALID_FILE_ATTRIBUTES ? ERROR_FILE_NOT_FOUND  // a folder of that name
                 : error == ERROR_PATH_NOT_FOUND ? ERROR_PATH_NOT_FOUND
                                                 : ERROR_FILE_NOT_FOUND);
    return {};
}

// The program a command line starts when no application name is given.
std::string ProgramOfCommandLine(const std::string& line) {
    size_t start = 0;
    while (start < line.size() && (line[start] == ' ' || line[start] == '\t')) ++start;
    if (start < line.size() && line[start] == '"') {
        const size_t close = line.find('"', start + 1);
        return FindProgram(line.substr(start + 1, close == std::string::npos ? std::string::npos : close - start - 1), true);
    }
    // Ever longer runs of words: "C:\Program Files\X.EXE" unquoted finds the file with the blank.
    DWORD firstError = 0;
    size_t end = start;
    while (end < line.size()) {
        end = line.find_first_of(" \t", end + 1);
        if (end == std::string::npos) end = line.size();
        const std::string found = FindProgram(line.substr(start, end - start), true);
        if (!found.empty()) return found;
        if (firstError == 0) firstError = GetLastError();
    }
    SetLastError(firstError ? firstError : ERROR_FILE_NOT_FOUND);
    return {};
}

std::string VariableName(const std::string& entry) { return entry.substr(0, entry.find('=')); }

std::vector<std::string> ChildEnvironment(LPVOID block, const std::string& line, int codePipe) {
    std::vector<std::string> env;
    if (block) {
        for (const char* p = static_cast<const char*>(block); *p; p += std::strlen(p) + 1) env.emplace_back(p);
    } else {
        for (char** e = environ; e && *e; ++e) env.emplace_back(*e);
    }
    std::string childScript;
    if (const char* s = std::getenv("ZELBO_CHILD_SCRIPT")) childScript = s;
    std::erase_if(env, [](const std::string& e) {
        const std::string n = VariableName(e);
        return n == "ZELBO_ROOT" || n == "ZELBO_CDROM" || n == "ZELBO_SCRIPT" || n == "ZELBO_CHILD_SCRIPT" || n == "ZELBO_RECORD" ||
               n == kCommandLineVar || n == kExitFdVar;
    });
    env.push_back("ZELBO_ROOT=" + EmulatedRoot().string());
    std::string cds;
    for (char d = 'D'; d <= 'Y' && GetDriveKind(d) == DriveKind::Cdrom; ++d) {
        if (!cds.empty()) cds += ':';
        cds += DriveRoot(d)->string();
    }
    env.push_back("ZELBO_CDROM=" + cds);
    if (!childScript.empty()) env.push_back("ZELBO_SCRIPT=" + childScript);
    const std::string pid = std::to_string(::getpid());
    env.push_back(std::string(kCommandLineVar) + "=" + pid + ":" + line);
    env.push_back(std::string(kExitFdVar) + "=" + pid + ":" + std::to_string(codePipe));
    return env;
}

DWORD SpawnError(int err) {
    switch (err) {
        case ENOENT: return ERROR_FILE_NOT_FOUND;
        case ENOTDIR: return ERROR_PATH_NOT_FOUND;
        case ENOEXEC:
        case EACCES:
        case EPERM:
        case ELIBBAD:
        case ETXTBSY: return ERROR_BAD_EXE_FORMAT;
        case ENOMEM:
        case EAGAIN: return ERROR_NOT_ENOUGH_MEMORY;
        default: return ERROR_BAD_EXE_FORMAT;
    }
}

}  // namespace

void SetExitProcessThrows(bool throws) { g_exitThrows = throws; }

std::string FindProgramOfCommandLine(std::string_view commandLine) {
    return ProgramOfCommandLine(std::string(commandLine));
}

bool ProcessIsRunning(DWORD processId) {
    if (processId == 0 || processId > static_cast<DWORD>(INT32_MAX)) return false;
    return ::kill(static_cast<pid_t>(processId), 0) == 0 || errno == EPERM;
}

}  // namespace plat

BOOL CreateProcessA(LPCSTR applicationName, LPSTR commandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES, BOOL,
                    DWORD, LPVOID environment, LPCSTR currentDirectory, LPSTARTUPINFOA,
                    LPPROCESS_INFORMATION info) {
    using namespace plat;
    if (!applicationName && !commandLine) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const std::string line = commandLine ? commandLine : applicationName;
    const std::string program = applicationName ? FindProgram(applicationName, false) : ProgramOfCommandLine(line);
    if (program.empty()) return FALSE;
    const auto host = ResolveDosPath(program);
    struct stat st {};
    if (!host || ::stat(host->c_str(), &st) != 0) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    if (!S_ISREG(st.st_mode) || !(st.st_mode & (S_IXUSR | S_IXGRP | S_IXOTH))) {
        SetLastError(ERROR_BAD_EXE_FORMAT);
        return FALSE;
    }
    std::string folder;
    if (currentDirectory && *currentDirectory) {
        const auto dir = ResolveDosPath(currentDirectory);
        if (!dir || !std::filesystem::is_directory(*dir)) {
            SetLastError(ERROR_DIRECTORY);
            return FALSE;
        }
        folder = dir->string();
    } else if (const auto dir = ResolveDosPath(CurrentDosDirectory())) {
        folder = dir->string();
    }

    int pipeFds[2];
    if (::pipe2(pipeFds, O_CLOEXEC) != 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    ::fcntl(pipeFds[0], F_SETFL, O_NONBLOCK);
    // The child keeps the writing end through exec; only it is handed on.
    ::fcntl(pipeFds[1], F_SETFD, 0);

    std::vector<std::string> env = ChildEnvironment(environment, line, pipeFds[1]);
    std::vector<std::string> args{host->string()};
    const std::vector<std::string> rest = SplitCommandLine(CommandLineTail(line));
    args.insert(args.end(), rest.begin(), rest.end());
    std::vector<char*> argv, envp;
    for (std::string& a : args) argv.push_back(a.data());
    argv.push_back(nullptr);
    for (std::string& e : env) envp.push_back(e.data());
    envp.push_back(nullptr);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (!folder.empty()) posix_spawn_file_actions_addchdir_np(&actions, folder.c_str());
    pid_t pid = 0;
    const int err = posix_spawn(&pid, host->c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    ::close(pipeFds[1]);
    if (err != 0) {
        ::close(pipeFds[0]);
        SetLastError(SpawnError(err));
        return FALSE;
    }
    auto process = std::make_shared<CProcess>(pid);
    SetWaitableObjects(&g_objects);
    HANDLE handle = AllocHandle(process);
    std::thread(Watch, process, pipeFds[0]).detach();
    if (info) {
        info->hProcess = handle;
        info->hThread = AllocHandle(std::make_shared<CThreadHandle>());
        info->dwProcessId = static_cast<DWORD>(pid);
        info->dwThreadId = static_cast<DWORD>(pid);
    } else {
        CloseHandle(handle);
    }
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

UINT WinExec(LPCSTR commandLine, UINT) {
    if (!commandLine) return 0;
    std::string line = commandLine;
    PROCESS_INFORMATION info;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info)) {
        switch (GetLastError()) {
            case ERROR_FILE_NOT_FOUND: return 2;
            case ERROR_PATH_NOT_FOUND: return 3;
            case ERROR_ACCESS_DENIED: return 5;
            case ERROR_BAD_EXE_FORMAT: return 11;
            default: return 0;
        }
    }
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    return 33;
}

BOOL GetExitCodeProcess(HANDLE process, DWORD* exitCode) {
    if (process == plat::kCurrentProcess) {
        if (exitCode) *exitCode = STILL_ACTIVE;
        return TRUE;
    }
    auto p = plat::LookupHandleAs<plat::CProcess>(process);
    if (!p) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    DWORD code = 0;
    if (exitCode) *exitCode = p->Ended(&code) ? code : STILL_ACTIVE;
    return TRUE;
}

HANDLE GetCurrentProcess() {
    plat::SetWaitableObjects(&plat::g_objects);
    return plat::kCurrentProcess;
}

DWORD GetCurrentProcessId() { return static_cast<DWORD>(::getpid()); }

void ExitProcess(UINT exitCode) {
    plat::StopWindowSharing();
    plat::ReleaseNamedSemaphores();
    if (plat::g_exitThrows) throw plat::ProcessExit(exitCode);
    const int pipe = plat::ExitCodePipe();
    if (pipe >= 0) {
        const uint32_t whole = exitCode;
        [[maybe_unused]] ssize_t n = ::write(pipe, &whole, sizeof whole);
    }
    std::fflush(nullptr);
    ::_exit(static_cast<int>(exitCode & 0xFF));
}

BOOL OpenProcessToken(HANDLE, DWORD, HANDLE* token) {
    if (token) *token = plat::AllocHandle(std::make_shared<plat::CThreadHandle>());
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL LookupPrivilegeValueA(LPCSTR, LPCSTR, LUID* luid) {
    if (luid) *luid = LUID{19, 0};  // the shutdown privilege's number
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}

BOOL AdjustTokenPrivileges(HANDLE, BOOL, TOKEN_PRIVILEGES*, DWORD, TOKEN_PRIVILEGES* previous, DWORD* returnLength) {
    if (previous) *previous = TOKEN_PRIVILEGES{};
    if (returnLength) *returnLength = sizeof(TOKEN_PRIVILEGES);
    SetLastError(ERROR_SUCCESS);
    return TRUE;
}
