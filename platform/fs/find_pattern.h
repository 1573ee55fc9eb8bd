// The name patterns of FindFirstFile.
#pragma once

#include <string_view>

namespace plat {

// Whether a Windows-1252 name matches a search pattern without regard to case: '*' takes
// any run of characters, '?' one character (or none at the end or before a dot), and a
// name without a dot also matches "NAME.*" and "NAME." (so "*.*" matches every name).
bool MatchDosPattern(std::string_view name, std::string_view mask);

}  // namespace plat
