#include "application/composition_root.h"

namespace {

// Test programs that work with the real process-wide objects get them before main, as the
// proxy does first thing in its main.
const bool installed = (tessel::installApplicationObjects(), true);

} // namespace
