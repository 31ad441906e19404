// The background work of the windows: results on the main thread, the newest request wins,
// nothing outlives the task.
#include "platform/LatestTask.h"
#include "platform/MainThreadQueue.h"

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
        return [this](const QString& r) {
            results << r;
            threads << QThread::currentThread();
        };
    }
};

} // namespace

TEST(LatestTaskTest, ANewerRequestSupersedesAnOlderOneStillRunning) {
    Published published;
    LatestTask<QString> task;
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
        Published published;
        LatestTask<QString> task;
        task.run([](const std::atomic<bool>&) { return QStringLiteral("first"); }, published.publish());
        task.waitForFinished(); // its result waits in the main thread's queue now
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
        LatestTask<QString> task;
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

TEST(LatestTaskTest, WorkRunsOnAWorkerAndWhatItPostsArrivesOnTheMainThreadInOrderBeforeItsResult) {
    Published published;
    LatestTask<QString> task;
    QThread* worker = nullptr;
    task.run(
        [&](const std::atomic<bool>&) {
            worker = QThread::currentThread();
            for (int i = 0; i < 50; ++i)
                task.post([&published, i] { published.results << QString::number(i); });
            return QStringLiteral("done");
        },
        published.publish());
    ASSERT_TRUE(QTest::qWaitFor([&] { return published.results.size() == 51; }, 5000));
    EXPECT_NE(worker, QThread::currentThread());
    for (int i = 0; i < 50; ++i)
        EXPECT_EQ(published.results[i], QString::number(i));
    EXPECT_EQ(published.results.last(), QStringLiteral("done"));
    EXPECT_EQ(published.threads, QList<QThread*>{QThread::currentThread()});
}

TEST(MainThreadQueueTest, FunctionsPostedFromOtherThreadsRunOnTheMainThreadInTheirOrder) {
    MainThreadQueue queue;
    std::vector<std::pair<int, int>> ran; // (thread, index), touched on the main thread only
    bool offMain = false;
    std::vector<std::thread> posters;
    for (int t = 0; t < 3; ++t)
        posters.emplace_back([&, t] {
            for (int i = 0; i < 100; ++i)
                queue.post([&, t, i] {
                    offMain |= QThread::currentThread() != QCoreApplication::instance()->thread();
                    ran.emplace_back(t, i);
                });
        });
    for (std::thread& p : posters)
        p.join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return ran.size() == 300; }, 5000));
    EXPECT_FALSE(offMain);
    int next[3] = {0, 0, 0};
    for (const auto& [t, i] : ran)
        EXPECT_EQ(i, next[t]++) << "thread " << t;
}
