#pragma once

#include <pthread.h>

#include "schema/base/NonCopyable.h"

namespace Tessor::Threads {

// A thread-library call that fails here leaves the program's locking broken:
// the process ends at once with the call named on standard error.
void checkResult(int result, const char* call);

class Lockable : public NonCopyable {
public:
    virtual void lock() = 0;
    virtual void unlock() = 0;
};

// Default (non-recursive) mutex. Every initialisation in the program is
// serialised under one global mutex.
class Mutex : public Lockable {
public:
    Mutex();
    ~Mutex() override;
    void lock() override;
    void unlock() override;
    pthread_mutex_t* native() { return &m_mutex; }

private:
    pthread_mutex_t m_mutex;
};

// Scoped guard.
class Lock : public NonCopyable {
public:
    explicit Lock(Lockable& lockable) : m_lockable(&lockable) { m_lockable->lock(); }
    explicit Lock(Lockable* lockable) : m_lockable(lockable) { m_lockable->lock(); }
    ~Lock() override { m_lockable->unlock(); }

private:
    Lockable* m_lockable;
};

}  // namespace Tessor::Threads
