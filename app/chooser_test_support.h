// Test helpers of the player chooser and the text entry field: a title of their own (no
// start-up) with the engine's hosts and the built hub file "Zelbo1.res" as module 1, and
// keyboard readings set by the test.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "app/key_translate.h"
#include "engine/core/engine_hosts.h"
#include "engine/core/zelbo_title.h"
#include "engine/toolbox/picture_items.h"
#include "media/res/res_item_table.h"
#include "media/surface/dirty_rect_list.h"
#include "platform/fs/dospath.h"
#include "platform/headless/headless_backend.h"

namespace choosertest {

// Keyboard readings the test sets; the keymap answers from two small tables.
class FakeKeyboard : public IKeyboardReadings {
public:
    FakeKeyboard() : m_saved(SetKeyboardReadings(this)) {}
    ~FakeKeyboard() override { SetKeyboardReadings(m_saved); }
    bool ShiftHeld() override { return shift; }
    bool CapsLockOn() override { return capsLock; }
    bool NumLockOn() override { return numLock; }
    bool ExtendedKey() override { return extended; }
    int PlatformId() override { return platformId; }
    UINT MapToChar(UINT vk) override {
        ++mapCalls;
        return vk == mapKey ? mapChar : 0;
    }
    UINT ToAsciiChar(UINT vk) override {
        ++asciiCalls;
        return vk == asciiKey ? asciiChar : 0;
    }
    UINT MessageChar() override { return carried; }

    bool shift = false, capsLock = false, numLock = false, extended = false;
    int platformId = 1;
    UINT mapKey = 0, mapChar = 0, asciiKey = 0, asciiChar = 0;
    UINT carried = 0;  // the character the key message carries
    int mapCalls = 0, asciiCalls = 0;

private:
    IKeyboardReadings* m_saved;
};

class HubTitleTest : public ::testing::Test {
protected:
    void SetUp() override {
        head = &plat::InstallHeadless();
        title.m_currentModule = 1;
        title.m_itemCache = std::make_unique<CResItemTable>();
        title.m_itemCache->Init(100);
        title.m_dirtyRects = std::make_unique<CDirtyRectList>();
        const std::string path = plat::HostToDosPath(std::string(ZELBO_RES_DIR) + "/Zelbo1.res");
        ASSERT_TRUE(title.m_resFiles[1].Open(path.c_str())) << path;
        hosts.Install();
        savedPictures = InstallPictureItems();
    }
    void TearDown() override {
        title.m_anims.RemoveAll();
        SetEnginePictureItems(savedPictures);
        hosts.Remove();
    }

    plat::HeadlessBackend* head = nullptr;
    CZelboTitle title;
    CEngineHosts hosts{title};
    IResItemHost* savedPictures = nullptr;
};

}  // namespace choosertest
