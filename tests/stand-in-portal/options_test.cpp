#include "tools/stand-in-portal/portal_options.h"

#include <gtest/gtest.h>

using standin::parsePortalOptions;
using standin::UsageError;

namespace {

const std::vector<std::string> kRequired = {"--cert", "s.pem", "--key", "s.key", "--ca", "ca.pem", "--state", "st"};

std::vector<std::string> requiredWith(std::vector<std::string> extra)
{
    std::vector<std::string> arguments = kRequired;
    arguments.insert(arguments.end(), extra.begin(), extra.end());
    return arguments;
}

TEST(PortalOptions, FullCommandLine)
{
    const standin::PortalOptions options =
        parsePortalOptions(requiredWith({"--cert", "old.pem", "--key", "old.key", "--listen", "127.0.0.1:8443",
                                         "--port-file", "p", "--client-auth", "optional", "--io-timeout", "5"}));
    ASSERT_EQ(options.certificates.size(), 2u);
    EXPECT_EQ(options.certificates[1].certificate, "old.pem");
    EXPECT_EQ(options.certificates[1].key, "old.key");
    EXPECT_EQ(options.listenHost, "127.0.0.1");
    EXPECT_EQ(options.listenPort, 8443);
    EXPECT_EQ(options.portFile, "p");
    EXPECT_EQ(options.clientAuth, standin::ClientAuth::Optional);
    EXPECT_EQ(options.ioTimeoutSeconds, 5);
}

TEST(PortalOptions, DefaultsListenOnAFreeLoopbackPortAndRequireACertificate)
{
    const standin::PortalOptions options = parsePortalOptions(kRequired);
    EXPECT_EQ(options.listenHost, "127.0.0.1");
    EXPECT_EQ(options.listenPort, 0);
    EXPECT_EQ(options.clientAuth, standin::ClientAuth::Require);
}

TEST(PortalOptions, BadCommandLinesNameTheirFault)
{
    const struct
    {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"--cert", "s.pem", "--ca", "ca.pem", "--state", "st"}, "give --cert and --key in pairs"},
        {{"--cert", "s.pem", "--key", "s.key", "--state", "st"}, "--ca is required"},
        {{"--cert", "s.pem", "--key", "s.key", "--ca", "ca.pem"}, "--state is required"},
        {requiredWith({"--client-auth", "sometimes"}), "--client-auth: expected require, optional or none"},
        {requiredWith({"--listen", "127.0.0.1:65536"}), "--listen port: not a number from 0 to 65535"},
        {requiredWith({"--listen", "8443"}), "--listen: expected HOST:PORT"},
        {requiredWith({"--io-timeout", "0"}), "--io-timeout: not a number from 1"},
        {requiredWith({"--port-file"}), "--port-file: value missing"},
        {requiredWith({"--verbose", "yes"}), "unknown argument: --verbose"},
    };
    for (const auto& c : cases) {
        try {
            parsePortalOptions(c.arguments);
            ADD_FAILURE() << "accepted: " << c.message;
        } catch (const UsageError& e) {
            EXPECT_NE(std::string(e.what()).find(c.message), std::string::npos) << e.what();
        }
    }
}

} // namespace
