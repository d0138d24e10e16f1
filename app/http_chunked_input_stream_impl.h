#pragma once

#include <QtGlobal>

#include <istream>
#include <streambuf>

namespace tessel {

// Decodes a chunked body read from another stream; the decoded data is its read area.
class HttpChunkedInputStreamImpl : public std::streambuf
{
public:
    explicit HttpChunkedInputStreamImpl(std::istream& source);

protected:
    int_type underflow() override;

private:
    static constexpr int readAreaSize = 4096;

    // False at the last chunk.
    bool startChunk();
    qint64 readSizeLine();
    void expect(char c);
    int nextCharacter();

    std::istream& m_source;
    qint64 m_chunkLeft = 0;
    bool m_firstChunk = true;
    bool m_ended = false;
    char m_readArea[readAreaSize];
};

} // namespace tessel
