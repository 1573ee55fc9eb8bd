#include "engine/scene/cor_anim.h"

#include <algorithm>
#include <cstdlib>
#include <limits>
#include <string>

#include "engine/base/module_table.h"
#include "engine/scene/scene_host.h"
#include "engine/scene/anim_list.h"
#include "media/res/item_cache.h"
#include "media/res/res_item_table.h"
#include "media/res/res_mgr.h"
#include "media/res/sprite.h"
#include "media/surface/dibg.h"
#include "media/util/mono_debug.h"
#include "platform/core/byte_order.h"
#include "platform/core/rect.h"

using namespace media;

IMPLEMENT_DYNAMIC(CAnimInstr, CObject)
IMPLEMENT_DYNAMIC(CCorAnim, CObject)

namespace {

constexpr uint32_t kLoopForEver = 4095;

// A sound operand made absolute: the id rule on its magnitude, the sign given back.
int32_t ResolveSound(uint32_t operand) {
    const int32_t relative = AnimLow(operand);
    const int32_t r = std::abs(relative) % 1000;
    const int32_t absolute = ResItemHost().MapResourceId(static_cast<int16_t>(r));
    return relative < 0 ? -absolute : absolute;
}

bool IsChannel(int channel) {
    return channel >= 1 && channel <= 8;
}

// Script arithmetic is done in 64 bits and then held to the range of what it sets, so no
// operand of a damaged script can overflow it.
LONG MovedCoordinate(LONG at, int16_t by) {
    return static_cast<LONG>(std::clamp<int64_t>(int64_t{at} + by, -kAnimPositionLimit, kAnimPositionLimit));
}

int32_t SteppedPictureId(int32_t id, uint32_t operand) {
    const int64_t stepped = int64_t{id} + static_cast<int32_t>(operand);
    return static_cast<int32_t>(std::clamp<int64_t>(stepped, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

uint64_t WakeTime(uint64_t now, uint32_t ticks) {
    return now > std::numeric_limits<uint64_t>::max() - ticks ? std::numeric_limits<uint64_t>::max() : now + ticks;
}

}  // namespace

namespace {
// User-interface thread only, as the objects are; 64 bits never wrap.
uint64_t gLastSerial = 0;
}  // namespace

CCorAnim::CCorAnim() : m_serial(++gLastSerial) {}

CCorAnim::~CCorAnim() = default;

void CCorAnim::Init(POINT position, int32_t pictureId) {
    m_position = position;
    m_picture.Reset();
    m_pictureId = kNoPictureId;
    SetPicture(pictureId);
    ClearScript();
    m_wakeTime = 0;
    m_clickable = 1;
    m_colourMap.reset();
    m_clip = RECT{-32767, -32767, 32767, 32767};
    m_markTime = SceneHost().Ticks();
    m_soundChannel = 0;
    Invalidate();
}

int CCorAnim::AddInstr(int16_t opcode, uint32_t operand) {
    switch (opcode) {
    case kAnimShowPicture: {
        const int32_t id = ResItemHost().MapResourceId(static_cast<int16_t>(AnimLow(operand) % 1000));
        GetResItem(id, TRUE);
        operand = static_cast<uint32_t>(id);
        break;
    }
    case kAnimSwapPicture:
        operand = static_cast<uint32_t>(ResItemHost().MapResourceId(static_cast<int16_t>(AnimLow(operand) % 1000)));
        break;
    case kAnimPlayNewSound:
    case kAnimPlaySound:
        SceneHost().PreloadSound(AnimLow(operand));
        operand = static_cast<uint32_t>(ResolveSound(operand));
        break;
    case kAnimWaitSound:
        operand = static_cast<uint32_t>(ResolveSound(operand));
        break;
    case kAnimMoveTo: {
        const POINT origin = SceneHost().PictureOrigin();
        operand = PackAnimPoint(static_cast<int16_t>(AnimLow(operand) + origin.x),
                                static_cast<int16_t>(AnimHigh(operand) + origin.y));
        break;
    }
    default:
        break;
    }
    m_script.emplace_back(opcode, operand);
    return static_cast<int>(m_script.size()) - 1;
}

int CCorAnim::AddInstrXY(int16_t opcode, int16_t x, int16_t y) {
    m_script.emplace_back(opcode, PackAnimPoint(x, y));
    return static_cast<int>(m_script.size()) - 1;
}

int CCorAnim::AddFunction(void (*function)()) {
    m_script.emplace_back(kAnimCallFunction, 0);
    m_script.back().function = function;
    return static_cast<int>(m_script.size()) - 1;
}

void CCorAnim::LoadScript(int32_t id) {
    CResMgr* mgr = id >= 0 ? ResItemHost().ResourceManager(id / 1000) : nullptr;
    ResDirEntry* entry = mgr ? mgr->FindEntry(kResANI, static_cast<uint32_t>(id)) : nullptr;
    if (!entry) {
        MonoDebugWrite(("No animation script 'ANI' " + std::to_string(id) + "\n").c_str());
        return;
    }
    std::vector<uint8_t> bytes;
    if (!ReadResourceItem(kResANI, id, &entry, bytes)) return;
    for (size_t at = 0; at + kAnimRecordSize <= bytes.size(); at += kAnimRecordSize) {
        const int16_t opcode = plat::GetLeI16(bytes, at);
        if (opcode == kAnimEmpty) break;
        AddInstr(opcode, plat::GetLe32(bytes, at + 2));
    }
}

void CCorAnim::RunScript(uint64_t now) {
    ISceneHost& host = SceneHost();
    for (int budget = kMaxInstructionsPerPass; budget > 0; --budget) {
        const int32_t count = static_cast<int32_t>(m_script.size());
        if (m_index < 0 || m_index > count - 1 || m_wakeTime > now) return;
        host.ServiceSound();
        const int32_t shown = m_pictureId;
        const Step step = Execute(now);
        if (m_pictureId != shown) budget -= kPictureChangeCost - 1;
        // A cue or a called function may have removed the object: nothing more runs on it.
        if (m_removed) return;
        if (step != Step::EndPass) ++m_index;
        if (m_index > static_cast<int32_t>(m_script.size()) - 1) ClearScript();
        if (step == Step::EndPass || step == Step::EndPassAdvanced) return;
    }
}

void CCorAnim::Jump(int32_t offset) {
    // The caller's advance adds the 1 of i + J + 1. A jump past either end stops the script:
    // beyond the end it is emptied; before the start the runner never runs it again.
    const int64_t target = int64_t{m_index} + offset;
    m_index = static_cast<int32_t>(std::clamp<int64_t>(target, -2, static_cast<int64_t>(m_script.size())));
}

CCorAnim::Step CCorAnim::Execute(uint64_t now) {
    ISceneHost& host = SceneHost();
    // Copied: a called function or a cue may append to the script and move it.
    const CAnimInstr instr = m_script[static_cast<size_t>(m_index)];
    const uint32_t operand = instr.operand;
    switch (instr.opcode) {
    case kAnimShowPicture:
        if (m_picture && m_pictureId == static_cast<int32_t>(operand)) break;
        Invalidate();
        SetPicture(static_cast<int32_t>(operand));
        Invalidate();
        break;
    case kAnimSwapPicture:
        if (m_picture && m_pictureId == static_cast<int32_t>(operand)) break;
        Invalidate();
        SwapPicture(static_cast<int32_t>(operand));
        Invalidate();
        break;
    case kAnimStepPicture:
        if (!m_picture) break;
        Invalidate();
        SetPicture(SteppedPictureId(m_pictureId, operand));
        Invalidate();
        break;
    case kAnimMoveBy:
        Invalidate();
        m_position.x = MovedCoordinate(m_position.x, AnimLow(operand));
        m_position.y = MovedCoordinate(m_position.y, AnimHigh(operand));
        Invalidate();
        break;
    case kAnimMoveTo:
        Invalidate();
        m_position = POINT{AnimLow(operand), AnimHigh(operand)};
        Invalidate();
        break;
    case kAnimWait:
        m_wakeTime = WakeTime(now, operand);
        return Step::EndPassAdvanced;
    case kAnimPlayNewSound:
        if (IsChannel(m_soundChannel)) host.StopSound(m_soundChannel);
        m_soundChannel = host.PlaySound(static_cast<int32_t>(operand), 0);
        break;
    case kAnimPlaySound:
        m_soundChannel = host.PlaySound(static_cast<int32_t>(operand), m_soundChannel);
        break;
    case kAnimStopSound: {
        const int16_t channel = AnimLow(operand);
        if (channel == 0) {
            if (IsChannel(m_soundChannel)) host.StopSound(m_soundChannel);
        } else if (channel == -1 || IsChannel(channel)) {
            host.StopSound(channel);
        }
        break;
    }
    case kAnimRestart:
        m_index = -1;
        break;
    case kAnimCallFunction:
        if (instr.function) instr.function();
        break;
    case kAnimWaitSound: {
        const int32_t r = static_cast<int32_t>(operand) % 1000;
        // Another operand names no channel: nothing to wait for.
        const bool playing = r == 0    ? IsChannel(m_soundChannel) && host.IsSoundPlaying(m_soundChannel)
                             : r == -1 ? host.IsSoundPlaying(-1)
                                       : false;
        if (playing) return Step::EndPass;
        break;
    }
    case kAnimLoop: {
        const uint32_t n = AnimLoopN(operand);
        const uint32_t c = AnimLoopC(operand);
        const int8_t j = AnimLoopJump(operand);
        if (c == kLoopForEver) {
            Jump(j);
            break;
        }
        const int32_t left = static_cast<int32_t>(c) - 1;
        auto& stored = m_script[static_cast<size_t>(m_index)].operand;
        if (left > 0) {
            stored = PackAnimLoop(n, static_cast<uint32_t>(left), j);
            Jump(j);
        } else {
            stored = PackAnimLoop(n, n, j);
        }
        break;
    }
    case kAnimHold:
        return Step::EndPass;
    case kAnimRelease:
        if (m_list)
            m_list->ReleaseAll(operand);
        else
            ReleaseHold(operand);
        break;
    case kAnimJumpIfSound:
        if (IsChannel(m_soundChannel) && host.IsSoundPlaying(m_soundChannel)) Jump(static_cast<int32_t>(operand));
        break;
    case kAnimCue: {
        // Modules without OnAnimCue are skipped: a stand-in or damaged script may still cue.
        ModuleFunctionTable* table = host.ModuleTable();
        if (table && table->OnAnimCue) table->OnAnimCue(this, operand);
        break;
    }
    case kAnimYield:
        return Step::EndPassAdvanced;
    case kAnimMarkTime:
        m_markTime = now;
        break;
    case kAnimWaitSinceMark: {
        const int64_t until = static_cast<int64_t>(m_markTime) + AnimLow(operand);
        if (until > static_cast<int64_t>(now)) {
            Jump(AnimHigh(operand));
            return Step::EndPassAdvanced;
        }
        break;
    }
    default:  // -1 (empty), 0 (Nop), 9 and unknown opcodes do nothing
        break;
    }
    return Step::Next;
}

int CCorAnim::GetScriptState() const {
    const int32_t count = static_cast<int32_t>(m_script.size());
    // An index before the start (a jump there) is never run again: as good as finished.
    if (m_index < 0 || m_index > count - 1) return kAnimFinished;
    if (m_script[static_cast<size_t>(m_index)].opcode == kAnimHold) return kAnimHeld;
    const CAnimInstr& last = m_script.back();
    if (last.opcode == kAnimRestart) return kAnimEndless;
    if (last.opcode == kAnimLoop && AnimLoopC(last.operand) >= kLoopForEver) return kAnimEndless;
    return kAnimRunning;
}

void CCorAnim::ClearScript() {
    std::vector<CAnimInstr>().swap(m_script);
    m_index = 0;
}

void CCorAnim::Stop() {
    ClearScript();
    // A wait under way goes with its instruction: what is queued next runs at the next step.
    m_wakeTime = 0;
}

void CCorAnim::Finish() {
    m_index = static_cast<int32_t>(m_script.size());
}

void CCorAnim::ReleaseHold(uint32_t value) {
    if (m_index < 0 || m_index >= static_cast<int32_t>(m_script.size())) return;
    const CAnimInstr& current = m_script[static_cast<size_t>(m_index)];
    if (current.opcode == kAnimHold && current.operand == value) ++m_index;
}

void CCorAnim::SetPicture(int32_t id) {
    m_picture.Reset(id == kNoPictureId ? nullptr : GetResItem(id, TRUE));
    m_pictureId = id;
}

void CCorAnim::SwapPicture(int32_t id) {
    if (id == m_pictureId) return;
    if (id == kNoPictureId) {
        m_picture.Reset();
        m_pictureId = kNoPictureId;
        return;
    }
    const int32_t old = m_pictureId;
    const bool hadPicture = static_cast<bool>(m_picture);
    SetPicture(id);
    // The old picture leaves the cache; its memory goes with the last object showing it.
    if (hadPicture && old != id) {
        if (CResItemTable* cache = ResItemHost().ItemCache()) cache->RemoveRange(old, old);
    }
}

void CCorAnim::SetColourMap(const uint8_t* table, size_t size) {
    if (!table) {
        m_colourMap.reset();
    } else {
        if (!m_colourMap) m_colourMap = std::make_unique<BYTE[]>(256);
        for (int i = 0; i < 256; ++i) m_colourMap[static_cast<size_t>(i)] = static_cast<BYTE>(i);
        const size_t pairs = size >= 2 ? plat::GetLe16(std::span<const uint8_t>(table, size), 0) : 0;
        for (size_t k = 0; k < pairs && 2 + 2 * k + 1 < size; ++k) {
            const int from = table[2 + 2 * k] + 10;
            const int to = table[2 + 2 * k + 1] + 10;
            // The map has 256 entries; a pair past it (from or to above 245) is ignored.
            if (from > 255 || to > 255) continue;
            m_colourMap[static_cast<size_t>(from)] = static_cast<BYTE>(to);
        }
    }
    Invalidate();
}

void CCorAnim::MarkTime() {
    m_markTime = SceneHost().Ticks();
}

void CCorAnim::SetClipRect(const RECT& r) {
    Invalidate();
    m_clip = r;
    Invalidate();
}

bool CCorAnim::GetBounds(RECT& out) const {
    if (!m_picture) return false;
    out.left = m_position.x - m_picture->HotspotX();
    out.top = m_position.y - m_picture->HotspotY();
    out.right = out.left + m_picture->Width();
    out.bottom = out.top + m_picture->Height();
    return true;
}

void CCorAnim::Invalidate() {
    RECT bounds, r;
    if (!GetBounds(bounds) || !IntersectRect(&r, &bounds, &m_clip)) return;
    SceneHost().Invalidate(r);
}

void CCorAnim::Draw(CDibG& surface, const RECT& clip) {
    RECT r;
    if (!m_picture || !IntersectRect(&r, &clip, &m_clip)) return;
    if (m_colourMap)
        surface.DrawSpriteMapped(*m_picture, m_position, r, m_colourMap.get(), TRUE);
    else
        surface.DrawSprite(*m_picture, m_position, r, TRUE);
}

bool CCorAnim::HitTest(int x, int y, bool exact) {
    if (!m_picture) return false;
    const POINT p{x, y};
    if (!PtInRect(&m_clip, p)) return false;
    const POINT relative{x - m_position.x, y - m_position.y};
    return exact ? m_picture->HitPixel(relative) != 0 : m_picture->ContainsPoint(relative) != 0;
}

void CCorAnim::Detach() {
    m_colourMap.reset();
    SceneHost().RemoveScanTargetsOfAnim(this);
}
