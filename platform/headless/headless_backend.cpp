#include "platform/headless/headless_backend.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>

#include "platform/core/display.h"
#include "platform/core/winuser.h"

namespace plat {

HeadlessBackend::HeadlessBackend() = default;
HeadlessBackend::~HeadlessBackend() = default;

void HeadlessBackend::CheckRunOutlivedScript() const {
    if (!m_endAfterScript || m_now < m_scriptLast + m_stallLimit) return;
    throw HeadlessStall("headless: the script ended at " + std::to_string(m_scriptLast) +
                        " ms and the program still runs at " + std::to_string(m_now.load()) + " ms");
}

uint64_t HeadlessBackend::QueryClockMs() {
    if (m_advancing) return m_now;
    CheckRunOutlivedScript();
    ++m_clockPolls;
    // Time passes for a poll whether or not input waits, so a loop that leaves input queued on
    // purpose still reaches its deadline; a poll loop with nothing happening for the stall limit
    // (or, with the clock held still, for kFrozenPollLimit polls) can never end.
    const uint64_t before = m_now;
    if (m_queryStep > 0) AdvanceTo(m_now + m_queryStep, true);
    if (m_outsideNews.exchange(false)) {
        NoteNews();  // another thread posted or woke: the loop is not stuck
        return m_now;
    }
    m_quietPollMs += m_now - before;
    if (m_now != before) m_frozenPolls = 0;
    ++m_frozenPolls;
    if (m_quietPollMs >= m_stallLimit || m_frozenPolls >= kFrozenPollLimit) {
        const bool frozen = m_frozenPolls >= kFrozenPollLimit;
        m_quietPollMs = 0;
        m_frozenPolls = 0;
        throw HeadlessStall("headless: a poll loop that nothing ends (" +
                            std::string(frozen ? "the clock held still" : "nothing happened for the stall limit") +
                            "), polling " + DescribeWait());
    }
    return m_now;
}

void HeadlessBackend::Wake() {
    {
        std::lock_guard lock(m_wakeMu);
        m_woken = true;
    }
    m_wakeCv.notify_all();
    // The stall counters belong to the program's thread: it resets them at its next poll.
    m_outsideNews = true;
}

void HeadlessBackend::WaitReal(uint64_t, uint32_t realMs) {
    // Real time, with the virtual clock still: what ends it comes from outside the program.
    // A wait is not a poll loop.
    m_quietPollMs = 0;
    m_frozenPolls = 0;
    std::unique_lock lock(m_wakeMu);
    m_wakeCv.wait_for(lock, std::chrono::milliseconds(realMs), [this] { return m_woken.load(); });
    m_woken = false;
}

void HeadlessBackend::NoteNews() {
    m_quietPollMs = 0;
    m_frozenPolls = 0;
}

bool HeadlessBackend::PollInput(InputEvent& ev) {
    ++m_inputPolls;
    if (m_pending.empty()) return false;
    ev = m_pending.front();
    m_pending.pop_front();
    NoteNews();
    return true;
}

uint64_t HeadlessBackend::NextScheduled() const {
    return m_schedule.empty() ? kNoDeadline : m_schedule.begin()->first;
}

void HeadlessBackend::WaitUntil(uint64_t deadlineMs) {
    if (m_advancing) return;  // a callback waiting inside the clock's own step: nothing can happen
    CheckRunOutlivedScript();
    ++m_waits;
    // A wait is not a poll loop: the program leaves it to time.
    m_quietPollMs = 0;
    m_frozenPolls = 0;
    if (m_woken) {
        m_woken = false;
        return;
    }
    if (deadlineMs == kNoDeadline) {
        if (m_schedule.empty() && m_periodic.empty())
            throw HeadlessStall("headless: " + DescribeWait() + " with nothing scripted and no deadline");
        uint64_t limit = m_now + m_stallLimit;
        AdvanceTo(limit, true);
        if (m_now >= limit && m_pending.empty() && !m_woken)
            throw HeadlessStall("headless: " + DescribeWait() + ": nothing happened for the stall limit");
        m_woken = false;
        return;
    }
    if (deadlineMs > m_now) AdvanceTo(deadlineMs, true);
    m_woken = false;
}

void HeadlessBackend::AdvanceTo(uint64_t target, bool stopOnNews) {
    m_advancing = true;
    struct Reset {
        bool& flag;
        ~Reset() { flag = false; }
    } reset{m_advancing};
    for (;;) {
        uint64_t next = std::min(target, NextScheduled());
        for (const Periodic& p : m_periodic) next = std::min(next, p.due);
        next = std::max(next, m_now.load());
        ConsumeAudio(next);
        m_now = next;

        bool news = false;
        // Periodic callbacks first, in order of their due times.
        for (;;) {
            Periodic* due = nullptr;
            for (Periodic& p : m_periodic)
                if (p.due <= m_now && (!due || p.due < due->due)) due = &p;
            if (!due) break;
            due->due += due->period;
            auto fn = due->fn;  // the callback may stop its own timer
            (*fn)();
        }
        while (!m_schedule.empty() && m_schedule.begin()->first <= m_now) {
            Scheduled s = std::move(m_schedule.begin()->second);
            m_schedule.erase(m_schedule.begin());
            if (s.isInput) {
                if (s.input.kind == InputKind::MouseMove || s.input.kind == InputKind::MouseDown ||
                    s.input.kind == InputKind::MouseUp)
                    m_mouse = POINT{s.input.x, s.input.y};
                m_pending.push_back(s.input);
                news = true;
            } else if (s.action) {
                s.action();
                news = true;
            }
        }
        if (news) NoteNews();
        if (stopOnNews && (news || m_woken)) return;
        if (m_now >= target) return;
    }
}

void HeadlessBackend::ConsumeAudio(uint64_t until) {
    if (until <= m_audioClock) return;
    uint64_t dt = until - m_audioClock;
    m_audioClock = until;
    if (!m_audioSource || m_audioPaused) return;
    int bytesPerSample = std::max(1, m_audioFormat.bitsPerSample / 8) * std::max(1, m_audioFormat.channels);
    m_audioOwed += dt * static_cast<uint64_t>(m_audioFormat.samplesPerSec);
    size_t samples = static_cast<size_t>(m_audioOwed / 1000);
    m_audioOwed %= 1000;
    if (samples == 0) return;
    size_t bytes = samples * static_cast<size_t>(bytesPerSample);
    size_t at = m_played.size();
    m_played.resize(at + bytes);
    m_audioSource->Pull(m_played.data() + at, bytes);
}

uint32_t HeadlessBackend::StartPeriodic(uint32_t periodMs, std::function<void()> fn) {
    if (periodMs == 0 || !fn) return 0;
    Periodic p;
    p.id = m_nextPeriodicId++;
    p.period = periodMs;
    p.due = m_now + periodMs;
    p.fn = std::make_shared<std::function<void()>>(std::move(fn));
    m_periodic.push_back(std::move(p));
    return m_periodic.back().id;
}

void HeadlessBackend::StopPeriodic(uint32_t id) {
    m_periodic.erase(std::remove_if(m_periodic.begin(), m_periodic.end(), [id](const Periodic& p) { return p.id == id; }),
                     m_periodic.end());
}

void HeadlessBackend::Present(const uint8_t* pixels, int w, int h, const uint32_t* palette,
                              std::span<const RECT> changed) {
    ++m_presents;
    m_lastRects.assign(changed.begin(), changed.end());
    if (w != m_frameWidth || h != m_frameHeight) {
        m_frameWidth = w;
        m_frameHeight = h;
        m_frame.assign(static_cast<size_t>(w) * static_cast<size_t>(h), 0);
        changed = {};
        m_lastRects.assign(1, RECT{0, 0, w, h});
    }
    for (const RECT& c : m_lastRects) {
        const LONG left = std::max<LONG>(c.left, 0);
        const LONG right = std::min<LONG>(c.right, w);
        for (LONG y = std::max<LONG>(c.top, 0); y < std::min<LONG>(c.bottom, h); ++y)
            for (LONG x = left; x < right; ++x) {
                const size_t i = static_cast<size_t>(y) * static_cast<size_t>(w) + static_cast<size_t>(x);
                m_frame[i] = palette[pixels[i]];
            }
    }
}

void HeadlessBackend::WarpMouse(int x, int y) { m_mouse = POINT{x, y}; }

bool HeadlessBackend::OpenAudio(const AudioFormat& fmt, IAudioSource* source) {
    if (!m_audioPresent || !source) return false;
    m_audioFormat = fmt;
    m_audioSource = source;
    m_audioPaused = false;
    m_audioOwed = 0;
    m_audioClock = m_now;
    return true;
}

void HeadlessBackend::CloseAudio() { m_audioSource = nullptr; }

void HeadlessBackend::QueueInput(uint64_t atMs, const InputEvent& ev) {
    Scheduled s;
    s.isInput = true;
    s.input = ev;
    m_schedule.emplace(std::max(atMs, m_now.load()), std::move(s));
}

void HeadlessBackend::At(uint64_t atMs, std::function<void()> action) {
    Scheduled s;
    s.action = std::move(action);
    m_schedule.emplace(std::max(atMs, m_now.load()), std::move(s));
}

void HeadlessBackend::MouseMove(uint64_t atMs, int x, int y) {
    InputEvent ev;
    ev.kind = InputKind::MouseMove;
    ev.x = x;
    ev.y = y;
    QueueInput(atMs, ev);
}

void HeadlessBackend::Click(uint64_t atMs, int x, int y, MouseButton button) {
    InputEvent ev;
    ev.x = x;
    ev.y = y;
    ev.button = button;
    ev.kind = InputKind::MouseDown;
    QueueInput(atMs, ev);
    ev.kind = InputKind::MouseUp;
    QueueInput(atMs, ev);
}

void HeadlessBackend::Key(uint64_t atMs, int vk, uint8_t ch) {
    InputEvent ev;
    ev.kind = InputKind::KeyDown;
    ev.vk = vk;
    ev.ch = ch;
    QueueInput(atMs, ev);
    ev.kind = InputKind::KeyUp;
    ev.ch = 0;
    QueueInput(atMs, ev);
}

void HeadlessBackend::Advance(uint64_t ms) { AdvanceTo(m_now + ms, false); }

bool HeadlessBackend::TakeScriptedAnswer(int& answer) {
    if (m_answers.empty()) return false;
    answer = m_answers.front();
    m_answers.pop_front();
    return true;
}

HeadlessBackend& Headless() {
    auto* h = dynamic_cast<HeadlessBackend*>(&Backend());
    if (!h) {
        std::fprintf(stderr, "platform: the headless back end is not installed\n");
        std::abort();
    }
    return *h;
}

HeadlessBackend& InstallHeadless() {
    SetBackend(std::make_unique<HeadlessBackend>());
    ResetWindowing();
    return Headless();
}

}  // namespace plat
