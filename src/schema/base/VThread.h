// Handle of one POSIX thread.
#pragma once

#include <pthread.h>

class ThreadIf;

class VThread {
public:
    VThread();
    virtual ~VThread();
    VThread(const VThread&) = delete;
    VThread& operator=(const VThread&) = delete;

    // Starts a thread that runs `arg->thread()`; -1 when one is already
    // running, else the pthread_create result.
    [[nodiscard]] int spawn(ThreadIf* arg);

    bool isActive() const { return m_active; }

protected:
    // Waits for the thread to end and clears the handle.
    [[nodiscard]] int joinThread();
    // Asks the thread to end and clears the handle.
    [[nodiscard]] int cancelThread();

private:
    pthread_t m_handle{};
    bool m_active = false;
    pthread_attr_t m_attr;
};
