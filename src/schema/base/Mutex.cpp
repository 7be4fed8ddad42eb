#include "schema/base/Mutex.h"

namespace Tessor::Threads {

namespace {
pthread_once_t g_initOnce = PTHREAD_ONCE_INIT;
pthread_mutex_t g_initMutex;

void initGlobalMutex()
{
    pthread_mutex_init(&g_initMutex, nullptr);
}
}  // namespace

Mutex::Mutex()
{
    pthread_once(&g_initOnce, initGlobalMutex);
    pthread_mutex_lock(&g_initMutex);
    pthread_mutex_init(&m_mutex, nullptr);
    pthread_mutex_unlock(&g_initMutex);
}

Mutex::~Mutex()
{
    pthread_mutex_destroy(&m_mutex);
}

void Mutex::lock()
{
    pthread_mutex_lock(&m_mutex);
}

void Mutex::unlock()
{
    pthread_mutex_unlock(&m_mutex);
}

}  // namespace Tessor::Threads
