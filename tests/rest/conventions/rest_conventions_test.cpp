#include "support/http_test_client.h"
#include "support/local_http_server.h"

#include "rest/conventions/errors.h"
#include "rest/conventions/handle_exception.h"
#include "rest/conventions/request_input.h"
#include "rest/conventions/respond.h"
#include "rest/conventions/response_output.h"

#include <gtest/gtest.h>

#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/HTTPServerResponse.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

using namespace tessel::rest;

namespace {

// Answers with what parseJsonBody made of the body, as {"type": ..., "value": ...}.
void echoJsonBody(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
{
    respond(response, [&] {
        const QJsonValue value = parseJsonBody(request);
        static const char* types[] = {"null", "bool", "double", "string", "array", "object", "undefined"};
        sendJson(response,
                 QJsonObject{{"type", types[value.type() == QJsonValue::Undefined ? 6 : value.type()]},
                             {"value", value}});
    });
}

} // namespace

TEST(RestConventions, ParseJsonBodyCases)
{
    LocalHttpServer server(echoJsonBody);
    struct Case
    {
        std::string body;
        const char* type;
        QJsonValue value;
    } cases[] = {
        {"", "null", QJsonValue()},
        {"hello", "string", QJsonValue("hello")},
        {"\"key\"", "string", QJsonValue("\"key\"")},
        {"[1, 2]", "object", QJsonObject()},
        {"{\"a\": true}", "object", QJsonObject{{"a", true}}},
        {std::string("ab\0cd", 5), "string", QJsonValue("ab")},
    };
    for (const Case& c : cases) {
        const HttpAnswer answer = httpRequest(server.port(), "POST", "/", c.body);
        ASSERT_EQ(answer.status, 200) << c.body;
        const QJsonObject echoed = QJsonDocument::fromJson(QByteArray::fromStdString(answer.body)).object();
        EXPECT_EQ(echoed.value("type").toString(), c.type) << c.body;
        EXPECT_EQ(echoed.value("value"), c.value) << c.body;
        EXPECT_EQ(answer.header("Content-Type"), "application/json");
        EXPECT_EQ(answer.header("Pragma"), "no-cache");
        EXPECT_EQ(answer.header("Cache-Control"), "no-cache, no-store, must-revalidate");
        EXPECT_EQ(answer.header("Expires"), "0");
    }

    const HttpAnswer tooLarge = httpRequest(server.port(), "POST", "/", std::string(maxBodyTextSize + 1, ' '));
    EXPECT_EQ(tooLarge.status, 400);
    EXPECT_EQ(tooLarge.body, "Request body is larger than 16777216 bytes");
    EXPECT_EQ(httpRequest(server.port(), "POST", "/", std::string(maxBodyTextSize - 3, ' ') + "\"a\"").status, 200);

    const HttpAnswer broken = httpRequest(server.port(), "POST", "/", "{");
    EXPECT_EQ(broken.status, 500);
    EXPECT_EQ(broken.body.rfind("Error creating json from request body: ", 0), 0u) << broken.body;
    EXPECT_EQ(broken.reason, broken.body);
}

TEST(RestConventions, ToJsonText)
{
    EXPECT_EQ(toJsonText(QJsonValue("1.3.1")), "1.3.1");
    EXPECT_EQ(toJsonText(QJsonValue()), "null");
    EXPECT_EQ(toJsonText(QJsonValue(true)), "true");
    EXPECT_EQ(toJsonText(QJsonObject{{"a", 1}}), "{\n    \"a\": 1\n}\n");
    EXPECT_EQ(toJsonText(QJsonArray{1}), "[\n    1\n]\n");
}

TEST(RestConventions, SessionIdPrefersTheHeaderOverTheCookie)
{
    LocalHttpServer server([](Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) {
        sendJson(response, sessionIdOf(request));
    });
    EXPECT_EQ(httpRequest(server.port(), "GET", "/", "", {{"X-Session-Id", "h1"}, {"Cookie", "X-Session-Id=c1"}}).body,
              "h1");
    EXPECT_EQ(httpRequest(server.port(), "GET", "/", "", {{"Cookie", "a=b; X-Session-Id=c1"}}).body, "c1");
    EXPECT_EQ(httpRequest(server.port(), "GET", "/").body, "");
}

TEST(RestConventions, ExceptionsMapToStatusAndMessage)
{
    struct Case
    {
        std::function<void()> raise;
        int status;
        std::string body;
    } cases[] = {
        {[] { throw not_found(); }, 404, "Not found!"},
        {[] { throw bad_request(); }, 400, "Bad request!"},
        {[] { throw bad_request(QStringLiteral("Нет файла")); }, 400, "Нет файла"},
        {[] { throw server_error(QString()); }, 500, ""},
        {[] { throw tessel::utils::exception(QStringLiteral("store failed")); }, 500, "store failed"},
        {[] { throw std::runtime_error("line one\nline two\r\tend"); }, 500, "line one\nline two\r\tend"},
    };
    for (const Case& c : cases) {
        LocalHttpServer server([&](Poco::Net::HTTPServerRequest&, Poco::Net::HTTPServerResponse& response) {
            respond(response, c.raise);
        });
        const HttpAnswer answer = httpRequest(server.port(), "GET", "/");
        EXPECT_EQ(answer.status, c.status) << c.body;
        EXPECT_EQ(answer.body, c.body);
        EXPECT_EQ(answer.header("Pragma"), "no-cache");
        if (c.body.empty()) {
            EXPECT_FALSE(answer.has("Content-Type"));
        } else {
            EXPECT_EQ(answer.header("Content-Type"), "text/plain; charset=utf-8");
            EXPECT_EQ(answer.header("Transfer-Encoding"), "chunked");
            // The status line stays one line whatever the message holds.
            EXPECT_EQ(answer.reason, reasonPhraseOf(QString::fromStdString(c.body)));
            EXPECT_EQ(answer.reason.find_first_of("\r\n\t"), std::string::npos);
        }
    }
}

TEST(RestConventions, SendFileAndItsFailure)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("page.html"));
    QByteArray content(10000, 'x');
    content.prepend("<html>");
    {
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(content);
    }
    LocalHttpServer server([&](Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) {
        const bool missing = request.getURI() == "/missing";
        sendFile(QFileInfo(missing ? dir.filePath(QStringLiteral("none")) : path), response, QString(), false,
                 request.getURI() == "/named" ? QStringLiteral("отчёт.html") : QString());
    });

    const HttpAnswer plain = httpRequest(server.port(), "GET", "/");
    EXPECT_EQ(plain.status, 200);
    EXPECT_EQ(plain.body, content.toStdString());
    EXPECT_EQ(plain.header("Content-Type"), "text/html");
    EXPECT_EQ(plain.header("Content-Length"), std::to_string(content.size()));
    EXPECT_FALSE(plain.has("Pragma"));
    EXPECT_FALSE(plain.has("Content-Disposition"));

    EXPECT_EQ(httpRequest(server.port(), "GET", "/named").header("Content-Disposition"),
              "inline; filename=\"отчёт.html\"; filename*=UTF-8''%D0%BE%D1%82%D1%87%D1%91%D1%82.html");

    const HttpAnswer missing = httpRequest(server.port(), "GET", "/missing");
    EXPECT_EQ(missing.status, 500);
    EXPECT_EQ(missing.reason, "Can't get file");
    EXPECT_EQ(missing.body, "Can't get file");
}

