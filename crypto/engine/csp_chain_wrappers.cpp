#include "crypto/engine/csp_chain_wrappers.h"

#include "crypto/errors/exception.h"
#include "crypto/errors/system_error_text.h"

namespace nxcrypto {

csp::ChainEngineHandle certCreateChainEngine(csp::CertStore* restrictedTrust)
{
    csp::ChainEngine* engine = csp::createChainEngine(restrictedTrust);
    if (!engine)
        throw Exception(QStringLiteral("certCreateChainEngine(): Error %1").arg(lastErrorText()));
    return csp::ChainEngineHandle(engine);
}

csp::ChainParameters chainParameters(int urlRetrieveTimeout)
{
    csp::ChainParameters parameters;
    parameters.usageAnd = true;
    parameters.urlRetrievalTimeoutMs = urlRetrieveTimeout > 0 ? static_cast<uint32_t>(urlRetrieveTimeout) : 0;
    return parameters;
}

csp::ChainHandle certBuildChainEx(csp::ChainEngine* engine, csp::CertStore* additionalStore,
                                  const csp::CertContext* certificate, const csp::ChainParameters& parameters,
                                  quint32 flags, const QDateTime& time)
{
    int64_t seconds = 0;
    const int64_t* at = nullptr;
    if (time.isValid()) {
        seconds = time.toUTC().toSecsSinceEpoch();
        at = &seconds;
    }
    const csp::CertChain* chain = csp::getCertificateChain(engine, certificate, at, additionalStore, parameters, flags);
    if (!chain)
        throw Exception(QStringLiteral("certBuildChainEx(): Error %1").arg(lastErrorText()));
    return csp::ChainHandle(chain);
}

std::vector<csp::CertContextHandle> certBuildChain(csp::ChainEngine* engine, csp::CertStore* additionalStore,
                                                   const csp::CertContext* certificate, int timeout,
                                                   const QDateTime& time, bool raiseErrors)
{
    const csp::ChainHandle chain =
        certBuildChainEx(engine, additionalStore, certificate, chainParameters(timeout), 0, time);
    const quint32 status = csp::chainErrorStatus(chain.get());
    if (status == csp::kTrustIsPartialChain)
        return {};
    if (status != 0 && raiseErrors)
        throw Exception(QStringLiteral("certBuildChain(): Build chain error: %1 (code %2)")
                            .arg(trustStatusText(status))
                            .arg(status));
    std::vector<csp::CertContextHandle> certificates;
    for (size_t i = 0; i < csp::chainLength(chain.get()); ++i)
        certificates.emplace_back(csp::duplicateCertificateContext(csp::chainElement(chain.get(), i)));
    return certificates;
}

QString trustStatusText(quint32 errorStatus)
{
    switch (errorStatus) {
    case 0x0:
        return QStringLiteral("No error found for this certificate or chain");
    case 0x1:
        return QStringLiteral("This certificate or one of the certificates in the certificate chain is not time-valid");
    case 0x4:
        return QStringLiteral(
            "Trust for this certificate or one of the certificates in the certificate chain has been revoked");
    case 0x8:
        return QStringLiteral(
            "The certificate or one of the certificates in the certificate chain does not have a valid signature");
    case 0x10:
        return QStringLiteral("The certificate or certificate chain is not valid in its proposed usage");
    case 0x20:
        return QStringLiteral("The certificate or certificate chain is based on an untrusted root");
    case 0x40:
        return QStringLiteral(
            "The revocation status of the certificate or one of thecertificates in the certificate chain is unknown");
    case 0x80:
        return QStringLiteral("One of the certificates in the chain was issued by a certification authority that the "
                              "original certificate had certified");
    case 0x10000:
        return QStringLiteral("The certificate chain is not complete");
    case 0x20000:
        return QStringLiteral("A CTL used to create this chain was not time-valid");
    case 0x40000:
        return QStringLiteral("A CTL used to create this chain did not have a valid signature");
    case 0x80000:
        return QStringLiteral("A CTL used to create this chain is not valid for this usage");
    default:
        return QStringLiteral("Unknown trust status %1").arg(errorStatus);
    }
}

} // namespace nxcrypto
