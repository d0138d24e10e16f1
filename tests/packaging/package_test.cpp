// The Debian package CPack makes from this build tree, inspected as Debian's tools see it.

#include "support/command.h"
#include "support/file_text.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <sstream>

namespace {

namespace fs = std::filesystem;

using testsupport::CommandResult;
using testsupport::runCommand;

const std::string version = VPP_VERSION;
const std::chrono::minutes slow(20);

std::string describe(const CommandResult& result) { return result.output + result.errors; }

class DebianPackage : public ::testing::Test
{
protected:
    // One package for all tests: making it is the slow part.
    static void SetUpTestSuite()
    {
        std::string pattern = (fs::temp_directory_path() / "vpp-package-XXXXXX").string();
        ASSERT_NE(mkdtemp(pattern.data()), nullptr);
        work = pattern;
        const CommandResult made =
            runCommand({VPP_CPACK, "--config", VPP_BINARY_DIR "/CPackConfig.cmake", "-B", work.string()}, {}, nullptr,
                       slow);
        ASSERT_EQ(made.exitStatus, 0) << describe(made);
        deb = work / ("velmar-portal-proxy_" + version + "_amd64.deb");
        ASSERT_TRUE(fs::exists(deb)) << describe(made);
        root = work / "root";
        const CommandResult extracted = runCommand({"dpkg-deb", "-x", deb.string(), root.string()});
        ASSERT_EQ(extracted.exitStatus, 0) << describe(extracted);
    }

    static void TearDownTestSuite()
    {
        std::error_code ignored;
        fs::remove_all(work, ignored);
    }

    static std::string field(const std::string& name)
    {
        const CommandResult result = runCommand({"dpkg-deb", "-f", deb.string(), name});
        EXPECT_EQ(result.exitStatus, 0) << describe(result);
        return result.output;
    }

