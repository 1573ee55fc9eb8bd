// What the setup program's flow asks of its windows: the background window with the product's
// picture, the install-location dialog, and the progress dialog whose status line the
// statements update. CSetwellApp calls only this interface, so the flow is tested with a
// stand-in and the program installs the real windows at start.
#pragma once

#include <string>

namespace setup {

class CSetwellApp;

class CSetupWindows {
public:
    virtual ~CSetupWindows() = default;

    // The WelcomeDialog statement in pass 1: the background window becomes the main window,
    // the install-location dialog sets the install folder, the progress dialog opens. Ends
    // the process itself (after the app's clean-up) on Cancel or when another copy runs.
    virtual void RunWelcomeStep(CSetwellApp& app) = 0;
    // The WelcomeDialog statement in pass 2: the progress dialog only.
    virtual void OpenProgress(CSetwellApp& app) = 0;
    // The over-install's background window, made the main window and shown with the splash
    // picture. False when another copy of the program runs: nothing was made then.
    virtual bool OpenBackground(CSetwellApp& app) = 0;
    // The progress dialog's status line, and the keyboard focus back to it; nothing when
    // there is no progress dialog.
    virtual void SetProgressText(CSetwellApp& app, const std::string& text) = 0;
    virtual void FocusProgress(CSetwellApp& app) = 0;
    // Destroy and delete; nothing when there is none.
    virtual void CloseProgress(CSetwellApp& app) = 0;
    virtual void CloseBackground(CSetwellApp& app) = 0;
};

}  // namespace setup
