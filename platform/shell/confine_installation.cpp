// The setup programs' confinement: they and what they start write only inside the emulated
// installation, the folder of desktop entries, and (in a scripted run) the script's folder.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/fs/dospath.h"
#include "platform/process/process.h"
#include "platform/shell/shell.h"
#include "platform/shell/shortcut_file.h"

namespace plat {

ConfineResult ConfineToInstallation(const char* programName) {
    namespace fs = std::filesystem;
    std::vector<fs::path> folders{EmulatedRoot()};
    std::error_code ec;
    fs::create_directories(DesktopEntryFolder(), ec);
    folders.push_back(DesktopEntryFolder());
    // A scripted run writes its screenshots and recording beside its script.
    for (const char* variable : {"ZELBO_SCRIPT", "ZELBO_RECORD"}) {
        const char* file = std::getenv(variable);
        if (file && *file) folders.push_back(fs::absolute(fs::path(file), ec).parent_path());
    }
    std::string why;
    const ConfineResult result = ConfineWritesTo(folders, &why);
    if (result != ConfineResult::Confined)
        std::fprintf(stderr, "%s: writes are not confined to the installation (%s); the program's own checks hold alone\n",
                     programName, why.c_str());
    return result;
}

}  // namespace plat
