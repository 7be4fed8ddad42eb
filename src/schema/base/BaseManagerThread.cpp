#include "schema/base/BaseManagerThread.h"

#include "schema/base/BaseManager.h"
#include "schema/base/Log.h"

namespace Tessor::schema {

BaseManagerThread::BaseManagerThread(BaseManager* manager) : m_manager(manager) {}

void BaseManagerThread::thread()
{
    setLogLabel(m_manager->getName());
    do {
        m_manager->mainLoop(nullptr);
    } while (!getStopFlag());
    CPLOG(7, "'%s' Thread is exiting.....", m_manager->getName());
    // Dropping the manager drops its handle on this object too, which may
    // then be gone: nothing here is touched after `last` goes.
    Sptr<BaseManager> last = m_manager;
    m_manager = Sptr<BaseManager>();
}

}  // namespace Tessor::schema
