#include "platform/taval/EventThread.h"

#include <chrono>
#include <cstdlib>

#include "platform/taval/DeviceRecord.h"
#include "platform/orrin/PlatformLog.h"

namespace Tessor::taval {

namespace {
constexpr auto kIdlePeriod = std::chrono::milliseconds(100);
}

EventThread::EventThread(DEVICE_INIT_T* init, std::function<void()> idle) : m_init(init), m_idle(std::move(idle)) {}

EventThread::~EventThread() { stop(); }

void EventThread::start() { m_thread = std::thread([this] { run(); }); }

void EventThread::stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_all();
    if (m_thread.joinable()) {
        m_thread.join();
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_done += m_queue.size();
    m_queue.clear();
    m_delivered.notify_all();
}

void EventThread::post(int kind, int deviceIndex, std::shared_ptr<DeviceRecord> record, int errorCode) {
    _USB_DEVICE_T* device = record ? record->usb() : nullptr;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping) {
            return;
        }
        m_queue.push_back({{kind, errorCode, deviceIndex, device}, std::move(record)});
        ++m_posted;
    }
    m_wake.notify_all();
}

void EventThread::waitDelivered() {
    std::unique_lock<std::mutex> lock(m_mutex);
    const uint64_t target = m_posted;
    m_delivered.wait(lock, [&] { return m_done >= target || m_stopping; });
}

void EventThread::betweenEvents(const std::function<void()>& change) {
    std::lock_guard<std::mutex> delivering(m_delivering);
    change();
}

void EventThread::run() {
    std::unique_lock<std::mutex> lock(m_mutex);
    while (!m_stopping) {
        if (m_queue.empty()) {
            m_wake.wait_for(lock, kIdlePeriod);
            if (m_queue.empty() && !m_stopping && m_idle) {
                lock.unlock();
                m_idle();
                lock.lock();
            }
            continue;
        }
        const Queued queued = std::move(m_queue.front());
        m_queue.pop_front();
        lock.unlock();
        const DEVICE_EVENT_T& event = queued.event;
        // The callback owns the record and releases it with shared_free.
        auto* record = static_cast<DEVICE_EVENT_T*>(std::malloc(sizeof(DEVICE_EVENT_T)));
        if (record != nullptr) {
            *record = event;
            PLATFORM_LOG(7, "library event %s of device %d", usbDeviceFindEventName(event.kind), event.deviceIndex);
            std::lock_guard<std::mutex> delivering(m_delivering);
            m_init->callback(m_init, record);
        }
        lock.lock();
        ++m_done;
        m_delivered.notify_all();
    }
}

}  // namespace Tessor::taval
