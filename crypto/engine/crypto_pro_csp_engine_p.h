#pragma once

// The state of CryptoProCSPEngine and its internal steps. Internal to the crypto
// library: the TLS client (crypto_pro_csp_engine_tls.cpp, tls_*) includes it for
// the key, its certificate and the trust stores; the application never does.

#include "crypto/engine/csp_handle.h"
#include "crypto/platform/openssl_ptr.h"
#include "crypto/records/crypto_enums.h"
#include "crypto/records/data_sign_info.h"
#include "crypto/records/sign_info.h"

#include <QDateTime>
#include <QString>

#include <atomic>
#include <utility>
#include <vector>

class QIODevice;

namespace nxcrypto {

class CryptoProCSPEnginePrivate
{
public:
    // Members are released in reverse order: keyCertificate, key, collection,
    // trustStore, caStore, chainEngine, provider.
    KeyStorageType storageType = KeyStorageType::None;
    QString keyName;
    QString caStoreName; // null when the configuration names none
    QString trustStoreName;
    csp::ProviderHandle provider;
    ProviderType providerType = ProviderType(0);
    csp::ChainEngineHandle chainEngine;
    csp::StoreHandle caStore;
    csp::StoreHandle trustStore;
    csp::StoreHandle collection;
    csp::KeyHandle key;
    bool exchangeKey = false;
    csp::CertContextHandle keyCertificate;
    PublicKeyAlgorithm publicKeyAlgorithm = PublicKeyAlgorithm::None;
    int urlRetrieveTimeout = 10000;
    std::atomic<bool> passwordSet{false};
    bool usingMachineKeyset = false;
    bool ignoringMissingCrl = false;
    bool silent = false;

    bool isInitialized() const { return storageType != KeyStorageType::None; }
    // Raises Exception(message) when there is no provider handle.
    void checkProvider(const char* message) const;

    void initKey();

    // --- stores and chains -------------------------------------------------------
    csp::CertStore* store(bool ca) const { return ca ? caStore.get() : trustStore.get(); }
    // The chain of the certificate (leaf first) as a description, or the
    // certificate's own description when the chain is empty. Chain errors are ignored.
    CertificateDescriptionPtr describeWithChain(const csp::CertContext* certificate,
                                                csp::CertStore* additionalStore) const;
    std::vector<csp::CertContextHandle> longestChain(csp::CertStore* extra, csp::CertStore* source) const;
    csp::CertContextHandle findCertificate(csp::CertStore* store, const QString& serialNumberHex,
                                           const QString& issuerName) const;

    // --- signatures ----------------------------------------------------------------
    // One data block against one signature; the signer's certificate when it was read.
    std::pair<DataSignInfoPtr, csp::CertContextHandle> verifyDataSign(QIODevice* data, QIODevice* signature) const;
    // Judges the signer's certificate; sets certificate, certificateState and techInfo.
    void checkSigner(const csp::CertContext* signer, const QDateTime& checkTime, SignInfo& info) const;

    // --- for the TLS client ----------------------------------------------------------
    // The key certificate (a new reference); raises Exception when there is none.
    csp::X509Ptr keyCertificateX509() const;
    // The private key of the key in use; raises Exception with the platform's error
    // text when the key needs a password that setKeyPass has not given.
    csp::EvpPkeyPtr keyPrivateKey() const;
    // The trust anchors (the ROOT store), and the CA and trust stores' certificates and CRLs.
    std::vector<csp::X509Ptr> rootStoreCertificates() const;
    std::vector<csp::X509Ptr> caStoreCertificates() const;
    std::vector<csp::X509CrlPtr> storeCrls() const;
};

} // namespace nxcrypto
