#include "activities/ruduridodu/slot_target.h"

CSlotTarget::~CSlotTarget() = default;
void CSlotTarget::ShowNumber() {}
void CSlotTarget::Highlight(int16_t) {}
void CSlotTarget::Unhighlight() {}
bool CSlotTarget::Contains(int16_t, int16_t) const { return false; }
int16_t CSlotTarget::Announce() { return 1; }
int16_t CSlotTarget::SpeakNumber(int16_t) { return 1; }
int16_t CSlotTarget::SpeakNumberAlt(int16_t) { return 1; }
