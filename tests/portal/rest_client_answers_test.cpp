#include "client_address.h"
#include "interfaces/rest_client.h"
#include "portal/rest_client_impl.h"
#include "portal/rest_error.h"
#include "support/local_http_server.h"
#include "support/test_pki.h"

#include "tessel/exception.h"

#include <Poco/Exception.h>
#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/HTTPServerResponse.h>

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>

#include <functional>
#include <mutex>
#include <utility>

namespace {

struct ScriptedAnswer
{
    Poco::Net::HTTPResponse::HTTPStatus status = Poco::Net::HTTPResponse::HTTP_OK;
    std::string body;
    bool cutShort = false; // announces twice the body's length, then breaks off
    std::string location = {};
};

// A plain portal that gives the answer the test sets.
class RestClientAnswers : public testing::Test
{
protected:
    RestClientAnswers()
        : portal([this](Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse& response) { answer(response); }),
          directory(testsupport::TestPki::instance().makeTemporaryDirectory("rest-answers"))
    {
        pointClientAt("http://127.0.0.1:" + std::to_string(portal.port()));
    }

    void script(const ScriptedAnswer& answer)
    {
        std::lock_guard<std::mutex> lock(mutex);
        scripted = answer;
    }

    void answer(Poco::Net::HTTPServerResponse& response)
    {
        const ScriptedAnswer answer = [this] {
            std::lock_guard<std::mutex> lock(mutex);
            return scripted;
        }();
        response.setStatusAndReason(answer.status);
        response.setKeepAlive(false);
        if (!answer.location.empty())
            response.set("Location", answer.location);
        if (answer.status == Poco::Net::HTTPResponse::HTTP_NO_CONTENT) {
            response.send();
            return;
        }
        response.setContentLength64(static_cast<Poco::Int64>(answer.body.size() * (answer.cutShort ? 2 : 1)));
        response.send() << answer.body << std::flush;
        if (answer.cutShort)
            throw Poco::Exception("the portal breaks off the answer");
    }

    QFileInfo target() const { return QFileInfo(QString::fromStdString((directory / "target.bin").string())); }

