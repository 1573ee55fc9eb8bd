#include "media/print/picture_file_strings.h"

#include "platform/afx/string_table.h"

namespace media {

void RegisterPictureFileStrings() {
    static const plat::StringEntry kStrings[] = {
        {kIdsAllFilesFilter, u8"Alla filer (*.*)|*.*||"},
        {kIdsUnsupportedFileKind, u8"Filtypen stöds inte."},
        {kIdsInvalidFile, u8"Filen är ogiltig."},
        {kIdsFileMissing, u8"Filen finns inte."},
    };
    plat::RegisterStringTable(kStrings);
}

}  // namespace media
