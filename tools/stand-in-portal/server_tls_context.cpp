#include "server_tls_context.h"

#include <Poco/Net/Utility.h>

#include <openssl/ssl.h>

#include <stdexcept>

namespace standin {

namespace {

using Poco::Net::Context;

// Portals of this kind often speak only the LEGACY code point, so both 2012 ids are offered.
const char* const kGostCipherSuites =
    "IANA-GOST2012-GOST8912-GOST8912:LEGACY-GOST2012-GOST8912-GOST8912:GOST2001-GOST89-GOST89";
// Resumed sessions keep the client certificate they were made with; OpenSSL refuses to resume a
// verified session without a context to bind it to.
const char* const kSessionContext = "stand-in-portal";

[[noreturn]] void fail(const std::string& what)
{
    const std::string reason = Poco::Net::Utility::getLastError();
    Poco::Net::Utility::clearErrorStack();
    throw std::runtime_error(what + ": " + reason);
}

Context::VerificationMode verificationMode(ClientAuth clientAuth)
{
    switch (clientAuth) {
    case ClientAuth::Require:
        return Context::VERIFY_STRICT;
    case ClientAuth::Optional:
        return Context::VERIFY_RELAXED;
    case ClientAuth::None:
        break;
    }
    return Context::VERIFY_NONE;
}

// POCO's context takes one certificate; the pairs of a 2012 and a 2001 key go in side by side.
void loadCertificate(SSL_CTX* context, const ServerCertificate& certificate)
{
    if (!SSL_CTX_use_certificate_chain_file(context, certificate.certificate.c_str()))
        fail("server certificate " + certificate.certificate.string());
    if (!SSL_CTX_use_PrivateKey_file(context, certificate.key.c_str(), SSL_FILETYPE_PEM))
        fail("server key " + certificate.key.string());
    if (!SSL_CTX_check_private_key(context))
        fail("server key " + certificate.key.string() + " does not match " + certificate.certificate.string());
    // A leaf-only certificate file gets its intermediates from the CA bundle; a chain that
    // cannot be completed is sent as far as it goes.
    SSL_CTX_build_cert_chain(context,
                             SSL_BUILD_CHAIN_FLAG_UNTRUSTED | SSL_BUILD_CHAIN_FLAG_NO_ROOT
                                 | SSL_BUILD_CHAIN_FLAG_IGNORE_ERROR);
    Poco::Net::Utility::clearErrorStack();
}

// The CertificateRequest names the CAs, so that a client offers a certificate that chains to one.
void announceClientCas(SSL_CTX* context, const std::filesystem::path& caBundle)
{
    STACK_OF(X509_NAME)* names = SSL_load_client_CA_file(caBundle.c_str());
    if (!names)
        fail("CA names of " + caBundle.string());
    SSL_CTX_set_client_CA_list(context, names);
}

} // namespace

Context::Ptr makeServerTlsContext(const PortalOptions& options)
{
    Context::Params params;
    params.caLocation = options.caBundle.string();
    params.verificationMode = verificationMode(options.clientAuth);
    params.cipherList = kGostCipherSuites;
    Context::Ptr context;
    try {
        context = new Context(Context::TLS_SERVER_USE, params);
    } catch (const Poco::Exception& e) {
        throw std::runtime_error("TLS setup with CA bundle " + options.caBundle.string()
                                 + " (is the GOST engine loaded?): " + e.displayText());
    }
    context->requireMinimumProtocol(Context::PROTO_TLSV1_2);
    context->disableProtocols(Context::PROTO_TLSV1_3);
    // A client certificate names a person, not the host it connects from.
    context->enableExtendedCertificateVerification(false);
    context->enableSessionCache(true, kSessionContext);
    SSL_CTX_set_options(context->sslContext(), SSL_OP_NO_RENEGOTIATION);
    if (options.clientAuth != ClientAuth::None)
        announceClientCas(context->sslContext(), options.caBundle);
    for (const ServerCertificate& certificate : options.certificates)
        loadCertificate(context->sslContext(), certificate);
    return context;
}

} // namespace standin
