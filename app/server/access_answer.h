#pragma once

namespace Poco::Net {
class HTTPRequestHandler;
}

namespace tessel {
namespace security {
struct AccessDecision;
class TokenCarriers;
} // namespace security

// Answers a request the gate stopped, or sets the token's cookie and sends the browser on to
// the target without it. The connection closes after a refusal: its body is not read.
Poco::Net::HTTPRequestHandler* accessAnswer(const security::AccessDecision& decision);

// Takes the access token out of the request before the wrapped handler forwards it.
// Takes ownership of the wrapped handler.
Poco::Net::HTTPRequestHandler* tokenStrippingHandler(Poco::Net::HTTPRequestHandler* handler,
                                                     const security::TokenCarriers& carriers);

} // namespace tessel
