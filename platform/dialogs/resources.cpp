// The program's dialog templates, registered at start and found by id or name.
#include "platform/dialogs/resources.h"

#include <map>

namespace plat {
namespace {

std::map<UINT, const DialogTemplate*>& Templates() {
    static std::map<UINT, const DialogTemplate*> t;
    return t;
}

}  // namespace

void RegisterDialogTemplates(std::span<const DialogTemplate> templates) {
    for (const DialogTemplate& t : templates) Templates()[t.id] = &t;
}

const DialogTemplate* FindDialogTemplate(UINT id) {
    auto it = Templates().find(id);
    return it == Templates().end() ? nullptr : it->second;
}

const DialogTemplate* FindDialogTemplate(LPCSTR name) {
    const UINT id = ResourceId(name);
    return id ? FindDialogTemplate(id) : nullptr;
}

void ClearDialogTemplates() {
    Templates().clear();
}

}  // namespace plat
