// mkres: builds one module resource file from its text source.
//
//   mkres [--depfile FILE] SOURCE OUTPUT
//
// Errors go to stderr as "file:line: message"; the output is written only when there are
// none. The depfile (Make syntax) lists every file the source read, for the build.
#include <cstdio>
#include <fstream>
#include <string>

#include "media/res/res_writer.h"
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
    std::fprintf(stderr, "usage: mkres [--depfile FILE] SOURCE OUTPUT\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    std::string depfile, source, output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--depfile" && i + 1 < argc) {
            depfile = argv[++i];
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

    std::string error;
    if (!writer.WriteFile(output, &error)) {
        std::fprintf(stderr, "mkres: %s\n", error.c_str());
        return 1;
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
