#pragma once

#include <pthread.h>

#include "schema/base/Mutex.h"

namespace Tessor::Threads {

class Condition : public NonCopyable {
public:
    Condition();
    ~Condition() override;

    // Releases the locked mutex while waiting. A negative limit waits without
    // end; otherwise up to `usec` microseconds. Returns the pthread result
    // (non-zero on time-out).
    [[nodiscard]] int wait(Mutex& mutex, long long usec);
    void signal();
    void broadcast();

private:
    pthread_cond_t m_cond;
};

}  // namespace Tessor::Threads
