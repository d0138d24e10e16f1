// Request bodies of the REST API as the endpoints take them: text up to the first zero byte,
// JSON when it opens like an object or an array, a string otherwise.
#include "fuzz/fuzz_server_request.h"
#include "fuzz/qt_json_leak.h"

#include "rest/conventions/request_input.h"

#include "tessel/exception.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string body(reinterpret_cast<const char*>(data), size);
    FuzzServerRequest textRequest("text/plain", body);
    const QString text = tessel::rest::readBodyText(textRequest);
    // Decoding can only shorten: each UTF-16 unit comes from one byte or more.
    if (static_cast<size_t>(text.size()) > size)
        std::abort();

    FuzzServerRequest jsonRequest("application/json", body);
    try {
        const QJsonValue value = tessel::rest::parseJsonBody(jsonRequest);
        if (text.isEmpty() != value.isNull())
            std::abort();
    } catch (const tessel::utils::exception&) {
        // broken JSON is refused; only an object or array opening may be
        if (!text.startsWith(QLatin1Char('{')) && !text.startsWith(QLatin1Char('[')))
            std::abort();
    }
    return 0;
}
