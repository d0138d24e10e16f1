#include "template/tokenizer.h"

namespace NL::Template::Private {
namespace {

struct TagForm
{
    Token::Type type;
    std::string opening;
    bool named;
    std::string closing;
};

// In the order they are tried at each position.
const TagForm tagForms[] = {
    {Token::Type::BlockStart, "{% block ", true, " %}"},
    {Token::Type::BlockEnd, "{% endblock", false, " %}"},
    {Token::Type::Include, "{% include ", true, " %}"},
    {Token::Type::Variable, "{{ ", true, " }}"},
};

bool isNameCharacter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '/'
        || c == '_';
}

} // namespace

Tokenizer::Tokenizer(std::string text) : m_text(std::move(text)) {}

std::optional<Token> Tokenizer::tagAt(std::size_t position) const
{
    for (const TagForm& form : tagForms) {
        if (m_text.compare(position, form.opening.size(), form.opening) != 0)
            continue;
        const std::size_t nameStart = position + form.opening.size();
        std::size_t nameEnd = nameStart;
        while (form.named && nameEnd < m_text.size() && isNameCharacter(m_text[nameEnd]))
            ++nameEnd;
        if (m_text.compare(nameEnd, form.closing.size(), form.closing) != 0)
            continue;
        const std::size_t end = nameEnd + form.closing.size();
        return Token{form.type, m_text.substr(nameStart, nameEnd - nameStart), m_text.substr(position, end - position)};
    }
    return std::nullopt;
}

Token Tokenizer::next()
{
    if (m_held) {
        Token held = std::move(*m_held);
        m_held.reset();
        return held;
    }
    const std::size_t textStart = m_position;
    while (m_position < m_text.size()) {
        const std::size_t tagStart = m_position;
        std::optional<Token> tag = tagAt(tagStart);
        if (!tag) {
            ++m_position;
            continue;
        }
        m_position += tag->source.size();
        if (tagStart == textStart)
            return std::move(*tag);
        m_held = std::move(tag);
        return Token{Token::Type::Text, {}, m_text.substr(textStart, tagStart - textStart)};
    }
    if (m_position > textStart)
        return Token{Token::Type::Text, {}, m_text.substr(textStart)};
    return Token{};
}

} // namespace NL::Template::Private
