// The multipart form of a key import, read part by part within its bounds.
#include "fuzz/fuzz_server_request.h"

#include "rest/endpoints/key_import_form.h"

#include "tessel/exception.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzServerRequest request("multipart/form-data; boundary=fuzz",
                              std::string(reinterpret_cast<const char*>(data), size));
    try {
        const tessel::rest::KeyImportForm form(request);
        using Form = tessel::rest::KeyImportForm;
        // Each part is held only within its bound, and a form without a name is refused.
        if (form.name().isEmpty() || static_cast<size_t>(form.file().size()) > Form::maxFileSize
            || static_cast<size_t>(form.name().size()) > Form::maxTextSize
            || static_cast<size_t>(form.password().size()) > Form::maxTextSize
            || static_cast<size_t>(form.pin().size()) > Form::maxTextSize)
            std::abort();
    } catch (const tessel::utils::exception&) {
        // a bad request
    }
    return 0;
}
