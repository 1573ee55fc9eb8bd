// The child launcher's side of start-up: whether the launcher runs the game and which child it
// has chosen. The launcher integration is not part of the game yet, so it is never active.
#pragma once

#include <cstddef>

// 1 when the launcher is active, with its current child copied into user (capacity bytes,
// always terminated); 0 with user empty otherwise.
int TestLauncher(char* user, size_t capacity);
