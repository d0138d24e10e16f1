// The head of a request from the browser, read by Poco as the server reads it, then checked for
// framing that the proxy and the portal could read differently.
#include "server/request_framing.h"

#include <Poco/Exception.h>
#include <Poco/Net/HTTPRequest.h>

#include <cstdlib>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::istringstream head(std::string(reinterpret_cast<const char*>(data), size));
    Poco::Net::HTTPRequest request;
    try {
        request.read(head);
    } catch (const Poco::Exception&) {
        return 0; // the server answers 400 before the framing is looked at
    }
    if (!tessel::framingFault(request).isEmpty())
        return 0;
    // A request let through has one plain way to find its body's end.
    try {
        const bool chunked = request.getChunkedTransferEncoding();
        if (request.hasContentLength() && (chunked || request.getContentLength64() < 0))
            std::abort();
    } catch (const Poco::Exception&) {
        std::abort();
    }
    return 0;
}
