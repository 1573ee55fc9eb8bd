// The problems of the question board. GenerateProblem resets the board for a new problem,
// picks the level to play (the board's level; at the review level 88 a random one from 69 to
// 87), lets that level's generator pose it and keeps its two values as the targets.
//
// The levels' own generators are not written yet: every level poses, through the level
// generator below, one number from 1 to 9 as items on the shown side (answer mode 1, the work
// side to be made equal, never the same number on that side twice running). A test may put a
// generator of its own in its place.
#pragma once

#include <cstdint>

namespace vevudivodizide {

class CAct5Board;

void GenerateProblem(CAct5Board& board);

// Poses a problem of a level (1..87) on a board GenerateProblem has just reset.
using LevelGenerator = void (*)(CAct5Board& board, uint16_t level);
void PoseStandInProblem(CAct5Board& board, uint16_t level);
// Installs a level generator (null: the stand-in); returns the one installed before.
LevelGenerator SetLevelGenerator(LevelGenerator generator);

// The presentation steps the generators share: a side's number as items fetched from its boxes,
// as digits on its cards, and a side opened for the child's answer.
void ShowPanelNumber(CAct5Board& board, int side);
void ShowPlaceDigits(CAct5Board& board, int side);
void OpenAnswerSide(CAct5Board& board, int side);

}  // namespace vevudivodizide