    std::mutex mutex;
    ScriptedAnswer scripted;
    LocalHttpServer portal;
    std::filesystem::path directory;
    tessel::RestClient& client = *tessel::RestClient::instance();
    const QUuid id = QUuid::createUuid();
};

TEST_F(RestClientAnswers, ErrorTextsCarryTheReasonAndABodyWhenThereIsOne)
{
    const struct
    {
        ScriptedAnswer answer;
        std::string message;
    } cases[] = {
        {{Poco::Net::HTTPResponse::HTTP_NOT_FOUND, ""}, "Not Found"},
        {{Poco::Net::HTTPResponse::HTTP_NOT_FOUND, "abc"}, "Not Found: abc"},
        {{Poco::Net::HTTPResponse::HTTP_BAD_REQUEST, "bad\nform"}, "Bad Request: bad\nform"},
        // An error page is kept to its first 64 KiB.
        {{Poco::Net::HTTPResponse::HTTP_INTERNAL_SERVER_ERROR, std::string(1 << 20, 'e')},
         "Internal Server Error: " + std::string(64 * 1024, 'e')},
    };
    for (const auto& c : cases) {
        script(c.answer);
        try {
            client.deleteDraft("s", id);
            ADD_FAILURE() << c.message << ": no error";
        } catch (const tessel::RestError& e) {
            EXPECT_EQ(e.status(), static_cast<int>(c.answer.status));
            EXPECT_EQ(e.message(), c.message);
            EXPECT_EQ(std::string(e.what()), "HTTP Error " + std::to_string(c.answer.status) + ": " + c.message);
        }
    }
}

// A call without a result has nothing else to tell a redirect from success by.
TEST_F(RestClientAnswers, RedirectsFailTheCallsWithoutAResult)
{
    const QFileInfo envelope(QString::fromStdString((directory / "envelope.xml").string()));
    QFile(envelope.filePath()).open(QIODevice::WriteOnly);
    const std::pair<const char*, std::function<void()>> calls[] = {
        {"sendSigns", [&] { client.sendSigns("s", id, envelope, {}); }},
        {"sendDraft", [&] { client.sendDraft("s", id); }},
        {"deleteDraft", [&] { client.deleteDraft("s", id); }},
        {"setSignState", [&] { client.setSignState("s", id, 1, QDateTime::currentDateTime()); }},
    };
    const struct
    {
        ScriptedAnswer answer;
        std::string message;
    } cases[] = {
        {{Poco::Net::HTTPResponse::HTTP_FOUND, "", false, "/local/#auth"}, "Found: /local/#auth"},
        {{Poco::Net::HTTPResponse::HTTP_MOVED_PERMANENTLY, "moved", false, "/elsewhere?x=1"},
         "Moved Permanently: /elsewhere?x=1"},
        {{Poco::Net::HTTPResponse::HTTP_SEE_OTHER, "", false, "/other"}, "See Other: /other"},
        {{Poco::Net::HTTPResponse::HTTP_TEMPORARY_REDIRECT, "", false, "/again"}, "Temporary Redirect: /again"},
        {{Poco::Net::HTTPResponse::HTTP_MULTIPLE_CHOICES, "", false, ""}, "Multiple Choices"},
    };
    for (const auto& c : cases) {
        script(c.answer);
        for (const auto& [name, call] : calls) {
            try {
                call();
                ADD_FAILURE() << name << " took " << c.message << " for success";
            } catch (const tessel::RestError& e) {
                EXPECT_EQ(e.status(), static_cast<int>(c.answer.status)) << name;
                EXPECT_EQ(std::string(e.what()), "HTTP Error " + std::to_string(c.answer.status) + ": " + c.message)
                    << name;
            }
        }
    }
}

TEST_F(RestClientAnswers, DownloadsWithoutTheWholeBodyFail)
{
    const struct
    {
        const char* label;
        ScriptedAnswer answer;
        std::string error;
        bool fileLeft;
    } cases[] = {
        {"204", {Poco::Net::HTTPResponse::HTTP_NO_CONTENT, ""}, "Response does not contains needed data", false},
        {"cut short", {Poco::Net::HTTPResponse::HTTP_OK, std::string(100000, 'x'), true}, "ended after", true},
    };
    for (const auto& c : cases) {
        QFile::remove(target().filePath());
        script(c.answer);
        try {
            client.getFile("s", "storage/drafts/x", target(), QJsonObject());
            ADD_FAILURE() << c.label << ": no error";
        } catch (const tessel::utils::exception& e) {
            EXPECT_NE(std::string(e.what()).find(c.error), std::string::npos) << c.label << ": " << e.what();
        }
        EXPECT_EQ(target().exists(), c.fileLeft) << c.label;
    }

    script({Poco::Net::HTTPResponse::HTTP_OK, "whole"});
    client.getFile("s", "storage/drafts/x", target(), QJsonObject());
    QFile file(target().filePath());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("whole"));
}

TEST_F(RestClientAnswers, VerificationDataIsTheAnswersObject)
{
    const struct
    {
        std::string body;
        QJsonObject expected;
    } cases[] = {
        {R"({"sender": "АО Регистратор", "signStateId": 2})", {{"sender", "АО Регистратор"}, {"signStateId", 2}}},
        {std::string(R"({"a": 1})") + '\0' + "trailing bytes", {{"a", 1}}},
        {"[1, 2]", {}},
    };
    for (const auto& c : cases) {
        script({Poco::Net::HTTPResponse::HTTP_OK, c.body});
        EXPECT_EQ(client.getSignVerificationData("s", id), c.expected) << c.body;
    }
    script({Poco::Net::HTTPResponse::HTTP_OK, "not json"});
    try {
        client.getSignVerificationData("s", id);
        ADD_FAILURE() << "no error";
    } catch (const tessel::utils::exception& e) {
        EXPECT_EQ(std::string(e.what()).rfind("Error parsing json from string: ", 0), 0u) << e.what();
    }
}

} // namespace
