#pragma once

namespace Poco::Net {
class HTTPServerRequest;
class HTTPServerResponse;
} // namespace Poco::Net

namespace tessel {

class PortalUnavailable;

// 502 with what keeps the user from the portal: for a browser's page a page of the proxy's own
// in Russian, with "Повторить" and "Открыть настройки"; for anything else the text alone.
void answerPortalUnavailable(const Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response,
                             const PortalUnavailable& error);

} // namespace tessel
