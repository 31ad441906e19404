#include "platform/MainThreadQueue.h"

#include <QPointer>
#include <QSocketNotifier>
#include <cerrno>
#include <cstdint>
#include <stdexcept>
#include <sys/eventfd.h>
#include <unistd.h>

namespace dcv {

MainThreadQueue::MainThreadQueue(QObject* parent)
    : QObject(parent), m_eventFd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
    if (m_eventFd < 0)
        throw std::runtime_error("eventfd failed");
    m_notifier = new QSocketNotifier(m_eventFd, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &MainThreadQueue::drain);
}

MainThreadQueue::~MainThreadQueue() {
    delete m_notifier;
    ::close(m_eventFd);
}

void MainThreadQueue::post(std::function<void()> function) {
    {
        std::lock_guard lock(m_mutex);
        m_queue.push_back(std::move(function));
    }
    const uint64_t one = 1;
    // Fails only when the counter would overflow: the loop is woken already then.
    while (::write(m_eventFd, &one, sizeof one) < 0 && errno == EINTR) {
    }
}

void MainThreadQueue::drain() {
    uint64_t count = 0;
    while (::read(m_eventFd, &count, sizeof count) < 0 && errno == EINTR) {
    }
    std::deque<std::function<void()>> ready;
    {
        std::lock_guard lock(m_mutex);
        ready.swap(m_queue);
    }
    // A function may end the queue's owner, and the queue with it: the rest is dropped then.
    const QPointer<MainThreadQueue> alive(this);
    for (auto& function : ready) {
        function();
        if (!alive)
            return;
    }
}

} // namespace dcv
