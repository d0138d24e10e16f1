#include "template/property.h"

#include "template/dictionary.h"

namespace NL::Template::Private {

Property::Property(std::string name) : m_name(std::move(name)) {}

void Property::render(std::ostream& out, const Dictionary& dictionary) const
{
    if (const std::string* value = dictionary.find(m_name))
        out << *value;
}

std::unique_ptr<Fragment> Property::clone() const { return std::make_unique<Property>(m_name); }

} // namespace NL::Template::Private
