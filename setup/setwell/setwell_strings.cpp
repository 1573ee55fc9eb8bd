#include "setup/setwell/setwell_strings.h"

#include "platform/afx/string_table.h"
#include "setup/common/script_strings.h"

namespace setup {

void RegisterSetwellStrings() {
    RegisterScriptStrings();
    static const plat::StringEntry kStrings[] = {
        {kIdsCannotSaveFile, u8"Kunde inte spara filen."},
        {kIdsCannotOpenFile, u8"Kunde inte öppna filen."},
        {kIdsCannotReadFile, u8"Kunde inte läsa in filen."},
        {kIdsEnterDriveAndPath, u8"Ange en enhet och sökväg, t.ex. C:\\Quorva."},
        {kIdsProblemCaption, u8"Problem..."},
        {kIdsInvalidDrive, u8"%1 är inte en giltig enhet."},
        {kIdsCheckingCaption, u8"Kontrollerar..."},
        {kIdsNeedsSpace, u8"%1 kräver cirka %2 Mb ledigt hårddiskutrymme men det lediga utrymmet är bara "},
        {kIdsFreeSpace,
         u8"Det finns %1 Mb ledigt utrymme på enhet %2. Frigör hårddiskutrymme och starta installeraren igen."},
        {kIdsAlreadyInstalledAt,
         u8"%1 är redan installerat på %2.\nVill du installera programmet över den befintliga installationen?"},
        {kIdsCreateMissingFolder, u8"Den angivna sökvägen [%1] saknas. Ska den skapas?"},
        {kIdsCannotCreateFolder, u8"Kunde inte skapa [%1]. Kontrollera att\nsökvägen är korrekt angiven."},
        {kIdsCannotOpenPicture, u8"Kunde inte öppna %1."},
        {kIdsInstallingProduct, u8"Installerar %1"},
        {kIdsNotWindows95, u8"Du använder inte Windows 95 eller senare."},
        {kIdsAlreadyInstalled,
         u8"%1 är redan installerat i sitt system.\n\nOm du vill installera om programmet måste du först "
         u8"avinstallera\ndet med tillvalet Lägg till/ta bort program i Kontrollpanelen."},
        {kIdsAddToLauncher, u8"Vill du att %1 ska läggas till\ni Zadaro automatiskt?"},
        {kIdsInsertDisk, u8"Sätt in %1 i enhet %2..."},
        {kIdsFileInUse, u8"Filen %1 är installerad och används."},
        {kIdsCannotSetAttributes, u8"Kunde inte ändra attribut för filen %1"},
        {kIdsDirectXFailed,
         u8"Installationen av DirectX misslyckades.\n\nKontakta programleverantören för att få Hjälp."},
        {kIdsMakingRegistryEntries, u8"Skapar poster i registereditorn..."},
        {kIdsRunningProgram, u8"Kör programmet..."},
        {kIdsNoStartMenuPath, u8"Hittade inte sökvägen till menyn Start."},
        {kIdsNoStartMenuFolder, u8"Hittade inte sökvägen till menyn Start."},
        {kIdsRemoveDisketteRestart,
         u8"Ta ut disketten ur enhet %1.\n\nDu måste starta om datorn för att slutföra installationen.\n\nVill du "
         u8"starta om datorn nu? "},
        {kIdsDisketteInDriveA,
         u8"Det sitter en diskett i enhet A.\n\nTa ut disketten och klicka på OK för att fortsätta."},
        {kIdsDisketteNoRestart, u8"Det sitter en diskett i enhet A.\n\nDatorn kommer inte att startas om."},
        {kIdsRestartQuestion,
         u8"Du måste starta om datorn för att slutföra installationen.\n\nVill du starta om datorn nu? "},
        {kIdsCannotSetLauncherValue,
         u8"Kunde inte ställa in värdet för Produkt under Zadaro i registereditorn."},
        {kIdsCannotCreateKey, u8"Kunde inte öppna/skapa registerposten HKEY_LOCAL_MACHINE\\%1."},
        {kIdsCannotSetValue, u8"Kunde inte ställa in värdet för registerposten HKEY_LOCAL_MACHINE\\%1."},
        {kIdsNoVolumeInformation, u8"Kunde inte komma åt volyminformation från %1"},
        {kIdsInstallCancelled, u8"Installationen avbröts."},
        {kIdsCannotInstall, u8"Kunde inte installera från %1\ntill %2."},
        {kIdsUnknownInstallError, u8"Ett okänt fel uppstod vid installation av %1."},
        {kIdsDiskFull, u8"Hårddisken är full!"},
        {kIdsAccessViolation, u8"Ett behörighetsfel inträffade när %1 skulle installeras."},
        {kIdsSharingViolation, u8"Ett delningsfel uppstod vid installation av %1."},
        {kIdsCannotCreate, u8"Kunde inte skapa %1."},
        {kIdsCannotDelete, u8"Kunde inte ta bort %1."},
        {kIdsCannotRename, u8"Kunde inte byta namn på %1."},
        {kIdsOutOfMemory, u8"Minnet är slut!"},
        {kIdsCannotRead, u8"Kunde inte läsa %1."},
        {kIdsInstalling, u8"Installerar %1..."},
        {kIdsInstallationDone,
         u8"Installationen är klar.\nDu måste mata in CD-ROM-skivan för att kunna starta programmet.\nOm Spela "
         u8"automatiskt inte är aktiverat eller om din CD-ROM-skiva\nredan är inmatad i enheten startar du "
         u8"programmet i Start-Program-Quorva-%1, genom att välja rätt ikon."},
    };
    plat::RegisterStringTable(kStrings);
}

}  // namespace setup
