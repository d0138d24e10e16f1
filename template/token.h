#pragma once

#include <string>

namespace NL::Template::Private {

struct Token
{
    enum class Type { End, Text, BlockStart, BlockEnd, Include, Variable };

    Type type = Type::End;
    std::string name;   // of a block, an include or a variable
    std::string source; // the characters the token was read from
};

} // namespace NL::Template::Private
