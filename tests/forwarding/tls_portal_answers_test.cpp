#include "support/curl_client.h"
#include "support/local_http_server.h"
#include "support/proxy_under_test.h"
#include "support/stunnel_process.h"
#include "support/test_pki.h"
#include "support/workstation.h"

#include <Poco/Exception.h>
#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/HTTPServerResponse.h>
#include <Poco/StreamCopier.h>

#include <gtest/gtest.h>

namespace {

// Answers over the https path that the stand-in portal does not give: a plain POCO server
// behind stunnel in server mode (GOST TLS, client certificate required) stands in for a portal.
class TlsPortalAnswers : public testing::Test
{
protected:
    TlsPortalAnswers()
        : portal([](Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) {
              answer(request, response);
          }),
          directory(testsupport::TestPki::instance().makeTemporaryDirectory("tls-answers")),
          workstation(Workstation::UserKeyAndRoots),
          front(directory, StunnelProcess::Mode::Server, portal.port()),
          proxy(directory, "https://localhost:" + std::to_string(front.port()), Workstation::keyName,
                {workstation.environment()})
    {
        const CurlAnswer unlocked =
            runCurl({"-X", "POST", "--data-binary", Workstation::pin, proxy.url("/local/rest/v1/crypto/setkp")});
        EXPECT_LT(unlocked.status, 300) << unlocked.body;
    }

    static void answer(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response)
    {
        const std::string path = request.getURI().substr(0, request.getURI().find('?'));
        if (path == "/length") { // a HEAD answer announces the length of a body it does not carry
            response.setContentLength(1000);
            std::ostream& out = response.send();
            if (request.getMethod() != "HEAD")
                out << std::string(1000, 'l');
        } else if (path == "/no-content") {
            response.setStatus(Poco::Net::HTTPResponse::HTTP_NO_CONTENT);
            response.send();
        } else if (path == "/chunked-with-length") {
            response.setChunkedTransferEncoding(true);
            response.set("Content-Length", "3");
            response.send() << "abcde";
        } else if (path == "/cut") {
            response.setContentLength(10);
            response.send() << "abc" << std::flush;
            throw Poco::Exception("the portal breaks off the answer");
        } else { // the body and the Host it was sent to
            std::string body;
            if (request.hasContentLength())
                Poco::StreamCopier::copyToString(request.stream(), body);
            const std::string text = request.getHost() + " " + body;
            response.setContentLength(static_cast<std::streamsize>(text.size()));
            response.send() << text;
        }
    }

    LocalHttpServer portal;
    std::filesystem::path directory;
    Workstation workstation;
    StunnelProcess front;
    ProxyUnderTest proxy;
};

TEST_F(TlsPortalAnswers, AnswersWithoutBodyEndAtTheirHeaders)
{
    const CurlAnswer head = runCurl({"-I", proxy.url("/length")});
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.header("content-length"), "1000");
    EXPECT_LT(head.seconds, 10.0); // the portal keeps its connection open for a minute

    const CurlAnswer empty = runCurl({proxy.url("/no-content")});
    EXPECT_EQ(empty.status, 204);
    EXPECT_LT(empty.seconds, 10.0);

    EXPECT_EQ(runCurl({proxy.url("/length")}).bodySize, 1000u);
}

TEST_F(TlsPortalAnswers, InterimContinueIsNotTheAnswer)
{
    const CurlAnswer answer = runCurl({"-H", "Expect: 100-continue", "--data-binary", "payload", proxy.url("/echo")});
    EXPECT_EQ(answer.status, 200);
    EXPECT_EQ(answer.body, "localhost:" + std::to_string(front.port()) + " payload");
}

TEST_F(TlsPortalAnswers, ChunkedBodyBesideLengthArrivesWhole)
{
    const CurlAnswer answer = runCurl({proxy.url("/chunked-with-length")});
    EXPECT_EQ(answer.exitStatus, 0) << answer.errors;
    EXPECT_EQ(answer.body, "abcde");
}

TEST_F(TlsPortalAnswers, AnswerCutShortClosesTheBrowserConnection)
{
    const CurlAnswer answer = runCurl({proxy.url("/cut?n=2")});
    EXPECT_EQ(answer.exitStatus, 18) << answer.errors; // transfer closed with bytes outstanding
    EXPECT_TRUE(proxy.loggedOneWarningNaming("/cut?n=2")) << proxy.log();
}

} // namespace
