// What the scene objects need of the engine object, behind one interface: the current module
// and its function table, the window's client size, the dirty rectangles, the screen palette,
// the picture origin, module switching for spots, the sound list, the close-pending flag, the
// palette's black index and the game window with its frame surface for fades.
//
// The engine installs its host once at start (SetSceneHost). Until then the neutral host
// answers: no module, a 640 x 480 client, nothing invalidated, no palette, origin (0, 0), no
// switching, sound off, no close pending, no window; so scene objects can be made, drawn and
// clicked, and reach nobody.
#pragma once

#include <cstdint>

#include "platform/core/wintypes.h"

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
    // Whether a close of the main window waits for the running engine call to return.
    virtual bool ClosePending() { return false; }

    // Records the black index of the palette just loaded.
    virtual void SetBlackIndex(int /*index*/) {}
    // The game window and the frame surface a fade works on (null: none).
    virtual HWND GameWindow() { return nullptr; }
    virtual CDibG* FrameSurface() { return nullptr; }
};

// Installs the host (null: the neutral host) and returns the one installed before.
ISceneHost* SetSceneHost(ISceneHost* host);
ISceneHost& SceneHost();
