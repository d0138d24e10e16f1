#pragma once

#include <QtGlobal>

#include <cstddef>

namespace tessel {

// Follows the framing of a chunked body as its bytes pass (size lines, data, the last
// chunk and its trailer), so that the end is found exactly wherever the reads cut it.
class ChunkedBodyTracker
{
public:
    // Consumes bytes up to the end of the body; returns how many it took.
    std::size_t feed(const char* data, std::size_t size);

    bool finished() const { return m_state == State::Finished; }
    // The bytes cannot be a chunked body; nothing after them can be decoded.
    bool failed() const { return m_state == State::Failed; }

private:
    enum class State {
        SizeStart,
        Size,
        Extension,
        SizeLineFeed,
        Data,
        DataCarriageReturn,
        DataLineFeed,
        TrailerLineStart,
        TrailerLine,
        TrailerLineFeed,
        FinalLineFeed,
        Finished,
        Failed
    };

    void step(char c);
    void endSizeLine();

    State m_state = State::SizeStart;
    qint64 m_chunkSize = 0;
    qint64 m_dataLeft = 0;
};

} // namespace tessel
