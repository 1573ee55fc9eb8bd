#include "setup/common/removal_journal.h"

#include <cstdio>
#include <cstdlib>
#include <string_view>
#include <vector>

#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "setup/common/script_text.h"

namespace setup {

namespace {

constexpr char kJournalFolder[] = "\\Rembly";
constexpr std::string_view kFirstLine = "Rembly removal\n";

std::string FolderKey(const std::string& folder) {
    const std::optional<std::string> full = plat::FullDosPath(folder);
    std::string key = full ? *full : folder;
    for (char& c : key)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return key;
}

// A short name for a folder: 16 hexadecimal digits of a hash of its full upper-cased path.
std::string NameOf(const std::string& key) {
    uint64_t h = 14695981039346656037ull;
    for (unsigned char c : key) h = (h ^ c) * 1099511628211ull;
    char hex[17];
    std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(h));
    return hex;
}

std::optional<std::string> ReadWhole(const std::string& path) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return std::nullopt;
    std::string text;
    char chunk[4096];
    DWORD got = 0;
    bool ok = true;
    while ((ok = ReadFile(h, chunk, sizeof chunk, &got, nullptr) != FALSE) && got > 0 && text.size() < (1u << 20))
        text.append(chunk, got);
    CloseHandle(h);
    if (!ok) return std::nullopt;
    return text;
}

// Writes a file whole through a temporary name beside it.
bool WriteWhole(const std::string& path, const std::string& text) {
    const std::string temp = path + ".new";
    HANDLE h = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool ok = WriteFile(h, text.data(), static_cast<DWORD>(text.size()), &written, nullptr) && written == text.size() &&
                    FlushFileBuffers(h);
    CloseHandle(h);
    if (!ok || !MoveFileExA(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileA(temp.c_str());
        return false;
    }
    return true;
}

std::optional<std::string> Field(std::string_view text, std::string_view name) {
    const std::string prefix = "\n" + std::string(name) + "=";
    const size_t at = text.find(prefix);
    if (at == std::string_view::npos) return std::nullopt;
    const size_t start = at + prefix.size();
    const size_t end = text.find('\n', start);
    return std::string(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
}

}  // namespace

CRemovalJournal::CRemovalJournal(const std::string& windowsDir, const std::string& folder) : m_folderKey(FolderKey(folder)) {
    const std::string base = windowsDir + kJournalFolder + "\\" + NameOf(m_folderKey);
    m_statePath = base + ".PND";
    m_scriptPath = base + ".DAT";
}

bool CRemovalJournal::Load() {
    const std::optional<std::string> text = ReadWhole(m_statePath);
    if (!text || !text->starts_with(kFirstLine) || Field(*text, "folder") != m_folderKey) return false;
    if (GetFileAttributesA(m_scriptPath.c_str()) == INVALID_FILE_ATTRIBUTES) return false;
    m_productName = Field(*text, "product").value_or("");
    const std::string tally = Field(*text, "tally").value_or("");
    tallyTaken = !tally.empty();
    tallyBefore.reset();
    if (tallyTaken && tally != "none") tallyBefore = static_cast<uint32_t>(std::strtoul(tally.c_str(), nullptr, 10));
    statementsDone = std::atoi(Field(*text, "done").value_or("0").c_str());
    return true;
}

bool CRemovalJournal::Start(const std::string& scriptFile, const std::string& productName) {
    const std::string folder = m_statePath.substr(0, m_statePath.rfind('\\'));
    CreateDirectoryA(folder.c_str(), nullptr);
    m_productName = productName;
    tallyTaken = false;
    tallyBefore.reset();
    statementsDone = 0;
    return CopyFileA(scriptFile.c_str(), m_scriptPath.c_str(), FALSE) && Save();
}

bool CRemovalJournal::Save() {
    std::string text(kFirstLine);
    text += "folder=" + m_folderKey + "\n";
    text += "product=" + m_productName + "\n";
    text += "tally=" + (tallyTaken ? (tallyBefore ? std::to_string(*tallyBefore) : std::string("none")) : std::string()) + "\n";
    text += "done=" + std::to_string(statementsDone) + "\n";
    return WriteWhole(m_statePath, text);
}

void CRemovalJournal::Remove() {
    SetFileAttributesA(m_scriptPath.c_str(), FILE_ATTRIBUTE_NORMAL);
    DeleteFileA(m_scriptPath.c_str());
    DeleteFileA(m_statePath.c_str());
    RemoveDirectoryA(m_statePath.substr(0, m_statePath.rfind('\\')).c_str());
}

void CRemovalJournal::DropRecordsOfProduct(const std::string& windowsDir, const std::string& productName) {
    const std::string folder = windowsDir + kJournalFolder;
    std::vector<std::string> states;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA((folder + "\\*.PND").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) return;
    do states.push_back(folder + "\\" + found.cFileName);
    while (FindNextFileA(search, &found));
    FindClose(search);
    for (const std::string& state : states) {
        const std::optional<std::string> text = ReadWhole(state);
        if (!text || !text->starts_with(kFirstLine) || !EqualsNoCase(Field(*text, "product").value_or(""), productName))
            continue;
        const std::string script = state.substr(0, state.size() - 4) + ".DAT";
        SetFileAttributesA(script.c_str(), FILE_ATTRIBUTE_NORMAL);
        DeleteFileA(script.c_str());
        DeleteFileA(state.c_str());
    }
    RemoveDirectoryA(folder.c_str());
}

}  // namespace setup
