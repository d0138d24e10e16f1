#include "chunked_body_tracker.h"

#include "chunk_size_digits.h"

#include "crypto/platform/hex_text.h"

#include <algorithm>

namespace tessel {

std::size_t ChunkedBodyTracker::feed(const char* data, std::size_t size)
{
    std::size_t used = 0;
    while (used < size && !finished() && !failed()) {
        if (m_state == State::Data) {
            const std::size_t count = static_cast<std::size_t>(std::min<qint64>(m_dataLeft, qint64(size - used)));
            m_dataLeft -= qint64(count);
            used += count;
            if (m_dataLeft == 0)
                m_state = State::DataCarriageReturn;
            continue;
        }
        step(data[used++]);
    }
    return used;
}

void ChunkedBodyTracker::step(char c)
{
    switch (m_state) {
    case State::SizeStart:
    case State::Size: {
        const int digit = nxcrypto::csp::hexDigitValue(c);
        if (digit >= 0)
            m_state = appendChunkSizeDigit(m_chunkSize, digit) ? State::Size : State::Failed;
        else if (m_state == State::SizeStart) {
            m_state = State::Failed;
        } else {
            m_state = c == '\r' ? State::SizeLineFeed : State::Extension;
        }
        return;
    }
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

void ChunkedBodyTracker::endSizeLine()
{
    m_dataLeft = m_chunkSize;
    m_chunkSize = 0;
    m_state = m_dataLeft == 0 ? State::TrailerLineStart : State::Data;
}

} // namespace tessel
