// The configuration file, which the user may edit by hand: loaded as at start-up, then written
// back and read again as a save and the next start do.
#include "fuzz/fuzz_input_file.h"
#include "fuzz/qt_json_leak.h"

#include "core/app_config_impl.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static FuzzInputFile input;
    tessel::AppConfigImpl config;
    config.load(input.write(data, size));
    const std::chrono::seconds timeout = config.networkTimeout();
    if (timeout < std::chrono::seconds(5) || timeout > std::chrono::seconds(3600))
        std::abort();
    config.listenUrl();
    config.appUrl();
    config.restApiPath();

    // What a save writes must load to the same settings.
    const QJsonObject saved = config.toJson();
    tessel::AppConfigImpl reloaded;
    reloaded.updateConfig(saved);
    if (reloaded.toJson() != saved)
        std::abort();
    return 0;
}
