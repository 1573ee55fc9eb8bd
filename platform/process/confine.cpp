// Confinement of what a program may write: the kernel's Landlock rules, where it offers them.
// A domain of rules holds for the program and for every program it starts afterwards.
#include <fcntl.h>
#include <linux/landlock.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/process/process.h"

namespace plat {
namespace {

// Every right that changes the file system; reading and running stay outside the rules.
__u64 WriteRights(int abi) {
    __u64 rights = LANDLOCK_ACCESS_FS_WRITE_FILE | LANDLOCK_ACCESS_FS_REMOVE_DIR | LANDLOCK_ACCESS_FS_REMOVE_FILE |
                   LANDLOCK_ACCESS_FS_MAKE_CHAR | LANDLOCK_ACCESS_FS_MAKE_DIR | LANDLOCK_ACCESS_FS_MAKE_REG |
                   LANDLOCK_ACCESS_FS_MAKE_SOCK | LANDLOCK_ACCESS_FS_MAKE_FIFO | LANDLOCK_ACCESS_FS_MAKE_BLOCK |
                   LANDLOCK_ACCESS_FS_MAKE_SYM;
#ifdef LANDLOCK_ACCESS_FS_REFER
    if (abi >= 2) rights |= LANDLOCK_ACCESS_FS_REFER;
#endif
#ifdef LANDLOCK_ACCESS_FS_TRUNCATE
    if (abi >= 3) rights |= LANDLOCK_ACCESS_FS_TRUNCATE;
#endif
    return rights;
}

// The rights that apply to a file rather than a folder.
__u64 FileRights(__u64 rights) {
    __u64 file = LANDLOCK_ACCESS_FS_WRITE_FILE;
#ifdef LANDLOCK_ACCESS_FS_TRUNCATE
    file |= rights & LANDLOCK_ACCESS_FS_TRUNCATE;
#endif
    return file & rights;
}

int LandlockAbi() {
    return static_cast<int>(::syscall(SYS_landlock_create_ruleset, nullptr, 0, LANDLOCK_CREATE_RULESET_VERSION));
}

}  // namespace

bool WriteConfinementOffered() { return LandlockAbi() >= 1; }

ConfineResult ConfineWritesTo(const std::vector<std::filesystem::path>& folders, std::string* why) {
    const auto fail = [why](ConfineResult result, const std::string& text) {
        if (why) *why = text;
        return result;
    };
    const int abi = LandlockAbi();
    if (abi < 1) return fail(ConfineResult::NotOffered, std::string("the kernel offers no Landlock (") + std::strerror(errno) + ")");
    const __u64 rights = WriteRights(abi);
    landlock_ruleset_attr attr{};
    attr.handled_access_fs = rights;
    const int ruleset = static_cast<int>(::syscall(SYS_landlock_create_ruleset, &attr, sizeof attr, 0));
    if (ruleset < 0) return fail(ConfineResult::Failed, std::string("no rule set: ") + std::strerror(errno));
    // The null device stays writable: programs send what they do not want there.
    std::vector<std::pair<std::filesystem::path, bool>> places;
    for (const auto& folder : folders) places.emplace_back(folder, true);
    places.emplace_back("/dev/null", false);
    for (const auto& [place, isFolder] : places) {
        const int fd = ::open(place.c_str(), O_PATH | O_CLOEXEC);
        if (fd < 0) continue;  // a place that does not exist is nowhere to write
        landlock_path_beneath_attr beneath{};
        beneath.allowed_access = isFolder ? rights : FileRights(rights);
        beneath.parent_fd = fd;
        const long rc = ::syscall(SYS_landlock_add_rule, ruleset, LANDLOCK_RULE_PATH_BENEATH, &beneath, 0);
        const int err = errno;
        ::close(fd);
        if (rc != 0) {
            ::close(ruleset);
            return fail(ConfineResult::Failed, place.string() + ": " + std::strerror(err));
        }
    }
    if (::prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) != 0 || ::syscall(SYS_landlock_restrict_self, ruleset, 0) != 0) {
        const int err = errno;
        ::close(ruleset);
        return fail(ConfineResult::Failed, std::string("cannot restrict: ") + std::strerror(err));
    }
    ::close(ruleset);
    return ConfineResult::Confined;
}

}  // namespace plat
