// Reads any bytes as a registry file: no crash, and what is written back reads again
// without a bad line into the same text.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/registry/reg_tree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<size_t> bad;
    plat::CRegTree tree = plat::CRegTree::Parse(text, &bad);
    std::string written = tree.Serialize();
    std::vector<size_t> badAgain;
    plat::CRegTree again = plat::CRegTree::Parse(written, &badAgain);
    if (!badAgain.empty() || again.Serialize() != written) {
        std::abort();
    }
    return 0;
}
