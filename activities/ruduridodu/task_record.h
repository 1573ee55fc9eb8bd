// A task record: what one container of a task stands for (record k for container k, record 0
// for the bin) and which tiles the task makes for it: their tally, the attribute values every
// one of them carries, the values they must avoid (the answers), and the ids of the tiles made.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

class CRoundTile;

class CTaskRecord {
public:
    static constexpr int16_t kEmpty = 101;        // a value block entry that holds nothing
    static constexpr uint16_t kFreeSlot = 65535;  // a choice slot without a tile
    static constexpr int kChoiceSlots = 9;

    explicit CTaskRecord(int16_t number);

    int16_t Number() const { return m_number; }
    int16_t Tally() const { return m_tally; }
    void SetTally(int16_t n) { m_tally = n; }
    int16_t Value() const { return m_value; }
    bool IsMarked() const { return m_marked != 0; }
    void SetMarked(bool marked) { m_marked = marked ? 1 : 0; }

    // Entries by code: 10, 20, 30, 40 are entries 0 to 3, 50 entry 4; other codes change
    // nothing and read 0.
    void SetColumn(int16_t code, int16_t v);
    int16_t GetColumn(int16_t code) const;
    void SetColumns(int16_t a, int16_t b, int16_t c, int16_t d, int16_t e);
    // Entry 5: the number that goes with a rule 51 to 56.
    void SetExtra(int16_t v) { m_block[5] = v; }
    int16_t GetExtra() const { return m_block[5]; }
    void SetBlock4(int16_t v) { m_block[4] = v; }
    int16_t GetBlock4() const { return m_block[4]; }
    int16_t Entry(int i) const { return m_block[static_cast<size_t>(i)]; }

    void SetAnswer(int j, int16_t v) { m_answers[static_cast<size_t>(j)] = v; }
    void SetAnswerExtra(int j, int16_t v) { m_answerExtras[static_cast<size_t>(j)] = v; }
    int16_t GetAnswer(int j) const { return m_answers[static_cast<size_t>(j)]; }
    int16_t GetAnswerExtra(int j) const { return m_answerExtras[static_cast<size_t>(j)]; }

    // The record stands for v; a value of a new column empties the old column's entry.
    void SetValue(int16_t v);
    // Record's value without touching the entries (the set-ups give both separately).
    void SetPlainValue(int16_t v) { m_value = v; }
    // Answer i = value of the i-th record given (its extra too for a rule 51 to 56).
    void TakeAnswersFrom(const CTaskRecord& r1);
    void TakeAnswersFrom(const CTaskRecord& r1, const CTaskRecord& r2);
    void TakeAnswersFrom(const CTaskRecord& r1, const CTaskRecord& r2, const CTaskRecord& r3);

    void AddChoice(const CRoundTile& tile);
    void RemoveChoice(const CRoundTile& tile);
    uint16_t Choice(int i) const { return m_choices[static_cast<size_t>(i)]; }

    // A new tile for this record: the record's fixed attributes, the others drawn from the
    // four values of their code that none of the answers holds; its id in the first free
    // choice slot and the record's number as its record. Null when memory runs out.
    CRoundTile* MakeTile();

private:
    void TakeAnswer(int j, const CTaskRecord& r);

    int16_t m_number;
    int16_t m_tally = 0;
    int16_t m_value = 0;
    int16_t m_marked = 0;
    std::array<int16_t, 3> m_answers{};
    std::array<int16_t, 3> m_answerExtras{};
    std::array<int16_t, 6> m_block{kEmpty, kEmpty, kEmpty, kEmpty, kEmpty, kEmpty};
    std::array<uint16_t, kChoiceSlots> m_choices{kFreeSlot, kFreeSlot, kFreeSlot, kFreeSlot, kFreeSlot,
                                                  kFreeSlot, kFreeSlot, kFreeSlot, kFreeSlot};
};
