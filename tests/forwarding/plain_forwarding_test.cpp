#include "support/curl_client.h"
#include "support/local_http_server.h"
#include "support/proxy_under_test.h"
#include "support/test_pki.h"

#include <Poco/Exception.h>
#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/HTTPServerRequestImpl.h>
#include <Poco/Net/HTTPServerResponse.h>
#include <Poco/StreamCopier.h>
#include <Poco/String.h>

#include <gtest/gtest.h>

#include <fstream>
#include <mutex>

namespace {

// What the portal saw of the last request.
struct SeenRequest
{
    std::string method;
    std::string target;
    std::map<std::string, std::string> headers;
    std::string body;
};

// A plain-http portal below the path /p, answering by the path after it.
class PlainForwarding : public testing::Test
{
protected:
    PlainForwarding()
        : portal([this](Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) {
              answer(request, response);
          }),
          directory(testsupport::TestPki::instance().makeTemporaryDirectory("plain")),
          proxy(directory, "http://127.0.0.1:" + std::to_string(portal.port()) + "/p")
    {}

    SeenRequest seen()
    {
        std::lock_guard<std::mutex> lock(mutex);
        return last;
    }

    std::string portalUrl(const std::string& target) const
    {
        return "http://127.0.0.1:" + std::to_string(portal.port()) + target;
    }

    void answer(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
    {
        SeenRequest request_;
        request_.method = request.getMethod();
        request_.target = request.getURI();
        for (const auto& [name, value] : request)
            request_.headers[name] = value;
        // A request without length or chunks has no body; reading one would wait for the close.
        std::string body;
        if (request.hasContentLength() || request.getChunkedTransferEncoding())
            Poco::StreamCopier::copyToString(request.stream(), body);
        request_.body = body;
        {
            std::lock_guard<std::mutex> lock(mutex);
            last = request_;
        }
        const std::string path = request.getURI().substr(0, request.getURI().find('?'));
        if (path == "/p/redirect-relative") {
            response.redirect("/p/x?y=1");
        } else if (path == "/p/redirect-absolute") {
            response.redirect(portalUrl("/p/y"));
        } else if (path == "/p/cut") {
            response.setContentLength(10);
            response.send() << "abc" << std::flush;
            throw Poco::Exception("the portal breaks off the answer");
        } else if (path == "/p/cut-chunked") {
            response.setChunkedTransferEncoding(true);
            response.send() << std::string(100000, 'x') << std::flush;
            // Closing the stream would write the last chunk: the connection goes first.
            dynamic_cast<Poco::Net::HTTPServerRequestImpl&>(request).socket().shutdown();
            throw Poco::Exception("the portal breaks off the answer");
        } else {
            response.setContentType("text/plain");
            response.setContentLength(static_cast<std::streamsize>(body.size() + 3));
            response.send() << "ok:" << body;
        }
    }

    std::mutex mutex;
    SeenRequest last;
    LocalHttpServer portal;
    std::filesystem::path directory;
    ProxyUnderTest proxy;
};

TEST_F(PlainForwarding, RequestArrivesBelowThePortalPathWithHostRewritten)
{
    const CurlAnswer answer = runCurl({"-H", "Cookie: a=b", proxy.url("/echo?q=%20x&r=%2F")});
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, "ok:");
    SeenRequest request = seen();
    EXPECT_EQ(request.method, "GET");
    EXPECT_EQ(request.target, "/p/echo?q=%20x&r=%2F");
    EXPECT_EQ(request.headers["Host"], "127.0.0.1:" + std::to_string(portal.port()));
    EXPECT_EQ(Poco::icompare(request.headers["Connection"], "close"), 0) << request.headers["Connection"];
    EXPECT_EQ(request.headers["Cookie"], "a=b");
}

TEST_F(PlainForwarding, BodiesPassAsFramedAndBodilessRequestsSendNone)
{
    const std::string data(200000, 'd');
    const std::filesystem::path file = directory / "body.bin";
    std::ofstream(file, std::ios::binary) << data;

    const CurlAnswer fixed = runCurl({"--data-binary", "@" + file.string(), proxy.url("/fixed")});
    EXPECT_EQ(fixed.bodySize, data.size() + 3);
    EXPECT_TRUE(seen().body == data);

    const CurlAnswer chunked =
        runCurl({"-H", "Transfer-Encoding: chunked", "--data-binary", "@" + file.string(), proxy.url("/chunked")});
    EXPECT_EQ(chunked.bodySize, data.size() + 3);
    EXPECT_EQ(seen().headers["Transfer-Encoding"], "chunked");
    EXPECT_TRUE(seen().body == data);

    for (const char* method : {"POST", "DELETE", "GET"}) {
        const CurlAnswer bodiless = runCurl({"-X", method, proxy.url("/none")});
        EXPECT_EQ(bodiless.status, 200) << method;
        EXPECT_LT(bodiless.seconds, 10.0) << method;
        EXPECT_EQ(seen().body, "") << method;
    }

    const CurlAnswer head = runCurl({"-I", proxy.url("/head")});
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.header("content-length"), "3");
    EXPECT_LT(head.seconds, 10.0);
}

TEST_F(PlainForwarding, RedirectsIntoThePortalLoseThePortalPath)
{
    EXPECT_EQ(runCurl({proxy.url("/redirect-relative")}).header("location"), "/x?y=1");
    EXPECT_EQ(runCurl({proxy.url("/redirect-absolute")}).header("location"), proxy.url("/y"));
}

// A browser must see a cut answer fail, not save its beginning as the whole.
TEST_F(PlainForwarding, AnswerCutShortClosesTheBrowserConnection)
{
    for (const std::string target : {"/cut?n=1", "/cut-chunked?n=1"}) {
        SCOPED_TRACE(target);
        const CurlAnswer answer = runCurl({proxy.url(target)});
        EXPECT_EQ(answer.exitStatus, 18) << answer.errors; // transfer closed with bytes outstanding
    }
    // The target as the browser sent it, without the portal's path /p in front.
    const std::vector<std::string> warnings = proxy.records("WARN");
    ASSERT_EQ(warnings.size(), 2u) << proxy.log();
    EXPECT_NE(warnings[0].find(" request to /cut?n=1: "), std::string::npos) << warnings[0];
    EXPECT_NE(warnings[1].find(" request to /cut-chunked?n=1: "), std::string::npos) << warnings[1];
}

} // namespace
