#include "platform/ipc/runtime_dir.h"

#include <system_error>

#include "platform/fs/dospath.h"

namespace plat {

std::filesystem::path RuntimeDir() {
    std::filesystem::path dir = EmulatedRoot() / "WINDOWS" / "RUNTIME";
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) return {};
    return dir;
}

}  // namespace plat
