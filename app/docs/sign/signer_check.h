#pragma once

#include "crypto/records/certificate_description.h"
#include "crypto/records/crypto_enums.h"

#include <QSharedPointer>

namespace nxcrypto {
class CryptoEngine;
}

namespace tessel::docs {

// Decides whether the signer of a verified document is trusted: a certificate of the
// trust store, or the user's own key certificate (documents the user signed), is valid;
// any other signer is an unknown party.
class SignerCheck
{
public:
    explicit SignerCheck(QSharedPointer<nxcrypto::CryptoEngine> engine);

    nxcrypto::CertificateState operator()(const nxcrypto::CertificateDescriptionPtr& signer) const;

private:
    QSharedPointer<nxcrypto::CryptoEngine> m_engine;
};

} // namespace tessel::docs
