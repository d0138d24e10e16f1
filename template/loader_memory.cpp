#include "template/loader_memory.h"

namespace NL::Template {

void LoaderMemory::add(const std::string& name, const std::string& text) { m_templates.emplace_back(name, text); }

Loader::Result LoaderMemory::load(const std::string& name)
{
    for (const auto& [templateName, text] : m_templates) {
        if (templateName == name)
            return Result{true, text, {}};
    }
    return Result{false, {}, name + " not found."};
}

} // namespace NL::Template
