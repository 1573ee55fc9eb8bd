#include "engine/players/prefs_options.h"

#include "engine/core/cor_engine.h"

namespace {

uint16_t Low16(uint32_t CUserPrefs::* field) {
    return theEngine ? static_cast<uint16_t>(theEngine->m_prefs.*field & 0xFFFF) : 0;
}

constexpr size_t kLeftButton = 0;
constexpr size_t kCornerButton = 2;

void ShowButton(size_t index, int show) {
    if (!theEngine) return;
    theEngine->m_buttons[index].Show(show ? TRUE : FALSE);
}

}  // namespace

uint16_t GetPrefsOption08() { return Low16(&CUserPrefs::printingOn); }
uint16_t GetPrefsOption28() { return Low16(&CUserPrefs::colourPrinting); }
uint16_t GetPrefsOption0C() { return Low16(&CUserPrefs::showStopSign); }
uint16_t GetPrefsOption34() { return Low16(&CUserPrefs::savingOn); }
uint16_t GetPrefsOption30() { return Low16(&CUserPrefs::childrenMayAddPlayers); }

void ShowNavButtonLeft(int show) { ShowButton(kLeftButton, show); }
void ShowNavButtonRight(int show) { ShowButton(kCornerButton, show); }
