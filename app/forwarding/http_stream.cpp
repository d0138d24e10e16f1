#include "forwarding/http_stream.h"

#include <Poco/Exception.h>
#include <Poco/Net/HTTPResponse.h>
#include <Poco/Net/NetException.h>

#include <algorithm>
#include <sstream>
#include <string>

namespace tessel {
namespace {

const QByteArray headerEnd("\r\n\r\n");

// The three-digit code of a status line Poco has read, or 0. Poco's own status is an enum that
// cannot hold every code a server may send (600 or 900 are no value of it).
int statusCodeOf(const QByteArray& headerBlock)
{
    std::istringstream line(headerBlock.toStdString());
    std::string version;
    std::string code;
    line >> version >> code;
    const bool threeDigits =
        code.size() == 3 && std::all_of(code.begin(), code.end(), [](char c) { return c >= '0' && c <= '9'; });
    return threeDigits && code[0] != '0' ? std::stoi(code) : 0;
}

} // namespace

bool HttpStream::isInterim(int status)
{
    return status >= 100 && status < 200 && status != Poco::Net::HTTPResponse::HTTP_SWITCHING_PROTOCOLS;
}

HttpStream::HttpStream(QSharedPointer<nxcrypto::DataStream> underlying) : m_underlying(std::move(underlying)) {}

qint64 HttpStream::write(const QByteArray& data) { return m_underlying->write(data); }

QByteArray HttpStream::read(qint64 maxSize)
{
    completeWhenLengthReached();
    if (m_done)
        return QByteArray();
    const QByteArray block = m_underlying->read(maxSize);
    if (block.isEmpty())
        m_done = true; // closed or timed out: nothing more will come
    else
        feed(block);
    return block;
}

void HttpStream::feed(const QByteArray& block)
{
    if (m_inHeaders)
        feedHeaders(block);
    else
        feedBody(block.constData(), block.size());
}

void HttpStream::feedHeaders(const QByteArray& block)
{
    // Only the last three old bytes can start a terminator that this block completes.
    int searchFrom = std::max(0, m_headerBuffer.size() - (headerEnd.size() - 1));
    m_headerBuffer.append(block);
    while (m_inHeaders && !m_done) {
        const int end = m_headerBuffer.indexOf(headerEnd, searchFrom);
        if (end < 0)
            return;
        const int bodyStart = end + headerEnd.size();
        startBody(m_headerBuffer.left(bodyStart), m_headerBuffer.constData() + bodyStart,
                  m_headerBuffer.size() - bodyStart);
        if (m_inHeaders) {
            m_headerBuffer.remove(0, bodyStart); // an interim answer: the real one follows
            searchFrom = 0;
        }
    }
}

void HttpStream::startBody(const QByteArray& headerBlock, const char* body, qint64 bodySize)
{
    Poco::Net::HTTPResponse response;
    try {
        std::istringstream text(headerBlock.toStdString());
        response.read(text);
        m_status = statusCodeOf(headerBlock);
        if (m_status == 0)
            throw Poco::Net::MessageException("no three-digit status code");
        if (isInterim(m_status))
            return;
        m_inHeaders = false;
        m_bodyRead = 0;
        // A chunked body ends at its last chunk whatever a Content-Length beside it says.
        if (response.getChunkedTransferEncoding())
            m_chunked = true;
        else if (response.hasContentLength())
            m_contentLength = response.getContentLength64();
        else if (m_status != Poco::Net::HTTPResponse::HTTP_OK)
            m_done = true; // neither length nor chunks: only a 200 runs to the close
    } catch (const Poco::Exception&) {
        // The handler's own parse of these bytes fails too; nothing useful can follow.
        m_inHeaders = false;
        m_done = true;
        return;
    }
    feedBody(body, bodySize);
    m_headerBuffer.clear(); // body points into it
}

void HttpStream::feedBody(const char* data, qint64 size)
{
    m_bodyRead += size;
    if (m_chunked) {
        m_chunks.feed(data, static_cast<std::size_t>(size));
        if (m_chunks.finished() || m_chunks.failed())
            m_done = true;
    }
    completeWhenLengthReached();
}

void HttpStream::completeWhenLengthReached()
{
    if (!m_inHeaders && m_contentLength >= 0 && m_bodyRead >= m_contentLength)
        m_done = true;
}

} // namespace tessel
