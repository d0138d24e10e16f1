// Certificates, revocation lists and signed messages as they come from the portal, the user and
// the revocation points, each input tried as all three, with what their readers take out of them.
#include "crypto/platform/asn1_decode.h"
#include "crypto/platform/cert_context.h"
#include "crypto/platform/crl_context.h"
#include "crypto/platform/crypt_message.h"
#include "crypto/platform/openssl_init.h"
#include "crypto/platform/x500_name.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace nc = nxcrypto::csp;

namespace {

// More certificates or signers than this no message of ours holds; it keeps each run short.
constexpr uint32_t maxListed = 8;

void readName(const std::vector<uint8_t>& der)
{
    std::string text;
    nc::nameToString(der, &text);
}

void readCertificate(const uint8_t* data, size_t size)
{
    nc::CertContext* certificate = nc::createCertificateContext(data, size);
    if (!certificate)
        return;
    // The parsed certificate keeps its encoding, never more than it was given.
    if (nc::certEncoded(certificate).size() > size)
        std::abort();
    nc::certSerialNumber(certificate);
    readName(nc::certIssuerName(certificate));
    readName(nc::certSubjectName(certificate));
    nc::certNotBefore(certificate);
    nc::certNotAfter(certificate);
    nc::certSignatureAlgorithm(certificate);
    nc::certPublicKeyAlgorithm(certificate);
    nc::certSha1Thumbprint(certificate);
    nc::freeCertificateContext(certificate);
}

void readCrl(const uint8_t* data, size_t size)
{
    nc::CrlContext* crl = nc::createCrlContext(data, size);
    if (!crl)
        return;
    if (nc::crlEncoded(crl).size() > size)
        std::abort();
    readName(nc::crlIssuerName(crl));
    nc::crlThisUpdate(crl);
    nc::crlNextUpdate(crl);
    nc::crlSha1Thumbprint(crl);
    nc::freeCrlContext(crl);
}

void readAttributes(const std::vector<nc::MessageAttribute>& attributes)
{
    for (const nc::MessageAttribute& attribute : attributes) {
        for (const std::vector<uint8_t>& value : attribute.values) {
            int64_t time = 0;
            std::vector<uint8_t> bytes;
            nc::decodeTimeValue(value, &time);
            nc::decodeOctetStringValue(value, &bytes);
        }
    }
}

void readMessage(const uint8_t* data, size_t size)
{
    nc::CryptMessage* message = nc::msgOpenToDecode(nc::kMsgDetachedFlag, nc::kMsgAny);
    if (!message)
        std::abort();
    if (nc::msgUpdate(message, data, size, true)) {
        uint32_t count = 0;
        if (nc::msgGetCertCount(message, &count)) {
            for (uint32_t i = 0; i < count && i < maxListed; ++i) {
                std::vector<uint8_t> der;
                if (nc::msgGetCert(message, i, &der))
                    readCertificate(der.data(), der.size());
            }
        }
        if (nc::msgGetSignerCount(message, &count)) {
            for (uint32_t i = 0; i < count && i < maxListed; ++i) {
                nc::MessageSignerInfo signer;
                if (nc::msgGetSignerInfo(message, i, &signer)) {
                    readName(signer.issuerName);
                    readAttributes(signer.authenticatedAttributes);
                    readAttributes(signer.unauthenticatedAttributes);
                }
            }
        }
    }
    nc::msgClose(message);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    // Without the GOST engine the certificates of the portal would not parse at all.
    if (!nc::initOpenSsl())
        std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    readCertificate(data, size);
    readCrl(data, size);
    readMessage(data, size);
    return 0;
}
