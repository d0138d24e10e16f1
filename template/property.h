#pragma once

#include "template/fragment.h"

namespace NL::Template::Private {

// A variable: the value of its name in the dictionary it renders with, unescaped.
class Property : public Fragment
{
public:
    explicit Property(std::string name);

    void render(std::ostream& out, const Dictionary& dictionary) const override;
    std::unique_ptr<Fragment> clone() const override;

private:
    std::string m_name;
};

} // namespace NL::Template::Private
