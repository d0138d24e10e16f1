// Links the crypto tests while the TLS client's file is not in the tree (see CMakeLists.txt).
#include "crypto/crypto_pro_csp_engine.h"

namespace nxcrypto {

QSharedPointer<DataStream> CryptoProCSPEngine::createTlsStream(const QSharedPointer<DataStream>&)
{
    throw Exception(QStringLiteral("CryptoProCSPEngine::createTlsStream(): the TLS client is not built"));
}

} // namespace nxcrypto
