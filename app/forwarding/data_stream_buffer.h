#pragma once

#include "crypto/records/data_stream.h"

#include <QByteArray>
#include <QSharedPointer>

#include <streambuf>

namespace tessel {

// A standard stream buffer over a DataStream: writes go out in blocks of up to 1024 bytes,
// reads hand on each block the DataStream returns.
class DataStreamBuffer : public std::streambuf
{
public:
    explicit DataStreamBuffer(QSharedPointer<nxcrypto::DataStream> target);

protected:
    int_type overflow(int_type c) override;
    int_type underflow() override;
    int sync() override;

private:
    static constexpr int writeAreaSize = 1024;
    static constexpr qint64 readBlockSize = 1024;

    void resetWriteArea();

    QSharedPointer<nxcrypto::DataStream> m_target;
    char m_writeArea[writeAreaSize];
    QByteArray m_readArea;
};

} // namespace tessel
