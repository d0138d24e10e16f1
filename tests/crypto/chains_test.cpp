// Certificate chains of the layer: trust error bits for the cases a signer check meets.

#include "crypto_test_support.h"

#include "crypto/engine/csp_chain_wrappers.h"
#include "crypto/engine/csp_store_wrappers.h"

using namespace crypto_test;
using namespace nxcrypto;

namespace {

class Chains : public ProviderRootTest
{
protected:
    quint32 status(const QString& pkiName, const QString& additionalStore, quint32 flags,
                   const QDateTime& time = QDateTime())
    {
        const csp::StoreHandle store = certOpenSystemStore(additionalStore);
        const csp::CertContextHandle certificate = certFromBlob(TestPki::bytes(pkiName + QStringLiteral(".cer")));
        const csp::ChainHandle chain =
            certBuildChainEx(nullptr, store.get(), certificate.get(), chainParameters(2000), flags, time);
        return csp::chainErrorStatus(chain.get());
    }

    size_t length(const QString& pkiName, const QString& additionalStore)
    {
        const csp::StoreHandle store = certOpenSystemStore(additionalStore);
        const csp::CertContextHandle certificate = certFromBlob(TestPki::bytes(pkiName + QStringLiteral(".cer")));
        return certBuildChain(nullptr, store.get(), certificate.get(), 2000, QDateTime::currentDateTime(), false).size();
    }
};

const quint32 revocation = csp::kChainRevocationCheckChainExcludeRoot;

} // namespace

// The store "CA" supplies intermediates to every chain; these tests use stores of other names.
TEST_F(Chains, TrustStatusForTheSignerCases)
{
    addToStore(QStringLiteral("ROOT"), QStringLiteral("root.cer"));
    for (const char* file : {"intermediate.cer", "root.crl", "intermediate.crl"})
        addToStore(QStringLiteral("CHAIN"), QString::fromLatin1(file));
    addToStore(QStringLiteral("NOCRL"), QStringLiteral("intermediate.cer"));
    addToStore(QStringLiteral("UNTRUSTED"), QStringLiteral("intermediate.cer"));
    addToStore(QStringLiteral("UNTRUSTED"), QStringLiteral("root.cer"));
    struct Case
    {
        const char* pki;
        const char* store;
        quint32 flags;
        quint32 status;
    };
    const Case cases[] = {
        {"user", "CHAIN", 0, 0},
        {"user", "CHAIN", revocation, 0},
        {"user512", "CHAIN", revocation, 0},
        {"user2001", "CHAIN", revocation, 0},
        {"server", "CHAIN", revocation, 0},
        {"revoked", "CHAIN", revocation, csp::kTrustIsRevoked},
        {"revoked", "CHAIN", 0, 0},
        {"expired", "CHAIN", revocation, csp::kTrustIsNotTimeValid},
        {"expired-revoked", "CHAIN", revocation, csp::kTrustIsNotTimeValid | csp::kTrustIsRevoked},
        {"user", "NOCRL", revocation, csp::kTrustRevocationStatusUnknown | csp::kTrustIsOfflineRevocation},
        {"user", "NOCRL", 0, 0},
        {"user", "EMPTY", 0, csp::kTrustIsPartialChain},
        {"rsa", "CHAIN", 0, csp::kTrustIsUntrustedRoot},
    };
    for (const Case& c : cases)
        EXPECT_EQ(status(QString::fromLatin1(c.pki), QString::fromLatin1(c.store), c.flags), c.status)
            << c.pki << " " << c.store << " " << c.flags;
}

TEST_F(Chains, RootOutsideTheRootStoreIsUntrusted)
{
    addToStore(QStringLiteral("UNTRUSTED"), QStringLiteral("intermediate.cer"));
    addToStore(QStringLiteral("UNTRUSTED"), QStringLiteral("root.cer"));
    EXPECT_EQ(status(QStringLiteral("user"), QStringLiteral("UNTRUSTED"), 0), csp::kTrustIsUntrustedRoot);
    EXPECT_EQ(length(QStringLiteral("user"), QStringLiteral("UNTRUSTED")), 3u);
}

TEST_F(Chains, PartialChainGivesAnEmptyListAndACompleteOneLeafFirst)
{
    addToStore(QStringLiteral("ROOT"), QStringLiteral("root.cer"));
    EXPECT_EQ(length(QStringLiteral("user"), QStringLiteral("EMPTY")), 0u);
    // The CA store is where the default trust takes intermediates from.
    addToStore(QStringLiteral("CA"), QStringLiteral("intermediate.cer"));
    const csp::StoreHandle store = certOpenSystemStore(QStringLiteral("EMPTY"));
    const csp::CertContextHandle certificate = certFromBlob(TestPki::bytes(QStringLiteral("user.cer")));
    const auto chain = certBuildChain(nullptr, store.get(), certificate.get(), 2000, QDateTime(), true);
    ASSERT_EQ(chain.size(), 3u);
    EXPECT_TRUE(csp::certSameCertificate(chain[0].get(), certificate.get()));
    const QByteArray root = TestPki::bytes(QStringLiteral("root.cer"));
    EXPECT_EQ(csp::certEncoded(chain[2].get()), std::vector<uint8_t>(root.begin(), root.end()));
}

TEST_F(Chains, RaisedBuildErrorsNameTheStatus)
{
    addToStore(QStringLiteral("UNTRUSTED"), QStringLiteral("intermediate.cer"));
    addToStore(QStringLiteral("UNTRUSTED"), QStringLiteral("root.cer"));
    const csp::StoreHandle store = certOpenSystemStore(QStringLiteral("UNTRUSTED"));
    const csp::CertContextHandle certificate = certFromBlob(TestPki::bytes(QStringLiteral("user.cer")));
    EXPECT_EQ(errorOf([&] { certBuildChain(nullptr, store.get(), certificate.get(), 2000, QDateTime(), true); }),
              QStringLiteral("certBuildChain(): Build chain error: The certificate or certificate chain is based on an "
                             "untrusted root (code 32)"));
}

TEST_F(Chains, ExpiredCertificateIsValidAtAPastTime)
{
    addStandardStores(false);
    EXPECT_EQ(status(QStringLiteral("expired"), QStringLiteral("CA"), 0,
                     QDateTime(QDate(2020, 6, 1), QTime(12, 0), Qt::UTC)),
              0u);
    EXPECT_EQ(status(QStringLiteral("expired"), QStringLiteral("CA"), 0), csp::kTrustIsNotTimeValid);
}

TEST(TrustStatusText, ExactValuesAndUnknownCombinations)
{
    EXPECT_EQ(trustStatusText(0), QStringLiteral("No error found for this certificate or chain"));
    EXPECT_EQ(trustStatusText(0x10000), QStringLiteral("The certificate chain is not complete"));
    EXPECT_EQ(
        trustStatusText(0x40),
        QStringLiteral(
            "The revocation status of the certificate or one of thecertificates in the certificate chain is unknown"));
    EXPECT_EQ(trustStatusText(0x21), QStringLiteral("Unknown trust status 33"));
}
