#include "platform/version/version_stamp.h"

#include "platform/core/byte_order.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace plat {
namespace {

// Section tables larger than this are taken as damage, not as programs of ours.
constexpr uint64_t kMaxSections = 65535;
constexpr uint64_t kMaxNameTable = 16u << 20;


StampLookup Fail(StampStatus status, std::string reason) {
    StampLookup out;
    out.status = status;
    out.reason = std::move(reason);
    return out;
}

// Reads exactly n bytes; false with the lookup filled when they are not there.
bool ReadExact(const StampByteSource& read, uint64_t offset, size_t n, uint8_t* out, StampLookup& fail) {
    long long got = read(offset, n, out);
    if (got < 0) {
        fail = Fail(StampStatus::ReadError, "the file cannot be read");
        return false;
    }
    if (static_cast<size_t>(got) != n) {
        fail = Fail(StampStatus::NotStamped, "the file ends inside its headers");
        return false;
    }
    return true;
}

bool DecodeRecord(const uint8_t* r, VersionStamp& s) {
    if (std::memcmp(r, kVersionStampMagic.data(), kVersionStampMagic.size()) != 0) return false;
    const std::span<const uint8_t> b(r, kVersionStampSize);
    if (GetLe32(b, 32) != StampCheck(r, 32)) return false;
    for (size_t i = 0; i < 4; ++i) s.fileVersion[i] = GetLe16(b, 8 + 2 * i);
    for (size_t i = 0; i < 4; ++i) s.productVersion[i] = GetLe16(b, 16 + 2 * i);
    s.language = GetLe16(b, 24);
    s.codePage = GetLe16(b, 26);
    s.fileType = GetLe32(b, 28);
    return true;
}

}  // namespace

StampLookup FindVersionStamp(const StampByteSource& read) {
    StampLookup fail;
    uint8_t ident[64] = {};
    if (!ReadExact(read, 0, 16, ident, fail)) return fail.status == StampStatus::ReadError ? fail : Fail(StampStatus::NotStamped, "not an ELF file");
    if (std::memcmp(ident, "\x7f" "ELF", 4) != 0) return Fail(StampStatus::NotStamped, "not an ELF file");
    const bool wide = ident[4] == 2;
    if ((ident[4] != 1 && ident[4] != 2) || ident[5] != 1) return Fail(StampStatus::NotStamped, "not a little-endian ELF file");
    const size_t headerSize = wide ? 64 : 52;
    if (!ReadExact(read, 0, headerSize, ident, fail)) return fail;
    const std::span<const uint8_t> header(ident, headerSize);
    const uint64_t shoff = wide ? GetLe64(header, 40) : GetLe32(header, 32);
    const uint16_t shentsize = GetLe16(header, wide ? 58 : 46);
    const uint16_t shnum = GetLe16(header, wide ? 60 : 48);
    const uint16_t shstrndx = GetLe16(header, wide ? 62 : 50);
    const size_t entry = wide ? 64 : 40;
    if (shoff == 0 || shnum == 0) return Fail(StampStatus::NotStamped, "no section table");
    if (shentsize < entry || shnum > kMaxSections || shstrndx >= shnum)
        return Fail(StampStatus::NotStamped, "a damaged section table");
    if (shoff > UINT64_MAX - static_cast<uint64_t>(shnum) * shentsize)
        return Fail(StampStatus::NotStamped, "a damaged section table");

    struct Section {
        uint32_t name = 0;
        uint32_t type = 0;
        uint64_t offset = 0;
        uint64_t size = 0;
    };
    // Entries and names are read one at a time from the source: the header's sizes are the
    // file's word, and a damaged one must not decide how much memory is taken.
    auto section = [&](size_t i, Section& s) {
        uint8_t bytes[64];
        if (!ReadExact(read, shoff + static_cast<uint64_t>(i) * shentsize, entry, bytes, fail)) return false;
        const std::span<const uint8_t> p(bytes, entry);
        s.name = GetLe32(p, 0);
        s.type = GetLe32(p, 4);
        s.offset = wide ? GetLe64(p, 24) : GetLe32(p, 16);
        s.size = wide ? GetLe64(p, 32) : GetLe32(p, 20);
        return true;
    };
    Section names;
    if (!section(shstrndx, names)) return fail;
    if (names.size == 0 || names.size > kMaxNameTable || names.type == 8 /* SHT_NOBITS */)
        return Fail(StampStatus::NotStamped, "a damaged section name table");
    if (names.offset > UINT64_MAX - names.size) return Fail(StampStatus::NotStamped, "a damaged section name table");

    const size_t wanted = sizeof(kVersionSectionName);  // with its NUL
    for (size_t i = 0; i < shnum; ++i) {
        Section s;
        if (!section(i, s)) return fail;
        if (s.name >= names.size || names.size - s.name < wanted) continue;
        uint8_t name[sizeof(kVersionSectionName)];
        if (!ReadExact(read, names.offset + s.name, wanted, name, fail)) return fail;
        if (std::memcmp(name, kVersionSectionName, wanted) != 0) continue;
        if (s.type == 8 || s.size != kVersionStampSize) return Fail(StampStatus::NotStamped, "a stamp section of the wrong size");
        uint8_t record[kVersionStampSize];
        if (!ReadExact(read, s.offset, sizeof record, record, fail)) return fail;
        StampLookup out;
        if (!DecodeRecord(record, out.stamp)) return Fail(StampStatus::NotStamped, "a damaged stamp record");
        out.status = StampStatus::Found;
        out.offset = s.offset;
        return out;
    }
    return Fail(StampStatus::NotStamped, "no stamp section");
}

