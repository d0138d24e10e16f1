#include "template/node.h"

#include "template/block.h"

#include <stdexcept>

namespace NL::Template {

Node::Node(const Node& other) : Private::Fragment(), Private::Dictionary(other)
{
    for (const auto& fragment : other.m_fragments)
        m_fragments.push_back(fragment->clone());
}

Block& Node::block(const std::string& name)
{
    for (const auto& fragment : m_fragments) {
        if (fragment->isBlockNamed(name))
            return static_cast<Block&>(*fragment);
    }
    throw std::runtime_error("Block not found");
}

void Node::render(std::ostream& out, const Private::Dictionary&) const
{
    for (const auto& fragment : m_fragments)
        fragment->render(out, *this);
}

void Node::clear()
{
    m_fragments.clear();
    static_cast<Private::Dictionary&>(*this) = Private::Dictionary();
}

} // namespace NL::Template
