#include "adult/adult_resources.h"

#include <cstdint>
#include <span>

#include "adult/adult_bitmaps.h"
#include "adult/adult_strings.h"
#include "platform/afx/string_table.h"
#include "platform/dialogs/resources.h"

namespace {

struct BuiltPicture {
    unsigned id;
    const uint8_t* bytes;
    const size_t* size;
    bool icon;
};

#define ZELBO_BITMAP(id) {id, kAdultBmp##id, &kAdultBmp##id##Size, false}
#define ZELBO_ICON(id) {id, kAdultBmp##id, &kAdultBmp##id##Size, true}
const BuiltPicture kPictures[] = {
    ZELBO_BITMAP(167), ZELBO_BITMAP(139), ZELBO_BITMAP(188), ZELBO_BITMAP(190), ZELBO_BITMAP(200),
    ZELBO_BITMAP(191), ZELBO_BITMAP(192), ZELBO_BITMAP(233), ZELBO_BITMAP(234), ZELBO_BITMAP(202),
    ZELBO_BITMAP(194), ZELBO_BITMAP(201), ZELBO_BITMAP(196), ZELBO_BITMAP(197), ZELBO_BITMAP(198),
    ZELBO_BITMAP(199), ZELBO_BITMAP(195), ZELBO_ICON(149),   ZELBO_ICON(150),   ZELBO_ICON(206),
    ZELBO_ICON(227),   ZELBO_ICON(228),   ZELBO_ICON(222),   ZELBO_ICON(223),   ZELBO_ICON(224),
    ZELBO_ICON(225),   ZELBO_ICON(226),
};
#undef ZELBO_BITMAP
#undef ZELBO_ICON

const plat::StringEntry kStrings[] = {
    {kIdsKeepsPlaying,
     u8"Observera att det fortfarande är %1 som spelar. Om du vill spela som en annan användare måste du avsluta "
     u8"programmet och starta det igen."},
    {kIdsTopicsRuduridodu, u8"Ruduridodu - ämnen"},
    {kIdsTopicsDuravod, u8"Duravod - ämnen"},
    {kIdsTopicsVevudivodizide, u8"Vevudivodizide - ämnen"},
    {kIdsTopicsShapes, u8"Zodezev uzo vuzuzud - ämnen"},
    {kIdsTopicsVududoduvaza, u8"Vududoduvaza - ämnen"},
    {kIdsCannotRemoveGuest, u8"Du kan inte ta bort användaren \"Gäst\"."},
    {kIdsCannotRemoveCurrent, u8"Den aktuella användaren kan inte tas bort."},
    {kIdsTooManyPlayers, u8"Antalet användare är fler än det får vara.\nRadera användare innan du lägger till nya. "},
    {kIdsCannotRenameGuest, u8"Du kan inte byta namn på användaren \"Gäst\"."},
    {kIdsCannotRenameCurrent, u8"Du kan inte byta namn på den aktuella användaren."},
    {kIdsNameTooLong, u8"Användarnamn får innehålla högst 15 tecken."},
    {kIdsNameBadSign, u8"Användarnamn får inte innehålla tecknen [, ] eller =."},
    {kIdsNameTaken, u8"Namnet finns redan i listan. Använd ett annat namn."},
    {kIdsRemovePlayer, u8"Vill du ta bort \"%1\" från listan med användare?"},
    {kIdsQuitButton, u8"Avsluta"},
    {kIdsHelpButton, u8"Hjälp"},
    {kIdsCreditsButton, u8"Av"},
    {kIdsPlayButton, u8"Spela"},
    {kIdsHighlightingReset, u8"Inställningarna för Automatisk markering återställs när programmet avslutas."},
};

}  // namespace

bool RegisterAdultResources(std::string* error) {
    bool ok = true;
    for (const BuiltPicture& p : kPictures) {
        plat::Picture picture;
        std::string why;
        if (!plat::ParseBmp(std::span<const uint8_t>(p.bytes, *p.size), picture, &why)) {
            if (ok && error) *error = "picture " + std::to_string(p.id) + ": " + why;
            ok = false;
            continue;
        }
        if (p.icon) {
            // The drawing's index 0 is the icon's see-through colour.
            picture.transparent = 0;
            plat::RegisterIconResource(p.id, picture);
        } else {
            plat::RegisterBitmapResource(p.id, picture);
        }
    }
    plat::RegisterStringTable(kStrings);
    return ok;
}
