#include "support/proxy_under_test.h"
#include "support/test_pki.h"
#include "support/wait_until.h"

#include <Poco/Exception.h>
#include <Poco/Net/NetException.h>
#include <Poco/Net/ServerSocket.h>
#include <Poco/Net/StreamSocket.h>
#include <Poco/Timespan.h>

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// A portal that only listens: it records every byte the proxy sends and never answers, so a
// test sees exactly what the proxy framed.
class RecordingPortal
{
public:
    RecordingPortal() : m_socket(Poco::Net::SocketAddress("127.0.0.1", 0))
    {
        m_accepting = std::thread([this] { accept(); });
    }

    ~RecordingPortal()
    {
        hangUp();
        m_accepting.join();
        for (std::thread& reader : m_readers)
            reader.join();
    }

    // Closes every connection, as a portal that goes away does.
    void hangUp() { m_stopped = true; }

    std::string url() const { return "http://127.0.0.1:" + std::to_string(m_socket.address().port()); }

    std::string received() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_received;
    }
    int connections() const { return m_connections; }
    int closedConnections() const { return m_closed; }

private:
    void accept()
    {
        while (!m_stopped) {
            if (!m_socket.poll(Poco::Timespan(0, 100000), Poco::Net::Socket::SELECT_READ))
                continue;
            Poco::Net::StreamSocket connection = m_socket.acceptConnection();
            ++m_connections;
            m_readers.emplace_back([this, connection]() mutable { record(connection); });
        }
    }

    void record(Poco::Net::StreamSocket connection)
    {
        connection.setReceiveTimeout(Poco::Timespan(0, 100000));
        char buffer[4096];
        while (!m_stopped) {
            try {
                const int n = connection.receiveBytes(buffer, sizeof buffer);
                if (n <= 0) {
                    ++m_closed;
                    return;
                }
                std::lock_guard<std::mutex> lock(m_mutex);
                m_received.append(buffer, static_cast<std::size_t>(n));
            } catch (const Poco::TimeoutException&) {
            } catch (const Poco::Exception&) {
                ++m_closed;
                return;
            }
        }
    }

    Poco::Net::ServerSocket m_socket;
    std::atomic<bool> m_stopped{false};
    std::atomic<int> m_connections{0};
    std::atomic<int> m_closed{0};
    mutable std::mutex m_mutex;
    std::string m_received;
    std::thread m_accepting;
    std::vector<std::thread> m_readers;
};

// A client connection that writes bytes as given and reads what comes back until the proxy closes.
class RawClient
{
public:
    explicit RawClient(unsigned short port) : m_socket(Poco::Net::SocketAddress("127.0.0.1", port)) {}

    void send(const std::string& bytes) { m_socket.sendBytes(bytes.data(), static_cast<int>(bytes.size())); }
    void closeSending() { m_socket.shutdownSend(); }

    // Everything until the proxy closes the connection, or "<open>" at the end when it has not
    // within the time given.
    std::string readToClose(std::chrono::seconds limit)
    {
        m_socket.setReceiveTimeout(Poco::Timespan(static_cast<long>(limit.count()), 0));
        std::string text;
        char buffer[4096];
        try {
            for (int n; (n = m_socket.receiveBytes(buffer, sizeof buffer)) > 0;)
                text.append(buffer, static_cast<std::size_t>(n));
        } catch (const Poco::TimeoutException&) {
            text += "<open>";
        } catch (const Poco::Net::ConnectionResetException&) {
        }
        return text;
    }

private:
    Poco::Net::StreamSocket m_socket;
};

class HostileClients : public testing::Test
{
protected:
    std::string head(const std::string& requestLine) const
    {
        return requestLine + "\r\nHost: 127.0.0.1:" + std::to_string(proxy.port()) + "\r\nAuthorization: Bearer "
            + proxy.accessToken() + "\r\n";
    }

    RecordingPortal portal;
    std::filesystem::path directory = testsupport::TestPki::instance().makeTemporaryDirectory("hostile");
    ProxyUnderTest proxy{directory, portal.url()};
};

bool startsWith(const std::string& text, const std::string& prefix) { return text.rfind(prefix, 0) == 0; }

