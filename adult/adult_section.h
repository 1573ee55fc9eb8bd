// The grown-ups' section as the engine reaches it: the engine cannot include this folder, so
// the program installs a CAdultSection into the engine's seam (engine/base/adult_seam.h) at
// start (InstallAdultSection, app/zelbo_program.h), and the engine's EnterAdultArea runs the
// sheet through it.
#pragma once

#include "engine/base/adult_seam.h"

class CAdultSection : public IAdultSection {
public:
    // Builds the sheet (the launcher variant in launcher mode) with the caption, owner and
    // first page 0, hands it the record and the block, runs it and returns its end code.
    int RunSheet(bool launcherMode, UINT captionId, CWnd* parent, CUserPrefs& record,
                 ActivitySettings& block) override;
};
