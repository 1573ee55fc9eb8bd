#include "setup/common/tree_delete.h"

#include "platform/fs/winfile.h"
#include "setup/common/install_paths.h"
#include "setup/common/product_dat.h"
#include "setup/common/script_strings.h"
#include "setup/common/script_text.h"

namespace setup {

namespace {

// Statements act only on the emulated installation; anything else is a damaged script.
void RequireInstallDrive(CProductDat& script, const std::string& path) {
    if (!IsOnInstallDrive(path)) script.FatalStop(kIdsCannotReadScript);
}

}  // namespace

void DeleteTree(CProductDat& script, std::string directory) {
    if (!directory.empty() && directory.back() == '\\') directory.pop_back();
    RequireInstallDrive(script, directory);
    // The drive itself, or a system folder, is never a product's folder, neither by its name
    // nor where its links lead.
    if (IsProtectedFolder(directory)) script.FatalStop(kIdsCannotReadScript);
    // Through folder handles: a link in the tree goes, never what it names.
    if (DirectoryExists(directory)) {
        plat::DeleteFolderTree(directory.c_str(), [&script](const std::string& path) {
            script.ShowSetupMessage(2, kIdsCannotDeleteTreeFile, path.c_str(), 0);
        });
    }
    RemoveEmptyParents(directory);
}

void EraseFile(CProductDat& script, const std::string& file) {
    RequireInstallDrive(script, file);
    if (FileExists(file) && !DeleteFileA(file.c_str())) script.ShowSetupMessage(1, kIdsCannotEraseFile, file.c_str(), 0);
}

}  // namespace setup
