#pragma once

#include <QByteArray>
#include <QString>

namespace crypto_test {

// A PKCS#12 file as GOST tools other than OpenSSL's command write one: key and certificates
// under PBES2 with Kuznyechik (CTR-ACPKM) whose PBKDF2 runs on HMAC-Streebog-512, and a
// Streebog-512 MAC. `openssl pkcs12 -export` takes HMAC-SHA-256 for that cipher instead.
// pkiName: the key of the test PKI ("user512" for user512.key.pem and user512.pem), with the
// PKI's root and intermediate certificates.
QByteArray forgeStreebogKuznyechikPkcs12(const QString& pkiName, const QByteArray& password);

} // namespace crypto_test
