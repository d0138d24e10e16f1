#pragma once

#include <cstddef>
#include <cstdint>

namespace tessel::http {

// The grammar of a chunked body: size lines (extensions skipped), chunk data, the last chunk and
// trailer fields, which are read and dropped. Framing is fed byte by byte; the data of a chunk is
// only counted, so a reader can move it in blocks of its own.
class ChunkedFraming
{
public:
    // Reads framing bytes and stops where chunk data begins, at the end of the body or at the
    // first byte that is no chunked framing; returns how many it took.
    std::size_t readFraming(const char* data, std::size_t size);
    // Data bytes of the current chunk still to come; framing follows once they are taken.
    std::int64_t dataLeft() const { return m_dataLeft; }
    // count must not exceed dataLeft().
    void takeData(std::int64_t count);

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
    void sizeDigit(char c);
    void endSizeLine();

    State m_state = State::SizeStart;
    std::int64_t m_chunkSize = 0;
    std::int64_t m_dataLeft = 0;
};

} // namespace tessel::http
