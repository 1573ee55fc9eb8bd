#include "tools/mkres/game_faces.h"

#include <vector>

#include "platform/fonts/font_file.h"
#include "platform/fonts/font_registry.h"

namespace mkres {

const plat::BitmapFace* FindGameFace(const SourceLine& line, const std::string& name, EncodeContext& ctx) {
    static std::vector<plat::BitmapFace> faces;
    static std::string error;
    static bool read = false;
    const std::string path = plat::Fonts().SystemFontFolder() + "/" + kGameFontFile;
    if (!read) {
        faces = plat::LoadFontFile(path, &error);
        read = true;
    }
    if (faces.empty()) {
        ctx.Error(line.where, "cannot read the game font file " + path + (error.empty() ? "" : ": " + error));
        return nullptr;
    }
    ctx.AddInput(path);
    for (const plat::BitmapFace& face : faces)
        if (face.faceName == name) return &face;
    ctx.Error(line.where, "the game font file has no face " + name);
    return nullptr;
}

}  // namespace mkres
