#pragma once

// What certificate and CRL contexts share: the parsed object with its DER and
// SHA-1, the store list entry it came from, and the reference count.

#include "crypto/platform/error_codes.h"
#include "crypto/platform/last_error.h"
#include "crypto/platform/openssl_init.h"
#include "crypto/platform/openssl_ptr.h"

#include <openssl/err.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace nxcrypto {
namespace csp {

struct StoreImpl;

std::vector<uint8_t> sha1Of(const std::vector<uint8_t>& bytes);

template <typename Object>
struct DerObject
{
    OpenSslPtr<Object> object;
    std::vector<uint8_t> der;
    std::vector<uint8_t> sha1;
};

// One object of a store's list: the store is held weakly (the store keeps its
// list), the file it came from is known for persistent stores.
template <typename Data>
struct StoreEntry
{
    std::shared_ptr<const Data> data;
    std::weak_ptr<StoreImpl> origin;
    std::string path;
};

template <typename Data>
using StoreSnapshot = std::vector<StoreEntry<Data>>;

template <typename Data>
struct StoreContext
{
    explicit StoreContext(const StoreEntry<Data>& entry)
        : data(entry.data), origin(entry.origin.lock()), path(entry.path)
    {}

    std::atomic<int> references{1};
    std::shared_ptr<const Data> data;
    std::shared_ptr<StoreImpl> origin;
    std::string path;
    // Enumeration state: the store's list at the start of the enumeration.
    std::shared_ptr<const StoreSnapshot<Data>> snapshot;
    size_t position = 0;
};

// Parses DER with the OpenSSL decoder; null (with CRYPT_E_ASN1_*) when it is none.
// Bytes after the object are ignored.
template <typename Object>
std::shared_ptr<const DerObject<Object>> parseDerObject(const uint8_t* der, size_t size,
                                                        Object* (*decode)(Object**, const unsigned char**, long))
{
    initOpenSsl();
    if (!der || size == 0)
        return fail(err::kCryptEAsn1Eod, nullptr);
    const unsigned char* cursor = der;
    OpenSslPtr<Object> object(decode(nullptr, &cursor, static_cast<long>(size)));
    if (!object) {
        ERR_clear_error();
        return fail(err::kCryptEAsn1BadTag, nullptr);
    }
    auto data = std::make_shared<DerObject<Object>>();
    data->der.assign(der, cursor);
    data->sha1 = sha1Of(data->der);
    data->object = std::move(object);
    return data;
}

template <typename Context>
Context* duplicateStoreContext(const Context* context)
{
    if (!context)
        return fail(err::kEInvalidArg, nullptr);
    auto* shared = const_cast<Context*>(context);
    shared->references.fetch_add(1);
    return shared;
}

template <typename Context>
bool freeStoreContext(const Context* context)
{
    if (!context)
        return true;
    auto* shared = const_cast<Context*>(context);
    if (shared->references.fetch_sub(1) == 1)
        delete shared;
    return true;
}

} // namespace csp
} // namespace nxcrypto
