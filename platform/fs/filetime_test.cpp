#include "platform/fs/filetime.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <time.h>

#include <string>

namespace {

TEST(FileTime, SystemTimeRoundTrips) {
    const struct {
        SYSTEMTIME st;
        uint64_t value;
    } cases[] = {
        {{1601, 1, 1, 1, 0, 0, 0, 0}, 0},
        {{1970, 1, 4, 1, 0, 0, 0, 0}, 116444736000000000ull},
        {{1980, 1, 2, 1, 0, 0, 0, 0}, 119600064000000000ull},
        {{2000, 2, 2, 29, 12, 34, 56, 789}, 125963012967890000ull},
        {{2107, 12, 6, 31, 23, 59, 58, 0}, 0},  // value checked by the round trip only
    };
    for (const auto& c : cases) {
        FILETIME ft;
        ASSERT_TRUE(SystemTimeToFileTime(&c.st, &ft)) << c.st.wYear;
        if (c.value) {
            EXPECT_EQ(plat::FileTimeValue(ft), c.value) << c.st.wYear;
        }
        SYSTEMTIME back;
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &back));
        EXPECT_EQ(back.wYear, c.st.wYear);
        EXPECT_EQ(back.wMonth, c.st.wMonth);
        EXPECT_EQ(back.wDay, c.st.wDay);
        EXPECT_EQ(back.wDayOfWeek, c.st.wDayOfWeek) << c.st.wYear;
        EXPECT_EQ(back.wHour, c.st.wHour);
        EXPECT_EQ(back.wMinute, c.st.wMinute);
        EXPECT_EQ(back.wSecond, c.st.wSecond);
        EXPECT_EQ(back.wMilliseconds, c.st.wMilliseconds);
    }
    EXPECT_EQ(plat::FileTimeValue(plat::UnixToFileTime(0, 0)), 116444736000000000ull);
    EXPECT_EQ(plat::FileTimeToUnixSeconds(plat::UnixToFileTime(1234567890, 500)), 1234567890);
}

TEST(FileTime, RejectsImpossibleDates) {
    FILETIME ft;
    for (SYSTEMTIME st : {SYSTEMTIME{2001, 2, 0, 29, 0, 0, 0, 0}, SYSTEMTIME{2001, 13, 0, 1, 0, 0, 0, 0},
                          SYSTEMTIME{1600, 12, 0, 31, 0, 0, 0, 0}, SYSTEMTIME{2001, 1, 0, 1, 24, 0, 0, 0},
                          SYSTEMTIME{2001, 1, 0, 1, 0, 0, 0, 1000}}) {
        EXPECT_FALSE(SystemTimeToFileTime(&st, &ft)) << st.wYear << "-" << st.wMonth << "-" << st.wDay;
    }
    const FILETIME tooLate = plat::MakeFileTime(0x8000000000000000ull);
    SYSTEMTIME st;
    EXPECT_FALSE(FileTimeToSystemTime(&tooLate, &st));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
}

TEST(FileTime, CompareAndDosDateTime) {
    const FILETIME a = plat::MakeFileTime(5);
    const FILETIME b = plat::MakeFileTime(0x100000000ull);
    EXPECT_EQ(CompareFileTime(&a, &b), -1);
    EXPECT_EQ(CompareFileTime(&b, &a), 1);
    EXPECT_EQ(CompareFileTime(&a, &a), 0);

    const SYSTEMTIME st{1996, 10, 4, 31, 17, 45, 31, 0};
    FILETIME ft;
    ASSERT_TRUE(SystemTimeToFileTime(&st, &ft));
    WORD date = 0, time = 0;
    ASSERT_TRUE(FileTimeToDosDateTime(&ft, &date, &time));
    EXPECT_EQ(date, ((1996 - 1980) << 9) | (10 << 5) | 31);
    EXPECT_EQ(time, (17 << 11) | (45 << 5) | 15);  // two-second steps
    FILETIME back;
    ASSERT_TRUE(DosDateTimeToFileTime(date, time, &back));
    EXPECT_EQ(plat::FileTimeValue(ft) - plat::FileTimeValue(back), 10'000'000u);
    const SYSTEMTIME early{1979, 12, 1, 31, 0, 0, 0, 0};
    ASSERT_TRUE(SystemTimeToFileTime(&early, &ft));
    EXPECT_FALSE(FileTimeToDosDateTime(&ft, &date, &time));
}

TEST(FileTime, LocalTimeFollowsTheZoneRules) {
    const char* saved = std::getenv("TZ");
    const std::string old = saved ? saved : "";
    ::setenv("TZ", "CET-1CEST,M3.5.0,M10.5.0/3", 1);
    ::tzset();
    const struct {
        SYSTEMTIME utc;
        WORD localHour;
    } cases[] = {
        {{2020, 1, 3, 15, 12, 0, 0, 0}, 13},  // winter: one hour ahead
        {{2020, 7, 3, 15, 12, 0, 0, 0}, 14},  // summer: two
    };
    for (const auto& c : cases) {
        FILETIME utc, local, back;
        ASSERT_TRUE(SystemTimeToFileTime(&c.utc, &utc));
        ASSERT_TRUE(FileTimeToLocalFileTime(&utc, &local));
        SYSTEMTIME st;
        ASSERT_TRUE(FileTimeToSystemTime(&local, &st));
        EXPECT_EQ(st.wHour, c.localHour);
        ASSERT_TRUE(LocalFileTimeToFileTime(&local, &back));
        EXPECT_EQ(CompareFileTime(&back, &utc), 0);
    }
    if (saved) {
        ::setenv("TZ", old.c_str(), 1);
    } else {
        ::unsetenv("TZ");
    }
    ::tzset();
}

}  // namespace
