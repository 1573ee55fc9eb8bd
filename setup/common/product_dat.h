// The script engine of the setup and removal programs. A product's script, "Product.Dat", is
// a text file of statements, each a key from the program's key table followed by its value
// and ended by ';'. The engine finds the script, copies it to the temporary folder, and reads
// the copy in passes: each statement is matched against the key table, its value trimmed and
// its placeholders expanded, and its handler run at once when the statement belongs to the
// pass. Pass 0 (header) runs only header statements and ends at WelcomeDialog; pass 1
// (install, or removal) and pass 2 (over-install) read the whole script and run everything.
//
// A statement holds at most 1,023 bytes after its lines are joined and after expansion; a
// longer one, a NUL byte in the script, or a read error stops the program with 59209 through
// the host's FatalStop (which never returns).
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/wintypes.h"
#include "setup/common/script_host.h"
#include "setup/common/script_source.h"
#include "setup/common/script_values.h"
#include "setup/common/statement_handlers.h"
#include "setup/common/statement_keys.h"

namespace setup {

// The statement buffer, terminator included.
inline constexpr size_t kStatementBufferSize = 1024;
inline constexpr size_t kMaxStatementLength = kStatementBufferSize - 1;

inline constexpr int kHeaderPass = 0;
inline constexpr int kInstallPass = 1;  // the removal pass in the removal program
inline constexpr int kOverInstallPass = 2;

// Where the setup program takes its script from.
struct SetupScriptPlace {
    std::string setupDir;
    std::string sourceDrive;  // two characters, upper-cased
    std::vector<std::string> candidates;  // in the order they are tried
};
// The setup directory is the command-line tail when one is given unquoted, else the program's
// folder cut before its rightmost "\KELVAT" (any case).
SetupScriptPlace PlaceOfSetupScript(std::string_view commandTail, std::string_view modulePath);
// The temporary copy of the script a program with this process id makes: "PDT<id>.TMP".
std::string ScriptCopyName(DWORD processId);
// Deletes the copies in the folder left by runs that no longer run (killed midway).
void RemoveStaleScriptCopies(const std::string& tempDir);

// The removal program's folder: the tail must begin and end with a double quote.
std::optional<std::string> RemovalScriptFolder(std::string_view commandTail);

class CProductDat {
public:
    explicit CProductDat(CScriptHost& host = DefaultScriptHost(), CStatementActions* actions = nullptr);
    ~CProductDat();  // closes the open copy (it stays on disk)
    CProductDat(const CProductDat&) = delete;
    CProductDat& operator=(const CProductDat&) = delete;

    ScriptValues& Values() { return m_values; }
    const ScriptValues& Values() const { return m_values; }
    CScriptHost& Host() { return m_host; }
    CStatementActions& Actions() { return *m_actions; }

    // The setup program's passes; nonzero on success. Pass 0 first finds and copies the script.
    int ProcessProductDat(int pass);
    // The removal program's passes; pass 0 takes the folder from the quoted command line.
    int ProcessProductDatForRemoval(int pass);

    // Reads the next statement into `statement`; nonzero when one was read, 0 at the end.
    int ReadStatement(std::string& statement);
    // Match, expand and (when the statement belongs to the pass) run; the row's action id, or
    // -1 when no key matches.
    int DispatchStatement(std::string& statement, int pass);
    int DispatchRemovalStatement(std::string& statement, int pass);
    // Expands the 15 placeholders in order, each with the value it has now. The result must
    // fit in `room` bytes.
    void ExpandPlaceholders(std::string& value, size_t room = kMaxStatementLength);

    // Whether the header pass met everything a script must have before it ends: ProductName,
    // UninstallVersionZelbo and the WelcomeDialog statement. A script without them (empty,
    // garbage, comments only, cut short) is no product's script.
    bool HeaderComplete() const;
    // The removal program reads this file instead of "<folder>\Product.Dat" (a removal taken
    // up again reads the copy its record keeps); the install folder is still the folder's parent.
    void UseRemovalScriptAt(std::string file) { m_removalScriptOverride = std::move(file); }

    // Closes the open copy, makes it a normal file and deletes it; nothing when none is open.
    // Returns 1.
    int CloseTempProductDat();
    bool IsOpen() const { return m_source != nullptr; }
    const std::string& CopyPath() const { return m_copyPath; }

    // Reads the script from memory instead of a copy on disk (tests, fuzzing); pass 0 then
    // runs over it without looking for a file.
    void UseScriptText(std::string text);
    void UseScriptSource(std::unique_ptr<CScriptSource> source);

    // Formats the message (%1, %2) and hands it to the host's FatalStop.
    [[noreturn]] void FatalStop(UINT id, const char* s1 = nullptr, const char* s2 = nullptr);
    int ShowSetupMessage(int kind, UINT id, const char* s1, UINT flags);

private:
    int RunPass(ScriptProgram program, int pass);
    int Dispatch(ScriptProgram program, std::string& statement, int pass);
    bool LocateAndOpenSetupScript();
    bool LocateAndOpenRemovalScript();
    bool CopyAndOpen(const std::string& found);

    CScriptHost& m_host;
    CStatementActions* m_actions;
    ScriptValues m_values;
    FILE* m_file = nullptr;
    std::string m_copyPath;
    std::unique_ptr<CScriptSource> m_source;
    bool m_fromMemory = false;
    bool m_sawWelcome = false;
    std::string m_removalScriptOverride;
};

}  // namespace setup
