// The background work of the windows: results on the owner's thread, the newest request wins,
// nothing outlives the owner.
#include "platform/LatestTask.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <future>
#include <gtest/gtest.h>

using namespace dcv;

namespace {

struct Published {
    QStringList results;
    QList<QThread*> threads;
    LatestTask<QString>::Publish publish() {
        return [this](QString r) {
            results << r;
            threads << QThread::currentThread();
        };
    }
};

} // namespace

TEST(LatestTaskTest, WorkRunsOnAWorkerAndItsResultArrivesOnTheOwnersThread) {
    QObject owner;
    Published published;
    LatestTask<QString> task(&owner);
    std::promise<QThread*> worker;
    task.run(
        [&](const std::atomic<bool>&) {
            worker.set_value(QThread::currentThread());
            return QStringLiteral("done");
        },
        published.publish());
    EXPECT_NE(worker.get_future().get(), QThread::currentThread());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !published.results.isEmpty(); }, 5000));
    EXPECT_EQ(published.results, QStringList{"done"});
    EXPECT_EQ(published.threads.value(0), QThread::currentThread());
}

TEST(LatestTaskTest, ANewerRequestSupersedesAnOlderOneStillRunning) {
    QObject owner;
    Published published;
    LatestTask<QString> task(&owner);
    std::promise<void> release;
    std::shared_future<void> released = release.get_future().share();
    std::promise<bool> olderSawCancel;
    task.run(
        [&](const std::atomic<bool>& cancelled) {
            released.wait();
            olderSawCancel.set_value(cancelled.load());
            return QStringLiteral("older");
        },
        published.publish());
    task.run([](const std::atomic<bool>&) { return QStringLiteral("newer"); }, published.publish());
    release.set_value();
    EXPECT_TRUE(olderSawCancel.get_future().get()) << "the older job was not told to stop";
    task.waitForFinished();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !published.results.isEmpty(); }, 5000));
    QCoreApplication::processEvents(); // anything else posted would arrive now
    EXPECT_EQ(published.results, QStringList{"newer"});
    EXPECT_FALSE(task.isRunning());
}

TEST(LatestTaskTest, AResultAlreadyPostedIsDroppedByALaterRunOrCancel) {
    for (const bool byCancel : {false, true}) {
        SCOPED_TRACE(byCancel ? "cancel" : "newer run");
        QObject owner;
        Published published;
        LatestTask<QString> task(&owner);
        task.run([](const std::atomic<bool>&) { return QStringLiteral("first"); }, published.publish());
        task.waitForFinished(); // its result waits in the owner's queue now
        if (byCancel)
            task.cancel();
        else
            task.run([](const std::atomic<bool>&) { return QStringLiteral("second"); }, published.publish());
        task.waitForFinished();
        QCoreApplication::processEvents();
        EXPECT_EQ(published.results, byCancel ? QStringList{} : QStringList{"second"});
    }
}

TEST(LatestTaskTest, GoingAwayStopsAndWaitsForTheRunningJob) {
    std::atomic<bool> ended{false};
    Published published;
    {
        QObject owner;
        LatestTask<QString> task(&owner);
        std::promise<void> started;
        task.run(
            [&](const std::atomic<bool>& cancelled) {
                started.set_value();
                while (!cancelled.load())
                    QThread::yieldCurrentThread();
                ended = true;
                return QStringLiteral("late");
            },
            published.publish());
        started.get_future().wait();
    }
    EXPECT_TRUE(ended.load());
    QCoreApplication::processEvents();
    EXPECT_TRUE(published.results.isEmpty());
}
