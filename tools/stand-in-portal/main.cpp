#include "crypto/platform/openssl_init.h"
#include "portal_options.h"
#include "portal_routes.h"
#include "portal_server.h"

#include <Poco/Exception.h>

#include <csignal>
#include <iostream>
#include <pthread.h>
#include <stdexcept>

using namespace standin;

int main(int argc, char** argv)
{
    PortalOptions options;
    try {
        options = parsePortalOptions(std::vector<std::string>(argv + 1, argv + argc));
    } catch (const UsageError& e) {
        std::cerr << "stand-in-portal: " << e.what() << "\nTry stand-in-portal --help\n";
        return 2;
    }
    if (options.helpRequested) {
        std::cout << portalHelpText();
        return 0;
    }

    // A client that disconnects mid-answer must fail the write, not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    // Only the main thread takes the stop signals: block them before any thread starts.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    try {
        if (!nxcrypto::csp::initOpenSsl())
            throw std::runtime_error(nxcrypto::csp::initOpenSslError());
        PortalServer server(options, portalRoutes());
        server.start();
        std::cerr << "stand-in-portal: listening on https://" << options.listenHost << ':' << server.port()
                  << std::endl;
        int signal = 0;
        sigwait(&stopSignals, &signal);
        server.stop();
    } catch (const Poco::Exception& e) {
        std::cerr << "stand-in-portal: " << e.displayText() << std::endl;
        return 1;
    } catch (const std::exception& e) {
        std::cerr << "stand-in-portal: " << e.what() << std::endl;
        return 1;
    }
    return 0;
}
