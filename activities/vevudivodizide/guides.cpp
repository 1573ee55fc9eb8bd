// The guides' part of the question board. The two characters and their speech are not drawn
// yet: every call keeps its place in the board's sequences and what its callers rely on (the
// characters at rest afterwards, the sprites settled, stopSpeech cleared at its end), and says
// nothing. The help the reactions give besides speech is here: the tiles lit from the third
// wrong answer on, the wrong side made inert in mode 2, one relation button left in mode 7.
#include <array>

#include "activities/vevudivodizide/digit_controls.h"
#include "activities/vevudivodizide/number_panel.h"
#include "activities/vevudivodizide/question_board.h"
#include "activities/vevudivodizide/vevudivodizide_ids.h"
#include "engine/toolbox/sprite_toolbox.h"
#include "engine/toolbox/waits.h"

namespace vevudivodizide {

void CAct5Board::RestBoth() {
    for (CCorAnim* guide : {leftGuide, leftGuideExtra, rightGuide, rightGuideExtra}) ShowPicture(guide, kPicNone);
}

void CAct5Board::StopCharacters() {
    for (CCorAnim* guide : {leftGuide, leftGuideExtra, rightGuide, rightGuideExtra}) StopSprite(guide);
}

void CAct5Board::PlayIntroScene(int) { RestBoth(); }

void CAct5Board::PlayFarewellScene(int) {
    RestBoth();
    WaitSpritesDone();
}

void CAct5Board::Introduce() {
    RestBoth();
    stopSpeech = 0;
}

void CAct5Board::SpeakInstructions() { stopSpeech = 0; }

void CAct5Board::Praise() {
    RestBoth();
    stopSpeech = 0;
}

void CAct5Board::ReactToSign() {
    // From the third wrong answer only the button of the asked relation is left.
    if (attempt == 3 && relation <= 2) {
        for (int kind = 0; kind < 3; ++kind)
            if (kind != relation) relationButtons[static_cast<size_t>(kind)]->Hide();
    }
    FadeOutSign();
    stopSpeech = 0;
}

void CAct5Board::ReactToBuild() {
    if (attempt >= 3) LightTiles();
    stopSpeech = 0;
}

void CAct5Board::ReactToExpression() {
    if (attempt >= 3) LightTiles();
    stopSpeech = 0;
}

void CAct5Board::ReactToDrop() {
    // From the second wrong click the side that must not be chosen takes no more clicks.
    if (attempt == 2) {
        if (wantLarger) (leftValue <= rightValue ? leftDropLive : rightDropLive) = 0;
        else (leftValue < rightValue ? rightDropLive : leftDropLive) = 0;
    }
    stopSpeech = 0;
}

std::array<bool, 10> LitDigits(uint16_t relation, int workSide, int n) {
    std::array<bool, 10> lit{};
    if (relation == 0) {
        lit[static_cast<size_t>(n % 10)] = true;
        if (n >= 10) lit[static_cast<size_t>(n / 10 % 10)] = true;
        if (n >= 100) lit[static_cast<size_t>(n / 100 % 10)] = true;
        return lit;
    }
    if (relation != 1 && relation != 2) return lit;
    // What the work side must be: larger than n when it is the left and the left is to be
    // larger, or the right and the left is to be smaller; smaller than n otherwise.
    const bool larger = (workSide == 1) == (relation == 1);
    const int from = larger ? n + 1 : 0, to = larger ? 999 : n - 1;
    int covered = 0;
    for (int v = from; v <= to && covered < 10; ++v) {
        for (int rest = v, first = 1; first || rest > 0; rest /= 10, first = 0) {
            bool& d = lit[static_cast<size_t>(rest % 10)];
            covered += !d;
            d = true;
        }
    }
    return lit;
}

void CAct5Board::LightTiles() {
    if (answerMode != 2 && answerMode != 4 && answerMode != 5 && answerMode != 7 && answerMode != 10 && answerMode != 11)
        return;
    const int n = workSide == 1 ? rightValue : leftValue;
    if (n < 0 || n > 999) return;
    const std::array<bool, 10> lit = LitDigits(relation, workSide, n);
    bool any = false;
    for (bool d : lit) any |= d;
    if (!any) return;  // nothing the work side could be: the tiles stay as they are
    for (int d = 0; d < 10; ++d) {
        CDigitTile* tile = tiles[static_cast<size_t>(d)];
        if (tile->GetPicture() == kPicNone) continue;  // off the screen: stays off
        tile->SetPicture(static_cast<int16_t>((lit[static_cast<size_t>(d)] ? kPicCard : kPicRaisedTile) + d));
    }
}

void CAct5Board::SayFarewell() {
    WaitSpritesDone();
    PlayFarewellScene(0);
    stopSpeech = 0;
}

void CAct5Board::IdleAct() {}

void CAct5Board::PlayModeDemonstration() {
    hintPending = 0;
    stopSpeech = 0;
}

void CAct5Board::GuideClicked() {
    SpeakInstructions();
    RestBoth();
    WaitSpritesDone();
    helpGiven = 1;
    stopSpeech = 0;
    helpTime = GetEngineTicks();
}

}  // namespace vevudivodizide
