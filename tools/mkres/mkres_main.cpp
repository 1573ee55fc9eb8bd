// mkres: builds one module resource file from its text source.
//
//   mkres [--depfile FILE] [--bmp ID] SOURCE OUTPUT
//
// Errors go to stderr as "file:line: message"; the output is written only when there are
// none. The depfile (Make syntax) lists every file the source read, for the build. With
// --bmp the output is picture ID of the source, over the source's palette, as an 8-bit BMP
// file instead of the module file.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "media/res/res_writer.h"
#include "tools/mkres/bmp_out.h"
#include "tools/mkres/encoders.h"
#include "tools/mkres/source.h"

namespace {

std::string DepfileEscape(const std::string& path) {
    std::string out;
    for (char c : path) {
        if (c == ' ' || c == '#' || c == '\\') out.push_back('\\');
        if (c == '$') out.push_back('$');
        out.push_back(c);
    }
    return out;
}

int Usage() {
    std::fprintf(stderr, "usage: mkres [--depfile FILE] [--bmp ID] SOURCE OUTPUT\n");
    return 2;
}

std::optional<uint16_t> ParseId(const std::string& text) {
    if (text.empty() || text.size() > 5 || text.find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const unsigned long id = std::strtoul(text.c_str(), nullptr, 10);
    if (id > 65535) return std::nullopt;
    return static_cast<uint16_t>(id);
}

// Writes the bytes through a temporary file renamed into place.
bool WriteWhole(const std::filesystem::path& path, const std::vector<uint8_t>& bytes) {
    const std::filesystem::path temp = path.string() + ".tmp";
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "mkres: cannot write %s\n", temp.string().c_str());
            return false;
        }
    }
    std::error_code ec;
    std::filesystem::rename(temp, path, ec);
    if (ec) {
        std::fprintf(stderr, "mkres: cannot write %s: %s\n", path.string().c_str(), ec.message().c_str());
        std::filesystem::remove(temp, ec);
        return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::string depfile, source, output;
    std::optional<uint16_t> bmpId;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--depfile" && i + 1 < argc) {
            depfile = argv[++i];
        } else if (arg == "--bmp" && i + 1 < argc) {
            bmpId = ParseId(argv[++i]);
            if (!bmpId) return Usage();
        } else if (!arg.empty() && arg[0] == '-') {
            return Usage();
        } else if (source.empty()) {
            source = arg;
        } else if (output.empty()) {
            output = arg;
        } else {
            return Usage();
        }
    }
    if (source.empty() || output.empty()) return Usage();

    mkres::Diagnostics diag;
    const mkres::ModuleSource module = mkres::ReadModuleSource(source, diag);
    std::set<std::filesystem::path> inputs = module.inputs;
    media::CResWriter writer;
    const bool ok = mkres::BuildModule(module, diag, writer, inputs);
    for (const std::string& e : diag.Errors()) std::fprintf(stderr, "%s\n", e.c_str());
    if (!ok) return 1;

    if (bmpId) {
        std::string error;
        const std::optional<std::vector<uint8_t>> bmp = mkres::ModulePictureAsBmp(writer, *bmpId, &error);
        if (!bmp) std::fprintf(stderr, "%s: %s\n", source.c_str(), error.c_str());
        if (!bmp || !WriteWhole(output, *bmp)) return 1;
    } else {
        std::string error;
        if (!writer.WriteFile(output, &error)) {
            std::fprintf(stderr, "mkres: %s\n", error.c_str());
            return 1;
        }
    }
    if (!depfile.empty()) {
        std::ofstream dep(depfile, std::ios::trunc);
        dep << DepfileEscape(output) << ":";
        for (const auto& input : inputs) dep << " \\\n  " << DepfileEscape(input.string());
        dep << "\n";
        if (!dep) {
            std::fprintf(stderr, "mkres: cannot write %s\n", depfile.c_str());
            return 1;
        }
    }
    return 0;
}
