#include "scripted_process.h"
#include "support/wait_until.h"

#include "process/manager_impl.h"
#include "process/process_status_json.h"
#include "tessel/exception.h"

#include <gtest/gtest.h>

#include <Poco/Exception.h>

#include <QJsonObject>

#include <thread>
#include <utility>

using namespace tessel::process;

namespace {

void finishes(ScriptedProcess& process) { process.finish(); }

void failsWithBoom(ScriptedProcess&) { throw tessel::utils::exception(QStringLiteral("boom: ошибка")); }

std::shared_ptr<ScriptedProcess> scripted(ScriptedProcess::Ending ending = finishes, bool marksRunning = true)
{
    return std::make_shared<ScriptedProcess>(std::move(ending), marksRunning);
}

QList<qint32> statesOf(Manager& manager)
{
    QList<qint32> states;
    for (const ProcessStatus& status : manager.list())
        states.append(status.state);
    return states;
}

} // namespace

TEST(ProcessManager, RunsProcessesOneAfterAnotherInOrder)
{
    ManagerImpl manager;
    const auto first = scripted();
    const auto second = scripted();
    const QUuid firstId = manager.add(first);
    const QUuid secondId = manager.add(second);
    EXPECT_NE(firstId, secondId);

    ASSERT_TRUE(first->waitStarted());
    EXPECT_EQ(statesOf(manager), (QList<qint32>{Running, Waiting}));
    EXPECT_EQ(manager.overallState(), Running);

    first->release();
    ASSERT_TRUE(second->waitStarted());
    EXPECT_EQ(statesOf(manager), (QList<qint32>{Done, Running}));
    second->release();
    ASSERT_TRUE(waitUntil([&] { return statesOf(manager) == QList<qint32>{Done, Done}; }));

    const QList<ProcessStatus> statuses = manager.list();
    EXPECT_EQ(statuses.at(0).processId, firstId);
    EXPECT_EQ(statuses.at(1).processId, secondId);
    EXPECT_EQ(statuses.at(0).documentId, first->info().documentId);
    EXPECT_EQ(manager.find(secondId), second);
    EXPECT_EQ(manager.find(QUuid::createUuid()), nullptr);
}

TEST(ProcessManager, FailureShowsInListButNotInTheProcessOwnState)
{
    ManagerImpl manager;
    const auto failing = scripted(failsWithBoom);
    const auto next = scripted();
    const QUuid id = manager.add(failing);
    manager.add(next);
    failing->release();
    next->release();
    ASSERT_TRUE(waitUntil([&] { return statesOf(manager) == QList<qint32>{Failed, Done}; }));

    const ProcessStatus status = manager.list().at(0);
    EXPECT_EQ(status.errorMsg, QStringLiteral("boom: ошибка"));
    EXPECT_EQ(manager.find(id)->info().state, Running);
    EXPECT_EQ(manager.overallState(), Failed);
}

TEST(ProcessManager, PocoFailureKeepsItsDisplayText)
{
    ManagerImpl manager;
    const auto failing = scripted([](ScriptedProcess&) { throw Poco::IOException("disk gone"); });
    manager.add(failing);
    failing->release();
    ASSERT_TRUE(waitUntil([&] { return statesOf(manager) == QList<qint32>{Failed}; }));
    EXPECT_EQ(manager.list().at(0).errorMsg, QStringLiteral("I/O error: disk gone"));
}

TEST(ProcessManager, ANonStandardExceptionFailsOnlyItsProcess)
{
    struct NoStandardException
    {};
    const std::pair<const char*, ScriptedProcess::Ending> throws[] = {
        {"an int", [](ScriptedProcess&) { throw 42; }},
        {"a text", [](ScriptedProcess&) { throw "text"; }},
        {"an own type", [](ScriptedProcess&) { throw NoStandardException(); }},
    };
    for (const auto& [what, ending] : throws) {
        ManagerImpl manager;
        const auto odd = scripted([ending = ending](ScriptedProcess& process) {
            process.reachStage(QStringLiteral("Sign draft"));
            ending(process);
        });
        const auto after = scripted();
        manager.add(odd);
        manager.add(after);
        odd->release();
        after->release();
        ASSERT_TRUE(waitUntil([&] { return statesOf(manager) == QList<qint32>{Failed, Done}; })) << what;
        const ProcessStatus status = manager.list().at(0);
        EXPECT_EQ(status.errorMsg, QStringLiteral("Unknown error")) << what;
        EXPECT_EQ(status.stage, QStringLiteral("Sign draft")) << what;
    }
}

