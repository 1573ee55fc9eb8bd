// Any bytes as a preference file: ReadPrefs, ReadUserPrefs and WriteUserPrefs never crash,
// names come back terminated, and a rewrite keeps the record the file held (or writes the
// record defaults when it held none) followed by the block. Loaded for play, every level is in
// its module's range, and a file too short for record and block is set aside with its bytes.
#include <stdlib.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "engine/base/activity_settings.h"
#include "engine/base/module_level_forms.h"
#include "engine/core/cor_engine.h"
#include "engine/players/prefs_file.h"
#include "platform/fs/dospath.h"

namespace {

namespace fs = std::filesystem;

const fs::path& Root() {
    static const fs::path* root = [] {
        std::string pattern = (fs::temp_directory_path() / "zelbo-prefs-fuzz-XXXXXX").string();
        if (!mkdtemp(pattern.data())) std::abort();
        plat::SetEmulatedRoot(fs::path(pattern) / "c");
        plat::EmulatedRoot();
        fs::create_directories(fs::path(pattern) / "c" / "Prog");
        theEngine->m_programFolder = "C:\\Prog\\";
        std::atexit([] {
            std::error_code ec;
            fs::remove_all(Root().parent_path(), ec);
        });
        return new fs::path(fs::path(pattern) / "c");
    }();
    return *root;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const fs::path file = Root() / "Prog" / "Zelbo.PRF";
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;

    CUserPrefs record;
    const int read = ReadPrefs(nullptr, &record);
    if (read != (size >= sizeof(CUserPrefs) ? 1 : 0)) std::abort();
    if (read && (!std::memchr(record.printerDriver, 0, sizeof record.printerDriver) ||
                 !std::memchr(record.printerDevice, 0, sizeof record.printerDevice) ||
                 !std::memchr(record.printerPort, 0, sizeof record.printerPort))) {
        std::abort();
    }
    ReadPrefs(nullptr, nullptr);
    ReadUserPrefs(nullptr, nullptr, 0);

    ActivitySettings block;
    block.SetDefaults();
    if (WriteUserPrefs(nullptr, &block, sizeof block) != 1) std::abort();
    std::ifstream in(file, std::ios::binary);
    std::stringstream written;
    written << in.rdbuf();
    const std::string after = written.str();
    if (after.size() != sizeof(CUserPrefs) + sizeof block) std::abort();
    if (size >= sizeof(CUserPrefs) && after.compare(0, sizeof(CUserPrefs), bytes, 0, sizeof(CUserPrefs)) != 0) {
        std::abort();
    }
    if (std::memcmp(after.data() + sizeof(CUserPrefs), &block, sizeof block) != 0) std::abort();

    std::ofstream(file, std::ios::binary | std::ios::trunc) << bytes;
    const fs::path aside = Root() / "Prog" / "Zelbo.001";
    fs::remove(aside);
    ReleasePrefsFileHold();
    const bool whole = size >= sizeof(CUserPrefs) + sizeof(ActivitySettings);
    if (LoadPlayLevels(nullptr) != (whole ? 1 : 0)) std::abort();
    int32_t engineSize = 0;
    ActivitySettings loaded;
    std::memcpy(&loaded, theEngine->GetSavedSettings(engineSize), sizeof loaded);
    if (HoldStoredLevels(loaded) != 0) std::abort();
    if (whole == fs::exists(aside) || whole != fs::exists(file)) std::abort();
    if (!whole) {
        std::ifstream kept(aside, std::ios::binary);
        std::stringstream keptBytes;
        keptBytes << kept.rdbuf();
        if (keptBytes.str() != bytes) std::abort();
        fs::remove(aside);
    }
    return 0;
}
