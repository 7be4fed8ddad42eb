// A thread with a stop flag; the owner sets the flag under the thread's
// mutex and the body reads it under the same mutex.
#pragma once

#include "schema/base/Mutex.h"
#include "schema/base/VThread.h"

class ThreadIf : public VThread {
public:
    ThreadIf() = default;
    ~ThreadIf() override = default;

    // Starts the thread on `thread()`; 0 on success.
    virtual int run();
    // Waits for the thread to end; 0 on success.
    [[nodiscard]] virtual int join();
    // Asks the thread to end at once.
    [[nodiscard]] virtual int cancel();
    // The body.
    virtual void thread() = 0;

    void setStopFlag();
    bool getStopFlag();

private:
    bool m_stopFlag = false;
    Tessor::Threads::Mutex m_mutex;
};
