#include "template/block.h"

namespace NL::Template {

Block::Block(std::string name) : m_name(std::move(name)) {}

Block::Block(std::string name, const Node& content) : Node(content), m_name(std::move(name)) {}

Block::Block(const Block& other) : Block(other.m_name, other)
{
    m_enabled = other.m_enabled;
    m_repeated = other.m_repeated;
    for (const auto& copy : other.m_copies)
        m_copies.push_back(std::make_unique<Block>(*copy));
}

void Block::enable() { m_enabled = true; }

void Block::disable() { m_enabled = false; }

void Block::repeat(std::size_t n)
{
    m_repeated = true;
    m_copies.clear();
    for (std::size_t i = 0; i < n; ++i)
        m_copies.push_back(std::unique_ptr<Block>(new Block(m_name, *this)));
}

Node& Block::operator[](std::size_t i) { return *m_copies.at(i); }

void Block::render(std::ostream& out, const Private::Dictionary& dictionary) const
{
    if (!m_enabled)
        return;
    if (!m_repeated) {
        Node::render(out, dictionary);
        return;
    }
    for (const auto& copy : m_copies)
        copy->render(out, *copy);
}

std::unique_ptr<Private::Fragment> Block::clone() const { return std::make_unique<Block>(*this); }

bool Block::isBlockNamed(const std::string& name) const { return m_name == name; }

void Block::reset()
{
    clear();
    m_enabled = true;
    m_repeated = false;
    m_copies.clear();
}

} // namespace NL::Template
