// FILETIME and SYSTEMTIME with the conversions the programs use.
#pragma once

#include <cstdint>

#include "platform/core/wintypes.h"

// 100-nanosecond intervals since 1601-01-01 UTC.
struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
};
using LPFILETIME = FILETIME*;

struct SYSTEMTIME {
    WORD wYear = 0;
    WORD wMonth = 0;
    WORD wDayOfWeek = 0;
    WORD wDay = 0;
    WORD wHour = 0;
    WORD wMinute = 0;
    WORD wSecond = 0;
    WORD wMilliseconds = 0;
};
using LPSYSTEMTIME = SYSTEMTIME*;

namespace plat {

uint64_t FileTimeValue(const FILETIME& ft);
FILETIME MakeFileTime(uint64_t value);
// Seconds and nanoseconds since 1970 (the host's clock) to FILETIME and back.
FILETIME UnixToFileTime(int64_t seconds, uint32_t nanoseconds);
int64_t FileTimeToUnixSeconds(const FILETIME& ft);

}  // namespace plat

// -1, 0, 1.
LONG CompareFileTime(const FILETIME* a, const FILETIME* b);
// Local time uses the host's time zone and its daylight-saving rule at that instant.
BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local);
BOOL LocalFileTimeToFileTime(const FILETIME* local, FILETIME* utc);
// Fails (ERROR_INVALID_PARAMETER) for values past the year 30827 or fields out of range.
BOOL FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st);
BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* ft);
// MS-DOS date and time words (2-second resolution, years 1980 to 2107).
BOOL FileTimeToDosDateTime(const FILETIME* ft, WORD* fatDate, WORD* fatTime);
BOOL DosDateTimeToFileTime(WORD fatDate, WORD fatTime, FILETIME* ft);
