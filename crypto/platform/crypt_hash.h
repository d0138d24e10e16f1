#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// Hashing with the GOST digests of the provider.
namespace nxcrypto {
namespace csp {

struct CryptHash;
struct Provider;

constexpr uint32_t kCalgGost94 = 0x801E;
constexpr uint32_t kCalgGost2012_256 = 0x8021;
constexpr uint32_t kCalgGost2012_512 = 0x8022;

// NTE_BAD_ALGID for another algorithm.
CryptHash* createHash(Provider* provider, uint32_t algorithm);
bool hashData(CryptHash* hash, const uint8_t* data, size_t size);
bool getHashSize(CryptHash* hash, uint32_t* size);
// Ends the hash; later calls give the same value and hashData fails with NTE_BAD_HASH_STATE.
bool getHashValue(CryptHash* hash, std::vector<uint8_t>* value);
bool destroyHash(CryptHash* hash);

} // namespace csp
} // namespace nxcrypto
