#pragma once

#include "crypto/platform/tls_ssl_ptr.h"

#include <Poco/Net/StreamSocket.h>

#include <cstddef>
#include <string>

namespace standin {

// One accepted TLS connection over a blocking socket whose every wait is bounded by the
// socket's time-outs.
class TlsConnection {
public:
    TlsConnection(SSL_CTX* context, const Poco::Net::StreamSocket& socket, int timeoutSeconds);

    // Throws std::runtime_error with OpenSSL's reason when the handshake fails.
    void handshake();

    // Bytes read into buffer; 0 when the peer closed, the wait timed out or TLS failed.
    std::size_t read(char* buffer, std::size_t size);
    // False when the peer is gone, the wait timed out or TLS failed.
    bool write(const char* data, std::size_t size);
    // Sends close_notify; the socket closes with the last owner.
    void close();

    // Subject of the client certificate that passed verification; empty when there is none.
    std::string clientSubject() const;
    std::string peerAddress() const;

private:
    Poco::Net::StreamSocket socket_;
    nxcrypto::csp::SslPtr ssl_;
};

} // namespace standin
