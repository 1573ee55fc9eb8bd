// The version stamp of our programs: a fixed 36-byte little-endian record in the ELF section
// ".zelbo.version", put there by stamp/program_stamp.cpp (every program links it through the
// CMake helper zelbo_stamp_program) and read back through the file's section table.
//
// Record (all numbers little-endian):
//   0  8  magic "ZLBSTAMP"
//   8  8  file version a.b.c.d, four uint16
//  16  8  product version a.b.c.d, four uint16
//  24  2  language (0x041D, Swedish)
//  26  2  code page (1252)
//  28  4  file type (VFT_APP 1, VFT_DLL 2)
//  32  4  FNV-1a 32 of bytes 0..31
// A file counts as stamped only when the named section holds exactly this record with a
// matching magic and check, so a stamp never matches by accident.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <span>
#include <string>

namespace plat {

inline constexpr char kVersionSectionName[] = ".zelbo.version";
inline constexpr size_t kVersionStampSize = 36;
inline constexpr std::array<uint8_t, 8> kVersionStampMagic = {'Z', 'L', 'B', 'S', 'T', 'A', 'M', 'P'};

enum : uint32_t { VFT_UNKNOWN = 0, VFT_APP = 1, VFT_DLL = 2 };

struct VersionStamp {
    std::array<uint16_t, 4> fileVersion{};
    std::array<uint16_t, 4> productVersion{};
    uint16_t language = 0x041D;
    uint16_t codePage = 1252;
    uint32_t fileType = VFT_APP;

    bool operator==(const VersionStamp&) const = default;
};

constexpr uint32_t StampCheck(const uint8_t* bytes, size_t n) {
    uint32_t h = 2166136261u;
    for (size_t i = 0; i < n; ++i) h = (h ^ bytes[i]) * 16777619u;
    return h;
}

constexpr std::array<uint8_t, kVersionStampSize> EncodeVersionStamp(const VersionStamp& s) {
    std::array<uint8_t, kVersionStampSize> out{};
    size_t at = 0;
    auto put16 = [&](uint16_t v) {
        out[at++] = static_cast<uint8_t>(v);
        out[at++] = static_cast<uint8_t>(v >> 8);
    };
    auto put32 = [&](uint32_t v) {
        put16(static_cast<uint16_t>(v));
        put16(static_cast<uint16_t>(v >> 16));
    };
    for (uint8_t m : kVersionStampMagic) out[at++] = m;
    for (uint16_t v : s.fileVersion) put16(v);
    for (uint16_t v : s.productVersion) put16(v);
    put16(s.language);
    put16(s.codePage);
    put32(s.fileType);
    uint32_t check = StampCheck(out.data(), 32);
    put32(check);
    return out;
}

enum class StampStatus {
    Found,     // a valid stamp
    NotStamped,  // not an ELF file, no stamp section, or a section that is not a valid record
    ReadError,   // the file could not be read
};

struct StampLookup {
    StampStatus status = StampStatus::NotStamped;
    VersionStamp stamp;
    uint64_t offset = 0;  // where the record lies in the file (Found only)
    std::string reason;   // why there is no stamp, for reports
};

// Reads at most n bytes at an offset into out; returns how many it read, or -1 on an I/O error.
using StampByteSource = std::function<long long(uint64_t offset, size_t n, uint8_t* out)>;

// The stamp of an ELF image, reached only through its section table; every offset and size
// read from the image is checked before use.
StampLookup FindVersionStamp(const StampByteSource& read);
StampLookup FindVersionStamp(std::span<const uint8_t> image);
// The stamp of a host file (read piece by piece, never whole).
StampLookup ReadVersionStampFile(const std::filesystem::path& host);
// Rewrites the stamp of a stamped host file in place (tests make fixtures with it).
bool WriteVersionStampFile(const std::filesystem::path& host, const VersionStamp& stamp, std::string* error);

// Orders two a.b.c.d versions: <0, 0, >0.
int CompareVersions(const std::array<uint16_t, 4>& a, const std::array<uint16_t, 4>& b);

}  // namespace plat
