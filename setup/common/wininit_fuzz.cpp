// Reads arbitrary bytes as WinInit.ini's text (after a first line naming the file to delete)
// and adds the delete line the setup programs add. Every byte of the old text must stay, in
// order, with only the new lines added, and the file named must then count as waiting.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "setup/common/install_paths.h"
#include "setup/common/script_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const size_t newline = input.find('\n');
    std::string path(input.substr(0, newline == std::string_view::npos ? 0 : newline));
    setup::TrimBlanks(path);
    const std::string_view text = newline == std::string_view::npos ? input : input.substr(newline + 1);

    const std::string out = setup::WithDeleteAtBoot(text, path);
    const std::string line = "NUL=" + path + "\n";
    // Taking out the line after each header gives the old text back, with at most a newline
    // and a header after it when no header was there.
    std::string rest;
    for (size_t at = 0; at < out.size();) {
        size_t end = out.find('\n', at);
        end = end == std::string::npos ? out.size() : end + 1;
        const std::string_view current(out.data() + at, end - at);
        rest.append(current);
        if (current == "[rename]\n") {
            if (out.compare(end, line.size(), line) == 0) {
                end += line.size();
            } else if (rest.size() != text.size() + 1) {
                // Only the old text's last line, unterminated, gained its newline here.
                std::abort();
            }
        }
        at = end;
    }
    if (rest.compare(0, text.size(), text) != 0) std::abort();
    const std::string tail = rest.substr(text.size());
    if (!tail.empty() && tail != "[rename]\n" && tail != "\n[rename]\n") std::abort();
    if (!setup::IsRenameSource(out, path)) std::abort();
    return 0;
}
