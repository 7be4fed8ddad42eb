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
    pthread_attr_init(&m_attr);
}

VThread::~VThread()
{
    // Nobody will join a thread whose handle goes away (a manager thread
    // drops its own object as it ends): let the system reclaim it.
    if (m_active) {
        pthread_detach(m_handle);
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
