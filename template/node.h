#pragma once

#include "template/dictionary.h"
#include "template/fragment.h"

#include <memory>
#include <vector>

namespace NL::Template {

class Block;
class Template;

// Fragments that render with this node's own dictionary; set() fills it.
class Node : public Private::Fragment, public Private::Dictionary
{
public:
    // The first direct child block of this name; raises "Block not found" when there is none.
    Block& block(const std::string& name);

    // Renders the children with this node's dictionary, not the one given.
    void render(std::ostream& out, const Private::Dictionary& dictionary) const override;

protected:
    Node() = default;
    // A copy of the dictionary and clones of the children.
    Node(const Node& other);
    Node& operator=(const Node&) = delete;

    void clear();

private:
    friend class Template;

    std::vector<std::unique_ptr<Private::Fragment>> m_fragments;
};

} // namespace NL::Template
