// The engine API is deprecated in OpenSSL 3, but the GOST engine has no provider yet.
#define OPENSSL_SUPPRESS_DEPRECATED

#include "gost_engine.h"

#include <openssl/engine.h>
#include <openssl/ssl.h>

#include <stdexcept>

namespace standin {

void loadGostEngine()
{
    OPENSSL_init_ssl(0, nullptr);
    ENGINE* engine = ENGINE_by_id("gost");
    if (!engine)
        throw std::runtime_error("the OpenSSL GOST engine (id gost) cannot be loaded");
    const bool ready = ENGINE_init(engine) && ENGINE_set_default(engine, ENGINE_METHOD_ALL);
    // The functional reference from ENGINE_init keeps the engine alive for the process.
    ENGINE_free(engine);
    if (!ready)
        throw std::runtime_error("the OpenSSL GOST engine cannot be initialised");
}

} // namespace standin
