// The puzzle levels of the shapes activity: the level table ('IN#' 10: the number of levels,
// then for each level n the offset of its task list, 'IN#' 10 + offset) and the current
// level's task list (the number of tasks, then their 'BPB' ids), shuffled when it is loaded.
// Items are read within their size (counts cut to the values present, a damaged one named in
// the trace). A level outside 1 to the number of levels is taken as the nearest level; a list
// missing or empty gives no task.
#pragma once

#include <cstdint>
#include <vector>

class CShapeLevels {
public:
    // Reads the level table; no level is current yet.
    void LoadTable();
    int16_t LevelCount() const { return static_cast<int16_t>(offsets.size()); }
    // Clamped to 1..LevelCount (1 without levels; 32 bits, so a stored level + 1 cannot wrap).
    // Nothing when it is the current level and its list is loaded; else the first task of the
    // level's list, shuffled: for i from 1 to N, swap entry i with entry Random(N) + 1.
    void SetLevel(int32_t l);
    // The next task; after the last one of the list the first again, of the next level while
    // there is one, else of the same list in the same order.
    void NextTask();
    // The current task's 'BPB' id; 0 when there is none.
    int16_t CurrentTask() const;

    std::vector<uint16_t> offsets;  // offsets[n - 1]: level n's list offset
    std::vector<int16_t> tasks;     // the current list, shuffled
    int16_t level = 1;
    int16_t taskIndex = 1;  // 1-based in tasks
    bool listLoaded = false;
};
