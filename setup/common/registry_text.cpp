#include "setup/common/registry_text.h"

namespace setup {

std::string RegistryPathOfKey(std::string_view keyText) {
    std::string path = "Software";
    if (keyText.empty() || keyText.front() != '\\') path += '\\';
    path += keyText;
    return path;
}

int HexDigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return 0;
}

namespace {

bool IsHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f'); }

}  // namespace

size_t ParseHexBytes(std::span<uint8_t, kHexByteBuffer> out, std::string_view text) {
    size_t count = 0;
    bool haveHigh = false;
    int high = 0;
    for (const char c : text) {
        if (c == ';' || count == out.size()) break;
        if (!IsHexDigit(c)) continue;
        if (!haveHigh) {
            high = HexDigitValue(c);
            haveHigh = true;
            continue;
        }
        out[count++] = static_cast<uint8_t>(high << 4 | HexDigitValue(c));
        haveHigh = false;
    }
    return count;
}

}  // namespace setup
