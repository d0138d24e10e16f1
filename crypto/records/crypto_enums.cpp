#include "crypto/records/crypto_enums.h"

#include "crypto/errors/exception.h"

#include <QCoreApplication>
#include <QVector>

#include <utility>

namespace nxcrypto {

namespace {

template <typename Enum>
using OidTable = QVector<std::pair<Enum, QString>>;

const OidTable<PublicKeyAlgorithm>& publicKeyOids()
{
    static const OidTable<PublicKeyAlgorithm> table = {
        {PublicKeyAlgorithm::Gost2001, QStringLiteral("1.2.643.2.2.19")},
        {PublicKeyAlgorithm::Gost2012_256, QStringLiteral("1.2.643.7.1.1.1.1")},
        {PublicKeyAlgorithm::Gost2012_512, QStringLiteral("1.2.643.7.1.1.1.2")},
    };
    return table;
}

const OidTable<HashAlgorithm>& hashOids()
{
    static const OidTable<HashAlgorithm> table = {
        {HashAlgorithm::Gost94, QStringLiteral("1.2.643.2.2.9")},
        {HashAlgorithm::Gost2012_256, QStringLiteral("1.2.643.7.1.1.2.2")},
        {HashAlgorithm::Gost2012_512, QStringLiteral("1.2.643.7.1.1.2.3")},
    };
    return table;
}

template <typename Enum>
Enum findEnumValue(const OidTable<Enum>& table, const QString& oid)
{
    for (const auto& entry : table)
        if (entry.second == oid)
            return entry.first;
    throw Exception(QStringLiteral("findEnumValue(): Unknown value %1").arg(oid));
}

template <typename Enum>
QString findEnumValue(const OidTable<Enum>& table, Enum value)
{
    for (const auto& entry : table)
        if (entry.first == value)
            return entry.second;
    throw Exception(QStringLiteral("findEnumValue(): Unknown key %1").arg(static_cast<qint64>(value)));
}

QString tr(const char* text) { return QCoreApplication::translate("nxcrypto", text); }

} // namespace

QString signStateText(SignState state)
{
    switch (state) {
    case SignState::NotDetermined:
        return tr("Статус подписи неизвестен");
    case SignState::Invalid:
        return tr("Подпись некорректна");
    case SignState::Valid:
        return tr("Подпись корректна");
    }
    return tr("Неизвестный статус подписи: %1").arg(static_cast<qint32>(state));
}

QString certificateStateText(CertificateState state)
{
    switch (state) {
    case CertificateState::Valid:
        return tr("Действителен");
    case CertificateState::NotDetermined:
        return tr("Неизвестен");
    case CertificateState::UntrustedParty:
        return tr("Сертификат неизвестного доверенного лица");
    case CertificateState::TrustedPartySuspended:
        return tr("Сертификат доверенного лица приостановлен");
    case CertificateState::InvalidBlob:
        return tr("Недействительный блоб сертификата");
    case CertificateState::TimeInvalid:
        return tr("Время действия сертификата истекло или еще не наступило");
    case CertificateState::KeyTimeInvalid:
        return tr("Время действия ключа истекло или еще не наступило");
    case CertificateState::PathNotTrusted:
        return tr("Нет доверия к пути сертификации");
    case CertificateState::DifferentCertificates:
        return tr("Использованы различные сертификаты");
    case CertificateState::CrlNotFound:
        return tr("Не найден локальный СОС");
    case CertificateState::Revoked:
        return tr("Сертификат находится в СОС");
    case CertificateState::WrongUsage:
        return tr("Неверное использование сертификата");
    }
    return tr("Неизвестный статус сертификата: %1").arg(static_cast<qint32>(state));
}

KeyStorageType keyStorageTypeFromName(const QString& name)
{
    const std::pair<KeyStorageType, const char*> names[] = {
        {KeyStorageType::HD, "HD"},
        {KeyStorageType::FLOPPY, "FLOPPY"},
        {KeyStorageType::RUTOKEN, "RUTOKEN"},
    };
    for (const auto& entry : names)
        if (name.compare(QLatin1String(entry.second), Qt::CaseInsensitive) == 0)
            return entry.first;
    return KeyStorageType::None;
}

PublicKeyAlgorithm publicKeyAlgorithmFromOid(const QString& oid) { return findEnumValue(publicKeyOids(), oid); }

QString publicKeyAlgorithmOid(PublicKeyAlgorithm algorithm) { return findEnumValue(publicKeyOids(), algorithm); }

HashAlgorithm hashAlgorithmFromOid(const QString& oid) { return findEnumValue(hashOids(), oid); }

QString hashAlgorithmOid(HashAlgorithm algorithm) { return findEnumValue(hashOids(), algorithm); }

ProviderType provider_type(PublicKeyAlgorithm algorithm)
{
    switch (algorithm) {
    case PublicKeyAlgorithm::Gost2001:
        return ProviderType::Gost2001;
    case PublicKeyAlgorithm::Gost2012_256:
        return ProviderType::Gost2012_256;
    case PublicKeyAlgorithm::Gost2012_512:
        return ProviderType::Gost2012_512;
    default:
        break;
    }
    throw Exception(QStringLiteral("ProviderType provider_type(PublicKeyAlgorithm): Unknown algorithm %1")
                        .arg(static_cast<qint32>(algorithm)));
}

HashAlgorithm hash_algorithm(PublicKeyAlgorithm algorithm)
{
    switch (algorithm) {
    case PublicKeyAlgorithm::Gost2001:
        return HashAlgorithm::Gost94;
    case PublicKeyAlgorithm::Gost2012_256:
        return HashAlgorithm::Gost2012_256;
    case PublicKeyAlgorithm::Gost2012_512:
        return HashAlgorithm::Gost2012_512;
    default:
        break;
    }
    throw Exception(QStringLiteral("HashAlgorithm hash_algorithm(PublicKeyAlgorithm): Unknown algorithm %1")
                        .arg(static_cast<qint32>(algorithm)));
}

} // namespace nxcrypto
