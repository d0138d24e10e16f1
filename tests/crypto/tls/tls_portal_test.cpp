#include "socket_transport.h"
#include "support/portal_test_suite.h"
#include "support/stand_in_portal_process.h"
#include "tls_test_helpers.h"
#include "tools/stand-in-portal/pseudo_random_bytes.h"
#include "tools/stand-in-portal/sha256.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <gtest/gtest.h>

namespace csp = nxcrypto::csp;
using testsupport::StandInPortalProcess;

namespace {

QByteArray request(const std::string& method, const std::string& target, const QByteArray& body = {})
{
    QByteArray text =
        QByteArray::fromStdString(method + " " + target + " HTTP/1.1\r\nHost: localhost\r\nConnection: close\r\n");
    if (!body.isEmpty() || method == "POST")
        text += "Content-Length: " + QByteArray::number(body.size()) + "\r\n";
    return text + "\r\n" + body;
}

QSharedPointer<csp::TlsDataStreamImpl> connectedStream(const StandInPortalProcess& portal, csp::TlsClientConfig config)
{
    const auto stream = makeStream(std::move(config));
    if (!stream->connect(QSharedPointer<SocketTransport>::create(portal.port(), "localhost")))
        return nullptr;
    return stream;
}

QSharedPointer<csp::TlsDataStreamImpl> connectedStream(const StandInPortalProcess& portal)
{
    return connectedStream(portal, configTrustingTestRoot());
}

QByteArray joined(const std::vector<QByteArray>& pieces)
{
    QByteArray whole;
    for (const QByteArray& piece : pieces)
        whole += piece;
    return whole;
}

QByteArray bodyOf(const QByteArray& response) { return response.mid(response.indexOf("\r\n\r\n") + 4); }

QByteArray testBytes(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    standin::PseudoRandomBytes().fill(bytes.data(), static_cast<std::size_t>(size));
    return bytes;
}

class TlsStreamWithPortal : public testsupport::OptionalClientAuthPortalSuite
{};

TEST_F(TlsStreamWithPortal, EachReadGivesOneRecordSoASplitChunkedEndArrivesInTwoReads)
{
    const auto stream = connectedStream(portal());
    ASSERT_TRUE(stream);
    const QByteArray get = request("GET", "/test/chunks?sizes=1,100,70000&split=1");
    ASSERT_EQ(stream->write(get), get.size());
    const std::vector<QByteArray> pieces = readUntilEnd(*stream, 1 << 20);
    ASSERT_GE(pieces.size(), 3u);
    for (const QByteArray& piece : pieces)
        EXPECT_LE(piece.size(), 16384);
    // The last chunk and the trailer's end went out in two writes, so they come in two reads.
    EXPECT_TRUE(pieces[pieces.size() - 2].endsWith("\r\n0\r\n"));
    EXPECT_EQ(pieces.back(), "\r\n");
    const QByteArray bytes = testBytes(70101);
    EXPECT_TRUE(bodyOf(joined(pieces))
                == "1\r\n" + bytes.left(1) + "\r\n64\r\n" + bytes.mid(1, 100) + "\r\n11170\r\n" + bytes.mid(101)
                    + "\r\n0\r\n\r\n");
}

TEST_F(TlsStreamWithPortal, ReadsNeverExceedWhatIsAskedAndTheServerCloseEndsThem)
{
    const auto stream = connectedStream(portal());
    ASSERT_TRUE(stream);
    stream->write(request("GET", "/test/download?size=100000"));
    const std::vector<QByteArray> pieces = readUntilEnd(*stream, 1000);
    for (const QByteArray& piece : pieces)
        ASSERT_LE(piece.size(), 1000);
    EXPECT_TRUE(bodyOf(joined(pieces)) == testBytes(100000));
    // The portal closed the TLS connection after its answer: reads stay at the end.
    EXPECT_TRUE(stream->read(1000).isEmpty());
    EXPECT_EQ(stream->write("more"), -1) << "a closed stream takes nothing";
}

TEST_F(TlsStreamWithPortal, UploadOfManyRecordsArrivesWhole)
{
    const auto stream = connectedStream(portal());
    ASSERT_TRUE(stream);
    const QByteArray body = testBytes(5'000'001);
    const QByteArray post = request("POST", "/test/upload", body);
    ASSERT_EQ(stream->write(post), post.size());
    const QJsonObject answer = QJsonDocument::fromJson(bodyOf(joined(readUntilEnd(*stream, 1 << 20)))).object();
    standin::Sha256 digest;
    digest.update(body.constData(), static_cast<std::size_t>(body.size()));
    EXPECT_EQ(answer["bodyLength"].toInt(), body.size());
    EXPECT_EQ(answer["bodySha256"].toString().toStdString(), digest.hexDigest());
}

TEST(TlsSessionResumption, ResumedConnectionsSkipTheCertificateRequestOnlyForTheSameKey)
{
    StandInPortalProcess portal({"--client-auth", "require"});
    int asked = 0;
    const auto configWithKey = [&asked](const std::string& key) {
        csp::TlsClientConfig config = configTrustingTestRoot();
        config.clientCredentials = [&asked] {
            ++asked;
            return userCredentials();
        };
        config.sessionKey = key;
        return config;
    };
    const struct
    {
        std::string key;
        int askedAfter;
    } connections[] = {{"first identity", 1}, {"first identity", 1}, {"second identity", 2}, {"first identity", 2}};
    for (const auto& c : connections) {
        const auto stream = connectedStream(portal, configWithKey(c.key));
        ASSERT_TRUE(stream) << c.key;
        EXPECT_EQ(asked, c.askedAfter) << c.key;
        stream->write(request("GET", "/webclient/"));
        EXPECT_TRUE(joined(readUntilEnd(*stream, 1 << 20)).contains("Signed in as CN=Иванов Иван Иванович")) << c.key;
    }
}

} // namespace
