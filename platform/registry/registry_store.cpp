#include "platform/registry/registry_store.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <system_error>

namespace plat {

namespace fs = std::filesystem;

CRegistryStore::CRegistryStore(fs::path file) : m_file(std::move(file)) {}

CRegistryStore::FileId CRegistryStore::IdOf(const struct stat& st) {
    return FileId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino),
                  static_cast<int64_t>(st.st_size), static_cast<int64_t>(st.st_mtim.tv_sec),
                  static_cast<int64_t>(st.st_mtim.tv_nsec)};
}

void CRegistryStore::Load(CUniqueFd fd, const FileId& id, const std::string& text) {
    m_badLines.clear();
    m_tree = CRegTree::Parse(text, &m_badLines);
    m_pinned = std::move(fd);
    m_id = id;
    m_state = State::Loaded;
    if (!m_badLines.empty()) {
        std::fprintf(stderr, "registry: %s: %zu unreadable line(s) skipped, the first is line %zu\n",
                     m_file.string().c_str(), m_badLines.size(), m_badLines.front());
    }
}

LONG CRegistryStore::Refresh() {
    struct stat st {};
    if (::stat(m_file.c_str(), &st) != 0) {
        if (errno != ENOENT && errno != ENOTDIR) {
            m_state = State::Unknown;
            return ERROR_REGISTRY_IO_FAILED;
        }
        if (m_state != State::Missing) {
            m_tree = CRegTree::Seeded();
            m_pinned.Reset();
            m_badLines.clear();
            m_id = FileId();
            m_state = State::Missing;
        }
        return ERROR_SUCCESS;
    }
    FileId id = IdOf(st);
    if (m_state == State::Loaded && id == m_id) {
        return ERROR_SUCCESS;
    }
    CUniqueFd fd(::open(m_file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd.Valid() || ::fstat(fd.Get(), &st) != 0) {
        m_state = State::Unknown;
        return ERROR_REGISTRY_IO_FAILED;
    }
    id = IdOf(st);
    std::string text;
    if (ReadWholeFd(fd.Get(), &text) != ERROR_SUCCESS) {
        m_state = State::Unknown;
        return ERROR_REGISTRY_IO_FAILED;
    }
    Load(std::move(fd), id, text);
    return ERROR_SUCCESS;
}

LONG CRegistryStore::Read(const std::function<LONG(const CRegTree&)>& query) {
    std::lock_guard<std::mutex> guard(m_mutex);
    LONG rc = Refresh();
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    return query(m_tree);
}

LONG CRegistryStore::Modify(const std::function<LONG(CRegTree&, bool& changed)>& edit) {
    std::lock_guard<std::mutex> guard(m_mutex);
    std::error_code ec;
    fs::create_directories(m_file.parent_path(), ec);
    CFolderLock lock(m_file);
    LONG rc = Refresh();
    if (rc != ERROR_SUCCESS) {
        return rc;
    }
    bool changed = false;
    rc = edit(m_tree, changed);
    if (!changed) {
        return rc;
    }
    if (m_state == State::Loaded && !m_badLines.empty()) {
        fs::path keep = m_file;
        keep += ".damaged";
        fs::copy_file(m_file, keep, fs::copy_options::overwrite_existing, ec);
    }
    CUniqueFd written;
    DWORD err = ReplaceFileContents(m_file, m_tree.Serialize(), &written);
    struct stat st {};
    if (err != ERROR_SUCCESS || ::fstat(written.Get(), &st) != 0) {
        m_state = State::Unknown;  // the tree in memory is not what the file holds
        m_pinned.Reset();
        return err != ERROR_SUCCESS ? static_cast<LONG>(err) : static_cast<LONG>(ERROR_REGISTRY_IO_FAILED);
    }
    m_id = IdOf(st);
    m_pinned = std::move(written);
    m_badLines.clear();
    m_state = State::Loaded;
    return rc;
}

FILETIME CRegistryStore::LastWrite() {
    std::lock_guard<std::mutex> guard(m_mutex);
    if (m_state != State::Loaded) {
        return FILETIME{};
    }
    return UnixToFileTime(m_id.mtimeSec, static_cast<uint32_t>(m_id.mtimeNsec));
}

}  // namespace plat
