// Shared by the text tests: the built font files and small faces made in code.
#pragma once

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/fonts/bitmap_face.h"

namespace plat::test {

inline std::string GameFontPath() { return std::string(ZELBO_FONT_DIR) + "/RODODED1.FON"; }
inline std::string DialogFontPath() { return std::string(ZELBO_FONT_DIR) + "/DIALOG.FON"; }
inline std::string DejaVuPath(const char* file) { return std::string(ZELBO_DEJAVU_DIR) + "/" + file; }

inline std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

// A face of `count` characters from 'A': character i is i + 3 pixels wide (so some cells
// span two bytes), with a diagonal of ink and its top row set, so every glyph differs.
inline BitmapFace MakeTestFace(const std::string& name, int height, int count, int weight = 400) {
    BitmapFace f;
    f.faceName = name;
    f.height = height;
    f.ascent = height - 2;
    f.internalLeading = 1;
    f.weight = weight;
    f.points = height * 3 / 4;
    f.pitchAndFamily = 0x21;
    f.firstChar = 'A';
    f.lastChar = static_cast<uint8_t>('A' + count - 1);
    f.defaultChar = 'A';
    f.breakChar = 'A';
    for (int i = 0; i < count; ++i) {
        BitmapGlyph g;
        g.advance = g.width = i + 3;
        g.bits.assign(static_cast<size_t>(g.RowBytes()) * height, 0);
        for (int x = 0; x < g.width; ++x) g.SetInk(x, 0);
        for (int y = 0; y < height; ++y) g.SetInk((y + i) % g.width, y);
        f.maxWidth = g.width;
        f.glyphs.push_back(std::move(g));
    }
    f.avgWidth = (3 + count + 2) / 2;
    return f;
}

}  // namespace plat::test
