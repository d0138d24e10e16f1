#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Certificate chains: a chain engine (its trust anchors: the ROOT store, or a
// restricted store) builds the chain of a certificate with the certificates of an
// additional store, checks it (validity, signatures, CA constraints, and with the
// revocation flags the CRLs of the stores and of the certificates' distribution
// points) and reports the trust error and info bits.
namespace nxcrypto {
namespace csp {

struct ChainEngine;
struct CertChain;
struct CertContext;
struct CertStore;

// Trust error bits.
constexpr uint32_t kTrustNoError = 0x0;
constexpr uint32_t kTrustIsNotTimeValid = 0x1;
constexpr uint32_t kTrustIsRevoked = 0x4;
constexpr uint32_t kTrustIsNotSignatureValid = 0x8;
constexpr uint32_t kTrustIsNotValidForUsage = 0x10;
constexpr uint32_t kTrustIsUntrustedRoot = 0x20;
constexpr uint32_t kTrustRevocationStatusUnknown = 0x40;
constexpr uint32_t kTrustIsCyclic = 0x80;
constexpr uint32_t kTrustInvalidExtension = 0x100;
constexpr uint32_t kTrustInvalidPolicyConstraints = 0x200;
constexpr uint32_t kTrustInvalidBasicConstraints = 0x400;
constexpr uint32_t kTrustInvalidNameConstraints = 0x800;
constexpr uint32_t kTrustIsPartialChain = 0x10000;
constexpr uint32_t kTrustIsOfflineRevocation = 0x1000000;
constexpr uint32_t kTrustHasNotSupportedCriticalExt = 0x8000000;

// Trust info bits.
constexpr uint32_t kTrustHasKeyMatchIssuer = 0x2;
constexpr uint32_t kTrustHasNameMatchIssuer = 0x4;
constexpr uint32_t kTrustIsSelfSigned = 0x8;
constexpr uint32_t kTrustHasPreferredIssuer = 0x100;

// Chain flags.
constexpr uint32_t kChainTimestampTime = 0x200; // the given time also for revocation
constexpr uint32_t kChainRevocationCheckEndCert = 0x10000000;
constexpr uint32_t kChainRevocationCheckChain = 0x20000000;
constexpr uint32_t kChainRevocationCheckChainExcludeRoot = 0x40000000;

struct ChainParameters
{
    // Required extended key usages (OIDs); all of them when usageAnd, else any.
    std::vector<std::string> usage;
    bool usageAnd = true;
    // Time-out for fetching CRLs from distribution points; 0 means 15 seconds.
    uint32_t urlRetrievalTimeoutMs = 0;
};

// restrictedRoot: the trust anchors; null for the workstation's default trust: the
// ROOT store's certificates as anchors, the CA store's as intermediates (both
// stores' CRLs for revocation).
ChainEngine* createChainEngine(CertStore* restrictedRoot);
bool freeChainEngine(ChainEngine* engine);

// engine null: the default engine (ROOT store). time: seconds since 1970 UTC, null
// for now. additionalStore may be null.
const CertChain* getCertificateChain(ChainEngine* engine, const CertContext* certificate, const int64_t* time,
                                     CertStore* additionalStore, const ChainParameters& parameters, uint32_t flags);
bool freeCertificateChain(const CertChain* chain);

uint32_t chainErrorStatus(const CertChain* chain);
uint32_t chainInfoStatus(const CertChain* chain);
// The chain's certificates, leaf first; the contexts belong to the chain.
size_t chainLength(const CertChain* chain);
const CertContext* chainElement(const CertChain* chain, size_t index);
uint32_t chainElementErrorStatus(const CertChain* chain, size_t index);

} // namespace csp
} // namespace nxcrypto
