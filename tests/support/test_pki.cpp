#include "test_pki.h"

#include "command.h"

#include <stdlib.h>

#include <atomic>
#include <fstream>
#include <stdexcept>

namespace testsupport {

namespace {

const char* const kEngineOnlyConfig = R"(openssl_conf = openssl_init
[openssl_init]
engines = engines
[engines]
gost = gost
[gost]
engine_id = gost
default_algorithms = ALL
)";

} // namespace

const TestPki& TestPki::instance()
{
    static const TestPki pki;
    return pki;
}

TestPki::TestPki()
{
    std::string pattern = (std::filesystem::temp_directory_path() / "vpp-test-XXXXXX").string();
    if (!mkdtemp(pattern.data()))
        throw std::runtime_error("cannot create a temporary directory");
    root_ = pattern;
    directory_ = root_ / "pki";
    const CommandResult result = runCommand({VPP_MAKE_TEST_PKI, directory_.string()});
    if (result.exitStatus != 0)
        throw std::runtime_error("make-test-pki failed: " + result.errors);
    std::ofstream(openSslConfig()) << kEngineOnlyConfig;
}

TestPki::~TestPki()
{
    std::error_code ignored;
    std::filesystem::remove_all(root_, ignored);
}

std::vector<std::string> TestPki::gostEnvironment() const { return {"OPENSSL_CONF=" + openSslConfig().string()}; }

std::filesystem::path TestPki::makeTemporaryDirectory(const std::string& prefix) const
{
    static std::atomic<int> counter{0};
    const std::filesystem::path directory = root_ / (prefix + "-" + std::to_string(++counter));
    std::filesystem::create_directories(directory);
    return directory;
}

} // namespace testsupport
