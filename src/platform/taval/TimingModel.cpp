#include "platform/taval/TimingModel.h"

#include <algorithm>

#include "platform/orrin/Orrin.h"

namespace Tessor::taval {

int64_t TimingModel::cost(int64_t pagesRead, int64_t pagesProgrammed, int64_t blocksErased, int64_t usbBytes) {
    constexpr int64_t kPageReadUs = 25;
    constexpr int64_t kPageProgramUs = 200;
    constexpr int64_t kBlockEraseUs = 2000;
    constexpr int64_t kUsbBytesPerUs = 35;
    return pagesRead * kPageReadUs + pagesProgrammed * kPageProgramUs + blocksErased * kBlockEraseUs +
           usbBytes / kUsbBytesPerUs;
}

void TimingModel::charge(int64_t pagesRead, int64_t pagesProgrammed, int64_t blocksErased, int64_t usbBytes) {
    const int64_t modelled = cost(pagesRead, pagesProgrammed, blocksErased, usbBytes);
    m_modelled.fetch_add(modelled, std::memory_order_relaxed);
    if (!m_enabled) {
        return;
    }
    const double us = double(modelled) * sharedGetTimeScale();
    if (us < 1.0) {
        return;
    }
    // The work starts when the operation arrives; only the device's own
    // oversleep is made up, never time the host spent between operations.
    const auto owed = std::chrono::duration_cast<std::chrono::steady_clock::duration>(
                          std::chrono::microseconds(int64_t(us))) -
                      m_overslept;
    if (owed <= std::chrono::steady_clock::duration::zero()) {
        m_overslept = -owed;
        return;
    }
    const auto until = std::chrono::steady_clock::now() + owed;
    std::unique_lock<std::mutex> lock(m_mutex);
    if (m_wake.wait_until(lock, until, [this] { return m_interrupted; })) {
        return;
    }
    m_overslept = std::min<std::chrono::steady_clock::duration>(std::chrono::steady_clock::now() - until,
                                                                std::chrono::milliseconds(10));
}

void TimingModel::interrupt() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_interrupted = true;
    }
    m_wake.notify_all();
}

}  // namespace Tessor::taval
