#include "setup/common/tree_delete.h"

#include "platform/fs/winfile.h"
#include "setup/common/install_paths.h"
#include "setup/common/product_dat.h"
#include "setup/common/script_strings.h"
#include "setup/common/script_text.h"

namespace setup {

namespace {

// Empties and removes one folder; the parents are the caller's.
void DeleteFolder(CProductDat& script, const std::string& directory) {
    WIN32_FIND_DATAA found{};
    const std::string pattern = directory + "\\*.*";
    HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            const std::string path = directory + "\\" + name;
            // Any folder, read-only and hidden ones too; links are listed as files.
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                DeleteFolder(script, path);
                continue;
            }
            SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if (!DeleteFileA(path.c_str())) script.ShowSetupMessage(2, kIdsCannotDeleteTreeFile, path.c_str(), 0);
        } while (FindNextFileA(search, &found));
        FindClose(search);
    }
    if (DirectoryExists(directory)) {
        // A read-only folder would refuse to go.
        SetFileAttributesA(directory.c_str(), FILE_ATTRIBUTE_NORMAL);
        RemoveDirectoryA(directory.c_str());
    }
}

// Statements act only on the emulated installation; anything else is a damaged script.
void RequireInstallDrive(CProductDat& script, const std::string& path) {
    if (!IsOnInstallDrive(path)) script.FatalStop(kIdsCannotReadScript);
}

}  // namespace

void DeleteTree(CProductDat& script, std::string directory) {
    if (!directory.empty() && directory.back() == '\\') directory.pop_back();
    RequireInstallDrive(script, directory);
    // The drive itself, or a system folder, is never a product's folder.
    if (IsWalkStopFolder(directory)) script.FatalStop(kIdsCannotReadScript);
    DeleteFolder(script, directory);
    RemoveEmptyParents(directory);
}

void EraseFile(CProductDat& script, const std::string& file) {
    RequireInstallDrive(script, file);
    if (FileExists(file) && !DeleteFileA(file.c_str())) script.ShowSetupMessage(1, kIdsCannotEraseFile, file.c_str(), 0);
}

}  // namespace setup
