// The grown-ups' section as the engine reaches it: the engine cannot include this folder, so
// the program installs CAdultSection into the engine's seam (SetAdultSection) at start, and
// the engine's EnterAdultArea runs the sheet through it.
#pragma once

#include "engine/core/cor_engine.h"

class CAdultSection : public IAdultSection {
public:
    // Builds the sheet (the launcher variant in launcher mode) with the caption, owner and
    // first page 0, hands it the record and the block, runs it and returns its end code.
    int RunSheet(bool launcherMode, UINT captionId, CWnd* parent, CUserPrefs& record,
                 ActivitySettings& block) override;
};

// Installs the program's one CAdultSection into the engine; returns what was installed before.
IAdultSection* InstallAdultSection();
