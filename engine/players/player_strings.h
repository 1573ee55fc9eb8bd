// The string ids of the player files, the settings store's names and the player messages.
// The texts are the game's own; the program registers them with its string table
// (RegisterPlayerStrings), tests do the same.
#pragma once

#include <span>
#include <string>

#include "platform/afx/string_table.h"

inline constexpr UINT kIdsKidsFolder = 61205;       // "kids\"
inline constexpr UINT kIdsPublicFolder = 61206;     // "Public\" (older lists may name it)
inline constexpr UINT kIdsUserListSection = 61207;  // "User List"
inline constexpr UINT kIdsNameFile = 61208;         // "SETTINGS.INI"
inline constexpr UINT kIdsNameSection = 61209;      // "Settings"
inline constexpr UINT kIdsNameKey = 61215;          // "Namn"
inline constexpr UINT kIdsGeneralSection = 61218;   // "General"
inline constexpr UINT kIdsCurrentUserKey = 61223;   // "Current User"
inline constexpr UINT kIdsVersionSection = 61227;   // "1.0"
inline constexpr UINT kIdsResourcePathKey = 61228;  // "Resource Path"
inline constexpr UINT kIdsInstallPathKey = 61231;   // "Install Path"
inline constexpr UINT kIdsGuestName = 61232;        // "Gäst"
inline constexpr UINT kIdsUserListFile = 61241;     // "Zelbo.ini"
inline constexpr UINT kIdsNoPlayerFolder = 61284;   // the notice when an add is refused: no folder

std::span<const plat::StringEntry> PlayerStrings();
void RegisterPlayerStrings();
// The Windows-1252 text of one of these ids: the string table's, else the game's own text (so
// a file or folder name is never empty); empty for any other id.
std::string PlayerString(UINT id);
