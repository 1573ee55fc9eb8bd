// What the sound clip list needs from the rest of the game, behind small interfaces so that the
// list can be built and tested before (and without) the engine: the 'SND' items of the module
// resource files, the player's volume preferences and the application's message
// pre-translation. Each is installed once at start; the neutral ones do nothing: no items, the
// volume left alone, no pre-translation, no folder for file references.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/core/wintypes.h"

// The 'SND' items of the module resource files, by absolute id (module × 1000 + r).
class ISoundItems {
public:
    virtual ~ISoundItems() = default;
    // Makes the resource file of a module ready for reading; `opened` tells whether this call
    // opened it (the list closes it again when the load fails). False when it cannot be opened.
    virtual bool OpenModule(int module, bool& opened) {
        (void)module;
        opened = false;
        return true;
    }
    virtual void CloseModule(int module) { (void)module; }
    // The size in bytes of the item; false when there is none.
    virtual bool Find(int32_t /*id*/, uint32_t& /*size*/) { return false; }
    // Reads n bytes of the item from offset; false unless all of them could be read.
    virtual bool Read(int32_t /*id*/, uint32_t /*offset*/, void* /*out*/, uint32_t /*n*/) { return false; }
};
// Installs the items (null: the neutral ones, no items at all) and returns those installed before.
ISoundItems* SetSoundItems(ISoundItems* items);
ISoundItems& SoundItems();

// Items held in memory: tests, fuzzing, and tools that play what they made.
class CSoundItemMap final : public ISoundItems {
public:
    void Put(int32_t id, std::vector<uint8_t> bytes) { m_items[id] = std::move(bytes); }
    void Remove(int32_t id) { m_items.erase(id); }
    bool Find(int32_t id, uint32_t& size) override;
    bool Read(int32_t id, uint32_t offset, void* out, uint32_t n) override;
    // How often each call was made, so tests can see what a load touched.
    int openCalls = 0;
    int closeCalls = 0;
    int reads = 0;
    // OpenModule reports this module as opened by the call (-1: none); failOpen refuses it.
    int openedModule = -1;
    bool failOpen = false;
    bool OpenModule(int module, bool& opened) override;
    void CloseModule(int module) override;

private:
    std::map<int32_t, std::vector<uint8_t>> m_items;
};

// The player's preferences as far as sound goes.
class ISoundPrefs {
public:
    virtual ~ISoundPrefs() = default;
    // Non-zero: opening the output sets the volume to VolumePercent.
    virtual bool UseOwnVolume() { return false; }
    virtual int VolumePercent() { return 100; }
    // The preference folder as a DOS path, where the files that 'SND' items name are looked up;
    // empty when there is none.
    virtual std::string PrefsFolder() { return {}; }
};
// Installs the preferences (null: the neutral ones) and returns those installed before.
ISoundPrefs* SetSoundPrefs(ISoundPrefs* prefs);
ISoundPrefs& SoundPrefs();

// The application's pre-translation of the messages CSoundList::PlayAndWait dispatches while
// it waits (true: handled, not dispatched).
class ISoundMessageFilter {
public:
    virtual ~ISoundMessageFilter() = default;
    virtual bool PreTranslateMessage(MSG& /*msg*/) { return false; }
};
// Installs the filter (null: the neutral one, which handles nothing) and returns the one before.
ISoundMessageFilter* SetSoundMessageFilter(ISoundMessageFilter* filter);
ISoundMessageFilter& SoundMessageFilter();

// Preferences given as plain values.
class CSoundPrefsValues final : public ISoundPrefs {
public:
    bool useOwnVolume = false;
    int volumePercent = 100;
    std::string prefsFolder;
    bool UseOwnVolume() override { return useOwnVolume; }
    int VolumePercent() override { return volumePercent; }
    std::string PrefsFolder() override { return prefsFolder; }
};
