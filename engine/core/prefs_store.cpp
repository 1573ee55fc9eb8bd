#include "engine/core/prefs_store.h"

#include "engine/core/cor_engine.h"

void SetDefaultPrefs(CUserPrefs& prefs) {
    prefs.SetRecordDefaults();
    if (theEngine) theEngine->ResetSavedSettings();
}

int IPrefsStore::LoadPrefs() {
    if (theEngine) SetDefaultPrefs(theEngine->m_prefs);
    return 1;
}

int IPrefsStore::ReadUserPrefs() {
    if (theEngine) SetDefaultPrefs(theEngine->m_prefs);
    return 1;
}

namespace {
IPrefsStore gNeutralStore;
IPrefsStore* gStore = &gNeutralStore;
}  // namespace

IPrefsStore* SetPrefsStore(IPrefsStore* store) {
    IPrefsStore* old = gStore == &gNeutralStore ? nullptr : gStore;
    gStore = store ? store : &gNeutralStore;
    return old;
}

IPrefsStore& PrefsStore() { return *gStore; }

int LoadPrefs() { return PrefsStore().LoadPrefs(); }
int SavePrefs() { return PrefsStore().SavePrefs(); }
int ReadUserPrefs() { return PrefsStore().ReadUserPrefs(); }
