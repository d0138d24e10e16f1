#include "openssl_server.h"

#include "support/file_text.h"
#include "support/test_pki.h"

#include <stdexcept>
#include <thread>

OpenSslServer::OpenSslServer(const std::vector<std::string>& arguments, bool sendChain)
{
    const testsupport::TestPki& pki = testsupport::TestPki::instance();
    logFile_ = pki.makeTemporaryDirectory("s_server") / "output.log";
    // -verify_return_error: a client certificate that does not verify ends the handshake.
    std::vector<std::string> command = {"openssl", "s_server",
                                        "-accept", "127.0.0.1:0",
                                        "-tls1_2", "-verify_return_error",
                                        "-cipher", "LEGACY-GOST2012-GOST8912-GOST8912:IANA-GOST2012-GOST8912-GOST8912",
                                        "-cert",   pki.file("server.pem").string(),
                                        "-key",    pki.file("server.key.pem").string()};
    // s_server completes its chain from its CA file by itself: without the chain it knows the root only.
    if (sendChain)
        command.insert(command.end(),
                       {"-cert_chain", pki.file("intermediate.pem").string(), "-CAfile",
                        pki.file("ca-bundle.pem").string()});
    else
        command.insert(command.end(), {"-CAfile", pki.file("root.pem").string()});
    command.insert(command.end(), arguments.begin(), arguments.end());
    process_ = std::make_unique<testsupport::ChildProcess>(command, logFile_.string(), pki.gostEnvironment());

    const std::string accept = "ACCEPT 127.0.0.1:";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::string text = log();
    while (text.find(accept) == std::string::npos || text.find('\n', text.find(accept)) == std::string::npos) {
        if (!process_->running() || std::chrono::steady_clock::now() > deadline)
            throw std::runtime_error("openssl s_server did not start: " + text);
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        text = log();
    }
    port_ = static_cast<unsigned short>(std::stoi(text.substr(text.find(accept) + accept.size())));
}

std::string OpenSslServer::log() const { return testsupport::fileText(logFile_); }

bool OpenSslServer::waitForLog(const std::string& text, std::chrono::milliseconds timeout) const
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (log().find(text) == std::string::npos) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}
