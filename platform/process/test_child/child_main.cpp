// A child program for the process tests. Told by its environment what to do:
//   ZELBO_CHILD_SLEEP_MS   sleep that long first
//   ZELBO_CHILD_REPORT     a host file to write what it sees to, one "key=value" line each
//   ZELBO_CHILD_EXIT       end through ExitProcess with this code (may be negative)
//   ZELBO_CHILD_MODE       "window": share a top-level window titled "Second" and wait for
//                          WM_CLOSE (reported as "closed=1"); "boot": start the platform
//                          (InitPlatform) and report whether it applied the restart step
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/backends/init.h"
#include "platform/core/object_wait.h"
#include "platform/core/winuser.h"
#include "platform/fs/winfile.h"
#include "platform/headless/headless_backend.h"
#include "platform/ipc/ipc.h"
#include "platform/process/process.h"

namespace {

void Report(const std::string& line) {
    const char* path = std::getenv("ZELBO_CHILD_REPORT");
    if (!path) return;
    if (FILE* f = std::fopen(path, "ab")) {
        std::fprintf(f, "%s\n", line.c_str());
        std::fclose(f);
    }
}

LRESULT CALLBACK SecondProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        Report("closed=1");
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProc(hwnd, msg, wParam, lParam);
}

// Waits for WM_CLOSE the way a program waits for a child: in real time, woken by the post.
void RunWindow() {
    plat::InstallHeadless();
    WNDCLASS wc{};
    wc.lpfnWndProc = SecondProc;
    wc.lpszClassName = "SecondClass";
    RegisterClass(&wc);
    CreateWindowEx(0, "SecondClass", "Second", WS_OVERLAPPED | WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                   nullptr);
    plat::StartWindowSharing();
    Report("ready=1");
    HANDLE self = GetCurrentProcess();
    for (;;) {
        if (MsgWaitForMultipleObjects(1, &self, FALSE, 20000, QS_ALLINPUT) == WAIT_TIMEOUT) {
            Report("timeout=1");
            return;
        }
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) return;
            DispatchMessage(&m);
        }
    }
}

}  // namespace

int main() {
    if (const char* ms = std::getenv("ZELBO_CHILD_SLEEP_MS"))
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(ms)));
    Report(std::string("cmdline=") + GetCommandLineA());
    Report("tail=" + plat::CommandLineTail(GetCommandLineA()));
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    Report(std::string("module=") + module);
    const char* script = std::getenv("ZELBO_SCRIPT");
    Report(std::string("script=") + (script ? script : "-"));
    const char* record = std::getenv("ZELBO_RECORD");
    Report(std::string("record=") + (record ? record : "-"));
    char cwd[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, cwd);
    Report(std::string("cwd=") + cwd);
    const char* mode = std::getenv("ZELBO_CHILD_MODE");
    if (mode && std::string(mode) == "boot") {
        std::string error;
        if (!plat::InitPlatform(&error)) Report("error=" + error);
        Report(std::string("applied=") + (plat::StartOfWindowsRanAtStart() ? "1" : "0"));
    }
    if (mode && std::string(mode) == "window") {
        RunWindow();
        plat::StopWindowSharing();
    }
    if (const char* code = std::getenv("ZELBO_CHILD_EXIT")) ExitProcess(static_cast<UINT>(std::strtoll(code, nullptr, 10)));
    return 0;
}
