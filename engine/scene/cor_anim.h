// CCorAnim: everything that moves on the screen: a picture at a position, driven by a script
// of CAnimInstr. The script is a queue: instructions are appended at its end (AddInstr,
// LoadScript), RunScript consumes them up to the current tick, and when it passes the last one
// the script is emptied. The opcodes and the packed operands are media/res/anim_script.h's.
//
// Positions are frame-surface coordinates (the picture origin included): the point where the
// picture's hot spot is drawn. Objects live in the display list (anim_list.h), which owns them.
// What they need of the engine comes through the scene host (scene_host.h); pictures come
// from the item cache (GetResItem), held by a use so that a picture dropped from the cache
// stays valid while an object shows it.
//
// User-interface thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "media/res/anim_script.h"
#include "media/res/res_item.h"
#include "media/res/sprite.h"
#include "platform/afx/object.h"
#include "platform/core/wintypes.h"

class CAnimList;
class CDibG;

class CAnimInstr : public CObject {
    DECLARE_DYNAMIC(CAnimInstr)
public:
    CAnimInstr() = default;
    CAnimInstr(int16_t op, uint32_t arg) : opcode(op), operand(arg) {}
    // Instructions are values: the script array copies them as it grows.
    CAnimInstr(const CAnimInstr& other) : CObject(), opcode(other.opcode), operand(other.operand), function(other.function) {}
    CAnimInstr& operator=(const CAnimInstr& other) {
        opcode = other.opcode;
        operand = other.operand;
        function = other.function;
        return *this;
    }

    int16_t opcode = media::kAnimEmpty;
    uint32_t operand = 0;
    // CallFunction's function. Only code appends it (AddFunction); an opcode 10 read from a
    // resource has none and does nothing, whatever its operand says.
    void (*function)() = nullptr;
};

// Script states (GetScriptState, CAnimList::GetState).
inline constexpr int kAnimFinished = 1;
inline constexpr int kAnimRunning = 0;
inline constexpr int kAnimEndless = -1;
inline constexpr int kAnimHeld = -2;

// The picture id that stands for no picture.
inline constexpr int32_t kNoPictureId = 2;
// A position is held to this distance from (0, 0) on each axis: far beyond any screen, and far
// enough from the limits of LONG that a picture's bounds around it cannot overflow.
inline constexpr LONG kAnimPositionLimit = 1 << 24;
// A pass ends after this many instructions even when none of them ends it (a lone Restart, a
// Loop for ever without a Wait); the object goes on at the next pass.
inline constexpr int kMaxInstructionsPerPass = 10000;
// A change of picture (which may load it from the resource file) counts as this many of them,
// so a damaged loop of picture changes loads at most a hundred pictures a pass.
inline constexpr int kPictureChangeCost = kMaxInstructionsPerPass / 100;

class CCorAnim : public CObject {
    DECLARE_DYNAMIC(CCorAnim)
public:
    CCorAnim();
    ~CCorAnim() override;
    CCorAnim(const CCorAnim&) = delete;
    CCorAnim& operator=(const CCorAnim&) = delete;

    // Position (frame surface), picture id (2: none); empties the script; clickable; no colour
    // map; the clip rectangle open; mark time now; invalidates its bounds.
    void Init(POINT position, int32_t pictureId);

    // Appends one instruction and resolves its operand: module-relative picture and sound ids
    // become absolute (pictures and sounds are preloaded), MoveTo points get the picture
    // origin. Returns the new instruction's index.
    int AddInstr(int16_t opcode, uint32_t operand);
    // Appends an instruction whose operand packs two 16-bit values (x low), unresolved.
    int AddInstrXY(int16_t opcode, int16_t x, int16_t y);
    // Appends a CallFunction of the function (which takes no arguments).
    int AddFunction(void (*function)());
    // Appends the instructions of the 'ANI' item of the absolute id, each resolved as by
    // AddInstr. A missing item appends nothing and writes a trace line; an item whose size is
    // not a whole number of records loses its tail; one without an end record ends at its end.
    void LoadScript(int32_t id);

    // Runs instructions until one ends the pass, the script ends, the wake time lies ahead or
    // kMaxInstructionsPerPass have run.
    void RunScript(uint64_t now);
    int GetScriptState() const;
    void ClearScript();
    // The script emptied and a wait under way ended with it (a script appended next runs at
    // once).
    void Stop();
    // Skips the rest of the script: it is finished.
    void Finish();
    // Moves past a Hold of this value.
    void ReleaseHold(uint32_t value);

