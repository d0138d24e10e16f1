#include "crypto/engine/crypto_engine.h"
#include "crypto/errors/exception.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/tls_error_codes.h"
#include "openssl_server.h"
#include "socket_transport.h"
#include "support/command.h"
#include "support/test_pki.h"
#include "tls_test_helpers.h"

#include <gtest/gtest.h>

#include <stdlib.h>

namespace err = nxcrypto::csp::err;
using testsupport::TestPki;

namespace {

const char* const kPin = "12345678";
const char* const kEngineConfig = R"({"storageType": "HD", "keyName": "tls user", "caStore": "ROOT",
                                      "trustStore": "velmar_portal_proxy_trust"})";

void admin(const std::vector<std::string>& arguments)
{
    std::vector<std::string> command = {VPP_NXCSP_ADMIN};
    command.insert(command.end(), arguments.begin(), arguments.end());
    const testsupport::CommandResult result = testsupport::runCommand(command);
    if (result.exitStatus != 0)
        throw std::runtime_error("nxcsp-admin failed: " + result.errors);
}

// A provider root of its own holding the user's key (with a PIN) and the test root in ROOT,
// as a workstation set up with nxcsp-admin has them.
class EngineTls : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        const TestPki& pki = TestPki::instance();
        const std::string root = pki.makeTemporaryDirectory("nxcsp").string();
        setenv("NXCSP_ROOT", root.c_str(), 1);
        admin({"container", "import", "tls user", "--key", pki.file("user.key.pem").string(), "--cert",
               pki.file("user.pem").string(), "--pin", kPin});
        admin({"store", "add", "ROOT", pki.file("root.pem").string()});
    }

    void SetUp() override
    {
        engine = nxcrypto::createCryptoEngine("CryptoProCSP");
        engine->init(kEngineConfig);
    }

    QSharedPointer<nxcrypto::DataStream> connect(const OpenSslServer& server, const QString& serverName = "localhost")
    {
        return engine->createTlsStream(QSharedPointer<SocketTransport>::create(server.port(), serverName));
    }

    QSharedPointer<nxcrypto::CryptoEngine> engine;
};

TEST_F(EngineTls, ServerThatAsksNoCertificateIsReachedWithTheKeyLocked)
{
    OpenSslServer server;
    const auto stream = connect(server);
    EXPECT_EQ(stream->write("locked key, no request\n"), 23);
    EXPECT_TRUE(server.waitForLog("locked key, no request"));
}

TEST_F(EngineTls, CertificateRequestBeforeTheKeyIsUnlockedRaisesClientAuthNeeded)
{
    OpenSslServer server({"-verify", "2"});
    try {
        connect(server);
        FAIL() << "the handshake went on without the certificate";
    } catch (const nxcrypto::ClientAuthNeeded& e) {
        EXPECT_STREQ(e.what(), "Client auth needed");
    }
}

TEST_F(EngineTls, EngineWithoutAKeyReachesServersThatAskNothingAndNeedsAuthForTheOthers)
{
    engine = nxcrypto::createCryptoEngine("CryptoProCSP"); // no key configured: not initialized
    OpenSslServer open;
    EXPECT_EQ(connect(open)->write("no key\n"), 7);
    EXPECT_TRUE(open.waitForLog("no key"));
    OpenSslServer asking({"-verify", "2"});
    EXPECT_THROW(connect(asking), nxcrypto::ClientAuthNeeded);
}

TEST_F(EngineTls, UnlockedKeyAnswersTheCertificateRequest)
{
    OpenSslServer server({"-Verify", "2"});
    engine->setKeyPass(kPin);
    const auto stream = connect(server);
    EXPECT_EQ(stream->write("unlocked\n"), 9);
    ASSERT_TRUE(server.waitForLog("unlocked")) << server.log();
    EXPECT_NE(server.log().find("Client certificate\n" + certificatePem("user.pem")), std::string::npos);
}

TEST_F(EngineTls, ServerOutsideTheWorkstationTrustOrNamedOtherwiseIsRefused)
{
    const TestPki& pki = TestPki::instance();
    const std::filesystem::path directory = pki.makeTemporaryDirectory("self-signed");
    const std::string certificate = (directory / "server.pem").string();
    const std::string key = (directory / "server.key.pem").string();
    const testsupport::CommandResult made =
        testsupport::runCommand({"openssl",      "req",
                                 "-x509",        "-engine",
                                 "gost",         "-newkey",
                                 "gost2012_256", "-pkeyopt",
                                 "paramset:A",   "-nodes",
                                 "-keyout",      key,
                                 "-out",         certificate,
                                 "-subj",        "/CN=localhost",
                                 "-addext",      "subjectAltName=DNS:localhost,IP:127.0.0.1",
                                 "-addext",      "extendedKeyUsage=serverAuth",
                                 "-days",        "30"});
    ASSERT_EQ(made.exitStatus, 0) << made.errors;

    const struct
    {
        std::string label;
        std::vector<std::string> serverArguments;
        QString serverName;
        uint32_t error;
    } cases[] = {
        {"self-signed certificate", {"-cert", certificate, "-key", key}, "localhost", err::kSecEUntrustedRoot},
        {"certificate of another host", {}, "portal.example", err::kSecEWrongPrincipal},
    };
    engine->setKeyPass(kPin);
    for (const auto& c : cases) {
        OpenSslServer server(c.serverArguments);
        const auto stream = connect(server, c.serverName);
        EXPECT_EQ(nxcrypto::csp::getLastError(), c.error) << c.label;
        EXPECT_EQ(stream->write("must not be sent\n"), -1) << c.label;
        EXPECT_TRUE(stream->read(4096).isEmpty()) << c.label;
    }
}

} // namespace
