#include "request_body.h"

#include "http_error.h"

#include <Poco/Net/HTTPServerSession.h>
#include <Poco/String.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace standin {

namespace {

using Poco::Net::HTTPResponse;

// POCO has refused what is no number at all; a sign still gets here.
std::uint64_t parseContentLength(const std::string& text)
{
    const bool decimal =
        std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
    if (text.empty() || text.size() > 19 || !decimal)
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "invalid Content-Length: " + text);
    return std::stoull(text);
}

} // namespace

RequestBody::RequestBody(Poco::Net::HTTPServerRequestImpl& request)
{
    const std::string encoding = request.get("Transfer-Encoding", "");
    if (!encoding.empty()) {
        if (Poco::icompare(encoding, "chunked") != 0)
            throw HttpError(HTTPResponse::HTTP_NOT_IMPLEMENTED, "unsupported Transfer-Encoding: " + encoding);
        m_chunked.emplace(request.session());
    } else if (request.has("Content-Length")) {
        m_remaining = parseContentLength(request.get("Content-Length"));
        m_fixedLength = &request.stream();
    }
}

std::size_t RequestBody::read(char* buffer, std::size_t size)
{
    return m_chunked ? m_chunked->read(buffer, size) : readFixedLength(buffer, size);
}

bool RequestBody::complete() const { return m_chunked ? m_chunked->complete() : m_remaining == 0; }

bool RequestBody::skipRest(std::uint64_t limit)
{
    std::array<char, 16384> scratch;
    std::uint64_t skipped = 0;
    while (!complete() && skipped <= limit)
        skipped += read(scratch.data(), scratch.size());
    return complete();
}

std::size_t RequestBody::readFixedLength(char* buffer, std::size_t size)
{
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(size, m_remaining));
    if (count == 0)
        return 0;
    m_fixedLength->read(buffer, static_cast<std::streamsize>(count));
    if (static_cast<std::size_t>(m_fixedLength->gcount()) != count)
        throw ConnectionLost("the connection ended inside the request body");
    m_remaining -= count;
    return count;
}

} // namespace standin
