#include "schema/base/VThread.h"

#include "schema/base/Log.h"
#include "schema/base/ThreadIf.h"

namespace {

void* startRoutine(void* arg)
{
    static_cast<ThreadIf*>(arg)->thread();
    return nullptr;
}

}  // namespace

VThread::VThread()
{
    Tessor::Threads::checkResult(pthread_attr_init(&m_attr), "pthread_attr_init");
}

VThread::~VThread()
{
    if (m_active) {
        if (pthread_equal(m_handle, pthread_self()) != 0) {
            // A manager thread drops its own object as it ends and touches
            // nothing after: let the system reclaim it.
            pthread_detach(m_handle);
        } else {
            // The thread would go on running on a freed object.
            Tessor::Threads::checkResult(pthread_join(m_handle, nullptr), "pthread_join");
        }
    }
    pthread_attr_destroy(&m_attr);
}

int VThread::spawn(ThreadIf* arg)
{
    if (m_active) {
        CPLOG(3, "VThread:%lu is already active", static_cast<unsigned long>(m_handle));
        return -1;
    }
    int result = pthread_create(&m_handle, &m_attr, startRoutine, arg);
    m_active = result == 0;
    return result;
}

int VThread::joinThread()
{
    if (!m_active) {
        return -1;
    }
    int result = pthread_join(m_handle, nullptr);
    m_active = false;
    return result;
}

int VThread::cancelThread()
{
    if (!m_active) {
        return -1;
    }
    int result = pthread_cancel(m_handle);
    m_active = false;
    return result;
}
