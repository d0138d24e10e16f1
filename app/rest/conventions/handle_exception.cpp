#include "rest/conventions/handle_exception.h"

#include "rest/conventions/errors.h"
#include "rest/conventions/response_output.h"

#include "tessel/log_record.h"

#include <Poco/Net/HTTPServerResponse.h>

#include <exception>

namespace tessel::rest {

void handle_exception(Poco::Net::HTTPServerResponse& response)
{
    const std::exception_ptr current = std::current_exception();
    if (!current)
        return;
    try {
        std::rethrow_exception(current);
    } catch (const not_found& e) {
        sendError(response, QString::fromUtf8(e.what()), 404);
    } catch (const bad_request& e) {
        sendError(response, QString::fromUtf8(e.what()), 400);
    } catch (const forbidden& e) {
        LOG_WARN << QString::fromUtf8(e.what());
        sendError(response, QString::fromUtf8(e.what()), 403);
    } catch (const server_error& e) {
        sendError(response, QString::fromUtf8(e.what()), 500);
    } catch (const std::exception& e) {
        LOG_ERROR << QString::fromUtf8(e.what());
        sendError(response, QString::fromUtf8(e.what()), 500);
    }
}

} // namespace tessel::rest