    // Shows the picture of an absolute id (2: none), from the item cache; no invalidation.
    void SetPicture(int32_t id);
    // Like SetPicture, but the previous picture is dropped from the item cache (its memory goes
    // once nothing shows it any more). Nothing when the id is already shown.
    void SwapPicture(int32_t id);
    void SetPosition(POINT p) { m_position = p; }
    void SetClickable(BOOL on) { m_clickable = on; }
    BOOL IsClickable() const { return m_clickable; }
    // A table of a u16 number of pairs, then the pairs {from, to}: colour from + 10 is drawn
    // as to + 10. Pairs that would pass the 256-entry map are ignored; a pair the table does
    // not hold whole is not read. Null: no colour map. Either way the object is invalidated.
    void SetColourMap(const uint8_t* table, size_t size);
    const BYTE* GetColourMap() const { return m_colourMap.get(); }
    void MarkTime();
    // Invalidates, sets the clip rectangle, invalidates again.
    void SetClipRect(const RECT& r);
    const RECT& GetClipRect() const { return m_clip; }

    CSprite* GetPicture() const { return m_picture.Get(); }
    int32_t GetPictureId() const { return m_pictureId; }
    POINT GetPosition() const { return m_position; }
    uint64_t GetMarkTime() const { return m_markTime; }
    uint64_t GetWakeTime() const { return m_wakeTime; }
    int GetSoundChannel() const { return m_soundChannel; }
    int GetIndex() const { return m_index; }
    // A number no other object of the run has had: told apart from a newer object that was
    // given a disposed one's memory (CAnimRef).
    uint64_t Serial() const { return m_serial; }
    const std::vector<CAnimInstr>& GetScript() const { return m_script; }

    // The picture's rectangle on the frame surface; false without a picture.
    bool GetBounds(RECT& out) const;
    // Adds the bounds, clipped to the clip rectangle, to the engine's dirty rectangles.
    void Invalidate();
    // Draws the picture by its hot spot, clipped to clip and the clip rectangle, through the
    // colour map when there is one.
    void Draw(CDibG& surface, const RECT& clip);
    // Whether the point (frame surface) hits the object: inside its clip rectangle, and on a
    // pixel of colour other than 0 (exact) or inside the picture's bounds.
    bool HitTest(int x, int y, bool exact);
    // Drops the colour map and the scan targets that follow the object.
    void Detach();

private:
    friend class CAnimList;

    // What an instruction does to the pass: go on, end it here, or end it after advancing.
    enum class Step { Next, EndPass, EndPassAdvanced };
    Step Execute(uint64_t now);
    void Jump(int32_t offset);
    void ChangePicture(int32_t id, bool swap);

    POINT m_position{0, 0};
    CResItemRef<CSprite> m_picture;
    std::vector<CAnimInstr> m_script;
    int32_t m_index = 0;
    uint64_t m_markTime = 0;
    uint64_t m_wakeTime = 0;
    BOOL m_clickable = 1;
    std::unique_ptr<BYTE[]> m_colourMap;
    RECT m_clip{-32767, -32767, 32767, 32767};
    int m_soundChannel = 0;
    int32_t m_pictureId = kNoPictureId;

    uint64_t m_serial;
    CAnimList* m_list = nullptr;  // the display list holding it, if any
    bool m_removed = false;       // removed during a walk of the list; deleted when it ends
};

// An animation object kept across a point where it may be disposed (a wait, a drag, a followed
// press, a panel's sprites): its address and its serial. The list answers whether it is still
// the same object (CAnimList::Get); the address alone cannot, as a disposed object's memory
// is given to a later one. The address is never dereferenced through the reference.
class CAnimRef {
public:
    CAnimRef() = default;
    // Implicit: a reference stands where a pointer was kept. The object must be alive (or null):
    // its serial is read.
    CAnimRef(CCorAnim* anim) : m_anim(anim), m_serial(anim ? anim->Serial() : 0) {}

    // A reference kept as its two numbers (a seam that passes objects as plain addresses).
    static CAnimRef Of(const CCorAnim* address, uint64_t serial) {
        CAnimRef ref;
        ref.m_anim = address;
        ref.m_serial = serial;
        return ref;
    }

    explicit operator bool() const { return m_anim != nullptr; }
    const CCorAnim* Address() const { return m_anim; }
    uint64_t Serial() const { return m_serial; }

private:
    const CCorAnim* m_anim = nullptr;
    uint64_t m_serial = 0;
};
