#include "scripted_data_stream.h"

#include "forwarding/data_stream_buffer.h"
#include "forwarding/http_chunked_input_stream.h"
#include "forwarding/http_stream.h"

#include "tessel/exception.h"

#include <gtest/gtest.h>

#include <ostream>

#include <random>
#include <sstream>

namespace {

std::string decodeAll(std::istream& source)
{
    tessel::HTTPChunkedInputStream decoded(source);
    std::ostringstream out;
    char block[1000];
    while (decoded.read(block, sizeof block) || decoded.gcount() > 0)
        out.write(block, decoded.gcount());
    return out.str();
}

struct DecodeCase
{
    const char* name;
    std::string encoded;
    std::string decoded; // when no error is expected
    const char* error;   // nullptr: decodes

    // Test output names the case instead of dumping its bytes.
    friend void PrintTo(const DecodeCase& c, std::ostream* out) { *out << c.name; }
};

const DecodeCase decodeCases[] = {
    {"TwoChunks", "3\r\nabc\r\n2\r\nde\r\n0\r\n\r\n", "abcde", nullptr},
    {"UpperCaseSize", "A\r\n0123456789\r\n0\r\n\r\n", "0123456789", nullptr},
    {"ExtensionAfterSize", "1a;name=value\r\n" + std::string(26, 'y') + "\r\n0\r\n\r\n", std::string(26, 'y'), nullptr},
    {"EmptyBody", "0\r\n\r\n", "", nullptr},
    {"SizeStartsWithLetter", "g\r\nabc\r\n0\r\n\r\n", "", "Unexpected data in underlying stream"},
    {"SizeLineWithoutLineFeed", "3\rabc", "", "Unexpected data in underlying stream"},
    {"NoLineEndAfterData", "3\r\nabcX\r\n0\r\n\r\n", "", "Unexpected data in underlying stream"},
    {"TrailerFieldsAreDropped", "2\r\nok\r\n0\r\nX-Sum: 1\r\nX-Other: 2\r\n\r\n", "ok", nullptr},
    {"ClosedInTrailer", "0\r\nX-Sum: 1\r\n", "", "Underlying stream has unexpectedly ended"},
    {"SizeTooLargeForAnyBody", "fffffffffffffffffff\r\n", "", "Unexpected data in underlying stream"},
    {"ClosedInChunkData", "5\r\nab", "", "Underlying stream has unexpectedly ended."},
    {"ClosedInSizeLine", "5", "", "Underlying stream has unexpectedly ended"},
    {"ClosedBeforeLastChunk", "3\r\nabc\r\n", "", "Underlying stream has unexpectedly ended"},
    {"ClosedAfterLastChunk", "0\r\n", "", "Underlying stream has unexpectedly ended"},
};

class ChunkedDecoding : public testing::TestWithParam<DecodeCase>
{};

TEST_P(ChunkedDecoding, DecodesOrNamesTheFault)
{
    const DecodeCase& c = GetParam();
    std::istringstream source(c.encoded);
    if (!c.error) {
        EXPECT_EQ(decodeAll(source), c.decoded);
        return;
    }
    try {
        decodeAll(source);
        ADD_FAILURE() << "decoded without error";
    } catch (const tessel::utils::exception& e) {
        EXPECT_STREQ(e.what(), c.error);
    }
}

INSTANTIATE_TEST_SUITE_P(Bodies, ChunkedDecoding, testing::ValuesIn(decodeCases),
                         [](const testing::TestParamInfo<DecodeCase>& info) { return info.param.name; });

TEST(ChunkedDecoding, StaysAtEndAfterLastChunk)
{
    std::istringstream source("2\r\nok\r\n0\r\n\r\nafter");
    tessel::HTTPChunkedInputStream decoded(source);
    std::string body;
    std::getline(decoded, body, '\0');
    EXPECT_EQ(body, "ok");
    decoded.clear();
    EXPECT_EQ(decoded.get(), std::char_traits<char>::eof());
    EXPECT_EQ(source.get(), 'a'); // nothing read past the body
}

// The whole read side of a forwarded chunked answer: blocks as the TLS stream returns them,
// the response framing, the stream buffer and the decoder.
struct ChainCase
{
    const char* name;
    int blockSize;

    // Test output names the case instead of dumping its bytes.
    friend void PrintTo(const ChainCase& c, std::ostream* out) { *out << c.name; }
};

class ChunkedAnswerThroughAdapters : public testing::TestWithParam<ChainCase>
{};

TEST_P(ChunkedAnswerThroughAdapters, ArrivesIntactAndEndsAtTheLastChunk)
{
    const std::vector<int> chunkSizes = {1, 2, 15, 16, 1000, 4095, 4096, 4097, 8192, 65536, 1 << 20};
    std::mt19937 random(7);
    QByteArray body;
    QByteArray wire("HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n");
    for (const int size : chunkSizes) {
        QByteArray chunk(size, Qt::Uninitialized);
        for (char& c : chunk)
            c = static_cast<char>(random());
        body += chunk;
        wire += QByteArray::number(size, 16) + "\r\n" + chunk + "\r\n";
    }
    wire += "0\r\n\r\n";

    QList<QByteArray> blocks;
    for (int at = 0; at < wire.size(); at += GetParam().blockSize)
        blocks.append(wire.mid(at, GetParam().blockSize));
    blocks.append("NOT YET");
    const int responseBlocks = blocks.size() - 1;

    auto underlying = QSharedPointer<ScriptedDataStream>::create(blocks);
    tessel::DataStreamBuffer buffer(QSharedPointer<tessel::HttpStream>::create(underlying));
    std::istream answer(&buffer);
    std::string statusLine;
    std::getline(answer, statusLine);
    for (std::string header; std::getline(answer, header) && header != "\r";) {
    }
    EXPECT_EQ(decodeAll(answer), body.toStdString());
    EXPECT_EQ(underlying->reads, responseBlocks);
}

INSTANTIATE_TEST_SUITE_P(BlockSizes, ChunkedAnswerThroughAdapters,
                         testing::Values(ChainCase{"SevenBytes", 7}, ChainCase{"OddSize", 1000},
                                         ChainCase{"TlsRecord", 16384}),
                         [](const testing::TestParamInfo<ChainCase>& info) { return info.param.name; });

} // namespace
