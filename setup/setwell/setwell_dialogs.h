// Setwell's dialog templates: 102 (where to install) and 133 (progress).
#pragma once

namespace setup {

// Adds the templates to the program's table; the program calls it at start.
void RegisterSetwellDialogs();

}  // namespace setup
