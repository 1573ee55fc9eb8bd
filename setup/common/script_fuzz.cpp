// Reads arbitrary bytes as a script and runs every pass of both programs over it, into
// recording actions. A damaged script must end in the fatal stop (thrown here), never in a
// crash, a hang or an overrun.
#include <cstddef>
#include <cstdint>
#include <string>

#include "setup/common/product_dat.h"
#include "setup/common/recording_actions.h"

namespace {

struct Stopped {};

class CThrowingHost : public setup::CScriptHost {
public:
    int ShowSetupMessage(int, const std::string&, UINT) override { return 1; }
    void FatalStop(const std::string&) override { throw Stopped{}; }
};

void RunAll(const std::string& text, bool removal) {
    CThrowingHost host;
    setup::CRecordingActions actions;
    setup::CProductDat script(host, &actions);
    script.Values().installDir = "C:\\Program Files\\[InstallDir]";
    script.Values().windowsDir = "C:\\WINDOWS";
    script.UseScriptText(text);
    try {
        for (int pass = 0; pass <= (removal ? 1 : 2); ++pass) {
            if (removal) {
                script.ProcessProductDatForRemoval(pass);
            } else {
                script.ProcessProductDat(pass);
            }
        }
    } catch (const Stopped&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    RunAll(text, false);
    RunAll(text, true);
    return 0;
}
