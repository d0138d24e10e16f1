#pragma once

// OpenSSL objects behind the layer's handles, for the parts of the crypto library
// that speak OpenSSL directly (the TLS client). Never included by the application.

#include "crypto/platform/openssl_ptr.h"

#include <cstdint>
#include <vector>

namespace nxcrypto {
namespace csp {

struct CertContext;
struct CrlContext;
struct CertStore;
struct Provider;

// Borrowed pointers, valid while the context lives.
X509* certX509(const CertContext* context);
X509_CRL* crlX509(const CrlContext* context);

// The private key of the container's key pair keySpec (AT_KEYEXCHANGE 1 or
// AT_SIGNATURE 2), a new reference. Fails (null, last error set) when the container
// has no such key (NTE_NO_KEY) or the key has a PIN that was not given on this
// handle (SCARD_W_CARD_NOT_AUTHENTICATED, or NTE_SILENT_CONTEXT for a silent handle).
EvpPkeyPtr providerPrivateKey(Provider* provider, uint32_t keySpec);

// New references to the certificates and CRLs a store holds now (collections: of all members).
std::vector<X509Ptr> storeX509Certificates(CertStore* store);
std::vector<X509CrlPtr> storeX509Crls(CertStore* store);

} // namespace csp
} // namespace nxcrypto
