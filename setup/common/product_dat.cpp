#include "setup/common/product_dat.h"

#include <cstdlib>
#include <vector>

#include "platform/afx/afx_string.h"
#include "platform/afx/message_box.h"
#include "platform/afx/string_table.h"
#include "platform/fs/winfile.h"
#include "platform/process/process.h"
#include "setup/common/install_paths.h"
#include "setup/common/script_strings.h"
#include "setup/common/script_text.h"

namespace setup {

namespace {

constexpr std::string_view kScriptName = "Product.Dat";
constexpr std::string_view kKelvat = "KELVAT";

char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool StartsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (AsciiUpper(text[i]) != AsciiUpper(prefix[i])) return false;
    }
    return true;
}

struct Placeholder {
    std::string_view token;
    std::string ScriptValues::*value;
};

// Expanded in this order; a value that holds a later placeholder has it expanded too.
constexpr Placeholder kPlaceholders[] = {
    {"[InstallDir]", &ScriptValues::installDir},
    {"[SourceDrive]", &ScriptValues::sourceDrive},
    {"[WindowsDir]", &ScriptValues::windowsDir},
    {"[SystemDir]", &ScriptValues::systemDir},
    {"[TempDir]", &ScriptValues::tempDir},
    {"[ProductVersion]", &ScriptValues::productVersion},
    {"[ProductName]", &ScriptValues::productName},
    {"[ShortProductDir]", &ScriptValues::shortProductDir},
    {"[ProductDir]", &ScriptValues::productDir},
    {"[UtilityDir]", &ScriptValues::utilityDir},
    {"[ProductExe]", &ScriptValues::productExe},
    {"[UninstallExe]", &ScriptValues::uninstallExe},
    {"[FinalDlgExe]", &ScriptValues::finalDlgExe},
    {"[OnlineRegExe]", &ScriptValues::onlineRegExe},
    {"[SetupDir]", &ScriptValues::setupDir},
};

CStatementActions& NoActions() {
    static CStatementActions none;
    return none;
}

}  // namespace

SetupScriptPlace PlaceOfSetupScript(std::string_view commandTail, std::string_view modulePath) {
    SetupScriptPlace place;
    std::string driveFrom;
    if (!commandTail.empty() && commandTail.front() != '"' && commandTail.back() != '"') {
        place.setupDir = std::string(commandTail);
        StripQuotes(place.setupDir);
        driveFrom = place.setupDir;
    } else {
        std::string dir(modulePath);
        const size_t slash = dir.rfind('\\');
        if (slash != std::string::npos) dir.erase(slash);
        // The rightmost "\KELVAT", in any case: a program on the CD's Kelvat folder sets up
        // from the CD's root.
        for (size_t i = dir.size(); i-- > 0;) {
            if (dir[i] == '\\' && StartsWithNoCase(std::string_view(dir).substr(i + 1), kKelvat)) {
                dir.erase(i);
                break;
            }
        }
        place.setupDir = dir;
        driveFrom = std::string(modulePath);
    }
    place.sourceDrive = driveFrom.substr(0, 2);
    for (char& c : place.sourceDrive) c = AsciiUpper(c);
    const std::string name(kScriptName);
    place.candidates = {place.setupDir + "\\" + name, place.setupDir + "\\Kelvat\\" + name,
                        place.sourceDrive + "\\Kelvat\\" + name};
    return place;
}

std::string ScriptCopyName(DWORD processId) { return "PDT" + std::to_string(processId) + ".TMP"; }

void RemoveStaleScriptCopies(const std::string& tempDir) {
    std::string folder = tempDir;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    std::vector<std::string> stale;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\PDT*.TMP").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = found.cFileName;
        if (name.size() <= 7 || !StartsWithNoCase(name, "PDT")) continue;
        const std::string digits = name.substr(3, name.size() - 7);
        if (digits.empty() || digits.size() > 10 || digits.find_first_not_of("0123456789") != std::string::npos) continue;
        const unsigned long pid = std::strtoul(digits.c_str(), nullptr, 10);
        if (pid > 0 && pid <= 0xFFFFFFFFul && !plat::ProcessIsRunning(static_cast<DWORD>(pid)))
            stale.push_back(folder + "\\" + name);
    } while (FindNextFileA(search, &found));
    FindClose(search);
    for (const std::string& file : stale) {
        SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(file.c_str());
    }
}

