// Test helpers of the scene objects: an engine stand-in behind the scene host seam that records
// what the objects ask of it (its clock, module table, origin, sound channels, dirty rectangles,
// busy state and spots set by the test), and a module resource file of small pictures,
// installed through the resource host.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/base/module_table.h"
#include "engine/scene/scene_host.h"
#include "engine/scene/anim_list.h"
#include "engine/scene/scanner.h"
#include "media/res/anim_script.h"
#include "media/res/res_items_test_support.h"
#include "media/res/res_writer.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/core/winuser.h"

namespace scenetest {

using Bytes = std::vector<uint8_t>;

class CFakeSceneHost : public ISceneHost {
public:
    CFakeSceneHost() : m_saved(SetSceneHost(this)) {}
    ~CFakeSceneHost() override { SetSceneHost(m_saved); }

    int CurrentModule() override { return module; }
    ModuleFunctionTable* ModuleTable() override { return table; }
    void SwitchToModule(int m) override { switches.push_back(m); }
    SIZE ClientSize() override { return client; }
    void Invalidate(const RECT& r) override {
        invalidated.push_back(r);
        dirty.Add(r);
    }
    CPalId* ScreenPalette() override { return palette; }
    POINT PictureOrigin() override { return origin; }
    CSoundList* Sounds() override { return sounds; }
    bool ClosePending() override { return closePending; }
    void SetBlackIndex(int index) override { blackIndex = index; }
    HWND GameWindow() override { return window; }
    CDibG* FrameSurface() override { return frame; }

    // The clock is the test's (now) unless platformClock: then the platform's, in ticks.
    uint64_t Ticks() override {
        ++tickReads;
        return platformClock ? plat::NowMs64() * 60 / 1000 : now;
    }
    void WaitForTicks(uint64_t ticks) override {
        ++waits;
        if (platformClock)
            ISceneHost::WaitForTicks(ticks);
        else if (ticks > now)
            now = ticks;
    }
    // Eight channels: a play takes the channel asked for, or freeChannel.
    void PreloadSound(int16_t id) override { preloaded.push_back(id); }
    int PlaySound(int32_t id, int channel) override {
        played.push_back(id);
        const int c = channel >= 1 && channel <= 8 ? channel : freeChannel;
        playing.insert(c);
        return c;
    }
    void StopSound(int channel) override {
        stopped.push_back(channel);
        if (channel == -1)
            playing.clear();
        else
            playing.erase(channel);
    }
    bool IsSoundPlaying(int channel) override { return channel == -1 ? !playing.empty() : playing.contains(channel); }

    void RemoveScanTargetsOfAnim(CCorAnim* anim) override {
        detached.push_back(anim);
        if (scanner) scanner->RemoveTargetsOfAnim(anim);
    }
    bool EngineBusy() override { return busy; }
    void SetLastClick(POINT p) override { lastClick = p; }
    void PresentScreen() override { ++presents; }
    bool FindSpotRect(int32_t id, RECT& r) override {
        const auto it = spots.find(id);
        if (it == spots.end()) return false;
        r = it->second;
        return true;
    }
    void ClickSpot(int32_t id) override { clickedSpots.push_back(id); }

    int module = 2;
    ModuleFunctionTable* table = nullptr;
    std::vector<int> switches;
    SIZE client{640, 480};
    std::vector<RECT> invalidated;
    CDirtyRectList dirty;
    CPalId* palette = nullptr;
    POINT origin{0, 0};
    CSoundList* sounds = nullptr;
    bool closePending = false;
    int blackIndex = -1;
    HWND window = nullptr;
    CDibG* frame = nullptr;

    uint64_t now = 0;
    bool platformClock = false;
    int tickReads = 0;
    int waits = 0;
    int freeChannel = 3;
    std::vector<int16_t> preloaded;
    std::vector<int32_t> played;
    std::vector<int> stopped;
    std::set<int> playing;
    std::vector<CCorAnim*> detached;
    CScanner* scanner = nullptr;
    bool busy = false;
    POINT lastClick{-1, -1};
    int presents = 0;
    std::map<int32_t, RECT> spots;
    std::vector<int32_t> clickedSpots;

private:
    ISceneHost* m_saved;
};

// A picture of width × rows, each row given; hot spot (0, 0).
inline Bytes Picture(int width, const std::vector<Bytes>& rows) { return itemtest::Spr(width, rows); }
// A solid square picture of one colour.
inline Bytes Square(int side, uint8_t colour) { return itemtest::Spr(side, std::vector<Bytes>(static_cast<size_t>(side), Bytes(static_cast<size_t>(side), colour))); }

// An 'ANI' item of the given records, with the end record.
inline Bytes Script(const std::vector<std::pair<int16_t, uint32_t>>& records) {
    Bytes b;
    for (const auto& [op, operand] : records) media::AppendAnimRecord(b, op, operand);
    media::AppendAnimRecord(b, media::kAnimEmpty, 0);
    return b;
}

// Module 3 ("the current module") with pictures 3012 to 3014 (4 × 4 squares of colours 12,
// 13, 14) and 3020 (a 6 × 4 picture whose left half is colour 0), and whatever the test adds.
class CSceneResources {
public:
    explicit CSceneResources(int module = 3) : m_module(module) {
        host.module = module;
        Add("SPR", 12, Square(4, 12));
        Add("SPR", 13, Square(4, 13));
        Add("SPR", 14, Square(4, 14));
        Add("SPR", 20, Picture(6, {{0, 0, 0, 20, 20, 20}, {0, 0, 0, 20, 20, 20}, {0, 0, 0, 20, 20, 20}, {0, 0, 0, 20, 20, 20}}));
    }
    void Add(const char* type, int relativeId, const Bytes& bytes) {
        writer.Add(type, static_cast<uint16_t>(m_module * 1000 + relativeId), bytes);
    }
    // Opens the module's file; call after the last Add.
    void Open() { ASSERT_TRUE(host.OpenModule(m_module, writer)); }

    media::CResWriter writer;
    itemtest::CTestHost host;

private:
    int m_module;
};

}  // namespace scenetest
