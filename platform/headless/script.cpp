// The script of a headless run (ZELBO_SCRIPT): read by platform/script, its items scheduled on
// the virtual clock here.
#include <algorithm>
#include <cstdio>

#include "platform/core/winuser.h"
#include "platform/headless/headless_backend.h"
#include "platform/script/script.h"

namespace plat {

bool HeadlessBackend::LoadScript(const std::string& text, const std::string& baseDir, std::string* error) {
    std::vector<ScriptItem> items;
    if (!ParseScript(text, m_now, &items, error)) return false;
    auto pathOf = [&](const std::string& p) { return (p.empty() || p[0] == '/' || baseDir.empty()) ? p : baseDir + "/" + p; };
    for (ScriptItem& item : items) {
        m_scriptLast = std::max(m_scriptLast, item.atMs);
        switch (item.kind) {
            case ScriptItem::Kind::Input: QueueInput(item.atMs, item.input); break;
            case ScriptItem::Kind::Answer: PushAnswer(item.answer); break;
            case ScriptItem::Kind::Seed: m_scriptSeed = item.seed; break;
            case ScriptItem::Kind::Quit: At(item.atMs, [] { PostQuitMessage(0); }); break;
            case ScriptItem::Kind::Screenshot: {
                const std::string path = pathOf(item.file);
                At(item.atMs, [path] {
                    if (!SaveScreenPng(path)) std::fprintf(stderr, "headless: cannot write %s\n", path.c_str());
                });
                break;
            }
            case ScriptItem::Kind::Wav: {
                const std::string path = pathOf(item.file);
                At(item.atMs, [this, path] {
                    if (!SaveWav(path, m_played, m_audioFormat.samplesPerSec))
                        std::fprintf(stderr, "headless: cannot write %s\n", path.c_str());
                });
                break;
            }
        }
    }
    return true;
}

uint32_t HeadlessBackend::StartupSeed(uint32_t clockSeed) { return m_scriptSeed.value_or(clockSeed); }

}  // namespace plat
