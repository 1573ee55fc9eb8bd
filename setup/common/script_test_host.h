// A script host for the tests of this folder: a given command line and program path, messages
// kept, and the fatal stop thrown so that a test sees it and the process goes on.
#pragma once

#include <string>
#include <vector>

#include "platform/strings/cp1252.h"
#include "setup/common/script_host.h"

namespace setup {

struct ScriptStop {
    std::string text;
};
// The program ended without a message (EndProgram).
struct ScriptEnd {};

class CTestScriptHost : public CScriptHost {
public:
    std::string CommandTail() override { return tail; }
    std::string ModuleFileName() override { return module; }
    // Each message takes the next of `answers`, then 1 (OK).
    int ShowSetupMessage(int kind, const std::string& text, UINT) override {
        messages.push_back(std::to_string(kind) + ":" + text);
        return answered < answers.size() ? answers[answered++] : 1;
    }
    void FatalStop(const std::string& text) override { throw ScriptStop{text}; }
    void EndProgram() override { throw ScriptEnd{}; }

    std::string tail;
    std::string module = "C:\\SETWELL.EXE";
    std::vector<std::string> messages;
    std::vector<int> answers;
    size_t answered = 0;
};

// The Windows-1252 text of a message as the tests write it (UTF-8).
inline std::string Cp(std::u8string_view utf8) {
    return plat::Utf8ToCp1252(std::string_view(reinterpret_cast<const char*>(utf8.data()), utf8.size()));
}

}  // namespace setup
