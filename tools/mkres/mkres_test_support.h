// Builds a module source in memory, as mkres does, for the encoder tests.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "media/res/res_mgr.h"
#include "media/res/res_test_support.h"
#include "platform/core/byte_order.h"
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

// An 'SPR' picture read back through the game's resource reader.
struct Picture {
    int width = 0, height = 0, stride = 0;
    std::vector<uint8_t> pixels;
    uint8_t At(int x, int y) const { return pixels[static_cast<size_t>(y * stride + x)]; }
};

inline Picture ReadPicture(CResMgr& mgr, uint32_t id) {
    const std::vector<uint8_t> b = restest::ReadWhole(mgr, mgr.FindEntry(kResSPR, id));
    Picture p;
    if (b.size() < 12) return p;
    p.width = static_cast<int>(plat::GetLe32(b, 0));
    p.height = static_cast<int>(plat::GetLe32(b, 4));
    p.stride = (p.width + 3) & ~3;
    p.pixels.assign(b.begin() + 12, b.end());
    return p;
}

}  // namespace mkrestest
