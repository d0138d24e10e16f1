#include "http/chunked_framing.h"

#include <limits>

namespace tessel::http {
namespace {

int hexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

} // namespace

std::size_t ChunkedFraming::readFraming(const char* data, std::size_t size)
{
    std::size_t used = 0;
    while (used < size && m_state != State::Data && !finished() && !failed())
        step(data[used++]);
    return used;
}

void ChunkedFraming::takeData(std::int64_t count)
{
    m_dataLeft -= count;
    if (m_dataLeft == 0)
        m_state = State::DataCarriageReturn;
}

void ChunkedFraming::step(char c)
{
    switch (m_state) {
    case State::SizeStart:
    case State::Size:
        sizeDigit(c);
        return;
    case State::Extension:
        if (c == '\r')
            m_state = State::SizeLineFeed;
        return;
    case State::SizeLineFeed:
        if (c != '\n')
            m_state = State::Failed;
        else
            endSizeLine();
        return;
    case State::DataCarriageReturn:
        m_state = c == '\r' ? State::DataLineFeed : State::Failed;
        return;
    case State::DataLineFeed:
        m_state = c == '\n' ? State::SizeStart : State::Failed;
        return;
    case State::TrailerLineStart:
        m_state = c == '\r' ? State::FinalLineFeed : State::TrailerLine;
        return;
    case State::TrailerLine:
        if (c == '\r')
            m_state = State::TrailerLineFeed;
        return;
    case State::TrailerLineFeed:
        m_state = c == '\n' ? State::TrailerLineStart : State::Failed;
        return;
    case State::FinalLineFeed:
        m_state = c == '\n' ? State::Finished : State::Failed;
        return;
    case State::Data:
    case State::Finished:
    case State::Failed:
        return;
    }
}

void ChunkedFraming::sizeDigit(char c)
{
    const int digit = hexDigitValue(c);
    if (digit < 0) {
        if (m_state == State::SizeStart)
            m_state = State::Failed;
        else
            m_state = c == '\r' ? State::SizeLineFeed : State::Extension;
        return;
    }
    // A size beyond 63 bits is no real body.
    if (m_chunkSize > (std::numeric_limits<std::int64_t>::max() >> 4)) {
        m_state = State::Failed;
        return;
    }
    m_chunkSize = m_chunkSize * 16 + digit;
    m_state = State::Size;
}

void ChunkedFraming::endSizeLine()
{
    m_dataLeft = m_chunkSize;
    m_chunkSize = 0;
    m_state = m_dataLeft == 0 ? State::TrailerLineStart : State::Data;
}

} // namespace tessel::http
