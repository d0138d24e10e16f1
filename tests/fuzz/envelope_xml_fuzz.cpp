// The envelope of a stored or received document, read as the store reads its files.
#include "fuzz/fuzz_input_file.h"

#include "docs/fesexchange/from_xml.h"

#include "tessel/exception.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzInputFile input;
    try {
        tessel::docs::fesexchange::readDocumentTransfer(input.write(data, size));
    } catch (const tessel::utils::exception&) {
        // a malformed envelope is refused, which is what it should be
    }
    return 0;
}
