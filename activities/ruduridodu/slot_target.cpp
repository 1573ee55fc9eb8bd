#include "activities/ruduridodu/slot_target.h"

#include <climits>

#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/presenter.h"
#include "activities/ruduridodu/round_task.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/geometry.h"
#include "engine/toolbox/phrase.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"

namespace {

constexpr int16_t kNoPicture = 2;
constexpr int16_t kMarkedStroke = 653;   // the red "not" stroke over a marked plate
constexpr int16_t kEmptyRingSound = 611;  // two-player play: nothing in this ring yet

int16_t ClassOf(int16_t v) { return static_cast<int16_t>(v / 10 * 10); }

// The digits of n into the plate: the tens at (x, y), the ones `step` to the right of them;
// a single digit at (singleX, y). n from 0 to 99; other n draw nothing.
void DrawDigits(CNumberPlate& plate, int16_t n, int16_t firstDigit, int16_t x, int16_t singleX, int16_t y,
                int16_t step) {
    const int16_t t = static_cast<int16_t>(n / 10);
    const int16_t u = static_cast<int16_t>(n % 10);
    if (n < 0 || t > 9) return;
    if (t == 0) {
        plate.CopyIntoBoth(static_cast<int16_t>(firstDigit + u), singleX, y);
        return;
    }
    plate.CopyIntoBoth(static_cast<int16_t>(firstDigit + t), x, y);
    plate.CopyIntoBoth(static_cast<int16_t>(firstDigit + u), static_cast<int16_t>(x + step), y);
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// The number plate

CNumberPlate::CNumberPlate(int16_t base, int16_t x, int16_t y)
    : m_x(x), m_y(y), m_base(base), m_baseHighlighted(static_cast<int16_t>(base + 5)) {
    MakePictures();
    m_sprite = CreateSprite(0, 0, kNoPicture);
}

CNumberPlate::~CNumberPlate() {
    DisposeSprite(m_sprite);
    DropPictures();
}

void CNumberPlate::MakePictures() {
    m_normal = CreatePictureItem();
    m_highlighted = CreatePictureItem();
}

// The items were drawn into, so no purge of the cache would ever take them: they go here.
void CNumberPlate::DropPictures() {
    if (m_normal >= 0) PurgeResource(m_normal);
    if (m_highlighted >= 0) PurgeResource(m_highlighted);
    m_normal = m_highlighted = -1;
}

void CNumberPlate::CopyBlanks() {
    if (m_normal >= 0) CopyPictureInto(m_normal, m_base, 0, 0);
    if (m_highlighted >= 0) CopyPictureInto(m_highlighted, m_baseHighlighted, 0, 0);
}

void CNumberPlate::CopyIntoBoth(int16_t picture, int16_t x, int16_t y) {
    if (m_normal >= 0) CopyPictureInto(m_normal, picture, x, y);
    if (m_highlighted >= 0) CopyPictureInto(m_highlighted, picture, x, y);
}

void CNumberPlate::ShowNormal() { QueueSpriteFrameNoWait(m_sprite, m_normal >= 0 ? m_normal : kNoPicture); }

void CNumberPlate::ShowHighlighted() {
    QueueSpriteFrameNoWait(m_sprite, m_highlighted >= 0 ? m_highlighted : kNoPicture);
}

void CNumberPlate::MoveToPlace() {
    QueueSpriteFrameNoWait(m_sprite, m_normal >= 0 ? m_normal : kNoPicture);
    MoveSpriteInPicture(m_sprite, m_x, m_y);
}

void CNumberPlate::Rebuild() {
    QueueSpriteFrameNoWait(m_sprite, kNoPicture);
    WaitSpriteDone(m_sprite);
    DisposeSprite(m_sprite);
    DropPictures();
    MakePictures();
    CopyBlanks();
    m_sprite = CreateSprite(m_x, m_y, m_normal >= 0 ? m_normal : kNoPicture);
}

// ---------------------------------------------------------------------------------------------
// The base

CSlotTarget::CSlotTarget(int16_t number, int16_t x, int16_t y, int16_t cx, int16_t cy, int16_t dx, int16_t dy)
    : m_x(x), m_y(y), m_centreX(cx), m_centreY(cy), m_dropDx(dx), m_dropDy(dy), m_number(number) {}

CSlotTarget::~CSlotTarget() = default;

void CSlotTarget::ShowNumber() {}
void CSlotTarget::Highlight(int16_t) {}
void CSlotTarget::Unhighlight() {}
bool CSlotTarget::Contains(int16_t, int16_t) const { return false; }
int16_t CSlotTarget::Announce() { return 1; }
int16_t CSlotTarget::SpeakNumber(int16_t) { return 1; }
int16_t CSlotTarget::SpeakNumberAlt(int16_t) { return 1; }

void CSlotTarget::SetPlate(int16_t base, int16_t x, int16_t y) { m_plate = std::make_unique<CNumberPlate>(base, x, y); }

void CSlotTarget::SetCapacity(int16_t capacity) {
    m_capacity = capacity < 0 ? int16_t{0} : capacity > kMaxSlots ? kMaxSlots : capacity;
}

CSlotPoint* CSlotTarget::AddSlot(int16_t x, int16_t y) {
    if (m_slotCount >= m_capacity) return nullptr;
    auto& slot = m_slots[static_cast<size_t>(m_slotCount++)];
    slot = std::make_unique<CSlotPoint>(x, y);
    return slot.get();
}

CSlotPoint* CSlotTarget::Slot(int16_t i) const {
    return i >= 0 && i < m_slotCount ? m_slots[static_cast<size_t>(i)].get() : nullptr;
}

void CSlotTarget::TakeSlot(CSlotPoint* slot, CRoundTile* tile) {
    if (!slot) return;
    slot->Take(tile);
    ++m_taken;
}

void CSlotTarget::ReleaseSlot() {
    if (m_taken > 0) --m_taken;
}

int16_t CSlotTarget::FindNearestFreeSlot(CRoundTile* tile) {
    if (m_slotCount == 0) return -1;
    int16_t px = 0, py = 0;
    if (tile) {
        CCorAnim* sprite = tile->Sprite();
        GetSpritePos(sprite, &px, &py);
        const int16_t picture = GetSpriteFrame(sprite);
        px = static_cast<int16_t>(px + GetPictureHalfWidth(picture));
        py = static_cast<int16_t>(py + GetPictureHalfHeight(picture));
    }
    int16_t freeSlots = 0;
    for (int16_t i = 0; i < m_slotCount; ++i) freeSlots = static_cast<int16_t>(freeSlots + (Slot(i)->IsFree() ? 1 : 0));
    if (freeSlots == 0 || m_taken >= m_slotCount) {
        // Full: a random occupant makes room. Only a slot with an occupant (not the car coming
        // in) can be given up; the walk from the drawn slot finds the next such slot.
        const int16_t r = RandomBelow(m_slotCount);
        for (int16_t k = 0; k < m_slotCount; ++k) {
            const int16_t i = static_cast<int16_t>((r + k) % m_slotCount);
            CRoundTile* occupant = Slot(i)->Occupant();
            if (!occupant || occupant == tile) continue;
            occupant->Unpark();
            occupant->Leave(4, 4);
            if (m_round) {
                if (CTaskRecord* record = m_round->GetRecord(occupant->Record())) record->RemoveChoice(*occupant);
                m_round->DeleteTile(occupant);
            }
            Slot(i)->Release();
            return i;
        }
    }
    // The nearest free slot at any distance; ties keep the lower slot.
    int32_t best = INT32_MAX;
    int16_t index = -1;
    for (int16_t i = 0; i < m_slotCount; ++i) {
        CSlotPoint* slot = Slot(i);
        if (!slot->IsFree()) continue;
        const int32_t dx = px - slot->X();
        const int32_t dy = py - slot->Y();
        const int32_t sum = (dx / 10 * dx) / 10 + (dy / 10 * dy) / 10;
        const int32_t d = IntSqrt(sum) * 10;
        if (d < best) {
            best = d;
            index = i;
        }
    }
    return index;
}

void CSlotTarget::PlaceForPlayer(int16_t value, CPlayerPiece* piece) {
    if (m_holds && piece && m_owner >= 0 && m_round && ClassOf(m_value) == piece->Category()) {
        if (CPlayerPiece* owner = m_round->PlayerPiece(m_owner)) owner->Unmark(true);
    }
    if (piece) {
        m_owner = piece->PlayerIndex();
        QueueSpriteFrameNoWait(piece->Sprite(), kNoPicture);
        MoveSpriteInPicture(piece->Sprite(), piece->HomeX(), piece->HomeY());
        WaitSpriteDone(piece->Sprite());
    }
    if (m_plate) {
        m_plate->Rebuild();
        m_value = value;
        m_plate->SetShownCode(static_cast<int16_t>(value + 300));
        if (value != 0) m_plate->CopyIntoBoth(static_cast<int16_t>(500 + value), 0, 0);
        PutSpriteAfter(m_plate->Sprite(), m_mainSprite);
    }
    m_holds = 1;
}

std::array<uint16_t, 33> CSlotTarget::Switches() {
    uint16_t list[kPhraseSize] = {};
    BuildPhrase(list, 500, 0, 0, 0, 0, 0);
    std::array<uint16_t, 33> out{};
    for (size_t i = 0; i < out.size(); ++i) out[i] = list[i];
    return out;
}

bool CSlotTarget::RecordMarked(int16_t record) const {
    const CTaskRecord* r = m_round ? m_round->GetRecord(record) : nullptr;
    return r && r->IsMarked();
}

int16_t CSlotTarget::RecordExtra(int16_t record) const {
    const CTaskRecord* r = m_round ? m_round->GetRecord(record) : nullptr;
    return r ? r->GetExtra() : int16_t{0};
}

bool CSlotTarget::TwoPlayer() { return Module3::View().twoPlayerMode != 0; }

int16_t CSlotTarget::SayTemplate(int16_t templateId, int16_t number, int16_t first, int16_t second) {
    CPresenter* presenter = Module3::Presenter();
    if (!presenter) return 1;
    uint16_t list[kPhraseSize] = {};
    const int16_t n = BuildPhrase(list, templateId, static_cast<uint16_t>(first), static_cast<uint16_t>(second), 0, 0,
                                  static_cast<uint16_t>(number));
    return presenter->SaySounds(n, list);
}

int16_t CSlotTarget::PointAndSayTemplate(int16_t picture, int16_t templateId, int16_t number) {
    CPresenter* presenter = Module3::Presenter();
    if (!presenter) return 1;
    uint16_t list[kPhraseSize] = {};
    const int16_t n = BuildPhrase(list, templateId, 0, 0, 0, 0, static_cast<uint16_t>(number));
    return presenter->PointAndSaySounds(picture, n, list);
}

int16_t CSlotTarget::SayOne(int16_t sound) {
    CPresenter* presenter = Module3::Presenter();
    return presenter ? presenter->Say(sound) : int16_t{1};
}

int16_t CSlotTarget::PlayOne(int16_t sound) { return Module3::PlayAndWait(sound) ? 1 : 0; }

void CSlotTarget::WaitSoundsQuiet() {
    while (IsSndPlaying(-1) && !WaitMustEnd()) {
        Delay(0);
        if (IsClickPending(1)) {
            StopAllSnds();
            return;
        }
    }
}

int16_t CSlotTarget::SpeakWith(int16_t code, const int16_t (&templates)[5]) {
    int16_t said = 1;
    const int16_t item = RecordExtra(m_number);
    if (code <= 52) {
        said = SayTemplate(templates[0], static_cast<int16_t>(code + 300));
    } else if (code <= 54) {
        if (Module3::View().level >= 35) {
            said = SayTemplate(templates[1], static_cast<int16_t>(code + 300), item);
        } else {
            said = SayTemplate(templates[2], static_cast<int16_t>(code + 304), item);
        }
    } else if (RecordMarked(m_number)) {
        said = SayTemplate(templates[3], 0, item);
    } else {
        said = SayTemplate(templates[4], static_cast<int16_t>(code + 300), item);
    }
    if (said) return 1;
    Unhighlight();
    return 0;
}

// ---------------------------------------------------------------------------------------------
// An ordinary ring

CSlotBox::CSlotBox(int16_t number, int16_t x, int16_t y, int16_t cx, int16_t cy, int16_t dx, int16_t dy,
                   int16_t picture, int16_t halo, int16_t halo2, int16_t capacity)
    : CSlotBox(number, x, y, cx, cy, dx, dy, picture, halo, halo2, capacity, 4) {}

CSlotBox::CSlotBox(int16_t number, int16_t x, int16_t y, int16_t cx, int16_t cy, int16_t dx, int16_t dy,
                   int16_t picture, int16_t halo, int16_t halo2, int16_t capacity, int16_t haloDy)
    : CSlotTarget(number, x, y, cx, cy, dx, dy) {
    m_picture = picture;
    m_haloPicture = halo;
    m_secondHaloPicture = halo2;
    SetCapacity(capacity);
    m_mainSprite = CreateSprite(x, y, picture);
    m_haloSprite = CreateSprite(static_cast<int16_t>(x + 5), static_cast<int16_t>(y + haloDy), kNoPicture);
    SpriteToBack(m_mainSprite);
    SpriteToBack(m_haloSprite);
}

CSlotBox::~CSlotBox() { FreeScreen(); }

void CSlotBox::FreeScreen() {
    if (!m_mainSprite && !m_haloSprite && !m_plate) return;
    Unhighlight();
    m_plate.reset();
    DisposeSprite(m_mainSprite);
    DisposeSprite(m_haloSprite);
    m_mainSprite = m_haloSprite = nullptr;
}

void CSlotBox::ShowNumber() {
    if (!m_plate) return;
    CNumberPlate& plate = *m_plate;
    if (TwoPlayer()) {
        plate.CopyBlanks();
        plate.MoveToPlace();
        PutSpriteAfter(plate.Sprite(), m_mainSprite);
        return;
    }
    const CTaskRecord* record = m_round ? m_round->GetRecord(m_number) : nullptr;
    const int16_t c = record ? record->Value() : int16_t{0};
    m_value = c;
    plate.SetShownCode(static_cast<int16_t>(c + 300));
    plate.CopyBlanks();
    if (c <= 52) {
        plate.CopyIntoBoth(static_cast<int16_t>(500 + c), 0, 0);
    } else {
        const int16_t n = record ? record->GetExtra() : int16_t{0};
        if (c == 53 || c == 54) {
            const bool high = Module3::View().level >= 35;
            plate.CopyIntoBoth(static_cast<int16_t>((high ? 500 : 502) + c), 0, 0);
            const int16_t x = high ? 28 : 20;
            DrawDigits(plate, n, 450, x, static_cast<int16_t>(x + 5), high ? 22 : 9, 10);
        } else {
            DrawDigits(plate, n, 460, 10, 20, 16, 20);
        }
    }
    if (record && record->IsMarked()) plate.CopyIntoBoth(kMarkedStroke, 0, 0);
    plate.MoveToPlace();
    PutSpriteAfter(plate.Sprite(), m_mainSprite);
}

void CSlotBox::Highlight(int16_t picture) {
    SpriteToBack(m_haloSprite);
    QueueSpriteFrameNoWait(m_haloSprite, picture);
    if (m_plate) m_plate->ShowHighlighted();
}

void CSlotBox::Unhighlight() {
    if (m_plate) m_plate->ShowNormal();
    QueueSpriteFrameNoWait(m_haloSprite, kNoPicture);
}

// Inside the oval ((px - cx) / a)² + ((py - cy) / b)² < 1 with the half axes from the
// picture's top-left; an oval without width or height holds nothing.
bool CSlotBox::Contains(int16_t x, int16_t y) const {
    const double a = static_cast<double>(m_centreX) - m_x;
    const double b = static_cast<double>(m_centreY) - m_y;
    if (a == 0.0 || b == 0.0) return false;
    const double u = (static_cast<double>(x) - m_centreX) / a;
    const double v = (static_cast<double>(y) - m_centreY) / b;
    return u * u + v * v < 1.0;
}

int16_t CSlotBox::SpeakNumber(int16_t code) {
    static constexpr int16_t kTemplates[5] = {278, 275, 274, 276, 277};
    return SpeakWith(code, kTemplates);
}

int16_t CSlotBox::SpeakNumberAlt(int16_t code) {
    static constexpr int16_t kTemplates[5] = {308, 305, 304, 306, 307};
    return SpeakWith(code, kTemplates);
}

int16_t CSlotBox::Announce() {
    if (TwoPlayer() && !m_holds) return PlayOne(kEmptyRingSound);
    CPresenter* presenter = Module3::Presenter();
    const int16_t v = static_cast<int16_t>((m_plate ? m_plate->ShownCode() : m_value + 300) - 300);
    const int16_t t = ClassOf(v);
    Highlight(m_haloPicture);
    int16_t said = 1;
    if (t == 50) {
        if (presenter) QueueSpriteFrameNoWait(presenter->Body(), m_presenterPicture);
        if (!SpeakNumber(v)) {
            if (presenter && !TwoPlayer()) presenter->Rest();
            Unhighlight();
            return 0;
        }
        said = SayTemplate(269, 0);
    } else {
        const bool marked = RecordMarked(m_number);
        const std::array<uint16_t, 33> L = Switches();
        if (t == 40) {
            const int16_t word = marked ? 427 : 426;
            const int16_t number = static_cast<int16_t>(v + 300);
            CPresenter* p = presenter;
            auto point = [&] { return p ? p->PointAndSay(m_presenterPicture, word) : int16_t{1}; };
            if (L[0] > 1) {
                said = PlayOne(number) && point();
            } else {
                said = point() && PlayOne(number);
            }
            said = said && SayOne(425);
        } else if (t == 30) {
            const int16_t a = L[5] > 1 ? 591 : 0;
            const int16_t b = L[5] > 1 ? 597 : 0;
            const int16_t e = L[3] > 1 ? 586 : 0;
            said = marked ? PointAndSayTemplate(m_presenterPicture, 271, static_cast<int16_t>(v + 300 + b))
                          : PointAndSayTemplate(m_presenterPicture, 272, static_cast<int16_t>(v + 300 + a + e));
        } else {
            said = marked ? PointAndSayTemplate(m_presenterPicture, 273,
                                                static_cast<int16_t>(v + 305 + (L[5] > 1 ? 639 : 0)))
                          : PointAndSayTemplate(m_presenterPicture, 251, static_cast<int16_t>(v + 300));
        }
    }
    Unhighlight();
    return said ? 1 : 0;
}

// ---------------------------------------------------------------------------------------------
// A ring with a partner

CSlotBoxEx::CSlotBoxEx(int16_t number, int16_t x, int16_t y, int16_t cx, int16_t cy, int16_t picture, int16_t halo,
                       int16_t capacity, CSlotTarget* partner)
    : CSlotBox(number, x, y, cx, cy, -69, -30, picture, halo, halo, capacity, 5), m_partner(partner) {}

CSlotBoxEx::~CSlotBoxEx() { FreeScreen(); }

void CSlotBoxEx::Highlight(int16_t picture) {
    SpriteToBack(m_haloSprite);
    QueueSpriteFrameNoWait(m_haloSprite, picture);
}

void CSlotBoxEx::Unhighlight() {
    if (m_partner && m_partner->Plate()) m_partner->Plate()->ShowNormal();
    if (m_plate) m_plate->ShowNormal();
    QueueSpriteFrameNoWait(m_haloSprite, kNoPicture);
}

// Two-player play while the partner holds nothing: the ring says its own value alone.
int16_t CSlotBoxEx::AnnounceAlone(int16_t v) {
    const int16_t t = ClassOf(v);
    const std::array<uint16_t, 33> L = Switches();
    if (t == 50) return SpeakNumberAlt(v) && SayTemplate(269, 0);
    if (t == 40) {
        if (L[0] > 1) return SayOne(static_cast<int16_t>(v + 300)) && SayOne(426) && SayOne(425);
        return SayOne(L[5] > 1 ? 980 : 426) && SayOne(static_cast<int16_t>(v + 300)) && SayOne(425);
    }
    if (t == 30) {
        return SayTemplate(270, static_cast<int16_t>(v + 300 + (L[5] > 1 ? 591 : 0) + (L[3] > 1 ? 586 : 0)));
    }
    return SayTemplate(251, static_cast<int16_t>(v + 300));
}

int16_t CSlotBoxEx::Announce() {
    WaitSoundsQuiet();
    const bool two = TwoPlayer();
    if (two && !m_holds) return PlayOne(kEmptyRingSound);
    const int16_t v = static_cast<int16_t>((m_plate ? m_plate->ShownCode() : m_value + 300) - 300);
    if (two && m_partner && !m_partner->Holds()) return AnnounceAlone(v);
    if (!m_partner) return 1;
    CPresenter* presenter = Module3::Presenter();
    const std::array<uint16_t, 33> L = Switches();
    const int16_t p = static_cast<int16_t>((m_partner->Plate() ? m_partner->Plate()->ShownCode() : 300) - 300);
    const int16_t tp = ClassOf(p);
    const int16_t tv = ClassOf(v);
    const bool on0 = L[0] > 1;
    auto cut = [&] {
        Unhighlight();
        return int16_t{0};
    };
    Highlight(m_haloPicture);
    if (!two && presenter) presenter->Listen();
    if (presenter && !presenter->PointAndSay(m_presenterPicture, 430)) return cut();
    // The partner's number.
    if (m_partner->Plate()) m_partner->Plate()->ShowHighlighted();
    if (tp == 50) {
        if (!m_partner->SpeakNumber(p)) return cut();
    } else if (tp == 40) {
        const int16_t number = static_cast<int16_t>(p + 300);
        if (!(on0 ? SayOne(number) && SayOne(426) : SayOne(426) && SayOne(number))) return cut();
    } else if (!SayOne(static_cast<int16_t>(p + 300))) {
        return cut();
    }
    if (L[4] > 1 && !SayTemplate(257, 0)) return cut();
    // Its own value.
    if (m_plate) m_plate->ShowHighlighted();
    int16_t said = 1;
    if (tv == 10 || tv == 20) {
        said = tp == 30 ? SayTemplate(266, static_cast<int16_t>(v + 300)) : SayTemplate(267, static_cast<int16_t>(v + 305));
    } else if (tv == 30) {
        said = SayTemplate(268, static_cast<int16_t>(v + 300 + (L[5] > 1 ? 591 : 0)));
    } else if (tv == 40) {
        const int16_t number = static_cast<int16_t>(v + 300);
        const int16_t word = static_cast<int16_t>(426 + (L[5] > 1 && !on0 ? 554 : 0));
        auto list = [&] { return tp == 30 ? SayOne(421) && SayOne(word) : SayOne(428) != 0; };
        said = (on0 ? SayOne(number) && list() : list() && SayOne(number)) && SayOne(425);
    } else if (tv == 50) {
        said = SpeakNumberAlt(v) && SayTemplate(269, 0);
    }
    if (!said) return cut();
    if (tp != 50 && tp == tv && !SayOne(413)) return cut();
    Unhighlight();
    return 1;
}

// ---------------------------------------------------------------------------------------------
// The overlap of two rings

CSlotOverlap::CSlotOverlap(int16_t x, int16_t y, int16_t cx, int16_t cy, int16_t halo, int16_t capacity,
                           CSlotTarget* first, CSlotTarget* second)
    : CSlotTarget(3, x, y, cx, cy, 0, 0), m_first(first), m_second(second) {
    m_haloPicture = halo;
    m_secondHaloPicture = halo;
    SetCapacity(capacity);
    m_mainSprite = CreateSprite(0, 0, kNoPicture);
    MoveSpriteInPicture(m_mainSprite, static_cast<int16_t>(x + 2), static_cast<int16_t>(y - 3));
}

CSlotOverlap::~CSlotOverlap() {
    Unhighlight();
    DisposeSprite(m_mainSprite);
}

void CSlotOverlap::Highlight(int16_t picture) {
    SpriteToBack(m_mainSprite);
    QueueSpriteFrameNoWait(m_mainSprite, picture);
}

void CSlotOverlap::Unhighlight() {
    if (GetSpriteFrame(m_mainSprite) != m_haloPicture) return;
    if (m_first && m_first->Plate()) m_first->Plate()->ShowNormal();
    if (m_second && m_second->Plate()) m_second->Plate()->ShowNormal();
    QueueSpriteFrameNoWait(m_mainSprite, kNoPicture);
}

bool CSlotOverlap::Contains(int16_t x, int16_t y) const {
    return m_first && m_second && m_first->Contains(x, y) && m_second->Contains(x, y);
}

// The pairs said from one template, one sound at a time: the first ring's plate lights and the
// presenter points before the first sound, the second's before the fourth. -1 when (a, b) is
// no such pair.
int16_t CSlotOverlap::AnnounceSpecialPair(int16_t a, int16_t b) {
    uint16_t list[kPhraseSize] = {};
    const uint16_t x1 = static_cast<uint16_t>(RecordExtra(1));
    const uint16_t x2 = static_cast<uint16_t>(RecordExtra(2));
    const uint16_t bNumber = static_cast<uint16_t>(b + 250);
    if (a == 53 && b == 54) {
        BuildPhrase(list, 252, x1, x2, 0, 0, 0);
    } else if ((a == 51 || a == 52) && b >= 53 && b <= 55) {
        BuildPhrase(list, a == 51 ? 253 : 254, x2, 0, 0, 0, bNumber);
    } else if ((a == 53 || a == 54) && b == 51) {
        BuildPhrase(list, a == 53 ? 255 : 256, x1, 0, 0, 0, bNumber);
    } else {
        return -1;
    }
    CPresenter* presenter = Module3::Presenter();
    for (int i = 0; i < kPhraseMaxIds; ++i) {
        const int16_t sound = static_cast<int16_t>(list[i]);
        if (sound <= 0) break;
        if (i == 0) {
            if (m_first && m_first->Plate()) m_first->Plate()->ShowHighlighted();
            if (presenter) QueueSpriteFrameNoWait(presenter->Body(), m_presenterPicture);
        } else if (i == 3 && m_second && m_second->Plate()) {
            m_second->Plate()->ShowHighlighted();
        }
        if (!SayOne(sound)) return 0;
    }
    return 1;
}

int16_t CSlotOverlap::Announce() {
    if (!m_first || !m_second) return 1;
    const bool two = TwoPlayer();
    CPresenter* presenter = Module3::Presenter();
    const int16_t a = m_first->Value();
    const int16_t b = m_second->Value();
    const int16_t ta = ClassOf(a);
    const int16_t tb = ClassOf(b);
    const bool m1 = RecordMarked(1);
    const bool m2 = RecordMarked(2);
    const std::array<uint16_t, 33> L = Switches();
    const bool on0 = L[0] > 1;
    const bool on5 = L[5] > 1;
    auto cut = [&] {
        Unhighlight();
        return int16_t{0};
    };
    WaitSoundsQuiet();
    Highlight(m_haloPicture);
    if (two) {
        int16_t said = 1;
        if (m_first->Holds() && !m_second->Holds()) {
            if (m_first->Plate()) m_first->Plate()->ShowHighlighted();
            said = SayTemplate(ta == 40 ? 248 : 249, static_cast<int16_t>(a + 300));
        } else if (!m_first->Holds() && m_second->Holds()) {
            if (m_second->Plate()) m_second->Plate()->ShowHighlighted();
            said = SayTemplate(tb == 40 ? 250 : 251, static_cast<int16_t>(b + 300));
        } else if (!m_first->Holds() && !m_second->Holds()) {
            said = SayOne(kEmptyRingSound);
        }
        if (!(m_first->Holds() && m_second->Holds())) {
            Unhighlight();
            return said;
        }
    } else if (presenter) {
        presenter->Listen();
    }
    const int16_t special = AnnounceSpecialPair(a, b);
    if (special == 0) return cut();
    if (special < 0) {
        // The first ring's value.
        if (m_first->Plate()) m_first->Plate()->ShowHighlighted();
        int16_t said = 1;
        if (ta == 10 || ta == 20) {
            said = m1 ? SayTemplate(258, static_cast<int16_t>(on0 ? a + 305 : a + 300 + (on5 ? 639 : 0)))
                      : SayTemplate(246, static_cast<int16_t>(a + 300));
        } else if (ta == 30) {
            said = m1 ? SayTemplate(259, static_cast<int16_t>(a + 300 + (on5 ? 597 : 0)))
                      : SayTemplate(246, static_cast<int16_t>(a + 300));
        } else if (ta == 40) {
            const int16_t word = m1 ? 427 : 426;
            const int16_t number = static_cast<int16_t>(a + 300);
            said = on0 ? PlayOne(number) && SayOne(word) : SayOne(word) && PlayOne(number);
        } else if (ta == 50 && tb != 50) {
            said = m_first->SpeakNumber(a);
        }
        if (!said) return cut();
        if (L[6] <= 1 && !SayTemplate(257, 0)) return cut();
        // The second ring's value.
        if (m_second->Plate()) m_second->Plate()->ShowHighlighted();
        if (tb == 10 || tb == 20) {
            const int16_t plain = static_cast<int16_t>(b + 300 + (on5 ? 639 : 0));
            if (ta == 30) {
                said = SayTemplate(m2 ? 260 : 261, on0 ? static_cast<int16_t>(b + 305) : plain);
            } else if (m2) {
                said = on0 ? SayTemplate(273, static_cast<int16_t>(b + 305))
                           : SayTemplate(262, static_cast<int16_t>(b + 305 + (on5 ? 639 : 0)));
            } else {
                said = SayTemplate(263, static_cast<int16_t>(b + 305));
            }
        } else if (tb == 30) {
            said = m2 ? SayTemplate(264, static_cast<int16_t>(b + 300 + (on5 ? 597 : 0)))
                      : SayTemplate(265, static_cast<int16_t>(b + 300 + (on5 ? 591 : 0)));
        } else if (tb == 40) {
            const int16_t number = static_cast<int16_t>(b + 300);
            auto list = [&] {
                if (ta == 30) {
                    const int16_t second = static_cast<int16_t>((m2 ? 427 : 426) + (!on0 && L[3] > 1 ? 554 : 0));
                    return SayOne(421) && SayOne(second);
                }
                return SayOne(m2 ? 429 : 428) != 0;
            };
            said = (on0 ? PlayOne(number) && list() : list() && PlayOne(number)) && SayOne(425);
        } else if (tb == 50 && ta != 50) {
            said = m_second->SpeakNumberAlt(b) && SayOne(425);
        }
        if (!said) return cut();
        if (ta != 50 && ta == tb && !SayOne(413)) return cut();
    }
    Unhighlight();
    return 1;
}
