// The string ids of the grown-ups' section (registered by RegisterAdultResources).
#pragma once

// "Observera att det fortfarande är %1 som spelar. …": shown after another player's settings
// were viewed, naming the player who still plays.
inline constexpr unsigned kIdsKeepsPlaying = 61256;
// The topic lists' captions, one per activity row.
inline constexpr unsigned kIdsTopicsRuduridodu = 61274;
inline constexpr unsigned kIdsTopicsDuravod = 61275;
inline constexpr unsigned kIdsTopicsVevudivodizide = 61276;
inline constexpr unsigned kIdsTopicsShapes = 61277;
inline constexpr unsigned kIdsTopicsVududoduvaza = 61278;
