#include "setup/common/installed_product.h"

#include <algorithm>
#include <cstring>

#include "platform/core/byte_order.h"
#include "platform/fs/winfile.h"

namespace setup {

std::optional<std::string> QueryText(HKEY key, const char* name) {
    char buffer[260] = {};
    DWORD size = sizeof buffer;
    DWORD type = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) != ERROR_SUCCESS)
        return std::nullopt;
    buffer[sizeof buffer - 1] = '\0';
    return std::string(buffer);
}

uint32_t CountOfValue(const uint8_t* data, DWORD length) {
    uint8_t bytes[4] = {};
    std::memcpy(bytes, data, std::min<DWORD>(length, 4));
    return plat::GetLe32(bytes, 0);
}

int FindProductInstallation(HKEY maker, const char* makerKey, const ScriptValues& v, InstalledProduct& out) {
    HKEY product = nullptr;
    const std::string versioned = v.productName + "\\" + v.productVersion;
    if (RegOpenKeyExA(maker, versioned.c_str(), 0, KEY_READ, &product) != ERROR_SUCCESS &&
        RegOpenKeyExA(maker, v.productName.c_str(), 0, KEY_READ, &product) != ERROR_SUCCESS)
        return 0;
    const auto path = QueryText(product, "Install Path");
    RegCloseKey(product);
    if (!path) return 0;
    out.installedPath = *path;

    // Any value of that name counts, whatever its length (a longer one reads as "more data").
    uint8_t flag[4] = {};
    DWORD size = sizeof flag;
    const LONG found = RegQueryValueExA(maker, "Disable Autoplay", nullptr, nullptr, flag, &size);
    out.disableAutoplay = found == ERROR_SUCCESS || found == ERROR_MORE_DATA ? 1 : 0;
    if (!out.disableAutoplay) {
        HKEY temp = nullptr;
        const std::string tempKey = std::string(makerKey) + "\\Temp Disable Autoplay";
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, tempKey.c_str(), 0, KEY_READ, &temp) == ERROR_SUCCESS) {
            out.disableAutoplay = 1;
            RegCloseKey(temp);
        }
    }
    if (out.disableAutoplay) return 1;
    return GetFileAttributesA(out.installedPath.c_str()) != INVALID_FILE_ATTRIBUTES ? 1 : 0;
}

}  // namespace setup
