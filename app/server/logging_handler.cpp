#include "server/logging_handler.h"

#include "http/request_handler.h"

#include "tessel/log_record.h"

#include <Poco/Exception.h>
#include <Poco/Net/HTTPServerRequest.h>

#include <QCoreApplication>

#include <memory>

namespace tessel {

QString exceptionText(const std::exception& error)
{
    QString text;
    const std::exception* current = &error;
    while (current) {
        if (!text.isEmpty())
            text += QStringLiteral("\n  ") + QCoreApplication::translate("loggingHandler", "Caused by: ");
        const auto* poco = dynamic_cast<const Poco::Exception*>(current);
        if (!poco) {
            text += QString::fromUtf8(current->what());
            break;
        }
        text += QString::fromStdString(poco->displayText());
        current = poco->nested();
    }
    return text;
}

Poco::Net::HTTPRequestHandler* loggingHandler(Poco::Net::HTTPRequestHandler* handler)
{
    std::shared_ptr<Poco::Net::HTTPRequestHandler> wrapped(handler);
    return new RequestHandler(
        [wrapped](Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) {
            // Handlers rewrite the target (the forwarding puts the portal's path in front); the record
            // names it as it was received.
            const std::string target = request.getURI();
            try {
                wrapped->handleRequest(request, response);
            } catch (const std::exception& e) {
                LOG_WARN << QCoreApplication::translate("loggingHandler",
                                                        "Uncaught exception when handling request to %1: %2")
                                .arg(QString::fromUtf8(target.c_str()), exceptionText(e));
                throw;
            }
        });
}

} // namespace tessel
