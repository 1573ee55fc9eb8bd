// The script of a run: one event per line, "<time> <command> [arguments]", read by both back
// ends (ZELBO_SCRIPT) and written by the SDL back end's recorder (ZELBO_RECORD). The format is
// described in platform/headless/README.md.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "platform/core/backend.h"

namespace plat {

// One thing a script makes happen at a time. A line may give several (a click: down and up;
// typed text: keys and characters).
struct ScriptItem {
    enum class Kind : uint8_t {
        Input,       // `input` arrives
        Answer,      // the next message box or dialog gets `answer` (the time does not count)
        Screenshot,  // the screen is written to `file` (as the line names it)
        Wav,         // the sound played so far is written to `file`
        Quit,        // WM_QUIT is posted
        Seed,        // the program's random numbers start from `seed` (the time does not count)
    };
    Kind kind = Kind::Input;
    uint64_t atMs = 0;
    InputEvent input;
    int answer = 0;
    std::string file;
    uint32_t seed = 0;
};

// Reads a script: its items in line order. A first line's "+N" counts from startMs. False with
// "script line N: why" in *error on the first malformed line (nothing is taken then).
bool ParseScript(std::string_view text, uint64_t startMs, std::vector<ScriptItem>* items, std::string* error);

// The script line (without its line end) that gives back exactly this event at atMs: every
// field the event carries (button, key, extended, repeat, character), nothing added.
std::string ScriptLineOf(uint64_t atMs, const InputEvent& ev);
// The line that makes a replay start its random numbers from seed.
std::string SeedLineOf(uint64_t atMs, uint32_t seed);

// Writes what a run delivers as a script a headless run replays: each event's line as it is
// recorded, flushed at once, so a run that ends abruptly leaves its recording whole.
class ScriptRecorder {
public:
    ScriptRecorder() = default;
    ScriptRecorder(const ScriptRecorder&) = delete;
    ScriptRecorder& operator=(const ScriptRecorder&) = delete;
    ~ScriptRecorder();

    // Creates (or empties) the host file; false with a message when it cannot.
    bool Open(const std::string& hostPath, std::string* error);
    bool IsOpen() const { return m_file != nullptr; }
    void Record(uint64_t atMs, const InputEvent& ev);
    void RecordSeed(uint64_t atMs, uint32_t seed);
    void Close();

private:
    void Write(const std::string& line);
    FILE* m_file = nullptr;
};

}  // namespace plat
