#include "setup/setwell/setwell_dialogs.h"

#include "platform/dialogs/resources.h"
#include "setup/setwell/install_dir_dlg.h"
#include "setup/setwell/progress_dlg.h"

namespace setup {

namespace {

// Dialog units of 8-point "MS Sans Serif". The caption of 102 comes from the script.
const plat::DialogItem kInstallDirItems[] = {
    plat::LText(nullptr, kIdcInstallMessage, 10, 8, 236, 40),
    plat::LText(u8"Plats för installation:", -1, 10, 54, 236, 8),
    plat::EditText(kIdcInstallPath, 10, 64, 236, 12, ES_AUTOHSCROLL),
    plat::LText(u8"Klicka på Fortsätt för att fortsätta med installationen.", -1, 10, 86, 236, 8),
    plat::LText(u8"Klicka på Avsluta för att avbryta installationen och återgå till Windows.", -1, 10, 96, 236, 16),
    plat::DefPushButton(u8"&Fortsätt", IDOK, 70, 118, 54, 14),
    plat::PushButton(u8"A&vsluta", IDCANCEL, 132, 118, 54, 14),
};

const plat::DialogItem kProgressItems[] = {
    plat::LText(nullptr, kIdcProgressText, 10, 12, 200, 8),
};

const plat::DialogTemplate kDialogs[] = {
    {kInstallDirDialog, 0, 0, 256, 140, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, u8"", kInstallDirItems},
    {kProgressDialog, 0, 0, 220, 34, DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_VISIBLE, u8"Installerar...",
     kProgressItems},
};

}  // namespace

void RegisterSetwellDialogs() { plat::RegisterDialogTemplates(kDialogs); }

}  // namespace setup
