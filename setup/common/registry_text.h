// The text of the registry statements: where a statement's key lies, and the bytes of a
// RegistryEntryHex value written as hexadecimal digits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace setup {

// A RegistryEntryHex value holds at most this many bytes.
inline constexpr size_t kHexByteBuffer = 256;

// The statements' keys lie under HKEY_LOCAL_MACHINE "Software": the key text follows it, with
// a backslash between unless the text begins with one.
std::string RegistryPathOfKey(std::string_view keyText);

// '0'-'9', 'A'-'F' and 'a'-'f' give their values; anything else gives 0.
int HexDigitValue(char c);

// Reads the text up to its end or a ';': every two hexadecimal digits make one byte (the first
// the high half), whatever stands between them; a single digit left at the end is dropped.
// At most kHexByteBuffer bytes; further digits are ignored. Returns the number of bytes.
size_t ParseHexBytes(std::span<uint8_t, kHexByteBuffer> out, std::string_view text);

}  // namespace setup
