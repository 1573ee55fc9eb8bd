#include "setup/rembly/rembly_strings.h"

#include "platform/afx/string_table.h"
#include "setup/common/script_strings.h"

namespace setup {

void RegisterRemblyStrings() {
    RegisterScriptStrings();
    static const plat::StringEntry kStrings[] = {
        {kIdsRemovalNotWindows95, u8"Du använder inte Windows 95 eller senare."},
        {kIdsNotInstalled, u8"%1 är inte installerat i ditt system."},
        {kIdsRemoveQuestion, u8"Vill du avinstallera %1?"},
        {kIdsCannotRemoveLink, u8"Kunde inte ta bort StartMenu-posten %1."},
        {kIdsSharedFileUnused, u8"%1 behövs inte längre av något program i ditt system.\nSka den raderas?"},
        {kIdsCannotRemoveFolder, u8"Kunde inte ta bort katalogen %1."},
        {kIdsRemovalRestartQuestion,
         u8"Du måste starta om datorn för att slutföra avinstallationen.\nVill du starta om datorn nu? "},
        {kIdsDisketteInDrive, u8"Det sitter en diskett i enhet A.\n\nTa ut disketten och klicka på OK för att fortsätta."},
        {kIdsDisketteNoRestart, u8"Det sitter en diskett i enhet A.\n\nDatorn kommer inte att startas om."},
        {kIdsRemovalDone, u8"Avinstallationen är klar."},
        {kIdsRemovalCannotCreateKey, u8"Kunde inte öppna/skapa registerposten HKEY_LOCAL_MACHINE\\%1."},
        {kIdsRemovalCannotSetValue, u8"Kunde inte ställa in värdet för registerposten HKEY_LOCAL_MACHINE\\%1."},
        {kIdsNoStartMenuPath, u8"Hittade inte sökvägen till menyn Start."},
        {kIdsNoStartMenuFolder, u8"Hittade inte sökvägen till menyn Start."},
    };
    plat::RegisterStringTable(kStrings);
}

}  // namespace setup
