#pragma once

namespace tessel {

// Gives each process-wide interface the factory of its implementation. The program calls it
// first thing; tests that need the real objects call it too.
void installApplicationObjects();

// Ends the process-wide objects, the process manager's worker first, while what they use (the
// log, Qt) is still there: the holders were made first, so they would go last at exit.
void destroyApplicationObjects();

} // namespace tessel
