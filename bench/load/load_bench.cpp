// The proxy under load and slow clients, in front of the stand-in portal with the key unlocked:
// forwarded downloads checked by size and digest, simultaneous pings, REST calls that each reach
// the portal, and pings while many connections are held open or half-sent.
//
//   load-bench [DOWNLOADS]     (default 1000)

#include "support/command.h"
#include "support/curl_client.h"
#include "support/proxy_under_test.h"
#include "support/stand_in_portal_process.h"
#include "support/test_pki.h"
#include "support/workstation.h"
#include "tools/stand-in-portal/sha256.h"

#include <Poco/Net/HTTPClientSession.h>
#include <Poco/Net/HTTPRequest.h>
#include <Poco/Net/HTTPResponse.h>
#include <Poco/Net/StreamSocket.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <functional>
#include <future>
#include <iostream>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

struct Exchange
{
    int status = 0;
    std::uint64_t bytes = 0;
    std::string sha256;
    double firstByteSeconds = 0;
    double seconds = 0;
    std::string error;
};

// One GET on a connection of its own; the body is digested as it arrives.
Exchange get(const ProxyUnderTest& proxy, const std::string& target, const std::string& sessionId = {})
{
    Exchange exchange;
    const Clock::time_point start = Clock::now();
    try {
        Poco::Net::HTTPClientSession session("127.0.0.1", proxy.port());
        session.setTimeout(Poco::Timespan(120, 0));
        Poco::Net::HTTPRequest request("GET", target, Poco::Net::HTTPMessage::HTTP_1_1);
        request.set("Authorization", "Bearer " + proxy.accessToken());
        if (!sessionId.empty())
            request.set("X-Session-Id", sessionId);
        session.sendRequest(request);
        Poco::Net::HTTPResponse response;
        std::istream& body = session.receiveResponse(response);
        exchange.firstByteSeconds = secondsSince(start);
        exchange.status = response.getStatus();
        standin::Sha256 digest;
        char buffer[65536];
        while (body.read(buffer, sizeof buffer) || body.gcount() > 0) {
            digest.update(buffer, static_cast<std::size_t>(body.gcount()));
            exchange.bytes += static_cast<std::uint64_t>(body.gcount());
        }
        exchange.sha256 = digest.hexDigest();
    } catch (const std::exception& e) {
        exchange.error = e.what();
    }
    exchange.seconds = secondsSince(start);
    return exchange;
}

double percentile(std::vector<double> values, double share)
{
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, static_cast<std::size_t>(share * static_cast<double>(values.size())))];
}

// Runs count jobs on the given number of threads at once and gives their results in order.
std::vector<Exchange> runConcurrently(int count, int concurrency, const std::function<Exchange(int)>& job)
{
    std::vector<Exchange> results(static_cast<std::size_t>(count));
    std::atomic<int> next{0};
    std::vector<std::future<void>> workers;
    for (int worker = 0; worker < concurrency; ++worker) {
        workers.push_back(std::async(std::launch::async, [&] {
            for (int i; (i = next++) < count;)
                results[static_cast<std::size_t>(i)] = job(i);
        }));
    }
    for (auto& worker : workers)
        worker.get();
    return results;
}

// How many were answered with success, and how long each took.
struct Tally
{
    int answered = 0;
    std::vector<double> seconds;

    explicit Tally(const std::vector<Exchange>& results)
    {
        for (const Exchange& r : results) {
            answered += r.status >= 200 && r.status < 300 ? 1 : 0;
            seconds.push_back(r.seconds);
        }
    }
};

void printFigure(const char* what, double value, double target, bool atLeast)
{
    const bool met = atLeast ? value >= target : value < target;
    std::printf("  %-52s %9.2f   (target %s %.2f: %s)\n", what, value, atLeast ? ">=" : "<", target,
                met ? "met" : "MISSED");
}

void downloads(const ProxyUnderTest& proxy, int count)
{
    std::mt19937_64 random(42);
    std::vector<std::uint64_t> sizes;
    for (int i = 0; i < count; ++i)
        sizes.push_back(random() % ((1u << 20) + 1));
    const Clock::time_point start = Clock::now();
    const std::vector<Exchange> results = runConcurrently(count, 32, [&](int i) {
        const std::string chunked = i % 2 == 0 ? "&chunked=1" : "";
        return get(proxy, "/test/download?size=" + std::to_string(sizes[static_cast<std::size_t>(i)]) + chunked);
    });
    const double seconds = secondsSince(start);
    int intact = 0;
    std::vector<double> firstBytes;
    for (std::size_t i = 0; i < results.size(); ++i) {
        const Exchange& r = results[i];
        intact += r.status == 200 && r.bytes == sizes[i] && r.sha256 == testBytesSha256(sizes[i]) ? 1 : 0;
        firstBytes.push_back(r.firstByteSeconds);
    }
    std::printf("%d downloads of 0-1 MiB, half chunked, 32 at a time (%.1f s):\n", count, seconds);
    printFigure("intact (size and SHA-256), share", static_cast<double>(intact) / count, 1.0, true);
    printFigure("first byte, median (s)", percentile(firstBytes, 0.5), 1.0, false);
    printFigure("first byte, 95th percentile (s)", percentile(firstBytes, 0.95), 2.0, false);
}

