#include "engine/toolbox/statics_scanning.h"

#include "engine/core/cor_engine.h"
#include "engine/scene/cor_anim.h"
#include "engine/scene/scan_target.h"
#include "media/res/item_cache.h"
#include "media/res/sprite.h"

namespace {

void NotifyModule(int32_t kind) {
    ModuleFunctionTable* table = theEngine->m_moduleTable;
    if (table && table->Notify) table->Notify(kind);
}

}  // namespace

int16_t AddStatic(int16_t pictureId, int16_t x, int16_t y, int16_t kind) {
    CDibG* background = theEngine->m_backgroundSurface.get();
    if (!background) return 0;
    const POINT at{x + theEngine->m_originX, y + theEngine->m_originY};
    const int handle = theEngine->m_statics.Add(*background, at, theEngine->MapResourceId(pictureId), kind, TRUE);
    return static_cast<int16_t>(handle + 1);
}

void RemoveStatic(int16_t number) {
    if (number <= 0) return;
    theEngine->m_statics.RemoveAt(number - 1, theEngine->m_backgroundSurface.get());
}

void ToggleScan(int16_t flag) {
    CCorEngine& e = *theEngine;
    if (flag == 0) {
        if (e.m_scanner.IsOn()) {
            e.m_scanWasOn = 1;
            e.m_scanner.Enable(FALSE);
            NotifyModule(kModuleNotifyScanOff);
        }
        e.m_scanToggleLock = 1;
        return;
    }
    if (e.m_scanToggleLock && e.m_scanWasOn) {
        e.m_scanner.Enable(TRUE);
        NotifyModule(kModuleNotifyScanOn);
    }
    e.m_scanToggleLock = 0;
    e.m_scanWasOn = 0;
}

void ClearScanTargets() {
    theEngine->m_scanner.RemoveAll();
}

int32_t IsScanOn() {
    return theEngine->m_scanner.IsOn();
}

int32_t AddScanSprite(int32_t slot, CCorAnim* sprite, int16_t dx, int16_t dy, int32_t enabled, int32_t hideOnActivate) {
    if (!sprite) return -1;
    return theEngine->m_scanner.AddTarget(new CScanAnimTarget(sprite, enabled, hideOnActivate, dx, dy), slot);
}

void SetScanHighlight(int16_t pictureId, int16_t x, int16_t y) {
    CSprite* picture = GetResItem(theEngine->MapResourceId(pictureId), TRUE);
    if (!picture) picture = GetResItem(1, TRUE);
    theEngine->m_scanner.SetHighlight(picture, x, y);
}
