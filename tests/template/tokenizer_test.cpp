#include "template/tokenizer.h"

#include <gtest/gtest.h>

#include <vector>

using NL::Template::Private::Token;
using NL::Template::Private::Tokenizer;
using Type = Token::Type;

namespace {

std::vector<Token> tokensOf(const std::string& text)
{
    Tokenizer tokenizer(text);
    std::vector<Token> tokens;
    for (Token token = tokenizer.next(); token.type != Type::End; token = tokenizer.next())
        tokens.push_back(token);
    return tokens;
}

struct TagCase
{
    const char* text;
    Type type; // Text: no tag is recognised
    const char* name;
};

} // namespace

TEST(Tokenizer, RecognisesTagsOnlyInTheirExactForm)
{
    const TagCase cases[] = {
        {"{{ name }}", Type::Variable, "name"},
        {"{{ a.b/c_D9 }}", Type::Variable, "a.b/c_D9"},
        {"{{  }}", Type::Variable, ""},
        {"{% block list %}", Type::BlockStart, "list"},
        {"{% block  %}", Type::BlockStart, ""},
        {"{% endblock %}", Type::BlockEnd, ""},
        {"{% include cert.html %}", Type::Include, "cert.html"},
        {"{{name}}", Type::Text, ""},
        {"{{  name }}", Type::Text, ""},
        {"{{ name  }}", Type::Text, ""},
        {"{{ na-me }}", Type::Text, ""},
        {"{{ name }", Type::Text, ""},
        {"{{ name", Type::Text, ""},
        {"{%block list %}", Type::Text, ""},
        {"{% endblock  %}", Type::Text, ""},
        {"{% endblock x %}", Type::Text, ""},
        {"{% include %}", Type::Text, ""},
        {"{% extends base %}", Type::Text, ""},
    };
    for (const TagCase& c : cases) {
        const std::vector<Token> tokens = tokensOf(c.text);
        ASSERT_EQ(tokens.size(), 1u) << c.text;
        EXPECT_EQ(tokens[0].type, c.type) << c.text;
        EXPECT_EQ(tokens[0].source, c.text);
        if (c.type != Type::Text) {
            EXPECT_EQ(tokens[0].name, c.name) << c.text;
        }
    }
}

TEST(Tokenizer, TextAroundTagsComesInOrderAndNothingIsLost)
{
    const std::vector<Token> tokens = tokensOf("<p>{{ a }}{{ b }}, {{b}} {% endblock %}end");
    const std::vector<std::pair<Type, std::string>> expected = {
        {Type::Text, "<p>"},      {Type::Variable, "{{ a }}"},        {Type::Variable, "{{ b }}"},
        {Type::Text, ", {{b}} "}, {Type::BlockEnd, "{% endblock %}"}, {Type::Text, "end"},
    };
    ASSERT_EQ(tokens.size(), expected.size());
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        EXPECT_EQ(tokens[i].type, expected[i].first) << i;
        EXPECT_EQ(tokens[i].source, expected[i].second) << i;
    }
}

TEST(Tokenizer, AnEmptyTextGivesTheEndAtOnceAndKeepsGivingIt)
{
    Tokenizer tokenizer("");
    EXPECT_EQ(tokenizer.next().type, Type::End);
    EXPECT_EQ(tokenizer.next().type, Type::End);
}
