// For the Ruduridodu tests: the number lists of the built module file, the rule a container
// stands for, judged independently of the generators, and a round of the test's making.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "activities/ruduridodu/number_list.h"
#include "activities/ruduridodu/round_task.h"
#include "activities/ruduridodu/slot_layout.h"
#include "activities/ruduridodu/task_kinds.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "media/res/res_mgr.h"
#include "platform/fs/dospath.h"

namespace ruduridodutest {

// The 'IN#' list of module 3 with that relative id in the built Zelbo3.res; empty when absent.
inline CNumberList BuiltList(CResMgr& mgr, int16_t id) {
    ResDirEntry* e = mgr.FindEntry(kResINN, static_cast<uint32_t>(3000 + id));
    if (!e) return {};
    std::vector<uint8_t> bytes(e->size);
    e->readPos = 0;
    if (!mgr.LoadItem(bytes.data(), e, e->size)) return {};
    return CNumberList::Parse(bytes);
}

// The level table and the generator lists of the built module file.
struct BuiltData {
    CLevelTable table;
    CNumberLists lists;
    bool ok = false;
};
inline BuiltData LoadBuiltData() {
    BuiltData d;
    CResMgr mgr;
    if (mgr.Open(plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo3.res").c_str()) != 1) return d;
    d.table = CLevelTable::From(BuiltList(mgr, 200));
    for (int16_t id : CNumberLists::kGeneratorLists) d.lists.Set(id, BuiltList(mgr, id));
    d.ok = true;
    return d;
}

// Whether the tile meets the rule of the record's container by itself: an attribute value,
// odd, even, above, below or equal to the record's extra; the opposite for a marked record.
inline bool MeetsOwnRule(const CTaskRecord& ring, const CRoundTile& tile) {
    const int16_t v = ring.Value();
    const int16_t n = tile.Number();
    const int16_t x = ring.GetExtra();
    bool meets = false;
    if (v >= 11 && v <= 44) {
        meets = tile.GetAttribute(static_cast<int16_t>(v / 10 * 10)) == v;
    } else if (v == 51) {
        meets = n % 2 != 0;
    } else if (v == 52) {
        meets = n % 2 == 0;
    } else if (v == 53) {
        meets = n > x;
    } else if (v == 54) {
        meets = n < x;
    } else if (v == 55) {
        meets = n == x;
    } else {
        ADD_FAILURE() << "container " << ring.Number() << " stands for " << v;
    }
    return ring.IsMarked() ? !meets : meets;
}

// The containers whose own rules count: kinds 1 and 2 one a record, kinds 3 and 4 with inner
// containers inside container 1, kind 5 two containers (record 3 is their overlap).
inline int RuleContainers(int16_t kind) { return kind == 2 || kind == 4 ? 3 : 2; }

inline std::set<int> ContainersMet(const CRoundTask& task, const CRoundTile& tile) {
    std::set<int> met;
    const int16_t kind = task.RoundType();
    for (int16_t k = 1; k <= RuleContainers(kind); ++k) {
        if (MeetsOwnRule(*task.GetRecord(k), tile)) met.insert(k);
    }
    if ((kind == 3 || kind == 4) && !met.count(1)) met.clear();
    return met;
}

inline std::set<int> ExpectedContainers(int16_t kind, int16_t record) {
    if (record == 0) return {};
    if (kind == 3 || kind == 4) return record == 1 ? std::set<int>{1} : std::set<int>{1, record};
    if (kind == 5 && record == 3) return {1, 2};
    return {record};
}

// Whether every pixel the source draws (not 0) is in the target at (x, y).
inline bool HasStamp(int16_t target, int16_t source, int16_t x, int16_t y) {
    int16_t tw = 0, th = 0, sw = 0, sh = 0;
    GetPictureSize(target, tw, th);
    GetPictureSize(source, sw, sh);
    const uint16_t ts = GetPictureAttr(target), ss = GetPictureAttr(source);
    BYTE* t = LockPictureData(target);
    BYTE* s = LockPictureData(source);
    bool ok = t && s && sw > 0;
    for (int16_t j = 0; ok && j < sh; ++j) {
        for (int16_t i = 0; ok && i < sw; ++i) {
            const BYTE p = s[j * ss + i];
            if (p == 0) continue;
            ok = x + i >= 0 && y + j >= 0 && x + i < tw && y + j < th && t[(y + j) * ts + (x + i)] == p;
        }
    }
    if (t) UnlockPictureData(t);
    if (s) UnlockPictureData(s);
    return ok;
}

// A round made by the test: its records' values, extras and marks as given, its layout built
// from the module's record.
class TestRound : public CRoundTask {
public:
    struct Ring {
        int16_t value;
        int16_t extra = 0;
        bool marked = false;
    };
    TestRound(int16_t layout, const std::vector<Ring>& rings) {
        MakeRecords(layout, static_cast<int16_t>(rings.size()));
        int16_t k = 1;
        for (const Ring& r : rings) {
            CTaskRecord& record = *GetRecord(k++);
            record.SetPlainValue(r.value);
            record.SetExtra(r.extra);
            record.SetMarked(r.marked);
        }
        m_layout = MakeSlotLayout(layout, this);
        m_layout->Create(static_cast<int16_t>(600 + 10 * (layout - 1) + 1));
    }
    // A car of record k, in the round's list, its sprite at (x, y).
    CRoundTile* Car(int16_t k, int16_t x, int16_t y) {
        CRoundTile* tile = GetRecord(k)->MakeTile();
        m_tiles->InsertRandom(tile);
        MoveSpriteInPicture(tile->MakeSprite(), x, y);
        WaitSpriteDone(tile->Sprite());
        return tile;
    }
    // A car of record k with its pictures, facing first, resting at (x, y).
    CRoundTile* ShownCar(int16_t k, int16_t x, int16_t y) {
        CRoundTile* tile = Car(k, x, y);
        tile->ComposePictures();
        tile->FaceFirst();
        tile->MoveTo(x, y);
        return tile;
    }
};

}  // namespace ruduridodutest
