#include "platform/version/ver_install.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"
#include "platform/strings/cp1252.h"
#include "platform/version/version_stamp.h"

namespace plat {
namespace {

std::mutex g_faultMu;
VersionFaults g_faults;

VersionFaults Faults() {
    std::lock_guard lock(g_faultMu);
    return g_faults;
}

std::string Join(const char* dir, const char* name) {
    std::string out = dir ? dir : "";
    if (!out.empty() && out.back() != '\\' && out.back() != '/') out += '\\';
    return out + (name ? name : "");
}

// Copies text into a caller's buffer of *len characters; false (and *len = what is needed)
// when it does not fit.
bool Give(const std::string& text, LPSTR buffer, UINT* len) {
    const UINT need = static_cast<UINT>(text.size() + 1);
    if (!buffer || !len || *len < need) {
        if (buffer && len && *len > 0) buffer[0] = '\0';
        if (len) *len = need;
        return false;
    }
    std::memcpy(buffer, text.c_str(), need);
    *len = need;
    return true;
}

bool IsFile(const std::string& dos) {
    const DWORD a = GetFileAttributesA(dos.c_str());
    return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool SameFolder(const std::string& a, const std::string& b) {
    const auto fa = FullDosPath(a);
    const auto fb = FullDosPath(b);
    if (!fa || !fb) return EqualNoCase1252(a, b);
    return EqualNoCase1252(*fa, *fb);
}

DWORD CopyFailure(DWORD error) {
    switch (error) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL: return VIF_OUTOFSPACE;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_READ_FAULT: return VIF_CANNOTREADSRC;
        case ERROR_ACCESS_DENIED: return VIF_ACCESSVIOLATION;
        case ERROR_SHARING_VIOLATION: return VIF_SHARINGVIOLATION;
        case ERROR_NOT_ENOUGH_MEMORY: return VIF_OUTOFMEMORY;
        default: return VIF_CANNOTCREATE;
    }
}

// Makes the temporary copy in destDir; 0 with its DOS path, else the failure bits.
DWORD MakeTemporaryCopy(const std::string& source, const char* destDir, std::string& temp) {
    char name[MAX_PATH] = {};
    if (GetTempFileNameA(destDir, "VER", 0, name) == 0) {
        const DWORD e = GetLastError();
        return e == ERROR_DISK_FULL ? VIF_OUTOFSPACE : e == ERROR_ACCESS_DENIED ? VIF_ACCESSVIOLATION : VIF_CANNOTCREATE;
    }
    temp = name;
    if (!CopyFileA(source.c_str(), temp.c_str(), FALSE)) {
        const DWORD bits = CopyFailure(GetLastError());
        DeleteFileA(temp.c_str());
        temp.clear();
        return bits;
    }
    return 0;
}

}  // namespace

void SetVersionFaults(const VersionFaults& faults) {
    std::lock_guard lock(g_faultMu);
    g_faults = faults;
}

void ClearVersionFaults() { SetVersionFaults(VersionFaults{}); }

bool IsRunningProgram(const std::filesystem::path& host) {
    struct stat file {};
    if (::stat(host.c_str(), &file) != 0) return false;
    DIR* proc = ::opendir("/proc");
    if (!proc) return false;
    bool found = false;
    while (dirent* e = ::readdir(proc)) {
        if (e->d_name[0] < '1' || e->d_name[0] > '9') continue;
        std::string exe = std::string("/proc/") + e->d_name + "/exe";
        struct stat st {};
        // stat follows the link to the program even when its name was removed or replaced.
        if (::stat(exe.c_str(), &st) == 0 && st.st_dev == file.st_dev && st.st_ino == file.st_ino) {
            found = true;
            break;
        }
    }
    ::closedir(proc);
    return found;
}

}  // namespace plat

DWORD VerFindFileA(DWORD flags, LPCSTR fileName, LPCSTR winDir, LPCSTR appDir, LPSTR curDir, UINT* curDirLen,
                   LPSTR destDir, UINT* destDirLen) {
    const std::string app = appDir ? appDir : "";
    std::vector<std::string> places{app};
    if (flags & VFFF_ISSHAREDFILE) {
        char system[MAX_PATH] = {};
        GetSystemDirectoryA(system, MAX_PATH);
        places.push_back(system);
        char windows[MAX_PATH] = {};
        if (winDir && *winDir)
            places.push_back(winDir);
        else if (GetWindowsDirectoryA(windows, MAX_PATH))
            places.push_back(windows);
    }
    std::string current;
    for (const std::string& p : places) {
        if (!p.empty() && plat::IsFile(plat::Join(p.c_str(), fileName))) {
            current = p;
            break;
        }
    }
    DWORD result = 0;
    if (!current.empty()) {
        if (!plat::SameFolder(current, app)) result |= VFF_CURNEDEST;
        const auto host = plat::ResolveDosPath(plat::Join(current.c_str(), fileName));
        if (plat::Faults().fileInUse || (host && plat::IsRunningProgram(*host))) result |= VFF_FILEINUSE;
    } else if (plat::Faults().fileInUse) {
        result |= VFF_FILEINUSE;
    }
    const bool curFits = plat::Give(current, curDir, curDirLen);
    const bool destFits = plat::Give(app, destDir, destDirLen);
    if (!curFits || !destFits) result |= VFF_BUFFTOOSMALL;
    return result;
}

