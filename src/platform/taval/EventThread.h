// The library's own thread: delivers every event to the engine's callback
// in the order it was posted, and runs an idle task between events. A queued
// event keeps the device record it names.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/taval/Taval.h"

namespace Tessor::taval {

class DeviceRecord;

class EventThread {
public:
    EventThread(DEVICE_INIT_T* init, std::function<void()> idle);
    ~EventThread();

    void start();
    // Returns once the thread has ended; events not delivered are dropped.
    void stop();
    void post(int kind, int deviceIndex, std::shared_ptr<DeviceRecord> record, int errorCode);
    // Waits until every event posted so far has been delivered.
    void waitDelivered();
    // Runs `change` while no callback runs, so record fields the callback
    // reads never change under it.
    void betweenEvents(const std::function<void()>& change);

private:
    struct Queued {
        DEVICE_EVENT_T event;
        std::shared_ptr<DeviceRecord> record;
    };

    void run();

    DEVICE_INIT_T* m_init;
    std::function<void()> m_idle;
    std::mutex m_mutex;
    std::mutex m_delivering;
    std::condition_variable m_wake;
    std::condition_variable m_delivered;
    std::deque<Queued> m_queue;
    uint64_t m_posted = 0;
    uint64_t m_done = 0;
    bool m_stopping = false;
    std::thread m_thread;
};

}  // namespace Tessor::taval
