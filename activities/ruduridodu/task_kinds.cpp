#include "activities/ruduridodu/task_kinds.h"

#include <utility>

#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/presenter.h"
#include "activities/ruduridodu/ruduridodu_ids.h"
#include "engine/scene/sound_toolbox.h"
#include "engine/toolbox/aliases.h"
#include "engine/toolbox/phrase.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"

namespace {

constexpr int16_t kEmpty = CTaskRecord::kEmpty;

int16_t Wrap(int32_t v) { return static_cast<int16_t>(v); }

// The position's value modulo n, then the position moves on (never negative).
int16_t Take(int16_t& pos, int16_t n) {
    const int16_t v = n > 0 ? static_cast<int16_t>(pos % n) : int16_t{0};
    pos = static_cast<int16_t>((pos + 1) & 0x7FFF);
    return v;
}
void Advance(int16_t& pos) { pos = static_cast<int16_t>((pos + 1) & 0x7FFF); }
int16_t Peek(int16_t pos, int16_t n) { return n > 0 ? static_cast<int16_t>(pos % n) : int16_t{0}; }

bool IsRule(int16_t v) { return v >= 51 && v <= 56; }

// base + step x RandomBelow(n), uniform over the values of that progression other than
// `except` (every value when it is not among them).
int16_t DrawProgressionExcept(int16_t base, int16_t step, int16_t n, int16_t except) {
    if (n < 1) return base;
    const int32_t offset = except - base;
    const bool among = step != 0 && offset % step == 0 && offset / step >= 0 && offset / step < n;
    if (!among || n == 1) return Wrap(base + step * RandomBelow(n));
    int32_t k = RandomBelow(static_cast<int16_t>(n - 1));
    if (k >= offset / step) ++k;
    return Wrap(base + step * k);
}

}  // namespace

void CRotation::Draw() {
    pos24a = RandomBelow(24);
    pos25 = RandomBelow(25);
    pos81 = RandomBelow(81);
    pos24b = RandomBelow(24);
    pos36 = RandomBelow(36);
    pos48 = RandomBelow(48);
    pos30 = RandomBelow(30);
    pos75 = RandomBelow(75);
    pos64 = RandomBelow(64);
    pos45 = RandomBelow(45);
    pos56 = RandomBelow(56);
    RandomBelow(10);
    pos11 = RandomBelow(11);
    pos17 = RandomBelow(17);
}

bool MakesCompleteTask(int16_t type, int16_t topic, int16_t index) {
    switch (type) {
    case 1:
        return topic == 101 || topic == 102 || topic == 105 || topic == 107 || topic == 108 || topic == 110 ||
               topic == 112;
    case 2: return topic == 103 || topic == 104 || topic == 110;
    case 3: return topic == 106 || topic == 107 || topic == 108 || topic == 110 || topic == 112;
    case 4: return topic == 112 || (topic == 111 && index >= 40 && index <= 43);
    case 5:
        return (topic == 109 && index <= 34) || topic == 110 || topic == 111 ||
               (topic == 112 && index >= 50 && index <= 52);
    default: return false;
    }
}

int16_t NearestCompleteIndex(const CLevelTable& table, int16_t wanted) {
    int16_t index = wanted < table.Count() ? wanted : static_cast<int16_t>(table.Count() - 1);
    for (; index >= 1; --index) {
        const CLevelPair pair = table.At(index);
        if (MakesCompleteTask(pair.type, pair.topic, index)) return index;
    }
    return 0;
}

// ---------------------------------------------------------------------------------------------
// Number rules

void CNumberRule::Avoid(int16_t n) {
    for (int16_t i = 0; i < avoidedCount; ++i) {
        if (avoided[i] == n) return;
    }
    if (avoidedCount < 4) avoided[avoidedCount++] = n;
}

bool CNumberRule::Fits(int16_t n) const {
    if (hasFixed) return n == fixed;
    if (n < lo || n >= hi) return false;
    if (divisor != 0 && static_cast<int16_t>(n % divisor) != remainder) return false;
    for (int16_t i = 0; i < avoidedCount; ++i) {
        if (avoided[i] == n) return false;
    }
    return true;
}

int32_t CNumberRule::Choices() const {
    if (hasFixed) return 1;
    int32_t count = 0;
    for (int32_t n = lo; n < hi; ++n) count += Fits(static_cast<int16_t>(n)) ? 1 : 0;
    return count;
}

