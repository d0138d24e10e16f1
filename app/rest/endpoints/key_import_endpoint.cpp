#include "rest/endpoints/key_import_endpoint.h"

#include "crypto_setup/crypto_engine_setup.h"
#include "rest/conventions/respond.h"
#include "rest/conventions/response_output.h"
#include "rest/endpoints/certificate_json.h"
#include "rest/endpoints/key_import_form.h"

#include "crypto/engine/crypto_engine.h"
#include "tessel/log_record.h"

namespace tessel::rest {
namespace {

// The words the web client tells the refusals apart by.
QString problemCode(nxcrypto::KeyImportProblem problem)
{
    switch (problem) {
    case nxcrypto::KeyImportProblem::NotPkcs12:
        return QStringLiteral("not-pkcs12");
    case nxcrypto::KeyImportProblem::WrongPassword:
        return QStringLiteral("wrong-password");
    case nxcrypto::KeyImportProblem::NoKey:
        return QStringLiteral("no-key");
    case nxcrypto::KeyImportProblem::NotGostKey:
        return QStringLiteral("not-gost-key");
    case nxcrypto::KeyImportProblem::NoKeyCertificate:
        return QStringLiteral("no-key-certificate");
    case nxcrypto::KeyImportProblem::ContainerExists:
        return QStringLiteral("container-exists");
    }
    return QString();
}

} // namespace

bool importKey(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    return respond(response, [&] {
        const KeyImportForm form(request);
        try {
            const auto certificate = engine()->importKey(form.name(), form.file(), form.password(), form.pin());
            LOG_INFO << QStringLiteral("Key container \"%1\" imported from a PKCS#12 file").arg(form.name());
            sendJson(response,
                     QJsonObject{{QStringLiteral("id"), form.name()},
                                 {QStringLiteral("name"), form.name()},
                                 {QStringLiteral("certificate"), certificateToJson(certificate)}});
        } catch (const nxcrypto::KeyImportError& e) {
            LOG_WARN << e.message();
            const bool exists = e.problem() == nxcrypto::KeyImportProblem::ContainerExists;
            sendJsonError(response,
                          QJsonObject{{QStringLiteral("error"), problemCode(e.problem())},
                                      {QStringLiteral("message"), e.message()}},
                          exists ? 409 : 400);
        }
    });
}

} // namespace tessel::rest
