#include "template/dictionary.h"

namespace NL::Template::Private {

void Dictionary::set(const std::string& key, const std::string& value)
{
    for (auto& pair : m_pairs) {
        if (pair.first == key) {
            pair.second = value;
            return;
        }
    }
    m_pairs.emplace_back(key, value);
}

const std::string* Dictionary::find(const std::string& key) const
{
    for (const auto& pair : m_pairs) {
        if (pair.first == key)
            return &pair.second;
    }
    return nullptr;
}

} // namespace NL::Template::Private
