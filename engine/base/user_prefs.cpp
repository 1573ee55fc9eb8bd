#include "engine/base/user_prefs.h"

#include <cstring>

void CUserPrefs::SetRecordDefaults() {
    std::memset(this, 0, sizeof *this);
    printingOn = 1;
    showStopSign = 1;
    playIntroSound = 1;
    showMiddleButton = 1;
    scanSpeed = 4;
    scanAdvanceAuto = 1;
    spareFlag = 1;
    optionWord = 1;
    childrenMayAddPlayers = 1;
    savingOn = 1;
}

namespace {
// A name field copied as a string: at most its size - 1 bytes and a terminator, the rest 0.
template <size_t N>
void CopyName(char (&to)[N], const char (&from)[N]) {
    size_t n = 0;
    while (n < N - 1 && from[n]) ++n;
    std::memset(to, 0, N);
    std::memcpy(to, from, n);
}
}  // namespace

void CUserPrefs::CopyFrom(const CUserPrefs& source) {
    if (&source == this) return;
    const CUserPrefs copy = source;
    std::memcpy(this, &copy, offsetof(CUserPrefs, printerDriver));
    CopyName(printerDriver, copy.printerDriver);
    CopyName(printerDevice, copy.printerDevice);
    CopyName(printerPort, copy.printerPort);
    std::memset(fill119, 0, sizeof fill119);
}

void CUserPrefs::CopyTo(CUserPrefs& target) const { target.CopyFrom(*this); }
