#include "process/scripted_process.h"
#include "support/wait_until.h"

#include "interfaces/manager.h"
#include "server/local_request_handler_factory.h"
#include "server/route_table.h"
#include "support/http_test_client.h"
#include "support/local_http_server.h"
#include "tessel/exception.h"
#include "tessel/uuid_text.h"

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

using namespace tessel::process;

namespace {

class ProcessEndpoints : public ::testing::Test
{
protected:
    HttpAnswer call(const std::string& method, const std::string& path)
    {
        return httpRequest(server.port(), method, "/local/rest/v1/" + path);
    }

    QJsonArray listed()
    {
        const HttpAnswer answer = call("GET", "processes");
        EXPECT_EQ(answer.status, 200);
        EXPECT_EQ(answer.header("Content-Type"), "application/json");
        return QJsonDocument::fromJson(QByteArray::fromStdString(answer.body)).array();
    }

    LocalHttpServer server{new tessel::LocalRequestHandlerFactory(tessel::buildRouteTable())};
    Manager* manager = Manager::instance();
};

std::string text(const QUuid& id) { return tessel::uuidToText(id).toStdString(); }

} // namespace

TEST_F(ProcessEndpoints, ListStateOfOneOverallStateAndClear)
{
    const auto failing = std::make_shared<ScriptedProcess>([](ScriptedProcess&) {
        throw tessel::utils::exception(QStringLiteral("Can't sign draft without document body"));
    });
    const auto done = std::make_shared<ScriptedProcess>([](ScriptedProcess& p) { p.finish(); });
    const QUuid failingId = manager->add(failing);
    const QUuid doneId = manager->add(done);
    failing->release();
    done->release();
    ASSERT_TRUE(waitUntil([&] { return manager->overallState() == Failed && done->info().state == Done; }));

    const QJsonArray statuses = listed();
    ASSERT_EQ(statuses.size(), 2);
    const QJsonObject first = statuses.at(0).toObject();
    EXPECT_EQ(first.value("processId").toString().toStdString(), text(failingId));
    EXPECT_EQ(first.value("documentId").toString().toStdString(), text(failing->info().documentId));
    EXPECT_EQ(first.value("desc").toString(), failing->info().desc);
    EXPECT_EQ(first.value("state").toInt(), 2);
    EXPECT_EQ(first.value("errorMsg").toString(), QStringLiteral("Can't sign draft without document body"));
    EXPECT_EQ(statuses.at(1).toObject().value("state").toInt(), 3);
    EXPECT_FALSE(statuses.at(1).toObject().contains("errorMsg"));

    // The failure was recorded by the worker, not by the process; a poll of it must still end.
    const HttpAnswer own = call("GET", "processes/state/" + text(failingId));
    EXPECT_EQ(own.status, 200);
    EXPECT_EQ(own.body, "2");
    EXPECT_EQ(call("GET", "processes/state/" + text(doneId)).body, "3");

    EXPECT_EQ(call("GET", "processes/state").body, "2");
    const HttpAnswer cleared = call("POST", "processes/clear");
    EXPECT_EQ(cleared.status, 204);
    EXPECT_EQ(cleared.header("Cache-Control"), "no-cache, no-store, must-revalidate");
    EXPECT_EQ(listed().size(), 0);
    // Seen once after the change, then the current state.
    EXPECT_EQ(call("GET", "processes/state").body, "2");
    EXPECT_EQ(call("GET", "processes/state").body, "0");
    EXPECT_EQ(call("GET", "processes/state/" + text(failingId)).status, 404);
}

TEST_F(ProcessEndpoints, StateQueryIdCases)
{
    const struct
    {
        std::string id;
        int status;
        std::string body;
    } cases[] = {
        {"00000000-0000-0000-0000-000000000000", 400, "Bad request!"},
        {text(QUuid::createUuid()), 404, "Not found!"},
        {"not-a-uuid", 404, "Not found!"}, // no route matches it
    };
    for (const auto& c : cases) {
        const HttpAnswer answer = call("GET", "processes/state/" + c.id);
        EXPECT_EQ(answer.status, c.status) << c.id;
        EXPECT_EQ(answer.body, c.body) << c.id;
    }
}