DWORD VerInstallFileA(DWORD flags, LPCSTR srcName, LPCSTR destName, LPCSTR srcDir, LPCSTR destDir, LPCSTR curDir,
                      LPSTR tmpFile, UINT* tmpFileLen) {
    using plat::StampStatus;
    const std::string source = plat::Join(srcDir, srcName);
    const std::string dest = plat::Join(destDir, destName);
    const std::string current = (curDir && *curDir) ? plat::Join(curDir, destName) : dest;
    // The temporary copy's name goes to the caller when it stays.
    auto keep = [&](const std::string& temp, DWORD bits) -> DWORD {
        if (temp.empty()) return bits & ~static_cast<DWORD>(VIF_TEMPFILE);
        if (!plat::Give(temp, tmpFile, tmpFileLen)) {
            DeleteFileA(temp.c_str());
            return (bits & ~static_cast<DWORD>(VIF_TEMPFILE)) | VIF_BUFFTOOSMALL;
        }
        return bits | VIF_TEMPFILE;
    };
    if (tmpFile && tmpFileLen && *tmpFileLen > 0) tmpFile[0] = '\0';

    try {
        const plat::VersionFaults faults = plat::Faults();
        // Only a regular file, its links followed: a device or FIFO on a CD is no file to install.
        const auto sourceHost = plat::ResolveDosPath(source);
        struct stat sourceSt {};
        if (!sourceHost || !plat::IsFile(source) || ::stat(sourceHost->c_str(), &sourceSt) != 0 ||
            !S_ISREG(sourceSt.st_mode))
            return VIF_CANNOTREADSRC;
        std::string temp;
        if (faults.installResult != 0) {
            if (faults.installResult & VIF_TEMPFILE) {
                if (plat::MakeTemporaryCopy(source, destDir, temp) != 0) temp.clear();
                return keep(temp, faults.installResult);
            }
            return faults.installResult;
        }
        if (const DWORD bits = plat::MakeTemporaryCopy(source, destDir, temp)) return bits;
        const auto tempHost = plat::ResolveDosPath(temp);
        const auto destHost = plat::ResolveDosPath(dest);
        const auto currentHost = plat::ResolveDosPath(current);
        if (!tempHost || !destHost) return keep(temp, VIF_CANNOTCREATE);

        if (!(flags & VIFF_FORCEINSTALL) && currentHost && plat::IsFile(current)) {
            const plat::StampLookup mine = plat::ReadVersionStampFile(*tempHost);
            const plat::StampLookup theirs = plat::ReadVersionStampFile(*currentHost);
            if (mine.status == StampStatus::ReadError) return keep(temp, VIF_CANNOTREADSRC);
            if (theirs.status == StampStatus::ReadError) return keep(temp, VIF_CANNOTREADDST);
            if (mine.status == StampStatus::Found && theirs.status == StampStatus::Found) {
                DWORD bits = 0;
                if (plat::CompareVersions(mine.stamp.fileVersion, theirs.stamp.fileVersion) < 0) bits |= VIF_SRCOLD;
                if (mine.stamp.language != theirs.stamp.language) bits |= VIF_DIFFLANG;
                if (mine.stamp.codePage != theirs.stamp.codePage) bits |= VIF_DIFFCODEPG;
                if (mine.stamp.fileType != theirs.stamp.fileType) bits |= VIF_DIFFTYPE;
                if (bits & (VIF_DIFFLANG | VIF_DIFFCODEPG | VIF_DIFFTYPE)) bits |= VIF_MISMATCH;
                if (bits) return keep(temp, bits);
            }
        }
        struct stat st {};
        if (::stat(destHost->c_str(), &st) == 0) {
            if (!(st.st_mode & S_IWUSR)) return keep(temp, VIF_WRITEPROT);
            if (plat::IsRunningProgram(*destHost)) return keep(temp, VIF_FILEINUSE);
        }
        if (::rename(tempHost->c_str(), destHost->c_str()) != 0)
            return keep(temp, errno == EACCES || errno == EPERM ? VIF_ACCESSVIOLATION : VIF_CANNOTRENAME);
        if (curDir && *curDir && !(flags & VIFF_DONTDELETEOLD) && !plat::SameFolder(curDir, destDir ? destDir : "") &&
            plat::IsFile(current) && !DeleteFileA(current.c_str()))
            return VIF_CANNOTDELETECUR;
        return 0;
    } catch (const std::bad_alloc&) {
        return VIF_OUTOFMEMORY;
    }
}
