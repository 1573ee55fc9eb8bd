// The current player's preference record: 284 bytes, little-endian, stored whole at the start
// of the player's preference file. A plain record: the engine object holds one and the
// grown-ups' section edits a copy; the scanner reads its switch-access fields.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>

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

    // The defaults of a new player's record (the engine's own block is reset by
    // SetDefaultPrefs, engine/core/prefs_store.h).
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
