#include "multipart_form_reader.h"

#include "http_error.h"

#include <sstream>

namespace standin {

namespace {

using Poco::Net::HTTPResponse;

constexpr std::size_t kReadSize = 65536;
constexpr std::size_t kMaxPartHeader = 16 * 1024;

const MultipartFormReader::Sink discard = [](const char*, std::size_t) {};

HttpError malformed(const std::string& what)
{
    return HttpError(HTTPResponse::HTTP_BAD_REQUEST, "malformed form: " + what);
}

} // namespace

// The line break before the first delimiter is implied, so that one search finds every delimiter.
MultipartFormReader::MultipartFormReader(RequestBody& body, const std::string& boundary)
    : body_(body)
    , delimiter_("\r\n--" + boundary)
    , buffer_("\r\n")
{
}

bool MultipartFormReader::nextPart(Poco::Net::MessageHeader& header)
{
    if (position_ == Position::End)
        return false;
    if (position_ != Position::AfterPart)
        readUntilDelimiter(discard); // the preamble, or what is left of the current part
    need(2);
    if (buffer_.compare(0, 2, "--") == 0) {
        position_ = Position::End;
        return false;
    }
    if (buffer_.compare(0, 2, "\r\n") != 0)
        throw malformed("a delimiter must be followed by a line break or \"--\"");
    std::size_t end;
    while ((end = buffer_.find("\r\n\r\n")) == std::string::npos) {
        if (buffer_.size() > kMaxPartHeader)
            throw malformed("a part header is longer than 16 KiB");
        need(buffer_.size() + 1);
    }
    std::istringstream lines(buffer_.substr(2, end));
    buffer_.erase(0, end + 4);
    header.clear();
    try {
        header.read(lines);
    } catch (const Poco::Exception& e) {
        throw malformed("bad part header: " + e.displayText());
    }
    position_ = Position::InPart;
    return true;
}

void MultipartFormReader::readPart(const Sink& sink)
{
    if (position_ != Position::InPart)
        return;
    readUntilDelimiter(sink);
    position_ = Position::AfterPart;
}

// Hands on all but the bytes that might begin a delimiter, until a whole delimiter is found.
void MultipartFormReader::readUntilDelimiter(const Sink& sink)
{
    for (;;) {
        const std::size_t found = buffer_.find(delimiter_);
        if (found != std::string::npos) {
            sink(buffer_.data(), found);
            buffer_.erase(0, found + delimiter_.size());
            return;
        }
        const std::size_t safe = buffer_.size() - std::min(buffer_.size(), delimiter_.size() - 1);
        sink(buffer_.data(), safe);
        buffer_.erase(0, safe);
        if (!fill())
            throw malformed("the body ends before the closing boundary");
    }
}

void MultipartFormReader::need(std::size_t size)
{
    while (buffer_.size() < size) {
        if (!fill())
            throw malformed("the body ends before the closing boundary");
    }
}

bool MultipartFormReader::fill()
{
    char chunk[kReadSize];
    const std::size_t count = body_.read(chunk, sizeof chunk);
    buffer_.append(chunk, count);
    return count > 0;
}

} // namespace standin
