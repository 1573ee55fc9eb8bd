#include "activities/ruduridodu/round_task.h"

#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/presenter.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"

CTileList::~CTileList() { DeleteAll(); }

void CTileList::InsertRandom(CRoundTile* tile) {
    if (!tile) return;
    if (!m_first) {
        tile->SetLink(nullptr);
        m_first = tile;
        m_count = 1;
        return;
    }
    CRoundTile* after = m_first;
    for (int16_t k = RandomBelow(m_count); k > 0 && after->Link(); --k) after = after->Link();
    tile->SetLink(after->Link());
    after->SetLink(tile);
    ++m_count;
}

void CTileList::Remove(CRoundTile* tile) {
    if (!m_first || !tile) return;
    bool found = false;
    if (tile == m_first) {
        m_first = tile->Link();
        found = true;
    } else {
        for (CRoundTile* t = m_first; t->Link(); t = t->Link()) {
            if (t->Link() == tile) {
                t->SetLink(tile->Link());
                found = true;
                break;
            }
        }
    }
    if (m_next == tile) m_next = tile->Link();
    tile->SetLink(nullptr);
    if (!found) return;
    --m_count;
    --m_out;
}

CRoundTile* CTileList::TakeNext() {
    CRoundTile* tile = m_next;
    if (!tile) return nullptr;
    m_next = tile->Link();
    ++m_handedOut;
    ++m_out;
    return tile;
}

CRoundTile* CTileList::FindBySprite(const CCorAnim* sprite) const {
    if (!sprite) return nullptr;
    for (CRoundTile* t = m_first; t; t = t->Link()) {
        if (t->Sprite() == sprite) return t;
    }
    return nullptr;
}

CRoundTile* CTileList::FindById(uint16_t id) const {
    for (CRoundTile* t = m_first; t; t = t->Link()) {
        if (t->Id() == id) return t;
    }
    return nullptr;
}

void CTileList::LeaveAll() {
    const int16_t channel = PlaySnd(740, 0);
    if (m_count > 10) PlaySnd(740, channel);
    for (CRoundTile* t = m_first; t; t = t->Link()) t->Leave(0, 0);
    while (IsSndPlaying(-1)) Delay(0);
}

void CTileList::IdleMove() {
    // With one car out (the one just handed out) there is no other to move.
    if (!m_first || m_out <= 1) return;
    const int16_t r = RandomBelow(2);
    CRoundTile* tile = m_first;
    for (int16_t k = RandomBelow(static_cast<int16_t>(m_out - 1)); k > 0 && tile->Link(); --k) tile = tile->Link();
    if (r == 0) {
        tile->CheckBumps(false);
    } else {
        tile->TurnAround();
    }
}

void CTileList::DeleteAll() {
    CRoundTile* t = m_first;
    while (t) {
        CRoundTile* next = t->Link();
        delete t;
        t = next;
    }
    m_first = nullptr;
    m_next = nullptr;
    m_count = 0;
}

CRoundTask::CRoundTask() : m_tiles(std::make_unique<CTileList>()) {}
// Records, then the tiles, then the layout: a layout outlives the tiles parked in it.
CRoundTask::~CRoundTask() {
    for (auto& record : m_records) record.reset();
    m_tiles.reset();
    m_layout.reset();
}

int16_t CRoundTask::Start(int16_t) { return 0; }
void CRoundTask::CreateRecords() {}
CSlotLayout* CRoundTask::CreateLayout() { return nullptr; }
void CRoundTask::PlacePiece(int16_t, int16_t, int16_t) {}
void CRoundTask::AfterPiece(int16_t) {}
void CRoundTask::Generate() {}
void CRoundTask::Hook6() {}
int16_t CRoundTask::DropTile(CRoundTile*, int16_t) { return 0; }
int16_t CRoundTask::IsSolved() { return 0; }
void CRoundTask::EndAct() {}
int16_t CRoundTask::RepeatPrompt() { return 1; }
void CRoundTask::TileCue(CRoundTile*) {}
CRoundTile* CRoundTask::NextTile() { return nullptr; }
void CRoundTask::OnTilePicked() {}
void CRoundTask::OnPiecePicked() {}

void CRoundTask::MakeRecords(int16_t roundType, int16_t lastRecord) {
    m_roundType = roundType;
    m_lastRecord = lastRecord;
    for (int16_t i = 0; i < 4; ++i) {
        m_records[static_cast<size_t>(i)] = i <= lastRecord ? std::make_unique<CTaskRecord>(i) : nullptr;
    }
}

void CRoundTask::Prepare() {
    CreateRecords();
    Generate();
    m_layout.reset(CreateLayout());
}

void CRoundTask::PrepareTwoPlayer(int16_t category) {
    CreateRecords();
    m_category = category;
    m_layout.reset(CreateLayout());
}

void CRoundTask::EndRound() {
    Module3::SetReady(false);
    Delay(100);
    EndAct();
    while (GetSpriteStatus(kAllSprites) != 1) {
        Delay(0);
        if (IsClickPending(1)) {
            FinishSpriteScript(kAllSprites);
            StopSprite(kAllSprites);
            break;
        }
    }
    Delay(100);
    m_tiles->LeaveAll();
}

CTaskRecord* CRoundTask::GetRecord(int16_t i) const {
    if (i < 0 || i > m_lastRecord || i >= 4) return nullptr;
    return m_records[static_cast<size_t>(i)].get();
}

void CRoundTask::DeleteTile(CRoundTile* tile) {
    if (!tile) return;
    m_tiles->Remove(tile);
    if (m_currentTile == tile) m_currentTile = nullptr;
    if (m_pickedTile == tile) SetPickedTile(nullptr);
    delete tile;
}

CPlayerPiece* CRoundTask::PlayerPiece(int16_t i) const { return ScenePiece(i); }

CSlotTarget* CRoundTask::GetContainer(int16_t i) const { return m_layout ? m_layout->Container(i) : nullptr; }

int16_t CRoundTask::ContainerTally() const { return m_layout ? m_layout->ContainerTally() : 0; }

int16_t CRoundTask::AnnouncedTally() const { return m_layout ? m_layout->AnnouncedTally() : 0; }

CSlotTarget* CRoundTask::FindContainerBySprite(const CCorAnim* sprite) const {
    if (!sprite) return nullptr;
    for (int16_t i = 1; i <= ContainerTally(); ++i) {
        CSlotTarget* c = GetContainer(i);
        if (c->MainSprite() == sprite) return c;
    }
    return nullptr;
}

int16_t CRoundTask::ContainerAt(int16_t x, int16_t y) const { return m_layout ? m_layout->ContainerAt(x, y) : 10; }

int16_t CRoundTask::ContainerBoxAt(int16_t x, int16_t y) const {
    for (int16_t i = 1; i <= ContainerTally(); ++i) {
        CCorAnim* sprite = GetContainer(i)->MainSprite();
        int16_t left = 0, top = 0, width = 0, height = 0;
        GetSpritePos(sprite, &left, &top);
        GetPictureSize(GetSpriteFrame(sprite), width, height);
        if (left <= x && x <= left + width && top <= y && y <= top + height) return i;
    }
    return 10;
}

int16_t CRoundTask::AnnounceContainer(int16_t i) {
    Module3::SetReady(false);
    CSlotTarget* c = GetContainer(i);
    return c ? c->Announce() : 1;
}