StampLookup FindVersionStamp(std::span<const uint8_t> image) {
    return FindVersionStamp([image](uint64_t offset, size_t n, uint8_t* out) -> long long {
        if (offset >= image.size()) return 0;
        const size_t avail = static_cast<size_t>(std::min<uint64_t>(n, image.size() - offset));
        std::memcpy(out, image.data() + offset, avail);
        return static_cast<long long>(avail);
    });
}

StampLookup ReadVersionStampFile(const std::filesystem::path& host) {
    const int fd = ::open(host.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return Fail(StampStatus::ReadError, std::string("cannot open: ") + std::strerror(errno));
    StampLookup out = FindVersionStamp([fd](uint64_t offset, size_t n, uint8_t* buf) -> long long {
        size_t done = 0;
        while (done < n) {
            ssize_t got = ::pread(fd, buf + done, n - done, static_cast<off_t>(offset + done));
            if (got < 0) {
                if (errno == EINTR) continue;
                return errno == EINVAL ? static_cast<long long>(done) : -1;  // an offset beyond what the file system takes
            }
            if (got == 0) break;
            done += static_cast<size_t>(got);
        }
        return static_cast<long long>(done);
    });
    ::close(fd);
    return out;
}

bool WriteVersionStampFile(const std::filesystem::path& host, const VersionStamp& stamp, std::string* error) {
    const StampLookup found = ReadVersionStampFile(host);
    if (found.status != StampStatus::Found) {
        if (error) *error = "not stamped: " + found.reason;
        return false;
    }
    const int fd = ::open(host.c_str(), O_WRONLY | O_CLOEXEC);
    if (fd < 0) {
        if (error) *error = std::strerror(errno);
        return false;
    }
    const auto bytes = EncodeVersionStamp(stamp);
    const bool ok = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(found.offset)) == static_cast<ssize_t>(bytes.size());
    if (!ok && error) *error = std::strerror(errno);
    ::close(fd);
    return ok;
}

int CompareVersions(const std::array<uint16_t, 4>& a, const std::array<uint16_t, 4>& b) {
    for (size_t i = 0; i < 4; ++i)
        if (a[i] != b[i]) return a[i] < b[i] ? -1 : 1;
    return 0;
}

}  // namespace plat
