#pragma once

#include "template/node.h"

#include <cstddef>

namespace NL::Template {

// A named part of a template that can be switched off or repeated with values of its own per copy.
class Block : public Node
{
public:
    explicit Block(std::string name);
    // A full copy: flags, dictionary, children and copies.
    Block(const Block& other);

    void enable();
    void disable();
    // Replaces the copies by n fresh ones of the block as it is now; set their values afterwards.
    void repeat(std::size_t n);
    // Copy i; std::out_of_range beyond the last.
    Node& operator[](std::size_t i);

    void render(std::ostream& out, const Private::Dictionary& dictionary) const override;
    std::unique_ptr<Private::Fragment> clone() const override;
    bool isBlockNamed(const std::string& name) const override;

protected:
    // Back to an empty, enabled, unrepeated block of the same name.
    void reset();

private:
    // An enabled, unrepeated block with the content's dictionary and clones of its children.
    Block(std::string name, const Node& content);

    std::string m_name;
    bool m_enabled = true;
    bool m_repeated = false;
    std::vector<std::unique_ptr<Block>> m_copies;
};

} // namespace NL::Template
