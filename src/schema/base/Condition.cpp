#include "schema/base/Condition.h"

#include <ctime>

namespace Tessor::Threads {

// Timed waits count on the monotonic clock: a step of the wall clock neither
// stretches nor cuts a timer or a delay.
Condition::Condition()
{
    pthread_condattr_t attributes;
    checkResult(pthread_condattr_init(&attributes), "pthread_condattr_init");
    checkResult(pthread_condattr_setclock(&attributes, CLOCK_MONOTONIC), "pthread_condattr_setclock");
    checkResult(pthread_cond_init(&m_cond, &attributes), "pthread_cond_init");
    pthread_condattr_destroy(&attributes);
}

Condition::~Condition()
{
    pthread_cond_destroy(&m_cond);
}

int Condition::wait(Mutex& mutex, long long usec)
{
    if (usec < 0) {
        return pthread_cond_wait(&m_cond, mutex.native());
    }
    timespec due{};
    clock_gettime(CLOCK_MONOTONIC, &due);
    const long long totalNsec = static_cast<long long>(due.tv_nsec) + (usec % 1000000) * 1000;
    due.tv_sec += static_cast<time_t>(usec / 1000000 + totalNsec / 1000000000);
    due.tv_nsec = static_cast<long>(totalNsec % 1000000000);
    return pthread_cond_timedwait(&m_cond, mutex.native(), &due);
}

void Condition::signal()
{
    pthread_cond_signal(&m_cond);
}

void Condition::broadcast()
{
    pthread_cond_broadcast(&m_cond);
}

}  // namespace Tessor::Threads
