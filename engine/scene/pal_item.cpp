#include "engine/scene/pal_item.h"

#include <algorithm>
#include <vector>

#include "engine/scene/scene_host.h"
#include "media/res/item_cache.h"
#include "media/surface/pal_id.h"
#include "platform/core/byte_order.h"

IMPLEMENT_DYNAMIC(CPalItem, CResItem)

int BlackIndexOf(std::span<const uint8_t, 768> rgb, int count) {
    const int end = std::min(count, 246);
    for (int i = 10; i < end; ++i)
        if (rgb[3 * i] == 0 && rgb[3 * i + 1] == 0 && rgb[3 * i + 2] == 0) return i;
    int best = 0, bound = 3 * 255 * 255;
    for (int i = 10; i < end; ++i) {
        const int r = rgb[3 * i], g = rgb[3 * i + 1], b = rgb[3 * i + 2];
        const int sum = r * r + g * g + b * b;
        if (sum < bound) {
            bound = sum;
            best = i;
        }
    }
    return best;
}

CPalItem::CPalItem(int32_t id) : CResItem(id) {}

CPalItem::~CPalItem() = default;

BOOL CPalItem::Load() {
    std::vector<uint8_t> item;
    if (!ReadResourceItem(kType, m_id, &m_entry, item)) return FALSE;
    return LoadFromBytes(item);
}

BOOL CPalItem::LoadFromBytes(std::span<const uint8_t> item) {
    if (item.size() < 2) return FALSE;
    const size_t count = std::min<size_t>({plat::GetLe16(item, 0), 256, (item.size() - 2) / 3});
    uint8_t rgb[768] = {};
    for (size_t k = 0; k < count; ++k) {
        const size_t at = 2 + 3 * k;
        rgb[3 * k] = item[at + 2];
        rgb[3 * k + 1] = item[at + 1];
        rgb[3 * k + 2] = item[at];
    }
    SceneHost().SetBlackIndex(BlackIndexOf(rgb, static_cast<int>(count)));
    auto palette = std::make_unique<CPalId>();
    palette->FromRgbTriplets(rgb);
    m_palette = std::move(palette);
    if (!m_palette->GetEntries(m_entries)) std::fill(std::begin(m_entries), std::end(m_entries), PALETTEENTRY{});
    return TRUE;
}

void CPalItem::ReadBackEntries() {
    if (m_palette) m_palette->GetEntries(m_entries);
}

void CPalItem::GetEntries(int first, int count, PALETTEENTRY* out) const {
    if (!out || first < 0 || count <= 0 || first >= 256) return;
    std::copy_n(m_entries + first, std::min(count, 256 - first), out);
}
