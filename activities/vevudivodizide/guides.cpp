// The guides' part of the question board. The two characters and their speech are not drawn
// yet: every call keeps its place in the board's sequences and what its callers rely on (the
// characters at rest afterwards, the sprites settled, stopSpeech cleared at its end), and says
// nothing.
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
    FadeOutSign();
    stopSpeech = 0;
}

void CAct5Board::ReactToBuild() { stopSpeech = 0; }

void CAct5Board::ReactToExpression() { stopSpeech = 0; }

void CAct5Board::ReactToDrop() { stopSpeech = 0; }

void CAct5Board::LightTiles() {}

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