// A length and chunks together are refused by strict clients; the length alone frames a file.
TEST(RestConventions, AFileAnswerIsFramedByItsLengthAlone)
{
    QTemporaryDir dir;
    LocalHttpServer server([&](Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) {
        sendFile(QFileInfo(dir.filePath(QString::fromStdString(request.getURI().substr(1)))), response,
                 QStringLiteral("application/octet-stream"), false, QString());
    });
    for (const int size : {0, 1, 4095, 4096, 4097, 100000}) {
        const QString name = QString::number(size);
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        QByteArray content(size, '\0');
        for (int i = 0; i < size; ++i)
            content[i] = static_cast<char>(i * 31);
        file.write(content);
        file.close();

        const HttpAnswer answer = httpRequest(server.port(), "GET", "/" + name.toStdString());
        EXPECT_EQ(answer.status, 200) << size;
        EXPECT_EQ(answer.header("Content-Length"), std::to_string(size));
        EXPECT_FALSE(answer.has("Transfer-Encoding")) << size;
        EXPECT_EQ(answer.body, content.toStdString()) << size;
    }
}

TEST(RestConventions, DownloadNamesCannotBreakTheHeader)
{
    const std::pair<QString, std::string> cases[] = {
        {QStringLiteral("report.docx"), "inline; filename=\"report.docx\""},
        {QStringLiteral("a\"b\\c.txt"), "inline; filename=\"a\\\"b\\\\c.txt\""},
        {QStringLiteral("x\r\nSet-Cookie: y.txt"), "inline; filename=\"x  Set-Cookie: y.txt\""},
    };
    for (const auto& [name, header] : cases)
        EXPECT_EQ(contentDisposition(name), header) << name.toStdString();
}

TEST(RestConventions, PathSegmentCountsFromTheEnd)
{
    const QString path = QStringLiteral("/local/rest/v1/inbox/abc/attachments/3");
    EXPECT_EQ(pathSegment(path, 0), "3");
    EXPECT_EQ(pathSegment(path, 1), "attachments");
    EXPECT_EQ(pathSegment(path, 2), "abc");
    EXPECT_EQ(pathSegment(QStringLiteral("/a/"), 0), "");
    EXPECT_EQ(pathSegment(QStringLiteral("a"), 5), "");
}
