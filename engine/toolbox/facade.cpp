#include "engine/toolbox/facade.h"

#include <algorithm>
#include <memory>

#include "engine/core/colour_table.h"
#include "engine/core/cor_engine.h"
#include "engine/scene/scan_target.h"
#include "engine/scene/spot.h"
#include "engine/toolbox/waits.h"
#include "media/surface/dirty_rect_list.h"
#include "media/text/font_table.h"
#include "media/text/text_item.h"
#include "platform/core/seam.h"
#include "platform/gdi/text_out.h"
#include "platform/gdi/wingdi.h"

namespace {

CCorEngine& Engine() { return *theEngine; }

// The engine's own drag manager.
class CEngineDrag final : public IDragService {
public:
    int16_t BeginDrag(CCorAnim* sprite, int32_t homeSpotId, int32_t targetSpotId, int16_t snapDistance,
                      EngineDragCallback callback) override {
        return Engine().m_drag.BeginDrag(sprite, homeSpotId, targetSpotId, snapDistance, callback);
    }
    int16_t GetDragRect(RECT& out) override { return Engine().m_drag.GetDragRect(out) ? 1 : 0; }
};

// The engine's own drag manager unless a test installs another.
constinit plat::Seam<IDragService, CEngineDrag> gDrag;

POINT ToFrame(int16_t x, int16_t y) { return POINT{x + Engine().m_originX, y + Engine().m_originY}; }

CCorRect ToPicture(const RECT& r) {
    const CCorEngine& e = Engine();
    return CCorRect{static_cast<int16_t>(r.left - e.m_originX), static_cast<int16_t>(r.top - e.m_originY),
                    static_cast<int16_t>(r.right - e.m_originX), static_cast<int16_t>(r.bottom - e.m_originY)};
}

void NotifyModule(int32_t kind) {
    ModuleFunctionTable* table = Engine().m_moduleTable;
    if (table && table->Notify) table->Notify(kind);
}

CSpot* SpotOf(int16_t spotId) { return Engine().m_spots.FindById(Engine().MapResourceId(spotId)); }

void Invalidate(const RECT& r) {
    if (Engine().m_dirtyRects) Engine().m_dirtyRects->Add(r);
}

RECT TextRect(const CText& item) {
    return RECT{item.X(), item.Y(), item.X() + item.Width(), item.Y() + item.Height()};
}

// The overlay list's entry of the item; end() for null or an item not in the list.
auto FindText(CText* item) {
    auto& texts = Engine().m_texts;
    return std::find_if(texts.begin(), texts.end(), [item](const auto& t) { return item && t.get() == item; });
}

bool IsListed(CText* item) { return FindText(item) != Engine().m_texts.end(); }

}  // namespace

// ---- Scanning --------------------------------------------------------------------------------

int32_t EngineAddScanPoint(int32_t slot, int16_t x, int16_t y, int32_t enabled, int32_t hideOnActivate) {
    const POINT p = ToFrame(x, y);
    return Engine().m_scanner.AddTarget(new CScanPointTarget(enabled, hideOnActivate, p.x, p.y), slot);
}

int32_t EngineAddScanSpot(int32_t slot, int16_t spotId, int16_t x, int16_t y, int32_t enabled, int32_t hideOnActivate) {
    return Engine().m_scanner.AddTarget(
        new CScanSpotTarget(Engine().MapResourceId(spotId), enabled, hideOnActivate, x, y), slot);
}

int32_t EngineAddScanSpot(int16_t spotId, int16_t x, int16_t y, int32_t flags) {
    return EngineAddScanSpot(-1, spotId, x, y, flags, flags);
}

void EngineSuspendScan() {
    CCorEngine& e = Engine();
    if (!e.m_prefs.scanningAllowed || e.m_scanToggleLock || !e.m_scanner.IsOn()) return;
    e.m_scanner.Enable(FALSE);
    e.m_scanSuspended = 1;
    NotifyModule(kModuleNotifyScanOff);
}

// A block of ToggleScan (0) made after the suspension wins: scanning stays off and the
// suspension is kept for a resume after the block.
void EngineResumeScan() {
    CCorEngine& e = Engine();
    if (!e.m_scanSuspended || e.m_scanToggleLock) return;
    e.m_scanner.Enable(TRUE);
    e.m_scanSuspended = 0;
    NotifyModule(kModuleNotifyScanOn);
}

// ---- Idle callbacks --------------------------------------------------------------------------

void EngineSetIdle(int16_t ticks, EngineIdleFunction function) {
    if (function) Engine().m_idles.AddOrRearm(function, ticks);
}

void EngineRemoveIdle(EngineIdleFunction function) { Engine().m_idles.Remove(function); }

void EngineRestartIdle(EngineIdleFunction function) { Engine().m_idles.Rearm(function); }

// ---- Spots -----------------------------------------------------------------------------------

int32_t EngineLoadSpot(int16_t listId) { return Engine().m_spots.LoadList(Engine().MapResourceId(listId)); }

void EngineUnloadSpots(int16_t listId) { Engine().m_spots.UnloadList(Engine().MapResourceId(listId)); }

