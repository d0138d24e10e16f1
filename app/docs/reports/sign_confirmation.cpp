#include "docs/reports/sign_confirmation.h"

#include "crypto/records/sign_info.h"

namespace tessel::docs {

bool isConfirmed(const nxcrypto::SignInfo& info)
{
    return info.globalSignState() == nxcrypto::SignState::Valid
        && info.certificateState() == nxcrypto::CertificateState::Valid;
}

} // namespace tessel::docs
