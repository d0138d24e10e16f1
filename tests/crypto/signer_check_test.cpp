// The check of the signer's certificate: chain, trust, revocation and the caller's check.

#include "crypto_test_support.h"

#include <QBuffer>
#include <QSet>

using namespace crypto_test;
using namespace nxcrypto;

namespace {

struct Signed
{
    QByteArray data;
    QByteArray signature;
};

class SignerCheck : public ProviderRootTest
{
protected:
    // Signs with the PKI key pkiName in a container of that name.
    Signed signedBy(const QString& pkiName)
    {
        if (!imported_.contains(pkiName))
            importContainer(pkiName, pkiName);
        imported_.insert(pkiName);
        const auto engine = engineFor(pkiName);
        QBuffer input;
        input.setData(QByteArray("данные ") + pkiName.toUtf8());
        input.open(QIODevice::ReadOnly);
        QBuffer output;
        output.open(QIODevice::WriteOnly);
        engine->sign(&input, &output);
        return Signed{input.data(), output.data()};
    }

    // Verifies with an engine of the user's key and the given configuration.
    SignInfoPtr check(const Signed& item, const QJsonObject& extra, CertificateCheck check = acceptAll(),
                      const QDateTime& time = QDateTime())
    {
        if (!verifierReady_) {
            importContainer(QStringLiteral("verifier"), QStringLiteral("user"));
            verifierReady_ = true;
        }
        const auto engine = engineFor(QStringLiteral("verifier"), extra);
        QBuffer data;
        data.setData(item.data);
        data.open(QIODevice::ReadOnly);
        QBuffer signature;
        signature.setData(item.signature);
        signature.open(QIODevice::ReadOnly);
        return engine->verifySign(QList<QIODevice*>{&data}, QList<QIODevice*>{&signature}, check, time);
    }

    static CertificateCheck acceptAll()
    {
        return [](const CertificateDescriptionPtr&) { return CertificateState::Valid; };
    }

    const QJsonObject caStore{{QStringLiteral("caStore"), QStringLiteral("CA")}};

private:
    bool verifierReady_ = false;
    QSet<QString> imported_;
};

QJsonObject with(QJsonObject object, const QString& key, const QJsonValue& value)
{
    object.insert(key, value);
    return object;
}

} // namespace

TEST_F(SignerCheck, RevocationAndValidityStates)
{
    addStandardStores(true);
    // The CA store holds the root too, so that the configured-store rule trusts it.
    addToStore(QStringLiteral("CA"), QStringLiteral("root.cer"));
    struct Case
    {
        const char* signer;
        bool ignoringMissingCrl;
        CertificateState state;
    };
    const Case cases[] = {
        {"user", false, CertificateState::Valid},
        {"user512", false, CertificateState::Valid},
        {"user2001", false, CertificateState::Valid},
        {"revoked", false, CertificateState::Revoked},
        {"expired", false, CertificateState::TimeInvalid},
        {"expired-revoked", false, CertificateState::Revoked},
        // Ignoring missing CRLs ignores nothing that a CRL or the validity says.
        {"user", true, CertificateState::Valid},
        {"revoked", true, CertificateState::Revoked},
        {"expired", true, CertificateState::TimeInvalid},
        {"expired-revoked", true, CertificateState::Revoked},
    };
    for (const Case& c : cases) {
        const SignInfoPtr info = check(signedBy(QString::fromLatin1(c.signer)),
                                       with(caStore, QStringLiteral("ignoringMissingCrl"), c.ignoringMissingCrl));
        EXPECT_EQ(info->certificateState(), c.state) << c.signer << " " << info->techInfo().toStdString();
        EXPECT_EQ(info->globalSignState(), SignState::Valid) << c.signer;
    }
}

TEST_F(SignerCheck, OfflineRevocationIsMissingCrlUnlessIgnored)
{
    // No CRL in any store; the distribution points (127.0.0.1:1) do not answer.
    addStandardStores(false);
    addToStore(QStringLiteral("CA"), QStringLiteral("root.cer"));
    const Signed item = signedBy(QStringLiteral("user"));
    const SignInfoPtr offline = check(item, caStore);
    EXPECT_EQ(offline->certificateState(), CertificateState::CrlNotFound) << offline->techInfo().toStdString();
    EXPECT_TRUE(
        offline->techInfo().startsWith(QStringLiteral("errorStatus=16777280, TrustStatus.dwErrorStatus=16777280, ")))
        << offline->techInfo().toStdString();
    EXPECT_EQ(check(item, with(caStore, QStringLiteral("ignoringMissingCrl"), true))->certificateState(),
              CertificateState::Valid);
}

