#include "engine/toolbox/picture_print_hosting.h"

#include <cstring>

#include "engine/core/cor_engine.h"
#include "engine/scene/pal_item.h"
#include "engine/toolbox/palette_wrappers.h"
#include "media/print/picture_print_host.h"
#include "media/surface/dibg.h"
#include "media/surface/pal_id.h"
#include "platform/afxwin/afxwin.h"

namespace {

class CToolboxPicturePrintHost : public IPicturePrintHost {
public:
    CDibG* FrameSurface() override { return theEngine ? theEngine->m_frameSurface.get() : nullptr; }
    bool SpotRect(int16_t id, RECT& out) override {
        if (!theEngine) return false;
        const CSpot* spot = theEngine->m_spots.FindById(theEngine->MapResourceId(id));
        if (!spot) return false;
        out = spot->GetRect();
        return true;
    }
    std::string GameTitle() override { return theEngine ? theEngine->GetTitle() : std::string(); }
    std::string AppKey() override { return theEngine ? theEngine->GetAppKey() : std::string(); }
    bool SavedPrinter(SavedPrinterChoice& out) override {
        if (!theEngine) return false;
        const CUserPrefs& prefs = theEngine->m_prefs;
        static_assert(sizeof out.setup == sizeof prefs.printerSetup &&
                      sizeof out.driver == sizeof prefs.printerDriver &&
                      sizeof out.device == sizeof prefs.printerDevice && sizeof out.port == sizeof prefs.printerPort);
        std::memcpy(out.setup, prefs.printerSetup, sizeof out.setup);
        std::memcpy(out.driver, prefs.printerDriver, sizeof out.driver);
        std::memcpy(out.device, prefs.printerDevice, sizeof out.device);
        std::memcpy(out.port, prefs.printerPort, sizeof out.port);
        return true;
    }
    void PaletteEntries(PALETTEENTRY* entries) override {
        for (int i = 0; i < 256; ++i) entries[i] = PALETTEENTRY{};
        ::GetGamePaletteEntries(0, 256, entries);
    }
    HPALETTE Palette() override {
        if (!theEngine || !theEngine->m_screenPalette || !theEngine->m_screenPalette->GetPalette()) return nullptr;
        return theEngine->m_screenPalette->GetPalette()->GetSafeHandle();
    }
    void SetPrinting(bool on) override {
        if (theEngine) theEngine->m_printing = on ? 1 : 0;
    }
    bool MessageShowing() override { return theEngine && theEngine->m_messageShowing != 0; }
    void SetMessageShowing(bool on) override {
        if (theEngine) theEngine->m_messageShowing = on ? 1 : 0;
    }
    void BeginBusy() override {
        if (theEngine) theEngine->BeginBusy();
    }
    void EndBusy() override {
        if (theEngine) theEngine->EndBusy();
    }
    void InvalidateScreen() override {
        if (theEngine) theEngine->InvalidateGameRect(nullptr);
    }
    CWnd* ParentWindow() override { return AfxGetMainWnd(); }
};

}  // namespace

IPicturePrintHost* InstallPicturePrintHost() {
    static CToolboxPicturePrintHost host;
    return SetPicturePrintHost(&host);
}
