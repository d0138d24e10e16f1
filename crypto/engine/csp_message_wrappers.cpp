#include "crypto/engine/csp_message_wrappers.h"

#include "crypto/engine/csp_store_wrappers.h"
#include "crypto/errors/exception.h"
#include "crypto/errors/system_error_text.h"
#include "crypto/platform/asn1_decode.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/last_error.h"

namespace nxcrypto {

namespace {

QString errorText(const char* message) { return QString::fromLatin1(message).arg(lastErrorText()); }

} // namespace

quint32 messageTypeToDWORD(MessageType type)
{
    switch (type) {
    case MessageType::Any:
        return csp::kMsgAny;
    case MessageType::Data:
        return csp::kMsgData;
    case MessageType::Enveloped:
        return csp::kMsgEnveloped;
    case MessageType::Hashed:
        return csp::kMsgHashed;
    case MessageType::Signed:
        return csp::kMsgSigned;
    case MessageType::SignedAndEnveloped:
        return csp::kMsgSignedAndEnveloped;
    }
    throw Exception(QStringLiteral("messageTypeToDWORD(): Unknown message type %1").arg(static_cast<int>(type)));
}

csp::MessageHandle msgOpenToEncode(bool detached, MessageType type, const csp::SignedEncodeInfo& info)
{
    csp::CryptMessage* message =
        csp::msgOpenToEncode(detached ? csp::kMsgDetachedFlag : 0, messageTypeToDWORD(type), info);
    if (!message)
        throw Exception(errorText("msgOpenToEncode(): Error %1"));
    return csp::MessageHandle(message);
}

csp::MessageHandle msgOpenToDecode(bool detached, MessageType type)
{
    csp::CryptMessage* message = csp::msgOpenToDecode(detached ? csp::kMsgDetachedFlag : 0, messageTypeToDWORD(type));
    if (!message)
        throw Exception(errorText("msgOpenToDecode(): Error %1"));
    return csp::MessageHandle(message);
}

void msgUpdate(csp::CryptMessage* message, const char* data, qint64 size, bool final)
{
    if (!csp::msgUpdate(message, reinterpret_cast<const uint8_t*>(data), static_cast<size_t>(size), final))
        throw Exception(errorText("msgUpdate(): Error %1"));
}

void msgUpdate(csp::CryptMessage* message, const QByteArray& bytes, bool final)
{
    msgUpdate(message, bytes.constData(), bytes.size(), final);
}

void msgSetContentDigest(csp::CryptMessage* message, const QByteArray& digest)
{
    if (!csp::msgSetContentDigest(message, std::vector<uint8_t>(digest.begin(), digest.end())))
        throw Exception(errorText("msgSetContentDigest(): Error %1"));
}

QByteArray msgGetRaw(csp::CryptMessage* message)
{
    std::vector<uint8_t> encoded;
    if (!csp::msgGetContent(message, &encoded))
        throw Exception(errorText("msgGetRaw(): Error %1"));
    return QByteArray(reinterpret_cast<const char*>(encoded.data()), static_cast<int>(encoded.size()));
}

quint32 msgGetCertCount(csp::CryptMessage* message)
{
    uint32_t count = 0;
    if (!csp::msgGetCertCount(message, &count))
        throw Exception(errorText("msgGetCertCount(): Error %1"));
    return count;
}

csp::CertContextHandle msgGetCert(csp::CryptMessage* message, quint32 index)
{
    std::vector<uint8_t> der;
    if (!csp::msgGetCert(message, index, &der))
        throw Exception(QStringLiteral("msgGetCert(%1): Error %2").arg(index).arg(lastErrorText()));
    return certFromBlob(der);
}

quint32 msgGetSignerInfoCount(csp::CryptMessage* message)
{
    uint32_t count = 0;
    if (!csp::msgGetSignerCount(message, &count))
        throw Exception(errorText("msgGetSignerInfoCount(): Error %1"));
    return count;
}

csp::MessageSignerInfo msgGetSignerInfo(csp::CryptMessage* message, quint32 index)
{
    csp::MessageSignerInfo info;
    if (!csp::msgGetSignerInfo(message, index, &info))
        throw Exception(QStringLiteral("msgGetSignerInfo(%1): Error %2").arg(index).arg(lastErrorText()));
    return info;
}

bool msgVerifySignature(csp::CryptMessage* message, const csp::CertContext* certificate)
{
    if (csp::msgVerifySignature(message, certificate))
        return true;
    if (csp::getLastError() == csp::err::kNteBadSignature)
        return false;
    throw Exception(errorText("msgVerifySignature(): Error %1"));
}

QDateTime attrDecodeTimestamp(const csp::MessageAttribute& attribute)
{
    int64_t seconds = 0;
    if (attribute.values.empty())
        csp::setLastError(csp::err::kCryptEAsn1Eod);
    if (attribute.values.empty() || !csp::decodeTimeValue(attribute.values.front(), &seconds))
        throw Exception(errorText("attrDecodeTimestamp(): Error %1"));
    return QDateTime::fromSecsSinceEpoch(seconds, Qt::UTC).toLocalTime();
}

QByteArray attrDecodeDigest(const csp::MessageAttribute& attribute)
{
    std::vector<uint8_t> digest;
    if (attribute.values.empty())
        csp::setLastError(csp::err::kCryptEAsn1Eod);
    if (attribute.values.empty() || !csp::decodeOctetStringValue(attribute.values.front(), &digest))
        throw Exception(errorText("attrDecodeDigest(): Error %1"));
    return QByteArray(reinterpret_cast<const char*>(digest.data()), static_cast<int>(digest.size()));
}

csp::HashHandle cryptoCreateHash(csp::Provider* provider, HashAlgorithm algorithm)
{
    csp::CryptHash* hash = csp::createHash(provider, static_cast<uint32_t>(algorithm));
    if (!hash)
        throw Exception(errorText("cryptoCreateHash(): Error %1"));
    return csp::HashHandle(hash);
}

void cryptoHashData(csp::CryptHash* hash, const char* data, qint64 size)
{
    if (!csp::hashData(hash, reinterpret_cast<const uint8_t*>(data), static_cast<size_t>(size)))
        throw Exception(errorText("cryptoHashData(): Error %1"));
}

QByteArray cryptoGetHashValue(csp::CryptHash* hash)
{
    uint32_t size = 0;
    if (!csp::getHashSize(hash, &size))
        throw Exception(errorText("cryptoGetHashSize(): Error %1"));
    std::vector<uint8_t> value;
    if (!csp::getHashValue(hash, &value))
        throw Exception(errorText("cryptoGetHashValue(): Error %1"));
    return QByteArray(reinterpret_cast<const char*>(value.data()), static_cast<int>(value.size()));
}

} // namespace nxcrypto
