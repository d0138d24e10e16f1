#pragma once

#include <QString>

namespace Poco::Net {
class HTTPServerRequest;
class HTTPServerResponse;
} // namespace Poco::Net

namespace tessel {

// Serves GET requests below the prefix from files under the root; declines everything else.
class StaticFileHandler
{
public:
    StaticFileHandler(const QString& rootDirectory, const QString& prefix);

    bool operator()(Poco::Net::HTTPServerRequest& request, Poco::Net::HTTPServerResponse& response) const;

private:
    QString fileFor(const QString& target) const;

    QString m_root;
    QString m_prefix;
};

} // namespace tessel
