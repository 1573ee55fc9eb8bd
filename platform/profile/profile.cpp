#include "platform/profile/profile.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "platform/profile/ini_file.h"
#include "platform/profile/locked_file.h"

namespace {

namespace fs = std::filesystem;
using plat::CIniFile;

constexpr const char* kWinIni = "WIN.INI";

struct ProfilePath {
    fs::path host;
    bool readOnly = false;  // on a CD drive
};

// The host file of a profile name; sets the last error when there is none.
std::optional<ProfilePath> ResolveProfile(LPCSTR file) {
    std::string dos = file != nullptr ? file : kWinIni;
    if (dos.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return std::nullopt;
    }
    if (dos.find_first_of("\\/") == std::string::npos) {
        char windows[MAX_PATH] = {};
        UINT n = GetWindowsDirectoryA(windows, MAX_PATH);
        if (n == 0 || n >= MAX_PATH) {
            SetLastError(ERROR_PATH_NOT_FOUND);
            return std::nullopt;
        }
        dos = std::string(windows, n) + "\\" + dos;
    }
    std::optional<std::string> full = plat::FullDosPath(dos);
    std::optional<fs::path> host = full ? plat::ResolveDosPath(*full) : std::nullopt;
    if (!host) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return std::nullopt;
    }
    ProfilePath path;
    path.host = std::move(*host);
    path.readOnly = plat::GetDriveKind((*full)[0]) == plat::DriveKind::Cdrom;
    return path;
}

// The file as an INI file; a missing or unreadable file reads as empty. Sets the last
// error when the file could not be read.
CIniFile ReadProfile(LPCSTR file) {
    std::optional<ProfilePath> path = ResolveProfile(file);
    if (!path) {
        return CIniFile();
    }
    std::string bytes;
    DWORD err = plat::ReadWholeFile(path->host, &bytes);
    if (err != ERROR_SUCCESS) {
        SetLastError(err);
        return CIniFile();
    }
    return CIniFile(bytes);
}

// Runs one edit as a locked read-modify-write; the edit returns whether it changed
// anything. A file that exists but cannot be read is never overwritten.
template <class Edit>
BOOL EditProfile(LPCSTR file, Edit edit) {
    std::optional<ProfilePath> path = ResolveProfile(file);
    if (!path) {
        return FALSE;
    }
    if (path->readOnly) {
        SetLastError(ERROR_WRITE_PROTECT);
        return FALSE;
    }
    plat::CFolderLock lock(path->host);
    std::string bytes;
    DWORD err = plat::ReadWholeFile(path->host, &bytes);
    if (err != ERROR_SUCCESS && err != ERROR_FILE_NOT_FOUND) {
        SetLastError(err);
        return FALSE;
    }
    CIniFile ini(bytes);
    if (!edit(ini)) {
        return TRUE;
    }
    err = plat::ReplaceFileContents(path->host, ini.Bytes());
    if (err != ERROR_SUCCESS) {
        SetLastError(err);
        return FALSE;
    }
    return TRUE;
}

// A string written to a file ends at its first line break.
std::string_view OneLine(LPCSTR text) {
    std::string_view s(text);
    return s.substr(0, s.find_first_of("\r\n"));
}

DWORD CopyString(std::string_view text, LPSTR buffer, DWORD size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    size_t n = std::min<size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
    return static_cast<DWORD>(n);
}

// NUL-separated strings ending in an extra NUL. When they do not fit, the last string
// that is begun is cut so that the buffer ends in two NULs, and size - 2 is returned.
template <class Strings>
DWORD CopyList(const Strings& items, LPSTR buffer, DWORD size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    if (size == 1) {
        buffer[0] = '\0';
        return 0;
    }
    size_t pos = 0;
    for (std::string_view item : items) {
        item = item.substr(0, item.find('\0'));
        if (pos + item.size() + 2 <= size) {
            std::memcpy(buffer + pos, item.data(), item.size());
            pos += item.size();
            buffer[pos++] = '\0';
            continue;
        }
        // Cut: keep what fits before the two closing NULs.
        size_t room = size - pos >= 2 ? size - pos - 2 : 0;
        std::memcpy(buffer + pos, item.data(), room);
        buffer[size - 2] = '\0';
        buffer[size - 1] = '\0';
        return size - 2;
    }
    buffer[pos] = '\0';
    if (pos == 0) {
        buffer[1] = '\0';
    }
    return static_cast<DWORD>(pos);
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size,
                               LPCSTR file) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    std::string_view def = defaultValue != nullptr ? defaultValue : "";
    while (!def.empty() && def.back() == ' ') {
        def.remove_suffix(1);
    }
    CIniFile ini = ReadProfile(file);
    if (section == nullptr) {
        return CopyList(ini.SectionNames(), buffer, size);
    }
    if (key == nullptr) {
        std::vector<std::string_view> keys = ini.KeyNames(section);
        if (keys.empty()) {
            DWORD n = CopyString(def, buffer, size);
            if (n + 1 < size) {
                buffer[n + 1] = '\0';
            }
            return n;
        }
        return CopyList(keys, buffer, size);
    }
    std::optional<std::string_view> value = ini.Find(section, key);
    return CopyString(value ? CIniFile::Unquote(*value) : def, buffer, size);
}

