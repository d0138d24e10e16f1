#include "tls_connection.h"

#include "crypto/platform/tls_openssl_errors.h"
#include "crypto/platform/x500_name.h"

#include <openssl/err.h>

#include <stdexcept>
#include <vector>

namespace standin {

TlsConnection::TlsConnection(SSL_CTX* context, const Poco::Net::StreamSocket& socket, int timeoutSeconds)
    : socket_(socket)
    , ssl_(SSL_new(context))
{
    if (!ssl_)
        throw std::runtime_error("SSL_new: " + nxcrypto::csp::takeOpenSslErrors("out of memory"));
    socket_.setReceiveTimeout(Poco::Timespan(timeoutSeconds, 0));
    socket_.setSendTimeout(Poco::Timespan(timeoutSeconds, 0));
    socket_.setNoDelay(true);
    SSL_set_fd(ssl_.get(), static_cast<int>(socket_.impl()->sockfd()));
}

void TlsConnection::handshake()
{
    ERR_clear_error();
    if (SSL_accept(ssl_.get()) != 1)
        throw std::runtime_error("TLS handshake failed: " + nxcrypto::csp::takeOpenSslErrors("connection closed or timed out"));
}

std::size_t TlsConnection::read(char* buffer, std::size_t size)
{
    ERR_clear_error();
    std::size_t taken = 0;
    if (SSL_read_ex(ssl_.get(), buffer, size, &taken) != 1)
        return 0;
    return taken;
}

bool TlsConnection::write(const char* data, std::size_t size)
{
    ERR_clear_error();
    std::size_t written = 0;
    return size == 0 || SSL_write_ex(ssl_.get(), data, size, &written) == 1;
}

void TlsConnection::close()
{
    ERR_clear_error();
    SSL_shutdown(ssl_.get());
    try {
        socket_.shutdownSend();
    } catch (const Poco::Exception&) {
        // The peer is gone already; nothing is left to tell it.
    }
}

std::string TlsConnection::clientSubject() const
{
    const X509* certificate = SSL_get0_peer_certificate(ssl_.get());
    if (!certificate || SSL_get_verify_result(ssl_.get()) != X509_V_OK)
        return {};
    // Written as the proxy's crypto library writes subjects, so that the two can be compared.
    unsigned char* der = nullptr;
    const int size = i2d_X509_NAME(X509_get_subject_name(certificate), &der);
    if (size <= 0)
        return {};
    const std::vector<uint8_t> name(der, der + size);
    OPENSSL_free(der);
    std::string text;
    return nxcrypto::csp::nameToString(name, &text) ? text : std::string();
}

std::string TlsConnection::peerAddress() const
{
    try {
        return socket_.peerAddress().toString();
    } catch (const Poco::Exception&) {
        return "(disconnected)";
    }
}

} // namespace standin
