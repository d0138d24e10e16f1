// The desktop entry's launcher: it starts the user service when the service is not running, opens
// the address the proxy names in the browser, and tells the user when something fails. The
// commands it runs are stand-ins that write down how they were called.

#include "support/command.h"
#include "support/file_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

const std::string url = "http://localhost:8000/?token=3f9a";
const std::string isActive = "systemctl --user --quiet is-active velmar-portal-proxy.service";
const std::string start = "systemctl --user start velmar-portal-proxy.service";
const std::string askUrl = "velmar-portal-proxy --url";
const std::string open = "xdg-open " + url;
const std::string notify = "notify-send --icon=dialog-error Портал документооборота ";

// Each stand-in appends its command line to $CALLS and does what the test's variables say.
const std::pair<const char*, const char*> standIns[] = {
    {"systemctl",
     "case \"$*\" in\n"
     "*is-active*) exit \"$ACTIVE_STATUS\" ;;\n"
     "*start*) exit \"$START_STATUS\" ;;\n"
     "esac\n"
     "exit 99\n"},
    {"velmar-portal-proxy",
     "[ -n \"$URL_OUTPUT\" ] && printf '%s\\n' \"$URL_OUTPUT\"\n"
     "[ -n \"$URL_HANGS\" ] && exec sleep 60\n"
     "exit \"$URL_STATUS\"\n"},
    {"xdg-open", "exit 0\n"},
    {"notify-send", "exit 0\n"},
};

class OpenPortal : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string pattern = (fs::temp_directory_path() / "vpp-open-portal-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        directory = pattern;
        fs::create_directory(directory / "bin");
        for (const auto& [name, body] : standIns) {
            const fs::path path = directory / "bin" / name;
            std::ofstream(path) << "#!/bin/sh\necho \"" << name << " $*\" >>\"$CALLS\"\n" << body;
            fs::permissions(path, fs::perms::owner_all);
        }
    }

    void TearDown() override { fs::remove_all(directory); }

    testsupport::CommandResult run(const std::vector<std::string>& variables)
    {
        std::vector<std::string> environment{"PATH=" + (directory / "bin").string() + ":/usr/bin:/bin",
                                             "CALLS=" + (directory / "calls").string(),
                                             "ACTIVE_STATUS=0",
                                             "START_STATUS=0",
                                             "URL_OUTPUT=" + url,
                                             "URL_STATUS=0",
                                             "URL_HANGS="};
        environment.insert(environment.end(), variables.begin(), variables.end());
        return testsupport::runCommand({"sh", VPP_OPEN_PORTAL}, environment);
    }

    std::vector<std::string> calls() const
    {
        std::vector<std::string> lines;
        std::ifstream in(directory / "calls");
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }

    fs::path directory;
};

TEST_F(OpenPortal, StartsTheServiceOnlyWhenItIsNotRunningAndStopsAtTheFirstFailure)
{
    const std::string banner =
        "Starting velmar-portal-proxy ver. 1.3.1 made by CJSC Kelvara (http://kelvara.example)...";
    struct Case
    {
        const char* what;
        std::vector<std::string> variables;
        int exitStatus;
        std::vector<std::string> calls;
        std::string message;
    };
    const Case cases[] = {
        {"a running service", {}, 0, {isActive, askUrl, open}, ""},
        {"a service that is not running", {"ACTIVE_STATUS=3"}, 0, {isActive, start, askUrl, open}, ""},
        {"a service that does not start",
         {"ACTIVE_STATUS=3", "START_STATUS=1"},
         1,
         {isActive, start,
          notify
              + "Не удалось запустить прокси-сервер. Подробности: journalctl --user -u "
                "velmar-portal-proxy.service"},
         "Не удалось запустить прокси-сервер"},
        // A proxy without --url takes the option for none and starts, on a port that is taken.
        {"a proxy that fails to name the address",
         {"URL_OUTPUT=" + banner, "URL_STATUS=1"},
         1,
         {isActive, askUrl, notify + "Прокси-сервер не назвал адрес портала (velmar-portal-proxy --url)."},
         "не назвал адрес портала"},
        {"a proxy that names something else",
         {"URL_OUTPUT=" + banner},
         1,
         {isActive, askUrl, notify + "Прокси-сервер назвал не адрес портала: " + banner},
         "назвал не адрес портала"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove(directory / "calls");
        const testsupport::CommandResult result = run(c.variables);
        EXPECT_EQ(result.exitStatus, c.exitStatus) << result.errors;
        EXPECT_EQ(calls(), c.calls);
        EXPECT_EQ(result.errors.empty(), c.message.empty()) << result.errors;
        EXPECT_NE(result.errors.find(c.message), std::string::npos) << result.errors;
    }
}

TEST_F(OpenPortal, GivesUpOnAProxyThatDoesNotAnswer)
{
    const auto started = std::chrono::steady_clock::now();
    const testsupport::CommandResult result = run({"URL_OUTPUT=", "URL_HANGS=1"});
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(40));
    EXPECT_EQ(result.exitStatus, 1) << result.errors;
    EXPECT_EQ(calls(),
              (std::vector<std::string>{isActive, askUrl,
                                        notify + "Прокси-сервер не назвал адрес портала (velmar-portal-proxy --url)."}));
}

} // namespace
