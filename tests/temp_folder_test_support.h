// A temporary folder of its own for a whole-program test: other builds on the same machine run
// the same tests at the same time, so a fixed name would be shared between them.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <stdexcept>
#include <string>

inline std::filesystem::path MakeTempFolder(const std::string& stem) {
    std::string pattern = (std::filesystem::temp_directory_path() / (stem + "-XXXXXX")).string();
    if (!mkdtemp(pattern.data())) throw std::runtime_error("cannot make a temporary folder for " + stem);
    return pattern;
}
