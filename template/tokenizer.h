#pragma once

#include "template/token.h"

#include <cstddef>
#include <optional>

namespace NL::Template::Private {

// Splits a template text into text and tags. A tag counts only in its exact form
// ("{{ name }}", "{% block name %}", "{% endblock %}", "{% include name %}"); anything else is text.
class Tokenizer
{
public:
    explicit Tokenizer(std::string text);

    // Text before a tag comes first, the tag with the next call; End once the text is used up.
    Token next();

private:
    std::optional<Token> tagAt(std::size_t position) const;

    std::string m_text;
    std::size_t m_position = 0;
    std::optional<Token> m_held;
};

} // namespace NL::Template::Private
