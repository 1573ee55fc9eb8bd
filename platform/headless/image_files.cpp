// PNG screenshots of the shown screen and WAV files of the played sound.
#include <png.h>

#include <cstdio>
#include <memory>

#include "platform/core/byte_order.h"
#include "platform/core/display.h"
#include "platform/headless/headless_backend.h"

namespace plat {

bool SaveScreenPng(const std::string& path) {
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f) return false;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, f.get());
    png_set_IHDR(png, info, kScreenWidth, kScreenHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const Display& d = TheDisplay();
    std::vector<png_byte> row(kScreenWidth * 3);
    for (int y = 0; y < kScreenHeight; ++y) {
        for (int x = 0; x < kScreenWidth; ++x) {
            const PALETTEENTRY& e = d.HardwareEntry(d.Pixel(x, y));
            row[x * 3] = e.peRed;
            row[x * 3 + 1] = e.peGreen;
            row[x * 3 + 2] = e.peBlue;
        }
        png_write_row(png, row.data());
    }
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fflush(f.get()) == 0;
}

bool SaveWav(const std::string& path, const std::vector<uint8_t>& samples, int samplesPerSec) {
    std::unique_ptr<FILE, int (*)(FILE*)> f(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!f) return false;
    auto u32 = [&](uint32_t v) {
        uint8_t b[4];
        SetLe32(b, 0, v);
        std::fwrite(b, 1, 4, f.get());
    };
    auto u16 = [&](uint16_t v) {
        uint8_t b[2];
        SetLe16(b, 0, v);
        std::fwrite(b, 1, 2, f.get());
    };
    auto size = static_cast<uint32_t>(samples.size());
    std::fwrite("RIFF", 1, 4, f.get());
    u32(36 + size);
    std::fwrite("WAVEfmt ", 1, 8, f.get());
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(static_cast<uint32_t>(samplesPerSec));
    u32(static_cast<uint32_t>(samplesPerSec));
    u16(1);
    u16(8);
    std::fwrite("data", 1, 4, f.get());
    u32(size);
    if (size && std::fwrite(samples.data(), 1, size, f.get()) != size) return false;
    return std::fflush(f.get()) == 0;
}

}  // namespace plat
