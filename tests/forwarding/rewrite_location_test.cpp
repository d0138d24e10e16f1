#include "forwarding/proxy_request_handler.h"

#include <gtest/gtest.h>

#include <ostream>

namespace {

struct LocationCase
{
    const char* name;
    const char* location;
    const char* portal;
    const char* expected;

    // Test output names the case instead of dumping its bytes.
    friend void PrintTo(const LocationCase& c, std::ostream* out) { *out << c.name; }
};

const char* const listen = "http://localhost:8000";

const LocationCase locationCases[] = {
    {"PortalRootAbsolute", "https://localhost:8443/webclient/?a=1#top", "https://localhost:8443",
     "http://localhost:8000/webclient/?a=1#top"},
    {"PortalPathRemoved", "https://localhost:8443/p/x?q=%20", "https://localhost:8443/p",
     "http://localhost:8000/x?q=%20"},
    {"PortalPathItself", "https://localhost:8443/p/", "https://localhost:8443/p", "http://localhost:8000/"},
    {"RelativeLosesPortalPath", "/p/x", "https://localhost:8443/p", "/x"},
    {"RelativeOutsidePortalPath", "/px", "https://localhost:8443/p", "/px"},
    {"RelativeAtRoot", "/local/#auth", "https://localhost:8443", "/local/#auth"},
    {"PathComparedCaseSensitively", "/P/x", "https://localhost:8443/p", "/P/x"},
    {"OtherHost", "http://example.invalid/x", "https://localhost:8443", "http://example.invalid/x"},
    {"OtherPort", "https://localhost:9443/x", "https://localhost:8443", "https://localhost:9443/x"},
    {"OtherScheme", "http://localhost:8443/x", "https://localhost:8443", "http://localhost:8443/x"},
    {"ExplicitDefaultPortDiffers", "https://portal.example:443/x", "https://portal.example",
     "https://portal.example:443/x"},
    {"DocumentRelativeUntouched", "next/page", "https://localhost:8443", "next/page"},
};

class RewriteLocation : public testing::TestWithParam<LocationCase>
{};

TEST_P(RewriteLocation, PointsIntoTheProxyOnlyWhenTheTargetIsThePortal)
{
    const LocationCase& c = GetParam();
    const QUrl result = tessel::ProxyRequestHandler::rewriteLocation(QUrl(c.location, QUrl::TolerantMode),
                                                                     QUrl(c.portal), QUrl(listen));
    EXPECT_EQ(result.toEncoded().toStdString(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Locations, RewriteLocation, testing::ValuesIn(locationCases),
                         [](const testing::TestParamInfo<LocationCase>& info) { return info.param.name; });

} // namespace
