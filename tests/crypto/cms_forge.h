#pragma once

#include <QByteArray>
#include <QString>

namespace crypto_test {

// Detached GOST signatures of shapes the engine never makes, built with OpenSSL's
// PKCS#7 functions: without some signed attributes, or with several SignerInfos.
struct ForgeOptions
{
    bool contentType = true;
    bool signingTime = true;
    bool messageDigest = true;
    int signers = 1;
};

// pkiName: the signer of the test PKI ("user" for user.pem and user.key.pem).
QByteArray forgeSignature(const QByteArray& data, const QString& pkiName, const ForgeOptions& options);

} // namespace crypto_test
