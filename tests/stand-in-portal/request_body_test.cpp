#include "tools/stand-in-portal/http_error.h"
#include "tools/stand-in-portal/request_body.h"

#include <gtest/gtest.h>

#include <sstream>

using standin::ConnectionLost;
using standin::HttpError;
using standin::RequestBody;

namespace {

Poco::Net::HTTPRequest requestWith(const std::string& name, const std::string& value)
{
    Poco::Net::HTTPRequest request(Poco::Net::HTTPRequest::HTTP_POST, "/test/upload", Poco::Net::HTTPMessage::HTTP_1_1);
    request.set(name, value);
    return request;
}

// Reads in small pieces so that chunk and buffer boundaries fall everywhere.
std::string readAll(RequestBody& body)
{
    std::string text;
    char piece[3];
    while (const std::size_t count = body.read(piece, sizeof piece))
        text.append(piece, count);
    return text;
}

TEST(RequestBody, ChunkedBodyWithExtensionAndTrailerEndsWhereTheNextRequestStarts)
{
    std::istringstream wire(
        "5;name=value\r\nhello\r\n1A\r\nabcdefghijklmnopqrstuvwxyz\r\n0\r\nX-Trailer: t\r\n\r\nGET /next");
    const Poco::Net::HTTPRequest request = requestWith("Transfer-Encoding", "chunked");
    RequestBody body(wire, request, nullptr);
    EXPECT_EQ(readAll(body), "helloabcdefghijklmnopqrstuvwxyz");
    EXPECT_TRUE(body.complete());
    std::string rest;
    std::getline(wire, rest);
    EXPECT_EQ(rest, "GET /next");
}

TEST(RequestBody, FixedLengthBodyTakesExactlyItsLength)
{
    std::istringstream wire("0123456789GET /next");
    const Poco::Net::HTTPRequest request = requestWith("Content-Length", "10");
    RequestBody body(wire, request, nullptr);
    EXPECT_EQ(readAll(body), "0123456789");
    std::string rest;
    std::getline(wire, rest);
    EXPECT_EQ(rest, "GET /next");
}

TEST(RequestBody, InvitationRunsOnceAndOnlyForABodyThatIsRead)
{
    int invitations = 0;
    std::istringstream wire("abc");
    const Poco::Net::HTTPRequest withBody = requestWith("Content-Length", "3");
    RequestBody body(wire, withBody, [&invitations] { ++invitations; });
    EXPECT_EQ(readAll(body), "abc");
    EXPECT_EQ(invitations, 1);

    std::istringstream empty("");
    const Poco::Net::HTTPRequest withoutBody = requestWith("Content-Length", "0");
    RequestBody none(empty, withoutBody, [&invitations] { ++invitations; });
    EXPECT_EQ(readAll(none), "");
    EXPECT_EQ(invitations, 1);
}

TEST(RequestBody, BrokenFramingIsRefused)
{
    using Poco::Net::HTTPResponse;
    const struct
    {
        std::string header;
        std::string value;
        std::string wire;
        HTTPResponse::HTTPStatus status;
    } cases[] = {
        {"Content-Length", "-1", "", HTTPResponse::HTTP_BAD_REQUEST},
        {"Content-Length", "12a", "", HTTPResponse::HTTP_BAD_REQUEST},
        {"Content-Length", "99999999999999999999", "", HTTPResponse::HTTP_BAD_REQUEST},
        {"Transfer-Encoding", "gzip", "", HTTPResponse::HTTP_NOT_IMPLEMENTED},
        {"Transfer-Encoding", "chunked", "zz\r\n", HTTPResponse::HTTP_BAD_REQUEST},
        {"Transfer-Encoding", "chunked", "\r\n", HTTPResponse::HTTP_BAD_REQUEST},
        {"Transfer-Encoding", "chunked", "2\r\nabc\r\n0\r\n\r\n", HTTPResponse::HTTP_BAD_REQUEST},
        {"Transfer-Encoding", "chunked", std::string(5000, '1'), HTTPResponse::HTTP_BAD_REQUEST},
    };
    for (const auto& c : cases) {
        std::istringstream wire(c.wire);
        const Poco::Net::HTTPRequest request = requestWith(c.header, c.value);
        try {
            RequestBody body(wire, request, nullptr);
            readAll(body);
            ADD_FAILURE() << "accepted " << c.header << ": " << c.value << " with " << c.wire.substr(0, 20);
        } catch (const HttpError& e) {
            EXPECT_EQ(e.status, c.status) << e.what();
        }
    }
}

TEST(RequestBody, ConnectionEndingInsideTheBodyIsNoCompleteBody)
{
    const struct
    {
        std::string header;
        std::string value;
        std::string wire;
    } cases[] = {
        {"Content-Length", "10", "01234"},
        {"Transfer-Encoding", "chunked", "a\r\n01234"},
        {"Transfer-Encoding", "chunked", "5\r\nhello\r\n"},
        {"Transfer-Encoding", "chunked", "0\r\nX-Trailer: t\r\n"},
    };
    for (const auto& c : cases) {
        std::istringstream wire(c.wire);
        const Poco::Net::HTTPRequest request = requestWith(c.header, c.value);
        RequestBody body(wire, request, nullptr);
        EXPECT_THROW(readAll(body), ConnectionLost) << c.wire;
        EXPECT_FALSE(body.complete());
    }
}

} // namespace
