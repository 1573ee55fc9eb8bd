#include "setup/common/program_run.h"

#include <cstdlib>
#include <vector>

#include "platform/afx/afx_string.h"
#include "platform/afx/message_box.h"
#include "platform/core/object_wait.h"
#include "platform/core/winuser.h"
#include "platform/fs/dospath.h"
#include "platform/fs/handles.h"
#include "platform/process/process.h"
#include "setup/common/product_dat.h"
#include "setup/common/script_strings.h"
#include "setup/common/script_text.h"

namespace setup {

namespace {

// Handles every message waiting now; a quit request is kept for after the wait.
void PumpPending(bool& quit, WPARAM& quitCode) {
    MSG msg;
    while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            quitCode = msg.wParam;
            continue;
        }
        TranslateMessage(&msg);
        DispatchMessage(&msg);
    }
}

bool OnDrive(const std::optional<std::string>& full, bool cdAllowed) {
    if (!full || full->size() < 3 || (*full)[1] != ':') return false;
    const char letter = static_cast<char>((*full)[0] & ~0x20);
    return letter == 'C' || (cdAllowed && plat::GetDriveKind(letter) == plat::DriveKind::Cdrom);
}

}  // namespace

bool IsOnInstallOrCdDrive(const std::string& path) {
    return OnDrive(plat::FullDosPath(path), true) && OnDrive(plat::RealDosPath(path), true);
}

std::optional<std::string> RequireProgramOnInstallOrCd(CProductDat& script, const std::string& commandLine) {
    const std::string program = plat::FindProgramOfCommandLine(commandLine);
    if (program.empty()) return std::nullopt;
    const std::optional<std::string> real = plat::RealDosPath(program);
    if (!IsOnInstallOrCdDrive(program) || !real) script.FatalStop(kIdsCannotReadScript);
    return real;
}

std::optional<DWORD> RunProgram(CProductDat& script, const std::string& commandLine, CRunObserver* observer) {
    if (commandLine.empty()) return std::nullopt;
    const std::optional<std::string> program = RequireProgramOnInstallOrCd(script, commandLine);
    if (observer) observer->BeforeRun();
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION info{};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    // The file that was checked is the one started, whatever the line's words find later; no
    // program found is none started.
    if (!program ||
        !CreateProcessA(program->c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
        script.ShowSetupMessage(1, kIdsCannotStartProgram, commandLine.c_str(), 0);
        if (observer) observer->AfterRun();
        return std::nullopt;
    }
    // Sleeps until the program ends or a message arrives; never polls.
    bool quit = false;
    WPARAM quitCode = 0;
    PumpPending(quit, quitCode);
    for (;;) {
        const DWORD woke = MsgWaitForMultipleObjects(1, &info.hProcess, FALSE, INFINITE, QS_ALLINPUT);
        if (woke != WAIT_OBJECT_0 + 1) break;  // ended, or the handle cannot be waited on
        PumpPending(quit, quitCode);
    }
    DWORD code = 0;
    if (!GetExitCodeProcess(info.hProcess, &code)) code = 0;
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
    if (quit) PostQuitMessage(static_cast<int>(quitCode));
    if (observer) observer->AfterRun();
    return code;
}

void RunProgramWithPrompt(CProductDat& script, const std::string& message, const std::string& exitCodeField,
                          const std::string& commandLine, CRunObserver* observer) {
    const std::optional<DWORD> code = RunProgram(script, commandLine, observer);
    if (!code || static_cast<int>(*code) != std::atoi(exitCodeField.c_str())) return;
    std::string text = message;
    StripQuotes(text);
    CString more;
    more.LoadString(kIdsContinueQuestion);
    text += more.Str();
    if (script.Host().ShowSetupMessage(0, text, MB_YESNO | MB_ICONQUESTION) != IDYES) {
        script.CloseTempProductDat();
        script.Host().EndProgram();
    }
}

}  // namespace setup
