#pragma once

#include "template/loader.h"

#include <utility>
#include <vector>

namespace NL::Template {

// Templates held as texts; the first one added under a name is the one loaded.
class LoaderMemory : public Loader
{
public:
    void add(const std::string& name, const std::string& text);
    Result load(const std::string& name) override;

private:
    std::vector<std::pair<std::string, std::string>> m_templates;
};

} // namespace NL::Template