TEST(ProcessManager, ClearFinishedKeepsWaitingAndRunningInOrder)
{
    ManagerImpl manager;
    const auto done = scripted();
    const auto failed = scripted(failsWithBoom);
    const auto running = scripted();
    const auto waiting = scripted();
    manager.add(done);
    manager.add(failed);
    const QUuid runningId = manager.add(running);
    const QUuid waitingId = manager.add(waiting);
    done->release();
    failed->release();
    ASSERT_TRUE(running->waitStarted());

    manager.clearFinished();
    const QList<ProcessStatus> left = manager.list();
    ASSERT_EQ(left.size(), 2);
    EXPECT_EQ(left.at(0).processId, runningId);
    EXPECT_EQ(left.at(1).processId, waitingId);

    // remove leaves a running process alone.
    manager.remove({runningId, waitingId});
    ASSERT_EQ(manager.list().size(), 1);
    EXPECT_EQ(manager.list().at(0).processId, runningId);
    running->release();
    waiting->release();
}

TEST(ProcessManager, StickyStateReportsAFailureOnceAfterItWasCleared)
{
    ManagerImpl manager;
    EXPECT_EQ(manager.takeOverallState(), Waiting);
    const auto failing = scripted(failsWithBoom);
    manager.add(failing);
    failing->release();
    ASSERT_TRUE(waitUntil([&] { return manager.overallState() == Failed; }));

    manager.clearFinished();
    EXPECT_EQ(manager.overallState(), Waiting);
    EXPECT_EQ(manager.takeOverallState(), Failed);
    EXPECT_EQ(manager.takeOverallState(), Waiting);
}

TEST(ProcessManager, WaitingProcessesCountAsNothingGoingOn)
{
    ManagerImpl manager;
    // The first holds the worker without marking itself running, so both read as waiting.
    const auto holding = scripted(finishes, false);
    const auto queued = scripted();
    manager.add(holding);
    manager.add(queued);
    ASSERT_TRUE(holding->waitStarted());
    EXPECT_EQ(statesOf(manager), (QList<qint32>{Waiting, Waiting}));
    EXPECT_EQ(manager.overallState(), Waiting);
    EXPECT_EQ(manager.takeOverallState(), Waiting);
    holding->release();
    queued->release();
    ASSERT_TRUE(waitUntil([&] { return statesOf(manager) == QList<qint32>{Done, Done}; }));
}

TEST(ProcessManager, ShutdownLetsTheRunningProcessFinishAndALaterManagerStartsAfresh)
{
    const auto running = scripted();
    Manager::instance()->add(running);
    ASSERT_TRUE(running->waitStarted());
    std::thread releaser([&running] {
        std::this_thread::sleep_for(std::chrono::milliseconds(200));
        running->release();
    });
    Manager::shutdown();
    releaser.join();
    EXPECT_EQ(running->info().state, Done);
    EXPECT_TRUE(Manager::instance()->list().isEmpty());
}

TEST(ProcessStatusJson, ErrorTextOnlyForAFailedProcessAndIdsAsPlainText)
{
    ProcessStatus status;
    status.processId = QUuid(QStringLiteral("{0F8FAD5B-D9CB-469F-A165-70867728950E}"));
    status.documentId = QUuid(QStringLiteral("{00000000-0000-0000-0000-0000000000AB}"));
    status.desc = QStringLiteral("Send document # x");
    status.stage = QStringLiteral("Sign draft");
    status.errorMsg = QStringLiteral("stale text");
    for (const qint32 state : {Waiting, Running, Done}) {
        status.state = state;
        const QJsonObject json = toJson(status);
        EXPECT_FALSE(json.contains(QStringLiteral("errorMsg"))) << state;
        EXPECT_EQ(json.value(QStringLiteral("state")).toInt(), state);
    }
    status.state = Failed;
    const QJsonObject json = toJson(status);
    EXPECT_EQ(json.value(QStringLiteral("errorMsg")).toString(), QStringLiteral("stale text"));
    EXPECT_EQ(json.value(QStringLiteral("processId")).toString(),
              QStringLiteral("0f8fad5b-d9cb-469f-a165-70867728950e"));
    EXPECT_EQ(json.value(QStringLiteral("documentId")).toString(),
              QStringLiteral("00000000-0000-0000-0000-0000000000ab"));
    EXPECT_EQ(json.value(QStringLiteral("desc")).toString(), status.desc);
    EXPECT_EQ(json.value(QStringLiteral("stage")).toString(), status.stage);
}
