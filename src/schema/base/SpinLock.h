// A lock of one word that needs no initialisation: for the few instructions a
// shared-pointer handle is held, where a system mutex per handle would cost
// more than the work it guards.
#pragma once

#include <atomic>

namespace Tessor::Threads {

// Tells the processor the thread is waiting in a spin loop.
inline void spinHint()
{
#if defined(__x86_64__) || defined(__i386__)
    __builtin_ia32_pause();
#elif defined(__aarch64__) || defined(__arm__)
    asm volatile("yield");
#endif
}

class SpinLock {
public:
    void lock()
    {
        while (m_flag.test_and_set(std::memory_order_acquire)) {
            while (m_flag.test(std::memory_order_relaxed)) {
                spinHint();
            }
        }
    }
    void unlock() { m_flag.clear(std::memory_order_release); }

private:
    std::atomic_flag m_flag = ATOMIC_FLAG_INIT;
};

class SpinGuard {
public:
    explicit SpinGuard(SpinLock& lock) : m_lock(lock) { m_lock.lock(); }
    ~SpinGuard() { m_lock.unlock(); }
    SpinGuard(const SpinGuard&) = delete;
    SpinGuard& operator=(const SpinGuard&) = delete;

private:
    SpinLock& m_lock;
};

}  // namespace Tessor::Threads
