#include "request_body_stream_buffer.h"

namespace standin {

RequestBodyStreamBuffer::RequestBodyStreamBuffer(RequestBody& body)
    : body_(body)
{
}

RequestBodyStreamBuffer::int_type RequestBodyStreamBuffer::underflow()
{
    const std::size_t count = body_.read(buffer_.data(), buffer_.size());
    if (count == 0)
        return traits_type::eof();
    setg(buffer_.data(), buffer_.data(), buffer_.data() + count);
    return traits_type::to_int_type(buffer_[0]);
}

} // namespace standin
