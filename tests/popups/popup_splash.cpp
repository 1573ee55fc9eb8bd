// The credits picture, as the grown-ups' section shows it: over the game's main window until a
// key or a click.
#include "adult/splash_dlg.h"
#include "tests/popups/popups_module.h"

void OpenSplash() {
    CSplashDlg splash(AfxGetMainWnd());
    splash.DoModal();
}
