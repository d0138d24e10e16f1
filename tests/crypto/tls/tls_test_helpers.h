#pragma once

#include "crypto/engine/tls_data_stream_impl.h"
#include "crypto/platform/tls_client_config.h"

#include <QByteArray>
#include <QSharedPointer>

#include <string>
#include <vector>

// The test PKI's files as OpenSSL objects.
nxcrypto::csp::X509Ptr loadCertificate(const std::string& pkiFile);
nxcrypto::csp::EvpPkeyPtr loadPrivateKey(const std::string& pkiFile);
// The PEM block of a PKI certificate file, BEGIN and END lines included.
std::string certificatePem(const std::string& pkiFile);

// Trusts the test root, expects serverName and has no client certificate.
nxcrypto::csp::TlsClientConfig configTrustingTestRoot(const std::string& serverName = "localhost");
// The user's certificate and key from the test PKI.
nxcrypto::csp::TlsClientCredentials userCredentials();

QSharedPointer<nxcrypto::csp::TlsDataStreamImpl> makeStream(nxcrypto::csp::TlsClientConfig config);

// Reads until the stream ends, each read asking for at most maxSize bytes.
std::vector<QByteArray> readUntilEnd(nxcrypto::DataStream& stream, qint64 maxSize);

// The lengths of the TLS application data records in bytes a client wrote.
std::vector<int> applicationRecordLengths(const QByteArray& written);
