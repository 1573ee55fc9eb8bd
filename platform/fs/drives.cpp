// Drive letters: types, volume labels, free space.
#include <sys/statvfs.h>

#include <algorithm>
#include <cstring>
#include <fstream>

#include "platform/fs/fs_internal.h"

using namespace plat::fsi;

namespace {

// The drive letter a root argument names ("X:\", "X:" or null for the current drive); 0 if
// the argument is not a drive's root.
char RootLetter(LPCSTR root) {
    if (!root) return plat::CurrentDosDirectory()[0];
    const std::string_view r(root);
    const bool letter = r.size() >= 2 && ((r[0] >= 'A' && r[0] <= 'Z') || (r[0] >= 'a' && r[0] <= 'z')) && r[1] == ':';
    if (!letter || r.size() > 3 || (r.size() == 3 && r[2] != '\\' && r[2] != '/')) return 0;
    return static_cast<char>(r[0] & ~0x20);
}

void CopyCut(const std::string& s, LPSTR buffer, DWORD size) {
    if (!buffer || size == 0) return;
    const size_t n = std::min<size_t>(s.size(), size - 1);
    std::memcpy(buffer, s.data(), n);
    buffer[n] = '\0';
}

// The label of a CD folder: the first line of its ".label" file, else the folder's name.
std::string CdLabel(const fs::path& folder) {
    std::ifstream in(folder / ".label", std::ios::binary);
    char head[64] = {};
    in.read(head, sizeof head);  // a label is short; the rest of a large file is never read
    std::string line(head, static_cast<size_t>(in.gcount()));
    line = line.substr(0, line.find_first_of("\r\n"));
    while (!line.empty() && line.back() == ' ') line.pop_back();
    if (!line.empty()) return plat::Utf8ToCp1252(line);
    return plat::Utf8ToCp1252(folder.filename().string());
}

DWORD Serial(const std::string& text) {
    uint32_t h = 2166136261u;  // FNV-1a: stable between runs and programs
    for (unsigned char c : text) h = (h ^ c) * 16777619u;
    return h;
}

}  // namespace

UINT GetDriveTypeA(LPCSTR root) {
    const char letter = RootLetter(root);
    if (!letter) return DRIVE_NO_ROOT_DIR;
    switch (plat::GetDriveKind(letter)) {
        case plat::DriveKind::Fixed: return DRIVE_FIXED;
        case plat::DriveKind::Cdrom: return DRIVE_CDROM;
        default: return DRIVE_NO_ROOT_DIR;
    }
}

DWORD GetLogicalDrives() { return plat::MappedDrives(); }

DWORD GetLogicalDriveStringsA(DWORD size, LPSTR buffer) {
    std::string all;
    const uint32_t mask = plat::MappedDrives();
    for (int i = 0; i < 26; ++i) {
        if (mask & (1u << i)) {
            all += static_cast<char>('A' + i);
            all += ":\\";
            all += '\0';
        }
    }
    if (!buffer || size < all.size() + 1) return static_cast<DWORD>(all.size() + 1);
    std::memcpy(buffer, all.data(), all.size());
    buffer[all.size()] = '\0';
    return static_cast<DWORD>(all.size());
}

BOOL GetVolumeInformationA(LPCSTR root, LPSTR label, DWORD labelSize, DWORD* serial, DWORD* maxComponentLength,
                           DWORD* fileSystemFlags, LPSTR fileSystemName, DWORD fileSystemNameSize) {
    const char letter = RootLetter(root);
    const auto kind = letter ? plat::GetDriveKind(letter) : plat::DriveKind::None;
    const auto host = letter ? plat::DriveRoot(letter) : std::nullopt;
    if (kind == plat::DriveKind::None || !host) return Fail(letter ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_NAME);
    std::error_code ec;
    if (!fs::is_directory(*host, ec)) return Fail(ERROR_NOT_READY);  // no disc in the drive
    const bool cd = kind == plat::DriveKind::Cdrom;
    const std::string name = cd ? CdLabel(*host) : std::string();
    // A label longer than the buffer is cut; Windows labels have at most 11 characters.
    CopyCut(name, label, labelSize);
    if (serial) *serial = Serial(host->string() + '\n' + name);
    if (maxComponentLength) *maxComponentLength = 255;
    if (fileSystemFlags) *fileSystemFlags = FS_CASE_IS_PRESERVED | (cd ? DWORD{FILE_READ_ONLY_VOLUME} : DWORD{0});
    CopyCut(cd ? "CDFS" : "FAT", fileSystemName, fileSystemNameSize);
    return TRUE;
}

BOOL GetDiskFreeSpaceA(LPCSTR root, DWORD* sectorsPerCluster, DWORD* bytesPerSector, DWORD* freeClusters,
                       DWORD* totalClusters) {
    const char letter = RootLetter(root);
    const auto kind = letter ? plat::GetDriveKind(letter) : plat::DriveKind::None;
    const auto host = letter ? plat::DriveRoot(letter) : std::nullopt;
    if (kind == plat::DriveKind::None || !host) return Fail(letter ? ERROR_PATH_NOT_FOUND : ERROR_INVALID_NAME);
    struct statvfs vfs {};
    if (::statvfs(host->c_str(), &vfs) != 0) {
        return Fail(kind == plat::DriveKind::Cdrom ? ERROR_NOT_READY : ErrorFromErrno(errno));
    }
    // 32 KB clusters of 512-byte sectors and at most 65535 of them: every product of the
    // fields stays below 2 GB, which is what programs of that time multiply out in 32 bits.
    constexpr uint64_t kBytesPerSector = 512;
    constexpr uint64_t kSectorsPerCluster = 64;
    constexpr uint64_t kClusterBytes = kBytesPerSector * kSectorsPerCluster;
    constexpr uint64_t kMaxClusters = 65535;
    const uint64_t unit = vfs.f_frsize ? vfs.f_frsize : vfs.f_bsize;
    const uint64_t total = static_cast<uint64_t>(vfs.f_blocks) * unit;
    const uint64_t avail = kind == plat::DriveKind::Cdrom ? 0 : static_cast<uint64_t>(vfs.f_bavail) * unit;
    if (sectorsPerCluster) *sectorsPerCluster = static_cast<DWORD>(kSectorsPerCluster);
    if (bytesPerSector) *bytesPerSector = static_cast<DWORD>(kBytesPerSector);
    if (freeClusters) *freeClusters = static_cast<DWORD>(std::min(avail / kClusterBytes, kMaxClusters));
    if (totalClusters) *totalClusters = static_cast<DWORD>(std::min(total / kClusterBytes, kMaxClusters));
    return TRUE;
}
