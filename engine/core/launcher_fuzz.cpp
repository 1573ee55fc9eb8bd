// Any bytes as the launcher's swap file and child list ("KIDNAMES.INF" or "STUDENT.INF"): no
// crash, names and folders come back terminated within their buffers, a list read fills at
// most its capacity. The swap file's folder always starts with "C:\ZADARO", so that every
// folder made stays inside the emulated C: drive.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "engine/core/cor_engine.h"
#include "engine/core/launcher.h"
#include "platform/fs/dospath.h"
#include "platform/fs/winfile.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Root() {
    static const fs::path* root = [] {
        std::string pattern = (fs::temp_directory_path() / "zelbo-launcher-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        plat::SetEmulatedRoot(fs::path(pattern) / "c");
        plat::EmulatedRoot();
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(Root().parent_path(), ec);
        });
        return new fs::path(fs::path(pattern) / "c");
    }();
    return *root;
}

void Put(const fs::path& p, const std::string& bytes) {
    fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const fs::path& root = Root();
    std::error_code ec;
    fs::remove_all(root / "ZADARO", ec);
    const bool newer = data[0] & 1;
    const size_t swapSize = std::min<size_t>(size - 1, static_cast<size_t>(data[1]) * 16);
    std::string swap(reinterpret_cast<const char*>(data) + 2, std::min(swapSize, size - 2));
    const std::string list(reinterpret_cast<const char*>(data) + 2 + swap.size(), size - 2 - swap.size());
    // The fixed start of the folder; the child record and other fields come from the input.
    swap.resize(std::max<size_t>(swap.size(), kLauncherSwapChildOffset + sizeof(LauncherChild)), '\0');
    std::memcpy(swap.data(), "C:\\ZADARO\\", 10);
    Put(root / "ZADARO.SWP", swap);
    Put(root / "ZADARO" / "ZADARO.EXE", std::string(static_cast<size_t>(kLauncherNewerExeSize + (newer ? 1 : 0)), 'M'));
    for (const char* adult : {"ADULT", "AD1"}) {
        Put(root / "ZADARO" / adult / (newer ? "KIDNAMES.INF" : "STUDENT.INF"), list);
    }
    std::strcpy(theEngine->m_launcherSwapPath, "C:\\ZADARO.SWP");

    char name[40];
    char folder[MAX_PATH];
    std::memset(name, 0x7F, sizeof name);
    std::memset(folder, 0x7F, sizeof folder);
    if (GetLauncherUserPath(name, sizeof name, folder, sizeof folder) == 1) {
        if (!std::memchr(name, 0, sizeof name) || !std::memchr(folder, 0, sizeof folder)) std::abort();
        if (std::strncmp(folder, "C:\\ZADARO\\", 10) != 0) std::abort();
    }
    const int total = GetLauncherChildTotal();
    if (total < -1) std::abort();
    LauncherChild children[8];
    if (ReadLauncherUserList(children, 8) == 1) {
        for (const LauncherChild& c : children) {
            if (GetLauncherUserPathFor(c, folder, sizeof folder) == 1 && !std::memchr(folder, 0, sizeof folder)) {
                std::abort();
            }
        }
    }
    return 0;
}
