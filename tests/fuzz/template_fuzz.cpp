// The template engine of the reports: a page and a template it may include, parsed and rendered
// with values and with a block repeated the way the reports fill theirs.
#include "template/loader_memory.h"
#include "template/template.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <sstream>
#include <stdexcept>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider provider(data, size);
    NL::Template::LoaderMemory loader;
    loader.add("page", provider.ConsumeRandomLengthString(4096));
    loader.add("part", provider.ConsumeRemainingBytesAsString());

    NL::Template::Template page(loader);
    try {
        page.load("page");
    } catch (const std::runtime_error&) {
        return 0; // a template that includes itself
    }
    page.set("value", "<&value>");
    try {
        NL::Template::Block& block = page.block("item");
        block.repeat(2);
        block[1].set("value", "second");
    } catch (const std::exception&) {
        // the page has no block "item" at its top level
    }
    std::ostringstream out;
    page.render(out);
    return 0;
}
