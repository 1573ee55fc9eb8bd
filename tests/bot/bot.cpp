#include "tests/bot/bot.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/zelbo_app.h"
#include "app/zelbo_program.h"
#include "engine/core/cor_engine.h"
#include "engine/toolbox/picture_items.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "platform/headless/headless_backend.h"

CZelboApp theApp;

namespace bot {
namespace {

std::vector<CBot*>& Bots() {
    static std::vector<CBot*> bots;
    return bots;
}

CBot* gRunning = nullptr;
bool gFailed = false;
bool gDone = false;
uint64_t gStart = 0;

void Post(uint64_t at, const plat::InputEvent& ev) { plat::Headless().QueueInput(at, ev); }

}  // namespace

void RegisterBot(CBot* bot) { Bots().push_back(bot); }

int CBotInput::WindowX(int pictureX) { return pictureX + (theEngine ? theEngine->m_originX : 0); }
int CBotInput::WindowY(int pictureY) { return pictureY + (theEngine ? theEngine->m_originY : 0); }

void CBotInput::MoveTo(int x, int y) { plat::Headless().MouseMove(m_at += 10, x, y); }

void CBotInput::Click(int x, int y) {
    MoveTo(x, y);
    plat::Headless().Click(m_at += 10, x, y);
    m_at += 20;
}

void CBotInput::Drag(int x0, int y0, int x1, int y1, int steps) {
    MoveTo(x0, y0);
    plat::InputEvent ev;
    ev.kind = plat::InputKind::MouseDown;
    ev.x = x0;
    ev.y = y0;
    Post(m_at += 10, ev);
    for (int i = 1; i <= steps; ++i) plat::Headless().MouseMove(m_at += 20, x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    ev.kind = plat::InputKind::MouseUp;
    ev.x = x1;
    ev.y = y1;
    Post(m_at += 20, ev);
}

void CBotInput::Key(int virtualKey) {
    plat::Headless().Key(m_at += 10, virtualKey);
    m_at += 10;
}

void CBotInput::Close() {
    plat::InputEvent ev;
    ev.kind = plat::InputKind::Close;
    Post(m_at += 10, ev);
}

void CBotInput::ClickSprite(CCorAnim* sprite) {
    if (!sprite) return;
    int16_t w = 0, h = 0;
    GetPictureSize(GetSpriteFrame(sprite), w, h);
    Click(WindowX(GetSpriteX(sprite) + w / 2), WindowY(GetSpriteY(sprite) + h / 2));
}

void CBotInput::ClickHomeButton() {
    if (!theEngine) return;
    // The middle of the area the button answers, searched around its place.
    const POINT at = theEngine->m_buttons[0].GetPosition();
    long sx = 0, sy = 0, n = 0;
    for (int y = at.y - 80; y <= at.y + 80; ++y)
        for (int x = at.x - 80; x <= at.x + 80; ++x)
            if (theEngine->m_buttons[0].HitTest(x, y)) sx += x, sy += y, ++n;
    if (n == 0) {
        CBot::Fail("the home button is nowhere");
        return;
    }
    Click(static_cast<int>(sx / n), static_cast<int>(sy / n));
}

int CurrentModule() { return theEngine ? theEngine->m_currentModule : 0; }

bool WaitsForInput() {
    return theEngine && theEngine->m_running && theEngine->CallDepth() == 0 && theEngine->m_busyLevel == 0;
}

void CBot::SaveStage(const std::string& stage) {
    const char* out = std::getenv("ZELBO_BOT_OUT");
    const std::string path = std::string(out ? out : ".") + "/" + stage + ".png";
    if (!plat::SaveScreenPng(path)) Fail("cannot write " + path);
}

void CBot::Fail(const std::string& why) {
    std::fprintf(stderr, "zelbo_bot: %s: %s\n", gRunning ? gRunning->Name() : "?", why.c_str());
    gFailed = true;
}

class CBotRunner {
public:
    static void Step() {
        plat::HeadlessBackend& head = plat::Headless();
        const uint64_t now = head.NowMs();
        if (gDone) return;
        CBotInput input;
        input.m_at = now;
        if (gFailed || now - gStart > kBotTimeLimitMs) {
            if (!gFailed) CBot::Fail("still running after the time limit");
            gDone = true;
            input.Close();
            return;
        }
        if (!gRunning->Step(input)) {
            gDone = true;
            input.Close();
            return;
        }
        head.At(std::max(input.m_at, now) + kBotStepMs, Step);
    }
};

}  // namespace bot

int main(int argc, char** argv) {
    using namespace bot;
    const char* name = argc > 1 ? argv[1] : "";
    for (CBot* b : Bots())
        if (std::strcmp(b->Name(), name) == 0) gRunning = b;
    if (!gRunning) {
        std::fprintf(stderr, "zelbo_bot: no bot named \"%s\"; the bots are:", name);
        for (CBot* b : Bots()) std::fprintf(stderr, " %s", b->Name());
        std::fprintf(stderr, "\n");
        return 2;
    }
    const int status = RunZelboProgram(1, argv, "zelbo_bot", [] {
        plat::HeadlessBackend& head = plat::Headless();
        std::string error;
        if (!head.LoadScript("0 seed 1\n", "", &error)) std::fprintf(stderr, "zelbo_bot: %s\n", error.c_str());
        gStart = head.NowMs();
        head.At(gStart + kBotStepMs, CBotRunner::Step);
    });
    if (gFailed) return 3;
    if (!gDone) {
        std::fprintf(stderr, "zelbo_bot: %s: the game ended before the bot was done\n", gRunning->Name());
        return 4;
    }
    return status;
}
