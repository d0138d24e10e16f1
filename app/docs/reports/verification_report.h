#pragma once

#include "crypto/records/sign_info.h"

#include <QString>

namespace tessel::docs {

// The HTML report of a document's signature check: the overall states, the signer and every data block.
QString verificationReport(const nxcrypto::SignInfoPtr& info);

} // namespace tessel::docs
