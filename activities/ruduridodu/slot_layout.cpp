#include "activities/ruduridodu/slot_layout.h"

#include <cstdio>

#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/presenter.h"
#include "activities/ruduridodu/round_task.h"
#include "engine/toolbox/cursor_mouse.h"
#include "engine/toolbox/facade.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/resource_copies.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/statics_scanning.h"
#include "engine/toolbox/waits.h"
#include "media/res/res_mgr.h"
#include "media/util/mono_debug.h"

// ---------------------------------------------------------------------------------------------
// Reading the record

namespace {

class Words {
public:
    Words(const uint8_t* bytes, uint32_t size) : m_bytes(bytes), m_count(bytes ? size / 2 : 0) {}
    bool Has(uint32_t i) const { return i < m_count; }
    int16_t At(uint32_t i) const {
        return static_cast<int16_t>(m_bytes[2 * i] | m_bytes[2 * i + 1] << 8);
    }

private:
    const uint8_t* m_bytes;
    uint32_t m_count;
};

// Ring n's 11 words (n from 1); false when they pass the item's end.
bool ReadRing(const Words& w, int n, CSlotRingRecord& r) {
    const uint32_t at = 11u * static_cast<uint32_t>(n - 1) + 1;
    if (!w.Has(at + 10)) return false;
    r.x = w.At(at);
    r.y = w.At(at + 1);
    r.centreX = w.At(at + 2);
    r.centreY = w.At(at + 3);
    r.plateX = w.At(at + 4);
    r.plateY = w.At(at + 5);
    r.picture = w.At(at + 6);
    r.halo = w.At(at + 7);
    r.halo2 = w.At(at + 8);
    r.plateBase = w.At(at + 9);
    const int16_t capacity = w.At(at + 10);
    r.capacity = capacity < 0 ? int16_t{0} : capacity > CSlotTarget::kMaxSlots ? CSlotTarget::kMaxSlots : capacity;
    return true;
}

// `count` pairs from word `at` on: offsets from (ox, oy), or absolute points with (0, 0).
bool ReadSlots(const Words& w, uint32_t at, int16_t count, int16_t ox, int16_t oy, CSlotRingRecord& r) {
    for (int16_t j = 0; j < count; ++j) {
        const uint32_t i = at + 2u * static_cast<uint32_t>(j);
        if (!w.Has(i + 1)) return false;
        r.slots.push_back({static_cast<int16_t>(ox + w.At(i)), static_cast<int16_t>(oy + w.At(i + 1))});
    }
    return true;
}

}  // namespace

CSlotLayoutRecord ParseSlotLayout(int16_t layout, const uint8_t* bytes, uint32_t size) {
    CSlotLayoutRecord out;
    const Words w(bytes, size);
    const int rings = layout == 2 || layout == 4 ? 3 : 2;
    if (layout < 1 || layout > 5) return out;
    out.rings.resize(layout == 5 ? 3 : static_cast<size_t>(rings));
    for (int n = 1; n <= rings; ++n) {
        if (!ReadRing(w, n, out.rings[static_cast<size_t>(n - 1)])) return CSlotLayoutRecord{};
    }
    bool ok = true;
    switch (layout) {
        case 1:
        case 2: {
            const uint32_t at = layout == 1 ? 23 : 34;
            for (CSlotRingRecord& r : out.rings) ok = ok && ReadSlots(w, at, r.capacity, r.x, r.y, r);
            break;
        }
        case 3: {
            CSlotRingRecord& first = out.rings[0];
            CSlotRingRecord& second = out.rings[1];
            ok = ReadSlots(w, 23, second.capacity, second.x, second.y, second) &&
                 ReadSlots(w, 23u + 2u * static_cast<uint32_t>(second.capacity), first.capacity, first.x, first.y, first);
            break;
        }
        case 4: {
            uint32_t at = 34;
            for (CSlotRingRecord& r : out.rings) {
                ok = ok && ReadSlots(w, at, r.capacity, r.x, r.y, r);
                at += 2u * static_cast<uint32_t>(r.capacity);
            }
            break;
        }
        case 5: {
            CSlotRingRecord& overlap = out.rings[2];
            if (!w.Has(26)) return CSlotLayoutRecord{};
            overlap.x = w.At(23);
            overlap.y = w.At(24);
            overlap.centreX = static_cast<int16_t>(overlap.x + 86);
            overlap.centreY = static_cast<int16_t>(overlap.y + 98);
            overlap.halo = overlap.halo2 = w.At(25);
            const int16_t capacity = w.At(26);
            overlap.capacity =
                capacity < 0 ? int16_t{0} : capacity > CSlotTarget::kMaxSlots ? CSlotTarget::kMaxSlots : capacity;
            uint32_t at = 27;
            for (CSlotRingRecord& r : out.rings) {
                ok = ok && ReadSlots(w, at, r.capacity, 0, 0, r);
                at += 2u * static_cast<uint32_t>(r.capacity);
            }
            break;
        }
        default:
            break;
    }
    if (!ok) return CSlotLayoutRecord{};
    out.ok = true;
    return out;
}

