#include "support/access_tokens.h"
#include "support/http_test_client.h"
#include "support/local_http_server.h"
#include "support/local_ports.h"

#include "server/full_request_handler_factory.h"
#include "server/logging_handler.h"

#include <gtest/gtest.h>

#include <Poco/Net/HTTPClientSession.h>
#include <Poco/Net/HTTPRequest.h>
#include <Poco/Net/HTTPResponse.h>
#include <Poco/Net/NetException.h>

#include <sstream>

namespace {

class Routing : public ::testing::Test
{
protected:
    Routing() { testsupport::rememberAccessToken(server.port(), token); }
    ~Routing() override { testsupport::forgetAccessToken(server.port()); }

    const std::string token = "0123456789abcdef0123456789abcdef";
    const unsigned short port = freeLocalPort();
    LocalHttpServer server{
        new tessel::FullRequestHandlerFactory(nullptr, tessel::security::RequestGate("127.0.0.1", port, token)), port};

    HttpAnswer get(const std::string& target, const std::string& method = "GET")
    {
        return httpRequest(server.port(), method, target);
    }
};

} // namespace

TEST_F(Routing, RedirectsOfTheLocalSpace)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/", "/webclient/"},
        {"/local", "/local/"},
        {"/webclient/local/x", "/local/"},
        {"/webclient/local/", "/local/"},
    };
    for (const auto& [target, location] : cases) {
        const HttpAnswer answer = get(target);
        EXPECT_EQ(answer.status, 302) << target;
        EXPECT_EQ(answer.header("Location"), location) << target;
    }
}

TEST_F(Routing, WebClientFilesComeFromTheEmbeddedBundle)
{
    const HttpAnswer page = get("/local/");
    EXPECT_EQ(page.status, 200);
    EXPECT_EQ(page.header("Content-Type"), "text/html");
    // Framed by its length alone: strict clients refuse a length beside chunks.
    EXPECT_FALSE(page.has("Transfer-Encoding"));
    EXPECT_EQ(page.header("Content-Length"), std::to_string(page.body.size()));
    const size_t qooxdoo = page.body.find("qooxdoo.min.js");
    const size_t big = page.body.find("big.min.js");
    const size_t tslib = page.body.find("tslib.min.js");
    const size_t app = page.body.find("app.min.js");
    ASSERT_NE(app, std::string::npos);
    EXPECT_LT(qooxdoo, big);
    EXPECT_LT(big, tslib);
    EXPECT_LT(tslib, app);

    EXPECT_EQ(get("/local/index.html").body, page.body);
    EXPECT_EQ(get("/local/resource/../index.html").body, page.body);
    EXPECT_EQ(get("/local//index.html").body, page.body);
}

TEST_F(Routing, WhatNoRouteAnswersIsNotFound)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/local/x", "GET"},
        {"/local/../../x", "GET"},
        {"/local/index.html?v=1", "GET"},
        {"/local/index.html", "HEAD"},
        {"/local/index.html", "POST"},
        {"/local/resource", "GET"},
        {"/localdata", "GET"},
        {"/local/rest/v1/ping", "POST"},
        {"/local/rest/v1/ping?x=1", "GET"},
        {"/local/rest/v1/drafts/{0123abcd-0000-0000-0000-000000000000}", "DELETE"},
        {"/local/rest/v1/drafts/0123abcd000000000000000000000000", "DELETE"},
    };
    for (const auto& [target, method] : cases) {
        const HttpAnswer answer = get(target, method);
        EXPECT_EQ(answer.status, 404) << method << " " << target;
        EXPECT_EQ(answer.reason, "Not found!") << target;
        if (std::string(method) != "HEAD") {
            EXPECT_EQ(answer.body, "Not found!") << target;
        }
    }
}

TEST_F(Routing, RestRoutesMatchByMethodAndPattern)
{
    // Each endpoint refuses the empty body or the null id; a route that did not match would end in 404.
    const struct
    {
        const char* target;
        const char* method;
        int status;
    } cases[] = {
        {"/local/rest/v1/scans", "PUT", 400},
        {"/local/rest/v1/drafts/0123ABCD-0000-0000-0000-00000000abcd", "PUT", 400},
        {"/local/rest/v1/outbox/00000000-0000-0000-0000-000000000000/sign", "GET", 400},
    };
    for (const auto& route : cases)
        EXPECT_EQ(get(route.target, route.method).status, route.status) << route.method << " " << route.target;
}

TEST_F(Routing, ABodyTheHandlerDidNotReadIsNotTakenForTheNextRequest)
{
    const std::pair<const char*, const char*> cases[] = {
        {"POST", "/local/rest/v1/processes/clear"},
        {"GET", "/local/rest/v1/ping"},
        {"POST", "/local/no-such-file"},
    };
    Poco::Net::HTTPClientSession session("127.0.0.1", server.port());
    for (const auto& [method, target] : cases) {
        Poco::Net::HTTPRequest request(method, target, Poco::Net::HTTPMessage::HTTP_1_1);
        request.set("Authorization", "Bearer " + token);
        request.setContentType("application/json");
        request.setContentLength(4);
        session.sendRequest(request) << "null";
        Poco::Net::HTTPResponse ignored;
        std::ostringstream() << session.receiveResponse(ignored).rdbuf();

        // The same connection goes on with a well-formed request.
        Poco::Net::HTTPRequest next("GET", "/local/rest/v1/version", Poco::Net::HTTPMessage::HTTP_1_1);
        next.set("Authorization", "Bearer " + token);
        session.sendRequest(next);
        Poco::Net::HTTPResponse answer;
        std::ostringstream body;
        body << session.receiveResponse(answer).rdbuf();
        EXPECT_EQ(answer.getStatus(), 200) << method << " " << target;
        EXPECT_EQ(body.str(), "1.3.1") << method << " " << target;
    }
}

TEST(LoggingHandler, ExceptionTextListsNestedCauses)
{
    const Poco::IOException inner("disk gone");
    const Poco::Net::NetException outer("write failed", inner);
    EXPECT_EQ(tessel::exceptionText(outer).toStdString(),
              "Net Exception: write failed\n  Caused by: I/O error: disk gone");
    EXPECT_EQ(tessel::exceptionText(std::runtime_error("plain")).toStdString(), "plain");
}
