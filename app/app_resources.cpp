#include "app/app_resources.h"

#include <span>
#include <string>

#include "adult/adult_sheet.h"
#include "app/program_bitmaps.h"
#include "engine/players/player_strings.h"
#include "media/print/picture_file_strings.h"
#include "media/print/picture_printing.h"
#include "media/res/res_strings.h"
#include "platform/afx/string_table.h"
#include "platform/dialogs/resources.h"

namespace {

const plat::StringEntry kStrings[] = {
    {kIdsTitle, u8"Trumlaby"},
    {kIdsAdultSheetCaption, u8"Vuxenavdelning"},
    {kIdsDisplayModeFailed,
     u8"Du har antingen ändrat bildskärmsinställningarna medan programmet var igång eller också stöder inte "
     u8"programmet bildskärmsdrivrutinens aktuella inställning.\nFelkod:"},
    {kIdsNeeds256Colours, u8"Programmet kräver stöd för 256 färger eller fler."},
    {kIdsWinGProfileNotice, u8"Trumlaby prövar hur bilderna visas snabbast. Det tar bara ett ögonblick."},
    {kIdsInsertCd,
     u8"Kunde inte läsa CD-ROM-skivan som innehåller programmet. Sätt in CD-ROM-skivan och klicka på OK, eller "
     u8"klicka på Avbryt för att avsluta programmet."},
    {kIdsOutOfMemory, u8"Minnet räcker inte.\nAvsluta andra program eller\nöka det virtuella minnet."},
    {kIdsUnhandledException, u8"UNHANDELED EXCEPTION IN RERAVA!"},
};

const plat::DialogItem kAboutItems[] = {
    plat::LText(u8"Trumlaby version 0.1", -1, 10, 10, 119, 8, SS_NOPREFIX),
    plat::LText(u8"Räkna och lek på marknaden.", -1, 10, 25, 119, 8),
    plat::DefPushButton(u8"OK", IDOK, 176, 6, 32, 14, WS_GROUP),
};

const plat::DialogTemplate kDialogs[] = {
    {kAboutDialog, 0, 0, 217, 55, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, u8"Om Trumlaby", kAboutItems},
};

// The border around the game screen on a larger display: a 32 x 32 tile of bevelled squares.
plat::Picture BorderTile() {
    return plat::PixelArt(
        {
            "HHHHHHHHHHHHHHHHHHHHHHHHHHHHHHHS",
            "HFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFS",
            "HFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFS",
            "HFFHHHHHHHHHHHHHHHHHHHHHHHHHSFFS",
            "HFFHFFFFFFFFFFFFFFFFFFFFFFFFSFFS",
            "HFFHFFFFFFFFFFFFFFFFFFFFFFFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFDDDDDDDDDDDDDDDDDDDDFFSFFS",
            "HFFHFFFFFFFFFFFFFFFFFFFFFFFFSFFS",
            "HFFHFFFFFFFFFFFFFFFFFFFFFFFFSFFS",
            "HFFSSSSSSSSSSSSSSSSSSSSSSSSSSFFS",
            "HFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFS",
            "HFFFFFFFFFFFFFFFFFFFFFFFFFFFFFFS",
            "SSSSSSSSSSSSSSSSSSSSSSSSSSSSSSSS",
        },
        {{'H', RGB(255, 255, 255)}, {'F', RGB(192, 192, 192)}, {'S', RGB(128, 128, 128)}, {'D', RGB(0, 0, 128)}});
}

}  // namespace

void RegisterZelboResources() {
    plat::RegisterStringTable(kStrings);
    RegisterPlayerStrings();
    plat::RegisterDialogTemplates(kDialogs);
    plat::RegisterBitmapResource(kBorderTileBitmap, BorderTile());
    // The build made this picture; should it not read, the splash dialog reports the missing
    // resource when it is opened.
    std::string error;
    plat::RegisterBitmapResource(kCreditsBitmap, std::span<const uint8_t>(kCreditsBmp, kCreditsBmpSize), &error);
    RegisterAdultSheetTemplates();
    media::RegisterResStrings();
    media::RegisterPictureFileStrings();
    media::RegisterPicturePrintingResources();
}