void simultaneousPings(const ProxyUnderTest& proxy)
{
    const std::vector<Exchange> results =
        runConcurrently(200, 200, [&](int) { return get(proxy, "/local/rest/v1/ping"); });
    const Tally tally(results);
    std::printf("200 simultaneous pings:\n");
    printFigure("answered", tally.answered, 200, true);
    printFigure("slowest (s)", percentile(tally.seconds, 1.0), 2.0, false);
}

void portalReachingCalls(const ProxyUnderTest& proxy)
{
    const std::string target = "/local/rest/v1/inbox/16fd2706-8baf-433b-82eb-8c7fada847da/reassure";
    const Clock::time_point start = Clock::now();
    const std::vector<Exchange> results =
        runConcurrently(640, 64, [&](int) { return get(proxy, target, "session-bench"); });
    const double seconds = secondsSince(start);
    const Tally tally(results);
    for (const Exchange& r : results) {
        if (r.status != 200) {
            std::printf("  a failed call: %d %s\n", r.status, r.error.c_str());
            break;
        }
    }
    std::printf("64 clients x 10 copies of an incoming document, each asking the portal:\n");
    printFigure("answered", tally.answered, 640, true);
    printFigure("all of them (s)", seconds, 60, false);
    printFigure("one call, 95th percentile (s)", percentile(tally.seconds, 0.95), 5, false);
}

// Up to the pool's 128 threads a held connection costs a new client nothing; beyond them new
// connections queue until a held one reaches its bound (5 s kept alive, 30 s for a head).
void pingsBesideHeldConnections(const ProxyUnderTest& proxy, int count, double target)
{
    const std::string head = "GET /local/rest/v1/ping HTTP/1.1\r\nHost: 127.0.0.1:" + std::to_string(proxy.port())
        + "\r\nAuthorization: Bearer " + proxy.accessToken() + "\r\n";
    std::vector<Poco::Net::StreamSocket> held;
    for (int i = 0; i < count; ++i) {
        held.emplace_back(Poco::Net::SocketAddress("127.0.0.1", proxy.port()));
        // Idle, kept alive after one request, or a head that never ends.
        const std::string sent = i % 3 == 0 ? std::string() : i % 3 == 1 ? head + "\r\n" : head;
        if (!sent.empty())
            held.back().sendBytes(sent.data(), static_cast<int>(sent.size()));
    }
    std::vector<Exchange> pings;
    for (int i = 0; i < 20; ++i)
        pings.push_back(get(proxy, "/local/rest/v1/ping"));
    const Tally tally(pings);
    std::printf("20 pings beside %d held connections (a third each idle, kept alive, half-sent heads):\n", count);
    printFigure("answered", tally.answered, 20, true);
    printFigure("slowest (s)", percentile(tally.seconds, 1.0), target, false);
}

} // namespace

int main(int argc, char** argv)
{
    try {
        if (argc > 2 || (argc == 2 && std::string(argv[1]).find_first_not_of("0123456789") != std::string::npos)) {
            std::cerr << "usage: load-bench [DOWNLOADS]\n";
            return 2;
        }
        const int count = argc > 1 ? std::stoi(argv[1]) : 1000;
        const testsupport::TestPki& pki = testsupport::TestPki::instance();
        const std::filesystem::path directory = pki.makeTemporaryDirectory("load-bench");
        const Workstation workstation(Workstation::UserKeyAndRoots);
        testsupport::StandInPortalProcess portal({"--client-auth", "require"});
        const testsupport::CommandResult seeded =
            testsupport::runCommand({VPP_SEED_DOCUMENTS, portal.stateDir().string(), pki.file("").string()});
        if (seeded.exitStatus != 0)
            throw std::runtime_error("seed-documents failed: " + seeded.output + seeded.errors);
        ProxyUnderTest proxy(directory, portal.url(""), Workstation::keyName, {workstation.environment()});
        proxy.unlockKey(Workstation::pin);
        downloads(proxy, count);
        simultaneousPings(proxy);
        portalReachingCalls(proxy);
        pingsBesideHeldConnections(proxy, 120, 2.0);
        pingsBesideHeldConnections(proxy, 300, 31.0);
        std::printf("Proxy peak memory (VmHWM): %.1f MiB\n", proxy.peakMemoryKib() / 1024.0);
        return 0;
    } catch (const std::exception& e) {
        std::cerr << "load-bench: " << e.what() << "\n";
        return 1;
    }
}
