#pragma once

#include <QString>

namespace nxcrypto {
class CryptoEngine;
}

namespace tessel {

// Gives the engine its key's password, as one attempt of the process-wide PIN attempts of the
// engine's key container: a wrong password raises nxcrypto::WrongPassword.
void unlockKey(nxcrypto::CryptoEngine& engine, const QString& password);

} // namespace tessel
