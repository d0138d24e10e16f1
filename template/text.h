#pragma once

#include "template/fragment.h"

namespace NL::Template::Private {

// Plain text of the template, written as it stands.
class Text : public Fragment
{
public:
    explicit Text(std::string text);

    void render(std::ostream& out, const Dictionary& dictionary) const override;
    std::unique_ptr<Fragment> clone() const override;

private:
    std::string m_text;
};

} // namespace NL::Template::Private
