#pragma once

namespace tessel {

// Runs the proxy until the server finishes: 0 after a stop, 1 when the server could not start,
// -1 when a start-up step before it failed.
int runProxy(int argc, char** argv);

} // namespace tessel
