// The record of a removal under way, so that a removal stopped midway (the program killed, the
// machine switched off) can be run again and finishes. It lives in the Windows folder's
// "Rembly" folder, one per removed product folder: the script the removal reads (kept there,
// as the product folder's own copy may already be gone), the install tally as it was before
// the removal lowered it, and how many of the script's statements are done.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace setup {

class CRemovalJournal {
public:
    // `folder` is the removal's product folder as its command line names it.
    CRemovalJournal(const std::string& windowsDir, const std::string& folder);

    // Reads the record; false when there is none (or it is not one).
    bool Load();
    // Starts a record: the script copied beside it, nothing done yet.
    bool Start(const std::string& scriptFile, const std::string& productName);
    // Writes the record as it is now (through a temporary file, so it is whole or the old one).
    bool Save();
    // Removes the record, its script and an emptied journal folder.
    void Remove();

    const std::string& ScriptPath() const { return m_scriptPath; }
    const std::string& ProductName() const { return m_productName; }

    bool tallyTaken = false;                // the tally below was read and lowered
    std::optional<uint32_t> tallyBefore;    // none: there was no tally value
    int statementsDone = 0;

    // The record files of the journal folder, for a new installation to drop those of its product.
    static void DropRecordsOfProduct(const std::string& windowsDir, const std::string& productName);

private:
    std::string m_folderKey;
    std::string m_statePath;
    std::string m_scriptPath;
    std::string m_productName;
};

}  // namespace setup
