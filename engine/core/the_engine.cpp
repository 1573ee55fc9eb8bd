// The one engine object, made before main runs and destroyed after it returns. It lives in the
// same file as theEngine, so that any code using the engine links it in.
#include "engine/core/zelbo_title.h"

// Constant-initialised: null, never garbage, until the object below is made.
constinit CCorEngine* theEngine = nullptr;

namespace {
CZelboTitle gZelboTitle;
}  // namespace
