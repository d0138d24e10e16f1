#include "crypto_setup/key_unlock.h"

#include "crypto_setup/pin_attempts.h"

#include "crypto/engine/crypto_engine.h"

#include <thread>

namespace tessel {

void unlockKey(nxcrypto::CryptoEngine& engine, const QString& password)
{
    static PinAttempts attempts([](std::chrono::seconds pause) { std::this_thread::sleep_for(pause); });
    attempts.attempt(engine.getCurrentKeyName(), [&] { engine.setKeyPass(password); });
}

} // namespace tessel