TEST_F(SignerCheck, ConfiguredCaStoreAloneDecidesAboutTheRoot)
{
    addStandardStores(true);
    const Signed item = signedBy(QStringLiteral("user"));
    // Trusted by the platform (ROOT), but not in the configured CA store.
    const SignInfoPtr notInCa = check(item, caStore);
    EXPECT_EQ(notInCa->certificateState(), CertificateState::PathNotTrusted);
    EXPECT_TRUE(notInCa->techInfo().startsWith(QStringLiteral("errorStatus=0, TrustStatus.dwErrorStatus=0,")))
        << notInCa->techInfo().toStdString();
    EXPECT_EQ(check(item, with(caStore, QStringLiteral("ignoringMissingCrl"), true))->certificateState(),
              CertificateState::PathNotTrusted);
    // Without a configured CA store (ROOT is the CA store) the platform's trust stands.
    EXPECT_EQ(check(item, QJsonObject())->certificateState(), CertificateState::Valid);
}

TEST_F(SignerCheck, RootOnlyInTheConfiguredCaStoreIsTrusted)
{
    addToStore(QStringLiteral("CA"), QStringLiteral("intermediate.cer"));
    addToStore(QStringLiteral("CA"), QStringLiteral("root.cer"));
    addToStore(QStringLiteral("CA"), QStringLiteral("root.crl"));
    addToStore(QStringLiteral("CA"), QStringLiteral("intermediate.crl"));
    const SignInfoPtr info = check(signedBy(QStringLiteral("user")), caStore);
    EXPECT_EQ(info->certificateState(), CertificateState::Valid) << info->techInfo().toStdString();
    EXPECT_TRUE(info->techInfo().startsWith(QStringLiteral("errorStatus=32,"))) << info->techInfo().toStdString();
}

TEST_F(SignerCheck, ChainStoppingBeforeARootIsNotTrusted)
{
    addToStore(QStringLiteral("ROOT"), QStringLiteral("root.cer"));
    const SignInfoPtr info = check(signedBy(QStringLiteral("user")), caStore);
    EXPECT_EQ(info->certificateState(), CertificateState::PathNotTrusted);
    const quint32 status = info->techInfo().section(QLatin1Char('='), 1).section(QLatin1Char(','), 0, 0).toUInt();
    EXPECT_TRUE(status & 0x10000) << info->techInfo().toStdString();
    // The issuer is unknown here, whatever the CRLs say.
    EXPECT_EQ(check(signedBy(QStringLiteral("user")), with(caStore, QStringLiteral("ignoringMissingCrl"), true))
                  ->certificateState(),
              CertificateState::PathNotTrusted);
}

TEST_F(SignerCheck, TheChainReplacesEveryBlocksCertificate)
{
    addStandardStores(true);
    const SignInfoPtr info = check(signedBy(QStringLiteral("user")), QJsonObject());
    ASSERT_TRUE(info->certificate());
    ASSERT_TRUE(info->certificate()->issuerCertificate());
    EXPECT_EQ(info->signs().front()->certificate(), info->certificate());
}

TEST_F(SignerCheck, NoBlocksAtAllIsAFailedChainCall)
{
    addStandardStores(true);
    importContainer(QStringLiteral("verifier"), QStringLiteral("user"));
    const auto engine = engineFor(QStringLiteral("verifier"));
    const SignInfoPtr info = engine->verifySign(QList<QIODevice*>(), QList<QIODevice*>(), acceptAll(), QDateTime());
    EXPECT_EQ(info->certificateState(), CertificateState::PathNotTrusted);
    EXPECT_TRUE(info->techInfo().startsWith(QStringLiteral("Exception: certBuildChainEx(): Error Code:")))
        << info->techInfo().toStdString();
    EXPECT_EQ(info->globalSignState(), SignState::Valid);
}

TEST_F(SignerCheck, TheCallersCheckRunsLastOnlyForAValidCertificate)
{
    addStandardStores(true);
    const Signed item = signedBy(QStringLiteral("user"));
    int calls = 0;
    CertificateDescriptionPtr seen;
    const SignInfoPtr info = check(item, QJsonObject(), [&](const CertificateDescriptionPtr& certificate) {
        ++calls;
        seen = certificate;
        return CertificateState::UntrustedParty;
    });
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(seen, info->certificate());
    EXPECT_EQ(info->certificateState(), CertificateState::UntrustedParty);
    EXPECT_THROW(check(item, QJsonObject(), CertificateCheck()), std::bad_function_call);

    const Signed revoked = signedBy(QStringLiteral("revoked"));
    calls = 0;
    const SignInfoPtr notCalled = check(revoked, QJsonObject(), [&](const CertificateDescriptionPtr&) {
        ++calls;
        return CertificateState::Valid;
    });
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(notCalled->certificateState(), CertificateState::Revoked);
}
