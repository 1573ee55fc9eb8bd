#include "setup/setwell/setwell_strings.h"

#include "platform/afx/string_table.h"

namespace setup {

void RegisterSetwellStrings() {
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
    };
    plat::RegisterStringTable(kStrings);
}

}  // namespace setup
