// The bot harness: whole-program runs that play the real game (RunZelboProgram) headless, with a
// fixed seed, through input alone. Once per idle step (every kBotStepMs of virtual time) the
// harness asks the running bot for its next move; the bot reads what the game shows through the
// read-only views the modules expose for tests (the hub's HubSceneNow, an activity's own view,
// the engine's current module) and acts only by posting input as the back end posts it:
// pointer moves, clicks, drags and keys. It saves the screen at named stages; the bot's program
// test compares those with golden images and checks the player's files afterwards.
//
// A bot is one file in tests/bot/ defining a CBot and registering it (kept in the list by
// REGISTER_BOT); `zelbo_bot <name>` runs it. The harness closes the window once the bot says it
// is done, and a bot still running after kBotTimeLimitMs of virtual time fails the run.
#pragma once

#include <cstdint>
#include <string>

class CCorAnim;

namespace bot {

inline constexpr uint64_t kBotStepMs = 50;
inline constexpr uint64_t kBotTimeLimitMs = 10 * 60 * 1000;

// Input as the back end posts it, in window coordinates, queued from the step's time on.
class CBotInput {
public:
    void MoveTo(int x, int y);
    void Click(int x, int y);
    // Press at (x0, y0), move there in steps, release at (x1, y1).
    void Drag(int x0, int y0, int x1, int y1, int steps = 8);
    void Key(int virtualKey);
    // The window's close button.
    void Close();
    // The window point of a picture point of the current module (its origin added).
    static int WindowX(int pictureX);
    static int WindowY(int pictureY);
    // A click at the middle of a sprite's picture.
    void ClickSprite(CCorAnim* sprite);
    // A click on the engine's home button.
    void ClickHomeButton();

private:
    uint64_t m_at = 0;  // the next input's time
    friend class CBotRunner;
};

// What a bot sees of the engine: the module running and whether it waits for input (the
// engine runs, no engine call is under way, nothing is busy).
int CurrentModule();
bool WaitsForInput();

class CBot {
public:
    virtual ~CBot() = default;
    virtual const char* Name() const = 0;
    // One idle step: look, maybe act; false once the bot is done.
    virtual bool Step(CBotInput& input) = 0;
    // Saves the screen as <stage>.png in the run's output folder (ZELBO_BOT_OUT).
    static void SaveStage(const std::string& stage);
    // Ends the run as failed, with a message on the standard error.
    static void Fail(const std::string& why);
};

void RegisterBot(CBot* bot);

// Registers a bot object at start: REGISTER_BOT(CVisitBot);
#define REGISTER_BOT(Type)                        \
    namespace {                                   \
    const bool kRegistered##Type = [] {           \
        static Type instance;                     \
        ::bot::RegisterBot(&instance);            \
        return true;                              \
    }();                                          \
    }

}  // namespace bot
