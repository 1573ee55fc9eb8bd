// The version stamp of the program that links this file (see platform/version/version_stamp.h).
// CMake's zelbo_stamp_program fills in the numbers from the project's version.
#include "platform/version/version_stamp.h"

#ifndef ZELBO_STAMP_VERSION
#error "build this file through zelbo_stamp_program"
#endif

namespace {

constexpr plat::VersionStamp kStamp{{ZELBO_STAMP_VERSION}, {ZELBO_STAMP_VERSION}, 0x041D, 1252, ZELBO_STAMP_FILE_TYPE};

}  // namespace

// AddressSanitizer would pad the record with a redzone and change the section's size.
#if defined(__clang__)
#define ZELBO_STAMP_UNPADDED __attribute__((no_sanitize("address")))
#else
#define ZELBO_STAMP_UNPADDED
#endif

// Kept by the linker although nothing refers to it: the section is read from the file.
extern "C" {
extern const std::array<uint8_t, plat::kVersionStampSize> zelbo_version_stamp;
__attribute__((section(".zelbo.version"), used, retain, aligned(4))) ZELBO_STAMP_UNPADDED
const std::array<uint8_t, plat::kVersionStampSize> zelbo_version_stamp = plat::EncodeVersionStamp(kStamp);
}
