#include "schema/base/ThreadIf.h"

int ThreadIf::run()
{
    // Held while the handle is written: the body takes this mutex before it
    // can end, so the handle is complete before anyone reads it.
    Tessor::Threads::Lock guard(m_mutex);
    return spawn(this);
}

int ThreadIf::join()
{
    return joinThread();
}

int ThreadIf::cancel()
{
    return cancelThread();
}

void ThreadIf::setStopFlag()
{
    Tessor::Threads::Lock guard(m_mutex);
    m_stopFlag = true;
}

bool ThreadIf::getStopFlag()
{
    Tessor::Threads::Lock guard(m_mutex);
    return m_stopFlag;
}
