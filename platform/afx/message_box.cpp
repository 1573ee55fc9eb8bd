#include "platform/afx/message_box.h"

#include <cstdio>
#include <mutex>
#include <string>

#include "platform/afx/string_table.h"
#include "platform/strings/cp1252.h"

namespace {

int PrintMessageBox(LPCSTR text, UINT type, UINT) {
    const std::string utf8 = plat::Cp1252ToUtf8(text ? text : "");
    std::fprintf(stderr, "[message box] %s\n", utf8.c_str());
    return plat::DefaultMessageBoxButton(type);
}

std::mutex g_hookMutex;
plat::MessageBoxHook g_hook;

}  // namespace

namespace plat {

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    std::lock_guard lock(g_hookMutex);
    MessageBoxHook previous = std::move(g_hook);
    g_hook = std::move(hook);
    return previous;
}

int DefaultMessageBoxButton(UINT type) {
    struct Buttons {
        int ids[3];
        int count;
    };
    static constexpr Buttons kButtons[] = {
        {{IDOK}, 1},                        // MB_OK
        {{IDOK, IDCANCEL}, 2},              // MB_OKCANCEL
        {{IDABORT, IDRETRY, IDIGNORE}, 3},  // MB_ABORTRETRYIGNORE
        {{IDYES, IDNO, IDCANCEL}, 3},       // MB_YESNOCANCEL
        {{IDYES, IDNO}, 2},                 // MB_YESNO
        {{IDRETRY, IDCANCEL}, 2},           // MB_RETRYCANCEL
    };
    const UINT kind = type & MB_TYPEMASK;
    if (kind >= std::size(kButtons)) {
        return IDOK;
    }
    const Buttons& buttons = kButtons[kind];
    const int wanted = static_cast<int>((type & MB_DEFMASK) >> 8);
    return buttons.ids[wanted < buttons.count ? wanted : 0];
}

}  // namespace plat

int AfxMessageBox(LPCSTR text, UINT type, UINT helpId) {
    plat::MessageBoxHook hook;
    {
        std::lock_guard lock(g_hookMutex);
        hook = g_hook;
    }
    // Called without the lock: a box may run a modal loop that shows another box.
    return hook ? hook(text, type, helpId) : PrintMessageBox(text, type, helpId);
}

int AfxMessageBox(UINT idPrompt, UINT type, UINT helpId) {
    const std::string prompt = plat::LookupString(idPrompt).value_or(std::string());
    return AfxMessageBox(prompt.c_str(), type, helpId == static_cast<UINT>(-1) ? idPrompt : helpId);
}