std::optional<std::string> RemovalScriptFolder(std::string_view commandTail) {
    if (commandTail.empty() || commandTail.front() != '"' || commandTail.back() != '"') return std::nullopt;
    std::string folder(commandTail);
    StripQuotes(folder);
    return folder;
}

CProductDat::CProductDat(CScriptHost& host, CStatementActions* actions)
    : m_host(host), m_actions(actions ? actions : &NoActions()) {}

CProductDat::~CProductDat() {
    m_source.reset();
    if (m_file) std::fclose(m_file);
}

void CProductDat::FatalStop(UINT id, const char* s1, const char* s2) {
    CString text;
    const LPCSTR strings[] = {s1, s2};
    AfxFormatStrings(text, id, strings, 2);
    m_host.FatalStop(text.Str());
    // A host must not come back; the run cannot go on with a damaged statement.
    std::abort();
}

int CProductDat::ShowSetupMessage(int kind, UINT id, const char* s1, UINT flags) {
    CString text;
    AfxFormatString1(text, id, s1);
    return m_host.ShowSetupMessage(kind, text.Str(), flags);
}

void CProductDat::UseScriptText(std::string text) {
    UseScriptSource(std::make_unique<CMemoryScriptSource>(std::move(text)));
}

void CProductDat::UseScriptSource(std::unique_ptr<CScriptSource> source) {
    CloseTempProductDat();
    m_source = std::move(source);
    m_fromMemory = m_source != nullptr;
}

