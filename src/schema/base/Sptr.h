// Thread-safe reference-counted handle for everything shared between threads.
#pragma once

#include <atomic>
#include <functional>
#include <type_traits>
#include <utility>

#include "schema/base/SpinLock.h"

namespace Tessor {

// Shared by every handle of one object. It deletes the object as the type it
// was first handed over as, so handles of a base class or of a type that is
// only declared where the handle is dropped still destroy it correctly.
struct SptrCounter {
    std::atomic<int> count{0};
    void* object = nullptr;
    void (*destroy)(void*) = nullptr;
};

}  // namespace Tessor

template <typename T>
class Sptr {
public:
    Sptr() = default;

    explicit Sptr(T* object) : m_object(object)
    {
        if (object != nullptr) {
            m_counter = new Tessor::SptrCounter();
            m_counter->object = object;
            m_counter->destroy = [](void* p) { delete static_cast<T*>(p); };
            addRef();
        }
    }

    Sptr(const Sptr& other)
    {
        Tessor::Threads::SpinGuard guard(other.m_lock);
        m_object = other.m_object;
        m_counter = other.m_counter;
        addRef();
    }

    // Takes over the other handle's reference, leaving it empty.
    Sptr(Sptr&& other) noexcept
    {
        Tessor::Threads::SpinGuard guard(other.m_lock);
        m_object = other.m_object;
        m_counter = other.m_counter;
        other.m_object = nullptr;
        other.m_counter = nullptr;
    }

    // Checked conversion: an object that is not a T gives an empty handle.
    template <typename U>
    Sptr(const Sptr<U>& other)  // NOLINT(google-explicit-constructor)
    {
        Tessor::Threads::SpinGuard guard(other.m_lock);
        takeConverted(other);
    }

    ~Sptr()
    {
        Tessor::SptrCounter* counter = nullptr;
        {
            Tessor::Threads::SpinGuard guard(m_lock);
            counter = m_counter;
            m_object = nullptr;
            m_counter = nullptr;
        }
        release(counter);
    }

    Sptr& operator=(const Sptr& other)
    {
        assignFrom(other);
        return *this;
    }

    template <typename U>
    Sptr& operator=(const Sptr<U>& other)
    {
        assignFrom(other);
        return *this;
    }

    Sptr& operator=(Sptr&& other) noexcept
    {
        if (this == &other) {
            return *this;
        }
        Tessor::SptrCounter* old = nullptr;
        {
            LockBoth locks(m_lock, other.m_lock);
            old = m_counter;
            m_object = other.m_object;
            m_counter = other.m_counter;
            other.m_object = nullptr;
            other.m_counter = nullptr;
        }
        release(old);
        return *this;
    }

    // Reads take the handle's lock too: another thread may assign to the
    // same handle meanwhile.
    T* operator->() const { return get(); }
    T& operator*() const { return *get(); }
    T* get() const
    {
        Tessor::Threads::SpinGuard guard(m_lock);
        return m_object;
    }
    explicit operator bool() const { return get() != nullptr; }

    // Same object, whatever type each handle names it by.
    template <typename U>
    bool operator==(const Sptr<U>& other) const
    {
        return counter() == other.counter();
    }

    // Number of handles sharing the object (0 for an empty handle).
    int useCount() const
    {
        Tessor::Threads::SpinGuard guard(m_lock);
        return m_counter != nullptr ? m_counter->count.load() : 0;
    }

private:
    template <typename U>
    friend class Sptr;

    // Takes two handle locks in a fixed order, so two threads assigning
    // crosswise cannot deadlock.
    class LockBoth {
    public:
        LockBoth(Tessor::Threads::SpinLock& a, Tessor::Threads::SpinLock& b)
            : m_first(std::less<>()(&a, &b) ? a : b), m_second(std::less<>()(&a, &b) ? b : a)
        {
            m_first.lock();
            m_second.lock();
        }
        ~LockBoth()
        {
            m_second.unlock();
            m_first.unlock();
        }
        LockBoth(const LockBoth&) = delete;
        LockBoth& operator=(const LockBoth&) = delete;

    private:
        Tessor::Threads::SpinLock& m_first;
        Tessor::Threads::SpinLock& m_second;
    };

    template <typename U>
    void assignFrom(const Sptr<U>& other)
    {
        if (static_cast<const void*>(this) == static_cast<const void*>(&other)) {
            return;
        }
        Tessor::SptrCounter* old = nullptr;
        {
            LockBoth locks(m_lock, other.m_lock);
            if (m_counter == other.m_counter) {
                return;
            }
            old = m_counter;
            m_object = nullptr;
            m_counter = nullptr;
            takeConverted(other);
        }
        // The old object goes only after both handles are unlocked: its
        // destructor may drop the very handle assigned from.
        release(old);
    }

    template <typename U>
    void takeConverted(const Sptr<U>& other)
    {
        T* converted = nullptr;
        if constexpr (std::is_convertible_v<U*, T*>) {
            converted = other.m_object;
        } else {
            converted = dynamic_cast<T*>(other.m_object);
        }
        if (converted == nullptr) {
            return;
        }
        m_object = converted;
        m_counter = other.m_counter;
        addRef();
    }

    Tessor::SptrCounter* counter() const
    {
        Tessor::Threads::SpinGuard guard(m_lock);
        return m_counter;
    }

    void addRef()
    {
        if (m_counter != nullptr) {
            m_counter->count.fetch_add(1, std::memory_order_relaxed);
        }
    }

    static void release(Tessor::SptrCounter* counter)
    {
        if (counter == nullptr) {
            return;
        }
        if (counter->count.fetch_sub(1, std::memory_order_acq_rel) == 1) {
            counter->destroy(counter->object);
            delete counter;
        }
    }

    T* m_object = nullptr;
    Tessor::SptrCounter* m_counter = nullptr;
    // One word needing no initialisation: a handle, made for every event,
    // costs no system mutex set up under the process-wide lock.
    mutable Tessor::Threads::SpinLock m_lock;
};
