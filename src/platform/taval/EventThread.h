// The library's own thread: delivers every event to the engine's callback
// in the order it was posted, and runs an idle task between events.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

#include "platform/taval/Taval.h"

namespace Tessor::taval {

class EventThread {
public:
    EventThread(DEVICE_INIT_T* init, std::function<void()> idle);
    ~EventThread();

    void start();
    // Returns once the thread has ended; events not delivered are dropped.
    void stop();
    void post(int kind, int deviceIndex, _USB_DEVICE_T* device, int errorCode);
    // Waits until every event posted so far has been delivered.
    void waitDelivered();
    // Runs `change` while no callback runs, so record fields the callback
    // reads never change under it.
    void betweenEvents(const std::function<void()>& change);

private:
    void run();

    DEVICE_INIT_T* m_init;
    std::function<void()> m_idle;
    std::mutex m_mutex;
    std::mutex m_delivering;
    std::condition_variable m_wake;
    std::condition_variable m_delivered;
    std::deque<DEVICE_EVENT_T> m_queue;
    uint64_t m_posted = 0;
    uint64_t m_done = 0;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace Tessor::taval
