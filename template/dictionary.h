#pragma once

#include <string>
#include <utility>
#include <vector>

namespace NL::Template::Private {

// Names and values (UTF-8) in the order they were first set.
class Dictionary
{
public:
    // Replaces the value of the key, or appends the pair when the key is new.
    void set(const std::string& key, const std::string& value);
    // The value of the key; null when it was never set.
    const std::string* find(const std::string& key) const;

private:
    std::vector<std::pair<std::string, std::string>> m_pairs;
};

} // namespace NL::Template::Private
