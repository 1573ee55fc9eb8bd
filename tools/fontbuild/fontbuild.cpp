// fontbuild: draws DejaVu outlines into monochrome bitmap faces and writes them as a Windows
// raster font file (.FON).
//
//   fontbuild game   <dejavu-folder> <out.FON> [--preview <out.pgm>]   the game's faces
//   fontbuild dialog <dejavu-folder> <out.FON> [--preview <out.pgm>]   the dialog font
//
// Each face is fitted to its cell height (the largest em whose accents and descenders fit)
// and then narrowed or widened until its average width (mean advance of a to z) is the one
// asked for.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "platform/fonts/bitmap_face.h"
#include "platform/fonts/font_raster.h"
#include "tools/fontbuild/fnt_writer.h"
#include "tools/fontbuild/marker_glyph.h"

namespace {

struct FaceSpec {
    const char* name;
    int height;
    int avgWidth;
    int weight;
    bool italic;
    const char* file;
    double slant;
    int embolden = 0;  // pixels of simulated bold on top of the bold outline
};

// The game's faces. The italic face is a sheared upright face, so that only the files of
// the core DejaVu package are needed. The bold twins are condensed to the average width of
// their regular faces, which thins their strokes; a pixel of simulated bold gives them back the
// weight that makes a spoken word stand out.
const FaceSpec kGameFaces[] = {
    {"FONTSYS", 15, 4, 400, false, "DejaVuSans.ttf", 0},
    {"GLORBLE", 12, 7, 400, false, "DejaVuSerif.ttf", 0},
    {"FONT0013", 13, 5, 400, false, "DejaVuSans.ttf", 0},
    {"FONT0015", 15, 6, 400, false, "DejaVuSans.ttf", 0},
    {"FONT0016", 15, 6, 700, false, "DejaVuSans-Bold.ttf", 0, 1},
    {"FONT0017", 15, 7, 400, true, "DejaVuSans.ttf", 0.2},
    {"FONT0021", 21, 9, 400, false, "DejaVuSans.ttf", 0},
    {"FONT0022", 21, 9, 700, false, "DejaVuSans-Bold.ttf", 0, 1},
    {"FONT0027", 24, 10, 400, false, "DejaVuSans.ttf", 0},
    {"FONT0028", 24, 10, 700, false, "DejaVuSans-Bold.ttf", 0, 1},
    {"FONT0035", 35, 16, 400, false, "DejaVuSans.ttf", 0},
    {"FONT0036", 36, 16, 400, false, "DejaVuSans.ttf", 0},
};

// The platform's dialog font: 8 and 10 point at 96 dpi.
const FaceSpec kDialogFaces[] = {
    {"MS Sans Serif", 13, 5, 400, false, "DejaVuSans.ttf", 0},
    {"MS Sans Serif", 13, 6, 700, false, "DejaVuSans-Bold.ttf", 0},
    {"MS Sans Serif", 16, 6, 400, false, "DejaVuSans.ttf", 0},
    {"MS Sans Serif", 16, 7, 700, false, "DejaVuSans-Bold.ttf", 0},
};

// Fits the 60 bytes of the header field.
constexpr const char* kCopyright = "Glyphs from DejaVu fonts, (c) 2003 Bitstream Inc. & others";

std::optional<std::vector<uint8_t>> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return std::nullopt;
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// defaultChar: what bytes without a glyph show (the blank in the game's faces, so that line
// breaks inside a line never draw; '?' in the dialog faces); `first` when outside the range.
std::optional<plat::BitmapFace> Render(const std::vector<uint8_t>& ttf, const FaceSpec& spec, int yPpem, int xPpem,
                                       uint8_t first, uint8_t last, plat::RasterReport* report,
                                       uint8_t defaultChar = '?') {
    plat::OutlineRasterOptions o;
    o.faceName = spec.name;
    o.cellHeight = spec.height;
    o.yPpem = yPpem;
    o.xPpem = xPpem;
    o.slant = spec.slant;
    o.weight = spec.weight;
    o.embolden = spec.embolden;
    o.italic = spec.italic ? 1 : 0;
    o.firstChar = first;
    o.lastChar = last;
    o.defaultChar = first <= defaultChar && defaultChar <= last ? defaultChar : first;
    std::string error;
    auto face = plat::RasterizeOutline(ttf, 0, o, &error, report);
    if (!face) std::fprintf(stderr, "fontbuild: %s: %s\n", spec.name, error.c_str());
    return face;
}

// With a marker, the face starts at 0x1F, the marker glyph; otherwise at the blank.
std::optional<plat::BitmapFace> BuildFace(const std::vector<uint8_t>& ttf, const FaceSpec& spec, bool withMarker) {
    const uint8_t first = withMarker ? 0x1F : 0x20;
    const uint8_t defaultChar = withMarker ? ' ' : '?';
    plat::RasterReport report;
    if (!Render(ttf, spec, 0, 0, first, 0xFF, &report, defaultChar)) return std::nullopt;
    for (int yPpem = report.yPpem; yPpem >= 1; --yPpem) {
        // The horizontal em that gives the asked average width, the least distorted on ties.
        int bestX = yPpem, bestMiss = 1 << 30;
        for (int x = std::max(1, yPpem / 2); x <= yPpem * 3 / 2; ++x) {
            auto letters = Render(ttf, spec, yPpem, x, 'a', 'z', nullptr);
            if (!letters) return std::nullopt;
            const int miss = std::abs(letters->avgWidth - spec.avgWidth) * 1000 + std::abs(x - yPpem);
            if (miss < bestMiss) {
                bestMiss = miss;
                bestX = x;
            }
        }
        auto face = Render(ttf, spec, yPpem, bestX, first, 0xFF, &report, defaultChar);
        if (!face) return std::nullopt;
        if (report.clippedPixels > 0) continue;  // condensing changed the hinting; go smaller
        if (withMarker) {
            face->glyphs[0] = fontbuild::MakeMarkerGlyph(*face);
            face->maxWidth = std::max(face->maxWidth, face->glyphs[0].advance);
        }
        std::printf("  %-13s h %2d  avg %2d (asked %2d)  max %2d  ascent %2d  em %2dx%-2d  widened %d\n", spec.name,
                    face->height, face->avgWidth, spec.avgWidth, face->maxWidth, face->ascent, bestX, yPpem,
                    report.widenedGlyphs);
        return face;
    }
    std::fprintf(stderr, "fontbuild: %s: no size fits\n", spec.name);
    return std::nullopt;
}

// A grey-map picture of every face: a sample line, then all its characters.
void WritePreview(const std::vector<plat::BitmapFace>& faces, const std::string& path) {
    const std::string sample =
        "\x1F Sju sj\xF6sjuka sj\xF6m\xE4n p\xE5 \xC5lands hav \xC4R \xD6VER \xC9N 0123456789 \x80\x85 Glorble!";
    if (faces.empty()) return;
    std::string all;
    for (int c = faces.front().firstChar; c <= 0xFF; ++c) all.push_back(static_cast<char>(c));
    int width = 0, height = 4;
    for (const auto& f : faces) {
        width = std::max<int>(width, plat::TextExtent(f, sample).cx);
        width = std::max<int>(width, plat::TextExtent(f, all.substr(0, 113)).cx);
        height += 3 * f.height + 8;
    }
    width += 8;
    std::vector<uint8_t> grey(static_cast<size_t>(width) * height, 255);
    int y = 4;
    auto draw = [&](const plat::BitmapFace& f, const std::string& text, int top) {
        plat::ForEachInk(f, text, 4, top, [&](int px, int py) {
            if (px >= 0 && px < width && py >= 0 && py < height) grey[static_cast<size_t>(py) * width + px] = 0;
        });
    };
    for (const auto& f : faces) {
        draw(f, sample, y);
        draw(f, all.substr(0, 113), y + f.height);
        draw(f, all.substr(113), y + 2 * f.height);
        y += 3 * f.height + 8;
    }
    std::ofstream out(path, std::ios::binary);
    out << "P5\n" << width << " " << height << "\n255\n";
    out.write(reinterpret_cast<const char*>(grey.data()), static_cast<std::streamsize>(grey.size()));
}

int Usage() {
    std::fprintf(stderr, "usage: fontbuild game|dialog <dejavu-folder> <out.FON> [--preview <out.pgm>]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 && argc != 6) return Usage();
    const std::string set = argv[1];
    const std::filesystem::path fontFolder = argv[2];
    const std::filesystem::path output = argv[3];
    std::string preview;
    if (argc == 6) {
        if (std::string(argv[4]) != "--preview") return Usage();
        preview = argv[5];
    }
    std::vector<FaceSpec> specs;
    if (set == "game") {
        specs.assign(std::begin(kGameFaces), std::end(kGameFaces));
    } else if (set == "dialog") {
        specs.assign(std::begin(kDialogFaces), std::end(kDialogFaces));
    } else {
        return Usage();
    }

    std::printf("fontbuild: %s\n", output.filename().string().c_str());
    fontbuild::FonModule module;
    module.moduleName = output.stem().string();
    module.description = "FONTRES 100,96,96 : " + module.moduleName;
    std::vector<plat::BitmapFace> faces;
    for (const FaceSpec& spec : specs) {
        const auto ttf = ReadFile(fontFolder / spec.file);
        if (!ttf) {
            std::fprintf(stderr, "fontbuild: cannot read %s\n", (fontFolder / spec.file).string().c_str());
            return 1;
        }
        auto face = BuildFace(*ttf, spec, set == "game");
        if (!face) return 1;
        module.fonts.push_back(fontbuild::WriteFnt(*face, {kCopyright, false}));
        if (module.fonts.back().empty()) {
            std::fprintf(stderr, "fontbuild: %s: cannot write the face\n", spec.name);
            return 1;
        }
        faces.push_back(std::move(*face));
    }
    const std::vector<uint8_t> fon = fontbuild::WriteFon(module);
    if (fon.empty()) {
        std::fprintf(stderr, "fontbuild: the faces do not fit a font file\n");
        return 1;
    }
    // Written beside the target and renamed, so an interrupted run leaves no half file.
    const std::filesystem::path temp = output.string() + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(fon.data()), static_cast<std::streamsize>(fon.size()));
        if (!out) {
            std::fprintf(stderr, "fontbuild: cannot write %s\n", temp.string().c_str());
            return 1;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, output, ec);
    if (ec) {
        std::fprintf(stderr, "fontbuild: cannot write %s: %s\n", output.string().c_str(), ec.message().c_str());
        return 1;
    }
    if (!preview.empty()) WritePreview(faces, preview);
    return 0;
}
