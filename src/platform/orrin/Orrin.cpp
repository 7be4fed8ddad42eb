#include "platform/orrin/Orrin.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>

namespace {
std::atomic<double> g_timeScale{1.0};
}

int sharedGetTimeofDay(struct timeval* tv, void* /*tz*/)
{
    return gettimeofday(tv, nullptr);
}

void shared_delay(unsigned int ms)
{
    const double scaled = ms * 1000.0 * g_timeScale.load(std::memory_order_relaxed);
    std::this_thread::sleep_for(std::chrono::microseconds(static_cast<long long>(scaled)));
}

void sharedSetTimeScale(double scale)
{
    g_timeScale.store(scale < 0 ? 0 : scale, std::memory_order_relaxed);
}

double sharedGetTimeScale()
{
    return g_timeScale.load(std::memory_order_relaxed);
}

const char* sharedVersionInfo()
{
    return "Orrin base library 1.0 (POSIX)";
}

void shared_free(void* p)
{
    std::free(p);
}