void EngineCreateSpot(int16_t spotId, const CCorRect& rect) {
    auto spot = std::make_unique<CSpot>(Engine().MapResourceId(spotId));
    const POINT topLeft = ToFrame(rect.left, rect.top);
    const POINT bottomRight = ToFrame(rect.right, rect.bottom);
    spot->SetRect(RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y});
    Engine().m_spots.Append(std::move(spot));
}

void EngineDeleteSpot(int16_t spotId) { Engine().m_spots.Delete(Engine().MapResourceId(spotId)); }

void EngineEnableSpot(int16_t spotId, int16_t flag) {
    if (CSpot* spot = SpotOf(spotId)) spot->Enable(flag != 0);
}

void EngineSetSpotHandler(int16_t spotId, EngineSpotHandler handler) {
    if (CSpot* spot = SpotOf(spotId)) spot->SetCallback(handler);
}

CSpot* EngineFindSpot(int16_t spotId) { return SpotOf(spotId); }

uint32_t EngineSpotAtPoint(uint32_t packedPoint) {
    const POINT p = ToFrame(static_cast<int16_t>(packedPoint & 0xFFFF), static_cast<int16_t>(packedPoint >> 16));
    const int32_t id = Engine().m_spots.FindAt(p);
    if (id <= 0) return 0;
    return (static_cast<uint32_t>(id / 1000) << 16) | static_cast<uint32_t>(id % 1000);
}

void EngineGetSpotRect(int16_t spotId, CCorRect& out) {
    if (const CSpot* spot = SpotOf(spotId)) out = ToPicture(spot->GetRect());
}

// ---- Text items ------------------------------------------------------------------------------

void EngineSetTextDefault(int16_t fontNumber) { Engine().m_textStyle.fontNumber = fontNumber; }

void EngineSetTextColors(int16_t foreground, int16_t background, int16_t mode) {
    TextStyleRecord& style = Engine().m_textStyle;
    style.foreground = ColorNumberToRGB(foreground);
    style.background = ColorNumberToRGB(background);
    style.mode = static_cast<uint16_t>(mode);
}

int16_t EngineGetTextMetrics() {
    HDC dc = CreateCompatibleDC(nullptr);
    if (!dc) return 0;
    CCorFont font;
    int16_t height = 0;
    if (CreateFontByNumber(static_cast<int16_t>(Engine().m_textStyle.fontNumber), font)) {
        HGDIOBJ old = SelectObject(dc, font.GetSafeHandle());
        TEXTMETRIC tm{};
        if (GetTextMetrics(dc, &tm)) height = static_cast<int16_t>(tm.tmHeight + tm.tmExternalLeading);
        SelectObject(dc, old);
    }
    DeleteDC(dc);
    return height;
}

CText* EngineCreateText(const char* text, const CCorRect& rect, int16_t alignment) {
    const POINT at = ToFrame(rect.left, rect.top);
    auto item = std::make_unique<CText>(text, rect.right - rect.left, rect.bottom - rect.top, at.x, at.y,
                                        static_cast<uint16_t>(alignment));
    CText* made = item.get();
    Engine().m_texts.push_back(std::move(item));
    Invalidate(TextRect(*made));
    return made;
}

void EngineCreateTextB(CText* item, const char* text) {
    if (!IsListed(item)) return;
    item->SetText(text);
    Invalidate(TextRect(*item));
}

void EngineCreateTextC(CText* item, int16_t foreground, int16_t background) {
    if (!IsListed(item)) return;
    item->SetColors(foreground, background);
    Invalidate(TextRect(*item));
}

void EngineCreateTextD(CText* item, int32_t firstWord, int32_t lastWord) {
    if (!IsListed(item)) return;
    item->Rerender(firstWord, lastWord);
    Invalidate(TextRect(*item));
}

void EngineCreateTextE(CText* item) {
    auto it = FindText(item);
    if (it == Engine().m_texts.end()) return;
    const RECT r = TextRect(*item);
    Engine().m_texts.erase(it);
    Invalidate(r);
}

// ---- Modules ---------------------------------------------------------------------------------

void EngineRunCommand(int16_t module) {
    Engine().UnloadModule(TRUE);
    Engine().GoToModule(module, TRUE);
}

void EngineLeaveModule() {
    Engine().m_leaveRequest = 1;
    FlushEvents(0xFFFF);
}

// ---- Dragging --------------------------------------------------------------------------------

IDragService* SetDragService(IDragService* service) { return gDrag.Install(service); }

int16_t EngineDragObject(CCorAnim* sprite, int16_t homeSpotId, int16_t targetSpotId, int16_t snapDistance,
                         EngineDragCallback callback) {
    if (!sprite || !Engine().m_anims.Contains(sprite)) return 0;
    const int32_t target = targetSpotId ? Engine().MapResourceId(targetSpotId) : 0;
    return gDrag.Get().BeginDrag(sprite, Engine().MapResourceId(homeSpotId), target, snapDistance, callback);
}

int16_t EngineGetDragRect(CCorRect& out) {
    RECT r{};
    const int16_t running = gDrag.Get().GetDragRect(r);
    out = ToPicture(r);
    return running;
}
