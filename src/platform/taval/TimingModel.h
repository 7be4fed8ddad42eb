// Makes a simulated device take the time a real one would: page read 25 us,
// page program 200 us, block erase 2 ms, USB 2.0 bulk transfer about 35 MB/s,
// all scaled by the process time scale of shared_delay. Off by default.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace Tessor::taval {

class TimingModel {
public:
    explicit TimingModel(bool enabled = false) : m_enabled(enabled) {}
    TimingModel(const TimingModel&) = delete;
    TimingModel& operator=(const TimingModel&) = delete;

    bool enabled() const { return m_enabled; }
    // Microseconds of real-device work charged so far, on or off, unscaled.
    int64_t modelledMicros() const { return m_modelled.load(std::memory_order_relaxed); }
    // Sleeps for the work just done (nothing when off, or once interrupted).
    // Called under the device's lock, one operation at a time.
    void charge(int64_t pagesRead, int64_t pagesProgrammed, int64_t blocksErased, int64_t usbBytes);
    // Ends the sleep under way and every later one: the device is gone.
    void interrupt();
    // Microseconds that work takes on the real device.
    static int64_t cost(int64_t pagesRead, int64_t pagesProgrammed, int64_t blocksErased, int64_t usbBytes);

private:
    const bool m_enabled;
    std::atomic<int64_t> m_modelled{0};
    // How long the last sleep overran: taken off the next, so many short
    // sleeps add up to the time charged.
    std::chrono::steady_clock::duration m_overslept{};
    std::mutex m_mutex;
    std::condition_variable m_wake;
    bool m_interrupted = false;
};

}  // namespace Tessor::taval
