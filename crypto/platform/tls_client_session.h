#pragma once

#include "crypto/platform/tls_client_config.h"
#include "crypto/platform/tls_client_context.h"

#include <cstddef>
#include <memory>
#include <optional>
#include <string>

namespace nxcrypto {
namespace csp {

// One TLS 1.2 client connection over memory buffers: the caller carries the ciphertext
// between feed()/takeOutput() and its transport. Failures set the layer's last error and
// keep a reason for the log.
class TlsClientSession
{
public:
    enum class Status { Ok, WantInput, Closed, Failed };

    // The largest plain text one record carries.
    static constexpr std::size_t kMaxRecordPlainText = 16384;

    explicit TlsClientSession(TlsClientConfig config);
    // Keeps a session that was used from losing its resumability.
    ~TlsClientSession();

    TlsClientSession(const TlsClientSession&) = delete;
    TlsClientSession& operator=(const TlsClientSession&) = delete;

    // Applies the configuration; false (last error and reason set) when it cannot be used.
    // Nothing else may be called after a false start.
    bool start();

    // Runs the handshake as far as the input allows. Asks config.clientCredentials when the
    // server requests a certificate (once a connection); its exceptions pass through.
    Status handshake();
    // The plain text of the next record into buffer (at least kMaxRecordPlainText bytes);
    // Closed once the server has closed the TLS connection.
    Status decrypt(char* buffer, std::size_t size, std::size_t* taken);
    // Turns size bytes (at most kMaxRecordPlainText) into one record of output.
    bool encrypt(const char* data, std::size_t size);
    // Queues our close_notify.
    void close();

    void feed(const char* data, std::size_t size);
    std::string takeOutput();

    // Why the last failure happened, in words for the log.
    const std::string& failureReason() const { return failureReason_; }
    // The platform error code of the last failure (0 before any).
    uint32_t failureCode() const { return failureCode_; }
    // Records a failure seen by the caller, such as the transport ending mid-handshake.
    Status fail(uint32_t code, const std::string& reason);

private:
    void fetchCredentials();
    Status failHandshake();
    static int giveClientCertificate(SSL* ssl, X509** certificate, EVP_PKEY** key);

    TlsClientConfig config_;
    std::unique_ptr<TlsClientContext> context_;
    SslPtr ssl_;
    BIO* input_ = nullptr;  // owned by ssl_
    BIO* output_ = nullptr; // owned by ssl_
    bool credentialsAsked_ = false;
    std::optional<TlsClientCredentials> credentials_;
    std::string failureReason_;
    uint32_t failureCode_ = 0;
};

} // namespace csp
} // namespace nxcrypto
