// CRLs fetched from the certificates' distribution points, within the time-out.

#include "crypto_test_support.h"

#include "crypto/platform/cert_context.h"
#include "crypto/platform/cert_store.h"
#include "crypto/platform/key_container.h"

#include <Poco/Net/HTTPRequestHandler.h>
#include <Poco/Net/HTTPRequestHandlerFactory.h>
#include <Poco/Net/HTTPServer.h>
#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/HTTPServerResponse.h>
#include <Poco/Net/ServerSocket.h>

#include <QBuffer>
#include <QElapsedTimer>
#include <QFile>

#include <atomic>
#include <chrono>
#include <thread>

using namespace crypto_test;
using namespace nxcrypto;

namespace {

// Serves <pki>/<name>.crl for GET /<name>.crl; stalls instead when asked to.
class CrlServer
{
public:
    CrlServer() : socket_(Poco::Net::SocketAddress("127.0.0.1", 0)) {}
    ~CrlServer()
    {
        if (server_)
            server_->stopAll(true);
    }

    quint16 port() const { return socket_.address().port(); }

    void start(const QString& directory)
    {
        directory_ = directory;
        auto* parameters = new Poco::Net::HTTPServerParams;
        parameters->setMaxThreads(4);
        server_.reset(new Poco::Net::HTTPServer(new Factory(this), socket_, parameters));
        server_->start();
    }

    std::atomic<int> requests{0};
    std::atomic<bool> stall{false};

private:
    class Handler : public Poco::Net::HTTPRequestHandler
    {
    public:
        explicit Handler(CrlServer* owner) : owner_(owner) {}
        void handleRequest(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) override
        {
            ++owner_->requests;
            if (owner_->stall) {
                std::this_thread::sleep_for(std::chrono::seconds(3));
                return;
            }
            const QString path = owner_->directory_ + QString::fromStdString(request.getURI());
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly)) {
                response.setStatusAndReason(Poco::Net::HTTPResponse::HTTP_NOT_FOUND);
                response.send();
                return;
            }
            const QByteArray body = file.readAll();
            response.setContentLength(body.size());
            response.send().write(body.constData(), body.size());
        }

    private:
        CrlServer* owner_;
    };

    class Factory : public Poco::Net::HTTPRequestHandlerFactory
    {
    public:
        explicit Factory(CrlServer* owner) : owner_(owner) {}
        Poco::Net::HTTPRequestHandler* createRequestHandler(const Poco::Net::HTTPServerRequest&) override
        {
            return new Handler(owner_);
        }

    private:
        CrlServer* owner_;
    };

    Poco::Net::ServerSocket socket_;
    std::unique_ptr<Poco::Net::HTTPServer> server_;
    QString directory_;
};

// A PKI of its own whose distribution points name a local server; each suite has
// its own, so that no suite meets CRLs another one fetched.
template <int Suite>
class FetchFixture : public ProviderRootTest
{
protected:
    static void SetUpTestSuite()
    {
        server = new CrlServer;
        pki = new QTemporaryDir;
        TestPki::generate(pki->path(), QStringLiteral("http://127.0.0.1:%1").arg(server->port()));
        server->start(pki->path());
    }
    static void TearDownTestSuite()
    {
        delete server;
        delete pki;
    }

    void SetUp() override
    {
        ProviderRootTest::SetUp();
        server->stall = false;
        addFile(QStringLiteral("ROOT"), QStringLiteral("root.cer"));
        addFile(QStringLiteral("CA"), QStringLiteral("intermediate.cer"));
    }

    void addFile(const QString& store, const QString& name)
    {
        const QByteArray der = readAll(pki->filePath(name));
        csp::CertStore* opened = csp::openSystemStore(store.toStdString());
        csp::CertContext* certificate = csp::createCertificateContext(reinterpret_cast<const uint8_t*>(der.constData()),
                                                                      static_cast<size_t>(der.size()));
        ASSERT_TRUE(opened && certificate);
        csp::addCertificateToStore(opened, certificate, csp::kStoreAddReplaceExisting);
        csp::freeCertificateContext(certificate);
        csp::closeStore(opened);
    }

    void importKey(const QString& name)
    {
        const QByteArray key = readAll(pki->filePath(name + QStringLiteral(".key.pem")));
        const QByteArray certificate = readAll(pki->filePath(name + QStringLiteral(".cer")));
        ASSERT_TRUE(csp::importContainerKey(name.toStdString(), false, csp::kAtSignature, key.toStdString(),
                                            std::vector<uint8_t>(certificate.begin(), certificate.end()),
                                            std::string()));
    }

    SignInfoPtr signAndVerify(const QString& signerName, int timeout)
    {
        importKey(signerName);
        const auto engine = engineFor(signerName, {{QStringLiteral("urlRetrieveTimeout"), timeout}});
        QBuffer data;
        data.setData("данные");
        data.open(QIODevice::ReadOnly);
        QBuffer signature;
        signature.open(QIODevice::ReadWrite);
        engine->sign(&data, &signature);
        data.seek(0);
        signature.seek(0);
        return engine->verifySign(
            QList<QIODevice*>{&data}, QList<QIODevice*>{&signature},
            [](const CertificateDescriptionPtr&) { return CertificateState::Valid; }, QDateTime());
    }

    static CrlServer* server;
    static QTemporaryDir* pki;
};

template <int Suite>
CrlServer* FetchFixture<Suite>::server = nullptr;
template <int Suite>
QTemporaryDir* FetchFixture<Suite>::pki = nullptr;

using RevocationFetch = FetchFixture<0>;
using StalledDistributionPoint = FetchFixture<1>;

} // namespace

TEST_F(RevocationFetch, CrlsComeFromTheDistributionPointsWhenNoStoreHasThem)
{
    const SignInfoPtr good = signAndVerify(QStringLiteral("user"), 5000);
    EXPECT_EQ(good->certificateState(), CertificateState::Valid) << good->techInfo().toStdString();
    EXPECT_GE(server->requests.load(), 1);
    const SignInfoPtr revoked = signAndVerify(QStringLiteral("revoked"), 5000);
    EXPECT_EQ(revoked->certificateState(), CertificateState::Revoked) << revoked->techInfo().toStdString();
}

TEST_F(StalledDistributionPoint, CostsNoMoreThanTheTimeOut)
{
    server->stall = true;
    QElapsedTimer timer;
    timer.start();
    const SignInfoPtr info = signAndVerify(QStringLiteral("user"), 500);
    EXPECT_LT(timer.elapsed(), 2500);
    EXPECT_GE(server->requests.load(), 1);
    EXPECT_EQ(info->certificateState(), CertificateState::CrlNotFound) << info->techInfo().toStdString();
}
