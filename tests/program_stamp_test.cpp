// Every built program carries the project's version stamp.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/version/version_stamp.h"

namespace {

std::array<uint16_t, 4> ProjectVersion() {
    std::array<uint16_t, 4> v{};
    unsigned a = 0, b = 0, c = 0, d = 0;
    std::sscanf(ZELBO_PROJECT_VERSION, "%u.%u.%u.%u", &a, &b, &c, &d);
    v = {static_cast<uint16_t>(a), static_cast<uint16_t>(b), static_cast<uint16_t>(c), static_cast<uint16_t>(d)};
    return v;
}

TEST(ProgramStamps, EachProgramCarriesTheProjectVersion) {
    for (const char* program : {ZELBO_EXE, SETWELL_EXE, REMBLY_EXE}) {
        SCOPED_TRACE(program);
        const plat::StampLookup found = plat::ReadVersionStampFile(program);
        ASSERT_EQ(found.status, plat::StampStatus::Found) << found.reason;
        EXPECT_EQ(found.stamp.fileVersion, ProjectVersion());
        EXPECT_EQ(found.stamp.productVersion, ProjectVersion());
        EXPECT_EQ(found.stamp.language, 0x041D);
        EXPECT_EQ(found.stamp.codePage, 1252);
        EXPECT_EQ(found.stamp.fileType, plat::VFT_APP);
    }
}

}  // namespace
