#pragma once

#include "crypto/records/data_stream.h"

#include <QByteArray>
#include <QList>

// A DataStream that hands out prepared blocks, one per read whatever size is asked (as the
// TLS stream does), and then reads as closed. It records what is written to it.
class ScriptedDataStream : public nxcrypto::DataStream
{
public:
    explicit ScriptedDataStream(QList<QByteArray> blocks = {}) : m_blocks(std::move(blocks)) {}

    qint64 write(const QByteArray& data) override
    {
        const qint64 taken = m_writeLimit < 0 ? data.size() : std::min<qint64>(data.size(), m_writeLimit);
        written.append(data.left(static_cast<int>(taken)));
        writeSizes.append(data.size());
        return taken;
    }

    QByteArray read(qint64) override
    {
        ++reads;
        return m_blocks.isEmpty() ? QByteArray() : m_blocks.takeFirst();
    }

    // Every later write takes at most limit bytes.
    void limitWrites(qint64 limit) { m_writeLimit = limit; }

    int reads = 0;
    QByteArray written;
    QList<qint64> writeSizes;

private:
    QList<QByteArray> m_blocks;
    qint64 m_writeLimit = -1;
};
