#include "crypto/errors/exception.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/tls_error_codes.h"
#include "openssl_server.h"
#include "socket_transport.h"
#include "support/test_pki.h"
#include "tls_test_helpers.h"

#include <Poco/Net/ServerSocket.h>

#include <gtest/gtest.h>

#include <stdexcept>
#include <thread>

namespace csp = nxcrypto::csp;
namespace err = nxcrypto::csp::err;

namespace {

QSharedPointer<SocketTransport> transportTo(unsigned short port, const QString& serverName = "localhost",
                                            qint64 maxReadPiece = 1 << 30)
{
    return QSharedPointer<SocketTransport>::create(port, serverName, maxReadPiece);
}

// Credentials as the engine gives them before the key is unlocked, counting the calls.
std::function<csp::TlsClientCredentials()> lockedKeyCredentials(int& asked)
{
    return [&asked]() -> csp::TlsClientCredentials {
        ++asked;
        throw nxcrypto::ClientAuthNeeded();
    };
}

TEST(TlsStream, ServerThatAsksNoCertificateNeverNeedsTheCredentials)
{
    OpenSslServer server;
    csp::TlsClientConfig config = configTrustingTestRoot();
    int asked = 0;
    config.clientCredentials = lockedKeyCredentials(asked);
    const auto stream = makeStream(std::move(config));
    ASSERT_TRUE(stream->connect(transportTo(server.port())));
    EXPECT_EQ(asked, 0);
    EXPECT_EQ(stream->write("hello over GOST TLS\n"), 20);
    EXPECT_TRUE(server.waitForLog("hello over GOST TLS"));
}

TEST(TlsStream, CertificateRequestRaisesWhatTheCredentialsRaise)
{
    OpenSslServer server({"-Verify", "2"});
    csp::TlsClientConfig config = configTrustingTestRoot();
    int asked = 0;
    config.clientCredentials = lockedKeyCredentials(asked);
    const auto stream = makeStream(std::move(config));
    EXPECT_THROW(stream->connect(transportTo(server.port())), nxcrypto::ClientAuthNeeded);
    EXPECT_EQ(asked, 1);
}

TEST(TlsStream, WithoutCredentialsTheClientAnswersACertificateRequestWithNone)
{
    const struct
    {
        std::string request;
        bool accepted;
    } cases[] = {{"-verify", true}, {"-Verify", false}};
    for (const auto& c : cases) {
        OpenSslServer server({c.request, "2"});
        const auto stream = makeStream(configTrustingTestRoot());
        EXPECT_EQ(stream->connect(transportTo(server.port())), c.accepted) << c.request;
    }
}

TEST(TlsStream, ServerThatAsksSeesTheClientCertificate)
{
    OpenSslServer server({"-Verify", "2"});
    csp::TlsClientConfig config = configTrustingTestRoot();
    config.clientCredentials = userCredentials;
    const auto stream = makeStream(std::move(config));
    ASSERT_TRUE(stream->connect(transportTo(server.port()))) << server.log();
    EXPECT_EQ(stream->write("ping\n"), 5);
    ASSERT_TRUE(server.waitForLog("ping"));
    EXPECT_NE(server.log().find("Client certificate\n" + certificatePem("user.pem")), std::string::npos)
        << server.log();
}

TEST(TlsStream, ClientCertificateGoesOutWithTheIssuersTheClientKnows)
{
    // This server checks clients against the root alone: it needs the user's intermediate.
    const std::string rootOnly = testsupport::TestPki::instance().file("root.pem").string();
    for (const bool intermediateKnown : {true, false}) {
        OpenSslServer server({"-Verify", "2", "-CAfile", rootOnly});
        csp::TlsClientConfig config = configTrustingTestRoot();
        if (intermediateKnown)
            config.intermediates.push_back(loadCertificate("intermediate.pem"));
        config.clientCredentials = userCredentials;
        const auto stream = makeStream(std::move(config));
        EXPECT_EQ(stream->connect(transportTo(server.port())), intermediateKnown) << server.log();
    }
}

TEST(TlsStream, LargeWriteGoesOutInRecordsOfAtMost16384PlainBytes)
{
    OpenSslServer server;
    const auto transport = transportTo(server.port());
    const auto stream = makeStream(configTrustingTestRoot());
    ASSERT_TRUE(stream->connect(transport));
    const std::size_t handshakeWrites = transport->writes().size();

    QByteArray payload;
    for (int line = 0; payload.size() < 40000; ++line)
        payload += QByteArray::number(line).rightJustified(8, '0') + " of the large write\n";
    payload.truncate(40000);
    EXPECT_EQ(stream->write(payload), 40000);

    QByteArray written;
    for (std::size_t i = handshakeWrites; i < transport->writes().size(); ++i)
        written += transport->writes()[i];
    const std::vector<int> records = applicationRecordLengths(written);
    ASSERT_EQ(records.size(), 3u);
    // The cipher adds the same overhead to every record, so lengths differ as the plain text does.
    EXPECT_EQ(records[0], records[1]);
    EXPECT_EQ(records[0] - records[2], 16384 - 7232);
    EXPECT_TRUE(server.waitForLog(payload.toStdString())) << "the server did not receive the whole write";
}

TEST(TlsStream, ServersThatCannotBeTrustedAreRefused)
{
    const struct
    {
        std::string label;
        std::vector<std::string> anchors;
        std::string serverName;
        bool serverSendsChain;
        uint32_t error;
    } cases[] = {
        {"chain to another root", {"rsa.pem"}, "localhost", true, err::kSecEUntrustedRoot},
        {"no trust at all", {}, "localhost", true, err::kSecEUntrustedRoot},
        {"intermediate neither sent nor known", {"root.pem"}, "localhost", false, err::kSecEUntrustedRoot},
        {"another host name", {"root.pem"}, "portal.example", true, err::kSecEWrongPrincipal},
        {"another address", {"root.pem"}, "127.0.0.2", true, err::kSecEWrongPrincipal},
        {"no name to check", {"root.pem"}, "", true, err::kSecEWrongPrincipal},
    };
    for (const auto& c : cases) {
        OpenSslServer server({}, c.serverSendsChain);
        csp::TlsClientConfig config;
        for (const std::string& anchor : c.anchors)
            config.trustAnchors.push_back(loadCertificate(anchor));
        config.serverName = c.serverName;
        const auto stream = makeStream(std::move(config));
        EXPECT_FALSE(stream->connect(transportTo(server.port(), QString::fromStdString(c.serverName)))) << c.label;
        EXPECT_EQ(csp::getLastError(), c.error) << c.label;
        EXPECT_EQ(stream->write("GET / HTTP/1.0\r\n\r\n"), -1) << c.label;
        EXPECT_TRUE(stream->read(4096).isEmpty()) << c.label;
    }
}

TEST(TlsStream, ServersThatProveTheirNameAreAccepted)
{
    const struct
    {
        std::string label;
        std::string serverName;
        bool serverSendsChain;
        bool intermediateKnown;
    } cases[] = {
        {"host name in the certificate", "localhost", true, false},
        {"address in the certificate", "127.0.0.1", true, false},
        {"missing intermediate taken from the CA store", "localhost", false, true},
    };
    for (const auto& c : cases) {
        OpenSslServer server({}, c.serverSendsChain);
        csp::TlsClientConfig config = configTrustingTestRoot(c.serverName);
        if (c.intermediateKnown)
            config.intermediates.push_back(loadCertificate("intermediate.pem"));
        const auto stream = makeStream(std::move(config));
        EXPECT_TRUE(stream->connect(transportTo(server.port(), QString::fromStdString(c.serverName)))) << c.label;
    }
}

TEST(TlsStream, HandshakeArrivingInTinyPiecesCompletes)
{
    OpenSslServer server({"-Verify", "2"});
    const auto transport = transportTo(server.port(), "localhost", 7);
    csp::TlsClientConfig config = configTrustingTestRoot();
    config.clientCredentials = userCredentials;
    const auto stream = makeStream(std::move(config));
    ASSERT_TRUE(stream->connect(transport));
    EXPECT_GT(transport->readCount(), 100); // the server's flight is well over 700 bytes
    EXPECT_EQ(stream->write("after tiny reads\n"), 17);
    EXPECT_TRUE(server.waitForLog("after tiny reads"));
}

TEST(TlsStream, TransportClosingDuringTheHandshakeFailsTheConnect)
{
    Poco::Net::ServerSocket listener(Poco::Net::SocketAddress("127.0.0.1", 0));
    std::thread closer([&listener] { listener.acceptConnection().close(); });
    const auto stream = makeStream(configTrustingTestRoot());
    EXPECT_FALSE(stream->connect(transportTo(listener.address().port())));
    closer.join();
    EXPECT_EQ(csp::getLastError(), err::kSecEIncompleteMessage);
    EXPECT_TRUE(stream->read(4096).isEmpty());
}

} // namespace
