// The portal's answers as the forwarding reads them: the header block (interim answers, status,
// Content-Length, chunked) and the end of the body, over reads cut anywhere.
#include "forwarding/http_stream.h"

#include "fuzz/fuzz_cuts.h"

#include <QList>

#include <cstdlib>

namespace {

// Hands out the answer in the blocks the fuzzer chose, then reads as closed.
class BlockStream : public nxcrypto::DataStream
{
public:
    explicit BlockStream(QList<QByteArray> blocks) : m_blocks(std::move(blocks)) {}
    qint64 write(const QByteArray& data) override { return data.size(); }
    QByteArray read(qint64) override { return m_blocks.isEmpty() ? QByteArray() : m_blocks.takeFirst(); }

private:
    QList<QByteArray> m_blocks;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // The first byte chooses where the reads are cut, the rest is the answer.
    if (size == 0)
        return 0;
    const QByteArray answer(reinterpret_cast<const char*>(data) + 1, static_cast<int>(size - 1));
    FuzzCuts cuts(data[0]);
    QList<QByteArray> blocks;
    for (int at = 0; at < answer.size();) {
        const int block = static_cast<int>(cuts.next(static_cast<size_t>(answer.size() - at)));
        blocks.append(answer.mid(at, block));
        at += block;
    }

    tessel::HttpStream stream(QSharedPointer<BlockStream>::create(blocks));
    QByteArray passed;
    // Each read takes one block at most, so the answer must end within as many reads.
    for (int reads = 0; reads <= blocks.size(); ++reads) {
        const QByteArray block = stream.read(4096);
        if (block.isEmpty())
            break;
        passed.append(block);
    }
    // What passes is the answer as it came, cut only at its end; a finished stream stays finished.
    if (!answer.startsWith(passed) || !stream.read(4096).isEmpty())
        std::abort();
    if (stream.status() < 0 || stream.status() > 999)
        std::abort();
    return 0;
}
