// Builds a module source in memory, as mkres does, for the encoder tests.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "platform/fonts/font_file.h"
#include "platform/fonts/font_registry.h"
#include "tools/mkres/encoders.h"
#include "tools/mkres/source.h"

namespace mkrestest {

// A face of the game's font file in the platform's font folder, read once; null when absent.
inline const plat::BitmapFace* GameFace(const std::string& name) {
    static const std::vector<plat::BitmapFace> faces =
        plat::LoadFontFile(plat::Fonts().SystemFontFolder() + "/RODODED1.FON");
    for (const auto& f : faces)
        if (f.faceName == name) return &f;
    return nullptr;
}

struct Built {
    bool ok = false;
    mkres::Diagnostics diag;
    std::vector<uint8_t> file;
};

inline Built Build(const std::string& text, const char* name = "test.mkres") {
    Built b;
    const mkres::ModuleSource source =
        mkres::ParseModuleSource(text, name, std::filesystem::temp_directory_path(), b.diag);
    std::set<std::filesystem::path> inputs = source.inputs;
    media::CResWriter writer;
    b.ok = mkres::BuildModule(source, b.diag, writer, inputs);
    if (b.ok) b.file = writer.Build();
    return b;
}

}  // namespace mkrestest
