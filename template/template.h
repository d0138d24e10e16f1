#pragma once

#include "template/block.h"
#include "template/loader.h"

#include <ostream>
#include <string>
#include <vector>

namespace NL::Template {

// A template loaded by name, with the templates it includes parsed in place.
class Template : public Block
{
public:
    // The loader must outlive the template.
    explicit Template(Loader& loader);
    Template(const Template&) = delete;

    // Discards everything loaded and filled before. A name the loader does not know gives an empty template.
    void load(const std::string& name);

    using Block::render;
    void render(std::ostream& out) const;

private:
    // Blocks stay open across includes: one may start in an included template and end in the includer.
    void parse(const std::string& name, std::vector<Node*>& openNodes, std::vector<std::string>& including);

    Loader& m_loader;
};

} // namespace NL::Template