int CProductDat::CloseTempProductDat() {
    if (!m_source) return 1;
    m_source.reset();
    if (m_file) {
        std::fclose(m_file);
        m_file = nullptr;
        SetFileAttributesA(m_copyPath.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(m_copyPath.c_str());
    }
    m_fromMemory = false;
    return 1;
}

bool CProductDat::CopyAndOpen(const std::string& found) {
    CloseTempProductDat();
    // The copy goes only into the installation's own temporary folder, never through a link
    // that leads off C:.
    if (!IsOnInstallDrive(m_values.tempDir)) FatalStop(kIdsCannotReadScript);
    RemoveStaleScriptCopies(m_values.tempDir);
    // Named by this run's process id, so that the next run knows a copy whose run was killed.
    std::string folder = m_values.tempDir;
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    const std::string copy = folder + "\\" + ScriptCopyName(GetCurrentProcessId());
    m_copyPath = copy;
    if (!CopyFileA(found.c_str(), copy.c_str(), FALSE)) FatalStop(kIdsCannotCopyScript, found.c_str(), copy.c_str());
    m_file = plat::fopen_dos(copy.c_str(), "r");
    if (!m_file) {
        ShowSetupMessage(2, kIdsCannotOpenCopy, copy.c_str(), 0);
        return false;
    }
    m_source = std::make_unique<CFileScriptSource>(m_file);
    return true;
}

bool CProductDat::LocateAndOpenSetupScript() {
    const SetupScriptPlace place = PlaceOfSetupScript(m_host.CommandTail(), m_host.ModuleFileName());
    m_values.setupDir = place.setupDir;
    m_values.sourceDrive = place.sourceDrive;
    for (const std::string& candidate : place.candidates) {
        if (FileExists(candidate)) return CopyAndOpen(candidate);
    }
    FatalStop(kIdsCannotOpenScript);
}

bool CProductDat::LocateAndOpenRemovalScript() {
    const std::optional<std::string> folder = RemovalScriptFolder(m_host.CommandTail());
    if (!folder) FatalStop(kIdsUseControlPanel);
    const std::string script =
        m_removalScriptOverride.empty() ? *folder + "\\" + std::string(kScriptName) : m_removalScriptOverride;
    if (!FileExists(script)) FatalStop(kIdsCannotOpenRemovalScript, script.c_str());
    // The script lives in the installation's own folder; the product was installed beside it.
    const size_t slash = folder->rfind('\\');
    m_values.installDir = slash == std::string::npos ? *folder : folder->substr(0, slash);
    return CopyAndOpen(script);
}

int CProductDat::ProcessProductDat(int pass) {
    if (pass == kHeaderPass && !m_fromMemory && !LocateAndOpenSetupScript()) return 0;
    return RunPass(ScriptProgram::kSetwell, pass);
}

int CProductDat::ProcessProductDatForRemoval(int pass) {
    if (pass == kHeaderPass && !m_fromMemory && !LocateAndOpenRemovalScript()) return 0;
    return RunPass(ScriptProgram::kRembly, pass);
}

int CProductDat::RunPass(ScriptProgram program, int pass) {
    if (!m_source) return 0;
    if (pass != kHeaderPass) m_source->Rewind();
    if (pass == kHeaderPass) m_sawWelcome = false;
    std::string statement;
    while (ReadStatement(statement)) {
        const int id = Dispatch(program, statement, pass);
        // Header values after the welcome step are first set in pass 1 or 2.
        if (pass == kHeaderPass && id == kActWelcomeDialog) {
            m_sawWelcome = true;
            return 1;
        }
    }
    return 1;
}

bool CProductDat::HeaderComplete() const {
    return m_sawWelcome && !m_values.productName.empty() && !m_values.tallyValueName.empty();
}

int CProductDat::ReadStatement(std::string& statement) {
    statement.clear();
    if (!m_source) return 0;
    bool quoted = false;    // carried across the statement's lines
    bool comment = false;   // the rest of the physical line is a comment
    std::string line;       // this line's text from its first non-blank byte
    std::string blanks;     // white space after the last non-blank byte, kept until more text comes

    // The line's text joins the statement after one blank.
    auto endLine = [&] {
        if (!line.empty()) {
            if (!statement.empty()) statement += ' ';
            statement += line;
        }
        line.clear();
        blanks.clear();
    };
    for (;;) {
        const int c = m_source->Get();
        if (c == EOF) {
            if (m_source->Failed()) FatalStop(kIdsCannotReadScript);
            // A statement without its closing ';' is dropped.
            statement.clear();
            return 0;
        }
        if (c == '\0') FatalStop(kIdsCannotReadScript);
        const char ch = static_cast<char>(c);
        if (ch == '\n') {
            comment = false;
            endLine();
            continue;
        }
        if (comment) continue;
        if (!quoted && ch == '#') {
            comment = true;
            continue;
        }
        if (!quoted && ch == ';') {
            // What follows on the line stays unread: it starts the next statement.
            endLine();
            if (!statement.empty()) return 1;
            continue;  // an empty statement
        }
        if (ch == '"') quoted = !quoted;
        if (IsScriptBlank(ch)) {
            if (!line.empty() && blanks.size() <= kMaxStatementLength) blanks += ch;
            continue;
        }
        line += blanks;
        blanks.clear();
        line += ch;
        if (statement.size() + (statement.empty() ? 0 : 1) + line.size() > kMaxStatementLength) {
            FatalStop(kIdsCannotReadScript);
        }
    }
}

void CProductDat::ExpandPlaceholders(std::string& value, size_t room) {
    for (const Placeholder& p : kPlaceholders) {
        ReplaceAll(value, p.token, m_values.*p.value);
        if (value.size() > room) FatalStop(kIdsCannotReadScript);
    }
}

int CProductDat::DispatchStatement(std::string& statement, int pass) {
    return Dispatch(ScriptProgram::kSetwell, statement, pass);
}

int CProductDat::DispatchRemovalStatement(std::string& statement, int pass) {
    return Dispatch(ScriptProgram::kRembly, statement, pass);
}

int CProductDat::Dispatch(ScriptProgram program, std::string& statement, int pass) {
    if (statement.size() > kMaxStatementLength || statement.find('\0') != std::string::npos) {
        FatalStop(kIdsCannotReadScript);
    }
    const std::span<const StatementKeyEntry> rows = StatementKeyTable(program);
    const std::span<const StatementHandler> handlers =
        program == ScriptProgram::kSetwell ? SetwellHandlerTable() : RemblyHandlerTable();
    for (size_t i = 0; i < rows.size(); ++i) {
        const StatementKeyEntry& row = rows[i];
        const std::string_view key = row.key;
        if (!StartsWithNoCase(statement, key)) continue;
        std::string value = statement.substr(key.size());
        TrimBlanks(value);
        ExpandPlaceholders(value, kMaxStatementLength - key.size());
        const bool runs = pass == kInstallPass || pass == kOverInstallPass || row.actionFlag == kHeaderStatement;
        if (runs && handlers[i]) {
            StatementCall call{row, i, pass, value, {}};
            handlers[i](*this, call);
        }
        return row.actionId;
    }
    return -1;
}

}  // namespace setup
