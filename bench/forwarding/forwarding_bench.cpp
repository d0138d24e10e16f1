// Download throughput of a large file and the rate of small GETs (each on a new connection)
// through the proxy, next to curl straight to the stand-in portal and stunnel in front of it.
//
//   forwarding-bench [SIZE_MIB] [REQUESTS]     (defaults 500 and 300)

#include "support/access_tokens.h"
#include "support/command.h"
#include "support/proxy_under_test.h"
#include "support/stand_in_portal_process.h"
#include "support/stunnel_process.h"
#include "support/test_pki.h"
#include "support/workstation.h"

#include <Poco/Net/HTTPClientSession.h>
#include <Poco/Net/HTTPRequest.h>
#include <Poco/Net/HTTPResponse.h>
#include <Poco/NullStream.h>
#include <Poco/StreamCopier.h>

#include <chrono>
#include <cstdio>
#include <iostream>
#include <stdexcept>
#include <string>

namespace {

struct Download
{
    double bytesPerSecond = 0;
    std::uint64_t bytes = 0;
};

// curl's own measure of the transfer; the body goes to /dev/null so that only the carrying counts.
Download download(const std::vector<std::string>& arguments)
{
    std::vector<std::string> command = {"curl",       "-sS",
                                        "--max-time", "900",
                                        "-o",         "/dev/null",
                                        "-w",         "%{speed_download} %{size_download} %{http_code}"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const testsupport::CommandResult result =
        testsupport::runCommand(command, testsupport::TestPki::instance().gostEnvironment(), nullptr,
                                std::chrono::minutes(16));
    Download measured;
    int status = 0;
    if (result.exitStatus != 0
        || std::sscanf(result.output.c_str(), "%lf %lu %d", &measured.bytesPerSecond, &measured.bytes, &status) != 3
        || status != 200)
        throw std::runtime_error("download failed: " + result.output + " " + result.errors);
    return measured;
}

// Sequential GETs, each on a connection of its own as a browser's first requests are.
double requestsPerSecond(unsigned short port, const std::string& target, int count)
{
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < count; ++i) {
        Poco::Net::HTTPClientSession session("127.0.0.1", port);
        session.setTimeout(Poco::Timespan(30, 0));
        Poco::Net::HTTPRequest request("GET", target, Poco::Net::HTTPMessage::HTTP_1_1);
        const std::string token = testsupport::accessTokenOf(port);
        if (!token.empty())
            request.set("Authorization", "Bearer " + token);
        session.sendRequest(request);
        Poco::Net::HTTPResponse response;
        std::istream& body = session.receiveResponse(response);
        Poco::NullOutputStream discard;
        Poco::StreamCopier::copyStream(body, discard);
        if (response.getStatus() != Poco::Net::HTTPResponse::HTTP_OK)
            throw std::runtime_error("GET " + target + " answered " + std::to_string(response.getStatus()));
    }
    return count / std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void printRatio(const char* what, double value, double target, bool atLeast = true)
{
    const bool met = atLeast ? value >= target : value < target;
    std::printf("  %-34s %7.2f   (target %s %.2f: %s)\n", what, value, atLeast ? ">=" : "<", target,
                met ? "met" : "MISSED");
}

} // namespace

int main(int argc, char** argv)
{
    try {
        const std::uint64_t sizeMib = argc > 1 ? std::stoull(argv[1]) : 500;
        const int requests = argc > 2 ? std::stoi(argv[2]) : 300;
        const testsupport::TestPki& pki = testsupport::TestPki::instance();
        const std::filesystem::path directory = pki.makeTemporaryDirectory("bench");
        const Workstation workstation(Workstation::UserKeyAndRoots);
        testsupport::StandInPortalProcess portal({"--client-auth", "require"});
        ProxyUnderTest proxy(directory, portal.url(""), Workstation::keyName, {workstation.environment()});
        proxy.unlockKey(Workstation::pin);
        const StunnelProcess stunnel(directory, StunnelProcess::Mode::Client, portal.port());

        const std::string target = "/test/download?size=" + std::to_string(sizeMib << 20);
        const std::string viaStunnel = "http://127.0.0.1:" + std::to_string(stunnel.port());
        std::printf("Download of %lu MiB (rates in MiB/s):\n", static_cast<unsigned long>(sizeMib));
        const Download direct =
            download({"--cacert", pki.file("ca-bundle.pem").string(), "--cert", pki.file("user.pem").string(), "--key",
                      pki.file("user.key.pem").string(), portal.url(target)});
        const Download tunnel = download({viaStunnel + target});
        const Download proxied = download({"-H", "Authorization: Bearer " + proxy.accessToken(), proxy.url(target)});
        for (const auto& [name, measured] : {std::pair<const char*, Download>{"curl straight to the portal", direct},
                                             {"curl through stunnel", tunnel},
                                             {"curl through the proxy", proxied}})
            std::printf("  %-34s %7.1f\n", name, measured.bytesPerSecond / (1 << 20));

        std::printf("Small GETs of /webclient/, each on a new connection (%d, requests per second):\n", requests);
        const double stunnelRate = requestsPerSecond(stunnel.port(), "/webclient/", requests);
        const double proxyRate = requestsPerSecond(proxy.port(), "/webclient/", requests);
        std::printf("  %-34s %7.1f\n  %-34s %7.1f\n", "through stunnel", stunnelRate, "through the proxy", proxyRate);

        const double peakMib = proxy.peakMemoryKib() / 1024.0;
        std::printf("Ratios:\n");
        printRatio("download, proxy / stunnel", proxied.bytesPerSecond / tunnel.bytesPerSecond, 0.9);
        printRatio("download, proxy / curl direct", proxied.bytesPerSecond / direct.bytesPerSecond, 0.8);
        printRatio("small GETs, proxy / stunnel", proxyRate / stunnelRate, 0.9);
        printRatio("proxy peak memory (VmHWM, MiB)", peakMib, 80, false);
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "forwarding-bench: " << e.what() << "\n";
        return 1;
    }
}
