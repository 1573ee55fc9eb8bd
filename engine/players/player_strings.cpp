#include "engine/players/player_strings.h"

#include "platform/strings/cp1252.h"

namespace {

const plat::StringEntry kStrings[] = {
    {kIdsKidsFolder, u8"kids\\"},
    {kIdsPublicFolder, u8"Public\\"},
    {kIdsUserListSection, u8"User List"},
    {kIdsNameFile, u8"SETTINGS.INI"},
    {kIdsNameSection, u8"Settings"},
    {kIdsNameKey, u8"Namn"},
    {kIdsGeneralSection, u8"General"},
    {kIdsCurrentUserKey, u8"Current User"},
    {kIdsVersionSection, u8"1.0"},
    {kIdsResourcePathKey, u8"Resource Path"},
    {kIdsInstallPathKey, u8"Install Path"},
    {kIdsGuestName, u8"Gäst"},
    {kIdsUserListFile, u8"Zelbo.ini"},
    {kIdsNoPlayerFolder, u8"Kunde inte skapa en katalog för användaren. Användaren har inte lagts till."},
};

}  // namespace

std::span<const plat::StringEntry> PlayerStrings() { return kStrings; }

void RegisterPlayerStrings() { plat::RegisterStringTable(kStrings); }

std::string PlayerString(UINT id) {
    if (auto text = plat::LookupString(id)) return *text;
    for (const plat::StringEntry& entry : kStrings) {
        if (entry.id == id) return plat::Utf8ToCp1252(reinterpret_cast<const char*>(entry.text));
    }
    return {};
}
