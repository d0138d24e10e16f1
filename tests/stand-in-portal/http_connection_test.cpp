#include "crypto/platform/openssl_init.h"
#include "support/portal_test_suite.h"
#include "tools/stand-in-portal/sha256.h"
#include "support/stand_in_portal_process.h"
#include "support/test_pki.h"

#include <Poco/Net/Context.h>
#include <Poco/Net/SSLException.h>
#include <Poco/Net/SecureStreamSocket.h>
#include <Poco/Net/SocketAddress.h>

#include <gtest/gtest.h>

#include <chrono>
#include <stdexcept>

#include <sys/socket.h>

using testsupport::StandInPortalProcess;
using testsupport::TestPki;

namespace {

// A TLS connection to the portal that sends bytes no HTTP client would send.
class RawTlsConnection
{
public:
    explicit RawTlsConnection(unsigned short port)
    {
        if (!nxcrypto::csp::initOpenSsl())
            throw std::runtime_error(nxcrypto::csp::initOpenSslError());
        const TestPki& pki = TestPki::instance();
        const Poco::Net::Context::Ptr context =
            new Poco::Net::Context(Poco::Net::Context::TLS_CLIENT_USE, "", "", pki.file("ca-bundle.pem").string(),
                                   Poco::Net::Context::VERIFY_RELAXED, 9, false,
                                   "IANA-GOST2012-GOST8912-GOST8912:LEGACY-GOST2012-GOST8912-GOST8912");
        m_socket = Poco::Net::SecureStreamSocket(Poco::Net::SocketAddress("127.0.0.1", port), "localhost", context);
        m_socket.setReceiveTimeout(Poco::Timespan(20, 0));
        m_socket.completeHandshake();
    }

    void send(const std::string& bytes) { m_socket.sendBytes(bytes.data(), static_cast<int>(bytes.size())); }
    // The portal reads the end of the connection where the request would go on. POCO's TLS
    // socket has no half close, so the TCP connection is half closed under it.
    void endSending() { ::shutdown(m_socket.impl()->sockfd(), SHUT_WR); }

