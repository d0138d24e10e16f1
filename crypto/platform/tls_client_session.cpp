#include "crypto/platform/tls_client_session.h"

#include "crypto/platform/last_error.h"
#include "crypto/platform/tls_error_codes.h"
#include "crypto/platform/tls_openssl_errors.h"
#include "crypto/platform/tls_session_cache.h"

#include <openssl/err.h>
#include <openssl/x509v3.h>

namespace nxcrypto {
namespace csp {

namespace {

uint32_t verifyFailureCode(long result)
{
    switch (result) {
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
        return err::kSecEWrongPrincipal;
    case X509_V_ERR_CERT_HAS_EXPIRED:
    case X509_V_ERR_CERT_NOT_YET_VALID:
        return err::kSecECertExpired;
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_CERT_UNTRUSTED:
        return err::kSecEUntrustedRoot;
    default:
        return err::kSecECertUnknown;
    }
}

bool isIpAddress(const std::string& name)
{
    ASN1_OCTET_STRING* address = a2i_IPADDRESS(name.c_str());
    ASN1_OCTET_STRING_free(address);
    return address != nullptr;
}

} // namespace

TlsClientSession::TlsClientSession(TlsClientConfig config) : config_(std::move(config)) {}

TlsClientSession::~TlsClientSession()
{
    // Freeing a connection that sent no close_notify would mark its session not resumable;
    // the connection simply ends with the transport. Fatal errors still invalidate it.
    if (ssl_)
        SSL_set_shutdown(ssl_.get(), SSL_SENT_SHUTDOWN | SSL_RECEIVED_SHUTDOWN);
}

bool TlsClientSession::start()
{
    ERR_clear_error();
    if (config_.serverName.empty()) {
        fail(err::kSecEWrongPrincipal, "no server name to check the server certificate against");
        return false;
    }
    context_ = TlsClientContext::create(config_, &TlsClientSession::giveClientCertificate);
    if (!context_) {
        fail(err::kSecEInternalError, "TLS client settings refused: " + takeOpenSslErrors("unknown error"));
        return false;
    }
    ssl_.reset(SSL_new(context_->get()));
    input_ = BIO_new(BIO_s_mem());
    output_ = BIO_new(BIO_s_mem());
    if (!ssl_ || !input_ || !output_) {
        BIO_free(input_);
        BIO_free(output_);
        fail(err::kSecEInternalError, "TLS client: " + takeOpenSslErrors("out of memory"));
        return false;
    }
    SSL_set_bio(ssl_.get(), input_, output_);
    SSL_set_app_data(ssl_.get(), this);
    SSL_set_connect_state(ssl_.get());
    const bool named = isIpAddress(config_.serverName)
        ? X509_VERIFY_PARAM_set1_ip_asc(SSL_get0_param(ssl_.get()), config_.serverName.c_str())
        : SSL_set_tlsext_host_name(ssl_.get(), config_.serverName.c_str())
            && SSL_set1_host(ssl_.get(), config_.serverName.c_str());
    if (!named) {
        fail(err::kSecEWrongPrincipal, "unusable server name: " + config_.serverName);
        return false;
    }
    if (!config_.sessionKey.empty()) {
        if (const SslSessionPtr session = TlsSessionCache::instance().find(config_.sessionKey))
            SSL_set_session(ssl_.get(), session.get());
    }
    return true;
}

TlsClientSession::Status TlsClientSession::handshake()
{
    for (;;) {
        ERR_clear_error();
        const int result = SSL_do_handshake(ssl_.get());
        if (result == 1)
            break;
        const int error = SSL_get_error(ssl_.get(), result);
        if (error == SSL_ERROR_WANT_READ)
            return Status::WantInput;
        if (error != SSL_ERROR_WANT_X509_LOOKUP)
            return failHandshake();
        fetchCredentials();
    }
    if (!config_.sessionKey.empty() && !SSL_session_reused(ssl_.get()))
        TlsSessionCache::instance().store(config_.sessionKey, SslSessionPtr(SSL_get1_session(ssl_.get())));
    return Status::Ok;
}

TlsClientSession::Status TlsClientSession::decrypt(char* buffer, std::size_t size, std::size_t* taken)
{
    for (;;) {
        ERR_clear_error();
        if (SSL_read_ex(ssl_.get(), buffer, size, taken) == 1)
            return Status::Ok;
        switch (SSL_get_error(ssl_.get(), 0)) {
        case SSL_ERROR_WANT_READ:
            return Status::WantInput;
        case SSL_ERROR_ZERO_RETURN:
            return Status::Closed;
        case SSL_ERROR_WANT_X509_LOOKUP:
            // The server renegotiates and asks for the certificate now.
            fetchCredentials();
            break;
        default:
            return fail(err::kSecEInternalError, "TLS read failed: " + takeOpenSslErrors("unknown error"));
        }
    }
}

bool TlsClientSession::encrypt(const char* data, std::size_t size)
{
    ERR_clear_error();
    std::size_t written = 0;
    if (SSL_write_ex(ssl_.get(), data, size, &written) == 1)
        return true;
    fail(err::kSecEInternalError, "TLS write failed: " + takeOpenSslErrors("unknown error"));
    return false;
}

void TlsClientSession::close()
{
    ERR_clear_error();
    SSL_shutdown(ssl_.get());
    ERR_clear_error();
}

void TlsClientSession::feed(const char* data, std::size_t size) { BIO_write(input_, data, static_cast<int>(size)); }

std::string TlsClientSession::takeOutput()
{
    char* data = nullptr;
    const long size = BIO_get_mem_data(output_, &data);
    std::string output(data, static_cast<std::size_t>(size > 0 ? size : 0));
    (void)BIO_reset(output_);
    return output;
}

TlsClientSession::Status TlsClientSession::fail(uint32_t code, const std::string& reason)
{
    setLastError(code);
    failureReason_ = reason;
    failureCode_ = code;
    return Status::Failed;
}

void TlsClientSession::fetchCredentials()
{
    credentialsAsked_ = true;
    if (config_.clientCredentials)
        credentials_ = config_.clientCredentials();
}

TlsClientSession::Status TlsClientSession::failHandshake()
{
    const long verifyResult = SSL_get_verify_result(ssl_.get());
    if (verifyResult != X509_V_OK) {
        takeOpenSslErrors("");
        return fail(verifyFailureCode(verifyResult),
                    "server certificate of " + config_.serverName
                        + " refused: " + X509_verify_cert_error_string(verifyResult));
    }
    return fail(err::kSecEInternalError,
                "TLS handshake with " + config_.serverName + " failed: " + takeOpenSslErrors("unknown error"));
}

int TlsClientSession::giveClientCertificate(SSL* ssl, X509** certificate, EVP_PKEY** key)
{
    // OpenSSL cannot carry our exceptions: suspend the handshake, let handshake() fetch the
    // credentials outside the callback, and hand them over when OpenSSL asks again.
    const TlsClientSession* session = static_cast<const TlsClientSession*>(SSL_get_app_data(ssl));
    if (!session->credentialsAsked_)
        return -1;
    if (!session->credentials_)
        return 0; // none configured: go on without, the server decides

    // OpenSSL takes ownership of what it is given.
    X509_up_ref(session->credentials_->certificate.get());
    EVP_PKEY_up_ref(session->credentials_->privateKey.get());
    *certificate = session->credentials_->certificate.get();
    *key = session->credentials_->privateKey.get();
    return 1;
}

} // namespace csp
} // namespace nxcrypto
