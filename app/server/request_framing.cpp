#include "server/request_framing.h"

#include <Poco/Net/HTTPRequest.h>
#include <Poco/String.h>

#include <string>
#include <vector>

namespace tessel {
namespace {

bool isTokenCharacter(char c)
{
    static const std::string punctuation = "!#$%&'*+-.^_`|~";
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')
        || punctuation.find(c) != std::string::npos;
}

bool isToken(const std::string& name)
{
    if (name.empty())
        return false;
    for (const char c : name) {
        if (!isTokenCharacter(c))
            return false;
    }
    return true;
}

bool isDigits(const std::string& text)
{
    // More digits than 18 no body reaches, and they would not fit the length's type.
    if (text.empty() || text.size() > 18)
        return false;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return false;
    }
    return true;
}

// The values as Poco's own readers of the framing take them. Poco trims the blanks around a
// value, but not those an encoded word ("=?...?=") decodes to, and its length parser refuses those.
std::vector<std::string> valuesOf(const Poco::Net::HTTPRequest& request, const std::string& name)
{
    std::vector<std::string> values;
    for (const auto& [field, value] : request) {
        if (Poco::icompare(field, name) == 0)
            values.push_back(value);
    }
    return values;
}

} // namespace

QString framingFault(const Poco::Net::HTTPRequest& request)
{
    for (const auto& [field, value] : request) {
        if (!isToken(field))
            return QStringLiteral("the header field name \"%1\" is no token").arg(QString::fromStdString(field));
    }
    const std::vector<std::string> lengths = valuesOf(request, "Content-Length");
    const std::vector<std::string> codings = valuesOf(request, "Transfer-Encoding");
    if (!lengths.empty() && !codings.empty())
        return QStringLiteral("Content-Length and Transfer-Encoding together");
    for (const std::string& length : lengths) {
        if (!isDigits(length))
            return QStringLiteral("Content-Length \"%1\" is no number").arg(QString::fromStdString(length));
        if (length != lengths.front())
            return QStringLiteral("Content-Length has differing values");
    }
    if (codings.size() > 1 || (codings.size() == 1 && Poco::icompare(codings.front(), "chunked") != 0))
        return QStringLiteral("Transfer-Encoding other than chunked");
    return QString();
}

} // namespace tessel
