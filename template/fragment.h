#pragma once

#include <memory>
#include <ostream>
#include <string>

namespace NL::Template::Private {

class Dictionary;

// A piece of a parsed template.
class Fragment
{
public:
    // Writes the piece; variables take their values from dictionary.
    virtual void render(std::ostream& out, const Dictionary& dictionary) const = 0;
    virtual ~Fragment() = default;
    virtual std::unique_ptr<Fragment> clone() const = 0;
    virtual bool isBlockNamed(const std::string&) const { return false; }
};

} // namespace NL::Template::Private
