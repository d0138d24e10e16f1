#pragma once

#include <string>
#include <vector>

namespace testsupport {

// The access tokens of the proxies a test runs, by port, so that the HTTP helpers send them as
// the user's own programs do. A helper leaves a request alone that names its own Authorization.
void rememberAccessToken(unsigned short port, const std::string& token);
void forgetAccessToken(unsigned short port);
// Empty for a port without a proxy of the test.
std::string accessTokenOf(unsigned short port);
// The token a proxy keeps beside its configuration file.
std::string readAccessToken(const std::string& configFile);
// "Authorization: Bearer ..." for the first URL among curl's arguments that names a proxy of
// the test, unless the arguments set an Authorization header themselves.
std::vector<std::string> withAccessToken(const std::vector<std::string>& curlArguments);

} // namespace testsupport
