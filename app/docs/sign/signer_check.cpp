#include "docs/sign/signer_check.h"

#include "crypto/engine/crypto_engine.h"

namespace tessel::docs {

SignerCheck::SignerCheck(QSharedPointer<nxcrypto::CryptoEngine> engine) : m_engine(std::move(engine)) {}

nxcrypto::CertificateState SignerCheck::operator()(const nxcrypto::CertificateDescriptionPtr& signer) const
{
    if (m_engine->getCertificate(false, signer))
        return nxcrypto::CertificateState::Valid;
    const nxcrypto::CertificateDescriptionPtr own = m_engine->getKeyCertificate();
    if (own && *own == *signer)
        return nxcrypto::CertificateState::Valid;
    return nxcrypto::CertificateState::UntrustedParty;
}

} // namespace tessel::docs
