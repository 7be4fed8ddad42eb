#include "platform/taval/TimingModel.h"

#include <chrono>
#include <thread>

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

void TimingModel::charge(int64_t pagesRead, int64_t pagesProgrammed, int64_t blocksErased, int64_t usbBytes) const {
    if (!m_enabled) {
        return;
    }
    const double us = double(cost(pagesRead, pagesProgrammed, blocksErased, usbBytes)) * sharedGetTimeScale();
    if (us >= 1.0) {
        std::this_thread::sleep_for(std::chrono::microseconds(int64_t(us)));
    }
}

}  // namespace Tessor::taval
