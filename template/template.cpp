#include "template/template.h"

#include "template/property.h"
#include "template/text.h"
#include "template/tokenizer.h"

#include <algorithm>
#include <stdexcept>

namespace NL::Template {

using Private::Token;

Template::Template(Loader& loader) : Block(std::string()), m_loader(loader) {}

void Template::load(const std::string& name)
{
    reset();
    std::vector<Node*> openNodes{this};
    std::vector<std::string> including;
    parse(name, openNodes, including);
}

void Template::render(std::ostream& out) const { render(out, *this); }

void Template::parse(const std::string& name, std::vector<Node*>& openNodes, std::vector<std::string>& including)
{
    // A template that includes itself, directly or not, would be parsed without end.
    if (std::find(including.begin(), including.end(), name) != including.end())
        throw std::runtime_error("Template includes itself: " + name);
    const Loader::Result loaded = m_loader.load(name);
    if (!loaded.valid)
        return;
    including.push_back(name);
    Private::Tokenizer tokens(loaded.data);
    for (Token token = tokens.next(); token.type != Token::Type::End; token = tokens.next()) {
        Node& top = *openNodes.back();
        switch (token.type) {
        case Token::Type::Text:
            top.m_fragments.push_back(std::make_unique<Private::Text>(token.source));
            break;
        case Token::Type::Variable:
            top.m_fragments.push_back(std::make_unique<Private::Property>(token.name));
            break;
        case Token::Type::BlockStart: {
            auto block = std::make_unique<Block>(token.name);
            openNodes.push_back(block.get());
            top.m_fragments.push_back(std::move(block));
            break;
        }
        case Token::Type::BlockEnd:
            // An end without an open block is the author's mistake: it stays visible as text.
            if (openNodes.size() > 1)
                openNodes.pop_back();
            else
                top.m_fragments.push_back(std::make_unique<Private::Text>(token.source));
            break;
        case Token::Type::Include:
            parse(token.name, openNodes, including);
            break;
        case Token::Type::End:
            break;
        }
    }
    including.pop_back();
}

} // namespace NL::Template
