#pragma once

// The engine's wrappers over the chain calls of the layer.

#include "crypto/engine/csp_handle.h"

#include <QDateTime>
#include <QString>

#include <vector>

namespace nxcrypto {

csp::ChainEngineHandle certCreateChainEngine(csp::CertStore* restrictedTrust);
// Chain parameters: requested usage AND with no identifiers, the given time-out.
csp::ChainParameters chainParameters(int urlRetrieveTimeout);
csp::ChainHandle certBuildChainEx(csp::ChainEngine* engine, csp::CertStore* additionalStore,
                                  const csp::CertContext* certificate, const csp::ChainParameters& parameters,
                                  quint32 flags, const QDateTime& time);
// The chain's certificates, leaf first; empty for a chain that stops before a root.
std::vector<csp::CertContextHandle> certBuildChain(csp::ChainEngine* engine, csp::CertStore* additionalStore,
                                                   const csp::CertContext* certificate, int timeout,
                                                   const QDateTime& time, bool raiseErrors);

QString trustStatusText(quint32 errorStatus);

} // namespace nxcrypto
