#pragma once

#include "support/curl_client.h"
#include "support/file_text.h"
#include "support/proxy_under_test.h"
#include "support/stand_in_portal_process.h"
#include "support/test_pki.h"
#include "support/workstation.h"

#include <QJsonArray>
#include <QJsonObject>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

// The proxy with the test user's key unlocked, in front of a stand-in portal seeded with
// two drafts and one signed incoming document.
class DocumentExchange : public testing::Test
{
protected:
    static constexpr const char* fullDraft = "0f8fad5b-d9cb-469f-a165-70867728950e";
    static constexpr const char* emptyDraft = "7c9e6679-7425-40de-944b-e07fc1f90ae7";
    static constexpr const char* incoming = "16fd2706-8baf-433b-82eb-8c7fada847da";
    static constexpr const char* sessionId = "session-42";

    DocumentExchange();

    // A REST call under /local/rest/v1/ with the session id.
    CurlAnswer call(const std::string& method, const std::string& path, const std::string& body = {});
    QJsonArray processes();
    // Waits until the process of the document has finished (state 2 or 3) and gives its status.
    QJsonObject finishedProcessOf(const std::string& documentId);

    // The proxy's local store of one kind.
    std::filesystem::path localStore(const std::string& kind) const { return directory / "storage" / kind; }
    std::filesystem::path portalDocument(const std::string& kind, const std::string& id) const
    {
        return portal.stateDir() / "documents" / kind / id;
    }
    // Adds the agent that signs incoming documents to the trusted parties, and the CA's revocation lists.
    void trustAgent() const;
    // Without the CA's revocation lists no signer's certificate can count as valid.
    void installRevocationLists() const;
    // Whether openssl verifies the detached signature of data against the test PKI.
    static bool verifiesWithOpenSsl(const std::filesystem::path& data, const std::filesystem::path& signature);
    // nxcsp-admin store add STORE FILES... on the workstation.
    void addToStore(const std::vector<std::string>& storeAndFiles) const;

    std::filesystem::path directory = testsupport::TestPki::instance().makeTemporaryDirectory("documents");
    Workstation workstation{Workstation::UserKeyAndRoots};
    testsupport::StandInPortalProcess portal{{"--client-auth", "require"}};
    ProxyUnderTest proxy{directory, portal.url(""), Workstation::keyName, {workstation.environment()}};
};

using testsupport::fileText;
