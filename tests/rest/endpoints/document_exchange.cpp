#include "document_exchange.h"

#include "support/command.h"

#include <QJsonDocument>

#include <chrono>
#include <thread>

DocumentExchange::DocumentExchange()
{
    const testsupport::CommandResult seeded = testsupport::runCommand(
        {VPP_SEED_DOCUMENTS, portal.stateDir().string(), testsupport::TestPki::instance().file("").string()});
    if (seeded.exitStatus != 0)
        throw std::runtime_error("seed-documents failed: " + seeded.output + seeded.errors);
    const CurlAnswer unlocked =
        runCurl({"-X", "POST", "--data-binary", Workstation::pin, proxy.url("/local/rest/v1/crypto/setkp")});
    if (unlocked.status != 204)
        throw std::runtime_error("setkp failed: " + unlocked.body);
}

CurlAnswer DocumentExchange::call(const std::string& method, const std::string& path, const std::string& body)
{
    std::vector<std::string> arguments = {"-X", method, "-H", std::string("X-Session-Id: ") + sessionId};
    if (!body.empty()) {
        arguments.insert(arguments.end(), {"-H", "Content-Type: application/json", "--data-binary", body});
    }
    arguments.push_back(proxy.url("/local/rest/v1/" + path));
    return runCurl(arguments);
}

QJsonArray DocumentExchange::processes()
{
    return QJsonDocument::fromJson(QByteArray::fromStdString(call("GET", "processes").body)).array();
}

QJsonObject DocumentExchange::finishedProcessOf(const std::string& documentId)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    while (std::chrono::steady_clock::now() < deadline) {
        for (const QJsonValue& entry : processes()) {
            const QJsonObject status = entry.toObject();
            const int state = status.value("state").toInt();
            if (status.value("documentId").toString().toStdString() == documentId && (state == 2 || state == 3))
                return status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ADD_FAILURE() << "no finished process for " << documentId;
    return {};
}

void DocumentExchange::trustAgent() const
{
    addToStore({"velmar_portal_proxy_trust", testsupport::TestPki::instance().file("agent.pem").string()});
    installRevocationLists();
}

void DocumentExchange::installRevocationLists() const
{
    const testsupport::TestPki& pki = testsupport::TestPki::instance();
    addToStore({"ROOT", pki.file("root.crl.pem").string(), pki.file("intermediate.crl.pem").string()});
}

void DocumentExchange::addToStore(const std::vector<std::string>& storeAndFiles) const
{
    std::vector<std::string> command = {VPP_NXCSP_ADMIN, "store", "add"};
    command.insert(command.end(), storeAndFiles.begin(), storeAndFiles.end());
    const testsupport::CommandResult added = testsupport::runCommand(command, {workstation.environment()});
    if (added.exitStatus != 0)
        throw std::runtime_error("nxcsp-admin failed: " + added.output + added.errors);
}

bool DocumentExchange::verifiesWithOpenSsl(const std::filesystem::path& data, const std::filesystem::path& signature)
{
    const testsupport::TestPki& pki = testsupport::TestPki::instance();
    const testsupport::CommandResult verified =
        testsupport::runCommand({"openssl", "cms", "-verify", "-binary", "-inform", "DER", "-in", signature.string(),
                                 "-content", data.string(), "-CAfile", pki.file("ca-bundle.pem").string(), "-purpose",
                                 "any", "-out", "/dev/null"},
                                pki.gostEnvironment());
    return verified.exitStatus == 0;
}
