// Queue of items pushed by any thread and taken by one consumer, with delayed
// items that join the tail once due. The consumer's wait is bounded by the
// earliest due time.
#pragma once

#include <atomic>
#include <cstdio>
#include <deque>
#include <utility>

#include "schema/base/Mutex.h"
#include "schema/base/SpinLock.h"
#include "schema/base/NonCopyable.h"
#include "schema/event/TimerContainer.h"

namespace Tessor {

template <typename T>
class FifoBase : public NonCopyable {
public:
    void push(T item)
    {
        Threads::Lock guard(m_mutex);
        m_ready.push_back(std::move(item));
        ++m_readyCount;
        signalWaiter();
    }

    // The item joins the tail of the queue `ms` milliseconds from now.
    // Returns the identity of its timer.
    int addDelayMs(const T& item, long ms)
    {
        Threads::Lock guard(m_mutex);
        const int id = m_timers.add(item, ms);
        ++m_pendingCount;
        // A consumer blocked without a bound must learn of the new due time.
        signalWaiter();
        return id;
    }

    // Blocks until an item is ready and returns it. The one consumer takes
    // every ready item at once and hands them out without the lock, so a busy
    // producer rarely meets it there; later items and due timers still queue
    // behind them.
    T popWait()
    {
        if (m_taken.empty() && !takeReady()) {
            return T();
        }
        T item = std::move(m_taken.front());
        m_taken.pop_front();
        --m_readyCount;
        return item;
    }

    // Items ready now, and delayed items not yet due.
    int getReadyCount()
    {
        Threads::Lock guard(m_mutex);
        return m_readyCount;
    }
    int getPendingCount()
    {
        Threads::Lock guard(m_mutex);
        return m_pendingCount;
    }

protected:
    // Waits for ready items and moves them all to the consumer's own list.
    bool takeReady()
    {
        spinWhileEmpty();
        Threads::Lock guard(m_mutex);
        while (!hasReady()) {
            waitFor(m_timers.empty() ? -1 : m_timers.earliest().getDue().msUntil(TimeAndDate::TimeVal::now()));
        }
        if (!m_timers.empty()) {
            const TimeAndDate::TimeVal current = TimeAndDate::TimeVal::now();
            while (!m_timers.empty() && m_timers.earliest().getDue().isDueAt(current)) {
                m_ready.push_back(m_timers.takeEarliest());
                ++m_readyCount;
                --m_pendingCount;
            }
        }
        if (m_ready.empty()) {
            std::fprintf(stderr, "Fifo: %p list is empty, but fifo size is %d\n", static_cast<void*>(this),
                         m_readyCount.load());
            return false;
        }
        m_taken.swap(m_ready);
        return true;
    }

    // A consumer that has caught up with its producer would sleep and be woken
    // for every item: two system calls that cost more than the item. A short
    // spin first lets a busy queue run without either.
    void spinWhileEmpty() const
    {
        for (int i = 0; i < kSpinsBeforeSleep && m_readyCount.load(std::memory_order_acquire) == 0; ++i) {
            Threads::spinHint();
        }
    }

    // Called with the queue's mutex held.
    virtual bool hasReady()
    {
        return m_readyCount > 0 ||
               (!m_timers.empty() && m_timers.earliest().getDue().isDueAt(TimeAndDate::TimeVal::now()));
    }
    virtual void signalWaiter() = 0;
    // Waits with the queue's mutex held; 0 on time-out, else the ready count.
    virtual int waitFor(long ms) = 0;

    Threads::Mutex& getMutex() { return m_mutex; }
    int getReadyCountLocked() const { return m_readyCount; }

private:
    static constexpr int kSpinsBeforeSleep = 2000;
    std::atomic<int> m_readyCount{0};
    Threads::Mutex m_mutex;
    std::deque<T> m_ready;
    std::deque<T> m_taken;  // the consumer's alone
    TimeAndDate::TimerContainer<T> m_timers;
    int m_pendingCount = 0;
};

}  // namespace Tessor