UINT GetPrivateProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue, LPCSTR file) {
    if (section == nullptr || key == nullptr) {
        return static_cast<UINT>(defaultValue);
    }
    CIniFile ini = ReadProfile(file);
    std::optional<std::string_view> found = ini.Find(section, key);
    std::string_view value = found ? CIniFile::Unquote(*found) : std::string_view();
    if (value.empty()) {
        return static_cast<UINT>(defaultValue);
    }
    size_t i = 0;
    while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) {
        ++i;
    }
    bool negative = false;
    if (i < value.size() && (value[i] == '-' || value[i] == '+')) {
        negative = value[i] == '-';
        ++i;
    }
    UINT result = 0;
    for (; i < value.size() && value[i] >= '0' && value[i] <= '9'; ++i) {
        result = result * 10u + static_cast<UINT>(value[i] - '0');
    }
    return negative ? 0u - result : result;
}

DWORD GetPrivateProfileSectionA(LPCSTR section, LPSTR buffer, DWORD size, LPCSTR file) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    if (section == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return CopyList(std::vector<std::string_view>(), buffer, size);
    }
    CIniFile ini = ReadProfile(file);
    return CopyList(ini.SectionEntries(section), buffer, size);
}

DWORD GetPrivateProfileSectionNamesA(LPSTR buffer, DWORD size, LPCSTR file) {
    return GetPrivateProfileStringA(nullptr, nullptr, nullptr, buffer, size, file);
}

BOOL WritePrivateProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value, LPCSTR file) {
    if (section == nullptr) {
        if (key == nullptr && value == nullptr) {
            return TRUE;  // flush: every write already reached the file
        }
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (key == nullptr) {
        return EditProfile(file, [&](CIniFile& ini) { return ini.DeleteSection(OneLine(section)); });
    }
    if (CIniFile::Trim(OneLine(key)).empty()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (value == nullptr) {
        return EditProfile(file,
                           [&](CIniFile& ini) { return ini.DeleteKey(OneLine(section), OneLine(key)); });
    }
    return EditProfile(
        file, [&](CIniFile& ini) { return ini.Set(OneLine(section), OneLine(key), OneLine(value)); });
}

BOOL WritePrivateProfileSectionA(LPCSTR section, LPCSTR lines, LPCSTR file) {
    if (section == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (lines == nullptr) {
        return EditProfile(file, [&](CIniFile& ini) { return ini.DeleteSection(OneLine(section)); });
    }
    std::vector<std::string_view> body;
    for (LPCSTR p = lines; *p != '\0'; p += std::strlen(p) + 1) {
        body.push_back(OneLine(p));
    }
    return EditProfile(file, [&](CIniFile& ini) { return ini.ReplaceSection(OneLine(section), body); });
}

DWORD GetProfileStringA(LPCSTR section, LPCSTR key, LPCSTR defaultValue, LPSTR buffer, DWORD size) {
    return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, kWinIni);
}

UINT GetProfileIntA(LPCSTR section, LPCSTR key, INT defaultValue) {
    return GetPrivateProfileIntA(section, key, defaultValue, kWinIni);
}

BOOL WriteProfileStringA(LPCSTR section, LPCSTR key, LPCSTR value) {
    return WritePrivateProfileStringA(section, key, value, kWinIni);
}

DWORD GetProfileSectionA(LPCSTR section, LPSTR buffer, DWORD size) {
    return GetPrivateProfileSectionA(section, buffer, size, kWinIni);
}

BOOL WriteProfileSectionA(LPCSTR section, LPCSTR lines) {
    return WritePrivateProfileSectionA(section, lines, kWinIni);
}
