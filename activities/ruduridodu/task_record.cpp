#include "activities/ruduridodu/task_record.h"

#include <new>

#include "activities/ruduridodu/round_tile.h"
#include "engine/toolbox/numbers.h"

CTaskRecord::CTaskRecord(int16_t number) : m_number(number) {}

void CTaskRecord::SetColumn(int16_t code, int16_t v) {
    const int i = CRoundTile::AttributeSlot(code);
    if (i >= 0) m_block[static_cast<size_t>(i)] = v;
}

int16_t CTaskRecord::GetColumn(int16_t code) const {
    const int i = CRoundTile::AttributeSlot(code);
    return i < 0 ? 0 : m_block[static_cast<size_t>(i)];
}

void CTaskRecord::SetColumns(int16_t a, int16_t b, int16_t c, int16_t d, int16_t e) {
    m_block[0] = a;
    m_block[1] = b;
    m_block[2] = c;
    m_block[3] = d;
    m_block[4] = e;
}

void CTaskRecord::SetValue(int16_t v) {
    const int16_t newColumn = static_cast<int16_t>(v / 10 * 10);
    const int16_t oldColumn = static_cast<int16_t>(m_value / 10 * 10);
    m_value = v;
    SetColumn(newColumn, v);
    if (oldColumn != newColumn && newColumn != 0) SetColumn(oldColumn, kEmpty);
}

void CTaskRecord::TakeAnswer(int j, const CTaskRecord& r) {
    m_answers[static_cast<size_t>(j)] = r.m_value;
    if (r.m_value >= 51 && r.m_value <= 56) m_answerExtras[static_cast<size_t>(j)] = r.GetExtra();
}

void CTaskRecord::TakeAnswersFrom(const CTaskRecord& r1) { TakeAnswer(0, r1); }

void CTaskRecord::TakeAnswersFrom(const CTaskRecord& r1, const CTaskRecord& r2) {
    TakeAnswer(0, r1);
    TakeAnswer(1, r2);
}

void CTaskRecord::TakeAnswersFrom(const CTaskRecord& r1, const CTaskRecord& r2, const CTaskRecord& r3) {
    TakeAnswer(0, r1);
    TakeAnswer(1, r2);
    TakeAnswer(2, r3);
}

void CTaskRecord::AddChoice(const CRoundTile& tile) {
    for (uint16_t& slot : m_choices) {
        if (slot == kFreeSlot) {
            slot = tile.Id();
            return;
        }
    }
}

void CTaskRecord::RemoveChoice(const CRoundTile& tile) {
    for (uint16_t& slot : m_choices) {
        if (slot == tile.Id()) {
            slot = kFreeSlot;
            return;
        }
    }
}

CRoundTile* CTaskRecord::MakeTile() {
    auto* tile = new (std::nothrow) CRoundTile;
    if (!tile) return nullptr;
    tile->Init();
    for (int16_t code = 10; code <= 40; code = static_cast<int16_t>(code + 10)) {
        const int16_t fixed = GetColumn(code);
        if (fixed != kEmpty) {
            tile->SetAttribute(code, fixed);
            continue;
        }
        // Uniform among the code's four values that no answer holds (three answers leave one).
        int16_t allowed[4];
        int16_t n = 0;
        for (int16_t v = static_cast<int16_t>(code + 1); v <= code + 4; ++v) {
            if (v != m_answers[0] && v != m_answers[1] && v != m_answers[2]) allowed[n++] = v;
        }
        tile->SetAttribute(code, allowed[Random(n)]);
    }
    tile->SetBasesFromAttributes();
    AddChoice(*tile);
    tile->SetRecord(m_number);
    return tile;
}
