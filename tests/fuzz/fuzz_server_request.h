#pragma once

#include <Poco/Net/HTTPServerRequest.h>
#include <Poco/Net/SocketAddress.h>

#include <sstream>
#include <string>

// A server request whose body is the fuzzer's input, for the parsers that read a request as the
// REST endpoints get it. Only the header fields and the body are there; what belongs to a
// connection throws.
class FuzzServerRequest : public Poco::Net::HTTPServerRequest
{
public:
    FuzzServerRequest(const std::string& contentType, std::string body);

    std::istream& stream() override { return m_body; }
    const Poco::Net::SocketAddress& clientAddress() const override { return m_address; }
    const Poco::Net::SocketAddress& serverAddress() const override { return m_address; }
    const Poco::Net::HTTPServerParams& serverParams() const override;
    Poco::Net::HTTPServerResponse& response() const override;
    bool secure() const override { return false; }

private:
    std::istringstream m_body;
    Poco::Net::SocketAddress m_address;
};
