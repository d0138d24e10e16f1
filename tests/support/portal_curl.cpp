#include "portal_curl.h"

#include "test_pki.h"

namespace testsupport {

CommandResult curl(const std::vector<std::string>& arguments, const OutputSink& sink)
{
    const TestPki& pki = TestPki::instance();
    std::vector<std::string> command = {"curl", "-sS",      "--max-time",
                                        "300",  "--cacert", pki.file("ca-bundle.pem").string()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return runCommand(command, pki.gostEnvironment(), sink, std::chrono::seconds(320));
}

CommandResult curlAsUser(std::vector<std::string> arguments, const OutputSink& sink)
{
    const TestPki& pki = TestPki::instance();
    arguments.insert(arguments.begin(),
                     {"--cert", pki.file("user.pem").string(), "--key", pki.file("user.key.pem").string()});
    return curl(arguments, sink);
}

} // namespace testsupport
