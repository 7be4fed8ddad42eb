#include "schema/base/Mutex.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace Tessor::Threads {

namespace {
pthread_once_t g_initOnce = PTHREAD_ONCE_INIT;
pthread_mutex_t g_initMutex;

void initGlobalMutex()
{
    checkResult(pthread_mutex_init(&g_initMutex, nullptr), "pthread_mutex_init");
}
}  // namespace

void checkResult(int result, const char* call)
{
    if (result != 0) {
        std::fprintf(stderr, "%s failed: %s\n", call, std::strerror(result));
        std::abort();
    }
}

Mutex::Mutex()
{
    checkResult(pthread_once(&g_initOnce, initGlobalMutex), "pthread_once");
    checkResult(pthread_mutex_lock(&g_initMutex), "pthread_mutex_lock");
    checkResult(pthread_mutex_init(&m_mutex, nullptr), "pthread_mutex_init");
    checkResult(pthread_mutex_unlock(&g_initMutex), "pthread_mutex_unlock");
}

Mutex::~Mutex()
{
    pthread_mutex_destroy(&m_mutex);
}

void Mutex::lock()
{
    checkResult(pthread_mutex_lock(&m_mutex), "pthread_mutex_lock");
}

void Mutex::unlock()
{
    checkResult(pthread_mutex_unlock(&m_mutex), "pthread_mutex_unlock");
}

}  // namespace Tessor::Threads
