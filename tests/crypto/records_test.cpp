#include "crypto/errors/exception.h"
#include "crypto/records/certificate_description.h"
#include "crypto/records/crypto_enums.h"

#include <QVariant>

#include <gtest/gtest.h>

using namespace nxcrypto;

namespace {

CertificateDescriptionPtr description(const QString& serial)
{
    return CertificateDescriptionPtr::create(serial, QStringLiteral("0A"), QStringLiteral("CN=a"),
                                             QStringLiteral("CN=b"), QDateTime::fromSecsSinceEpoch(1000),
                                             QDateTime::fromSecsSinceEpoch(2000), QStringLiteral("1.2.643.7.1.1.3.2"),
                                             QStringLiteral("1.2.643.7.1.1.1.1"));
}

template <typename Call>
std::string errorOf(Call call)
{
    try {
        call();
    } catch (const Exception& error) {
        return error.what();
    }
    return std::string();
}

} // namespace

TEST(CertificateDescription, EqualityIgnoresTheIssuerAndComparesEveryOtherField)
{
    const CertificateDescriptionPtr a = description(QStringLiteral("10"));
    const CertificateDescriptionPtr b = description(QStringLiteral("10"));
    b->setIssuerCertificate(description(QStringLiteral("99")));
    EXPECT_TRUE(*a == *b);
    EXPECT_FALSE(*a != *b);
    b->setSerialNumberHex(QStringLiteral("0B"));
    EXPECT_TRUE(*a != *b);
    const CertificateDescriptionPtr c = description(QStringLiteral("10"));
    c->setValidTo(QDateTime::fromSecsSinceEpoch(2001));
    EXPECT_FALSE(*a == *c);
}

TEST(CertificateDescription, PublicKeyAlgorithmTypeMapsGostOidsAndGivesNoneForOthers)
{
    const CertificateDescriptionPtr d = description(QStringLiteral("1"));
    const std::pair<const char*, PublicKeyAlgorithm> cases[] = {
        {"1.2.643.2.2.19", PublicKeyAlgorithm::Gost2001},
        {"1.2.643.7.1.1.1.1", PublicKeyAlgorithm::Gost2012_256},
        {"1.2.643.7.1.1.1.2", PublicKeyAlgorithm::Gost2012_512},
        {"1.2.840.113549.1.1.1", PublicKeyAlgorithm::None},
        {"", PublicKeyAlgorithm::None},
    };
    for (const auto& c : cases) {
        d->setPublicKeyAlgorithm(QString::fromLatin1(c.first));
        EXPECT_EQ(d->publicKeyAlgorithmType(), c.second) << c.first;
    }
}

TEST(CertificateDescription, PropertiesAreReachableThroughTheMetaObject)
{
    const CertificateDescriptionPtr d = description(QStringLiteral("42"));
    d->setIssuerCertificate(description(QStringLiteral("7")));
    EXPECT_EQ(d->property("serialNumber").toString(), QStringLiteral("42"));
    const auto issuer = d->property("issuerCertificate").value<CertificateDescriptionPtr>();
    ASSERT_TRUE(issuer);
    EXPECT_EQ(issuer->serialNumber(), QStringLiteral("7"));
    EXPECT_TRUE(d->setProperty("subjectName", QStringLiteral("CN=x")));
    EXPECT_EQ(d->subjectName(), QStringLiteral("CN=x"));
}

TEST(KeyStorageType, NamesMatchInAnyCase)
{
    const std::pair<const char*, KeyStorageType> cases[] = {
        {"HD", KeyStorageType::HD},           {"hd", KeyStorageType::HD}, {"Floppy", KeyStorageType::FLOPPY},
        {"rUtOkEn", KeyStorageType::RUTOKEN}, {"", KeyStorageType::None}, {"HDD", KeyStorageType::None},
        {" HD", KeyStorageType::None},
    };
    for (const auto& c : cases)
        EXPECT_EQ(keyStorageTypeFromName(QString::fromLatin1(c.first)), c.second) << c.first;
}

TEST(StateTexts, KnownAndUnknownValues)
{
    EXPECT_EQ(signStateText(SignState::Valid), QStringLiteral("Подпись корректна"));
    EXPECT_EQ(signStateText(SignState(7)), QStringLiteral("Неизвестный статус подписи: 7"));
    EXPECT_EQ(certificateStateText(CertificateState::CrlNotFound), QStringLiteral("Не найден локальный СОС"));
    EXPECT_EQ(certificateStateText(CertificateState::Revoked), QStringLiteral("Сертификат находится в СОС"));
    EXPECT_EQ(certificateStateText(CertificateState(12)), QStringLiteral("Неизвестный статус сертификата: 12"));
}

TEST(AlgorithmTables, LookupsAndTheirFailures)
{
    EXPECT_EQ(hashAlgorithmOid(hash_algorithm(PublicKeyAlgorithm::Gost2012_512)), QStringLiteral("1.2.643.7.1.1.2.3"));
    EXPECT_EQ(provider_type(PublicKeyAlgorithm::Gost2001), ProviderType::Gost2001);
    EXPECT_EQ(hashAlgorithmFromOid(QStringLiteral("1.2.643.2.2.9")), HashAlgorithm::Gost94);
    EXPECT_EQ(errorOf([] { publicKeyAlgorithmFromOid(QStringLiteral("1.2.3")); }),
              "findEnumValue(): Unknown value 1.2.3");
    EXPECT_EQ(errorOf([] { hashAlgorithmOid(HashAlgorithm(5)); }), "findEnumValue(): Unknown key 5");
    EXPECT_EQ(errorOf([] { provider_type(PublicKeyAlgorithm::None); }),
              "ProviderType provider_type(PublicKeyAlgorithm): Unknown algorithm 0");
    EXPECT_EQ(errorOf([] { hash_algorithm(PublicKeyAlgorithm(9)); }),
              "HashAlgorithm hash_algorithm(PublicKeyAlgorithm): Unknown algorithm 9");
}

TEST(Exception, ReasonIsAppendedAndCopied)
{
    const Exception cause(QStringLiteral("inner Ошибка"));
    const Exception error(QStringLiteral("outer"), cause);
    EXPECT_STREQ(error.what(), "outer.\nReason: inner Ошибка");
    const Exception copy = error;
    ASSERT_NE(copy.reason(), nullptr);
    EXPECT_STREQ(copy.reason()->what(), "inner Ошибка");
    EXPECT_STREQ(ClientAuthNeeded().what(), "Client auth needed");
}
