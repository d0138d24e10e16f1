#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The GOST provider's key containers: provider handles on a container (or on no
// container, a verification context), the key pairs in it, their certificates and
// PINs. A container is a directory <provider root>/containers/<name>/ holding
// signature.key and/or exchange.key (PKCS#8 PEM, encrypted with the PIN when it has
// one) and signature.cer / exchange.cer (DER). Failures set the last error.
namespace nxcrypto {
namespace csp {

struct Provider;
struct Key;

// Provider types.
constexpr uint32_t kProvGost2001 = 75;
constexpr uint32_t kProvGost2012 = 80;
constexpr uint32_t kProvGost2012Strong = 81;

// acquireContext flags.
constexpr uint32_t kVerifyContext = 0xF0000000;
constexpr uint32_t kMachineKeyset = 0x20;
constexpr uint32_t kSilent = 0x40;

// Kinds of key a container holds.
constexpr uint32_t kAtKeyExchange = 1;
constexpr uint32_t kAtSignature = 2;

// setProviderPin parameters.
constexpr uint32_t kPpKeyExchangePin = 32;
constexpr uint32_t kPpSignaturePin = 33;

// A handle on the container (kVerifyContext: on none). An empty provider name
// selects the provider of the type. Fails with NTE_BAD_KEYSET for a container that
// does not exist, NTE_PROV_TYPE_NOT_DEF for a type that is not a GOST type,
// NTE_KEYSET_NOT_DEF for an unknown provider name.
Provider* acquireContext(const std::string& container, const std::string& providerName, uint32_t providerType,
                         uint32_t flags);
bool releaseContext(Provider* provider);

// The provider at index (advance index yourself); ERROR_NO_MORE_ITEMS past the last.
bool enumProviders(uint32_t index, uint32_t* providerType, std::string* name);

// Names of the containers of the handle's key set, sorted.
bool getContainerNames(Provider* provider, std::vector<std::string>* names);

// The container's key pair of keySpec; NTE_NO_KEY when it has none.
Key* getUserKey(Provider* provider, uint32_t keySpec);
bool destroyKey(Key* key);
uint32_t keySpecOf(const Key* key);
// The DER certificate kept with the key; SCARD_E_NO_SUCH_CERTIFICATE when there is none.
bool getKeyCertificate(Key* key, std::vector<uint8_t>* der);

// Gives the PIN of the key pair (kPpSignaturePin or kPpKeyExchangePin) to the
// handle; a wrong PIN fails at once with SCARD_W_WRONG_CHV. Every later use of
// that private key through the handle then works. A key stored without PIN takes
// any PIN.
bool setProviderPin(Provider* provider, uint32_t parameter, const std::string& pin);

// Administration (nxcsp-admin, tests). keyPem: a private key in PEM (PKCS#8 or the
// key's traditional form); certificateDer: its certificate, whose public key must be
// the key's (NTE_BAD_PUBLIC_KEY otherwise). An empty PIN stores the key unencrypted.
// Importing a key pair the container already has fails with NTE_EXISTS.
bool importContainerKey(const std::string& container, bool machineKeyset, uint32_t keySpec, const std::string& keyPem,
                        const std::vector<uint8_t>& certificateDer, const std::string& pin);
// Re-encrypts every key pair of the container; an empty new PIN removes it. A wrong
// old PIN fails with SCARD_W_WRONG_CHV and changes nothing.
bool changeContainerPin(const std::string& container, bool machineKeyset, const std::string& oldPin,
                        const std::string& newPin);
bool deleteContainer(const std::string& container, bool machineKeyset);

} // namespace csp
} // namespace nxcrypto
