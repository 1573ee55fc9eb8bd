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
// The players page's refusals and questions.
inline constexpr unsigned kIdsCannotRemoveGuest = 61245;
inline constexpr unsigned kIdsCannotRemoveCurrent = 61246;
inline constexpr unsigned kIdsTooManyPlayers = 61248;
inline constexpr unsigned kIdsCannotRenameGuest = 61249;
inline constexpr unsigned kIdsCannotRenameCurrent = 61250;
inline constexpr unsigned kIdsNameTooLong = 61251;
inline constexpr unsigned kIdsNameBadSign = 61252;
inline constexpr unsigned kIdsNameTaken = 61253;
inline constexpr unsigned kIdsRemovePlayer = 61257;
// The sheet's own buttons.
inline constexpr unsigned kIdsQuitButton = 61287;
inline constexpr unsigned kIdsHelpButton = 61288;
inline constexpr unsigned kIdsCreditsButton = 61289;
inline constexpr unsigned kIdsPlayButton = 61290;
// In launcher mode: the highlighting options come back when the program ends.
inline constexpr unsigned kIdsHighlightingReset = 57347;
