// The problems of the question board. GenerateProblem resets the board for a new problem,
// picks the level to play (the board's level; at the review level 88 a random one from 69 to
// 87), lets that level's generator pose it and keeps its two values as the targets.
//
// A level's generator follows its row of the module's level table ('LVL' M,
// media/res/compare_levels.h), read and checked once when the module is entered
// (LoadCompareLevels): the answer mode, the numbers drawn pass by pass until one meets the
// row's rules and the repeat test, the hidden number cleared, the relation, and the numbers
// shown as items, digits or an expression. A test may put a generator of its own in place of
// the table's.
#pragma once

#include <cstdint>

#include "media/res/compare_levels.h"

namespace vevudivodizide {

class CAct5Board;

void GenerateProblem(CAct5Board& board);

// Reads the level table of the module's file; each level whose row is missing, damaged or
// never met plays level 1's row, with a trace line.
void LoadCompareLevels();
// The table in use (level 1's row everywhere until one is read); a test may set its own rows,
// which are checked as the reader checks them.
const media::CompareLevels& CompareLevelTable();
void SetCompareLevelTable(const media::CompareLevels& table);

// Poses a problem of a level (1..87) on a board GenerateProblem has just reset, from the level's
// row.
void GenerateLevelProblem(CAct5Board& board, uint16_t level);
// The passes the last draw took (each draws every number afresh), for tests.
uint32_t LastDrawPasses();

using LevelGenerator = void (*)(CAct5Board& board, uint16_t level);
// Installs a level generator in place of the table's (null: the table's); returns the one
// installed before.
LevelGenerator SetLevelGenerator(LevelGenerator generator);

// The presentation steps the generators share: a side's number as items fetched from its boxes,
// as digits on its cards, an expression on its cards (one-digit terms on the three cards; two-digit
// terms over the side's second and third spare cards too), and a side opened for the child's
// answer. Both panels at once: boxes, values, then boxes away, the left first each time.
void ShowPanelNumber(CAct5Board& board, int side);
void ShowBothPanels(CAct5Board& board, bool boxesShown = false);
void ShowPlaceDigits(CAct5Board& board, int side);
void ShowExpression(CAct5Board& board, int side, int x, uint16_t op, int y);
void OpenAnswerSide(CAct5Board& board, int side);

}  // namespace vevudivodizide
