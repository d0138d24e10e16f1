#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace testsupport {

// A GOST test PKI made afresh by make-test-pki into a temporary directory, once per test
// program, removed at exit. Files: root.pem, intermediate.pem, ca-bundle.pem, user.pem,
// user.key.pem, server.pem, server.key.pem, user2001.pem, ... (see make-test-pki).
class TestPki
{
public:
    static const TestPki& instance();

    std::filesystem::path file(const std::string& name) const { return directory_ / name; }
    // An OpenSSL configuration that loads only the GOST engine, for openssl and curl.
    std::filesystem::path openSslConfig() const { return directory_ / "openssl-gost-engine.cnf"; }
    // {"OPENSSL_CONF=..."}: the environment for GOST-capable openssl and curl commands.
    std::vector<std::string> gostEnvironment() const;

    // A new empty directory below the PKI's temporary directory, removed with it.
    std::filesystem::path makeTemporaryDirectory(const std::string& prefix) const;

private:
    TestPki();
    ~TestPki();

    std::filesystem::path root_;
    std::filesystem::path directory_;
};

} // namespace testsupport
