#include "scripted_data_stream.h"

#include "forwarding/http_stream.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

// A block the server would send only later, or never: reading it means the end was missed.
const QByteArray notYet("NOT YET");

struct FramingCase
{
    const char* name;
    QList<QByteArray> blocks;
    int blocksOfResponse; // how many blocks belong to the response
    bool endsAtClose;     // the response ends only when the server closes
    int status;

    // Test output names the case instead of dumping its bytes.
    friend void PrintTo(const FramingCase& c, std::ostream* out) { *out << c.name; }
};

QByteArray withBytes(const char* prefix, int count, const char* suffix)
{
    return QByteArray(prefix) + QByteArray(count, 'x') + QByteArray(suffix);
}

const FramingCase framingCases[] = {
    {"LengthInHeaderBlock", {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello", notYet}, 1, false, 200},
    {"LengthOverSeveralBlocks", {"HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\n", "he", "llo", notYet}, 3, false, 200},
    {"HeaderBlockSplit", {"HTTP/1.1 200 OK\r\nContent-Le", "ngth: 3\r\n\r", "\nabc", notYet}, 3, false, 200},
    {"LowerCaseLengthName", {"HTTP/1.1 200 OK\r\ncontent-length: 2\r\n\r\n", "ok", notYet}, 2, false, 200},
    {"ZeroLength", {"HTTP/1.1 200 OK\r\nContent-Length: 0\r\n\r\n", notYet}, 1, false, 200},
    {"RedirectWithoutLength", {"HTTP/1.1 302 Found\r\nLocation: /x\r\n\r\n", notYet}, 1, false, 302},
    {"OkWithoutLengthRunsToClose", {"HTTP/1.1 200 OK\r\nConnection: close\r\n\r\nab", "cd"}, 2, true, 200},
    {"InterimAnswerFirst",
     {"HTTP/1.1 100 Continue\r\n\r\n", "HTTP/1.1 201 Created\r\nContent-Length: 2\r\n\r\n", "ok", notYet},
     3,
     false,
     201},
    {"InterimAndFinalInOneBlock",
     {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", notYet},
     1,
     false,
     200},
    {"ChunkedInOneBlock",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n\r\n", notYet},
     1,
     false,
     200},
    {"ChunkedTerminatorSplitAfterLastChunk",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r\n", "\r\n", notYet},
     2,
     false,
     200},
    {"ChunkedTerminatorSplitInsideLastChunk",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\nabc\r\n0\r", "\n\r", "\n", notYet},
     3,
     false,
     200},
    {"ChunkDataEndingLikeTheTerminator",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\n0\r\n\r\n", "\r\n4\r\nmore\r\n0\r\n\r\n", notYet},
     2,
     false,
     200},
    {"ChunkedEveryByteApart",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", "1", "\r", "\n", "a", "\r", "\n", "0", "\r", "\n", "\r",
      "\n", notYet},
     12,
     false,
     200},
    {"ChunkExtensionAndTrailer",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", withBytes("1a;name=value\r\n", 26, "\r\n"),
      "0\r\nX-Checksum: 1\r\n\r\n", notYet},
     3,
     false,
     200},
    {"ChunkedWinsOverLength",
     {"HTTP/1.1 200 OK\r\nContent-Length: 3\r\nTransfer-Encoding: chunked\r\n\r\n", "5\r\nab", "cde\r\n0\r\n\r\n",
      notYet},
     3,
     false,
     200},
    {"ChunkedNotFoundAnswer",
     {"HTTP/1.1 404 Not Found\r\nTransfer-Encoding: chunked\r\n\r\n", "4\r\ngone\r\n0\r\n\r\n", notYet},
     2,
     false,
     404},
    {"BadChunkSizeLineEndsTheResponse",
     {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", "zz\r\n", notYet},
     2,
     false,
     200},
    {"ChunkedClosedEarly", {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n", "5\r\nab"}, 2, true, 200},
    {"LengthClosedEarly", {"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\n", "abc"}, 2, true, 200},
    {"ClosedInHeaders", {"HTTP/1.1 200 OK\r\nContent-"}, 1, true, 0},
    // Poco keeps the status in an enum that has no value for such a code.
    {"StatusCodeWithoutAPocoName", {"HTTP/1.1 900 Odd\r\nContent-Length: 2\r\n\r\nok", notYet}, 1, false, 900},
    {"StatusOfNoThreeDigitsEndsTheResponse", {"HTTP/1.1 -12 Odd\r\nContent-Length: 2\r\n\r\n", notYet}, 1, false, 0},
};

class HttpStreamFraming : public testing::TestWithParam<FramingCase>
{};

TEST_P(HttpStreamFraming, ReadsExactlyTheResponse)
{
    const FramingCase& framing = GetParam();
    auto underlying = QSharedPointer<ScriptedDataStream>::create(framing.blocks);
    tessel::HttpStream stream(underlying);

    QByteArray received;
    for (int i = 0; i < 100; ++i) {
        const QByteArray block = stream.read(1024);
        if (block.isEmpty())
            break;
        received += block;
    }
    EXPECT_TRUE(stream.read(1024).isEmpty()); // and stays ended

    QByteArray expected;
    for (int i = 0; i < framing.blocksOfResponse; ++i)
        expected += framing.blocks[i];
    EXPECT_EQ(received, expected);
    // One read more than the response's blocks only when the close ended it.
    EXPECT_EQ(underlying->reads, framing.blocksOfResponse + (framing.endsAtClose ? 1 : 0));
    EXPECT_EQ(stream.status(), framing.status);
}

INSTANTIATE_TEST_SUITE_P(Responses, HttpStreamFraming, testing::ValuesIn(framingCases),
                         [](const testing::TestParamInfo<FramingCase>& info) { return info.param.name; });

TEST(HttpStream, PassesWritesThrough)
{
    auto underlying = QSharedPointer<ScriptedDataStream>::create();
    tessel::HttpStream stream(underlying);
    EXPECT_EQ(stream.write("GET / HTTP/1.1\r\n\r\n"), 18);
    EXPECT_EQ(underlying->written, QByteArray("GET / HTTP/1.1\r\n\r\n"));
    underlying->limitWrites(3);
    EXPECT_EQ(stream.write("abcdef"), 3);
}

} // namespace
