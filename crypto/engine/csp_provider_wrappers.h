#pragma once

// The engine's wrappers over the provider and key calls of the layer: each raises
// Exception with its own message and the error text of the last platform error.

#include "crypto/engine/csp_handle.h"

#include <QString>
#include <QStringList>

namespace nxcrypto {

csp::ProviderHandle cryptAcquireContext(quint32 providerType, bool machineKeyset, const QString& containerName,
                                        bool silent, const QString& providerName);
// The AT_KEYEXCHANGE (exchange) or AT_SIGNATURE key; empty when the container has none.
csp::KeyHandle cryptoGetKey(csp::Provider* provider, bool exchange);
// The certificate kept with the key; bind: also point its key-provider property at
// the container that holds the key.
csp::CertContextHandle cryptoGetKeyCert(csp::Key* key, bool machineKeyset, bool silent, bool bind);
QStringList cryptoGetContainers(csp::Provider* provider);
// The next GOST provider's name from index on (index is advanced); empty at the end.
QString cryptEnumProviders(quint32& index);

} // namespace nxcrypto
