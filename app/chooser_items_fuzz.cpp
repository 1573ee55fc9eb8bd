// libFuzzer target: the player chooser's layout and allowed-character list read from a module
// file as the chooser reads them. Every value read is touched, so one taken from past the
// item's end would be reported.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "app/chooser_items.h"
#include "media/res/res_items_test_support.h"

volatile int64_t chooserItemsSink = 0;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> body(data, data + size);
    itemtest::CTestHost host;
    host.module = 1;
    media::CResWriter w;
    w.Add("IN#", 1101, body);
    if (!host.OpenModule(1, w)) return 0;
    const ChooserLayout layout = ReadChooserLayout(101);
    int64_t sum = layout.panelId + layout.maxChars + layout.closeAnim[1] + layout.fontSize;
    for (uint16_t c : ReadAllowedList(101)) sum += c;
    chooserItemsSink = chooserItemsSink + sum;
    return 0;
}
