#include "engine/core/engine_drag_host.h"

#include "engine/core/cor_engine.h"
#include "engine/scene/drag_mgr.h"
#include "platform/afxwin/afxwin.h"

namespace {

class CEngineDragHost final : public IDragHost {
public:
    explicit CEngineDragHost(CCorEngine& engine) : m_e(engine) {}

    CAnimList& DisplayList() override { return m_e.m_anims; }
    CSpotList& Spots() override { return m_e.m_spots; }
    CDibG* FrameSurface() override { return m_e.m_frameSurface.get(); }
    CPalId* ScreenPalette() override { return m_e.m_screenPalette ? m_e.m_screenPalette->GetPalette() : nullptr; }
    POINT PictureOrigin() override { return POINT{m_e.m_originX, m_e.m_originY}; }
    HWND GameWindow() override { return m_e.GameViewWindow(); }
    HWND MainWindow() override {
        CWnd* main = AfxGetMainWnd();
        return main ? main->GetSafeHwnd() : nullptr;
    }
    POINT LastClickPoint() override {
        int16_t x = 0, y = 0;
        m_e.GetLastClickPoint(x, y);
        return POINT{x, y};
    }
    void Invalidate(const RECT* r) override { m_e.InvalidateGameRect(r); }
    void PresentDirty() override { m_e.Present(0); }
    void SetComposeOnly(bool on) override { m_e.m_composeOnly = on ? 1 : 0; }
    void RedrawScene() override { m_e.RedrawArea(0); }
    void StampStatic(int32_t pictureId, POINT hotspotAt) override {
        if (m_e.m_backgroundSurface) m_e.m_statics.Add(*m_e.m_backgroundSurface, hotspotAt, pictureId, 0, TRUE);
    }
    void RequestClose() override { m_e.SetClosePending(true); }
    bool ClosePending() override { return m_e.ClosePending(); }
    bool HotKeyHeld() override { return m_e.HeldHotKey() != 0; }
    bool PreTranslate(MSG& msg) override {
        CWinApp* app = AfxGetApp();
        return app && app->PreTranslateMessage(&msg);
    }

private:
    CCorEngine& m_e;
};

}  // namespace

std::unique_ptr<IDragHost> MakeEngineDragHost(CCorEngine& engine) {
    return std::make_unique<CEngineDragHost>(engine);
}
