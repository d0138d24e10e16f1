#include "crypto/platform/tls_client_context.h"

#include "crypto/platform/last_error.h"
#include "crypto/platform/openssl_init.h"
#include "crypto/platform/tls_error_codes.h"

#include <openssl/x509_vfy.h>

namespace nxcrypto {
namespace csp {

namespace {

// Portals of this kind are often served by stacks that speak only the LEGACY code point.
const char* const kGostCipherSuites =
    "IANA-GOST2012-GOST8912-GOST8912:LEGACY-GOST2012-GOST8912-GOST8912:GOST2001-GOST89-GOST89";

// A stack that borrows its certificates: freeing it leaves them alone.
struct BorrowingStackFree
{
    void operator()(STACK_OF(X509) * stack) const { sk_X509_free(stack); }
};
using BorrowingX509Stack = std::unique_ptr<STACK_OF(X509), BorrowingStackFree>;

} // namespace

std::unique_ptr<TlsClientContext> TlsClientContext::create(const TlsClientConfig& config,
                                                           ClientCertificateCallback callback)
{
    std::unique_ptr<TlsClientContext> context(new TlsClientContext());
    if (!context->configure(config, callback))
        return fail(err::kSecEInternalError, nullptr);
    return context;
}

bool TlsClientContext::configure(const TlsClientConfig& config, ClientCertificateCallback callback)
{
    if (!initOpenSsl())
        return false;
    context_.reset(SSL_CTX_new(TLS_client_method()));
    intermediates_.reset(sk_X509_new_null());
    X509StorePtr chainStore(X509_STORE_new());
    if (!context_ || !intermediates_ || !chainStore || !SSL_CTX_set_min_proto_version(get(), TLS1_2_VERSION)
        || !SSL_CTX_set_max_proto_version(get(), TLS1_2_VERSION) || !SSL_CTX_set_cipher_list(get(), kGostCipherSuites))
        return false;
    X509_STORE* trust = SSL_CTX_get_cert_store(get());
    for (const X509Ptr& anchor : config.trustAnchors) {
        if (!X509_STORE_add_cert(trust, anchor.get()) || !X509_STORE_add_cert(chainStore.get(), anchor.get()))
            return false;
    }
    for (const X509Ptr& intermediate : config.intermediates) {
        if (!X509_up_ref(intermediate.get()))
            return false;
        sk_X509_push(intermediates_.get(), intermediate.get());
        X509_STORE_add_cert(chainStore.get(), intermediate.get());
    }
    // Our own certificate goes out with the issuers we know, for servers that hold only roots.
    if (!SSL_CTX_set1_chain_cert_store(get(), chainStore.get()))
        return false;
    SSL_CTX_set_verify(get(), SSL_VERIFY_PEER, nullptr);
    SSL_CTX_set_cert_verify_callback(get(), &TlsClientContext::verifyServerChain, this);
    SSL_CTX_set_client_cert_cb(get(), callback);
    return true;
}

int TlsClientContext::verifyServerChain(X509_STORE_CTX* storeContext, void* self)
{
    // The server's chain may leave out issuers that our CA store holds: offer them as
    // untrusted helpers, so that only the trust anchors are trusted.
    const TlsClientContext* context = static_cast<const TlsClientContext*>(self);
    STACK_OF(X509)* peerChain = X509_STORE_CTX_get0_untrusted(storeContext);
    BorrowingX509Stack untrusted(peerChain ? sk_X509_dup(peerChain) : sk_X509_new_null());
    if (!untrusted)
        return 0;
    for (int i = 0; i < sk_X509_num(context->intermediates_.get()); ++i)
        sk_X509_push(untrusted.get(), sk_X509_value(context->intermediates_.get(), i));
    X509_STORE_CTX_set0_untrusted(storeContext, untrusted.get());
    const int verified = X509_verify_cert(storeContext);
    X509_STORE_CTX_set0_untrusted(storeContext, peerChain);
    return verified;
}

} // namespace csp
} // namespace nxcrypto
