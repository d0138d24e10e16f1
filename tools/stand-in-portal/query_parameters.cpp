#include "query_parameters.h"

#include "http_error.h"

#include <Poco/Exception.h>
#include <Poco/StringTokenizer.h>
#include <Poco/URI.h>

#include <charconv>

namespace standin {

namespace {

using Poco::Net::HTTPResponse;

std::uint64_t parseNumber(const std::string& name, const std::string& text, std::uint64_t minimum,
                          std::uint64_t maximum)
{
    std::uint64_t value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (text.empty() || error != std::errc() || stop != end || value < minimum || value > maximum)
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST,
                        name + " must be a whole number from " + std::to_string(minimum) + " to "
                            + std::to_string(maximum) + ", got: " + text);
    return value;
}

} // namespace

QueryParameters::QueryParameters(const std::string& target)
{
    try {
        m_parameters = Poco::URI(target).getQueryParameters();
    } catch (const Poco::SyntaxException&) {
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, "invalid request target");
    }
}

std::string QueryParameters::text(const std::string& name) const
{
    for (const auto& [key, value] : m_parameters) {
        if (key == name)
            return value;
    }
    return {};
}

bool QueryParameters::flag(const std::string& name) const
{
    const std::string value = text(name);
    return !value.empty() && value != "0";
}

bool QueryParameters::boolean(const std::string& name) const
{
    const std::string value = text(name);
    if (value != "true" && value != "false" && !value.empty())
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST, name + " must be true or false, got: " + value);
    return value == "true";
}

std::uint64_t QueryParameters::number(const std::string& name, std::uint64_t maximum) const
{
    return parseNumber(name, text(name), 0, maximum);
}

std::vector<std::uint64_t> QueryParameters::numberList(const std::string& name, std::uint64_t maximum,
                                                       std::size_t maxCount) const
{
    const Poco::StringTokenizer items(text(name), ",", Poco::StringTokenizer::TOK_TRIM);
    if (items.count() == 0 || items.count() > maxCount)
        throw HttpError(HTTPResponse::HTTP_BAD_REQUEST,
                        name + " must list 1 to " + std::to_string(maxCount) + " numbers separated by commas");
    std::vector<std::uint64_t> numbers;
    for (const std::string& item : items)
        numbers.push_back(parseNumber(name, item, 1, maximum));
    return numbers;
}

} // namespace standin
