// Builds a module source in memory, as mkres does, for the encoder tests.
#pragma once

#include <filesystem>
#include <set>
#include <string>
#include <vector>

#include "tools/mkres/encoders.h"
#include "tools/mkres/source.h"

namespace mkrestest {

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
    reswriter::CResWriter writer;
    b.ok = mkres::BuildModule(source, b.diag, writer, inputs);
    if (b.ok) b.file = writer.Build();
    return b;
}

}  // namespace mkrestest
