#include "document_exchange.h"

#include <filesystem>
#include <string>

namespace {

// After a restart the key is locked until setkp: the portal's certificate request is then
// answered by the proxy's redirect to the key page, which must not pass for the portal's answer.
using LockedKey = DocumentExchange;

TEST_F(LockedKey, NoPortalCallPassesForDoneWhileTheKeyIsLocked)
{
    // A draft and a received document held here while the key was unlocked.
    ASSERT_EQ(call("GET", std::string("drafts/") + fullDraft + "/attachments/2").status, 200);
    ASSERT_EQ(call("GET", std::string("inbox/") + incoming).status, 200);
    ASSERT_EQ(finishedProcessOf(incoming).value("state").toInt(), 3);
    const std::string reportedState = fileText(portalDocument("inbox", incoming) / "signState.json");

    ASSERT_TRUE(proxy.restart()) << proxy.log();

    const CurlAnswer deleted = call("DELETE", std::string("drafts/") + fullDraft);
    EXPECT_EQ(deleted.status, 500);
    EXPECT_EQ(deleted.body, "HTTP Error 302: Found: /local/#auth");
    EXPECT_TRUE(std::filesystem::exists(portalDocument("drafts", fullDraft)));
    for (const char* part : {".0", ".1", ".2", ".3"})
        EXPECT_TRUE(std::filesystem::exists(localStore("drafts") / (std::string(fullDraft) + part))) << part;

    const CurlAnswer received = call("GET", std::string("inbox/") + incoming);
    ASSERT_EQ(received.status, 200) << received.body;
    const QJsonObject status = finishedProcessOf(incoming);
    EXPECT_EQ(status.value("state").toInt(), 2);
    EXPECT_EQ(status.value("stage").toString(), QStringLiteral("Update sign state"));
    EXPECT_EQ(status.value("errorMsg").toString(), QStringLiteral("HTTP Error 302: Found: /local/#auth"));
    EXPECT_EQ(call("GET", "processes/state/" + received.body).body, "2");
    EXPECT_EQ(fileText(portalDocument("inbox", incoming) / "signState.json"), reportedState);
}

} // namespace
