#pragma once

#include <QFuture>
#include <QList>
#include <QObject>
#include <QtConcurrent/QtConcurrentRun>
#include <atomic>
#include <functional>
#include <memory>

namespace dcv {

// The one way a window runs work in the background: run() starts `work` on the thread pool and
// hands its result to `publish` on the owner's (the main) thread, in one step. A newer run()
// supersedes the older ones: their `cancelled` flag goes up (long jobs poll it and stop early)
// and their results are dropped, so the last request is the one that is shown. The worker
// builds a fresh result that nothing else sees until it is published; it never touches what
// the main thread reads.
//
// Keep it as a member of its owner: going away, it cancels and waits for the jobs still running,
// so no job outlives the object it publishes to.
template <class Result>
class LatestTask {
public:
    using Work = std::function<Result(const std::atomic<bool>& cancelled)>;
    using Publish = std::function<void(Result)>;

    explicit LatestTask(QObject* owner) : m_owner(owner) {}
    ~LatestTask() {
        cancel();
        waitForFinished();
    }
    LatestTask(const LatestTask&) = delete;
    LatestTask& operator=(const LatestTask&) = delete;

    void run(Work work, Publish publish) {
        cancel();
        auto cancelled = std::make_shared<std::atomic<bool>>(false);
        m_cancelled = cancelled;
        QObject* owner = m_owner;
        forgetFinished();
        m_jobs << QtConcurrent::run([owner, cancelled, work = std::move(work), publish = std::move(publish)] {
            Result result = work(*cancelled);
            if (cancelled->load())
                return;
            // Whether it still counts is decided on the owner's thread, where run() and cancel()
            // raise the flag: a result posted just before a newer run() is dropped there.
            QMetaObject::invokeMethod(
                owner,
                [cancelled, publish, result = std::move(result)]() mutable {
                    if (!cancelled->load())
                        publish(std::move(result));
                },
                Qt::QueuedConnection);
        });
    }

    // Drops the result of the running job, if any.
    void cancel() {
        if (m_cancelled)
            m_cancelled->store(true);
    }

    // Waits until no job runs (their results, if still current, are posted already).
    void waitForFinished() {
        for (QFuture<void>& job : m_jobs)
            job.waitForFinished();
        m_jobs.clear();
    }

    bool isRunning() const {
        for (const QFuture<void>& job : m_jobs)
            if (!job.isFinished())
                return true;
        return false;
    }

private:
    void forgetFinished() {
        m_jobs.removeIf([](const QFuture<void>& job) { return job.isFinished(); });
    }

    QObject* m_owner;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    QList<QFuture<void>> m_jobs;
};

} // namespace dcv
