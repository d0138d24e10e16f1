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
    : m_body(body), m_delimiter("\r\n--" + boundary), m_buffer("\r\n")
{}

bool MultipartFormReader::nextPart(Poco::Net::MessageHeader& header)
{
    if (m_position == Position::End)
        return false;
    if (m_position != Position::AfterPart)
        readUntilDelimiter(discard); // the preamble, or what is left of the current part
    need(2);
    if (m_buffer.compare(0, 2, "--") == 0) {
        m_position = Position::End;
        return false;
    }
    if (m_buffer.compare(0, 2, "\r\n") != 0)
        throw malformed("a delimiter must be followed by a line break or \"--\"");
    std::size_t end;
    while ((end = m_buffer.find("\r\n\r\n")) == std::string::npos) {
        if (m_buffer.size() > kMaxPartHeader)
            throw malformed("a part header is longer than 16 KiB");
        need(m_buffer.size() + 1);
    }
    std::istringstream lines(m_buffer.substr(2, end));
    m_buffer.erase(0, end + 4);
    header.clear();
    try {
        header.read(lines);
    } catch (const Poco::Exception& e) {
        throw malformed("bad part header: " + e.displayText());
    }
    m_position = Position::InPart;
    return true;
}

void MultipartFormReader::readPart(const Sink& sink)
{
    if (m_position != Position::InPart)
        return;
    readUntilDelimiter(sink);
    m_position = Position::AfterPart;
}

// Hands on all but the bytes that might begin a delimiter, until a whole delimiter is found.
void MultipartFormReader::readUntilDelimiter(const Sink& sink)
{
    for (;;) {
        const std::size_t found = m_buffer.find(m_delimiter);
        if (found != std::string::npos) {
            sink(m_buffer.data(), found);
            m_buffer.erase(0, found + m_delimiter.size());
            return;
        }
        const std::size_t safe = m_buffer.size() - std::min(m_buffer.size(), m_delimiter.size() - 1);
        sink(m_buffer.data(), safe);
        m_buffer.erase(0, safe);
        if (!fill())
            throw malformed("the body ends before the closing boundary");
    }
}

void MultipartFormReader::need(std::size_t size)
{
    while (m_buffer.size() < size) {
        if (!fill())
            throw malformed("the body ends before the closing boundary");
    }
}

bool MultipartFormReader::fill()
{
    char chunk[kReadSize];
    const std::size_t count = m_body.read(chunk, sizeof chunk);
    m_buffer.append(chunk, count);
    return count > 0;
}

} // namespace standin
