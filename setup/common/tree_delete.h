// The delete statements both programs share: a folder with everything in it, and one file.
// Neither reaches beyond the emulated installation: a path that lies on another drive (Z: is
// the host's whole file system) stops the program with the script error 59209 and nothing is
// touched.
#pragma once

#include <string>

namespace setup {

class CProductDat;

// Deletes the folder's files and subfolders (one trailing backslash dropped), then the folder,
// then its parents left empty up to a stop folder (RemoveEmptyParents). Only entries that are
// folders are entered; a symbolic link is deleted as a file and never followed. A file that
// cannot be deleted shows 59192 (an error) and the rest goes on.
void DeleteTree(CProductDat& script, std::string directory);

// Deletes the file; a missing file is no error, one that cannot be deleted shows 59232 (a notice).
void EraseFile(CProductDat& script, const std::string& file);

}  // namespace setup
