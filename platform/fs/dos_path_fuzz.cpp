// Any bytes as a DOS path or a search pattern: no crash, a full path is normal and stable, and
// a path on C: never resolves outside the emulated root.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "platform/fs/dospath.h"
#include "platform/fs/find_pattern.h"

namespace {

// Never destroyed, so that the clean-up at exit can still use it.
const std::filesystem::path& Root() {
    static const std::filesystem::path* root = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "zelbo-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        plat::SetEmulatedRoot(pattern);
        std::atexit([] {
            std::error_code ec;
            std::filesystem::remove_all(Root(), ec);
        });
        return new std::filesystem::path(pattern);
    }();
    return *root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::filesystem::path& root = Root();
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    plat::MatchDosPattern(bytes.substr(0, size / 2), bytes.substr(size / 2));
    const auto full = plat::FullDosPath(bytes);
    if (!full) return 0;
    if (full->size() < 3 || (*full)[1] != ':' || (*full)[2] != '\\') std::abort();
    if (full->find("\\..\\") != std::string::npos || full->find("\\\\") != std::string::npos) std::abort();
    if (plat::FullDosPath(*full) != full) std::abort();
    if ((*full)[0] == 'C') {
        if (const auto host = plat::ResolveDosPath(*full)) {
            const auto rel = host->lexically_relative(root);
            if (rel.empty() || *rel.begin() == "..") std::abort();
        }
    }
    return 0;
}
