#include "portal_options.h"

#include <charconv>

namespace standin {

namespace {

int parseInteger(const std::string& text, int minimum, int maximum, const std::string& what)
{
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end || value < minimum || value > maximum)
        throw UsageError(what + ": not a number from " + std::to_string(minimum) + " to " + std::to_string(maximum)
                         + ": " + text);
    return value;
}

void parseListen(const std::string& text, PortalOptions& options)
{
    const auto colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        throw UsageError("--listen: expected HOST:PORT, got: " + text);
    options.listenHost = text.substr(0, colon);
    options.listenPort = static_cast<unsigned short>(parseInteger(text.substr(colon + 1), 0, 65535, "--listen port"));
}

ClientAuth parseClientAuth(const std::string& text)
{
    if (text == "require")
        return ClientAuth::Require;
    if (text == "optional")
        return ClientAuth::Optional;
    if (text == "none")
        return ClientAuth::None;
    throw UsageError("--client-auth: expected require, optional or none, got: " + text);
}

} // namespace

PortalOptions parsePortalOptions(const std::vector<std::string>& arguments)
{
    PortalOptions options;
    std::vector<std::filesystem::path> certificates;
    std::vector<std::filesystem::path> keys;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& name = arguments[i];
        if (name == "--help" || name == "-h") {
            options.helpRequested = true;
            return options;
        }
        if (i + 1 >= arguments.size())
            throw UsageError(name.rfind("--", 0) == 0 ? name + ": value missing" : "unknown argument: " + name);
        const std::string& value = arguments[++i];
        if (name == "--cert")
            certificates.emplace_back(value);
        else if (name == "--key")
            keys.emplace_back(value);
        else if (name == "--ca")
            options.caBundle = value;
        else if (name == "--state")
            options.stateDir = value;
        else if (name == "--listen")
            parseListen(value, options);
        else if (name == "--port-file")
            options.portFile = value;
        else if (name == "--client-auth")
            options.clientAuth = parseClientAuth(value);
        else if (name == "--io-timeout")
            options.ioTimeoutSeconds = parseInteger(value, 1, 3600, "--io-timeout");
        else
            throw UsageError("unknown argument: " + name);
    }
    if (certificates.empty() || certificates.size() != keys.size())
        throw UsageError("give --cert and --key in pairs, at least one pair");
    for (std::size_t i = 0; i < certificates.size(); ++i)
        options.certificates.push_back({certificates[i], keys[i]});
    if (options.caBundle.empty())
        throw UsageError("--ca is required");
    if (options.stateDir.empty())
        throw UsageError("--state is required");
    return options;
}

std::string portalHelpText()
{
    return R"(Usage: stand-in-portal --cert server.pem --key server.key.pem --ca ca-bundle.pem --state DIR
                       [--listen 127.0.0.1:0] [--port-file FILE] [--client-auth require|optional|none]
                       [--io-timeout SECONDS]

A GOST HTTPS server (TLS 1.2) that stands in for the document exchange portal.

  --cert FILE, --key FILE  server certificate (PEM, may hold its chain) and its key;
                           repeat the pair to serve a 2012 and a 2001 key side by side
  --ca FILE                CA certificates (PEM) that client certificates must chain to;
                           they also complete the server's chain
  --state DIR              state directory, created when missing; requests.log goes here
  --listen HOST:PORT       address to listen on (default 127.0.0.1:0, port 0 picks a free one)
  --port-file FILE         write the listening port here once the server accepts connections
  --client-auth MODE       require (default): a client without a certificate fails the
                           handshake; optional: ask, accept none; none: do not ask
  --io-timeout SECONDS     limit of every socket wait (default 30)

Endpoints:
  GET  /webclient/                      portal page naming the user of the client certificate
  ANY  /test/echo                       JSON: method, target, headers, clientSubject,
                                        bodyLength, bodySha256
  POST /test/upload                     JSON: bodyLength, bodySha256 of the streamed body
  GET  /test/download?size=N[&chunked=1]
                                        N deterministic pseudo-random bytes
  GET  /test/chunks?sizes=1,100,1048576[&split=1]
                                        chunked answer with those chunk sizes; split=1 sends
                                        the last chunk and the trailer in separate writes
  GET  /test/redirect?to=self|elsewhere 302 to /webclient/ of this portal, or to
                                        http://example.invalid/x
Other paths answer 404. SIGINT or SIGTERM stops the server.
)";
}

} // namespace standin
