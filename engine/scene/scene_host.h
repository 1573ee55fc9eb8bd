// What the scene objects need of the engine object, behind one interface: the current module
// and its function table, the window's client size, the dirty rectangles, the screen palette,
// the picture origin, module switching for spots, the sound list, the close-pending flag, the
// palette's black index and the game window with its frame surface for fades; for the display
// list and the scanner also the tick clock, the scanner's targets of an animation object, the
// busy state, the last click point, presenting the screen and the spots by id.
//
// The engine installs its host once at start (SetSceneHost). Until then the neutral host
// answers: no module, a 640 x 480 client, nothing invalidated, no palette, origin (0, 0), no
// switching, sound off, no close pending, no window, the platform's tick clock, never busy, no
// spots; so scene objects can be made, drawn, run and clicked, and reach nobody.
#pragma once

#include <cstdint>

#include "platform/core/wintypes.h"

class CCorAnim;
class CDibG;
class CPalId;
class CSoundList;
struct ModuleFunctionTable;

class ISceneHost {
public:
    virtual ~ISceneHost() = default;

    // The current module's number (0 for none) and function table (null for none).
    virtual int CurrentModule() { return 0; }
    virtual ModuleFunctionTable* ModuleTable() { return nullptr; }
    // Unloads the current module with its leaving animation and enters module with a full
    // entry (a spot's target).
    virtual void SwitchToModule(int /*module*/) {}

    // The window's client size; statics are drawn inside it.
    virtual SIZE ClientSize() { return SIZE{640, 480}; }
    // Adds a frame-surface rectangle to the dirty rectangles.
    virtual void Invalidate(const RECT& /*r*/) {}
    // The screen palette that new surfaces are made with, or null.
    virtual CPalId* ScreenPalette() { return nullptr; }
    // Where picture coordinates (0, 0) lie on the frame surface.
    virtual POINT PictureOrigin() { return POINT{0, 0}; }

    // The engine's sound list, or null (sound off).
    virtual CSoundList* Sounds() { return nullptr; }
    // The scripts' sound calls, over the sound list (tests answer them themselves). Preloads a
    // sound by module-relative id (sign kept: negative plays reversed); plays an absolute id on
    // a channel (1-8; another value: a free one) and answers the channel, -1 with sound off;
    // stops a channel (1-8) or all (-1); whether a channel (1-8) or any (-1) plays; one service
    // step of the list.
    virtual void PreloadSound(int16_t relativeId);
    virtual int PlaySound(int32_t absoluteId, int channel);
    virtual void StopSound(int channel);
    virtual bool IsSoundPlaying(int channel);
    virtual void ServiceSound();
    // Whether a close of the main window waits for the running engine call to return.
    virtual bool ClosePending() { return false; }

    // Records the black index of the palette just loaded.
    virtual void SetBlackIndex(int /*index*/) {}
    // The game window and the frame surface a fade works on (null: none).
    virtual HWND GameWindow() { return nullptr; }
    virtual CDibG* FrameSurface() { return nullptr; }

    // The tick clock (GetTicks, ticks.h), and a wait without messages until it reaches ticks.
    virtual uint64_t Ticks();
    virtual void WaitForTicks(uint64_t ticks);
    // Removes the switch-access scan targets that follow the object (it is going).
    virtual void RemoveScanTargetsOfAnim(CCorAnim* /*anim*/) {}
    // The engine's busy state: the scanner does not step while it is set.
    virtual bool EngineBusy() { return false; }
    // The engine's last click point (frame surface), set by the scanner's activations.
    virtual void SetLastClick(POINT /*p*/) {}
    // Presents the frame (the dirty rectangles drawn and shown).
    virtual void PresentScreen() {}
    // A spot of the current screen by absolute id: its rectangle (frame surface); false when
    // there is no such spot. ClickSpot does what a click on the spot does.
    virtual bool FindSpotRect(int32_t /*spotId*/, RECT& /*r*/) { return false; }
    virtual void ClickSpot(int32_t /*spotId*/) {}
};

// Installs the host (null: the neutral host) and returns the one installed before.
ISceneHost* SetSceneHost(ISceneHost* host);
ISceneHost& SceneHost();
