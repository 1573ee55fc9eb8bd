// Reads any bytes as an INI file: no crash, the bytes come back unchanged, and an edit
// keeps every other byte.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/profile/ini_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    plat::CIniFile ini(bytes);
    if (ini.Bytes() != bytes) {
        std::abort();
    }
    for (std::string_view section : ini.SectionNames()) {
        for (std::string_view key : ini.KeyNames(section)) {
            if (!ini.Find(section, key)) {
                std::abort();
            }
        }
    }
    ini.Set("Fuzz", "Key", "Value");
    plat::CIniFile again(ini.Bytes());
    if (again.Find("fuzz", "key") != "Value") {
        std::abort();
    }
    again.DeleteSection("fuzz");
    again.DeleteKey("User List", "Pelle");
    return 0;
}
