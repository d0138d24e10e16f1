#include "portal_test_suite.h"

namespace testsupport {

StandInPortalProcess* OptionalClientAuthPortalSuite::portal_ = nullptr;

void OptionalClientAuthPortalSuite::SetUpTestSuite()
{
    portal_ = new StandInPortalProcess({"--client-auth", "optional"});
}

void OptionalClientAuthPortalSuite::TearDownTestSuite()
{
    delete portal_;
    portal_ = nullptr;
}

} // namespace testsupport
