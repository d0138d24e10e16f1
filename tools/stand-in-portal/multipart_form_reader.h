#pragma once

#include "request_body.h"

#include <Poco/Net/MessageHeader.h>

#include <functional>
#include <string>

namespace standin {

// Reads a multipart/form-data body part by part, streaming each part's content. Content is
// whatever lies between the delimiters "\r\n--<boundary>", byte for byte, so that a part
// ending in line breaks or dashes arrives unchanged. Broken forms raise HttpError 400.
class MultipartFormReader
{
public:
    using Sink = std::function<void(const char* data, std::size_t size)>;

    MultipartFormReader(RequestBody& body, const std::string& boundary);

    // Moves to the next part and reads its header; false after the closing delimiter.
    bool nextPart(Poco::Net::MessageHeader& header);
    // The current part's content, in pieces.
    void readPart(const Sink& sink);

private:
    enum class Position { BeforeFirstPart, InPart, AfterPart, End };

    void readUntilDelimiter(const Sink& sink);
    void need(std::size_t size);
    bool fill();

    RequestBody& m_body;
    const std::string m_delimiter;
    std::string m_buffer;
    Position m_position = Position::BeforeFirstPart;
};

} // namespace standin
