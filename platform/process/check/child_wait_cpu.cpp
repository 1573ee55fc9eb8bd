// Measures what waiting for a child costs: starts itself as a child that sleeps, waits for it
// with MsgWaitForMultipleObjects as a setup program does (messages pumped), and prints the
// CPU time it used. scripts/measure-child-wait runs it.
//   platform_process_child_wait_cpu [milliseconds, default 10000]
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "platform/backends/init.h"
#include "platform/core/winuser.h"
#include "platform/fs/winfile.h"
#include "platform/process/process.h"

namespace {

double CpuSeconds() {
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

}  // namespace

int main() {
    const std::string tail = plat::CommandLineTail(GetCommandLineA());
    if (tail.rfind("child ", 0) == 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::atoi(tail.c_str() + 6)));
        ExitProcess(0);
    }
    const int ms = tail.empty() ? 10000 : std::atoi(tail.c_str());
    std::string error;
    if (!plat::InitPlatform(&error)) {
        std::fprintf(stderr, "child_wait_cpu: %s\n", error.c_str());
        return 1;
    }
    char self[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string line = "\"" + std::string(self) + "\" child " + std::to_string(ms);
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &pi)) {
        std::fprintf(stderr, "child_wait_cpu: cannot start the child (%u)\n", GetLastError());
        return 1;
    }
    const double cpu0 = CpuSeconds();
    const auto t0 = std::chrono::steady_clock::now();
    unsigned wakeups = 0;
    while (MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, INFINITE, QS_ALLINPUT) == WAIT_OBJECT_0 + 1) {
        ++wakeups;
        MSG m;
        while (PeekMessage(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessage(&m);
    }
    const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
    const double cpu = CpuSeconds() - cpu0;
    std::printf("waited %.2f s, CPU %.3f s = %.2f %% of a core, %u message wake-ups\n", wall, cpu,
                100.0 * cpu / wall, wakeups);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}
