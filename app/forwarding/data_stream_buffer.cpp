#include "forwarding/data_stream_buffer.h"

namespace tessel {

DataStreamBuffer::DataStreamBuffer(QSharedPointer<nxcrypto::DataStream> target) : m_target(std::move(target))
{
    resetWriteArea();
}

DataStreamBuffer::int_type DataStreamBuffer::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()) || sync() != 0)
        return traits_type::eof();
    *pptr() = traits_type::to_char_type(c);
    pbump(1);
    return c;
}

DataStreamBuffer::int_type DataStreamBuffer::underflow()
{
    if (gptr() < egptr())
        return traits_type::to_int_type(*gptr());
    m_readArea = m_target->read(readBlockSize);
    if (m_readArea.isEmpty())
        return traits_type::eof();
    char* begin = m_readArea.data();
    setg(begin, begin, begin + m_readArea.size());
    return traits_type::to_int_type(*gptr());
}

int DataStreamBuffer::sync()
{
    const qint64 filled = pptr() - pbase();
    if (filled == 0)
        return 0;
    const qint64 written = m_target->write(QByteArray::fromRawData(pbase(), static_cast<int>(filled)));
    if (written < filled)
        return -1;
    resetWriteArea();
    return 0;
}

void DataStreamBuffer::resetWriteArea() { setp(m_writeArea, m_writeArea + writeAreaSize); }

} // namespace tessel
