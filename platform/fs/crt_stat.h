// The runtime library's _stat on DOS paths.
#pragma once

#include <ctime>

enum : int { _S_IFMT = 0xF000, _S_IFDIR = 0x4000, _S_IFREG = 0x8000, _S_IREAD = 0x0100, _S_IWRITE = 0x0080,
             _S_IEXEC = 0x0040 };

// The host's <sys/stat.h> turns st_mtime and friends into macros naming st_mtim.tv_sec; the
// times are laid out the same way and the same macros defined here, so that info.st_mtime
// reads alike whichever header came first.
struct _stat_time {
    time_t tv_sec = 0;
};

struct _stat {
    unsigned int st_dev = 0;  // drive number, 0 = A:
    unsigned short st_mode = 0;
    short st_nlink = 1;
    long st_size = 0;
    _stat_time st_atim;
    _stat_time st_mtim;
    _stat_time st_ctim;
};

#ifndef st_atime
#define st_atime st_atim.tv_sec
#endif
#ifndef st_mtime
#define st_mtime st_mtim.tv_sec
#endif
#ifndef st_ctime
#define st_ctime st_ctim.tv_sec
#endif

// 0, or -1 with errno set (ENOENT). st_mode has _S_IWRITE when the owner may write.
int _stat(const char* name, struct _stat* info);
