// Fuzzes the script reader: any bytes give items or a message, never a crash; every input
// event read back through its recorded line is the same event.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/script/script.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    std::vector<plat::ScriptItem> items;
    std::string error;
    if (!plat::ParseScript(text, 0, &items, &error)) return 0;
    for (const plat::ScriptItem& item : items) {
        if (item.kind != plat::ScriptItem::Kind::Input) continue;
        std::vector<plat::ScriptItem> again;
        if (!plat::ParseScript(plat::ScriptLineOf(item.atMs, item.input), 0, &again, &error) || again.size() != 1)
            std::abort();
        const plat::InputEvent& a = item.input;
        const plat::InputEvent& b = again[0].input;
        if (again[0].atMs != item.atMs || a.kind != b.kind || a.x != b.x || a.y != b.y || a.button != b.button ||
            a.vk != b.vk || a.repeat != b.repeat || a.extended != b.extended || a.ch != b.ch)
            std::abort();
    }
    return 0;
}
