#pragma once

#include <Poco/Net/StreamSocket.h>

#include <string>

namespace standin {

// Subject of the verified client certificate of a TLS connection, as the proxy's crypto
// library writes subjects, so that the two can be compared; empty when the client presented
// none.
std::string clientSubject(const Poco::Net::StreamSocket& socket);

} // namespace standin
