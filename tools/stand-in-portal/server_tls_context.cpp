#include "server_tls_context.h"

#include "crypto/platform/tls_openssl_errors.h"

#include <stdexcept>

namespace standin {

namespace {

// Portals of this kind often speak only the LEGACY code point, so both 2012 ids are offered.
const char* const kGostCipherSuites =
    "IANA-GOST2012-GOST8912-GOST8912:LEGACY-GOST2012-GOST8912-GOST8912:GOST2001-GOST89-GOST89";

[[noreturn]] void fail(const std::string& what)
{
    throw std::runtime_error(what + ": " + nxcrypto::csp::takeOpenSslErrors("unknown error"));
}

int verifyMode(ClientAuth clientAuth)
{
    switch (clientAuth) {
    case ClientAuth::Require:
        return SSL_VERIFY_PEER | SSL_VERIFY_FAIL_IF_NO_PEER_CERT;
    case ClientAuth::Optional:
        return SSL_VERIFY_PEER;
    case ClientAuth::None:
        break;
    }
    return SSL_VERIFY_NONE;
}

} // namespace

ServerTlsContext::ServerTlsContext(const PortalOptions& options)
    : context_(SSL_CTX_new(TLS_server_method()))
{
    if (!context_)
        fail("SSL_CTX_new");
    if (!SSL_CTX_set_min_proto_version(get(), TLS1_2_VERSION) || !SSL_CTX_set_max_proto_version(get(), TLS1_2_VERSION))
        fail("TLS 1.2 only");
    if (!SSL_CTX_set_cipher_list(get(), kGostCipherSuites))
        fail("GOST cipher suites (is the GOST engine loaded?)");
    SSL_CTX_set_options(get(), SSL_OP_NO_RENEGOTIATION);
    // Resumed sessions keep the client certificate they were made with; OpenSSL refuses to
    // resume a verified session without a context to bind it to.
    static const unsigned char kSessionContext[] = "stand-in-portal";
    if (!SSL_CTX_set_session_id_context(get(), kSessionContext, sizeof kSessionContext - 1))
        fail("session context");
    loadTrust(options.caBundle, options.clientAuth);
    for (const ServerCertificate& certificate : options.certificates)
        loadCertificate(certificate);
}

void ServerTlsContext::loadTrust(const std::filesystem::path& caBundle, ClientAuth clientAuth)
{
    if (!SSL_CTX_load_verify_locations(get(), caBundle.c_str(), nullptr))
        fail("CA bundle " + caBundle.string());
    if (clientAuth != ClientAuth::None) {
        STACK_OF(X509_NAME)* names = SSL_load_client_CA_file(caBundle.c_str());
        if (!names)
            fail("CA names of " + caBundle.string());
        SSL_CTX_set_client_CA_list(get(), names);
    }
    SSL_CTX_set_verify(get(), verifyMode(clientAuth), nullptr);
}

void ServerTlsContext::loadCertificate(const ServerCertificate& certificate)
{
    if (!SSL_CTX_use_certificate_chain_file(get(), certificate.certificate.c_str()))
        fail("server certificate " + certificate.certificate.string());
    if (!SSL_CTX_use_PrivateKey_file(get(), certificate.key.c_str(), SSL_FILETYPE_PEM))
        fail("server key " + certificate.key.string());
    if (!SSL_CTX_check_private_key(get()))
        fail("server key " + certificate.key.string() + " does not match " + certificate.certificate.string());
    // A leaf-only certificate file gets its intermediates from the CA bundle; a chain that
    // cannot be completed is sent as far as it goes.
    SSL_CTX_build_cert_chain(get(), SSL_BUILD_CHAIN_FLAG_UNTRUSTED | SSL_BUILD_CHAIN_FLAG_NO_ROOT
                                        | SSL_BUILD_CHAIN_FLAG_IGNORE_ERROR);
    nxcrypto::csp::takeOpenSslErrors("");
}

} // namespace standin
