// Any bytes as UTF-8 and as Windows-1252: no crash, Windows-1252 survives a round trip, and
// collation is antisymmetric.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "platform/strings/cp1252.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string fromUtf8 = plat::Utf8ToCp1252(bytes);
    if (fromUtf8.size() > bytes.size()) std::abort();
    if (plat::Utf8ToCp1252(plat::Cp1252ToUtf8(bytes)) != bytes) std::abort();
    const std::string_view a = bytes.substr(0, size / 2);
    const std::string_view b = bytes.substr(size / 2);
    const int ab = plat::SwedishCollate(a, b);
    const int ba = plat::SwedishCollate(b, a);
    if ((ab < 0) != (ba > 0) || (ab == 0) != (a == b)) std::abort();
    if ((plat::CompareNoCase1252(a, b) == 0) != (plat::CompareNoCase1252(b, a) == 0)) std::abort();
    return 0;
}
