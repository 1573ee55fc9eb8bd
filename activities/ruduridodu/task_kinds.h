// The five task kinds of level mode. A kind decides how many containers there are and which
// layout shows them; the topic (101 to 112) decides what the containers stand for and which
// tiles are made; the table index tunes the topic (lists, sizes, whether the bin is used).
//
// What a container stands for: a value 11 to 44 is an attribute value (its tens name the
// attribute's code); 51 odd numbers, 52 even numbers, 53 numbers above the record's extra x,
// 54 numbers below x, 55 exactly x. A marked record stands for the opposite. The inner
// containers of kinds 3 and 4 lie inside container 1: their tiles meet container 1's rule too;
// kind 5's record 3 holds the tiles of the overlap of containers 1 and 2. Every tile the
// generators make meets exactly the containers of its record, and a bin tile none.
#pragma once

#include <cstdint>
#include <memory>

#include "activities/ruduridodu/number_list.h"
#include "activities/ruduridodu/round_task.h"

// The rotating list positions: each task reads a position, uses it modulo a list's length and
// advances it, so consecutive tasks walk through their lists from a random place.
struct CRotation {
    int16_t pos24a = 0, pos25 = 0, pos81 = 0, pos24b = 0, pos36 = 0, pos48 = 0, pos30 = 0, pos75 = 0, pos64 = 0,
            pos45 = 0, pos56 = 0, pos11 = 0, pos17 = 0;
    // Every position from RandomBelow, in the order of their drawing.
    void Draw();
};

// What a task's generator reads besides the random numbers.
struct CTaskInputs {
    CRotation* rotation = nullptr;
    const CNumberLists* lists = nullptr;
};

// Whether (round type, topic) at that table index makes a complete task.
bool MakesCompleteTask(int16_t type, int16_t topic, int16_t index);
// The table index from `wanted` down (held to the table) whose entry makes a complete task;
// 0 when none from 1 up does.
int16_t NearestCompleteIndex(const CLevelTable& table, int16_t wanted);

// A number drawn for a tile: uniform over [lo, hi) among the numbers with the remainder
// (modulo the divisor, signed 16-bit) that are not avoided; or the fixed number.
struct CNumberRule {
    int16_t lo = 1;
    int16_t hi = 100;
    int16_t divisor = 1;
    int16_t remainder = 0;
    bool hasFixed = false;
    int16_t fixed = 0;
    int16_t avoided[4] = {0, 0, 0, 0};
    int16_t avoidedCount = 0;

    void Fix(int16_t n) {
        hasFixed = true;
        fixed = n;
    }
    void Avoid(int16_t n);
    bool Fits(int16_t n) const;
    // How many numbers the rule can give (1 for a fixed number).
    int32_t Choices() const;
    // A number; false when the rule can give none.
    bool Draw(int16_t& n) const;
};

class CTaskKind : public CRoundTask {
public:
    CTaskKind(int16_t topic, int16_t index, CTaskInputs inputs);

    int16_t Start(int16_t first) override;
    int16_t IsSolved() override;
    void EndAct() override;
    int16_t RepeatPrompt() override;
    CRoundTile* NextTile() override;
    // Chooses the extra numbers of records 1 and 2; only kind 5 fills it.
    virtual void PickExtras(int16_t limit);

    int16_t Topic() const { return m_topic; }
    // The records' number rules as the last tile step used them (records 0 to 3).
    const CNumberRule& RuleOf(int16_t record) const { return m_rules[static_cast<size_t>(record & 3)]; }

    // The extra-number pickers (limit L; records 1, 2 and 3 take x1, x2, x3).
    void PickTwoDifferent(int16_t limit);
    void PickAdjacent(int16_t limit);
    void PickAdjacentDown(int16_t limit);
    void PickSame(int16_t limit);
    void PickThreeRising(int16_t limit);
    void PickSameFrom4(int16_t limit);
    void PickKind3Extra(int16_t limit);
    void PickByRule(int16_t limit);
    void PickComparison(int16_t limit);
    void PickNested(int16_t limit);
    void PickKind4Extras(int16_t limit);
    void PickExtrasTopic109(int16_t limit);
    void PickExtrasTopic110(int16_t limit);
    void PickExtrasTopic112(int16_t limit);

protected:
    CTaskRecord& R(int k) const { return *m_records[static_cast<size_t>(k)]; }
    const CNumberList& List(int16_t id) const { return m_inputs.lists->Get(id); }
    CRotation& Pos() const { return *m_inputs.rotation; }
    // The kind's layout, built from its number list.
    CSlotLayout* BuildLayout(int16_t kind, int16_t listId);
    // A tile tally from a list, held to what a container can hold.
    static int16_t Tally(int16_t n);
    // The record takes a rule or attribute value: its value and the entry of its code.
    void Give(int k, int16_t value);
    // The rules start over: [lo, hi), no divisor, nothing fixed or avoided.
    void ResetRules(int16_t lo, int16_t hi);
    // Makes every record's tiles, records first, last, then 0, each with its rule.
    void MakeTiles();
    // Whether every record with tiles can be given a number.
    bool RulesCanDraw() const;

    int16_t m_topic;
    CTaskInputs m_inputs;
    CNumberRule m_rules[4];
};

class CTaskKind1 : public CTaskKind {
public:
    using CTaskKind::CTaskKind;
    void CreateRecords() override;
    CSlotLayout* CreateLayout() override;
    void Generate() override;

private:
    void Topic101();
    void Topic102();
    void Topic105();
    void Topic107();
    void Topic108();
    void Topic110();
    void Topic112();
};

class CTaskKind2 : public CTaskKind {
public:
    using CTaskKind::CTaskKind;
    void CreateRecords() override;
    CSlotLayout* CreateLayout() override;
    void Generate() override;

private:
    void Topic103();
    void Topic104();
    void Topic110();
};

class CTaskKind3 : public CTaskKind {
public:
    using CTaskKind::CTaskKind;
    void CreateRecords() override;
    CSlotLayout* CreateLayout() override;
    void Generate() override;

private:
    void Topic106();
    void Topic107();
    void Topic108();
    void Topic110();
    void Topic112();
};

class CTaskKind4 : public CTaskKind {
public:
    using CTaskKind::CTaskKind;
    void CreateRecords() override;
    CSlotLayout* CreateLayout() override;
    void Generate() override;

private:
    void Topic111();
    void Topic112();
};

class CTaskKind5 : public CTaskKind {
public:
    using CTaskKind::CTaskKind;
    void CreateRecords() override;
    CSlotLayout* CreateLayout() override;
    void Generate() override;
    void PickExtras(int16_t limit) override;

private:
    void Topic109();
    void Topic110();
    void Topic111();
    void Topic112();
    // The number rules of a container with a rule 51 to 55 for its own tiles, the overlap's,
    // the other container's and the bin's, as topics 109, 110 and 111 share them (topic 109
    // with its own bounds for 54 and with ties).
    void ContainerNumberRules(bool withParity, bool topic109);
};

// A new task of round type 1 to 5; null for another type.
std::unique_ptr<CTaskKind> MakeTaskKind(int16_t type, int16_t topic, int16_t index, CTaskInputs inputs);
