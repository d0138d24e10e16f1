#pragma once

#include "request_body.h"

#include <array>
#include <streambuf>

namespace standin {

// A stream buffer over a request body, for parsers that read std::istream (the multipart reader).
class RequestBodyStreamBuffer : public std::streambuf {
public:
    explicit RequestBodyStreamBuffer(RequestBody& body);

private:
    int_type underflow() override;

    RequestBody& body_;
    std::array<char, 8192> buffer_;
};

} // namespace standin
