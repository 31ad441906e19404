#pragma once

#include "platform/MainThreadQueue.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

namespace dcv {

// The one way a window runs work in the background: run() starts `work` on a worker thread and
// hands its result to `publish` on the main thread, in one step. A newer run() supersedes the
// older ones: their `cancelled` flag goes up (long jobs poll it and stop early) and their
// results are dropped, so the last request is the one that is shown. The worker builds a fresh
// result that nothing else sees until it is published; it never touches what the main thread
// reads.
//
// Make it on the main thread, as a member of the object it publishes to: going away, it cancels
// and waits for the jobs still running, so no job outlives that object.
template <class Result> class LatestTask {
public:
    using Work = std::function<Result(const std::atomic<bool>& cancelled)>;
    using Publish = std::function<void(Result)>;

    LatestTask() = default;
    ~LatestTask() {
        cancel();
        waitForFinished();
    }
    LatestTask(const LatestTask&) = delete;
    LatestTask& operator=(const LatestTask&) = delete;

    void run(Work work, Publish publish) {
        cancel();
        joinFinished();
        auto cancelled = std::make_shared<std::atomic<bool>>(false);
        auto done = std::make_shared<std::atomic<bool>>(false);
        m_cancelled = cancelled;
        MainThreadQueue* queue = &m_queue;
        std::thread thread([queue, cancelled, done, work = std::move(work), publish = std::move(publish)] {
            Result result = work(*cancelled);
            // Whether it still counts is decided on the main thread, where run() and cancel()
            // raise the flag: a result posted just before a newer run() is dropped there.
            if (!cancelled->load())
                queue->post([cancelled, publish, result = std::move(result)]() mutable {
                    if (!cancelled->load())
                        publish(std::move(result));
                });
            done->store(true);
        });
        m_jobs.push_back({std::move(thread), std::move(done)});
    }

    // Any thread (a job's progress, say): runs `function` on the main thread, in order with what
    // this task posts besides, so progress a job posts arrives before its result.
    void post(std::function<void()> function) { m_queue.post(std::move(function)); }

    // Drops the result of the running job, if any.
    void cancel() {
        if (m_cancelled)
            m_cancelled->store(true);
    }

    // Waits until no job runs (their results, if still current, are posted already).
    void waitForFinished() {
        for (Job& job : m_jobs)
            job.thread.join();
        m_jobs.clear();
    }

    bool isRunning() const {
        for (const Job& job : m_jobs)
            if (!job.done->load())
                return true;
        return false;
    }

private:
    struct Job {
        std::thread thread;
        std::shared_ptr<std::atomic<bool>> done;
    };

    void joinFinished() {
        std::erase_if(m_jobs, [](Job& job) {
            if (!job.done->load())
                return false;
            job.thread.join();
            return true;
        });
    }

    MainThreadQueue m_queue;
    std::shared_ptr<std::atomic<bool>> m_cancelled;
    std::vector<Job> m_jobs;
};

} // namespace dcv
