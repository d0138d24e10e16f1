#pragma once

// The engine's wrappers over the message and hash calls of the layer.

#include "crypto/engine/csp_handle.h"
#include "crypto/records/crypto_enums.h"

#include <QByteArray>
#include <QDateTime>

namespace nxcrypto {

enum class MessageType { Any = 0, Data = 1, Enveloped = 2, Hashed = 3, Signed = 4, SignedAndEnveloped = 5 };
quint32 messageTypeToDWORD(MessageType type);

csp::MessageHandle msgOpenToEncode(bool detached, MessageType type, const csp::SignedEncodeInfo& info);
csp::MessageHandle msgOpenToDecode(bool detached, MessageType type);
void msgUpdate(csp::CryptMessage* message, const char* data, qint64 size, bool final);
void msgUpdate(csp::CryptMessage* message, const QByteArray& bytes, bool final);
void msgSetContentDigest(csp::CryptMessage* message, const QByteArray& digest);
QByteArray msgGetRaw(csp::CryptMessage* message);
quint32 msgGetCertCount(csp::CryptMessage* message);
csp::CertContextHandle msgGetCert(csp::CryptMessage* message, quint32 index);
quint32 msgGetSignerInfoCount(csp::CryptMessage* message);
csp::MessageSignerInfo msgGetSignerInfo(csp::CryptMessage* message, quint32 index);
bool msgVerifySignature(csp::CryptMessage* message, const csp::CertContext* certificate);
QDateTime attrDecodeTimestamp(const csp::MessageAttribute& attribute);
QByteArray attrDecodeDigest(const csp::MessageAttribute& attribute);

csp::HashHandle cryptoCreateHash(csp::Provider* provider, HashAlgorithm algorithm);
void cryptoHashData(csp::CryptHash* hash, const char* data, qint64 size);
QByteArray cryptoGetHashValue(csp::CryptHash* hash);

} // namespace nxcrypto