// ---------------------------------------------------------------------------------------------
// The layouts

CSlotLayout::~CSlotLayout() {
    for (int16_t spot : m_spots) EngineDeleteSpot(spot);
    m_slots.clear();
    while (!m_containers.empty()) m_containers.pop_back();
}

void CSlotLayout::Create(int16_t id) {
    Build(id);
    for (int16_t n = 1; n <= m_announced; ++n) {
        if (CSlotTarget* c = Container(n)) c->ShowNumber();
    }
    MakeSpots();
}

void CSlotLayout::Build(int16_t) {}

void CSlotLayout::BuildFrom(int16_t id, const std::vector<RingPlan>& plan, int16_t announced) {
    uint32_t size = 0;
    uint8_t* copy = LoadResourceCopy(ResType("IN#"), id, size);
    const CSlotLayoutRecord record = ParseSlotLayout(m_kind, copy, copy ? size : 0);
    FreeResourceCopy(copy);
    if (!record.ok || record.rings.size() != plan.size()) {
        char line[120];
        std::snprintf(line, sizeof line, "Ruduridodu: layout %d ('IN#' %d) is missing or damaged, no rings\n", m_kind, id);
        MonoDebugWrite(line);
        return;
    }
    // Layout 3 builds ring 2's slots first; the slot list keeps the order of building.
    std::vector<size_t> slotOrder;
    for (size_t i = 0; i < plan.size(); ++i) slotOrder.push_back(i);
    if (m_kind == 3) slotOrder = {1, 0};
    for (size_t i = 0; i < plan.size(); ++i) {
        const CSlotRingRecord& r = record.rings[i];
        const int16_t number = static_cast<int16_t>(i + 1);
        std::unique_ptr<CSlotTarget> ring;
        switch (plan[i].kind) {
            case Ring::Box:
                ring = std::make_unique<CSlotBox>(number, r.x, r.y, r.centreX, r.centreY, plan[i].dx, plan[i].dy,
                                                  r.picture, r.halo, r.halo2, r.capacity);
                break;
            case Ring::BoxEx:
                ring = std::make_unique<CSlotBoxEx>(number, r.x, r.y, r.centreX, r.centreY, r.picture, r.halo,
                                                    r.capacity, Container(1));
                break;
            case Ring::Overlap:
                ring = std::make_unique<CSlotOverlap>(r.x, r.y, r.centreX, r.centreY, r.halo, r.capacity, Container(1),
                                                      Container(2));
                break;
        }
        ring->SetRound(m_round);
        if (plan[i].kind != Ring::Overlap) ring->SetPlate(r.plateBase, r.plateX, r.plateY);
        ring->SetPresenterPicture(plan[i].presenterPicture);
        m_containers.push_back(std::move(ring));
    }
    for (size_t i : slotOrder) {
        CSlotTarget* ring = m_containers[i].get();
        for (const auto& p : record.rings[i].slots) {
            CSlotPoint* slot = ring->AddSlot(p[0], p[1]);
            if (slot && m_slots.size() < static_cast<size_t>(kMaxSlots)) m_slots.push_back(slot);
        }
    }
    m_announced = announced;
}

void CSlotLayout::MakeSpots() {
    for (int16_t n = 1; n <= m_announced; ++n) {
        CSlotTarget* c = Container(n);
        if (!c) continue;
        int16_t w = 0, h = 0;
        GetPictureSize(c->Picture(), w, h);
        const int16_t spot = static_cast<int16_t>(kFirstSpot + n);
        EngineCreateSpot(spot, CCorRect{c->X(), c->Y(), static_cast<int16_t>(c->X() + w), static_cast<int16_t>(c->Y() + h)});
        EngineSetSpotHandler(spot, OnSpot);
        m_spots.push_back(spot);
    }
}

