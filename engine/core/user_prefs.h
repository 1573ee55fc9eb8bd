// The current player's preference record (284 bytes, little-endian, stored whole in the
// player's preference file), and the operations that read and write it. The engine object
// holds one record; the grown-ups' section edits a copy.
//
// The files themselves are reached through IPrefsStore, installed once at start. The neutral
// store has no files: loading gives the defaults (as for a player without a file) and saving
// writes nothing and reports 0.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string>

struct CUserPrefs {
    uint32_t useOwnVolume;        // opening the output sets the volume to volumePercent
    uint16_t volumePercent;       // 0..100
    uint8_t fill06[2];
    uint32_t printingOn;
    uint32_t showStopSign;        // the home module shows its quit button; Ctrl+Q is enabled
    uint32_t playIntroSound;
    uint32_t showMiddleButton;
    uint32_t scanningAllowed;
    uint16_t scanSpeed;           // step interval scanSpeed × 150 ms; 0 gives 500 ms
    uint8_t fill1E[2];
    uint32_t scanAdvanceAuto;
    uint32_t spareFlag;
    uint32_t colourPrinting;
    uint16_t optionWord;
    uint8_t fill2E[2];
    uint32_t childrenMayAddPlayers;
    uint32_t savingOn;
    uint8_t printerSetup[148];    // the printer's device mode record
    char printerDriver[13];
    char printerDevice[32];
    char printerPort[32];
    uint8_t fill119[3];

    // The engine defaults; also resets the engine object's saved-settings block.
    void SetDefaults();
    // The defaults without touching the engine's block.
    void SetRecordDefaults();
    void CopyFrom(const CUserPrefs& source);
    void CopyTo(CUserPrefs& target) const;
};
static_assert(std::endian::native == std::endian::little, "the preference record is kept in file byte order");
static_assert(sizeof(CUserPrefs) == 284);
static_assert(offsetof(CUserPrefs, volumePercent) == 0x04);
static_assert(offsetof(CUserPrefs, printingOn) == 0x08);
static_assert(offsetof(CUserPrefs, showStopSign) == 0x0C);
static_assert(offsetof(CUserPrefs, scanningAllowed) == 0x18);
static_assert(offsetof(CUserPrefs, scanSpeed) == 0x1C);
static_assert(offsetof(CUserPrefs, scanAdvanceAuto) == 0x20);
static_assert(offsetof(CUserPrefs, optionWord) == 0x2C);
static_assert(offsetof(CUserPrefs, childrenMayAddPlayers) == 0x30);
static_assert(offsetof(CUserPrefs, printerSetup) == 0x38);
static_assert(offsetof(CUserPrefs, printerDriver) == 0xCC);
static_assert(offsetof(CUserPrefs, printerDevice) == 0xD9);
static_assert(offsetof(CUserPrefs, printerPort) == 0xF9);
static_assert(offsetof(CUserPrefs, fill119) == 0x119);

// The player's preference file behind the engine's record and saved-settings block. Each call
// returns 1 on success, 0 on failure.
class IPrefsStore {
public:
    virtual ~IPrefsStore() = default;
    // The record and then the block of the current player into the engine object (start-up).
    // Neutral: no file, so the engine defaults (record and block), 1.
    virtual int LoadPrefs();
    // The engine's record and block into the files (shutdown, the grown-ups' copy-back).
    // Neutral: nothing written, 0.
    virtual int SavePrefs() { return 0; }
    // The current player's block alone into the engine object (entering the home module).
    // Neutral: no file, so the engine defaults, 1.
    virtual int ReadUserPrefs();
    // The preference folder, ending in a backslash (where the sound files that 'SND' items
    // name lie). Neutral: none, empty.
    virtual std::string PrefsFolder() { return {}; }
    // The current player's own folder, where the player's record files lie (in launcher mode
    // the child's folder). Neutral: none, empty.
    virtual std::string PlayerFolder() { return {}; }
};
// Installs the store (null: the neutral one) and returns the one installed before.
IPrefsStore* SetPrefsStore(IPrefsStore* store);
IPrefsStore& PrefsStore();

int LoadPrefs();
int SavePrefs();
int ReadUserPrefs();
