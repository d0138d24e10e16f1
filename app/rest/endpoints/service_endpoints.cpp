#include "rest/endpoints/service_endpoints.h"

#include "crypto_setup/crypto_engine_setup.h"
#include "interfaces/app_config.h"
#include "rest/conventions/request_input.h"
#include "rest/conventions/respond.h"
#include "rest/conventions/response_output.h"

#include "tessel/exception.h"
#include "tessel/log_record.h"

#include <QJsonObject>

namespace tessel::rest {

bool ping(Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] { sendNoContent(response); });
}

bool version(Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] { sendJson(response, QStringLiteral("1.3.1")); });
}

bool getSettings(Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        const AppConfig* config = AppConfig::instance();
        sendJson(response,
                 QJsonObject{{QStringLiteral("initial"), !config->isSaved()},
                             {QStringLiteral("settings"), config->toJson()}});
    });
}

bool saveSettings(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        const QJsonValue body = parseJsonBody(request);
        AppConfig* config = AppConfig::instance();
        config->updateConfig(body.toObject());
        LOG_DEBUG << "New settings: " << toJsonText(config->toJson());
        const EngineSetup setup = reinitEngine();
        // Saved before an engine failure is reported: the user's choice is kept either way.
        config->save();
        if (const boost::optional<QString>& error = setup.get<1>())
            throw utils::exception(QStringLiteral("Failed to initialize with new settings: %1").arg(*error));
        sendNoContent(response);
    });
}

} // namespace tessel::rest
