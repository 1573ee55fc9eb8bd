// The engine facade: the activities' calls into the engine's spots, idle callbacks, text items,
// scanner, drag manager and module switching. Each turns picture coordinates into frame
// coordinates (the picture origin added) and module-relative ids into absolute ones (the id
// rule), calls the engine, and turns results back. Items that are not (or no longer) in their
// engine list are ignored like null ones.
#pragma once

#include <cstdint>

#include "media/util/cor_geometry.h"
#include "platform/core/wintypes.h"

class CCorAnim;
class CSpot;
class CText;

// ---- Scanning ----------------------------------------------------------------------------
// A fixed point (x, y) as a scan target: slot -1 the first free slot, another slot replaces the
// target in it. The slot, or -1.
int32_t EngineAddScanPoint(int32_t slot, int16_t x, int16_t y, int32_t enabled, int32_t hideOnActivate);
// A spot (module-relative id) as a scan target, (x, y) the highlight's offset.
int32_t EngineAddScanSpot(int32_t slot, int16_t spotId, int16_t x, int16_t y, int32_t enabled, int32_t hideOnActivate);
// The short form: the first free slot, both options the flags.
int32_t EngineAddScanSpot(int16_t spotId, int16_t x, int16_t y, int32_t flags);
// When scanning is allowed, not blocked by ToggleScan (0) and on: off, suspended, Notify (3).
void EngineSuspendScan();
// When suspended and no block holds: on, no longer suspended, Notify (2).
void EngineResumeScan();

// ---- Idle callbacks (delays in ticks of 16 ms) --------------------------------------------
using EngineIdleFunction = void (*)();
// Adds the function's timer, or re-arms the one it has with the period first given.
void EngineSetIdle(int16_t ticks, EngineIdleFunction function);
void EngineRemoveIdle(EngineIdleFunction function);
void EngineRestartIdle(EngineIdleFunction function);

// ---- Spots ----------------------------------------------------------------------------------
using EngineSpotHandler = void (*)(int16_t spotId);
// Loads the spots of the 'SP#' list; 1 when the list was read.
int32_t EngineLoadSpot(int16_t listId);
// Deletes the spots the 'SP#' list names.
void EngineUnloadSpots(int16_t listId);
// A spot made in code over the rectangle: no mask, no handler, no target, enabled, at the tail.
void EngineCreateSpot(int16_t spotId, const CCorRect& rect);
void EngineDeleteSpot(int16_t spotId);
void EngineEnableSpot(int16_t spotId, int16_t flag);
void EngineSetSpotHandler(int16_t spotId, EngineSpotHandler handler);
CSpot* EngineFindSpot(int16_t spotId);
// The first spot under the point (x in the low, y in the high 16 bits): its module in the high
// and its id modulo 1000 in the low 16 bits; 0 when none.
uint32_t EngineSpotAtPoint(uint32_t packedPoint);
// The spot's rectangle in picture coordinates; nothing when there is no such spot.
void EngineGetSpotRect(int16_t spotId, CCorRect& out);

// ---- Text items ---------------------------------------------------------------------------
// The current text style, which each new text item copies: the font number, the colours of
// two colour numbers and the mode (4: no background).
void EngineSetTextDefault(int16_t fontNumber);
void EngineSetTextColors(int16_t foreground, int16_t background, int16_t mode);
// The line height of the current font: its height plus its external leading.
int16_t EngineGetTextMetrics();
// A text item over the rectangle, in the current style, at the tail of the overlay list.
CText* EngineCreateText(const char* text, const CCorRect& rect, int16_t alignment);
// The item's text, colours or emphasised words, its rectangle redrawn; its removal.
void EngineCreateTextB(CText* item, const char* text);
void EngineCreateTextC(CText* item, int16_t foreground, int16_t background);
void EngineCreateTextD(CText* item, int32_t firstWord, int32_t lastWord);
void EngineCreateTextE(CText* item);

// ---- Modules --------------------------------------------------------------------------------
// Leaves the current module with its leaving animation and enters module fully. The caller's
// scene is gone when it returns.
void EngineRunCommand(int16_t module);
// The next idle step leaves the module (back to the previous one; from the home module the
// game ends); queued mouse and key input is dropped now.
void EngineLeaveModule();

// ---- Dragging -------------------------------------------------------------------------------
// Called at each pointer move of a drag with the pointer in picture coordinates; non-zero
// asks for the scripts to be stepped and the screen redrawn at once.
using EngineDragCallback = int16_t (*)(int16_t x, int16_t y);

// The drag manager as the facade reaches it (ids absolute, rectangles in frame coordinates):
// the engine's own (CCorEngine::m_drag) unless a test installs another. This base class drags
// nothing: 0, and no drag running.
class IDragService {
public:
    virtual ~IDragService() = default;
    virtual int16_t BeginDrag(CCorAnim* /*sprite*/, int32_t /*homeSpotId*/, int32_t /*targetSpotId*/,
                              int16_t /*snapDistance*/, EngineDragCallback /*callback*/) {
        return 0;
    }
    // The dragged sprite's rectangle; whether a drag runs.
    virtual int16_t GetDragRect(RECT& out) {
        out = RECT{};
        return 0;
    }
};
// Installs a drag manager (null: the engine's own) and returns the one installed before (null
// for the engine's own).
IDragService* SetDragService(IDragService* service);

// A modal drag of the sprite over the home spot (and the target spot, 0 for none); a sprite
// not in the display list is not handed on (0). After a drop that deleted or stamped the
// sprite the handle is no longer in the display list, so every toolbox call ignores it.
int16_t EngineDragObject(CCorAnim* sprite, int16_t homeSpotId, int16_t targetSpotId, int16_t snapDistance,
                         EngineDragCallback callback);
// The dragged sprite's rectangle in picture coordinates; whether a drag runs.
int16_t EngineGetDragRect(CCorRect& out);
