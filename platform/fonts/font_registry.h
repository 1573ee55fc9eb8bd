// The fonts a program can make: faces added with AddFontResource, plus the system's dialog
// font, which the platform loads itself; and Windows' choice of the nearest face for a
// font request (face name first, then height, then weight and slant).
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/wintypes.h"
#include "platform/fonts/bitmap_face.h"
#include "platform/fonts/font_file.h"

namespace plat {

// The dialog font file, in the system font folder, and its face name.
inline constexpr const char* kDialogFontFile = "DIALOG.FON";
inline constexpr const char* kDialogFaceName = "MS Sans Serif";

// A font request in LOGFONT terms: height > 0 is the cell height, < 0 the character (em)
// height, 0 the smallest size; width 0 is any width; weight 0 is normal (400).
struct FaceRequest {
    std::string faceName;
    int height = 0;
    int width = 0;
    int weight = 0;
    bool italic = false;
};

class FontRegistry {
public:
    // AddFontResource: the number of faces the file holds, 0 when it has none or cannot be
    // read (the reason in *error). Adding a file again adds a reference to it.
    int Add(const std::string& hostPath, std::string* error = nullptr);
    // RemoveFontResource: drops one reference; the faces go with the last. Fonts already
    // made from them stay usable (they share the face).
    bool Remove(const std::string& hostPath);

    // The nearest face: among faces of the asked name (case-insensitive), the one of the
    // nearest height (a smaller raster face is preferred to a bigger one), then weight,
    // slant and width; bold and italic are simulated when the chosen face lacks them. An
    // unknown name gets the dialog font; with no font file at all, a face of boxes.
    std::shared_ptr<const BitmapFace> Choose(const FaceRequest& request);

    // Faces of added files and of the system font folder, bitmap and outline, by name.
    std::vector<std::string> FaceNames();

    // Where the dialog font file lies: the folder set here, else the ZELBO_FONT_DIR
    // environment variable, else the build's font folder. Setting it reloads the file.
    void SetSystemFontFolder(std::string folder);
    std::string SystemFontFolder() const;
    // Why the dialog font could not be loaded (empty when it was).
    std::string SystemFontError();

    // Forgets every added file and the loaded system fonts (tests).
    void Clear();

private:
    struct Entry;
    struct File;
    std::shared_ptr<const BitmapFace> ChooseLocked(const FaceRequest& request);
    void LoadSystemFontsLocked();
    std::string SystemFontFolderLocked() const;

    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<File>> m_files;  // in the order added
    std::shared_ptr<File> m_system;
    bool m_systemLoaded = false;
    std::string m_systemFolder;
    std::string m_systemError;
    std::shared_ptr<const BitmapFace> m_boxFace;
};

// The registry of the process, used by the Windows functions.
FontRegistry& Fonts();

std::shared_ptr<const BitmapFace> ChooseFace(std::string_view faceName, int height, int width, int weight, bool italic);

}  // namespace plat

namespace plat {

// A font file by its host path added to (or removed from) the process's fonts, with
// GetLastError set on failure (ERROR_INVALID_PARAMETER, ERROR_FILE_NOT_FOUND,
// ERROR_BAD_FORMAT). The programs' AddFontResource (platform/gdi/text_out.h) takes their own
// DOS paths and maps them onto these.
int AddFontFile(const std::string& hostPath);
BOOL RemoveFontFile(const std::string& hostPath);

}  // namespace plat
