#include "engine/core/transitions.h"

#include <algorithm>
#include <cstdint>

#include "platform/core/winuser.h"

namespace {

constexpr uint64_t kStripPeriodMs = 12;
constexpr uint64_t kBoxPeriodMs = 20;
constexpr int kFirstStripWidth = 8;
constexpr int kUntimedColumn = 2;
constexpr int kGrowth = 2;
constexpr int kBoxDivisions = 24;

// Steps due one period apart from the moment the schedule is made. The first step runs at
// once; Next sleeps until the following one is due.
class Schedule {
public:
    explicit Schedule(uint64_t periodMs) : m_period(periodMs), m_due(plat::NowMs64()) {}
    // True when the step was already due (the drawing fell behind): it ran without a wait.
    bool Next() {
        m_due += m_period;
        const uint64_t now = plat::NowMs64();
        if (now >= m_due) return true;
        Sleep(static_cast<DWORD>(m_due - now));
        return false;
    }

private:
    uint64_t m_period;
    uint64_t m_due;
};

// A box's step for a side: a 24th of it, at least a pixel, so a small surface still ends.
int StepOf(int side) { return std::max(1, side / kBoxDivisions); }

class Transition {
public:
    Transition(ITransitionCanvas& canvas, int width, int height) : m_canvas(canvas), m_width(width), m_height(height) {}

    // Copies the part of r that lies on the surface to the same place on the screen.
    void Copy(RECT r) {
        r.left = std::max<LONG>(r.left, 0);
        r.top = std::max<LONG>(r.top, 0);
        r.right = std::min<LONG>(r.right, m_width);
        r.bottom = std::min<LONG>(r.bottom, m_height);
        if (r.left >= r.right || r.top >= r.bottom) return;
        m_canvas.Copy(POINT{r.left, r.top}, r);
    }

    // Push: the screen moves toward the right (fromLeft) or the left, and the frame comes in
    // at the opposite edge, one column group at a time until `total` pixels have come in.
    void Push(bool fromLeft, bool timed) {
        const int total = timed ? m_width : m_width - kUntimedColumn;
        int width = timed ? kFirstStripWidth : kUntimedColumn;
        Schedule schedule(kStripPeriodMs);
        bool first = true;
        for (int in = 0; in < total;) {
            const bool behind = timed && !first && schedule.Next();
            first = false;
            const int w = std::min(width, m_width - in);
            if (fromLeft) {
                m_canvas.Shift(w);
                m_canvas.Copy(POINT{0, 0}, RECT{m_width - in - w, 0, m_width - in, m_height});
            } else {
                m_canvas.Shift(-w);
                m_canvas.Copy(POINT{m_width - w, 0}, RECT{in, 0, in + w, m_height});
            }
            in += w;
            if (behind) width += kGrowth;
        }
    }

    void Wipe(bool fromLeft) {
        int width = kFirstStripWidth;
        Schedule schedule(kStripPeriodMs);
        bool first = true;
        for (int done = 0; done < m_width;) {
            const bool behind = !first && schedule.Next();
            first = false;
            const int w = std::min(width, m_width - done);
            if (fromLeft)
                Copy(RECT{done, 0, done + w, m_height});
            else
                Copy(RECT{m_width - done - w, 0, m_width - done, m_height});
            done += w;
            if (behind) width += kGrowth;
        }
    }

    // The box opening from the centre: a centred box, then four strips around it per step
    // until a step's top strip reaches the top edge.
    void BoxOpen() {
        const int w = m_width - 2, h = m_height - 2;
        int dx = StepOf(w), dy = StepOf(h);
        RECT box;
        box.left = (w - dx) >> 1;
        box.top = (h - dy) >> 1;
        box.right = box.left + dx;
        box.bottom = box.top + dy;
        Copy(box);
        Schedule schedule(kBoxPeriodMs);
        do {
            const bool behind = schedule.Next();
            const RECT grown{box.left - dx, box.top - dy, box.right + dx, box.bottom + dy};
            Copy(RECT{grown.left, grown.top, grown.right, box.top});
            Copy(RECT{grown.left, box.bottom, grown.right, grown.bottom});
            Copy(RECT{grown.left, box.top, box.left, box.bottom});
            Copy(RECT{box.right, box.top, grown.right, box.bottom});
            box = grown;
            if (behind) {
                dx += kGrowth;
                dy += kGrowth;
            }
        } while (box.top > 0);
        Copy(RECT{0, 0, m_width, m_height});
    }

    // The box closing toward the centre: the four edge strips move inward by their own
    // width or height per step while the bottom strip still lies below the top one.
    void BoxClose() {
        const int w = m_width - 2, h = m_height - 2;
        int dx = StepOf(w), dy = StepOf(h);
        int top = 0, bottom = h, left = 0, right = w;
        Schedule schedule(kBoxPeriodMs);
        bool first = true;
        while (bottom - dy > top + dy) {
            const bool behind = !first && schedule.Next();
            first = false;
            Copy(RECT{left, top, right, top + dy});
            Copy(RECT{left, bottom - dy, right, bottom});
            Copy(RECT{left, top + dy, left + dx, bottom});
            Copy(RECT{right - dx, top + dy, right, bottom - dy});
            top += dy;
            bottom -= dy;
            left += dx;
            right -= dx;
            if (behind) {
                dx += kGrowth;
                dy += kGrowth;
            }
        }
        Copy(RECT{0, 0, m_width, m_height});
    }

private:
    ITransitionCanvas& m_canvas;
    int m_width;
    int m_height;
};

}  // namespace

bool IsTransitionKind(int kind) { return kind >= -2 && kind <= 10; }

void RunTransition(ITransitionCanvas& canvas, int kind, int width, int height) {
    if (width <= 2 || height <= 2) return;
    Transition t(canvas, width, height);
    switch (kind) {
        case -2: t.Push(false, false); break;
        case -1: t.Push(true, false); break;
        case 1:
        case 7: t.BoxOpen(); break;
        case 2: t.Wipe(true); break;
        case 3: t.Wipe(false); break;
        case 8: t.BoxClose(); break;
        case 9: t.Push(true, true); break;
        case 10: t.Push(false, true); break;
        default: break;  // 0, 4, 5, 6 and unknown kinds draw nothing of their own
    }
}
