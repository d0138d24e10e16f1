#pragma once

#include "stand_in_portal_process.h"

#include <gtest/gtest.h>

namespace testsupport {

// A suite whose tests share one stand-in portal that asks for a client certificate but
// accepts connections without one. Derive a fixture from it and use portal().
class OptionalClientAuthPortalSuite : public ::testing::Test
{
protected:
    static void SetUpTestSuite();
    static void TearDownTestSuite();
    static StandInPortalProcess& portal() { return *portal_; }

private:
    static StandInPortalProcess* portal_;
};

} // namespace testsupport
