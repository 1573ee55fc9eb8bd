#include "media/res/res_item_host.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "platform/core/seam.h"

namespace {

constinit plat::Seam<IResItemHost> g_host;

}  // namespace

IResItemHost* SetResItemHost(IResItemHost* host) { return g_host.Install(host); }
IResItemHost& ResItemHost() { return g_host.Get(); }

LockedPicture LockPicture(int16_t id) {
    IResItemHost& host = ResItemHost();
    int16_t width = 0, height = 0;
    host.GetPictureSize(id, width, height);
    const uint16_t stride = host.GetPictureAttr(id);
    if (width <= 0 || height <= 0 || stride > 0x7FFF || stride < width) return {};
    BYTE* bits = host.LockPictureData(id);
    if (!bits) return {};
    return LockedPicture{bits, width, height, static_cast<int16_t>(stride)};
}

void UnlockPicture(const LockedPicture& picture) {
    if (picture.bits) ResItemHost().UnlockPictureData(picture.bits);
}

bool CopyModuleListString(char* dest, size_t capacity, int16_t id, int16_t n) {
    IResItemHost& host = ResItemHost();
    return host.CopyListString(dest, capacity, host.MapResourceId(id), n);
}

bool CopyListStringFromItem(const uint8_t* item, size_t size, int16_t n, char* dest, size_t capacity) {
    if (capacity == 0) return false;
    dest[0] = 0;
    if (!item || size < 2) return false;
    size_t pos = 2;
    for (int skip = std::max<int>(n, 1) - 1; skip > 0; --skip) {
        const void* zero = std::memchr(item + pos, 0, size - pos);
        if (!zero) return false;
        pos = static_cast<size_t>(static_cast<const uint8_t*>(zero) - item) + 1;
        if (pos >= size) return false;
    }
    if (pos >= size) return false;
    const void* zero = std::memchr(item + pos, 0, size - pos);
    const size_t end = zero ? static_cast<size_t>(static_cast<const uint8_t*>(zero) - item) : size;
    const size_t len = std::min(end - pos, capacity - 1);
    std::memcpy(dest, item + pos, len);
    dest[len] = 0;
    return true;
}
