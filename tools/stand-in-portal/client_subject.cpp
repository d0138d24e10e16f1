#include "client_subject.h"

#include "crypto/platform/x500_name.h"

#include <Poco/Net/SecureStreamSocket.h>
#include <Poco/Net/X509Certificate.h>

#include <openssl/x509.h>

#include <vector>

namespace standin {

std::string clientSubject(const Poco::Net::StreamSocket& socket)
{
    // A certificate that does not verify fails the handshake, so one that is here is verified.
    Poco::Net::SecureStreamSocket tls(socket);
    if (!tls.havePeerCertificate())
        return {};
    const Poco::Net::X509Certificate certificate = tls.peerCertificate();
    unsigned char* der = nullptr;
    const int size = i2d_X509_NAME(X509_get_subject_name(certificate.certificate()), &der);
    if (size <= 0)
        return {};
    const std::vector<uint8_t> name(der, der + size);
    OPENSSL_free(der);
    std::string text;
    return nxcrypto::csp::nameToString(name, &text) ? text : std::string();
}

} // namespace standin