    static fs::path work;
    static fs::path deb;
    static fs::path root;
};

fs::path DebianPackage::work;
fs::path DebianPackage::deb;
fs::path DebianPackage::root;

TEST_F(DebianPackage, HoldsTheProgramsTheServiceTheDesktopEntryAndTheDocumentsAndNothingElse)
{
    const std::map<std::string, unsigned> expected = {
        {"./usr/bin/velmar-portal-proxy", 0755},
        {"./usr/bin/nxcsp-admin", 0755},
        {"./usr/lib/systemd/user/velmar-portal-proxy.service", 0644},
        {"./usr/share/applications/velmar-portal-proxy.desktop", 0644},
        {"./usr/libexec/velmar-portal-proxy/open-portal", 0755},
        {"./usr/share/man/man1/velmar-portal-proxy.1.gz", 0644},
        {"./usr/share/man/man1/nxcsp-admin.1.gz", 0644},
        {"./usr/share/doc/velmar-portal-proxy/copyright", 0644},
        {"./usr/share/doc/velmar-portal-proxy/changelog.gz", 0644},
    };
    const CommandResult listed = runCommand({"dpkg-deb", "-c", deb.string()});
    ASSERT_EQ(listed.exitStatus, 0) << describe(listed);
    std::map<std::string, unsigned> files;
    std::istringstream lines(listed.output);
    for (std::string line; std::getline(lines, line);) {
        // "-rwxr-xr-x root/root 123 2026-01-01 00:00 ./usr/bin/x"; directories start with "d".
        if (line.empty() || line[0] == 'd')
            continue;
        EXPECT_NE(line.find(" root/root "), std::string::npos) << line;
        const std::string path = line.substr(line.rfind(" ./") + 1);
        files[path] = static_cast<unsigned>(fs::status(root / path).permissions() & fs::perms::mask);
    }
    EXPECT_EQ(files, expected);
}

TEST_F(DebianPackage, DependsOnTheLibrariesItLinksAndOnTheGostEngine)
{
    EXPECT_EQ(field("Package"), "velmar-portal-proxy\n");
    EXPECT_EQ(field("Version"), version + "\n");
    EXPECT_EQ(field("Architecture"), "amd64\n");
    const std::string depends = field("Depends");
    // Computed by dpkg-shlibdeps from the programs' libraries, each with a version.
    for (const char* library : {"libqt5core5a (>=", "libqt5xml5 (>=", "libssl3 (>=", "libpoconet", "libc6 (>="})
        EXPECT_NE(depends.find(library), std::string::npos) << library << " in " << depends;
    // Loaded at run time, so named by hand.
    EXPECT_NE(depends.find("libengine-gost-openssl"), std::string::npos) << depends;
    EXPECT_NE(field("Recommends").find("xdg-utils"), std::string::npos);
}

TEST_F(DebianPackage, ItsChangelogNamesItsVersion)
{
    const CommandResult changelog =
        runCommand({"gzip", "-dc", (root / "usr/share/doc/velmar-portal-proxy/changelog.gz").string()});
    ASSERT_EQ(changelog.exitStatus, 0) << describe(changelog);
    EXPECT_EQ(changelog.output.substr(0, changelog.output.find('\n')),
              "velmar-portal-proxy (" + version + ") bookworm; urgency=medium");
}

TEST_F(DebianPackage, LintianFindsNoErrorOrWarning)
{
    const CommandResult lintian =
        runCommand({"lintian", "--fail-on", "error,warning", deb.string()}, {}, nullptr, slow);
    EXPECT_EQ(lintian.exitStatus, 0) << describe(lintian);
    // What lintian still has to say (informational tags) goes to the test's log.
    std::cout << describe(lintian);
}

TEST_F(DebianPackage, SystemdAcceptsTheUserUnit)
{
    // systemd-analyze checks that the program and the manual page the unit names exist; they are
    // the package's, not yet installed: the unit is checked as a copy that starts the extracted
    // program, with the extracted manual pages.
    const fs::path checked = work / "unit";
    const fs::path runtime = work / "runtime";
    fs::create_directories(checked);
    fs::create_directories(runtime);
    fs::permissions(runtime, fs::perms::owner_all);
    std::string unit = testsupport::fileText(root / "usr/lib/systemd/user/velmar-portal-proxy.service");
    const std::string program = "ExecStart=/usr/bin/velmar-portal-proxy";
    ASSERT_NE(unit.find(program), std::string::npos) << unit;
    unit.replace(unit.find(program), program.size(), "ExecStart=" + (root / "usr/bin/velmar-portal-proxy").string());
    {
        std::ofstream(checked / "velmar-portal-proxy.service") << unit;
    }
    const CommandResult verified =
        runCommand({"systemd-analyze", "--user", "verify", (checked / "velmar-portal-proxy.service").string()},
                   {"XDG_RUNTIME_DIR=" + runtime.string(), "MANPATH=" + (root / "usr/share/man").string()});
    EXPECT_EQ(verified.exitStatus, 0) << describe(verified);
    EXPECT_EQ(describe(verified), "");
}

TEST_F(DebianPackage, TheDesktopEntryIsValidAndStartsTheLauncherOfThePackage)
{
    const fs::path entry = root / "usr/share/applications/velmar-portal-proxy.desktop";
    const CommandResult validated = runCommand({"desktop-file-validate", entry.string()});
    EXPECT_EQ(validated.exitStatus, 0) << describe(validated);
    EXPECT_EQ(describe(validated), "");
    const std::string text = testsupport::fileText(entry);
    EXPECT_NE(text.find("\nName=Портал документооборота\n"), std::string::npos) << text;
    EXPECT_NE(text.find("\nExec=/usr/libexec/velmar-portal-proxy/open-portal\n"), std::string::npos) << text;
}

TEST_F(DebianPackage, ItsStrippedProgramsRun)
{
    const CommandResult proxy = runCommand({(root / "usr/bin/velmar-portal-proxy").string(), "--version"});
    EXPECT_EQ(proxy.exitStatus, 0) << describe(proxy);
    EXPECT_EQ(proxy.output, version);
    const CommandResult admin = runCommand({(root / "usr/bin/nxcsp-admin").string(), "--help"});
    EXPECT_EQ(admin.exitStatus, 0) << describe(admin);
    EXPECT_NE(admin.output.find("--pfx FILE.pfx"), std::string::npos) << admin.output;
}

} // namespace
