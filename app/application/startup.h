#pragma once

namespace tessel {

// Runs the proxy until the server finishes; -1 when start-up failed.
int runProxy(int argc, char** argv);

} // namespace tessel
