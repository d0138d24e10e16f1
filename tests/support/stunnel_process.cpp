#include "stunnel_process.h"

#include "local_ports.h"
#include "test_pki.h"

#include <chrono>
#include <fstream>
#include <stdexcept>
#include <thread>

StunnelProcess::StunnelProcess(const std::filesystem::path& directory, Mode mode, unsigned short connectPort)
    : m_port(freeLocalPort())
{
    const testsupport::TestPki& pki = testsupport::TestPki::instance();
    const bool client = mode == Mode::Client;
    const std::filesystem::path config = directory / "stunnel.conf";
    std::ofstream(config) << "foreground = yes\n"
                          << "pid =\n"
                          << "output = " << (directory / "stunnel.log").string() << "\n"
                          << "[tunnel]\n"
                          << "client = " << (client ? "yes" : "no") << "\n"
                          << "accept = 127.0.0.1:" << m_port << "\n"
                          << "connect = 127.0.0.1:" << connectPort << "\n"
                          << "cert = " << pki.file(client ? "user.pem" : "server.pem").string() << "\n"
                          << "key = " << pki.file(client ? "user.key.pem" : "server.key.pem").string() << "\n"
                          << "CAfile = " << pki.file("ca-bundle.pem").string() << "\n"
                          << "verifyChain = yes\n"
                          << (client ? "checkHost = localhost\n" : "") << "sslVersionMax = TLSv1.2\n"
                          << "ciphers = IANA-GOST2012-GOST8912-GOST8912:LEGACY-GOST2012-GOST8912-GOST8912\n";
    m_process =
        std::make_unique<testsupport::ChildProcess>(std::vector<std::string>{"stunnel4", config.string()},
                                                    (directory / "stunnel.out").string(), pki.gostEnvironment());
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!acceptsConnections(m_port)) {
        if (!m_process->running() || std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("stunnel did not start; see " + (directory / "stunnel.log").string());
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
}
