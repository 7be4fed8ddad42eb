#include "schema/base/Condition.h"

#include "platform/orrin/Orrin.h"

namespace Tessor::Threads {

Condition::Condition()
{
    pthread_cond_init(&m_cond, nullptr);
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
    timeval now{};
    sharedGetTimeofDay(&now, nullptr);
    long long totalUsec = static_cast<long long>(now.tv_usec) + usec;
    timespec due{};
    due.tv_sec = now.tv_sec + static_cast<time_t>(totalUsec / 1000000);
    due.tv_nsec = static_cast<long>((totalUsec % 1000000) * 1000);
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