bool contains(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// Requests whose body another reader could frame differently: each is refused, the connection
// closed, and the portal never gets a whole request (no last chunk, nothing after the fault).
TEST_F(HostileClients, AmbiguousFramingIsRefusedAndNothingRunsAtThePortal)
{
    const std::string smuggled = "GET /smuggled HTTP/1.1\r\nHost: x\r\n\r\n";
    const struct
    {
        const char* name;
        std::string fields;
        std::string body;
    } cases[] = {
        {"length and chunks", "Content-Length: 5\r\nTransfer-Encoding: chunked\r\n", "0\r\n\r\n" + smuggled},
        {"two lengths that differ", "Content-Length: 5\r\nContent-Length: 40\r\n", "hello" + smuggled},
        {"a length that is no number", "Content-Length: abc\r\n", "hello" + smuggled},
        {"a negative length", "Content-Length: -5\r\n", "hello" + smuggled},
        {"a space before the colon", "Content-Length: 5\r\nTransfer-Encoding : chunked\r\n", "0\r\n\r\n" + smuggled},
        {"a coding other than chunked", "Transfer-Encoding: gzip\r\n", "hello" + smuggled},
        {"chunked not last", "Transfer-Encoding: chunked, gzip\r\n", "0\r\n\r\n" + smuggled},
        {"a chunk size of a dash", "Transfer-Encoding: chunked\r\n", "5\r\nhello\r\n-\r\n" + smuggled},
        {"a negative chunk size", "Transfer-Encoding: chunked\r\n", "5\r\nhello\r\n-1\r\n" + smuggled},
        {"a chunk size of sixteen digits", "Transfer-Encoding: chunked\r\n",
         "ffffffffffffffff\r\nhello\r\n" + smuggled},
        {"a chunk without its line end", "Transfer-Encoding: chunked\r\n", "5\r\nhelloXX0\r\n\r\n" + smuggled},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RawClient client(proxy.port());
        client.send(head("POST /echo HTTP/1.1") + c.fields + "\r\n" + c.body);
        const std::string answer = client.readToClose(std::chrono::seconds(10));
        EXPECT_TRUE(startsWith(answer, "HTTP/1.1 400 ")) << answer;
        EXPECT_FALSE(contains(answer, "<open>")) << "the connection stayed open";
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const std::string forwarded = portal.received();
    EXPECT_FALSE(contains(forwarded, "/smuggled")) << forwarded;
    EXPECT_FALSE(contains(forwarded, "\r\n0\r\n\r\n")) << forwarded;
    EXPECT_EQ(portal.closedConnections(), portal.connections()) << "a portal connection was left waiting";
}

TEST_F(HostileClients, AWellFramedChunkedBodyReachesThePortalWhole)
{
    RawClient client(proxy.port());
    client.send(head("POST /echo HTTP/1.1") + "Transfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n");
    EXPECT_TRUE(waitUntil([&] { return contains(portal.received(), "5\r\nhello\r\n0\r\n\r\n"); })) << portal.received();
    portal.hangUp();
}

// A browser that goes away in the middle of its body must not make the portal see an ended one.
TEST_F(HostileClients, ACutRequestBodyNeverEndsAtThePortal)
{
    const struct
    {
        const char* name;
        std::string fields;
        std::string sent;
    } cases[] = {
        {"chunked", "Transfer-Encoding: chunked\r\n", "5\r\nhello\r\n10\r\nonly part"},
        {"with a length", "Content-Length: 100\r\n", "only ten b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const int closedBefore = portal.closedConnections();
        RawClient client(proxy.port());
        client.send(head("POST /upload HTTP/1.1") + c.fields + "\r\n" + c.sent);
        client.closeSending();
        client.readToClose(std::chrono::seconds(10));
        EXPECT_TRUE(waitUntil([&] { return portal.closedConnections() > closedBefore; }))
            << "the portal connection was not closed";
    }
    const std::string forwarded = portal.received();
    EXPECT_FALSE(contains(forwarded, "\r\n0\r\n\r\n")) << forwarded;
    EXPECT_TRUE(contains(forwarded, "only ten b")) << forwarded;
}

// One header line now and then keeps no thread for longer than the bound of a request head.
TEST_F(HostileClients, ASlowRequestHeadEndsWithRequestTimeout)
{
    RawClient slow(proxy.port());
    slow.send(head("GET /local/rest/v1/ping HTTP/1.1"));
    std::future<std::string> answer =
        std::async(std::launch::async, [&] { return slow.readToClose(std::chrono::seconds(45)); });
    for (int i = 0; i < 8 && answer.wait_for(std::chrono::seconds(5)) == std::future_status::timeout; ++i) {
        try {
            slow.send("X-Slow-" + std::to_string(i) + ": 1\r\n");
        } catch (const Poco::Exception&) {
            break; // closed by the proxy
        }
    }
    const std::string text = answer.get();
    EXPECT_TRUE(startsWith(text, "HTTP/1.1 408 ")) << text;
    EXPECT_FALSE(contains(text, "<open>"));
}

std::string ping(unsigned short port, const std::string& head)
{
    RawClient client(port);
    client.send(head + "Connection: close\r\n\r\n");
    return client.readToClose(std::chrono::seconds(20));
}

// Idle connections, kept-alive ones and half-sent heads together hold no new client back.
TEST_F(HostileClients, HeldConnectionsDoNotStopANewClient)
{
    std::vector<std::unique_ptr<RawClient>> held;
    for (int i = 0; i < 100; ++i)
        held.push_back(std::make_unique<RawClient>(proxy.port()));
    for (int i = 0; i < 20; ++i) {
        held.push_back(std::make_unique<RawClient>(proxy.port()));
        held.back()->send(head("GET /local/rest/v1/ping HTTP/1.1") + "\r\n");
    }
    for (int i = 0; i < 20; ++i) {
        held.push_back(std::make_unique<RawClient>(proxy.port()));
        held.back()->send(head("GET /local/rest/v1/ping HTTP/1.1"));
    }
    const std::string answer = ping(proxy.port(), head("GET /local/rest/v1/ping HTTP/1.1"));
    EXPECT_TRUE(startsWith(answer, "HTTP/1.1 204 ")) << answer;
}

TEST_F(HostileClients, TwoHundredSimultaneousPingsAreAllAnswered)
{
    std::vector<std::future<std::string>> answers;
    const std::string request = head("GET /local/rest/v1/ping HTTP/1.1");
    for (int i = 0; i < 200; ++i)
        answers.push_back(std::async(std::launch::async, [&] { return ping(proxy.port(), request); }));
    int answered = 0;
    for (auto& answer : answers)
        answered += startsWith(answer.get(), "HTTP/1.1 204 ") ? 1 : 0;
    EXPECT_EQ(answered, 200);
}

} // namespace
