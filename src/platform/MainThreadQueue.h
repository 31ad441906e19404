#pragma once

#include <QObject>
#include <deque>
#include <functional>
#include <mutex>

class QSocketNotifier;

namespace dcv {

// Hands work from other threads (workers, libVLC's threads) to the thread that made the queue,
// the main thread: post() from anywhere, and the functions run there, in the order posted.
//
// The hand-over is a queue under a standard mutex plus an eventfd that the main loop watches;
// no Qt object crosses threads. So the ordering is one ThreadSanitizer sees (Qt's own
// futex-based locks are not instrumented), and a function posted never runs before what the
// poster wrote is visible.
class MainThreadQueue : public QObject {
    Q_OBJECT
public:
    explicit MainThreadQueue(QObject* parent = nullptr);
    ~MainThreadQueue() override;

    // Any thread. Functions still queued when the queue goes are dropped.
    void post(std::function<void()> function);
    // Runs what is queued now; the main loop calls it when the eventfd says so.
    void drain();

private:
    std::mutex m_mutex; // guards m_queue
    std::deque<std::function<void()>> m_queue;
    int m_eventFd = -1;
    QSocketNotifier* m_notifier = nullptr;
};

} // namespace dcv
