#include "media/res/res_strings.h"

#include "platform/afx/string_table.h"

namespace media {

void RegisterResStrings() {
    static const plat::StringEntry kStrings[] = {
        {kIdsInsertCd,
         u8"Kunde inte läsa CD-ROM-skivan som innehåller programmet. Sätt in CD-ROM-skivan och klicka på OK, "
         u8"eller klicka på Avbryt för att avsluta programmet."},
        {kIdsCannotOpenResFile,
         u8"Kunde inte öppna resursfilen %1.\nKlicka på OK för att prova igen, eller på \nAvbryt för att avsluta "
         u8"programmet."},
    };
    plat::RegisterStringTable(kStrings);
}

}  // namespace media
