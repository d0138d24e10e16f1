#include "support/command.h"

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

namespace {

testsupport::CommandResult signBench(const std::vector<std::string>& arguments)
{
    std::vector<std::string> command{VPP_SIGN_BENCH};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return testsupport::runCommand(command, {}, nullptr, std::chrono::minutes(4));
}

} // namespace

// A mistyped argument must not be measured as a size of 0 MB with "-nan" ratios.
TEST(SignBench, HelpAndBadArgumentsPrintTheUsageAndMeasureNothing)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--help"},  {"-h"},       {"abc"},         {"0"}, {"-5"},          {"10MB"},     {"10", "x"},
        {"10", "0"}, {"10", "-1"}, {"1", "2", "3"}, {""},  {"99999999999"}, {"1", "1e3"}, {"18446744073709551617"},
    };
    for (const std::vector<std::string>& arguments : cases) {
        std::string shown;
        for (const std::string& argument : arguments)
            shown += "'" + argument + "' ";
        const testsupport::CommandResult result = signBench(arguments);
        EXPECT_EQ(result.exitStatus, 2) << shown;
        EXPECT_EQ(result.errors.rfind("usage: sign_bench [SIZE_MB [ROUNDS]]\n", 0), 0u)
            << shown << ": " << result.errors;
        EXPECT_EQ(result.output, "") << shown;
    }
}

TEST(SignBench, ASmallFileIsMeasured)
{
    const testsupport::CommandResult result = signBench({"1", "1"});
    ASSERT_EQ(result.exitStatus, 0) << result.errors;
    EXPECT_EQ(result.output.rfind("file: 1 MB ", 0), 0u) << result.output;
    EXPECT_NE(result.output.find("engine verify:"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("nan"), std::string::npos) << result.output;
    EXPECT_EQ(result.output.find("inf"), std::string::npos) << result.output;
}
