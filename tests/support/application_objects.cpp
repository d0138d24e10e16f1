#include "application/composition_root.h"

#include <gtest/gtest.h>

namespace {

// Test programs that work with the real process-wide objects get them before main, as the
// proxy does first thing in its main, and end them after the last test, as it does at its end.
class ApplicationObjects : public ::testing::Environment
{
public:
    void TearDown() override { tessel::destroyApplicationObjects(); }
};

const bool installed = (tessel::installApplicationObjects(), true);
const auto* const ending = ::testing::AddGlobalTestEnvironment(new ApplicationObjects);

} // namespace
