#include "template/loader_memory.h"
#include "template/template.h"

#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

using NL::Template::Block;
using NL::Template::Loader;
using NL::Template::LoaderMemory;
using NL::Template::Template;

namespace {

// One loader with the templates of a test; the page under test is "page".
class TemplateTest : public ::testing::Test
{
protected:
    Template& page(const std::string& text)
    {
        loader.add("page", text);
        subject.load("page");
        return subject;
    }

    std::string rendered() const
    {
        std::ostringstream out;
        subject.render(out);
        return out.str();
    }

    LoaderMemory loader;
    Template subject{loader};
};

} // namespace

TEST(LoaderMemory, TheFirstTextUnderANameWinsAndAnUnknownNameSaysSo)
{
    LoaderMemory loader;
    loader.add("a", "first");
    loader.add("a", "second");
    const Loader::Result found = loader.load("a");
    EXPECT_TRUE(found.valid);
    EXPECT_EQ(found.data, "first");
    EXPECT_EQ(found.error, "");
    const Loader::Result missing = loader.load("b.html");
    EXPECT_FALSE(missing.valid);
    EXPECT_EQ(missing.data, "");
    EXPECT_EQ(missing.error, "b.html not found.");
}

TEST_F(TemplateTest, AVariableTakesTheValueOfItsInnermostBlockOnly)
{
    Template& t = page("{{ who }}|{% block inner %}{{ who }}{{ only }}{% endblock %}|{{ only }}{{who}}");
    t.set("who", "outer");
    t.set("who", "template");
    t.set("only", "T");
    t.block("inner").set("who", "block");
    EXPECT_EQ(rendered(), "template|block|T{{who}}");
}

TEST_F(TemplateTest, ValuesAreWrittenUnescaped)
{
    page("<td>{{ v }}</td>").set("v", "<b>\"a\" & 'б'</b>");
    EXPECT_EQ(rendered(), "<td><b>\"a\" & 'б'</b></td>");
}

TEST_F(TemplateTest, AnUntouchedBlockRendersOnceWithEmptyValuesAndADisabledOneNotAtAll)
{
    Template& t = page("[{% block a %}a={{ x }}{% endblock %}][{% block b %}b{% endblock %}]");
    t.set("x", "template value");
    t.block("b").disable();
    EXPECT_EQ(rendered(), "[a=][]");
    t.block("b").enable();
    EXPECT_EQ(rendered(), "[a=][b]");
}

TEST_F(TemplateTest, RepeatedCopiesRenderInOrderWithTheirOwnValuesAndSubBlocks)
{
    Template& t =
        page("<ul>{% block row %}<li>{{ n }}{% block note %}!{{ text }}{% endblock %}</li>{% endblock %}</ul>");
    Block& row = t.block("row");
    row.set("n", "set before repeat");
    row.repeat(3);
    row.set("n", "set after repeat");
    row[0].set("n", "1");
    row[1].block("note").disable();
    row[2].set("n", "3");
    row[2].block("note").set("text", "x");
    EXPECT_EQ(rendered(), "<ul><li>1!</li><li>set before repeat</li><li>3!x</li></ul>");
    EXPECT_THROW(row[3], std::out_of_range);

    row.repeat(1);
    EXPECT_EQ(rendered(), "<ul><li>set after repeat!</li></ul>");
    row.repeat(0);
    EXPECT_EQ(rendered(), "<ul></ul>");
}

TEST_F(TemplateTest, RepeatingABlockCopiesTheStateOfItsInnerBlocks)
{
    Template& t = page("{% block outer %}({% block inner %}{{ v }}{% endblock %}){% endblock %}");
    Block& inner = t.block("outer").block("inner");
    inner.repeat(2);
    inner[0].set("v", "a");
    inner[1].set("v", "b");
    t.block("outer").repeat(2);
    t.block("outer")[1].block("inner").disable();
    EXPECT_EQ(rendered(), "(ab)()");
}

TEST_F(TemplateTest, OnlyDirectChildBlocksAreFound)
{
    Template& t = page("{% block outer %}{% block inner %}{% endblock %}{% endblock %}");
    EXPECT_NO_THROW(t.block("outer").block("inner"));
    try {
        t.block("inner");
        FAIL() << "a nested block was found from the template";
    } catch (const std::runtime_error& e) {
        EXPECT_STREQ(e.what(), "Block not found");
    }
    EXPECT_THROW(t.block(""), std::runtime_error);
}

TEST_F(TemplateTest, IncludesAreParsedInPlaceAndMayCloseABlockOfTheIncluder)
{
    loader.add("head.html", "<h1>{{ title }}</h1>{% block list %}<i>");
    loader.add("cell.html", "[{{ v }}]");
    Template& t = page("{% include head.html %}{% include cell.html %}</i>{% endblock %}{% include cell.html %}"
                       "{% include missing.html %}.");
    t.set("title", "T");
    t.set("v", "outside");
    Block& list = t.block("list");
    list.repeat(2);
    list[0].set("v", "0");
    list[1].set("v", "1");
    EXPECT_EQ(rendered(), "<h1>T</h1><i>[0]</i><i>[1]</i>[outside].");
}

TEST_F(TemplateTest, ATemplateThatIncludesItselfIsRefused)
{
    loader.add("b.html", "{% include page %}");
    EXPECT_THROW(page("a{% include b.html %}"), std::runtime_error);
}

TEST_F(TemplateTest, AnEndWithoutAnOpenBlockStaysAsText)
{
    page("a{% endblock %}b{% block x %}c{% endblock %}{% endblock %}");
    EXPECT_EQ(rendered(), "a{% endblock %}bc{% endblock %}");
}

TEST_F(TemplateTest, AnUnknownTemplateIsEmptyAndLoadingAgainDiscardsEverything)
{
    Template& t = page("{{ v }}{% block b %}b{% endblock %}");
    t.set("v", "value");
    t.block("b").disable();
    t.load("page");
    EXPECT_EQ(rendered(), "b");
    t.load("no such template");
    EXPECT_EQ(rendered(), "");
    EXPECT_THROW(t.block("b"), std::runtime_error);
}
