#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace standin {

// The query of a request target; bad values raise HttpError 400 naming the parameter.
class QueryParameters
{
public:
    explicit QueryParameters(const std::string& target);

    // Empty when the parameter is absent.
    std::string text(const std::string& name) const;
    bool flag(const std::string& name) const;
    // "true" or "false"; absent is false.
    bool boolean(const std::string& name) const;
    std::uint64_t number(const std::string& name, std::uint64_t maximum) const;
    // A comma-separated list of numbers from 1 to maximum, at most maxCount of them.
    std::vector<std::uint64_t> numberList(const std::string& name, std::uint64_t maximum, std::size_t maxCount) const;

private:
    std::vector<std::pair<std::string, std::string>> m_parameters;
};

} // namespace standin
