#include "test_workstation.h"

#include "command.h"
#include "test_pki.h"

#include <stdexcept>

namespace {

void admin(const std::vector<std::string>& arguments, const std::string& environment)
{
    std::vector<std::string> command = {NXCSP_ADMIN};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const testsupport::CommandResult result = testsupport::runCommand(command, {environment});
    if (result.exitStatus != 0)
        throw std::runtime_error("nxcsp-admin failed: " + result.output + result.errors);
}

} // namespace

TestWorkstation::TestWorkstation(const std::filesystem::path& directory) : m_root(directory / "nxcsp")
{
    const testsupport::TestPki& pki = testsupport::TestPki::instance();
    admin({"container", "import", keyName, "--key", pki.file("user.key.pem").string(), "--cert",
           pki.file("user.pem").string(), "--pin", pin},
          environment());
    admin({"store", "add", "ROOT", pki.file("root.pem").string(), pki.file("intermediate.pem").string()}, environment());
}
