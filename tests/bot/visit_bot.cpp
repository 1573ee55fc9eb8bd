// The visit bot ("visit"): from the hub through each of the five entrances into its activity's
// screen and home again, as a child would with the mouse (Duravod through its own house,
// Ruduridodu through its own door, Vevudivodizide through its own exit). The
// hub's first entry opens the player chooser, where Enter keeps the guest. Stages saved: each activity's screen
// ("<activity>") once it waits for input, and the hub after the last visit ("hub").
#include <iterator>

#include "activities/duravod/duravod.h"
#include "activities/duravod/duravod_state.h"
#include "activities/ruduridodu/module3.h"
#include "activities/ruduridodu/ruduridodu.h"
#include "activities/vevudivodizide/module5.h"
#include "activities/vevudivodizide/vevudivodizide.h"
#include "app/hub.h"
#include "app/item_chooser.h"
#include "platform/core/wintypes.h"
#include "tests/bot/bot.h"

namespace {

const char* const kActivityNames[] = {"duravod", "ruduridodu", "vududoduvaza", "vevudivodizide", "shapes"};

class CVisitBot : public bot::CBot {
public:
    const char* Name() const override { return "visit"; }

    bool Step(bot::CBotInput& input) override {
        if (!bot::WaitsForInput()) return true;
        const int module = bot::CurrentModule();
        switch (m_phase) {
            case Phase::Greeting:
                if (module == 1 && CItemChooser::Current()) {
                    input.Key(VK_RETURN);
                    m_phase = Phase::AtHub;
                }
                return true;
            case Phase::AtHub: {
                if (module != 1 || CItemChooser::Current()) return true;
                if (m_next == std::size(kHubEntrances)) {
                    SaveStage("hub");
                    return false;
                }
                CCorAnim* entrance = HubSceneNow().entrances[m_next];
                if (!entrance) return true;
                input.ClickSprite(entrance);
                m_phase = Phase::Entering;
                return true;
            }
            case Phase::Entering:
                if (module != kHubEntrances[m_next].module) return true;
                // Ruduridodu's presenter sets the first task before the child can act (a click
                // meanwhile would only cut him short).
                if (module == kRuduridoduModule && !Module3::View().ready) return true;
                SaveStage(kActivityNames[m_next]);
                // Duravod, Ruduridodu and Vevudivodizide hide the engine's home button: their own lead
                // home.
                if (module == kDuravodModule) {
                    input.ClickSprite(duravod::View().HomeButton);
                } else if (module == kRuduridoduModule) {
                    input.ClickSprite(Module3::View().exitButton);
                } else if (module == kVevudivodizideModule) {
                    input.ClickSprite(Module5::exitSprite);
                } else {
                    input.ClickHomeButton();
                }
                m_phase = Phase::Leaving;
                return true;
            case Phase::Leaving:
                if (module != 1) return true;
                ++m_next;
                m_phase = Phase::AtHub;
                return true;
        }
        return true;
    }

private:
    enum class Phase { Greeting, AtHub, Entering, Leaving };
    Phase m_phase = Phase::Greeting;
    size_t m_next = 0;
};

}  // namespace

REGISTER_BOT(CVisitBot)
