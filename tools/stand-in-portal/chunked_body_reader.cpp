#include "chunked_body_reader.h"

#include "http_error.h"

#include <Poco/Net/HTTPFixedLengthStream.h>

#include <algorithm>

namespace standin {

namespace {

using Poco::Net::HTTPResponse;

// Size lines with their extensions, or a trailer: more is no honest client.
constexpr std::size_t kMaxFraming = 64 * 1024;

} // namespace

std::size_t ChunkedBodyReader::read(char* buffer, std::size_t size)
{
    if (size == 0)
        return 0;
    if (m_framing.dataLeft() == 0)
        readFraming();
    if (complete())
        return 0;
    const auto count =
        static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(size), m_framing.dataLeft()));
    readExactly(buffer, count);
    m_framing.takeData(static_cast<std::int64_t>(count));
    return count;
}

// Byte by byte: the framing's end is known only once it is read.
void ChunkedBodyReader::readFraming()
{
    for (std::size_t taken = 0; m_framing.dataLeft() == 0 && !complete(); ++taken) {
        if (taken == kMaxFraming)
            throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "chunked framing of more than 64 KiB in one piece");
        char c = 0;
        readExactly(&c, 1);
        m_framing.readFraming(&c, 1);
        if (m_framing.failed())
            throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "invalid chunked framing of the request body");
    }
}

void ChunkedBodyReader::readExactly(char* buffer, std::size_t size)
{
    // A fixed-length reader takes no more than its length from the session.
    Poco::Net::HTTPFixedLengthInputStream in(m_session, static_cast<Poco::Int64>(size));
    in.read(buffer, static_cast<std::streamsize>(size));
    if (static_cast<std::size_t>(in.gcount()) != size)
        throw ConnectionLost("the connection ended inside the request body");
}

} // namespace standin
