#include "platform/version/version_stamp.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

namespace {

std::vector<uint8_t> ReadAll(const char* path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), {});
}

std::array<uint16_t, 4> ProjectVersion() {
    unsigned a = 0, b = 0, c = 0, d = 0;
    std::sscanf(ZELBO_PROJECT_VERSION, "%u.%u.%u.%u", &a, &b, &c, &d);
    return {static_cast<uint16_t>(a), static_cast<uint16_t>(b), static_cast<uint16_t>(c), static_cast<uint16_t>(d)};
}

TEST(VersionStamp, BuiltProgramCarriesTheProjectVersion) {
    const plat::StampLookup found = plat::ReadVersionStampFile(ZELBO_VERSION_SAMPLE);
    ASSERT_EQ(found.status, plat::StampStatus::Found) << found.reason;
    EXPECT_EQ(found.stamp.fileVersion, ProjectVersion());
    EXPECT_EQ(found.stamp.productVersion, ProjectVersion());
    EXPECT_EQ(found.stamp.language, 0x041D);
    EXPECT_EQ(found.stamp.codePage, 1252);
    EXPECT_EQ(found.stamp.fileType, plat::VFT_APP);
}

// Each case damages a copy of the built program in one way; only the untouched one is stamped.
struct Damage {
    const char* what;
    void (*apply)(std::vector<uint8_t>& image, uint64_t record);
    plat::StampStatus expected;
};

void Put64(std::vector<uint8_t>& image, size_t at, uint64_t v) {
    for (int i = 0; i < 8; ++i) image[at + i] = static_cast<uint8_t>(v >> (8 * i));
}

const Damage kDamages[] = {
    {"untouched", [](std::vector<uint8_t>&, uint64_t) {}, plat::StampStatus::Found},
    {"record magic", [](std::vector<uint8_t>& im, uint64_t r) { im[r] ^= 1; }, plat::StampStatus::NotStamped},
    {"version without its check", [](std::vector<uint8_t>& im, uint64_t r) { im[r + 8] ^= 1; }, plat::StampStatus::NotStamped},
    {"cut inside the record", [](std::vector<uint8_t>& im, uint64_t r) { im.resize(r + 10); }, plat::StampStatus::NotStamped},
    {"cut inside the header", [](std::vector<uint8_t>& im, uint64_t) { im.resize(20); }, plat::StampStatus::NotStamped},
    {"section table far beyond the end", [](std::vector<uint8_t>& im, uint64_t) { Put64(im, 40, UINT64_MAX - 8); },
     plat::StampStatus::NotStamped},
    {"name table index out of range", [](std::vector<uint8_t>& im, uint64_t) { im[62] = 0xFF; im[63] = 0xFF; },
     plat::StampStatus::NotStamped},
    {"big-endian class", [](std::vector<uint8_t>& im, uint64_t) { im[5] = 2; }, plat::StampStatus::NotStamped},
    {"not an ELF file", [](std::vector<uint8_t>& im, uint64_t) { std::memcpy(im.data(), "MZ\x90\0", 4); },
     plat::StampStatus::NotStamped},
    {"a section name that runs off its table",
     [](std::vector<uint8_t>& im, uint64_t) {
         // Every section's name offset points at the last byte of the name table.
         const uint64_t shoff = im[40] | (uint64_t(im[41]) << 8) | (uint64_t(im[42]) << 16) | (uint64_t(im[43]) << 24);
         const unsigned n = im[60] | (im[61] << 8);
         for (unsigned i = 0; i < n; ++i) {
             const size_t at = shoff + i * 64;
             im[at] = im[at + 1] = 0xFF;
             im[at + 2] = im[at + 3] = 0x0F;
         }
     },
     plat::StampStatus::NotStamped},
};

TEST(VersionStamp, DamagedImagesAreNotStamped) {
    const std::vector<uint8_t> original = ReadAll(ZELBO_VERSION_SAMPLE);
    const plat::StampLookup clean = plat::FindVersionStamp(original);
    ASSERT_EQ(clean.status, plat::StampStatus::Found);
    ASSERT_EQ(original[4], 2) << "the build makes 64-bit programs";
    for (const Damage& d : kDamages) {
        SCOPED_TRACE(d.what);
        std::vector<uint8_t> image = original;
        d.apply(image, clean.offset);
        const plat::StampLookup found = plat::FindVersionStamp(image);
        EXPECT_EQ(found.status, d.expected) << found.reason;
        if (d.expected != plat::StampStatus::Found) {
            EXPECT_FALSE(found.reason.empty());
        }
    }
}

// A 32-bit header claiming 65535 sections of 65535 bytes each, in a file of 56 bytes: the
// reader must ask for small pieces, never for the whole table the header claims.
TEST(VersionStamp, HugeClaimedSectionTableIsReadPieceByPiece) {
    std::vector<uint8_t> im(56, 0);
    im[0] = 0x7f; im[1] = 'E'; im[2] = 'L'; im[3] = 'F';
    im[4] = 1; im[5] = 1;
    im[32] = 52;                                 // section table right after the header
    im[46] = im[47] = 0xFF;                      // entry size 65535
    im[48] = im[49] = 0xFF;                      // 65535 entries
    im[50] = 1;                                  // names in entry 1
    size_t largest = 0;
    const plat::StampLookup found = plat::FindVersionStamp([&](uint64_t offset, size_t n, uint8_t* out) -> long long {
        largest = std::max(largest, n);
        if (offset >= im.size()) return 0;
        const size_t avail = std::min<size_t>(n, im.size() - offset);
        std::memcpy(out, im.data() + offset, avail);
        return static_cast<long long>(avail);
    });
    EXPECT_EQ(found.status, plat::StampStatus::NotStamped);
    EXPECT_LE(largest, 64u);
}

TEST(VersionStamp, RestampedCopyReadsBackAndAMissingFileIsAReadError) {
    const std::filesystem::path copy = std::filesystem::temp_directory_path() /
                                      ("zelbo-stamp-copy-" + std::to_string(std::random_device{}()));
    std::filesystem::copy_file(ZELBO_VERSION_SAMPLE, copy, std::filesystem::copy_options::overwrite_existing);
    plat::VersionStamp s;
    s.fileVersion = {2, 7, 1, 9};
    s.productVersion = {2, 7, 0, 0};
    s.language = 0x0409;
    s.codePage = 1250;
    s.fileType = plat::VFT_DLL;
    std::string error;
    ASSERT_TRUE(plat::WriteVersionStampFile(copy, s, &error)) << error;
    const plat::StampLookup found = plat::ReadVersionStampFile(copy);
    ASSERT_EQ(found.status, plat::StampStatus::Found);
    EXPECT_EQ(found.stamp, s);
    std::filesystem::remove(copy);
    EXPECT_EQ(plat::ReadVersionStampFile(copy).status, plat::StampStatus::ReadError);
}

}  // namespace
