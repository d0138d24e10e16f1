#pragma once

#include <filesystem>
#include <string>

// A provider root made with nxcsp-admin: the test user's key and certificate in one container
// under a PIN, the test CA certificates in the ROOT store.
class TestWorkstation
{
public:
    static constexpr const char* keyName = "user";
    static constexpr const char* pin = "4711";

    explicit TestWorkstation(const std::filesystem::path& directory);

    // "NXCSP_ROOT=..." for the proxy's environment.
    std::string environment() const { return "NXCSP_ROOT=" + m_root.string(); }

private:
    std::filesystem::path m_root;
};
