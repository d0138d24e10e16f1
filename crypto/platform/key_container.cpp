#include "crypto/platform/key_container.h"

#include "crypto/platform/error_codes.h"
#include "crypto/platform/key_file_p.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/openssl_access.h"
#include "crypto/platform/openssl_init.h"
#include "crypto/platform/provider_files.h"

#include <openssl/crypto.h>

#include <memory>
#include <mutex>
#include <sys/stat.h>

namespace nxcrypto {
namespace csp {

namespace {

struct ProviderInfo
{
    const char* name;
    uint32_t type;
};

const ProviderInfo providers[] = {
    {"NXCSP GOST R 34.10-2001 Cryptographic Service Provider", kProvGost2001},
    {"NXCSP GOST R 34.10-2012 Cryptographic Service Provider", kProvGost2012},
    {"NXCSP GOST R 34.10-2012 Strong Cryptographic Service Provider", kProvGost2012Strong},
};

bool fileExists(const std::string& path)
{
    struct stat info;
    return ::stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

} // namespace

// The state behind a provider handle; keys taken from the handle share it.
struct ContainerState
{
    std::string name; // empty for a verification context
    std::string directory;
    std::string providerName;
    uint32_t providerType = 0;
    uint32_t flags = 0;
    std::mutex mutex;
    EvpPkeyPtr unlocked[3]; // by key spec, once a PIN opened them (or they need none)
};

struct Provider
{
    std::shared_ptr<ContainerState> state;
};

struct Key
{
    std::shared_ptr<ContainerState> state;
    uint32_t keySpec;
};

Provider* acquireContext(const std::string& container, const std::string& providerName, uint32_t providerType,
                         uint32_t flags)
{
    initOpenSsl();
    const ProviderInfo* chosen = nullptr;
    for (const ProviderInfo& info : providers) {
        if (providerName.empty() ? info.type == providerType : providerName == info.name) {
            chosen = &info;
            break;
        }
    }
    if (!chosen)
        return fail(providerName.empty() ? err::kNteProvTypeNotDef : err::kNteKeysetNotDef, nullptr);
    // Every provider serves every GOST type (and the same containers).
    if (providerType != kProvGost2001 && providerType != kProvGost2012 && providerType != kProvGost2012Strong)
        return fail(err::kNteProvTypeNoMatch, nullptr);
    if (flags & ~(kVerifyContext | kMachineKeyset | kSilent))
        return fail(err::kNteBadFlags, nullptr);

    auto state = std::make_shared<ContainerState>();
    state->providerName = chosen->name;
    state->providerType = providerType;
    state->flags = flags;
    const bool machine = (flags & kMachineKeyset) != 0;
    if ((flags & kVerifyContext) == kVerifyContext) {
        if (!container.empty())
            return fail(err::kNteBadFlags, nullptr);
        state->directory = containersDirectory(machine);
        return new Provider{state};
    }
    if (container.empty())
        return fail(err::kNteBadKeyset, nullptr);
    state->directory = containerDirectory(container, machine);
    if (state->directory.empty())
        return fail(err::kNteBadKeyset, nullptr);
    if (!fileExists(state->directory + "/" + keyFileName(kAtSignature))
        && !fileExists(state->directory + "/" + keyFileName(kAtKeyExchange)))
        return fail(err::kNteBadKeyset, nullptr);
    state->name = container;
    return new Provider{state};
}

bool releaseContext(Provider* provider)
{
    if (!provider)
        return fail(err::kInvalidHandle);
    delete provider;
    return true;
}

bool enumProviders(uint32_t index, uint32_t* providerType, std::string* name)
{
    if (index >= sizeof providers / sizeof providers[0])
        return fail(err::kNoMoreItems);
    *providerType = providers[index].type;
    *name = providers[index].name;
    return true;
}

bool getContainerNames(Provider* provider, std::vector<std::string>* names)
{
    if (!provider)
        return fail(err::kInvalidHandle);
    if (!provider->state->name.empty())
        return fail(err::kNteBadKeyset);
    std::vector<std::string> entries;
    if (!listDirectory(provider->state->directory, &entries))
        return false;
    names->clear();
    for (const std::string& entry : entries) {
        const std::string directory = provider->state->directory + "/" + entry;
        if (fileExists(directory + "/" + keyFileName(kAtSignature))
            || fileExists(directory + "/" + keyFileName(kAtKeyExchange)))
            names->push_back(unescapeName(entry));
    }
    return true;
}

Key* getUserKey(Provider* provider, uint32_t keySpec)
{
    if (!provider)
        return fail(err::kInvalidHandle, nullptr);
    const std::string fileName = keyFileName(keySpec);
    if (fileName.empty())
        return fail(err::kNteBadKey, nullptr);
    if (provider->state->name.empty() || !fileExists(provider->state->directory + "/" + fileName))
        return fail(err::kNteNoKey, nullptr);
    return new Key{provider->state, keySpec};
}

bool destroyKey(Key* key)
{
    if (!key)
        return fail(err::kInvalidHandle);
    delete key;
    return true;
}

uint32_t keySpecOf(const Key* key) { return key ? key->keySpec : 0; }

bool getKeyCertificate(Key* key, std::vector<uint8_t>* der)
{
    if (!key)
        return fail(err::kInvalidHandle);
    if (!readFile(key->state->directory + "/" + certificateFileName(key->keySpec), der))
        return getLastError() == err::kFileNotFound ? fail(err::kScardENoSuchCertificate) : false;
    return true;
}

bool setProviderPin(Provider* provider, uint32_t parameter, const std::string& pin)
{
    if (!provider)
        return fail(err::kInvalidHandle);
    uint32_t keySpec = 0;
    if (parameter == kPpSignaturePin)
        keySpec = kAtSignature;
    else if (parameter == kPpKeyExchangePin)
        keySpec = kAtKeyExchange;
    else
        return fail(err::kNteBadType);
    ContainerState& state = *provider->state;
    if (state.name.empty())
        return fail(err::kNteBadKeyset);
    EvpPkeyPtr key;
    if (!readKeyFile(state.directory + "/" + keyFileName(keySpec), &pin, &key))
        return false;
    std::lock_guard<std::mutex> lock(state.mutex);
    state.unlocked[keySpec] = std::move(key);
    return true;
}

EvpPkeyPtr providerPrivateKey(Provider* provider, uint32_t keySpec)
{
    if (!provider)
        return fail(err::kInvalidHandle, nullptr);
    const std::string fileName = keyFileName(keySpec);
    if (fileName.empty())
        return fail(err::kNteBadKey, nullptr);
    ContainerState& state = *provider->state;
    if (state.name.empty())
        return fail(err::kNteNoKey, nullptr);
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!state.unlocked[keySpec]) {
        EvpPkeyPtr key;
        if (!readKeyFile(state.directory + "/" + fileName, nullptr, &key)) {
            if (getLastError() == err::kScardWCardNotAuthenticated && (state.flags & kSilent))
                setLastError(err::kNteSilentContext);
            return nullptr;
        }
        state.unlocked[keySpec] = std::move(key);
    }
    EVP_PKEY_up_ref(state.unlocked[keySpec].get());
    return EvpPkeyPtr(state.unlocked[keySpec].get());
}

} // namespace csp
} // namespace nxcrypto
