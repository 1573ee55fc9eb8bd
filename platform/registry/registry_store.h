// The registry file shared by every process of one installation.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <vector>

#include "platform/profile/locked_file.h"
#include "platform/registry/reg_tree.h"

struct stat;

namespace plat {

// Keeps the tree of one REGEDIT4 file. Before each operation the file is checked (device,
// inode, size, modification time) and read again when another process replaced it; the
// file last read stays open, so its inode cannot be reused by a later version and mistaken
// for it. A change is written under the folder lock as a read-modify-write through a
// temporary file. A missing file reads as a new installation (CRegTree::Seeded) and is
// written on the first change.
// A damaged file is read as far as it goes (the skipped lines are reported on stderr);
// before the first change rewrites it, the damaged file is copied to "<file>.damaged".
class CRegistryStore {
public:
    explicit CRegistryStore(std::filesystem::path file);
    CRegistryStore(const CRegistryStore&) = delete;
    CRegistryStore& operator=(const CRegistryStore&) = delete;

    const std::filesystem::path& File() const { return m_file; }

    // Runs a query on the current tree; ERROR_REGISTRY_IO_FAILED when the file exists but
    // cannot be read.
    LONG Read(const std::function<LONG(const CRegTree&)>& query);
    // Runs an edit on the newest tree under the lock; the edit sets changed when it
    // changed the tree, which is then written. A write that fails leaves the file as it
    // was and returns its error; the tree is read again on the next call.
    LONG Modify(const std::function<LONG(CRegTree&, bool& changed)>& edit);
    // The time of the last change of the file as read (zero for a new installation).
    FILETIME LastWrite();

private:
    struct FileId {
        uint64_t device = 0;
        uint64_t inode = 0;
        int64_t size = -1;
        int64_t mtimeSec = 0;
        int64_t mtimeNsec = 0;
        bool operator==(const FileId&) const = default;
    };
    enum class State { Unknown, Missing, Loaded };

    static FileId IdOf(const struct stat& st);
    LONG Refresh();
    void Load(CUniqueFd fd, const FileId& id, const std::string& text);

    std::mutex m_mutex;
    std::filesystem::path m_file;
    CRegTree m_tree;
    State m_state = State::Unknown;
    CUniqueFd m_pinned;
    FileId m_id;
    std::vector<size_t> m_badLines;
};

}  // namespace plat
