#pragma once

#include <Poco/Net/HTTPRequest.h>

#include <cstdint>
#include <functional>
#include <istream>

namespace standin {

// The body of one request, read in pieces as the handler asks: fixed length, chunked or none.
class RequestBody {
public:
    // beforeFirstRead runs once before the first byte is read (to answer "Expect: 100-continue").
    // Throws HttpError for framing headers the portal does not accept.
    RequestBody(std::istream& in, const Poco::Net::HTTPRequest& request, std::function<void()> beforeFirstRead);

    // Bytes placed in buffer; 0 once the body is complete. Throws HttpError for a broken chunk
    // framing and ConnectionLost when the connection ends inside the body.
    std::size_t read(char* buffer, std::size_t size);

    bool complete() const { return complete_; }

    // Reads and drops what is left when that is at most limit bytes; false when more is left.
    bool skipRest(std::uint64_t limit);

private:
    std::size_t readChunked(char* buffer, std::size_t size);
    std::size_t readExactly(char* buffer, std::size_t size);
    void startChunk();
    void skipTrailer();
    std::string readLine();

    std::istream& in_;
    std::function<void()> beforeFirstRead_;
    bool chunked_ = false;
    bool complete_ = false;
    bool firstChunk_ = true;
    std::uint64_t remaining_ = 0;
};

} // namespace standin
