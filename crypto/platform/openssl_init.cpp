#include "crypto/platform/openssl_init.h"

#include <openssl/engine.h>
#include <openssl/err.h>
#include <openssl/evp.h>
#include <openssl/ssl.h>

#include <mutex>

namespace nxcrypto {
namespace csp {

namespace {

struct InitState
{
    bool ready = false;
    std::string error;
};

std::string takeOpenSslErrors()
{
    std::string text;
    unsigned long code;
    char buffer[256];
    while ((code = ERR_get_error()) != 0) {
        ERR_error_string_n(code, buffer, sizeof buffer);
        if (!text.empty())
            text += "; ";
        text += buffer;
    }
    return text;
}

InitState initialise()
{
    InitState state;
    OPENSSL_init_ssl(OPENSSL_INIT_LOAD_SSL_STRINGS | OPENSSL_INIT_LOAD_CRYPTO_STRINGS, nullptr);
    ENGINE_load_builtin_engines();

    // ENGINE_by_id falls back to loading engines-3/gost.so (or $OPENSSL_ENGINES/gost.so).
    ENGINE* engine = ENGINE_by_id("gost");
    if (!engine) {
        state.error =
            "the OpenSSL GOST engine \"gost\" was not found (package libengine-gost-openssl): " + takeOpenSslErrors();
        return state;
    }
    if (!ENGINE_init(engine)) {
        state.error = "the OpenSSL GOST engine did not initialise: " + takeOpenSslErrors();
        ENGINE_free(engine);
        return state;
    }
    if (!ENGINE_set_default(engine, ENGINE_METHOD_ALL)) {
        state.error = "the OpenSSL GOST engine could not be made the default: " + takeOpenSslErrors();
        ENGINE_finish(engine);
        ENGINE_free(engine);
        return state;
    }
    // The functional reference stays for the life of the process: the engine's
    // methods are used until exit. The structural reference is no longer needed.
    ENGINE_free(engine);

    if (!EVP_get_digestbyname("md_gost12_256")) {
        state.error = "the OpenSSL GOST engine gives no GOST R 34.11-2012 digest";
        return state;
    }
    ERR_clear_error();
    state.ready = true;
    return state;
}

const InitState& initState()
{
    static const InitState state = initialise();
    return state;
}

} // namespace

bool initOpenSsl() { return initState().ready; }

std::string initOpenSslError() { return initState().error; }

} // namespace csp
} // namespace nxcrypto
