#include "platform/fs/filetime.h"

#include <chrono>
#include <ctime>

namespace plat {
namespace {

constexpr uint64_t kTicksPerSecond = 10'000'000;
constexpr int64_t kEpochDifference = 11'644'473'600;  // seconds from 1601 to 1970
// Windows accepts FILETIME values up to 0x7FFFFFFFFFFFFFFF (the year 30828).
constexpr uint64_t kMaxFileTime = 0x7FFFFFFFFFFFFFFFull;

// Seconds from 1601 to the local time of that instant minus UTC, from the host's zone rules.
int64_t LocalOffsetAt(int64_t unixSeconds) {
    const time_t t = static_cast<time_t>(unixSeconds);
    struct tm local {};
    if (!localtime_r(&t, &local)) return 0;
    return local.tm_gmtoff;
}

}  // namespace

uint64_t FileTimeValue(const FILETIME& ft) {
    return (static_cast<uint64_t>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

FILETIME MakeFileTime(uint64_t value) {
    return FILETIME{static_cast<DWORD>(value & 0xFFFFFFFFu), static_cast<DWORD>(value >> 32)};
}

FILETIME UnixToFileTime(int64_t seconds, uint32_t nanoseconds) {
    const int64_t since1601 = seconds + kEpochDifference;
    if (since1601 < 0) return MakeFileTime(0);
    return MakeFileTime(static_cast<uint64_t>(since1601) * kTicksPerSecond + nanoseconds / 100);
}

int64_t FileTimeToUnixSeconds(const FILETIME& ft) {
    return static_cast<int64_t>(FileTimeValue(ft) / kTicksPerSecond) - kEpochDifference;
}

}  // namespace plat

LONG CompareFileTime(const FILETIME* a, const FILETIME* b) {
    if (!a || !b) return 0;
    const uint64_t va = plat::FileTimeValue(*a);
    const uint64_t vb = plat::FileTimeValue(*b);
    return va < vb ? -1 : (va > vb ? 1 : 0);
}

BOOL FileTimeToLocalFileTime(const FILETIME* utc, FILETIME* local) {
    if (!utc || !local) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const uint64_t v = plat::FileTimeValue(*utc);
    const int64_t offset = plat::LocalOffsetAt(plat::FileTimeToUnixSeconds(*utc)) * 10'000'000;
    const int64_t r = static_cast<int64_t>(v) + offset;
    *local = plat::MakeFileTime(r < 0 ? 0 : static_cast<uint64_t>(r));
    return TRUE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* local, FILETIME* utc) {
    if (!local || !utc) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const uint64_t v = plat::FileTimeValue(*local);
    // The offset of the local reading taken as UTC is right except within an hour of a change.
    const int64_t offset = plat::LocalOffsetAt(plat::FileTimeToUnixSeconds(*local)) * 10'000'000;
    const int64_t r = static_cast<int64_t>(v) - offset;
    *utc = plat::MakeFileTime(r < 0 ? 0 : static_cast<uint64_t>(r));
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* ft, SYSTEMTIME* st) {
    if (!ft || !st || plat::FileTimeValue(*ft) > plat::kMaxFileTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    using namespace std::chrono;
    const uint64_t v = plat::FileTimeValue(*ft);
    const int64_t totalSeconds = static_cast<int64_t>(v / plat::kTicksPerSecond);
    const int64_t days = totalSeconds / 86400;
    const int64_t secOfDay = totalSeconds % 86400;
    // 1601-01-01 as a day count of the civil calendar.
    const sys_days epoch1601 = year{1601} / January / 1;
    const sys_days day = epoch1601 + std::chrono::days{days};
    const year_month_day ymd{day};
    st->wYear = static_cast<WORD>(static_cast<int>(ymd.year()));
    st->wMonth = static_cast<WORD>(static_cast<unsigned>(ymd.month()));
    st->wDay = static_cast<WORD>(static_cast<unsigned>(ymd.day()));
    st->wDayOfWeek = static_cast<WORD>(weekday{day}.c_encoding());
    st->wHour = static_cast<WORD>(secOfDay / 3600);
    st->wMinute = static_cast<WORD>(secOfDay / 60 % 60);
    st->wSecond = static_cast<WORD>(secOfDay % 60);
    st->wMilliseconds = static_cast<WORD>(v % plat::kTicksPerSecond / 10'000);
    return TRUE;
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* st, FILETIME* ft) {
    using namespace std::chrono;
    if (!st || !ft || st->wYear < 1601 || st->wYear > 30827 || st->wHour > 23 || st->wMinute > 59 ||
        st->wSecond > 59 || st->wMilliseconds > 999) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const year_month_day ymd{year{st->wYear}, month{st->wMonth}, day{st->wDay}};
    if (!ymd.ok()) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const sys_days epoch1601 = year{1601} / January / 1;
    const int64_t days = (sys_days{ymd} - epoch1601).count();
    const uint64_t seconds = static_cast<uint64_t>(days) * 86400 + st->wHour * 3600u + st->wMinute * 60u + st->wSecond;
    *ft = plat::MakeFileTime(seconds * plat::kTicksPerSecond + st->wMilliseconds * 10'000ull);
    return TRUE;
}

BOOL FileTimeToDosDateTime(const FILETIME* ft, WORD* fatDate, WORD* fatTime) {
    SYSTEMTIME st;
    if (!fatDate || !fatTime || !FileTimeToSystemTime(ft, &st) || st.wYear < 1980 || st.wYear > 2107) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *fatDate = static_cast<WORD>(((st.wYear - 1980) << 9) | (st.wMonth << 5) | st.wDay);
    *fatTime = static_cast<WORD>((st.wHour << 11) | (st.wMinute << 5) | (st.wSecond / 2));
    return TRUE;
}

BOOL DosDateTimeToFileTime(WORD fatDate, WORD fatTime, FILETIME* ft) {
    SYSTEMTIME st;
    st.wYear = static_cast<WORD>(1980 + (fatDate >> 9));
    st.wMonth = static_cast<WORD>((fatDate >> 5) & 0xF);
    st.wDay = static_cast<WORD>(fatDate & 0x1F);
    st.wHour = static_cast<WORD>(fatTime >> 11);
    st.wMinute = static_cast<WORD>((fatTime >> 5) & 0x3F);
    st.wSecond = static_cast<WORD>((fatTime & 0x1F) * 2);
    return SystemTimeToFileTime(&st, ft);
}