bool CNumberRule::Draw(int16_t& n) const {
    if (hasFixed) {
        n = fixed;
        return true;
    }
    const int32_t count = Choices();
    if (count < 1) return false;
    int32_t k = count > 32767 ? RandomBelow(32767) : RandomBelow(static_cast<int16_t>(count));
    for (int32_t v = lo; v < hi; ++v) {
        if (Fits(static_cast<int16_t>(v)) && k-- == 0) {
            n = static_cast<int16_t>(v);
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// The kind base

CTaskKind::CTaskKind(int16_t topic, int16_t index, CTaskInputs inputs) : m_topic(topic), m_inputs(inputs) {
    m_tableIndex = index;
    m_words = {1, 0, 0};
    m_tilesNeeded = 0;
    m_tilesPlaced = 0;
    m_tilePicked = 0;
    m_piecePicked = 0;
}

void CTaskKind::PickExtras(int16_t) {}

CSlotLayout* CTaskKind::BuildLayout(int16_t kind, int16_t listId) {
    std::unique_ptr<CSlotLayout> layout = MakeSlotLayout(kind, this);
    if (layout) layout->Create(listId);
    return layout.release();
}

int16_t CTaskKind::Tally(int16_t n) { return n < 0 ? int16_t{0} : n > 8 ? int16_t{8} : n; }

void CTaskKind::Give(int k, int16_t value) {
    R(k).SetPlainValue(value);
    R(k).SetColumn(static_cast<int16_t>(value / 10 * 10), value);
}

void CTaskKind::ResetRules(int16_t lo, int16_t hi) {
    for (CNumberRule& r : m_rules) {
        r = CNumberRule{};
        r.lo = lo;
        r.hi = hi;
    }
}

bool CTaskKind::RulesCanDraw() const {
    for (int16_t k = 0; k <= m_lastRecord; ++k) {
        if (R(k).Tally() > 0 && m_rules[k].Choices() < 1) return false;
    }
    return true;
}

void CTaskKind::MakeTiles() {
    for (int16_t i = 0; i <= m_lastRecord; ++i) {
        const int16_t k = static_cast<int16_t>((i + 1) % (m_lastRecord + 1));
        CTaskRecord& record = R(k);
        for (int16_t t = 0; t < record.Tally(); ++t) {
            int16_t number = 0;
            // A rule that can give no number makes no tile: the task stays solvable.
            if (!m_rules[k].Draw(number)) break;
            CRoundTile* tile = record.MakeTile();
            if (!tile) break;
            tile->SetNumber(number);
            m_tiles->InsertRandom(tile);
            m_words[0] = static_cast<int16_t>(m_words[0] + 2);
            ++m_tilesNeeded;
        }
    }
    m_tiles->Rewind();
}

CRoundTile* CTaskKind::NextTile() {
    m_currentTile = m_tiles->TakeNext();
    return m_currentTile;
}

int16_t CTaskKind::IsSolved() { return m_tilesPlaced == m_tilesNeeded ? 1 : 0; }

void CTaskKind::EndAct() {
    CPresenter* presenter = Module3::Presenter();
    if (!presenter) return;
    presenter->Say(static_cast<int16_t>(501 + RandomBelow(101) % 10));
    presenter->PraiseAct();
}

int16_t CTaskKind::RepeatPrompt() {
    for (int16_t k = 1; k <= AnnouncedTally(); ++k) {
        if (!AnnounceContainer(k)) return 0;
    }
    if (R(0).Tally() > 0) {
        if (CPresenter* presenter = Module3::Presenter()) presenter->Say(200);
        Module3::PlayBinAnimation();
    }
    return 1;
}

int16_t CTaskKind::Start(int16_t first) {
    CPresenter* presenter = Module3::Presenter();
    for (int16_t k = 1; k <= ContainerTally(); ++k) GetContainer(k)->Unhighlight();
    Module3::SetReady(false);
    if (!presenter) return 0;
    if (first) {
        presenter->Listen();
        if (!presenter->PointAndSay(212, 401)) return 0;
        if (!presenter->PointAndSay(217, 402)) return 0;
        for (int16_t k = 1; k <= AnnouncedTally(); ++k) {
            if (!GetContainer(k)->Announce()) return 0;
            Delay(5);
        }
    } else {
        presenter->Listen();
        if (!presenter->PointAndSay(212, 409)) return 0;
        WaitSpriteDone(presenter->Talker());
        WaitSpriteDone(presenter->Body());
        for (int16_t k = 1; k <= ContainerTally(); ++k) {
            CSlotTarget* c = GetContainer(k);
            const CTaskRecord* r = GetRecord(k);
            const int16_t v = r ? r->Value() : int16_t{0};
            const int16_t t = static_cast<int16_t>(v / 10 * 10);
            const bool marked = r && r->IsMarked();
            uint16_t phrase[kPhraseSize] = {};
            if (k >= 2) {
                const int16_t n = BuildPhrase(phrase, 244, 0, 0, 0, 0, 0);
                if (!presenter->SaySounds(n, phrase)) {
                    c->Unhighlight();
                    return 0;
                }
            }
            c->Highlight(c->HaloPicture());
            // The switches of template 500 (an entry above 1 is on); entries it does not
            // reach stay 0.
            uint16_t switches[kPhraseSize] = {};
            BuildPhrase(switches, ruduridodu::kSwitchTemplate, 0, 0, 0, 0, 0);
            bool said = true;
            if (t == 10 || t == 20) {
                const int16_t s = switches[5] > 1 ? 639 : 0;
                const int16_t n = marked ? BuildPhrase(phrase, 245, 0, 0, 0, 0, static_cast<uint16_t>(v + s + 305))
                                         : BuildPhrase(phrase, 246, 0, 0, 0, 0, static_cast<uint16_t>(v + 300));
                said = presenter->PointAndSaySounds(c->PresenterPicture(), n, phrase) != 0;
            } else if (t == 30) {
                const int16_t a = switches[5] > 1 ? 591 : 0;
                const int16_t s = switches[5] > 1 ? 597 : 0;
                const int16_t n = marked ? BuildPhrase(phrase, 259, 0, 0, 0, 0, static_cast<uint16_t>(v + s + 300))
                                         : BuildPhrase(phrase, 247, 0, 0, 0, 0, static_cast<uint16_t>(v + a + 300));
                said = presenter->PointAndSaySounds(c->PresenterPicture(), n, phrase) != 0;
            } else if (t == 40) {
                const int16_t word = marked ? 427 : 426;
                if (switches[0] < 2) {
                    said = presenter->Say(word) && Module3::PlayAndWait(static_cast<int16_t>(v + 300));
                } else {
                    said = Module3::PlayAndWait(static_cast<int16_t>(v + 300)) && presenter->Say(word);
                }
                if (!said) presenter->Rest();
            } else if (t == 50) {
                QueueSpriteFrameNoWait(presenter->Body(), c->PresenterPicture());
                c->Highlight(c->HaloPicture());
                said = c->SpeakNumber(v) != 0;
            }
            if (!said) {
                c->Unhighlight();
                return 0;
            }
            Delay(5);
            c->Unhighlight();
        }
    }
    if (R(0).Tally() > 0) {
        if (!presenter->PointAndSay(217, 200)) return 0;
        Module3::PlayBinAnimation();
    }
    if (!presenter->PointAndSay(212, 410)) return 0;
    presenter->Rest();
    Module3::SetReady(true);
    return 1;
}

// ---------------------------------------------------------------------------------------------
// Extra-number pickers

void CTaskKind::PickTwoDifferent(int16_t limit) {
    const int16_t x1 = Wrap(RandomBelow(Wrap(limit - 2)) + 1);
    R(1).SetExtra(x1);
    R(2).SetExtra(Wrap(x1 + RandomBelow(Wrap(limit - x1)) + 1));
}

void CTaskKind::PickAdjacent(int16_t limit) {
    const int16_t e = Wrap(RandomBelow(Wrap(limit - 4)) + 2);
    R(1).SetExtra(e);
    R(2).SetExtra(Wrap(e + 1));
}

void CTaskKind::PickAdjacentDown(int16_t limit) {
    const int16_t v = RandomBelow(Wrap(limit - 4));
    R(1).SetExtra(Wrap(v + 3));
    R(2).SetExtra(Wrap(v + 2));
}

void CTaskKind::PickSame(int16_t limit) {
    const int16_t e = Wrap(RandomBelow(Wrap(limit - 1)) + 1);
    R(1).SetExtra(e);
    R(2).SetExtra(e);
}

void CTaskKind::PickThreeRising(int16_t limit) {
    const int16_t t = Wrap(limit / 3);
    const int16_t x1 = Wrap(RandomBelow(Wrap(t - 1)) + 1);
    const int16_t x2 = Wrap(x1 + RandomBelow(t) + 1);
    const int16_t x3 = Wrap(x2 + RandomBelow(t) + 1);
    R(1).SetExtra(x1);
    R(2).SetExtra(x2);
    R(3).SetExtra(x3);
}

void CTaskKind::PickSameFrom4(int16_t limit) {
    const int16_t e = Wrap(RandomBelow(Wrap(limit - 10)) + 4);
    for (int k = 1; k <= 3; ++k) R(k).SetExtra(e);
}

void CTaskKind::PickKind3Extra(int16_t limit) {
    const int16_t e = Wrap(RandomBelow(Wrap(limit - 4)) + 2);
    if (R(1).GetBlock4() == 55) {
        R(1).SetExtra(e);
        R(2).SetExtra(e);
    } else if (R(2).GetBlock4() == 55) {
        R(2).SetExtra(e);
    }
}

void CTaskKind::PickByRule(int16_t limit) {
    switch (R(1).GetBlock4()) {
    case 51: R(2).SetExtra(Wrap(2 * (RandomBelow(limit) / 2) + 1)); break;
    case 52: R(2).SetExtra(Wrap((RandomBelow(Wrap(limit - 2)) | 1) + 1)); break;
    case 53: {
        const int16_t x1 = Wrap(RandomBelow(Wrap(limit - 6)) + 2);
        R(1).SetExtra(x1);
        R(2).SetExtra(Wrap(x1 + RandomBelow(Wrap(limit - x1 - 4)) + 1));
        break;
    }
    case 54: {
        const int16_t x1 = Wrap(RandomBelow(Wrap(limit - 10)) + 5);
        R(1).SetExtra(x1);
        R(2).SetExtra(Wrap(RandomBelow(Wrap(x1 - 4)) + 2));
        break;
    }
    default: break;
    }
}

void CTaskKind::PickComparison(int16_t limit) {
    if (R(1).GetBlock4() != 54) {
        // x2 at least x1 + 2: with both records above their bounds, record 1's numbers lie
        // strictly between x1 and x2, which must leave one.
        const int16_t x1 = Wrap(RandomBelow(Wrap(limit - 6)) + 2);
        R(1).SetExtra(x1);
        R(2).SetExtra(Wrap(x1 + 2 + RandomBelow(Wrap(limit - x1 - 5))));
    } else {
        const int16_t x1 = Wrap(RandomBelow(Wrap(limit - 6)) + 4);
        R(1).SetExtra(x1);
        R(2).SetExtra(Wrap(RandomBelow(Wrap(x1 - 4)) + 2));
    }
}

void CTaskKind::PickNested(int16_t limit) {
    const int16_t x2 = Wrap(RandomBelow(Wrap(limit - 20)) + 4);
    R(2).SetExtra(x2);
    R(3).SetExtra(Wrap(x2 + 5 + RandomBelow(Wrap(limit - x2 - 10))));
}

void CTaskKind::PickKind4Extras(int16_t) {
    const int16_t rule1 = R(1).GetBlock4();
    int16_t x1 = 0;
    switch (rule1) {
    case 51: x1 = Wrap(2 * RandomBelow(49) + 1); break;
    case 52: x1 = Wrap(2 * RandomBelow(49)); break;
    case 53: x1 = Wrap(4 + RandomBelow(88)); break;
    case 54: x1 = Wrap(8 + RandomBelow(92)); break;
    default: break;
    }
    R(1).SetExtra(x1);
    // The inner records' fixed numbers differ: each is a container of its own.
    int16_t fixed2 = -1;
    for (int k = 2; k <= 3; ++k) {
        const int16_t rule = R(k).GetBlock4();
        const int16_t except = k == 3 && R(2).GetBlock4() == 55 && rule == 55 ? fixed2 : int16_t{-32768};
        int16_t x = 0;
        if (rule1 == 51) {
            if (rule == 53 || rule == 54) x = Wrap(8 + RandomBelow(86));
            if (rule == 55) x = DrawProgressionExcept(1, 2, 49, except);
        } else if (rule1 == 52) {
            if (rule == 53) x = Wrap(5 + RandomBelow(86));
            if (rule == 54) x = Wrap(8 + RandomBelow(8));
            if (rule == 55) x = DrawProgressionExcept(2, 2, 48, except);
        } else if (rule1 == 53) {
            if (rule == 54) x = Wrap(x1 + 8 + RandomBelow(Wrap(86 - x1)));
            if (rule == 55) x = DrawProgressionExcept(Wrap(x1 + 1), 1, Wrap(86 - x1), except);
            if (rule == 56) x = Wrap(x1 + 1 + RandomBelow(Wrap(86 - x1)));
        } else if (rule1 == 54) {
            if (rule == 52) x = Wrap(2 * RandomBelow(Wrap((98 - x1) / 2)) + 2);
            if (rule == 53) x = Wrap(4 + RandomBelow(Wrap(x1 - 10)));
            if (rule == 55) x = DrawProgressionExcept(1, 1, x1, except);
        } else if (rule1 == kEmpty) {
            if (rule == 53 || rule == 54) x = Wrap(8 + RandomBelow(86));
            if (rule == 55) x = DrawProgressionExcept(1, 1, 99, except);
        }
        if (k == 2) fixed2 = x;
        R(k).SetExtra(x);
    }
}

void CTaskKind::PickExtrasTopic109(int16_t limit) {
    for (int k = 1; k <= 2; ++k) {
        if (R(k).GetBlock4() == 55) {
            R(k).SetExtra(Wrap(1 + RandomBelow(limit)));
        } else {
            R(k).SetExtra(Wrap(limit / 20 + RandomBelow(Wrap(limit - limit / 10))));
        }
    }
}

void CTaskKind::PickExtrasTopic110(int16_t limit) {
    const int16_t t = Wrap(limit / 10);
    const int16_t h = Wrap(t / 2);
    const int16_t e1 = R(1).GetBlock4();
    const int16_t e2 = R(2).GetBlock4();
    int16_t x1 = 0, x2 = 0;
    if (e1 == 54) {
        x1 = Wrap(h + RandomBelow(Wrap(limit - t)));
        if (e2 == 55) x2 = RandomBelow(x1);
    } else if (e2 == 54) {
        x2 = Wrap(h + RandomBelow(Wrap(limit - t)));
        if (e1 == 55) x1 = RandomBelow(x2);
    } else if (e1 == 53) {
        x1 = Wrap(h + RandomBelow(Wrap(limit - t)));
        if (e2 == 55) x2 = Wrap(x1 + RandomBelow(Wrap(limit - x1)));
    } else if (e2 == 53) {
        x2 = Wrap(h + RandomBelow(Wrap(limit - t)));
        if (e1 == 55) x1 = Wrap(x2 + RandomBelow(Wrap(limit - x2)));
    }
    R(1).SetExtra(x1);
    R(2).SetExtra(x2);
}

void CTaskKind::PickExtrasTopic112(int16_t limit) {
    switch (m_tableIndex) {
    case 50: {
        // x2 at least x1 + 3: the overlap's numbers lie from x1 + 1 to x2 - 2.
        const int16_t x1 = Wrap(15 + RandomBelow(70));
        R(1).SetExtra(x1);
        R(2).SetExtra(Wrap(x1 + 3 + RandomBelow(Wrap(92 - x1))));
        break;
    }
    case 51:
        R(1).SetExtra(Wrap(1 + RandomBelow(limit)));
        R(2).SetExtra(Wrap(1 + RandomBelow(limit)));
        break;
    case 52:
        for (int k = 1; k <= 2; ++k) {
            const int16_t rule = R(k).GetBlock4();
            if (rule >= 53 && rule <= 55) {
                R(k).SetExtra(Wrap(10 + RandomBelow(80)));
                break;
            }
        }
        break;
    default: break;
    }
}

// ---------------------------------------------------------------------------------------------
// Kind 1: two containers

void CTaskKind1::CreateRecords() { MakeRecords(1, 2); }

CSlotLayout* CTaskKind1::CreateLayout() { return BuildLayout(1, 601); }

void CTaskKind1::Generate() {
    ResetRules(1, 100);
    switch (m_topic) {
    case 101: Topic101(); break;
    case 102: Topic102(); break;
    case 105: Topic105(); break;
    case 107: Topic107(); break;
    case 108: Topic108(); break;
    case 110: Topic110(); break;
    case 112: Topic112(); break;
    default: return;
    }
    MakeTiles();
}

void CTaskKind1::Topic101() {
    const CNumberList& l = List(545);
    CRotation& p = Pos();
    const int16_t a = Take(p.pos75, 10);
    const int16_t b = Peek(p.pos81, 12);
    if (m_tableIndex % 2 != 0) {
        const int16_t x = l[25 + 2 * Peek(p.pos24b, 12) + RandomBelow(2)];
        Advance(p.pos24b);
        const int16_t y = l[49 + 2 * Peek(p.pos36, 12) + RandomBelow(2)];
        Advance(p.pos36);
        for (int k = 1; k <= 2; ++k) {
            const int16_t v = l[2 * b + k];
            if (m_tableIndex == 1) {
                R(k).SetColumns(v, x, y, kEmpty, kEmpty);
            } else {
                R(k).SetColumn(10, v);
            }
            R(k).SetPlainValue(v);
            R(k).SetTally(Tally(l[73 + 3 * a + k]));
        }
    } else {
        const int16_t z = l[1 + 2 * b + RandomBelow(2)];
        const int16_t x = l[25 + 2 * Peek(p.pos24b, 12) + RandomBelow(2)];
        const int16_t y = l[49 + 2 * Peek(p.pos36, 12) + RandomBelow(2)];
        const bool code20 = RandomBelow(100) % 2 == 0;
        int16_t& pos = code20 ? p.pos24b : p.pos36;
        const int first = code20 ? 25 : 49;
        for (int k = 1; k <= 2; ++k) {
            const int16_t v = l[first + 2 * Peek(pos, 12) + k - 1];
            R(k).SetColumn(code20 ? 20 : 30, v);
            if (m_tableIndex == 2) {
                if (code20) {
                    R(k).SetColumns(z, v, y, kEmpty, kEmpty);
                } else {
                    R(k).SetColumns(z, x, v, kEmpty, kEmpty);
                }
            }
            R(k).SetPlainValue(v);
            R(k).SetTally(Tally(l[72 + 3 * a + k]));
        }
        Advance(pos);
    }
    if (m_tableIndex >= 5) {
        R(0).TakeAnswersFrom(R(1), R(2));
        R(0).SetTally(Tally(l[73 + 3 * a]));
    }
    Advance(p.pos81);
    ResetRules(1, 11);
}

void CTaskKind1::Topic102() {
    const int16_t a = Take(Pos().pos75, 10);
    if (m_tableIndex >= 9) {
        const CNumberList& l = List(505);
        const int16_t row = Peek(Pos().pos48, 12);
        for (int k = 1; k <= 2; ++k) {
            const int16_t v = l[2 * row + k];
            R(k).SetPlainValue(v);
            R(k).SetColumn(40, v);
            R(k).SetTally(Tally(l[25 + 3 * a + k]));
        }
        if (m_tableIndex == 10) {
            R(0).TakeAnswersFrom(R(1), R(2));
            R(0).SetTally(Tally(l[25 + 3 * a]));
        }
        ResetRules(1, 11);
        return;
    }
    const CNumberList& l = List(565);
    Give(1, 55);
    Give(2, 55);
    PickTwoDifferent(10);
    R(1).SetTally(Tally(l[3 * a + 2]));
    R(2).SetTally(Tally(l[3 * a + 3]));
    if (m_tableIndex == 8) {
        R(0).TakeAnswersFrom(R(1), R(2));
        R(0).SetTally(Tally(l[3 * a + 1]));
    }
    ResetRules(1, 11);
    m_rules[1].Fix(R(1).GetExtra());
    m_rules[2].Fix(R(2).GetExtra());
    m_rules[0].Avoid(R(1).GetExtra());
    m_rules[0].Avoid(R(2).GetExtra());
}

void CTaskKind1::Topic105() {
    const int16_t a = Take(Pos().pos75, 10);
    const CNumberList& l = List(565);
    int16_t v1 = 54, v2 = 53;
    if (m_tableIndex == 18) {
        const bool odd = Take(Pos().pos30, 2) != 0;
        v1 = odd ? 54 : 55;
        v2 = odd ? 55 : 53;
    }
    Give(1, v1);
    Give(2, v2);
    PickAdjacent(m_tableIndex > 19 ? 20 : 10);
    R(1).TakeAnswersFrom(R(2));
    R(2).TakeAnswersFrom(R(1));
    R(1).SetTally(Tally(l[3 * a + 2]));
    R(2).SetTally(Tally(l[3 * a + 3]));
    const int16_t top = m_tableIndex > 19 ? 20 : 10;
    ResetRules(1, top);
    for (int k = 1; k <= 2; ++k) {
        const int16_t x = R(k).GetExtra();
        switch (R(k).Value()) {
        case 53: m_rules[k].lo = Wrap(x + 1); break;
        case 54: m_rules[k].hi = x; break;
        case 55: m_rules[k].Fix(x); break;
        default: break;
        }
    }
}

void CTaskKind1::Topic107() {
    const int16_t a = Take(Pos().pos75, 10);
    const CNumberList& l = List(565);
    Give(1, 54);
    Give(2, 53);
    PickAdjacent(50);
    R(1).TakeAnswersFrom(R(2));
    R(2).TakeAnswersFrom(R(1));
    R(1).SetTally(Tally(l[3 * a + 2]));
    R(2).SetTally(Tally(l[3 * a + 3]));
    // Below x1; above x2 (x2 itself is above neither).
    ResetRules(1, 50);
    m_rules[1].hi = R(1).GetExtra();
    m_rules[2].lo = Wrap(R(2).GetExtra() + 1);
}

void CTaskKind1::Topic108() {
    const int16_t a = Take(Pos().pos75, 10);
    const CNumberList& l = List(565);
    const bool even = RandomBelow(99) % 2 == 0;
    Give(1, even ? 51 : 52);
    Give(2, even ? 52 : 51);
    R(1).SetTally(Tally(l[3 * a + 2]));
    R(2).SetTally(Tally(l[3 * a + 3]));
    ResetRules(1, 50);
    for (int k = 1; k <= 2; ++k) {
        m_rules[k].divisor = 2;
        m_rules[k].remainder = R(k).Value() == 51 ? 1 : 0;
    }
}

void CTaskKind1::Topic110() {
    const int16_t a = Take(Pos().pos75, 10);
    const CNumberList& l = List(565);
    if (m_tableIndex == 38) {
        Give(1, 54);
        Give(2, 53);
        PickAdjacentDown(99);
        R(1).TakeAnswersFrom(R(2));
        R(2).TakeAnswersFrom(R(1));
    } else {
        const bool even = RandomBelow(99) % 2 == 0;
        Give(1, even ? 51 : 52);
        Give(2, even ? 52 : 51);
    }
    R(1).SetTally(Tally(l[3 * a + 2]));
    R(2).SetTally(Tally(l[3 * a + 3]));
    // From lo + 1: a draw that gives lo takes lo + 1.
    ResetRules(2, 99);
    if (m_tableIndex == 38) {
        m_rules[1].hi = R(1).GetExtra();
        m_rules[2].lo = Wrap(R(2).GetExtra() + 1);
    } else {
        for (int k = 1; k <= 2; ++k) {
            m_rules[k].divisor = 2;
            m_rules[k].remainder = R(k).Value() == 51 ? 1 : 0;
        }
    }
}

void CTaskKind1::Topic112() {
    const int16_t a = Take(Pos().pos75, 10);
    const CNumberList& l = List(565);
    int16_t v = 0;
    if (m_tableIndex == 45) {
        v = Wrap(11 + Take(Pos().pos81, 4));
    } else {
        const int16_t c = Wrap((Take(Pos().pos45, 4) + 2) * 10);
        v = c < 50 ? Wrap(c + 1 + Take(Pos().pos56, 4)) : int16_t{55};
    }
    Give(1, v);
    if (v == 55) PickSame(99);
    // Container 2 holds the tiles without the value: it stands for the opposite.
    R(2).SetPlainValue(v);
    R(2).SetMarked(true);
    R(2).TakeAnswersFrom(R(1));
    R(1).SetTally(Tally(l[3 * a + 2]));
    R(2).SetTally(Tally(l[3 * a + 3]));
    ResetRules(1, 99);
    if (v == 55) {
        m_rules[1].Fix(R(1).GetExtra());
        m_rules[2].Avoid(R(1).GetExtra());
    }
}

// ---------------------------------------------------------------------------------------------
// Kind 2: three containers

void CTaskKind2::CreateRecords() { MakeRecords(2, 3); }

CSlotLayout* CTaskKind2::CreateLayout() { return BuildLayout(2, 611); }

void CTaskKind2::Generate() {
    ResetRules(1, 11);
    switch (m_topic) {
    case 103: Topic103(); break;
    case 104: Topic104(); break;
    case 110: Topic110(); break;
    default: return;
    }
    MakeTiles();
}

void CTaskKind2::Topic103() {
    const int16_t a = Take(Pos().pos64, 9);
    int16_t code = 10;
    int16_t listId = 547;
    int16_t row = 0;
    if (m_tableIndex == 11 || m_tableIndex == 13) {
        row = Take(Pos().pos81, 12);
    } else {
        if (RandomBelow(100) % 2 != 0) {
            code = 30;
            listId = 549;
        } else {
            code = 20;
            listId = 548;
            Take(Pos().pos24b, 1);
        }
        row = Take(Pos().pos36, 12);
    }
    const CNumberList& l = List(listId);
    for (int k = 1; k <= 3; ++k) {
        const int16_t v = l[3 * row + k];
        R(k).SetPlainValue(v);
        R(k).SetColumn(code, v);
        R(k).SetTally(Tally(l[37 + 4 * a + k]));
    }
    if (m_tableIndex >= 13) {
        R(0).TakeAnswersFrom(R(1), R(2), R(3));
        R(0).SetTally(Tally(l[37 + 4 * a]));
    }
}

void CTaskKind2::Topic104() {
    const int16_t a = Take(Pos().pos64, 9);
    if (m_tableIndex > 16) {
        const CNumberList& l = List(553);
        const int16_t code = Wrap(10 * (RandomBelow(5) + 1));
        if (code < 50) {
            const int16_t row = Peek(Pos().pos25, 24);
            for (int k = 1; k <= 3; ++k) {
                const int16_t v = Wrap(code + l[3 * row + k]);
                R(k).SetPlainValue(v);
                R(k).SetColumn(code, v);
            }
        } else {
            for (int k = 1; k <= 3; ++k) Give(k, 55);
            PickThreeRising(10);
        }
        for (int k = 1; k <= 3; ++k) R(k).SetTally(Tally(l[73 + 4 * a + k]));
    } else {
        const CNumberList& l = List(566);
        for (int k = 1; k <= 3; ++k) {
            Give(k, 55);
            R(k).SetTally(Tally(l[4 * a + k + 1]));
        }
        PickThreeRising(10);
        if (m_tableIndex == 16) {
            R(0).TakeAnswersFrom(R(1), R(2), R(3));
            R(0).SetTally(Wrap(2 + RandomBelow(2)));
        }
    }
    for (int k = 1; k <= 3; ++k) {
        if (R(k).Value() == 55) {
            m_rules[k].Fix(R(k).GetExtra());
            m_rules[0].Avoid(R(k).GetExtra());
        }
    }
}

void CTaskKind2::Topic110() {
    const int16_t a = Take(Pos().pos64, 9);
    const CNumberList& l = List(566);
    Give(1, 54);
    Give(2, 55);
    Give(3, 53);
    PickSameFrom4(99);
    for (int k = 1; k <= 3; ++k) R(k).SetTally(Tally(l[4 * a + k + 1]));
    const int16_t x = R(1).GetExtra();
    ResetRules(1, 100);
    m_rules[1].hi = x;
    m_rules[2].Fix(x);
    m_rules[3].lo = Wrap(x + 1);
}

// ---------------------------------------------------------------------------------------------
// Kind 3: a container and its partner inside it

void CTaskKind3::CreateRecords() { MakeRecords(3, 2); }

CSlotLayout* CTaskKind3::CreateLayout() { return BuildLayout(3, 621); }

void CTaskKind3::Generate() {
    switch (m_topic) {
    case 106: Topic106(); break;
    case 107: Topic107(); break;
    case 108: Topic108(); break;
    case 110: Topic110(); break;
    case 112: Topic112(); break;
    default: return;
    }
    MakeTiles();
}

void CTaskKind3::Topic106() {
    const int16_t a = Take(Pos().pos75, 10);
    const bool even = Pos().pos24a % 2 == 0;
    Take(Pos().pos24a, 1);
    const int16_t code = even ? 20 : 30;
    const CNumberList& l = List(even ? 555 : 556);
    const int16_t row = Peek(Pos().pos24a, 12);
    const int16_t u = l[2 * row + 1];
    const int16_t w = l[2 * row + 2];
    if (m_tableIndex != 21) {
        R(1).SetPlainValue(u);
        R(1).SetColumn(10, u);
        R(2).SetPlainValue(w);
        R(2).SetColumn(code, w);
        R(2).SetColumn(10, u);
        R(0).TakeAnswersFrom(R(1), R(2));
        R(0).SetTally(Tally(l[33 + 3 * a]));
    } else {
        R(1).SetPlainValue(w);
        R(1).SetColumn(code, w);
        R(2).SetPlainValue(u);
        R(2).SetColumn(10, u);
        R(2).SetColumn(code, w);
    }
    R(1).SetTally(Tally(l[34 + 3 * a]));
    R(2).SetTally(Tally(l[35 + 3 * a]));
    R(1).TakeAnswersFrom(R(2));
    ResetRules(1, 21);
}

void CTaskKind3::Topic107() {
    const int16_t a = Take(Pos().pos75, 10);
    const CNumberList& tallies = List(567);
    CRotation& p = Pos();
    if (m_tableIndex != 23) {
        const CNumberList& codes = List(506);
        const int16_t q = Take(p.pos24a, 17);
        for (int k = 1; k <= 2; ++k) {
            const int16_t d = codes[2 * q + k];
            int16_t v = 0;
            switch (d) {
            case 10: v = Wrap(11 + Take(p.pos81, 4)); break;
            case 20: v = Wrap(21 + Take(p.pos24b, 4)); break;
            case 30: v = Wrap(31 + Take(p.pos36, 4)); break;
            case 40: v = Wrap(41 + Take(p.pos48, 4)); break;
            case 50: v = 55; break;
            default: break;
            }
            R(k).SetPlainValue(v);
            R(k).SetColumn(d, v);
        }
        R(2).SetColumn(static_cast<int16_t>(R(1).Value() / 10 * 10), R(1).Value());
    } else {
        const int16_t code = Wrap(10 * (1 + RandomBelow(4)));
        const int16_t v = Wrap(code + 1 + RandomBelow(4));
        Give(1, 55);
        R(2).SetColumn(50, 55);
        R(2).SetColumn(code, v);
        R(2).SetPlainValue(v);
    }
    PickKind3Extra(20);
    R(1).TakeAnswersFrom(R(2));
    R(0).TakeAnswersFrom(R(1));
    for (int k = 0; k <= 2; ++k) R(k).SetTally(Tally(tallies[1 + 3 * a + k]));
    ResetRules(1, 21);
    int16_t x = 0;
    bool tie = false;
    for (int k = 1; k <= 2; ++k) {
        if (R(k).GetBlock4() == 55) {
            x = R(k).GetExtra();
            tie = true;
        }
    }
    if (!tie) return;
    for (int k = 0; k <= 2; ++k) {
        if (k > 0 && R(k).GetBlock4() == 55) {
            m_rules[k].Fix(x);
        } else {
            m_rules[k].Avoid(x);
        }
    }
}

void CTaskKind3::Topic108() {
    const int16_t a = Take(Pos().pos75, 10);
    const CNumberList& l = List(567);
    if (m_tableIndex != 27) {
        Give(1, Wrap(51 + Take(Pos().pos11, 2)));
    } else {
        Give(1, Wrap(53 + Take(Pos().pos17, 2)));
    }
    Give(2, 55);
    PickByRule(50);
    R(1).TakeAnswersFrom(R(2));
    for (int k = 0; k <= 2; ++k) R(k).SetTally(Tally(l[1 + 3 * a + k]));
    const int16_t x1 = R(1).GetExtra();
    const int16_t x2 = R(2).GetExtra();
    ResetRules(1, 50);
    switch (R(1).Value()) {
    case 51:
    case 52:
        m_rules[1].divisor = m_rules[0].divisor = 2;
        m_rules[1].remainder = R(1).Value() == 51 ? 1 : 0;
        m_rules[0].remainder = Wrap(1 - m_rules[1].remainder);
        break;
    case 53:
        // Above x1; the bin up to x1 itself.
        m_rules[1].lo = Wrap(x1 + 1);
        m_rules[0].hi = Wrap(x1 + 1);
        break;
    case 54:
        m_rules[1].hi = x1;
        m_rules[0].lo = Wrap(x1 + 1);
        break;
    default: break;
    }
    m_rules[1].Avoid(x2);
    m_rules[0].Avoid(x2);
    m_rules[2].Fix(x2);
}

void CTaskKind3::Topic110() {
    const int16_t a = Take(Pos().pos75, 10);
    const CNumberList& l = List(567);
    Give(1, RandomBelow(100) % 2 == 0 ? 53 : 54);
    Give(2, 55);
    for (int k = 0; k <= 2; ++k) R(k).SetTally(Tally(l[1 + 3 * a + k]));
    PickByRule(99);
    R(0).TakeAnswersFrom(R(1));
    const int16_t x1 = R(1).GetExtra();
    const int16_t x2 = R(2).GetExtra();
    ResetRules(1, 99);
    if (R(1).Value() == 53) {
        m_rules[1].lo = Wrap(x1 + 1);
        m_rules[0].hi = Wrap(x1 + 1);
    } else {
        m_rules[1].hi = x1;
        m_rules[0].lo = x1;
    }
    m_rules[1].Avoid(x2);
    m_rules[0].Avoid(x2);
    m_rules[2].Fix(x2);
}

void CTaskKind3::Topic112() {
    const int16_t a = Take(Pos().pos75, 10);
    const CNumberList& l = List(567);
    CRotation& p = Pos();
    if (m_tableIndex != 49) {
        const int16_t v = Wrap(53 + Take(p.pos17, 2));
        Give(1, v);
        Give(2, v);
    } else {
        Give(1, Wrap(51 + Peek(p.pos11, 2)));
        Give(2, RandomBelow(100) % 2 == 0 ? 53 : 54);
    }
    Advance(p.pos11);
    for (int k = 0; k <= 2; ++k) R(k).SetTally(Tally(l[1 + 3 * a + k]));
    PickComparison(99);
    const int16_t x1 = R(1).GetExtra();
    const int16_t x2 = R(2).GetExtra();
    ResetRules(1, 99);
    switch (R(1).Value()) {
    case 51:
    case 52: {
        const int16_t odd = R(1).Value() == 51 ? 1 : 0;
        for (CNumberRule& r : m_rules) r.divisor = 2;
        m_rules[1].remainder = m_rules[2].remainder = odd;
        m_rules[0].remainder = Wrap(1 - odd);
        break;
    }
    case 53:
        m_rules[1].lo = m_rules[2].lo = Wrap(x1 + 1);
        m_rules[0].hi = x1;
        break;
    case 54:
        m_rules[1].hi = m_rules[2].hi = Wrap(x1 - 1);
        m_rules[0].lo = x1;
        break;
    default: break;
    }
    switch (R(2).Value()) {
    case 53:
        m_rules[2].lo = Wrap(x2 + 1);
        m_rules[1].hi = x2;
        break;
    case 54:
        m_rules[2].hi = x2;
        m_rules[1].lo = x2;
        break;
    default: break;
    }
}

// ---------------------------------------------------------------------------------------------
// Kind 4: an outer container with two inside it

void CTaskKind4::CreateRecords() { MakeRecords(4, 3); }

CSlotLayout* CTaskKind4::CreateLayout() { return BuildLayout(4, 631); }

void CTaskKind4::Generate() {
    switch (m_topic) {
    case 111: Topic111(); break;
    case 112: Topic112(); break;
    default: return;
    }
    MakeTiles();
}

namespace {

// The position that walks list 512's block of an attribute code; null for another code.
int16_t* PositionOf(CRotation& p, int16_t code) {
    switch (code) {
    case 10: return &p.pos81;
    case 20: return &p.pos24b;
    case 30: return &p.pos36;
    case 40: return &p.pos48;
    default: return nullptr;
    }
}

// The first value of list 512's block of an attribute code.
int16_t BlockOf512(int16_t code) { return Wrap(1 + 36 * (code / 10 - 1)); }

}  // namespace

void CTaskKind4::Topic111() {
    if (m_tableIndex < 40 || m_tableIndex > 43) return;
    CRotation& p = Pos();
    const CNumberList& l512 = List(512);
    const CNumberList& l518 = List(518);
    const int16_t s = Take(p.pos25, 4);
    const int16_t r = Take(p.pos64, 6);
    const bool coin = RandomBelow(100) % 2 != 0;
    int16_t c1 = 0, c2 = 0, v1 = 0;
    switch (m_tableIndex) {
    case 40:
        c1 = Wrap(10 * (2 + RandomBelow(4)));
        c2 = 10;
        break;
    case 41:
        if (coin) {
            c1 = Wrap(10 * (1 + RandomBelow(4)));
            c2 = 50;
        } else {
            c1 = Wrap(10 * (1 + RandomBelow(5)));
        }
        break;
    case 42:
        c1 = 50;
        v1 = Wrap(51 + Take(p.pos11, 2));
        if (coin) c2 = 50;
        break;
    default:
        c1 = 50;
        v1 = Wrap(53 + Take(p.pos17, 2));
        break;
    }
    if (int16_t* pos = PositionOf(p, c1)) {
        v1 = l512[BlockOf512(c1) + 3 * Take(*pos, 12)];
    } else if (v1 == 0) {
        v1 = l512[145 + 3 * Take(p.pos30, 5)];
    }
    if (c2 == 0) c2 = l518[1 + 4 * (c1 / 10 - 1) + s];
    R(1).SetPlainValue(v1);
    R(1).SetColumn(c1, v1);
    if (c2 == 50) {
        Give(2, 55);
        Give(3, 55);
    } else if (int16_t* pos = PositionOf(p, c2)) {
        const int16_t q = Take(*pos, 12);
        for (int k = 2; k <= 3; ++k) {
            const int16_t v = l512[BlockOf512(c2) + 3 * q + k - 1];
            R(k).SetPlainValue(v);
            R(k).SetColumn(c2, v);
        }
    }
    if (c1 != 50) {
        R(2).SetColumn(c1, v1);
        R(3).SetColumn(c1, v1);
    }
    for (int k = 0; k <= 3; ++k) R(k).SetTally(Tally(l518[21 + 4 * r + k]));
    PickKind4Extras(20);
    R(1).TakeAnswersFrom(R(2), R(3));
    R(2).TakeAnswersFrom(R(3));
    R(3).TakeAnswersFrom(R(2));
    R(0).TakeAnswersFrom(R(1));

    ResetRules(1, 100);
    const int16_t rule1 = R(1).Value();
    const int16_t x1 = R(1).GetExtra();
    if (IsRule(rule1)) {
        for (int k = 1; k <= 3; ++k) {
            switch (rule1) {
            case 51:
                m_rules[k].divisor = 2;
                m_rules[k].remainder = 1;
                break;
            case 52: m_rules[k].divisor = 2; break;
            case 53: m_rules[k].lo = Wrap(x1 + 1); break;
            case 54: m_rules[k].hi = x1; break;  // below x1, x1 itself not
            case 55: m_rules[k].Fix(x1); break;
            default: break;
            }
        }
        if (rule1 == 51 || rule1 == 52) {
            m_rules[0].divisor = 2;
            m_rules[0].remainder = rule1 == 51 ? 1 : 0;
        }
    }
    for (int k = 2; k <= 3; ++k) {
        const int o = 5 - k;
        const int16_t rule = R(k).Value();
        const int16_t x = R(k).GetExtra();
        switch (rule) {
        case 51:
            for (int j = 1; j <= 3; ++j) m_rules[j].divisor = 2;
            m_rules[k].remainder = 1;
            break;
        case 52:
            for (int j = 1; j <= 3; ++j) m_rules[j].divisor = 2;
            m_rules[1].remainder = m_rules[o].remainder = 1;
            break;
        case 53:
            m_rules[k].lo = Wrap(x + 1);
            m_rules[1].hi = m_rules[o].hi = x;
            break;
        case 54:
            m_rules[k].hi = Wrap(x - 1);
            m_rules[1].lo = m_rules[o].lo = x;
            break;
        case 55:
            // Record 1 and the other inner record avoid every inner fixed number.
            m_rules[k].Fix(x);
            m_rules[1].Avoid(x);
            m_rules[o].Avoid(x);
            break;
        default: break;
        }
    }
    for (int j = 0; j < 3; ++j) {
        const int16_t e = R(0).GetAnswerExtra(j);
        switch (R(0).GetAnswer(j)) {
        case 51:
            m_rules[0].divisor = 2;
            m_rules[0].remainder = 0;
            break;
        case 52:
            m_rules[0].divisor = 2;
            m_rules[0].remainder = 1;
            break;
        case 53:
            if (R(0).Value() != 54) m_rules[0].hi = e;
            break;
        case 54:
            if (R(0).Value() != 53) m_rules[0].lo = e;
            break;
        case 55: m_rules[0].Avoid(e); break;
        case 56: m_rules[0].Fix(e); break;
        default: break;
        }
    }
}

void CTaskKind4::Topic112() {
    CRotation& p = Pos();
    const CNumberList& l = List(568);
    Give(1, p.pos11 % 2 != 0 ? 52 : 51);
    Advance(p.pos11);
    Give(2, 54);
    Give(3, 53);
    const int16_t r = Peek(p.pos64, 5);
    for (int k = 0; k <= 3; ++k) R(k).SetTally(Tally(l[4 * r + k + 1]));
    const int16_t odd = R(1).Value() == 51 ? 1 : 0;
    // A record with tiles and no number to give them draws the extras again.
    for (int attempt = 0; attempt < 100; ++attempt) {
        PickNested(99);
        const int16_t x2 = R(2).GetExtra();
        const int16_t x3 = R(3).GetExtra();
        ResetRules(1, 98);
        for (CNumberRule& rule : m_rules) {
            rule.divisor = 2;
            rule.remainder = odd;
        }
        m_rules[0].remainder = Wrap(1 - odd);
        m_rules[1].lo = x2;
        m_rules[1].hi = Wrap(x3 - 1);
        m_rules[2].hi = Wrap(x2 - 2);
        m_rules[3].lo = Wrap(x3 + 1);
        if (RulesCanDraw()) break;
    }
    R(1).TakeAnswersFrom(R(2), R(3));
    R(2).TakeAnswersFrom(R(3));
    R(3).TakeAnswersFrom(R(2));
    R(0).TakeAnswersFrom(R(1));
}

// ---------------------------------------------------------------------------------------------
// Kind 5: two containers and their overlap

void CTaskKind5::CreateRecords() { MakeRecords(5, 3); }

CSlotLayout* CTaskKind5::CreateLayout() { return BuildLayout(5, 641); }

void CTaskKind5::Generate() {
    switch (m_topic) {
    case 109: Topic109(); break;
    case 110: Topic110(); break;
    case 111: Topic111(); break;
    case 112: Topic112(); break;
    default: return;
    }
    MakeTiles();
}

void CTaskKind5::PickExtras(int16_t) {
    const int16_t e1 = R(1).GetBlock4();
    const int16_t e2 = R(2).GetBlock4();
    const auto in = [](int16_t v, int16_t a, int16_t b) { return v == a || v == b; };
    int16_t x1 = 0, x2 = 0;
    if (e1 == 51 && in(e2, 53, 54)) {
        x2 = Wrap(8 + RandomBelow(86));
    } else if (e1 == 51 && in(e2, 55, 56)) {
        x2 = Wrap(2 * RandomBelow(50) + 1);
    } else if (e1 == 52 && in(e2, 53, 54)) {
        x1 = Wrap(2 * RandomBelow(49));
        x2 = Wrap(8 + RandomBelow(86));
    } else if (e1 == 52 && in(e2, 55, 56)) {
        x1 = Wrap(2 * RandomBelow(49));
        x2 = Wrap(2 * RandomBelow(50));
    } else if (e1 == 53 && in(e2, 51, 52)) {
        x1 = RandomBelow(92);
        x2 = Wrap(2 * RandomBelow(Wrap(x1 / 2)) + (e2 == 51 ? 1 : 0));
    } else if (e1 == 53 && e2 == 54) {
        x1 = RandomBelow(92);
        x2 = Wrap(x1 + 8 + RandomBelow(Wrap(88 - x1)));
    } else if (e1 == 53 && in(e2, 55, 56)) {
        x1 = RandomBelow(92);
        x2 = Wrap(x1 + 1 + RandomBelow(Wrap(99 - x1)));
    } else if (e1 == 53 && e2 == kEmpty) {
        x1 = RandomBelow(92);
        x2 = Wrap(x1 - 1);
    } else if (e1 == 54 && in(e2, 51, 52)) {
        x1 = Wrap(8 + RandomBelow(92));
        x2 = Wrap(2 * RandomBelow(Wrap((100 - x1) / 2)) + (e2 == 51 ? 1 : 0));
    } else if (e1 == 54 && e2 == 53) {
        x1 = Wrap(8 + RandomBelow(92));
        x2 = Wrap(4 + RandomBelow(Wrap(x1 - 10)));
    } else if (e1 == 54 && in(e2, 55, 56)) {
        x1 = Wrap(8 + RandomBelow(92));
        x2 = RandomBelow(x1);
    } else if (e1 == 55 && e2 == 53) {
        x1 = RandomBelow(100);
        x2 = Wrap(4 + RandomBelow(Wrap(x1 - 10)));
    } else if (e1 == 55 && e2 == 54) {
        x1 = RandomBelow(100);
        x2 = Wrap(x1 + RandomBelow(Wrap(100 - x1)));
    } else if (e1 == 56 && in(e2, 51, 52)) {
        x1 = Wrap(2 * RandomBelow(50) + (e2 == 51 ? 1 : 0));
    } else if (e1 == 56 && in(e2, 53, 54)) {
        x1 = Wrap(8 + RandomBelow(92));
        x2 = e2 == 53 ? Wrap(4 + RandomBelow(Wrap(x1 - 10))) : Wrap(x1 + RandomBelow(Wrap(100 - x1)));
    } else if (e1 == kEmpty && e2 == 53) {
        x2 = Wrap(8 + RandomBelow(86));
        x1 = RandomBelow(x2);
    } else if (e1 == kEmpty && e2 == 54) {
        x2 = Wrap(8 + RandomBelow(86));
        x1 = Wrap(x2 + RandomBelow(Wrap(99 - x2)));
    } else if (e1 == kEmpty && in(e2, 55, 56)) {
        x2 = RandomBelow(100);
    }
    R(1).SetExtra(x1);
    R(2).SetExtra(x2);
}

void CTaskKind5::ContainerNumberRules(bool withParity, bool topic109) {
    for (int k = 1; k <= 2; ++k) {
        const int o = 3 - k;
        const int16_t x = R(k).GetExtra();
        CNumberRule& own = m_rules[k];
        CNumberRule& overlap = m_rules[3];
        CNumberRule& other = m_rules[o];
        CNumberRule& bin = m_rules[0];
        switch (R(k).Value()) {
        case 51:
        case 52:
            if (!withParity) break;
            for (CNumberRule& r : m_rules) r.divisor = 2;
            if (R(k).Value() == 51) {
                own.remainder = overlap.remainder = 1;
            } else {
                other.remainder = bin.remainder = 1;
            }
            break;
        case 53:
            // Above x, and x itself for the others: with x as low as 2 both sides keep numbers.
            own.lo = overlap.lo = Wrap(x + 1);
            other.hi = bin.hi = x;
            break;
        case 54:
            if (topic109) {
                own.hi = overlap.hi = x;
                other.lo = bin.lo = Wrap(x + 1);
            } else {
                own.hi = overlap.hi = Wrap(x - 1);
                other.lo = bin.lo = x;
            }
            break;
        case 55:
            if (!topic109) break;
            own.Fix(x);
            overlap.Fix(x);
            other.Avoid(x);
            bin.Avoid(x);
            break;
        default: break;
        }
    }
}

namespace {

// A container's attribute value from list 502 by its code and column (1 or 2), the code's
// position advanced when `advance`; 55 for code 50, 0 for another code.
int16_t ValueFrom502(const CNumberList& l502, CRotation& p, int16_t code, int column, bool advance) {
    int16_t* pos = PositionOf(p, code);
    if (!pos) return code == 50 ? int16_t{55} : int16_t{0};
    const int16_t row = advance ? Take(*pos, 12) : Peek(*pos, 12);
    return l502[24 * (code / 10 - 1) + column + 2 * row];
}

}  // namespace

void CTaskKind5::Topic109() {
    CRotation& p = Pos();
    const int16_t a = Take(p.pos75, 6);
    const int16_t t = m_tableIndex;
    if (t > 34) return;
    if (t <= 31) {
        int16_t u = 0, w = 0, code = 0;
        if (t == 31) {
            const CNumberList& l = List(569);
            u = Wrap(11 + Take(p.pos81, 4));
            code = 50;
            w = 55;
            for (int k = 0; k <= 3; ++k) R(k).SetTally(Tally(l[4 * a + k + 1]));
        } else {
            const bool even = RandomBelow(100) % 2 == 0;
            const CNumberList& l = List(even ? 559 : 560);
            code = even ? 20 : 30;
            u = l[1 + 2 * Take(p.pos81, 12)];
            w = l[2 + 2 * Take(p.pos24a, 12)];
            R(1).SetTally(Tally(l[34 + 4 * a]));
            R(2).SetTally(Tally(l[35 + 4 * a]));
            R(3).SetTally(Tally(l[36 + 4 * a]));
        }
        const int i = RandomBelow(99) % 2 == 0 ? 1 : 2;
        const int j = 3 - i;
        R(i).SetPlainValue(u);
        R(i).SetColumn(10, u);
        R(j).SetPlainValue(w);
        R(j).SetColumn(code, w);
        R(3).SetColumn(10, u);
        R(3).SetColumn(code, w);
        if (code == 50) PickExtrasTopic109(50);
    } else {
        const CNumberList& codes = List(506);
        const CNumberList& l502 = List(502);
        const int16_t q = Take(p.pos25, 17);
        int16_t d[3] = {0, codes[2 * q + 1], codes[2 * q + 2]};
        int16_t v[3] = {0, 0, 0};
        if (t == 32) {
            for (int k = 1; k <= 2; ++k) v[k] = ValueFrom502(l502, p, d[k], k, true);
        } else {
            int pc = RandomBelow(100) % 2 == 0 ? 2 : 1;
            if (d[pc] == 50) pc = 3 - pc;
            const int qc = 3 - pc;
            v[pc] = ValueFrom502(l502, p, d[pc], pc, true);
            d[qc] = 50;
            const bool odd = RandomBelow(100) % 2 != 0;
            v[qc] = t == 33 ? (odd ? 51 : 52) : (odd ? 54 : 53);
        }
        for (int k = 1; k <= 2; ++k) {
            R(k).SetPlainValue(v[k]);
            R(k).SetColumn(d[k], v[k]);
            R(3).SetColumn(d[k], v[k]);
            R(k).SetTally(Tally(l502[97 + 4 * a + k]));
        }
        R(0).SetTally(Tally(l502[97 + 4 * a]));
        R(3).SetTally(Tally(l502[100 + 4 * a]));
        PickExtrasTopic109(50);
    }
    R(0).TakeAnswersFrom(R(1), R(2));
    R(1).TakeAnswersFrom(R(2));
    R(2).TakeAnswersFrom(R(1));
    ResetRules(1, 50);
    ContainerNumberRules(true, true);
}

void CTaskKind5::Topic110() {
    CRotation& p = Pos();
    const CNumberList& codes = List(506);
    const CNumberList& l502 = List(502);
    const int16_t q = Take(p.pos25, 17);
    const int16_t a = Take(p.pos75, 6);
    const bool coin = RandomBelow(99) % 2 != 0;
    int i = coin ? 1 : 2;
    if (codes[2 * q + i] == 50) i = 3 - i;
    const int j = 3 - i;
    const int16_t code = codes[2 * q + i];
    const int16_t v = ValueFrom502(l502, p, code, i, false);
    R(i).SetPlainValue(v);
    R(i).SetColumn(code, v);
    Give(j, Wrap(53 + Take(p.pos17, 2)));
    R(3).SetColumn(code, v);
    R(3).SetColumn(50, R(j).Value());
    R(0).SetTally(Tally(l502[97 + 4 * a]));
    for (int k = 1; k <= 2; ++k) R(k).SetTally(Tally(l502[97 + 4 * a + k]));
    R(3).SetTally(Tally(l502[100 + 4 * a]));
    PickExtrasTopic110(99);
    R(0).TakeAnswersFrom(R(1), R(2));
    R(1).TakeAnswersFrom(R(2));
    R(2).TakeAnswersFrom(R(1));
    ResetRules(0, 100);
    ContainerNumberRules(false, false);
}

void CTaskKind5::Topic111() {
    CRotation& p = Pos();
    const CNumberList& l = List(569);
    const int16_t t = p.pos11;
    Advance(p.pos11);
    const int16_t coin = RandomBelow(100);
    const int16_t r = Take(p.pos64, 6);
    Give(1, t % 2 != 0 ? 52 : 51);
    Give(2, coin % 2 != 0 ? 53 : 54);
    R(3).SetColumn(50, R(1).Value());
    R(3).SetColumn(50, R(2).Value());
    for (int k = 1; k <= 3; ++k) R(k).SetTally(Tally(l[4 * r + k + 1]));
    R(0).SetTally(Tally(l[4 * r + 1]));
    PickExtras(99);
    R(0).TakeAnswersFrom(R(1), R(2));
    R(1).TakeAnswersFrom(R(2));
    R(2).TakeAnswersFrom(R(1));
    ResetRules(0, 100);
    ContainerNumberRules(true, false);
}

void CTaskKind5::Topic112() {
    CRotation& p = Pos();
    const int16_t a = Take(p.pos64, 6);
    const int16_t t = m_tableIndex;
    if (t < 50 || t > 52) return;
    ResetRules(0, 99);
    for (CNumberRule& r : m_rules) r.Avoid(0);
    if (t == 50) {
        const CNumberList& l = List(569);
        Give(1, 53);
        Give(2, 54);
        PickExtrasTopic112(99);
        R(1).TakeAnswersFrom(R(2));
        R(2).TakeAnswersFrom(R(1));
        for (int k = 1; k <= 3; ++k) R(k).SetTally(Tally(l[4 * a + k + 1]));
        const int16_t x1 = R(1).GetExtra();
        const int16_t x2 = R(2).GetExtra();
        m_rules[1].lo = x2;
        m_rules[2].hi = x1;
        m_rules[3].lo = Wrap(x1 + 1);
        m_rules[3].hi = Wrap(x2 - 1);
        return;
    }
    const CNumberList& codes = List(506);
    const CNumberList& l502 = List(502);
    const int16_t q = Take(p.pos25, 17);
    const int16_t c[3] = {0, codes[2 * q + 1], codes[2 * q + 2]};
    int16_t w[3] = {0, 0, 0};
    for (int k = 1; k <= 2; ++k) {
        w[k] = ValueFrom502(l502, p, c[k], k, true);
        R(k).SetPlainValue(w[k]);
        R(k).SetTally(Tally(l502[97 + 4 * a + k]));
    }
    R(0).SetTally(Tally(l502[97 + 4 * a]));
    R(3).SetTally(Tally(l502[100 + 4 * a]));
    if (t == 51) {
        R(1).SetColumn(c[1], w[1]);
        R(1).SetColumn(c[2], w[2]);
        if (c[2] == 50) R(2).SetColumn(50, w[2]);
        PickExtrasTopic112(99);
        R(2).TakeAnswersFrom(R(1), R(2));
        R(3).SetColumn(c[1], w[1]);
        R(3).TakeAnswersFrom(R(2));
        R(0).TakeAnswersFrom(R(1));
        R(0).SetColumn(c[2], w[2]);
    } else {
        for (int k = 1; k <= 2; ++k) {
            if (c[k] == 50) {
                R(k).SetColumn(50, 55);
                PickExtrasTopic112(99);
            } else {
                R(3 - k).SetColumn(c[k], w[k]);
            }
        }
        R(0).SetColumn(c[1], w[1]);
        R(0).SetColumn(c[2], w[2]);
        R(1).TakeAnswersFrom(R(1));
        R(2).TakeAnswersFrom(R(2));
        R(3).TakeAnswersFrom(R(1), R(2));
        R(1).SetMarked(true);
    }
    R(2).SetMarked(true);
    const int16_t x1 = R(1).GetExtra();
    const int16_t x2 = R(2).GetExtra();
    // Record 1's own rule: at 51 it also takes container 2's entry, which is not its rule.
    if (t == 51) {
        if (R(1).Value() == 55) {
            m_rules[1].Fix(x1);
            m_rules[3].Fix(x1);
            m_rules[0].Avoid(x1);
            m_rules[2].Avoid(x1);
        }
        if (R(2).GetBlock4() == 55 && R(2).IsMarked()) {
            m_rules[1].Fix(x2);
            m_rules[0].Fix(x2);
            m_rules[3].Avoid(x2);
            m_rules[2].Avoid(x2);
        }
    } else if (R(1).Value() == 55) {
        m_rules[0].Fix(x1);
        m_rules[2].Fix(x1);
        m_rules[3].Avoid(x1);
        m_rules[1].Avoid(x1);
    } else if (R(2).Value() == 55) {
        m_rules[0].Fix(x2);
        m_rules[1].Fix(x2);
        m_rules[3].Avoid(x2);
        m_rules[2].Avoid(x2);
    }
}

std::unique_ptr<CTaskKind> MakeTaskKind(int16_t type, int16_t topic, int16_t index, CTaskInputs inputs) {
    switch (type) {
    case 1: return std::make_unique<CTaskKind1>(topic, index, inputs);
    case 2: return std::make_unique<CTaskKind2>(topic, index, inputs);
    case 3: return std::make_unique<CTaskKind3>(topic, index, inputs);
    case 4: return std::make_unique<CTaskKind4>(topic, index, inputs);
    case 5: return std::make_unique<CTaskKind5>(topic, index, inputs);
    default: return nullptr;
    }
}
