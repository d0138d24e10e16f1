#include "request_body.h"

#include "http_error.h"

#include <Poco/String.h>

#include <algorithm>
#include <array>
#include <cctype>

namespace standin {

namespace {

using Poco::Net::HTTPResponse;

constexpr std::size_t kMaxLineLength = 4096;
constexpr int kMaxTrailerLines = 100;

bool isDecimal(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; });
}

bool isHexadecimal(const std::string& text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return std::isxdigit(static_cast<unsigned char>(c)) != 0; });
}

std::uint64_t parseContentLength(const std::string& text)
{
    if (text.empty() || text.size() > 19 || !isDecimal(text))
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "invalid Content-Length: " + text);
    return std::stoull(text);
}

std::uint64_t parseChunkSize(const std::string& line)
{
    const std::string digits = line.substr(0, line.find(';'));
    const std::string trimmed = Poco::trim(digits);
    if (trimmed.empty() || trimmed.size() > 15 || !isHexadecimal(trimmed))
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "invalid chunk size line: " + line.substr(0, 64));
    return std::stoull(trimmed, nullptr, 16);
}

} // namespace

RequestBody::RequestBody(std::istream& in, const Poco::Net::HTTPRequest& request, std::function<void()> beforeFirstRead)
    : in_(in)
    , beforeFirstRead_(std::move(beforeFirstRead))
{
    const std::string encoding = request.get("Transfer-Encoding", "");
    if (!encoding.empty()) {
        if (Poco::icompare(encoding, "chunked") != 0)
            throw HttpError(HTTPResponse::HTTP_NOT_IMPLEMENTED, "unsupported Transfer-Encoding: " + encoding);
        chunked_ = true;
    } else if (request.has("Content-Length")) {
        remaining_ = parseContentLength(request.get("Content-Length"));
    }
    complete_ = !chunked_ && remaining_ == 0;
}

std::size_t RequestBody::read(char* buffer, std::size_t size)
{
    if (complete_ || size == 0)
        return 0;
    if (beforeFirstRead_) {
        beforeFirstRead_();
        beforeFirstRead_ = nullptr;
    }
    if (chunked_)
        return readChunked(buffer, size);
    const std::size_t count = readExactly(buffer, static_cast<std::size_t>(std::min<std::uint64_t>(size, remaining_)));
    remaining_ -= count;
    complete_ = remaining_ == 0;
    return count;
}

bool RequestBody::skipRest(std::uint64_t limit)
{
    std::array<char, 16384> scratch;
    std::uint64_t skipped = 0;
    while (!complete_ && skipped <= limit)
        skipped += read(scratch.data(), scratch.size());
    return complete_;
}

std::size_t RequestBody::readChunked(char* buffer, std::size_t size)
{
    if (remaining_ == 0) {
        startChunk();
        if (complete_)
            return 0;
    }
    const std::size_t count = readExactly(buffer, static_cast<std::size_t>(std::min<std::uint64_t>(size, remaining_)));
    remaining_ -= count;
    return count;
}

std::size_t RequestBody::readExactly(char* buffer, std::size_t size)
{
    in_.read(buffer, static_cast<std::streamsize>(size));
    if (static_cast<std::size_t>(in_.gcount()) != size)
        throw ConnectionLost("the connection ended inside the request body");
    return size;
}

void RequestBody::startChunk()
{
    if (!firstChunk_ && !readLine().empty())
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "chunk data longer than its size");
    firstChunk_ = false;
    remaining_ = parseChunkSize(readLine());
    if (remaining_ == 0) {
        skipTrailer();
        complete_ = true;
    }
}

void RequestBody::skipTrailer()
{
    for (int lines = 0; !readLine().empty(); ++lines) {
        if (lines == kMaxTrailerLines)
            throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "too many trailer lines");
    }
}

std::string RequestBody::readLine()
{
    std::string line;
    for (;;) {
        const int c = in_.get();
        if (c == std::char_traits<char>::eof())
            throw ConnectionLost("the connection ended inside the request body");
        if (c == '\n')
            break;
        if (line.size() == kMaxLineLength)
            throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "chunk framing line too long");
        line.push_back(static_cast<char>(c));
    }
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return line;
}

} // namespace standin
