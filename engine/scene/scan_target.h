// The things the switch-access scanner steps through (scanner.h): fixed points, animation
// objects and spots. Each tells whether it can be highlighted now, where the highlight goes
// (frame-surface coordinates) and what activating it does: the same as a click on it.
#pragma once

#include <cstdint>

#include "platform/afx/object.h"
#include "platform/core/wintypes.h"

class CCorAnim;

inline constexpr int kScanPointKind = 2;
inline constexpr int kScanAnimKind = 3;
inline constexpr int kScanSpotKind = 4;
// Text items remove the targets of this kind that follow them; no target made here has it.
inline constexpr int kScanTextKind = 6;

class CScanTarget : public CObject {
public:
    CScanTarget(BOOL enabled, BOOL hideOnActivate, int32_t dx, int32_t dy)
        : m_enabled(enabled), m_hideOnActivate(hideOnActivate), m_offsetX(dx), m_offsetY(dy) {}

    virtual BOOL IsEnabled() = 0;
    virtual POINT GetPosition() = 0;
    // What a click on the target would do. The module's code may remove targets (this one
    // too) meanwhile: an implementation touches nothing of its own after calling it.
    virtual void Activate() = 0;
    virtual int GetKind() const = 0;
    // What the target follows (an animation object, a text item), for removals by object.
    virtual const void* GetObject() const { return nullptr; }

    BOOL m_enabled;
    // When 1, the highlight is erased and the screen presented before the target is activated.
    BOOL m_hideOnActivate;
    int32_t m_offsetX;
    int32_t m_offsetY;
};

// A fixed point (the offset is the point); activating it tells the module OnScanPoint (3).
class CScanPointTarget : public CScanTarget {
public:
    using CScanTarget::CScanTarget;
    BOOL IsEnabled() override { return m_enabled; }
    POINT GetPosition() override { return POINT{m_offsetX, m_offsetY}; }
    void Activate() override;
    int GetKind() const override { return kScanPointKind; }
};

// An animation object: highlighted at its picture's centre plus the offset while it shows a
// picture; activating it is a click on it (OnAnimClicked).
class CScanAnimTarget : public CScanTarget {
public:
    CScanAnimTarget(CCorAnim* anim, BOOL enabled, BOOL hideOnActivate, int32_t dx, int32_t dy)
        : CScanTarget(enabled, hideOnActivate, dx, dy), m_anim(anim) {}
    BOOL IsEnabled() override;
    POINT GetPosition() override;
    void Activate() override;
    int GetKind() const override { return kScanAnimKind; }
    const void* GetObject() const override { return m_anim; }

    CCorAnim* m_anim;
};

// A spot, by absolute id: highlighted at its rectangle's centre plus the offset while the spot
// exists; activating it is a click on the spot.
class CScanSpotTarget : public CScanTarget {
public:
    CScanSpotTarget(int32_t spotId, BOOL enabled, BOOL hideOnActivate, int32_t dx, int32_t dy)
        : CScanTarget(enabled, hideOnActivate, dx, dy), m_spotId(spotId) {}
    BOOL IsEnabled() override;
    POINT GetPosition() override;
    void Activate() override;
    int GetKind() const override { return kScanSpotKind; }

    int32_t m_spotId;
};
