// FindFirstFile / FindNextFile / FindClose over a snapshot of one folder.
#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/fs/find_pattern.h"
#include "platform/fs/fs_internal.h"

namespace plat {

bool MatchDosPattern(std::string_view name, std::string_view mask) {
    auto matches = [name](std::string_view m) {
        // match[i][j]: m[i..] matches name[j..]; filled from the ends so nothing recurses.
        const size_t rows = m.size() + 1;
        const size_t cols = name.size() + 1;
        std::vector<uint8_t> match(rows * cols, 0);
        auto at = [&](size_t i, size_t j) -> uint8_t& { return match[i * cols + j]; };
        at(m.size(), name.size()) = 1;
        for (size_t i = m.size(); i-- > 0;) {
            for (size_t j = cols; j-- > 0;) {
                const bool more = j < name.size();
                bool ok = false;
                if (m[i] == '*') {
                    ok = at(i + 1, j) || (more && at(i, j + 1));
                } else if (m[i] == '?') {
                    // '?' takes one character, or none at the end of the name or before a dot.
                    ok = (more && at(i + 1, j + 1)) || ((!more || name[j] == '.') && at(i + 1, j));
                } else {
                    ok = more && ToLower1252(static_cast<uint8_t>(m[i])) == ToLower1252(static_cast<uint8_t>(name[j])) &&
                         at(i + 1, j + 1);
                }
                at(i, j) = ok ? 1 : 0;
            }
        }
        return at(0, 0) != 0;
    };
    if (matches(mask)) return true;
    // A name without an extension matches "NAME.*" and "NAME.".
    if (name.find('.') == std::string_view::npos) {
        if (mask.size() >= 2 && mask.substr(mask.size() - 2) == ".*") return matches(mask.substr(0, mask.size() - 2));
        if (!mask.empty() && mask.back() == '.' && mask.find_first_not_of('.') != std::string_view::npos) {
            return matches(mask.substr(0, mask.size() - 1));
        }
    }
    return false;
}

}  // namespace plat

using namespace plat::fsi;

namespace {

class CFindObject : public plat::CKernelObject {
public:
    std::vector<WIN32_FIND_DATAA> entries;
    size_t next = 0;
};

WIN32_FIND_DATAA DataOf(const fs::path& host, const struct stat& lst, bool cd, const std::string& name) {
    WIN32_FIND_DATAA d;
    d.dwFileAttributes = AttributesOf(host, lst, cd);
    struct stat st = lst;
    if (S_ISLNK(lst.st_mode)) {
        // A link reads as the file it names; a broken one or one to a folder has no size.
        struct stat target {};
        if (::stat(host.c_str(), &target) == 0) {
            st.st_mtim = target.st_mtim;
            st.st_atim = target.st_atim;
            st.st_size = S_ISREG(target.st_mode) ? target.st_size : 0;
        } else {
            st.st_size = 0;
        }
    }
    d.ftCreationTime = ToFileTime(st.st_mtim);
    d.ftLastAccessTime = ToFileTime(st.st_atim);
    d.ftLastWriteTime = ToFileTime(st.st_mtim);
    if (!S_ISDIR(st.st_mode) || S_ISLNK(lst.st_mode)) {
        const auto size = static_cast<uint64_t>(st.st_size);
        d.nFileSizeHigh = static_cast<DWORD>(size >> 32);
        d.nFileSizeLow = static_cast<DWORD>(size & 0xFFFFFFFF);
    }
    std::memcpy(d.cFileName, name.c_str(), std::min(name.size() + 1, sizeof d.cFileName));
    d.cFileName[sizeof d.cFileName - 1] = '\0';
    return d;
}

}  // namespace

HANDLE FindFirstFileA(LPCSTR pattern, WIN32_FIND_DATAA* data) {
    if (!pattern || !data) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    std::string p = pattern;
    std::replace(p.begin(), p.end(), '/', '\\');
    std::string dir;
    std::string mask;
    const size_t cut = p.find_last_of('\\');
    if (cut == std::string::npos) {
        const bool drive = p.size() >= 2 && p[1] == ':';
        dir = drive ? p.substr(0, 2) : std::string(".");
        mask = drive ? p.substr(2) : p;
    } else {
        dir = cut == 0 ? std::string("\\") : p.substr(0, cut);
        if (dir.size() == 2 && dir[1] == ':') dir += '\\';
        mask = p.substr(cut + 1);
    }
    if (mask.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    const auto r = ResolveForApi(dir.c_str());
    if (!r) return INVALID_HANDLE_VALUE;
    std::error_code ec;
    if (!fs::is_directory(r->host, ec)) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }

    auto search = std::make_shared<CFindObject>();
    struct stat st {};
    if (!r->isRoot) {
        // Windows lists "." and ".." first in every folder but a drive's root.
        const fs::path links[2] = {r->host, r->host.parent_path()};
        const char* names[2] = {".", ".."};
        for (int i = 0; i < 2; ++i) {
            if (plat::MatchDosPattern(names[i], mask) && ::stat(links[i].c_str(), &st) == 0) {
                search->entries.push_back(DataOf(links[i], st, r->cd, names[i]));
            }
        }
    }
    std::vector<std::pair<std::string, fs::path>> found;
    for (fs::directory_iterator it(r->host, ec), end; !ec && it != end; it.increment(ec)) {
        std::string name = plat::Utf8ToCp1252(it->path().filename().string());
        if (name.size() < MAX_PATH && plat::MatchDosPattern(name, mask)) found.emplace_back(std::move(name), it->path());
    }
    std::sort(found.begin(), found.end(), [](const auto& a, const auto& b) {
        const int c = plat::CompareNoCase1252(a.first, b.first);
        return c != 0 ? c < 0 : a.first < b.first;
    });
    for (const auto& [name, host] : found) {
        if (LStat(host, st)) search->entries.push_back(DataOf(host, st, r->cd, name));
    }
    if (search->entries.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    *data = search->entries[0];
    search->next = 1;
    SetLastError(ERROR_SUCCESS);
    return plat::AllocHandle(std::move(search));
}

BOOL FindNextFileA(HANDLE handle, WIN32_FIND_DATAA* data) {
    const auto search = plat::LookupHandleAs<CFindObject>(handle);
    if (!search) return Fail(ERROR_INVALID_HANDLE);
    if (!data) return Fail(ERROR_INVALID_PARAMETER);
    if (search->next >= search->entries.size()) return Fail(ERROR_NO_MORE_FILES);
    *data = search->entries[search->next++];
    return TRUE;
}

BOOL FindClose(HANDLE handle) {
    if (!plat::LookupHandleAs<CFindObject>(handle)) return Fail(ERROR_INVALID_HANDLE);
    plat::FreeHandle(handle);
    return TRUE;
}
