#include "document_exchange.h"

#include "support/http_test_client.h"

#include <algorithm>
#include <atomic>
#include <future>
#include <vector>

namespace {

using ConcurrentPortalCalls = DocumentExchange;

// Each copy of an incoming document asks the portal for its signature data. Many such calls
// at once must all be answered: none of them may wait for a thread that only another can free.
TEST_F(ConcurrentPortalCalls, SixtyFourClientsOfTenCallsEachAreAllAnswered)
{
    constexpr int clients = 64;
    constexpr int callsEach = 10;
    const std::string target = std::string("/local/rest/v1/inbox/") + incoming + "/reassure";
    std::atomic<int> answered{0};
    std::vector<std::future<std::string>> failures;
    for (int client = 0; client < clients; ++client) {
        failures.push_back(std::async(std::launch::async, [&] {
            std::string failure;
            for (int call = 0; call < callsEach; ++call) {
                const HttpAnswer answer = httpRequest(proxy.port(), "GET", target, {}, {{"X-Session-Id", sessionId}});
                if (answer.status == 200)
                    ++answered;
                else if (failure.empty())
                    failure = std::to_string(answer.status) + " " + answer.body;
            }
            return failure;
        }));
    }
    for (auto& failure : failures)
        EXPECT_EQ(failure.get(), "");
    EXPECT_EQ(answered, clients * callsEach);
    const std::vector<std::string> log = portal.requestLog();
    EXPECT_GE(std::count_if(log.begin(), log.end(),
                            [](const std::string& line) {
                                return line.find("signVerificationData") != std::string::npos;
                            }),
              clients * callsEach)
        << "the calls did not reach the portal";
}

} // namespace
