#include "tls_test_helpers.h"

#include "crypto/engine/tls_data_stream_impl_p.h"
#include "crypto/platform/openssl_init.h"
#include "support/file_text.h"
#include "support/test_pki.h"

#include <openssl/pem.h>

#include <stdexcept>

namespace {

nxcrypto::csp::BioPtr openPkiFile(const std::string& pkiFile)
{
    if (!nxcrypto::csp::initOpenSsl())
        throw std::runtime_error("GOST engine: " + nxcrypto::csp::initOpenSslError());
    const std::string path = testsupport::TestPki::instance().file(pkiFile).string();
    nxcrypto::csp::BioPtr bio(BIO_new_file(path.c_str(), "r"));
    if (!bio)
        throw std::runtime_error("cannot open " + path);
    return bio;
}

} // namespace

nxcrypto::csp::X509Ptr loadCertificate(const std::string& pkiFile)
{
    nxcrypto::csp::X509Ptr certificate(PEM_read_bio_X509(openPkiFile(pkiFile).get(), nullptr, nullptr, nullptr));
    if (!certificate)
        throw std::runtime_error("no certificate in " + pkiFile);
    return certificate;
}

nxcrypto::csp::EvpPkeyPtr loadPrivateKey(const std::string& pkiFile)
{
    nxcrypto::csp::EvpPkeyPtr key(PEM_read_bio_PrivateKey(openPkiFile(pkiFile).get(), nullptr, nullptr, nullptr));
    if (!key)
        throw std::runtime_error("no key in " + pkiFile);
    return key;
}

std::string certificatePem(const std::string& pkiFile)
{
    const std::string text = testsupport::fileText(testsupport::TestPki::instance().file(pkiFile));
    const std::string end = "-----END CERTIFICATE-----";
    const std::size_t begin = text.find("-----BEGIN CERTIFICATE-----");
    return text.substr(begin, text.find(end, begin) + end.size() - begin);
}

nxcrypto::csp::TlsClientConfig configTrustingTestRoot(const std::string& serverName)
{
    nxcrypto::csp::TlsClientConfig config;
    config.trustAnchors.push_back(loadCertificate("root.pem"));
    config.serverName = serverName;
    return config;
}

nxcrypto::csp::TlsClientCredentials userCredentials()
{
    return {loadCertificate("user.pem"), loadPrivateKey("user.key.pem")};
}

QSharedPointer<nxcrypto::csp::TlsDataStreamImpl> makeStream(nxcrypto::csp::TlsClientConfig config)
{
    return QSharedPointer<nxcrypto::csp::TlsDataStreamImpl>::create(
        std::make_unique<nxcrypto::csp::TlsDataStreamImplPrivate>(std::move(config)));
}

std::vector<QByteArray> readUntilEnd(nxcrypto::DataStream& stream, qint64 maxSize)
{
    std::vector<QByteArray> pieces;
    for (QByteArray piece = stream.read(maxSize); !piece.isEmpty(); piece = stream.read(maxSize))
        pieces.push_back(piece);
    return pieces;
}

std::vector<int> applicationRecordLengths(const QByteArray& written)
{
    constexpr char kApplicationData = 23;
    std::vector<int> lengths;
    for (int offset = 0; offset + 5 <= written.size();) {
        const int length =
            (static_cast<unsigned char>(written[offset + 3]) << 8) | static_cast<unsigned char>(written[offset + 4]);
        if (written[offset] == kApplicationData)
            lengths.push_back(length);
        offset += 5 + length;
    }
    return lengths;
}
