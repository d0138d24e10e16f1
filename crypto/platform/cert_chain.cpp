#include "crypto/platform/cert_chain.h"

#include "crypto/platform/asn1_util_p.h"
#include "crypto/platform/cert_store.h"
#include "crypto/platform/cert_store_p.h"
#include "crypto/platform/crl_fetcher.h"
#include "crypto/platform/error_codes.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/openssl_access.h"
#include "crypto/platform/openssl_init.h"

#include <openssl/err.h>
#include <openssl/x509v3.h>

#include <ctime>
#include <map>

namespace nxcrypto {
namespace csp {

struct ChainEngine
{
    CertStore* restrictedRoot = nullptr; // owned duplicate; null: the ROOT store
};

struct ChainElement
{
    CertContext* context = nullptr;
    uint32_t error = 0;
    uint32_t info = 0;
};

struct CertChain
{
    std::vector<ChainElement> elements;
    uint32_t error = 0;
    uint32_t info = 0;
    ~CertChain()
    {
        for (ChainElement& element : elements)
            freeCertificateContext(element.context);
    }
};

namespace {

constexpr uint32_t defaultUrlTimeoutMs = 15000;

// What one verification run collects.
struct VerifyState
{
    std::map<int, uint32_t> errors; // by depth, leaf 0
    uint32_t urlTimeoutMs = defaultUrlTimeoutMs;
    bool excludeRoot = false;
    int64_t time = 0;
};

bool isCrlError(int error)
{
    switch (error) {
    case X509_V_ERR_UNABLE_TO_GET_CRL:
    case X509_V_ERR_CRL_NOT_YET_VALID:
    case X509_V_ERR_CRL_HAS_EXPIRED:
    case X509_V_ERR_UNABLE_TO_GET_CRL_ISSUER:
    case X509_V_ERR_UNABLE_TO_DECRYPT_CRL_SIGNATURE:
    case X509_V_ERR_CRL_SIGNATURE_FAILURE:
    case X509_V_ERR_ERROR_IN_CRL_LAST_UPDATE_FIELD:
    case X509_V_ERR_ERROR_IN_CRL_NEXT_UPDATE_FIELD:
    case X509_V_ERR_KEYUSAGE_NO_CRL_SIGN:
    case X509_V_ERR_DIFFERENT_CRL_SCOPE:
    case X509_V_ERR_CRL_PATH_VALIDATION_ERROR:
    case X509_V_ERR_UNHANDLED_CRITICAL_CRL_EXTENSION:
        return true;
    default:
        return false;
    }
}

// The trust error bits of an OpenSSL verification error.
uint32_t trustBits(int error)
{
    switch (error) {
    case X509_V_OK:
        return 0;
    case X509_V_ERR_CERT_NOT_YET_VALID:
    case X509_V_ERR_CERT_HAS_EXPIRED:
    case X509_V_ERR_ERROR_IN_CERT_NOT_BEFORE_FIELD:
    case X509_V_ERR_ERROR_IN_CERT_NOT_AFTER_FIELD:
        return kTrustIsNotTimeValid;
    case X509_V_ERR_CERT_REVOKED:
        return kTrustIsRevoked;
    case X509_V_ERR_CERT_SIGNATURE_FAILURE:
    case X509_V_ERR_UNABLE_TO_DECRYPT_CERT_SIGNATURE:
    case X509_V_ERR_UNABLE_TO_DECODE_ISSUER_PUBLIC_KEY:
        return kTrustIsNotSignatureValid;
    case X509_V_ERR_INVALID_PURPOSE:
    case X509_V_ERR_KEYUSAGE_NO_CERTSIGN:
    case X509_V_ERR_KEYUSAGE_NO_DIGITAL_SIGNATURE:
        return kTrustIsNotValidForUsage;
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_CERT_UNTRUSTED:
    case X509_V_ERR_CERT_REJECTED:
        return kTrustIsUntrustedRoot;
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
        return kTrustIsPartialChain;
    case X509_V_ERR_UNABLE_TO_GET_CRL:
    case X509_V_ERR_CRL_NOT_YET_VALID:
    case X509_V_ERR_CRL_HAS_EXPIRED:
        return kTrustRevocationStatusUnknown | kTrustIsOfflineRevocation;
    case X509_V_ERR_INVALID_CA:
    case X509_V_ERR_PATH_LENGTH_EXCEEDED:
    case X509_V_ERR_INVALID_NON_CA:
        return kTrustInvalidBasicConstraints;
    case X509_V_ERR_INVALID_POLICY_EXTENSION:
    case X509_V_ERR_NO_EXPLICIT_POLICY:
        return kTrustInvalidPolicyConstraints;
    case X509_V_ERR_PERMITTED_VIOLATION:
    case X509_V_ERR_EXCLUDED_VIOLATION:
    case X509_V_ERR_SUBTREE_MINMAX:
    case X509_V_ERR_UNSUPPORTED_CONSTRAINT_TYPE:
    case X509_V_ERR_UNSUPPORTED_CONSTRAINT_SYNTAX:
    case X509_V_ERR_UNSUPPORTED_NAME_SYNTAX:
        return kTrustInvalidNameConstraints;
    case X509_V_ERR_UNHANDLED_CRITICAL_EXTENSION:
        return kTrustHasNotSupportedCriticalExt;
    default:
        return isCrlError(error) ? kTrustRevocationStatusUnknown : kTrustInvalidExtension;
    }
}

bool isSelfSigned(X509* certificate) { return X509_check_issued(certificate, certificate) == X509_V_OK; }

int verifyCallback(int ok, X509_STORE_CTX* context)
{
    if (ok)
        return 1;
    auto* state = static_cast<VerifyState*>(X509_STORE_CTX_get_app_data(context));
    const int error = X509_STORE_CTX_get_error(context);
    const int depth = X509_STORE_CTX_get_error_depth(context);
    if (state->excludeRoot && isCrlError(error)) {
        // Revocation of the root itself is not asked for.
        STACK_OF(X509)* chain = X509_STORE_CTX_get0_chain(context);
        const int last = chain ? sk_X509_num(chain) - 1 : -1;
        if (depth == last && last >= 0 && isSelfSigned(sk_X509_value(chain, last)))
            return 1;
    }
    state->errors[depth] |= trustBits(error);
    return 1;
}

bool crlIsCurrent(const X509_CRL* crl, int64_t time)
{
    const ASN1_TIME* next = X509_CRL_get0_nextUpdate(crl);
    return !next || asn1TimeOrZero(next) >= time;
}

// The stores' CRLs; when none of the issuer is current, those of the certificate's
// distribution points.
STACK_OF(X509_CRL) * lookupCrls(const X509_STORE_CTX* context, const X509_NAME* issuer)
{
    STACK_OF(X509_CRL)* crls = X509_STORE_CTX_get1_crls(context, issuer);
    if (!crls)
        crls = sk_X509_CRL_new_null();
    ERR_clear_error();
    const auto* state = static_cast<VerifyState*>(X509_STORE_CTX_get_app_data(context));
    for (int i = 0; i < sk_X509_CRL_num(crls); ++i)
        if (crlIsCurrent(sk_X509_CRL_value(crls, i), state->time))
            return crls;
    X509* certificate = X509_STORE_CTX_get_current_cert(context);
    if (!certificate)
        return crls;
    for (const std::string& url : crlDistributionUrls(certificate)) {
        X509CrlPtr crl = fetchCrl(url, state->urlTimeoutMs);
        if (crl && X509_NAME_cmp(X509_CRL_get_issuer(crl.get()), issuer) == 0) {
            sk_X509_CRL_push(crls, crl.release());
            break;
        }
    }
    return crls;
}

uint32_t infoBits(X509* certificate, X509* issuer)
{
    if (!issuer)
        return 0;
    uint32_t bits = 0;
    const ASN1_OCTET_STRING* authorityKey = X509_get0_authority_key_id(certificate);
    const ASN1_OCTET_STRING* subjectKey = X509_get0_subject_key_id(issuer);
    if (authorityKey && subjectKey && ASN1_OCTET_STRING_cmp(authorityKey, subjectKey) == 0)
        bits |= kTrustHasKeyMatchIssuer;
    else
        bits |= kTrustHasNameMatchIssuer;
    if (certificate == issuer)
        bits |= kTrustIsSelfSigned;
    return bits;
}

bool extendedUsageMatches(X509* certificate, const ChainParameters& parameters)
{
    if (parameters.usage.empty())
        return true;
    auto* usages = static_cast<EXTENDED_KEY_USAGE*>(X509_get_ext_d2i(certificate, NID_ext_key_usage, nullptr, nullptr));
    if (!usages)
        return true; // no restriction in the certificate
    size_t found = 0;
    for (const std::string& wanted : parameters.usage) {
        for (int i = 0; i < sk_ASN1_OBJECT_num(usages); ++i) {
            if (oidText(sk_ASN1_OBJECT_value(usages, i)) == wanted) {
                ++found;
                break;
            }
        }
    }
    sk_ASN1_OBJECT_pop_free(usages, ASN1_OBJECT_free);
    return parameters.usageAnd ? found == parameters.usage.size() : found > 0;
}

} // namespace

ChainEngine* createChainEngine(CertStore* restrictedRoot)
{
    initOpenSsl();
    auto* engine = new ChainEngine;
    if (restrictedRoot)
        engine->restrictedRoot = duplicateStore(restrictedRoot);
    return engine;
}

bool freeChainEngine(ChainEngine* engine)
{
    if (engine)
        closeStore(engine->restrictedRoot);
    delete engine;
    return true;
}

const CertChain* getCertificateChain(ChainEngine* engine, const CertContext* certificate, const int64_t* time,
                                     CertStore* additionalStore, const ChainParameters& parameters, uint32_t flags)
{
    initOpenSsl();
    if (!certificate)
        return fail(err::kEInvalidArg, nullptr);
    CertStore* anchors = engine ? engine->restrictedRoot : nullptr;
    CertStore* rootStore = nullptr;
    CertStore* intermediateStore = nullptr;
    if (!anchors) {
        // The workstation's default trust: anchors from ROOT, intermediates from CA.
        rootStore = openSystemStore("ROOT");
        intermediateStore = openSystemStore("CA");
        if (!rootStore || !intermediateStore) {
            const uint32_t error = getLastError();
            closeStore(rootStore);
            closeStore(intermediateStore);
            return fail(error, nullptr);
        }
        anchors = rootStore;
    }

    X509StorePtr trust(X509_STORE_new());
    for (X509Ptr& anchor : storeX509Certificates(anchors))
        X509_STORE_add_cert(trust.get(), anchor.get());
    for (X509CrlPtr& crl : storeX509Crls(anchors))
        X509_STORE_add_crl(trust.get(), crl.get());
    X509StackPtr untrusted(sk_X509_new_null());
    for (X509Ptr& other : storeX509Certificates(additionalStore))
        sk_X509_push(untrusted.get(), other.release());
    for (X509CrlPtr& crl : storeX509Crls(additionalStore))
        X509_STORE_add_crl(trust.get(), crl.get());
    for (X509Ptr& other : storeX509Certificates(intermediateStore))
        sk_X509_push(untrusted.get(), other.release());
    for (X509CrlPtr& crl : storeX509Crls(intermediateStore))
        X509_STORE_add_crl(trust.get(), crl.get());
    closeStore(rootStore);
    closeStore(intermediateStore);
    ERR_clear_error();

    VerifyState state;
    state.urlTimeoutMs = parameters.urlRetrievalTimeoutMs ? parameters.urlRetrievalTimeoutMs : defaultUrlTimeoutMs;
    state.excludeRoot = (flags & kChainRevocationCheckChainExcludeRoot) != 0;
    state.time = time ? *time : static_cast<int64_t>(std::time(nullptr));
    X509_STORE_set_verify_cb(trust.get(), verifyCallback);
    X509_STORE_set_lookup_crls(trust.get(), lookupCrls);

    X509StoreCtxPtr context(X509_STORE_CTX_new());
    if (!context || !X509_STORE_CTX_init(context.get(), trust.get(), certX509(certificate), untrusted.get())) {
        ERR_clear_error();
        return fail(err::kNteNoMemory, nullptr);
    }
    X509_STORE_CTX_set_app_data(context.get(), &state);
    unsigned long verifyFlags = 0;
    if (flags & (kChainRevocationCheckChain | kChainRevocationCheckChainExcludeRoot))
        verifyFlags |= X509_V_FLAG_CRL_CHECK | X509_V_FLAG_CRL_CHECK_ALL;
    else if (flags & kChainRevocationCheckEndCert)
        verifyFlags |= X509_V_FLAG_CRL_CHECK;
    if (verifyFlags)
        X509_STORE_CTX_set_flags(context.get(), verifyFlags);
    if (time)
        X509_STORE_CTX_set_time(context.get(), 0, static_cast<time_t>(*time));
    X509_verify_cert(context.get());
    ERR_clear_error();

    auto* chain = new CertChain;
    X509StackPtr built(X509_STORE_CTX_get1_chain(context.get()));
    const int length = built ? sk_X509_num(built.get()) : 0;
    for (int i = 0; i < length; ++i) {
        X509* element = sk_X509_value(built.get(), i);
        ChainElement entry;
        if (i == 0) {
            entry.context = duplicateCertificateContext(certificate);
        } else {
            auto data = certDataFromX509(element);
            entry.context = data ? newCertContext(CertEntry{data, {}, {}}) : nullptr;
        }
        if (!entry.context)
            continue;
        X509* issuer = i + 1 < length ? sk_X509_value(built.get(), i + 1) : (isSelfSigned(element) ? element : nullptr);
        entry.info = infoBits(element, issuer);
        entry.error = state.errors.count(i) ? state.errors[i] : 0;
        chain->elements.push_back(entry);
    }
    // Errors past the last element (a missing issuer) belong to the chain's end.
    for (const auto& error : state.errors)
        if (error.first >= static_cast<int>(chain->elements.size()) && !chain->elements.empty())
            chain->elements.back().error |= error.second;
    if (!chain->elements.empty() && !extendedUsageMatches(certX509(certificate), parameters))
        chain->elements.front().error |= kTrustIsNotValidForUsage;
    for (const ChainElement& element : chain->elements) {
        chain->error |= element.error;
        chain->info |= element.info;
    }
    return chain;
}

bool freeCertificateChain(const CertChain* chain)
{
    delete chain;
    return true;
}

uint32_t chainErrorStatus(const CertChain* chain) { return chain->error; }

uint32_t chainInfoStatus(const CertChain* chain) { return chain->info; }

size_t chainLength(const CertChain* chain) { return chain->elements.size(); }

const CertContext* chainElement(const CertChain* chain, size_t index)
{
    return index < chain->elements.size() ? chain->elements[index].context : nullptr;
}

uint32_t chainElementErrorStatus(const CertChain* chain, size_t index)
{
    return index < chain->elements.size() ? chain->elements[index].error : 0;
}

} // namespace csp
} // namespace nxcrypto
