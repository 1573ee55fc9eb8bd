#include "engine/core/launcher.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "engine/core/cor_engine.h"
#include "platform/core/crt.h"
#include "platform/fs/crt_stat.h"
#include "platform/fs/winfile.h"

namespace {

LauncherDriveTypeQuery gDriveType = nullptr;

UINT DriveType(LPCSTR root) { return gDriveType ? gDriveType(root) : GetDriveTypeA(root); }

// Copies text into a caller's buffer, cut to size - 1 and terminated.
void CopyCut(const std::string& text, char* buffer, size_t size) {
    if (!buffer || size == 0) return;
    const size_t n = std::min(text.size(), size - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

// A field of the launcher's files: at most `size` bytes, ending at the first NUL.
std::string Field(const char* bytes, size_t size) { return std::string(bytes, ::strnlen(bytes, size)); }

// Reads `size` bytes at `offset` of a file opened read-only, sharing allowed.
class CLauncherFile {
public:
    explicit CLauncherFile(const std::string& path)
        : m_handle(CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~CLauncherFile() {
        if (Open()) CloseHandle(m_handle);
    }
    CLauncherFile(const CLauncherFile&) = delete;
    CLauncherFile& operator=(const CLauncherFile&) = delete;

    bool Open() const { return m_handle != INVALID_HANDLE_VALUE; }
    bool ReadAt(size_t offset, void* out, size_t size) {
        if (!Open() || SetFilePointer(m_handle, static_cast<LONG>(offset), nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) {
            return false;
        }
        return Read(out, size);
    }
    bool Read(void* out, size_t size) {
        DWORD got = 0;
        return Open() && ReadFile(m_handle, out, static_cast<DWORD>(size), &got, nullptr) && got == size;
    }
    bool Skip(size_t size) {
        return Open() && SetFilePointer(m_handle, static_cast<LONG>(size), nullptr, FILE_CURRENT) != INVALID_SET_FILE_POINTER;
    }
    DWORD Size() const { return Open() ? GetFileSize(m_handle, nullptr) : INVALID_FILE_SIZE; }

private:
    HANDLE m_handle;
};

// What the swap file says about where the launcher keeps the grown-up's files.
struct LauncherPlace {
    std::string adultFolder;  // with a trailing backslash
    bool newer = false;
    LauncherChild current{};
};

std::optional<LauncherPlace> ReadPlace() {
    const char* swap = GetLauncherSwapPath();
    if (!swap) return std::nullopt;
    CLauncherFile file(swap);
    char folderBytes[kLauncherSwapFolderSize];
    uint8_t adultFlag = 0;
    uint8_t numberBytes[2];
    LauncherPlace place;
    if (!file.ReadAt(kLauncherSwapFolderOffset, folderBytes, sizeof folderBytes) ||
        !file.ReadAt(kLauncherSwapAdultFlagOffset, &adultFlag, 1) ||
        !file.ReadAt(kLauncherSwapAdultNumberOffset, numberBytes, 2) ||
        !file.ReadAt(kLauncherSwapChildOffset, &place.current, sizeof place.current)) {
        return std::nullopt;
    }
    std::string folder = Field(folderBytes, sizeof folderBytes);
    if (folder.empty()) return std::nullopt;
    if (folder.back() != '\\') folder += '\\';
    struct _stat exe {};
    place.newer = _stat((folder + "ZADARO.EXE").c_str(), &exe) == 0 && exe.st_size > kLauncherNewerExeSize;
    unsigned adult = numberBytes[0] | (numberBytes[1] << 8);
    if (adult == 0) adult = 1;
    place.adultFolder = folder + ((place.newer || adultFlag) ? "AD" + std::to_string(adult) : std::string("ADULT")) + "\\";
    return place;
}

// The child's folder without a trailing backslash; none when it does not fit a path.
std::optional<std::string> ChildFolder(const LauncherPlace& place, const LauncherChild& child) {
    std::string folder = place.adultFolder + (place.newer ? "KD" : "ST") + std::to_string(child.number);
    if (folder.size() >= MAX_PATH - 1) return std::nullopt;  // room for the trailing backslash
    return folder;
}

bool MakeFolder(const std::string& folder) {
    const DWORD attributes = GetFileAttributesA(folder.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES) return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    return CreateDirectoryA(folder.c_str(), nullptr) != FALSE;
}

}  // namespace

LauncherDriveTypeQuery SetLauncherDriveTypeQuery(LauncherDriveTypeQuery query) {
    LauncherDriveTypeQuery old = gDriveType;
    gDriveType = query;
    return old;
}

int FindLauncherSwapFile(char* buffer) {
    if (buffer) buffer[0] = '\0';
    char current[MAX_PATH] = {};
    GetCurrentDirectoryA(sizeof current, current);
    char start = static_cast<char>(std::toupper(static_cast<unsigned char>(current[0])));
    if (start < 'A' || start > 'Z') start = 'C';
    const UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS);
    int found = 0;
    char letter = start;
    do {
        const char root[] = {letter, ':', '\\', '\0'};
        const UINT type = DriveType(root);
        const bool skip = type == DRIVE_UNKNOWN || (type == DRIVE_REMOVABLE && letter != start);
        const std::string candidate = std::string(1, letter) + ":\\ZADARO.SWP";
        if (!skip && _access(candidate.c_str(), 4) == 0) {
            CopyCut(candidate, buffer, MAX_PATH);
            found = 1;
            break;
        }
        letter = letter == 'Z' ? 'A' : static_cast<char>(letter + 1);
    } while (letter != start);
    SetErrorMode(oldMode);
    return found;
}

int IsLauncherActive(char* buffer, size_t size) {
    if (buffer && size > 0) buffer[0] = '\0';
    char path[MAX_PATH];
    if (!FindLauncherSwapFile(path)) return 0;
    struct _stat info {};
    if (_stat(path, &info) != 0) return 0;
    const int64_t now = plat::WallClockSeconds();
    const int64_t written = static_cast<int64_t>(info.st_mtime);
    if (written < now - kLauncherSwapFreshSeconds || written > now) return 0;
    // A path cut to a small buffer would name another file: such a buffer gets nothing.
    if (!buffer || std::strlen(path) >= size) return 0;
    CopyCut(path, buffer, size);
    return 1;
}

uint16_t IsLauncherMode() { return theEngine ? static_cast<uint16_t>(theEngine->m_launcherMode & 0xFFFF) : 0; }

int32_t IsLauncherModeSet() { return theEngine ? theEngine->m_launcherMode : 0; }

const char* GetLauncherSwapPath() {
    if (!theEngine || !theEngine->m_launcherSwapPath[0]) return nullptr;
    return theEngine->m_launcherSwapPath;
}

int GetLauncherUserPath(char* name, size_t nameSize, char* folder, size_t folderSize) {
    CopyCut("", name, nameSize);
    CopyCut("", folder, folderSize);
    const auto place = ReadPlace();
    if (!place) return 0;
    const auto childFolder = ChildFolder(*place, place->current);
    if (!childFolder || (folder && childFolder->size() >= folderSize) || !MakeFolder(*childFolder)) return 0;
    CopyCut(Field(place->current.firstName, 16) + " " + Field(place->current.lastName, 16), name, nameSize);
    CopyCut(*childFolder, folder, folderSize);
    return 1;
}

int GetLauncherUserPathFor(const LauncherChild& child, char* folder, size_t size) {
    CopyCut("", folder, size);
    const auto place = ReadPlace();
    if (!place) return 0;
    const auto childFolder = ChildFolder(*place, child);
    if (!childFolder || !folder || childFolder->size() + 1 >= size || !MakeFolder(*childFolder)) return 0;
    CopyCut(*childFolder + "\\", folder, size);
    return 1;
}

int GetLauncherChildTotal() {
    const auto place = ReadPlace();
    if (!place) return -1;
    if (place->newer) {
        CLauncherFile list(place->adultFolder + "KIDNAMES.INF");
        uint8_t count[2];
        if (!list.Read(count, 2)) return -1;
        return count[0] | (count[1] << 8);
    }
    CLauncherFile list(place->adultFolder + "STUDENT.INF");
    const DWORD size = list.Size();
    if (size == INVALID_FILE_SIZE) return -1;
    return static_cast<int>(size / kLauncherStudentRecordSize);
}

int ReadLauncherUserList(LauncherChild* children, int capacity) {
    if (!children || capacity <= 0) return 0;
    std::memset(children, 0, sizeof(LauncherChild) * static_cast<size_t>(capacity));
    const auto place = ReadPlace();
    if (!place) return 0;
    if (place->newer) {
        CLauncherFile list(place->adultFolder + "KIDNAMES.INF");
        uint8_t count[2];
        if (!list.Read(count, 2)) return 0;
        const int n = std::min(capacity, count[0] | (count[1] << 8));
        for (int i = 0; i < n; ++i) {
            if (!list.Read(&children[i], sizeof(LauncherChild))) return 0;
        }
        return 1;
    }
    CLauncherFile list(place->adultFolder + "STUDENT.INF");
    const DWORD size = list.Size();
    if (size == INVALID_FILE_SIZE) return 0;
    const int n = std::min<int>(capacity, static_cast<int>(size / kLauncherStudentRecordSize));
    for (int i = 0; i < n; ++i) {
        if (!list.Read(&children[i], sizeof(LauncherChild)) ||
            !list.Skip(kLauncherStudentRecordSize - sizeof(LauncherChild))) {
            return 0;
        }
    }
    return 1;
}
