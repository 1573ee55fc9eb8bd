// The grown-ups' section as the engine runs it. The engine cannot include the section (adult/
// sits above it), so the program installs an implementation at start (SetAdultSection in
// engine/core/cor_engine.h); the neutral one shows nothing and answers IDCANCEL, as a sheet
// closed without a choice.
#pragma once

#include "engine/base/activity_settings.h"
#include "engine/base/user_prefs.h"
#include "platform/afx/message_box.h"
#include "platform/core/wintypes.h"

class CWnd;

inline constexpr int kAdultSheetQuit = 1134;       // the sheet's "Avsluta" result
inline constexpr UINT kAdultSheetCaption = 61279;  // "Vuxenavdelning"

class IAdultSection {
public:
    virtual ~IAdultSection() = default;
    // Runs the grown-ups' sheet modally, captioned with string captionId and owned by parent
    // (the launcher variant when launcherMode), over the record and the block it is given.
    // Returns IDOK (1) when the grown-ups leave with "Spela", 1134 with "Avsluta", anything
    // else when the sheet is closed otherwise.
    virtual int RunSheet(bool /*launcherMode*/, UINT /*captionId*/, CWnd* /*parent*/, CUserPrefs& /*record*/,
                         ActivitySettings& /*block*/) {
        return IDCANCEL;
    }
};
