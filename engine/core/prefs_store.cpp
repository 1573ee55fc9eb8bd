#include "engine/core/prefs_store.h"

#include "engine/core/cor_engine.h"
#include "platform/core/seam.h"

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
constinit plat::Seam<IPrefsStore> gStore;
}  // namespace

IPrefsStore* SetPrefsStore(IPrefsStore* store) { return gStore.Install(store); }
IPrefsStore& PrefsStore() { return gStore.Get(); }

int LoadPrefs() { return PrefsStore().LoadPrefs(); }
int SavePrefs() { return PrefsStore().SavePrefs(); }
int ReadUserPrefs() { return PrefsStore().ReadUserPrefs(); }
