#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace standin {

enum class ClientAuth { Require, Optional, None };

struct ServerCertificate
{
    std::filesystem::path certificate;
    std::filesystem::path key;
};

struct PortalOptions
{
    std::vector<ServerCertificate> certificates;
    std::filesystem::path caBundle;
    std::filesystem::path stateDir;
    std::string listenHost = "127.0.0.1";
    unsigned short listenPort = 0;
    std::filesystem::path portFile;
    ClientAuth clientAuth = ClientAuth::Require;
    int ioTimeoutSeconds = 30;
    bool helpRequested = false;
};

struct UsageError : std::runtime_error
{
    using std::runtime_error::runtime_error;
};

// Throws UsageError with a message naming the bad argument.
PortalOptions parsePortalOptions(const std::vector<std::string>& arguments);

std::string portalHelpText();

} // namespace standin
