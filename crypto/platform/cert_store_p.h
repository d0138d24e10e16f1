#pragma once

// Inside of certificate stores.

#include "crypto/platform/cert_context_p.h"
#include "crypto/platform/crl_context_p.h"

#include <memory>

namespace nxcrypto {
namespace csp {

struct StoreImpl : std::enable_shared_from_this<StoreImpl>
{
    virtual ~StoreImpl() = default;
    // The store's lists as they are now.
    virtual bool certificates(std::shared_ptr<const CertSnapshot>* list) = 0;
    virtual bool crls(std::shared_ptr<const CrlSnapshot>* list) = 0;
    virtual bool addCertificate(const std::shared_ptr<const CertData>& data, uint32_t disposition,
                                CertEntry* added) = 0;
    virtual bool removeCertificate(const CertData& data, const std::string& path) = 0;
    virtual bool addCrl(const std::shared_ptr<const CrlData>& data, uint32_t disposition) = 0;
    virtual bool removeCrl(const CrlData& data, const std::string& path) = 0;
};

struct CertStore
{
    std::shared_ptr<StoreImpl> impl;
};

} // namespace csp
} // namespace nxcrypto
