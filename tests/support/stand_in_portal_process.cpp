#include "stand_in_portal_process.h"

#include "file_text.h"
#include "test_pki.h"

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

namespace testsupport {

namespace {

constexpr std::chrono::seconds kStartTimeout(20);

} // namespace

StandInPortalProcess::StandInPortalProcess(const std::vector<std::string>& arguments)
{
    const TestPki& pki = TestPki::instance();
    directory_ = pki.makeTemporaryDirectory("portal");
    const std::filesystem::path portFile = directory_ / "port";
    std::vector<std::string> command = {VPP_STAND_IN_PORTAL,
                                        "--cert",
                                        pki.file("server.pem").string(),
                                        "--key",
                                        pki.file("server.key.pem").string(),
                                        "--ca",
                                        pki.file("ca-bundle.pem").string(),
                                        "--state",
                                        stateDir().string(),
                                        "--listen",
                                        "127.0.0.1:0",
                                        "--port-file",
                                        portFile.string()};
    command.insert(command.end(), arguments.begin(), arguments.end());
    process_ = std::make_unique<ChildProcess>(command, (directory_ / "output.log").string());

    const auto deadline = std::chrono::steady_clock::now() + kStartTimeout;
    while (!std::filesystem::exists(portFile)) {
        if (!process_->running() || std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("the stand-in portal did not start: " + output());
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    port_ = static_cast<unsigned short>(std::stoi(fileText(portFile)));
}

std::string StandInPortalProcess::url(const std::string& target) const
{
    return "https://localhost:" + std::to_string(port_) + target;
}

std::vector<std::string> StandInPortalProcess::requestLog() const
{
    std::ifstream file(stateDir() / "requests.log");
    std::vector<std::string> lines;
    for (std::string line; std::getline(file, line);)
        lines.push_back(line);
    return lines;
}

std::string StandInPortalProcess::output() const { return fileText(directory_ / "output.log"); }

} // namespace testsupport
