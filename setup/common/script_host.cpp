#include "setup/common/script_host.h"

#include "platform/afx/message_box.h"
#include "platform/fs/winfile.h"
#include "platform/process/process.h"

namespace setup {

std::string CScriptHost::CommandTail() { return plat::CommandLineTail(GetCommandLineA()); }

std::string CScriptHost::ModuleFileName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, sizeof path);
    return path;
}

int CScriptHost::ShowSetupMessage(int kind, const std::string& text, UINT flags) {
    if (kind == 2) flags |= MB_ICONHAND;
    return AfxMessageBox(text.c_str(), flags);
}

void CScriptHost::FatalStop(const std::string& text) {
    ShowSetupMessage(2, text, MB_ICONHAND);
    ExitProcess(0);
}

void CScriptHost::EndProgram() { ExitProcess(0); }

CScriptHost& DefaultScriptHost() {
    static CScriptHost host;
    return host;
}

}  // namespace setup
