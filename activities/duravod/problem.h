// A Duravod problem: the abstract CProblem with its fields and sixteen virtual operations in
// slot order, the behaviour every kind shares (kind 1's start and finish steps, the set-up frame
// with its once-a-run introductions, the wrong-answer ladder, the answer that passes, the prompt
// style), and the factory the module makes its one problem object through.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace duravod {

class CEquationList;

inline constexpr int kEquationLines = 6;
inline constexpr int kEquationLineChars = 100;
// Up to six lines of up to 100 characters; longer text is cut.
struct CEquationLines {
    std::array<std::string, kEquationLines> lines;
    int count = 0;
    // Appends a line (cut at 100 characters); nothing past the sixth.
    void Add(const std::string& text);
};

class CProblem {
public:
    CProblem();
    virtual ~CProblem();                                 // slot 0
    virtual void Start() = 0;                            // 1
    virtual void Finish() = 0;                           // 2
    virtual void SetUp() = 0;                            // 3
    virtual void PickNumbers() {}                        // 4
    virtual void CheckAnswer() = 0;                      // 5
    virtual void OnCorrect() = 0;                        // 6
    virtual void Prompt() = 0;                           // 7
    virtual void HighlightPart(int16_t) {}               // 8
    virtual void Release() {}                            // 9
    virtual int16_t CheckAskedSide() { return 0; }       // 10
    virtual int16_t CheckGivenSide() { return 0; }       // 11
    virtual int16_t SayEquation(int16_t) { return 0; }   // 12
    virtual int16_t SayGroups(int16_t) { return 0; }     // 13
    virtual int16_t SayProduct(int16_t) { return 0; }    // 14
    virtual void ShowEquation(CEquationLines& out) = 0;  // 15

    int16_t passMark = 2;
    int16_t groups = 0;
    int16_t kindCode = 0;
    int16_t targetSlot = 0;
    int16_t actors = 0;
    int16_t target = 0;
    int16_t cartY = 150;
    int16_t receivingActor = 0;
    int16_t splitsAsked = 0;
    int16_t staging = 0;
    int16_t chosenSize = 0;
    int16_t leastFactor = 2;
    int16_t mostColumns = 7;
    int16_t mostRows = 6;
    int16_t givenRows = 0;
    int16_t wrongColumns = 0;
    int16_t wrongRows = 0;
    int16_t chosenRow = 0;
    int16_t order = 0;
    int16_t solved = 0;
    int16_t firstLimit = 0;
    int16_t groupMove = 0;
    int16_t handOutDone = 0;
    int16_t secondLimit = 0;
    int16_t multiLine = 0;
    std::unique_ptr<CEquationList> equationList;

protected:
    // Kind 1's start steps: the read-outs go, bin and tray show, a visitor on side 1 leaves and
    // one comes in on side 2; then this problem's own SetUp (kinds 1, 2, 4 and 7 start so).
    void KindOneStart();
    // Kind 1's finish steps: the read-outs go.
    void KindOneFinish();
    // The set-up frame's opening: the new-piece batch, no wrong try yet, the first layer hidden.
    void BeginSetUp(int16_t batch);
    // A step of the staging value: true (and back to 0) when the actors are to be placed anew.
    bool StepStaging();
    // The set-up frame's close: the actors' numbers off, a batch of new pieces handed out, every
    // sprite waited for, then the kind's introduction the first time a run, or the prompt. An
    // introduction cut short closes the talking head and asks nothing.
    void EndSetUp(int16_t handOut, int16_t introduction);
    // A wrong answer, as kinds 1, 2 and 4 answer it: `held` is what the judged slot holds.
    void WrongAnswer(int16_t held);
    // The answer was right: praise (and the level's reward when this solution passes it), the
    // equation read when `readEquation`, the tally, the next problem.
    void CorrectSteps(bool readEquation, bool setSolved);
};

// The introduction of each kind is said once a run of the program.
bool IntroductionDue(int16_t kind);
void MarkIntroductionSaid(int16_t kind);
// Every kind's introduction due again (the program's start; tests).
void ResetIntroductions();

// The switches of phrase template 500: whether the switch (1 to 8) is on (its id 2 or more).
bool PromptSwitch(int index);
// The first switch: the second prompt style.
inline bool SecondPromptStyle() { return PromptSwitch(1); }

// The problem factory: makes a problem of a kind (1..8; any other value is kind 1), or null.
using ProblemFactory = std::function<std::unique_ptr<CProblem>(int16_t kind)>;
// Installs a factory; an empty one puts the module's own back. Returns the one before.
ProblemFactory SetProblemFactory(ProblemFactory factory);
// Through the installed factory; the module's own makes a problem that poses nothing until the
// kinds are written (kind 1's start and finish steps, no set-up of its own).
std::unique_ptr<CProblem> MakeProblem(int16_t kind);

// The problem the module's own factory makes: it poses nothing and judges nothing.
class CQuietProblem : public CProblem {
public:
    explicit CQuietProblem(int16_t kind);
    void Start() override;
    void Finish() override;
    void SetUp() override {}
    void CheckAnswer() override {}
    void OnCorrect() override {}
    void Prompt() override {}
    void ShowEquation(CEquationLines&) override {}
};

}  // namespace duravod