    // What the portal sends until it closes the connection, with or without a TLS close; throws
    // when it keeps the connection open.
    std::string receiveAll()
    {
        std::string received;
        char buffer[16384];
        try {
            while (const int count = m_socket.receiveBytes(buffer, sizeof buffer))
                received.append(buffer, static_cast<std::size_t>(count));
        } catch (const Poco::Net::SSLException&) {
            // The portal closed the TCP connection without a close_notify.
        }
        return received;
    }

private:
    Poco::Net::SecureStreamSocket m_socket;
};

// headers: each line with its line break.
std::string post(const std::string& target, const std::string& headers)
{
    return "POST " + target + " HTTP/1.1\r\nHost: localhost\r\n" + headers + "\r\n";
}

// Asked last on a connection, so that the portal closes it after the answer.
const std::string kClosingEcho = "GET /test/echo?last HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n\r\n";

// Bytes left of a body would make the request line of kClosingEcho another one.
bool answeredClosingEcho(const std::string& answers)
{
    return answers.find("\"method\": \"GET\"") != std::string::npos
        && answers.find("\"target\": \"/test/echo?last\"") != std::string::npos;
}

std::string sha256(const std::string& text)
{
    standin::Sha256 digest;
    digest.update(text.data(), text.size());
    return digest.hexDigest();
}

std::size_t countOf(const std::string& text, const std::string& part)
{
    std::size_t count = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++count;
    return count;
}

class HttpConnection : public testsupport::OptionalClientAuthPortalSuite
{
protected:
    static std::string exchange(const std::string& bytes, bool endSending = false)
    {
        RawTlsConnection connection(portal().port());
        connection.send(bytes);
        if (endSending)
            connection.endSending();
        return connection.receiveAll();
    }
};

TEST_F(HttpConnection, BodiesEndWhereTheNextRequestStarts)
{
    const struct
    {
        std::string label;
        std::string framing;
        std::string wire;
        std::string body;
    } cases[] = {
        {"chunked with an extension and a trailer", "Transfer-Encoding: chunked\r\n",
         "5;name=value\r\nhello\r\n1A\r\nabcdefghijklmnopqrstuvwxyz\r\n0\r\nX-Trailer: t\r\n\r\n",
         "helloabcdefghijklmnopqrstuvwxyz"},
        {"fixed length", "Content-Length: 10\r\n", "0123456789", "0123456789"},
        {"no framing, so no body", "", "", ""},
    };
    for (const auto& c : cases) {
        const std::string answers = exchange(post("/test/upload", c.framing) + c.wire + kClosingEcho);
        EXPECT_EQ(answers.find("HTTP/1.1 200 OK"), 0u) << c.label << ": " << answers;
        EXPECT_NE(answers.find("\"bodyLength\": " + std::to_string(c.body.size())), std::string::npos) << c.label;
        EXPECT_NE(answers.find(sha256(c.body)), std::string::npos) << c.label << ": " << answers;
        EXPECT_EQ(countOf(answers, "HTTP/1.1 200 OK"), 2u) << c.label << ": " << answers;
        EXPECT_TRUE(answeredClosingEcho(answers)) << c.label << ": " << answers;
    }
}

TEST_F(HttpConnection, ExpectContinueIsAnsweredOnceBeforeTheAnswer)
{
    const std::string answers =
        exchange(post("/test/upload", "Expect: 100-continue\r\nContent-Length: 3\r\n") + "abc" + kClosingEcho);
    EXPECT_EQ(answers.find("HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK"), 0u) << answers;
    EXPECT_EQ(countOf(answers, "100 Continue"), 1u) << answers;
    EXPECT_NE(answers.find(sha256("abc")), std::string::npos) << answers;
}

TEST_F(HttpConnection, BrokenFramingIsRefusedAndEndsTheConnection)
{
    const struct
    {
        std::string framing;
        std::string wire;
        std::string statusLine;
    } cases[] = {
        {"Content-Length: -1\r\n", "", "HTTP/1.1 400 Bad Request"},
        // POCO refuses these before any handler sees the request, and gives no answer.
        {"Content-Length: 12a\r\n", "", ""},
        {"Content-Length: 99999999999999999999\r\n", "", ""},
        {"Transfer-Encoding: gzip\r\n", "", "HTTP/1.1 501 Not Implemented"},
        {"Transfer-Encoding: chunked\r\n", "zz\r\n", "HTTP/1.1 400 Bad Request"},
        {"Transfer-Encoding: chunked\r\n", "\r\n", "HTTP/1.1 400 Bad Request"},
        {"Transfer-Encoding: chunked\r\n", "2\r\nabc\r\n0\r\n\r\n", "HTTP/1.1 400 Bad Request"},
        {"Transfer-Encoding: chunked\r\n", std::string(5000, '1'), "HTTP/1.1 400 Bad Request"},
    };
    for (const auto& c : cases) {
        // The request after the broken one must not be read: its start is unknown.
        const std::string answers = exchange(post("/test/upload", c.framing) + c.wire + kClosingEcho);
        const std::string label = c.framing + " with " + c.wire.substr(0, 20);
        EXPECT_EQ(answers.substr(0, c.statusLine.size()), c.statusLine) << label << ": " << answers;
        EXPECT_EQ(answers.find("/test/echo?last"), std::string::npos) << label << ": " << answers;
        if (!c.statusLine.empty()) {
            EXPECT_NE(answers.find("Connection: Close"), std::string::npos) << label << ": " << answers;
        }
    }
}

TEST_F(HttpConnection, ABodyCutShortGetsNoAnswer)
{
    const struct
    {
        std::string framing;
        std::string wire;
    } cases[] = {
        {"Content-Length: 10\r\n", "01234"},
        {"Transfer-Encoding: chunked\r\n", "a\r\n01234"},
        {"Transfer-Encoding: chunked\r\n", "5\r\nhello\r\n"},
        {"Transfer-Encoding: chunked\r\n", "0\r\nX-Trailer: t\r\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(exchange(post("/test/upload", c.framing) + c.wire, true), "") << c.framing << " with " << c.wire;
}

TEST_F(HttpConnection, AnUnreadBodyIsSkippedUnlessItsFramingIsBroken)
{
    const struct
    {
        std::string label;
        std::string request;
        std::string statusLine;
        bool connectionKept;
    } cases[] = {
        {"a refused request", post("/no/such/page", "Content-Length: 5\r\n") + "hello", "HTTP/1.1 404 Not Found", true},
        {"an answered request",
         "GET /test/download?size=3 HTTP/1.1\r\nHost: localhost\r\nContent-Length: 5\r\n\r\nhello", "HTTP/1.1 200 OK",
         true},
        {"broken framing", post("/no/such/page", "Transfer-Encoding: chunked\r\n") + "zz\r\n", "HTTP/1.1 404 Not Found",
         false},
    };
    for (const auto& c : cases) {
        const std::string answers = exchange(c.request + kClosingEcho);
        EXPECT_EQ(answers.find(c.statusLine), 0u) << c.label << ": " << answers;
        EXPECT_EQ(answeredClosingEcho(answers), c.connectionKept) << c.label << ": " << answers;
    }
}

TEST_F(HttpConnection, AChunkedAnswerKeepsTheConnection)
{
    const std::string answers =
        exchange("GET /test/download?size=70000&chunked=1 HTTP/1.1\r\nHost: localhost\r\n\r\n" + kClosingEcho);
    EXPECT_EQ(answers.find("HTTP/1.1 200 OK"), 0u) << answers.substr(0, 200);
    EXPECT_NE(answers.find("Transfer-Encoding: chunked"), std::string::npos) << answers.substr(0, 200);
    EXPECT_NE(answers.find("\r\n0\r\n\r\nHTTP/1.1 200 OK"), std::string::npos);
    EXPECT_TRUE(answeredClosingEcho(answers));
}

TEST(PortalIoTimeout, AClientThatStopsInsideItsBodyIsDropped)
{
    StandInPortalProcess portal({"--client-auth", "optional", "--io-timeout", "1"});
    for (const std::string framing :
         {"Content-Length: 10\r\n\r\n01234", "Transfer-Encoding: chunked\r\n\r\na\r\n01234"}) {
        RawTlsConnection connection(portal.port());
        const auto start = std::chrono::steady_clock::now();
        connection.send("POST /test/upload HTTP/1.1\r\nHost: localhost\r\n" + framing);
        EXPECT_EQ(connection.receiveAll(), "") << framing;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10)) << framing;
    }
}

TEST(PortalStop, StopsPromptlyWithAConnectionPastItsHandshake)
{
    StandInPortalProcess portal({"--client-auth", "optional"});
    const RawTlsConnection connection(portal.port());
    EXPECT_EQ(portal.process().stop(std::chrono::seconds(5)), 0);
}

} // namespace
