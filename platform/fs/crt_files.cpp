// The runtime library's file calls on DOS paths.
#include "platform/fs/crt_stat.h"

#include <fcntl.h>
#include <unistd.h>

#include "platform/fs/fs_internal.h"
#include "platform/fs/write_fault.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

using namespace plat::fsi;

namespace {

int ErrnoOfLastError() {
    switch (GetLastError()) {
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
        case ERROR_NOT_READY: return ENOENT;
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS: return EEXIST;
        case ERROR_TOO_MANY_OPEN_FILES: return EMFILE;
        case ERROR_DISK_FULL: return ENOSPC;
        case ERROR_INVALID_NAME:
        case ERROR_INVALID_PARAMETER: return EINVAL;
        case ERROR_FILENAME_EXCED_RANGE: return ENAMETOOLONG;
        default: return EACCES;
    }
}

int FailCrt() {
    errno = ErrnoOfLastError();
    return -1;
}

bool HasExecutableExtension(const std::string& dos) {
    const size_t dot = dos.find_last_of('.');
    if (dot == std::string::npos || dot < dos.find_last_of('\\')) return false;
    const std::string ext = plat::ToLower1252(std::string_view(dos).substr(dot));
    return ext == ".exe" || ext == ".com" || ext == ".bat";
}

// Reading a Windows text-mode stream: "\r\n" becomes "\n" and Ctrl+Z ends the text.
struct TextReader {
    FILE* file;
};

ssize_t TextRead(void* cookie, char* buffer, size_t size) {
    FILE* f = static_cast<TextReader*>(cookie)->file;
    size_t n = 0;
    while (n < size) {
        int c = std::getc(f);
        if (c == EOF) break;
        if (c == 0x1A) {
            std::ungetc(c, f);
            break;
        }
        if (c == '\r') {
            const int next = std::getc(f);
            if (next == '\n') {
                c = '\n';
            } else if (next != EOF) {
                std::ungetc(next, f);
            }
        }
        buffer[n++] = static_cast<char>(c);
    }
    if (n == 0 && std::ferror(f)) {
        errno = EIO;
        return -1;
    }
    return static_cast<ssize_t>(n);
}

int TextSeek(void* cookie, off64_t* offset, int whence) {
    FILE* f = static_cast<TextReader*>(cookie)->file;
    if (fseeko(f, static_cast<off_t>(*offset), whence) != 0) return -1;
    *offset = ftello(f);
    return 0;
}

int TextClose(void* cookie) {
    auto* reader = static_cast<TextReader*>(cookie);
    const int r = std::fclose(reader->file);
    delete reader;
    return r;
}

}  // namespace

int _access(const char* name, int mode) {
    const auto r = ResolveForApi(name);
    if (!r) return FailCrt();
    struct stat st {};
    if (::stat(r->host.c_str(), &st) != 0) {
        FailErrno(errno, r->host);
        return FailCrt();
    }
    if ((mode & 2) && (r->cd || !OwnerWritable(st))) {
        errno = EACCES;
        return -1;
    }
    return 0;
}

int _stat(const char* name, struct _stat* info) {
    const auto r = ResolveForApi(name);
    if (!r) return FailCrt();
    struct stat st {};
    if (::stat(r->host.c_str(), &st) != 0) {
        FailErrno(errno, r->host);
        return FailCrt();
    }
    if (!info) return 0;
    *info = {};
    const bool dir = S_ISDIR(st.st_mode);
    unsigned mode = _S_IREAD | (dir ? _S_IFDIR | _S_IEXEC : _S_IFREG);
    if (!dir && HasExecutableExtension(r->dos)) mode |= _S_IEXEC;
    if (!r->cd && OwnerWritable(st)) mode |= _S_IWRITE;
    // The permission bits repeat for group and others, as the runtime library reports them.
    const unsigned perms = mode & 0700;
    info->st_mode = static_cast<unsigned short>((mode & ~0777u) | perms | (perms >> 3) | (perms >> 6));
    info->st_dev = static_cast<unsigned>(r->dos[0] - 'A');
    info->st_nlink = 1;
    info->st_size = dir ? 0 : static_cast<long>(st.st_size);
    info->st_atim.tv_sec = st.st_atim.tv_sec;
    info->st_mtim.tv_sec = st.st_mtim.tv_sec;
    info->st_ctim.tv_sec = st.st_mtim.tv_sec;
    return 0;
}

namespace plat {

FILE* fopen_dos(const char* name, const char* mode) {
    if (!mode || !*mode) {
        errno = EINVAL;
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const auto r = ResolveForApi(name);
    if (!r) {
        FailCrt();
        return nullptr;
    }
    const std::string m(mode);
    const bool writes = m.find_first_of("wa+") != std::string::npos;
    struct stat st {};
    const bool exists = ::stat(r->host.c_str(), &st) == 0;
    if ((writes && (r->cd || (exists && !OwnerWritable(st)))) || (exists && S_ISDIR(st.st_mode))) {
        SetLastError(ERROR_ACCESS_DENIED);
        errno = EACCES;
        return nullptr;
    }
    // The stdio writes themselves are not asked; opening is (creating or emptying the file).
    if (writes) {
        const bool truncates = m[0] == 'w';
        DWORD fault = 0;
        if ((!exists && !plat::WriteStepAllowed(plat::WriteStep::CreateFile, r->host, &fault)) ||
            (exists && truncates && !plat::WriteStepAllowed(plat::WriteStep::SetLength, r->host, &fault))) {
            SetLastError(fault);
            errno = ENOSPC;
            return nullptr;
        }
    }
    // Windows-only mode letters ('t', 'c', 'n') mean nothing to the host.
    std::string hostMode;
    for (char c : m) {
        if (c == 'r' || c == 'w' || c == 'a' || c == '+' || c == 'b') hostMode += c;
    }
    // Opened without waiting and looked at before stdio takes it: a FIFO or a device planted
    // where a file should be is refused, never read or written.
    int flags = O_CLOEXEC | O_NONBLOCK;
    const bool plus = m.find('+') != std::string::npos;
    switch (m[0]) {
        case 'w': flags |= (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_TRUNC; break;
        case 'a': flags |= (plus ? O_RDWR : O_WRONLY) | O_CREAT | O_APPEND; break;
        default: flags |= plus ? O_RDWR : O_RDONLY; break;
    }
    const int fd = ::open(r->host.c_str(), flags, 0666);
    if (fd < 0) {
        const int err = errno;
        FailErrno(err, r->host);
        errno = err;
        return nullptr;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !IsOpenableKind(*r, opened)) {
        ::close(fd);
        SetLastError(ERROR_ACCESS_DENIED);
        errno = EACCES;
        return nullptr;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    FILE* f = ::fdopen(fd, hostMode.c_str());
    if (!f) {
        const int err = errno;
        ::close(fd);
        FailErrno(err, r->host);
        errno = err;
        return nullptr;
    }
    const bool text = m.find('b') == std::string::npos;
    if (!text || writes) return f;
    auto* reader = new TextReader{f};
    FILE* wrapped = fopencookie(reader, "r", cookie_io_functions_t{TextRead, nullptr, TextSeek, TextClose});
    if (!wrapped) {
        delete reader;
        std::fclose(f);
        errno = ENOMEM;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return wrapped;
}

int remove_dos(const char* name) { return DeleteFileA(name) ? 0 : FailCrt(); }

int rename_dos(const char* from, const char* to) { return MoveFileA(from, to) ? 0 : FailCrt(); }

}  // namespace plat
