#include "setup/common/script_strings.h"

#include "platform/afx/string_table.h"

namespace setup {

void RegisterScriptStrings() {
    static const plat::StringEntry kStrings[] = {
        {kIdsCannotOpenCopy, u8"Kunde inte öppna %1."},
        {kIdsCannotOpenRemovalScript, u8"Kunde inte öppna %1."},
        {kIdsCannotOpenScript, u8"Kunde inte öppna Product.dat."},
        {kIdsUseControlPanel,
         u8"Använd ikonen Lägg till/ta bort program i kontrollpanelen för att\nta bort Quorva-produkter ur ditt "
         u8"system."},
        {kIdsCannotCopyScript, u8"Kunde inte kopiera %1 till %2"},
        {kIdsCannotReadScript, u8"Kunde inte läsa Product.dat."},
        {kIdsCannotStartProgram, u8"Kunde inte starta [%1]."},
        {kIdsContinueQuestion, u8"\n\nVill du fortsätta med installationen?"},
        {kIdsCannotDeleteTreeFile, u8"Kunde inte ta bort filen %1."},
        {kIdsCannotEraseFile, u8"Kunde inte ta bort %1."},
    };
    plat::RegisterStringTable(kStrings);
}

}  // namespace setup
