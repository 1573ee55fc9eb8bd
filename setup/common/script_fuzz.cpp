// Reads arbitrary bytes as a script and runs every pass of both programs over it, into
// recording actions, then parses every recorded statement's fields as the handlers do (the
// registry key path and the hex bytes of each field). A damaged script must end in the fatal
// stop (thrown here), never in a crash, a hang or an overrun.
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "setup/common/product_dat.h"
#include "setup/common/recording_actions.h"
#include "setup/common/registry_text.h"

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
    std::array<uint8_t, setup::kHexByteBuffer> bytes{};
    for (const setup::CRecordingActions::Record& r : actions.records) {
        for (const std::string& field : r.fields) {
            const size_t count = setup::ParseHexBytes(bytes, field);
            if (count > bytes.size()) std::abort();
            if (setup::RegistryPathOfKey(field).size() < field.size() + 8) std::abort();
        }
        (void)setup::ParseHexBytes(bytes, r.value);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    RunAll(text, false);
    RunAll(text, true);
    std::array<uint8_t, setup::kHexByteBuffer> bytes{};
    if (setup::ParseHexBytes(bytes, text) > bytes.size()) std::abort();
    return 0;
}
