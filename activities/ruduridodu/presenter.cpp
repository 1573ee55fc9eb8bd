#include "activities/ruduridodu/presenter.h"

CPresenter::CPresenter() = default;
CPresenter::~CPresenter() = default;

void CPresenter::Enter(bool) {}
void CPresenter::Leave() {}
void CPresenter::Rest() {}
void CPresenter::Listen() {}
void CPresenter::IdleAct() {}
void CPresenter::PraiseAct() {}
void CPresenter::LongIdleAct() { ++m_longIdleTurn; }
void CPresenter::Arrange() {}
int16_t CPresenter::OnClick() { return 1; }
int16_t CPresenter::Say(int16_t) { return 1; }
int16_t CPresenter::PointAndSay(int16_t, int16_t) { return 1; }
int16_t CPresenter::SaySounds(int16_t, const uint16_t*) { return 1; }
int16_t CPresenter::PointAndSaySounds(int16_t, int16_t, const uint16_t*) { return 1; }
int16_t CPresenter::SayEach(int16_t, const uint16_t (*)[2]) { return 1; }
