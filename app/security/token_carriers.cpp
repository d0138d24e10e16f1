#include "security/token_carriers.h"

#include <Poco/Net/HTTPRequest.h>
#include <Poco/String.h>
#include <Poco/URI.h>

#include <vector>

namespace tessel::security {
namespace {

std::string trimmed(const std::string& text)
{
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos)
        return std::string();
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::vector<std::string> split(const std::string& text, char separator)
{
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find(separator, start)) != std::string::npos; start = end + 1)
        parts.push_back(text.substr(start, end - start));
    parts.push_back(text.substr(start));
    return parts;
}

std::string decoded(const std::string& text)
{
    std::string plus = text;
    for (char& c : plus) {
        if (c == '+')
            c = ' ';
    }
    std::string result;
    try {
        Poco::URI::decode(plus, result);
    } catch (const Poco::Exception&) {
        return text;
    }
    return result;
}

// The name and the value of "name=value" pairs in a cookie header or a query.
std::pair<std::string, std::string> nameAndValue(const std::string& pair)
{
    const std::size_t equals = pair.find('=');
    if (equals == std::string::npos)
        return {trimmed(pair), std::string()};
    return {trimmed(pair.substr(0, equals)), trimmed(pair.substr(equals + 1))};
}

} // namespace

bool TokenCarriers::isToken(const std::string& text) const
{
    // Compared in full whatever differs, so that timing tells nothing of the token.
    if (text.size() != m_token.size())
        return false;
    unsigned char difference = 0;
    for (std::size_t i = 0; i < text.size(); ++i)
        difference |= static_cast<unsigned char>(text[i] ^ m_token[i]);
    return difference == 0;
}

bool TokenCarriers::isOurAuthorization(const std::string& value) const
{
    const std::string scheme = "Bearer ";
    return value.size() > scheme.size() && Poco::icompare(value.substr(0, scheme.size()), scheme) == 0
           && isToken(trimmed(value.substr(scheme.size())));
}

bool TokenCarriers::inCookieOrHeader(const Poco::Net::HTTPRequest& request) const
{
    for (auto it = request.find("Authorization"); it != request.end() && Poco::icompare(it->first, "Authorization") == 0; ++it) {
        if (isOurAuthorization(it->second))
            return true;
    }
    for (auto it = request.find("Cookie"); it != request.end() && Poco::icompare(it->first, "Cookie") == 0; ++it) {
        for (const std::string& pair : split(it->second, ';')) {
            const auto [name, value] = nameAndValue(pair);
            if (name == cookieName && isToken(value))
                return true;
        }
    }
    return false;
}

bool TokenCarriers::inQuery(const std::string& target) const
{
    return withoutQueryToken(target) != target;
}

std::string TokenCarriers::withoutQueryToken(const std::string& target) const
{
    const std::size_t question = target.find('?');
    if (question == std::string::npos)
        return target;
    std::string kept;
    bool removed = false;
    for (const std::string& pair : split(target.substr(question + 1), '&')) {
        const auto [name, value] = nameAndValue(pair);
        if (decoded(name) == parameterName && isToken(decoded(value))) {
            removed = true;
            continue;
        }
        kept += (kept.empty() ? "" : "&") + pair;
    }
    if (!removed)
        return target;
    return target.substr(0, question) + (kept.empty() ? "" : "?" + kept);
}

std::string TokenCarriers::cookie() const
{
    return std::string(cookieName) + "=" + m_token + "; HttpOnly; SameSite=Lax; Path=/";
}

void TokenCarriers::strip(Poco::Net::HTTPRequest& request) const
{
    std::vector<std::string> cookieHeaders;
    for (auto it = request.find("Cookie"); it != request.end() && Poco::icompare(it->first, "Cookie") == 0; ++it)
        cookieHeaders.push_back(it->second);
    std::vector<std::string> authorizations;
    for (auto it = request.find("Authorization"); it != request.end() && Poco::icompare(it->first, "Authorization") == 0; ++it)
        authorizations.push_back(it->second);
    request.erase("Cookie");
    request.erase("Authorization");
    for (const std::string& header : cookieHeaders) {
        std::string kept;
        for (const std::string& pair : split(header, ';')) {
            if (nameAndValue(pair).first == cookieName)
                continue;
            kept += (kept.empty() ? "" : "; ") + trimmed(pair);
        }
        if (!kept.empty())
            request.add("Cookie", kept);
    }
    for (const std::string& value : authorizations) {
        if (!isOurAuthorization(value))
            request.add("Authorization", value);
    }
    request.setURI(withoutQueryToken(request.getURI()));
}

} // namespace tessel::security
