#pragma once

#include "crypto/platform/cert_chain.h"
#include "crypto/platform/cert_context.h"
#include "crypto/platform/cert_store.h"
#include "crypto/platform/crypt_hash.h"
#include "crypto/platform/crypt_message.h"
#include "crypto/platform/key_container.h"

#include <utility>

namespace nxcrypto {
namespace csp {

// Owns one handle of the provider layer and releases it with its Destructor when
// reset, replaced or destroyed. Movable, not copyable.
template <typename T, typename Destructor, T Invalid = T()>
class Handle
{
public:
    Handle() = default;
    explicit Handle(T handle) : handle_(handle) {}
    Handle(Handle&& other) noexcept : handle_(other.release()) {}
    Handle& operator=(Handle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { reset(); }

    T get() const { return handle_; }
    explicit operator bool() const { return handle_ != Invalid; }

    void reset(T handle = Invalid)
    {
        const T previous = handle_;
        handle_ = handle;
        if (previous != Invalid)
            Destructor()(previous);
    }

    T release()
    {
        const T handle = handle_;
        handle_ = Invalid;
        return handle;
    }

private:
    T handle_ = Invalid;
};

struct ProviderDestructor
{
    void operator()(Provider* handle) const { releaseContext(handle); }
};
struct KeyDestructor
{
    void operator()(Key* handle) const { destroyKey(handle); }
};
struct CertContextDestructor
{
    void operator()(const CertContext* handle) const { freeCertificateContext(handle); }
};
struct StoreDestructor
{
    void operator()(CertStore* handle) const { closeStore(handle); }
};
struct ChainEngineDestructor
{
    void operator()(ChainEngine* handle) const { freeChainEngine(handle); }
};
struct ChainDestructor
{
    void operator()(const CertChain* handle) const { freeCertificateChain(handle); }
};
struct HashDestructor
{
    void operator()(CryptHash* handle) const { destroyHash(handle); }
};
struct MessageDestructor
{
    void operator()(CryptMessage* handle) const { msgClose(handle); }
};

using ProviderHandle = Handle<Provider*, ProviderDestructor>;
using KeyHandle = Handle<Key*, KeyDestructor>;
using CertContextHandle = Handle<const CertContext*, CertContextDestructor>;
using StoreHandle = Handle<CertStore*, StoreDestructor>;
using ChainEngineHandle = Handle<ChainEngine*, ChainEngineDestructor>;
using ChainHandle = Handle<const CertChain*, ChainDestructor>;
using HashHandle = Handle<CryptHash*, HashDestructor>;
using MessageHandle = Handle<CryptMessage*, MessageDestructor>;

} // namespace csp
} // namespace nxcrypto
