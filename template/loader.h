#pragma once

#include <string>

namespace NL::Template {

// Where templates and the templates they include come from, by name.
class Loader
{
public:
    struct Result
    {
        bool valid = false;
        std::string data;  // the template text
        std::string error; // why it is not valid
    };

    virtual ~Loader() = default;
    virtual Result load(const std::string& name) = 0;
};

} // namespace NL::Template
