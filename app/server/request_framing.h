#pragma once

#include <QString>

namespace Poco::Net {
class HTTPRequest;
}

namespace tessel {

// What makes a request's framing ambiguous, so that the proxy and the portal could see other
// requests in the same bytes: a field name that is no token (a space before its colon among
// others), Content-Length and Transfer-Encoding together, Content-Length values that differ or
// are no number, a transfer coding other than chunked. Empty for a request without such a fault.
QString framingFault(const Poco::Net::HTTPRequest& request);

} // namespace tessel
