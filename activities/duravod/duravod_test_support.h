// For the Duravod tests: the module entered on the activity kit with a stored level written into
// the guest's file by the home module first, and a problem kind of the test's own installed
// through the problem factory, which poses with the shared set-up frame and judges the answer the
// test gives it.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "activities/duravod/duravod.h"
#include "activities/duravod/duravod_ids.h"
#include "activities/duravod/duravod_module.h"
#include "activities/duravod/duravod_state.h"
#include "activities/duravod/problem.h"
#include "activities/duravod/shared_routines.h"
#include "engine/base/activity_settings.h"
#include "engine/base/standin_table.h"
#include "engine/players/player_list.h"
#include "engine/toolbox/activity_test_support.h"
#include "media/util/mono_debug.h"
#include "platform/mci/debug_display.h"

namespace duravodtest {

// What the test's problems did, and the answer the next check finds.
struct ProblemLog {
    int made = 0;
    int starts = 0;
    int finishes = 0;
    int setUps = 0;
    int prompts = 0;
    int checks = 0;
    std::vector<int16_t> saidRows;  // chosenRow at each SayEquation
    bool answerRight = true;
    std::vector<std::string> lines;  // what ShowEquation gives
    int16_t multiLine = 0;
};
inline ProblemLog gLog;

// A kind that poses the picked number with the shared frame and judges held against it.
class CTestProblem : public duravod::CProblem {
public:
    explicit CTestProblem(int16_t kind) : serial(++gLog.made) { kindCode = kind; }
    void Start() override {
        ++gLog.starts;
        KindOneStart();
    }
    void Finish() override {
        ++gLog.finishes;
        KindOneFinish();
    }
    void SetUp() override {
        ++gLog.setUps;
        BeginSetUp(1);
        StepStaging();
        duravod::PickProblemNumber();
        target = duravod::State().ProblemNumbers.Picked();
        multiLine = gLog.multiLine;
        EndSetUp(1, duravod::kKindIntroductions[duravod::PlayedKind(static_cast<uint16_t>(kindCode))]);
    }
    void CheckAnswer() override {
        ++gLog.checks;
        if (gLog.answerRight) {
            OnCorrect();
        } else {
            WrongAnswer(static_cast<int16_t>(target + 1));
        }
        // The check goes on after the answer's steps, though the next problem may replace this one.
        ++answers;
    }
    void OnCorrect() override { CorrectSteps(false, false); }
    void Prompt() override { ++gLog.prompts; }
    int16_t SayEquation(int16_t) override {
        gLog.saidRows.push_back(chosenRow);
        return 0;
    }
    void ShowEquation(duravod::CEquationLines& out) override {
        for (const std::string& line : gLog.lines) out.Add(line);
    }
    const int serial;
    int answers = 0;
};

class DuravodTest : public activitytest::ActivityTest {
protected:
    void SetUp() override {
        ActivityTest::SetUp();
        CaptureTraces();
        gLog = ProblemLog{};
        duravod::ResetIntroductions();
        duravod::State().UsedNumbers = {};
        duravod::State().ProblemNumbers.Clear();
        duravod::State().ProblemMode = 1;
        saved = duravod::SetProblemFactory(
            [](int16_t kind) -> std::unique_ptr<duravod::CProblem> { return std::make_unique<CTestProblem>(kind); });
        UseBuiltFile(kDuravodModule);
    }
    void TearDown() override {
        ActivityTest::TearDown();
        duravod::SetProblemFactory(saved);
    }
    // Enters the module with the stored level in the guest's file.
    void EnterWith(uint16_t stored, uint32_t levelsSaved = 1, uint32_t seed = 1, uint32_t mayChange = 1) {
        EnterFromHome(kDuravodModule, DuravodModuleTable(), {stored, levelsSaved, mayChange}, seed);
    }
    // The stored Duravod level in the guest's preference file (the record, then the block).
    int StoredInFile() const { return StoredLevelInFile(kDuravodModule); }
    static duravod::CDuravodState& S() { return duravod::State(); }
    static const CTestProblem* Problem() { return dynamic_cast<const CTestProblem*>(S().Problem.get()); }
    // The child answers by clicking the problem's text.
    static void Answer(bool right) {
        gLog.answerRight = right;
        duravod::OnProblemTextClicked();
    }

    duravod::ProblemFactory saved;
};

}  // namespace duravodtest