void CSlotLayout::OnSpot(int16_t spotId) {
    CRoundTask* round = Module3::CurrentRound();
    CSlotLayout* layout = round ? round->Layout() : nullptr;
    if (!layout) return;
    const int16_t n = static_cast<int16_t>(spotId % kFirstSpot);
    int16_t x = 0, y = 0;
    GetLastClick(x, y);
    if (IsScanOn()) {
        CSlotTarget* ring = layout->Container(n);
        if (!ring) return;
        x = ring->CentreX();
        y = ring->CentreY();
        if (CRoundTile* tile = round->PickedTile()) {
            tile->DropAt(ring->DropX(), ring->DropY());
            return;
        }
        if (CPlayerPiece* piece = round->PickedPiece()) {
            piece->DropAt(ring->DropX(), ring->DropY());
            return;
        }
    }
    Module3::SetReady(false);
    const int16_t c = layout->ContainerAt(x, y);
    if (c != 10) {
        CPresenter* presenter = Module3::Presenter();
        if (Module3::View().levelMode && presenter) {
            presenter->Listen();
            round->AnnounceContainer(c);
            presenter->Rest();
        } else {
            round->AnnounceContainer(c);
        }
    }
    Module3::Touch();
    Module3::SetReady(true);
}

CSlotTarget* CSlotLayout::Container(int16_t n) const {
    if (n < 1 || n > ContainerTally()) return nullptr;
    return m_containers[static_cast<size_t>(n - 1)].get();
}

int16_t CSlotLayout::ContainerAt(int16_t x, int16_t y) const {
    for (int16_t n = ContainerTally(); n >= 1; --n) {
        if (Container(n)->Contains(x, y)) return n;
    }
    return 10;
}

CSlotPoint* CSlotLayout::SlotAt(int16_t i) const {
    return i >= 0 && i < SlotTally() ? m_slots[static_cast<size_t>(i)] : nullptr;
}

void CSlotLayout::RestackTiles() {
    CCorAnim* previous = nullptr;
    for (CSlotPoint* slot : m_slots) {
        if (slot->IsFree() || !slot->Occupant()) continue;
        CCorAnim* sprite = slot->Occupant()->Sprite();
        if (previous) PutSpriteAfter(sprite, previous);
        MoveSprite(sprite, 0, 0);
        previous = sprite;
    }
    while (GetSpriteStatus(kAllSprites) == 0 && !WaitMustEnd()) Delay(0);
    RedrawArea(0);
}

void CSlotLayout1::Build(int16_t id) {
    BuildFrom(id, {{Ring::Box, 0, 0, 211}, {Ring::Box, 0, 0, 219}}, 2);
}

void CSlotLayout2::Build(int16_t id) {
    BuildFrom(id, {{Ring::Box, 0, 0, 219}, {Ring::Box, 0, 0, 211}, {Ring::Box, 0, 0, 218}}, 3);
}

void CSlotLayout3::Build(int16_t id) {
    BuildFrom(id, {{Ring::Box, 242, 15, 218}, {Ring::BoxEx, 0, 0, 211}}, 2);
}

void CSlotLayout4::Build(int16_t id) {
    BuildFrom(id, {{Ring::Box, 230, -74, 218}, {Ring::BoxEx, 0, 0, 211}, {Ring::BoxEx, 0, 0, 219}}, 3);
}

void CSlotLayout5::Build(int16_t id) {
    BuildFrom(id, {{Ring::Box, -88, -23, 211}, {Ring::Box, 61, 13, 218}, {Ring::Overlap, 0, 0, 219}}, 2);
}

std::unique_ptr<CSlotLayout> MakeSlotLayout(int16_t layout, CRoundTask* round) {
    switch (layout) {
        case 1:
            return std::make_unique<CSlotLayout1>(round);
        case 2:
            return std::make_unique<CSlotLayout2>(round);
        case 3:
            return std::make_unique<CSlotLayout3>(round);
        case 4:
            return std::make_unique<CSlotLayout4>(round);
        case 5:
            return std::make_unique<CSlotLayout5>(round);
        default:
            return nullptr;
    }
}
