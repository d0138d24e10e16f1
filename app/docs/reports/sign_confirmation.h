#pragma once

namespace nxcrypto {
class SignInfo;
}

namespace tessel::docs {

// A document counts as authentic when every signature is correct and the signer's certificate is valid.
bool isConfirmed(const nxcrypto::SignInfo& info);

} // namespace tessel::docs
