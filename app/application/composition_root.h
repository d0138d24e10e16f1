#pragma once

namespace tessel {

// Gives each process-wide interface the factory of its implementation. The program calls it
// first thing; tests that need the real objects call it too.
void installApplicationObjects();

} // namespace tessel
