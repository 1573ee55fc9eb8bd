#pragma once

#include <filesystem>

namespace plat {

// The folder of the emulated installation where running programs meet (lock files, window
// lists); created on demand. Empty when it cannot be made.
std::filesystem::path RuntimeDir();

}  // namespace plat
